#include "common/SafeName.h"

#include <QRegularExpression>

namespace zorvak::named {

namespace {

bool IsWindowsReserved(char16_t c)
{
    switch (c) {
    case u'<': case u'>': case u':': case u'"': case u'/': case u'\\': case u'|': case u'?': case u'*':
        return true;
    default:
        return false;
    }
}

// One code point of `text` at `i`: its length in UTF-16 units (a pair stays together).
qsizetype PointLength(const QString &text, qsizetype i)
{
    return text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
}

// The marks that change the direction of the text around them: a name holding one shows in a
// file manager as something other than what it is ("gpj.exe" read as "exe.jpg").
bool IsBidiControl(char16_t c)
{
    return c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// Characters that must not appear anywhere in a name.
bool IsRefused(const QString &point, const TSafeNameRules &rules)
{
    if (point.size() == 1) {
        const QChar c = point.at(0);
        if (c.isSurrogate() || c.category() == QChar::Other_Control || c.unicode() == 0x2028 || c.unicode() == 0x2029
            || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF || IsBidiControl(c.unicode()) || IsWindowsReserved(c.unicode()))
            return true;
        if (rules.noSpaces && c.isSpace())
            return true;
    }
    return false;
}

// A smiley theme reads a line starting with one of these as something other than a picture.
bool IsThemeMarkup(QChar c) { return c == u'!' || c == u'#' || c == u'['; }

// A smiley theme reads a line starting with one of these, in any letter case, as a header line,
// even among the pictures.
bool StartsWithHeaderWord(const QString &text)
{
    for (const char *word : {"Name=", "Description=", "Icon=", "Author="})
        if (text.startsWith(QLatin1String(word), Qt::CaseInsensitive))
            return true;
    return false;
}

// Whether a theme would read `text`, as the first word of a line, as something else than a picture.
bool IsThemeKeyword(const QString &text)
{
    return !text.isEmpty() && (IsThemeMarkup(text.at(0)) || StartsWithHeaderWord(text));
}

// CON, PRN, AUX, NUL, COM0-9, LPT0-9 (and COM/LPT with a superscript digit), letter case ignored.
bool IsDeviceName(const QString &base)
{
    const QString b = base.trimmed().toUpper();
    static const QStringList plain = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                      QStringLiteral("NUL"), QStringLiteral("CONIN$"), QStringLiteral("CONOUT$")};
    if (plain.contains(b))
        return true;
    if (b.size() == 4 && (b.startsWith(QLatin1String("COM")) || b.startsWith(QLatin1String("LPT")))) {
        const char16_t d = b.at(3).unicode();
        return (d >= u'0' && d <= u'9') || d == u'\u00B9' || d == u'\u00B2' || d == u'\u00B3';
    }
    return false;
}

// `text` cut, code point by code point, to at most `chars` UTF-16 units and `bytes` UTF-8 bytes.
QString Cut(const QString &text, qsizetype chars, qsizetype bytes)
{
    QString out;
    qsizetype usedBytes = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = PointLength(text, i);
        const QString point = text.mid(i, len);
        const qsizetype b = point.toUtf8().size();
        if (out.size() + len > chars || usedBytes + b > bytes)
            break;
        out += point;
        usedBytes += b;
        i += len;
    }
    return out;
}

// Trailing dots and spaces go; leading ones as the rules say.
void TrimEnds(QString &text, TSafeNameRules::Leading leading)
{
    using Leading = TSafeNameRules::Leading;
    qsizetype start = 0;
    if (leading != Leading::Keep)
        while (start < text.size() && ((leading == Leading::Drop && text.at(start) == u'.') || text.at(start) == u' '))
            ++start;
    qsizetype end = text.size();
    while (end > start && (text.at(end - 1) == u'.' || text.at(end - 1) == u' '))
        --end;
    text = text.mid(start, end - start);
    if (leading == Leading::Mark && !text.isEmpty() && text.at(0) == u'.')
        text[0] = u'_';
}

QString SafeExtension(const QString &ext)
{
    static const QRegularExpression valid(QStringLiteral("^\\.[a-z0-9]{1,8}$"));
    return valid.match(ext).hasMatch() ? ext : QString();
}

} // namespace

