#include "dpapi/uBase64Codec.h"

namespace zorvak {

namespace {
int Sextet(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}
} // namespace

QString Base64ToWide(const QByteArray &text)
{
    const qsizetype n = text.size();
    if (n == 0 || n % 4 != 0)
        return {};
    qsizetype outLen = n / 4 * 3;
    if (text[n - 2] == '=')
        outLen -= 2;
    else if (text[n - 1] == '=')
        outLen -= 1;

    QByteArray bytes;
    bytes.reserve(outLen);
    for (qsizetype i = 0; i < n; i += 4) {
        const bool last = i + 4 == n;
        const int a = Sextet(text[i]);
        const int b = Sextet(text[i + 1]);
        if (a < 0 || b < 0)
            return {};
        bytes.append(char((a << 2) | (b >> 4)));
        // A filler in the third place must be followed by a second one: "xx=" plus anything else
        // is damaged text, not a short last group.
        if (last && text[i + 2] == '=') {
            if (text[i + 3] != '=')
                return {};
            break;
        }
        const int c = Sextet(text[i + 2]);
        if (c < 0)
            return {};
        bytes.append(char(((b & 0x0F) << 4) | (c >> 2)));
        if (last && text[i + 3] == '=')
            break;
        const int d = Sextet(text[i + 3]);
        if (d < 0)
            return {};
        bytes.append(char(((c & 0x03) << 6) | d));
    }
    Q_ASSERT(bytes.size() == outLen);

    QString result;
    result.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t unit = char16_t(uchar(bytes[i]) | (uchar(bytes[i + 1]) << 8));
        if (unit == 0)
            break;
        result.append(QChar(unit));
    }
    return result;
}

} // namespace zorvak
