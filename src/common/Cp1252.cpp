#include "common/Cp1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace zorvak {

namespace {
// The characters of 0x80..0x9F in Windows-1252; 0 where the code page leaves a hole.
constexpr char16_t kHigh[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

int ByteOf(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    if (u < 0xA0 && kHigh[u - 0x80] == 0) // the code page's holes map to themselves
        return u;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] && kHigh[i] == u)
            return 0x80 + i;
    return -1;
}
} // namespace

bool IsCp1252Encodable(QChar c) { return ByteOf(c) >= 0; }

QByteArray ToCp1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const int b = ByteOf(c);
        out.append(b < 0 ? '?' : char(b));
    }
    return out;
}

QString FromCp1252(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b < 0xA0)
            out.append(QChar(kHigh[b - 0x80] ? kHigh[b - 0x80] : char16_t(b)));
        else
            out.append(QChar(char16_t(b)));
    }
    return out;
}

QString DecodeUtf8OrCp1252(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return FromCp1252(bytes);
}

} // namespace zorvak
