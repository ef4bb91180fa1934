// Base64 text of a decrypted map: strict decoding never accepts malformed text, and what it
// accepts decodes to the bytes any Base64 decoder gives.
#include "dpapi/uBase64Codec.h"
#include "fuzz/FuzzSupport.h"

namespace {
bool InAlphabet(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

// Strict RFC 4648 form: whole groups, alphabet characters, then at most two fillers at the end.
bool WellFormed(const QByteArray &text)
{
    const qsizetype n = text.size();
    if (n == 0 || n % 4 != 0)
        return false;
    qsizetype fill = 0;
    while (fill < n && text[n - 1 - fill] == '=')
        ++fill;
    if (fill > 2)
        return false;
    for (qsizetype i = 0; i < n - fill; ++i)
        if (!InAlphabet(text[i]))
            return false;
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text = zorvak::fuzz::Bytes(data, size);
    const QString wide = zorvak::Base64ToWide(text);
    if (!WellFormed(text)) {
        FUZZ_CHECK(wide.isEmpty());
        return 0;
    }
    const QByteArray bytes = QByteArray::fromBase64(text);
    QString expected;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t unit = char16_t(uchar(bytes[i]) | (uchar(bytes[i + 1]) << 8));
        if (unit == 0)
            break;
        expected.append(QChar(unit));
    }
    FUZZ_CHECK(wide == expected);
    return 0;
}
