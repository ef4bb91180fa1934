#include "common/EmailId.h"

#include "common/Cp1252.h"

#include <cstdint>

namespace zorvak {

QString EmailToId(const QString &address)
{
    constexpr std::uint64_t kModulus = 4294967296ull;
    std::uint64_t h = 0;
    for (char ch : ToCp1252(address)) {
        auto b = static_cast<unsigned char>(ch);
        if (b >= 'A' && b <= 'Z')
            b = static_cast<unsigned char>(b + 32);
        h = h * 101 + b;
        while (h > kModulus)
            h -= kModulus;
    }
    return QString::number(h);
}

} // namespace zorvak