QString SafeStem(const QString &name, const TSafeNameRules &rules, int reserveChars, int reserveBytes)
{
    const QString text = name.normalized(QString::NormalizationForm_C);
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = PointLength(text, i);
        const QString point = text.mid(i, len);
        out += IsRefused(point, rules) ? QStringLiteral("_") : point;
        i += len;
    }
    TrimEnds(out, rules.leading);
    if (rules.noSpaces && !out.isEmpty() && IsThemeMarkup(out.at(0)))
        out[0] = u'_';
    if (rules.noSpaces && StartsWithHeaderWord(out))
        out.prepend(u'_');
    const qsizetype chars = rules.limitLength ? qMax(1, kMaxNameChars - reserveChars) : out.size() + 1;
    const qsizetype bytes = rules.limitLength ? qMax(4, qMin(kMaxNameBytes, rules.maxBytes) - reserveBytes) : 4 * out.size() + 4;
    out = Cut(out, chars, bytes);
    TrimEnds(out, rules.leading);
    const qsizetype dot = out.indexOf(u'.');
    if (IsDeviceName(dot < 0 ? out : out.left(dot))) {
        out.insert(rules.markDeviceBefore ? 0 : dot < 0 ? out.size() : dot, u'_');
        out = Cut(out, chars, bytes);
        TrimEnds(out, rules.leading);
    }
    return out;
}

QString TNameSet::Key(const QString &fileName) { return fileName.normalized(QString::NormalizationForm_C).toCaseFolded(); }

QString TNameSet::Claim(const QString &name, const QString &ext, const QString &fallback, const TSafeNameRules &rules)
{
    const QString extension = SafeExtension(ext);
    const int reserve = int(extension.size()); // ASCII: as many bytes as characters
    QString stem = SafeStem(name, rules, reserve, reserve);
    if (stem.isEmpty())
        stem = SafeStem(fallback, rules, reserve, reserve);
    if (stem.isEmpty())
        stem = QStringLiteral("_");
    QString candidate = stem + extension;
    for (int n = 2; m_used.contains(Key(candidate)); ++n) {
        const QString suffix = rules.noSpaces ? QStringLiteral("_%1").arg(n) : QStringLiteral(" (%1)").arg(n);
        const int more = reserve + int(suffix.size());
        QString cut = SafeStem(stem, rules, more, more);
        if (cut.isEmpty())
            cut = QStringLiteral("_");
        candidate = cut + suffix + extension;
    }
    m_used.insert(Key(candidate));
    return candidate;
}

bool IsSafeFileName(const QString &fileName, const TSafeNameRules &rules)
{
    if (fileName.isEmpty())
        return false;
    if (rules.limitLength && (fileName.size() > kMaxNameChars || fileName.toUtf8().size() > qMin(kMaxNameBytes, rules.maxBytes)))
        return false;
    if (fileName != fileName.normalized(QString::NormalizationForm_C))
        return false;
    for (qsizetype i = 0; i < fileName.size();) {
        const qsizetype len = PointLength(fileName, i);
        if (IsRefused(fileName.mid(i, len), rules))
            return false;
        i += len;
    }
    const QChar first = fileName.front(), last = fileName.back();
    if (last == u'.' || last == u' ')
        return false;
    if (rules.leading != TSafeNameRules::Leading::Keep && (first == u'.' || first == u' '))
        return false;
    if (rules.noSpaces && IsThemeKeyword(fileName))
        return false;
    const qsizetype dot = fileName.indexOf(u'.');
    return !IsDeviceName(dot < 0 ? fileName : fileName.left(dot));
}

} // namespace zorvak::named
