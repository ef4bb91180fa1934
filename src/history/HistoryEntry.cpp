#include "history/HistoryEntry.h"


namespace zorvak::history {

namespace {

struct TKindName {
    TEntryKind kind;
    const char *name;
    const char *element;
};
constexpr TKindName kKinds[] = {
    {TEntryKind::Message, "message", "Message"},
    {TEntryKind::Invitation, "invitation", "Invitation"},
    {TEntryKind::InvitationResponse, "invitationResponse", "InvitationResponse"},
    {TEntryKind::Join, "join", "Join"},
    {TEntryKind::Leave, "leave", "Leave"},
};

bool IsHex(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

QString Colour(QStringView value)
{
    if (!value.startsWith(u'#'))
        return {};
    const QStringView digits = value.mid(1);
    for (QChar c : digits)
        if (!IsHex(c))
            return {};
    if (digits.size() == 6)
        return u'#' + digits.toString().toLower();
    if (digits.size() == 3) {
        QString out(QStringLiteral("#"));
        for (QChar c : digits)
            out += QString(2, c.toLower());
        return out;
    }
    return {};
}

QString FontFamily(QStringView value)
{
    // The first family of a list, without its quotes.
    QStringView first = value.left(value.indexOf(u',') < 0 ? value.size() : value.indexOf(u','));
    QString out;
    for (QChar c : first)
        if (c.isLetterOrNumber() || c == u' ' || c == u'-' || c == u'_')
            out += c;
    return out.simplified().left(64);
}

} // namespace

QString KindName(TEntryKind kind)
{
    for (const TKindName &k : kKinds)
        if (k.kind == kind)
            return QString::fromLatin1(k.name);
    return {};
}

bool NameIs(QStringView name, QLatin1StringView expected)
{
    // Names read are nearly always ASCII: compared here without Unicode case folding, which a
    // name of any other character is left to.
    if (name.size() != expected.size())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t a = name[i].unicode();
        if (a >= 0x80)
            return name.compare(expected, Qt::CaseInsensitive) == 0;
        const char16_t b = expected[i].unicode();
        if (a == b)
            continue;
        const char16_t lower = a | 0x20;
        if (lower != (b | 0x20) || lower < u'a' || lower > u'z')
            return false;
    }
    return true;
}

std::optional<TEntryKind> KindOfElement(QStringView element)
{
    for (const TKindName &k : kKinds)
        if (NameIs(element, QLatin1StringView(k.element)))
            return k.kind;
    return std::nullopt;
}

TTextStyle ParseStyle(QStringView style)
{
    TTextStyle out;
    for (QStringView part : style.split(u';')) {
        const qsizetype colon = part.indexOf(u':');
        if (colon < 0)
            continue;
        const QStringView name = part.left(colon).trimmed();
        const QStringView value = part.mid(colon + 1).trimmed();
        auto is = [&name](const char *n) { return name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0; };
        auto has = [&value](const char *v) { return value.contains(QLatin1String(v), Qt::CaseInsensitive); };
        if (is("font-family"))
            out.fontFamily = FontFamily(value);
        else if (is("color"))
            out.color = Colour(value);
        else if (is("font-weight")) {
            bool number = false;
            const int weight = value.toInt(&number);
            out.bold = number ? weight >= 600 : (has("bold") || has("bolder"));
        } else if (is("font-style"))
            out.italic = has("italic") || has("oblique");
        else if (is("text-decoration"))
            out.underline = has("underline");
    }
    return out;
}

namespace {
// "YYYY-MM-DD?HH:MM:SS" with `separator` between date and time, then ".mmm" when `ms`.
QString FormatTime(const QDateTime &time, char separator, bool ms)
{
    const QDate d = time.date();
    const QTime t = time.time();
    char16_t buffer[24];
    char16_t *p = buffer;
    const auto put = [&p](int value, int digits) {
        for (int i = digits - 1; i >= 0; --i) {
            p[i] = char16_t(u'0' + value % 10);
            value /= 10;
        }
        p += digits;
    };
    put(qBound(0, d.year(), 9999), 4);
    *p++ = u'-';
    put(d.month(), 2);
    *p++ = u'-';
    put(d.day(), 2);
    *p++ = char16_t(separator);
    put(t.hour(), 2);
    *p++ = u':';
    put(t.minute(), 2);
    *p++ = u':';
    put(t.second(), 2);
    if (ms) {
        *p++ = u'.';
        put(t.msec(), 3);
    }
    return QString(reinterpret_cast<const QChar *>(buffer), p - buffer);
}
} // namespace

QString IsoTime(const THistoryEntry &entry)
{
    if (!entry.time.isValid())
        return {};
    QString text = FormatTime(entry.time, 'T', true);
    if (!entry.localTime)
        text += u'Z';
    return text;
}

QString PlainTime(const QDateTime &time)
{
    if (!time.isValid())
        return QStringLiteral("unknown time");
    return FormatTime(time, ' ', false);
}

} // namespace zorvak::history
