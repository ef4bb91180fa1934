#include "common/unitString.h"

#include "common/Exceptions.h"

#include <algorithm>

namespace zorvak {

namespace {
bool IsBlankOrControl(QChar c) { return c.unicode() <= 32; }

QString TrimBlanks(const QString &s)
{
    int b = 0, e = int(s.size());
    while (b < e && IsBlankOrControl(s.at(b)))
        ++b;
    while (e > b && IsBlankOrControl(s.at(e - 1)))
        --e;
    return s.mid(b, e - b);
}
} // namespace

QStringList SplitString(const QString &text, const QString &separator, bool trim)
{
    QStringList items;
    if (text.isEmpty())
        return items;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype match = separator.isEmpty() ? -1 : text.indexOf(separator, start);
        if (match < 0)
            match = text.size();
        const QString item = text.mid(start, match - start);
        items.append(trim ? TrimBlanks(item) : item);
        start = match + qMax<qsizetype>(separator.size(), 1);
    }
    return items;
}

QString DigitsOnly(const QString &text)
{
    QString out;
    for (QChar c : text)
        if (IsDigit(c))
            out.append(c);
    return out;
}

int CountOccurrences(const QString &text, const QString &sub)
{
    if (sub.isEmpty())
        return 0;
    int count = 0;
    qsizetype pos = text.indexOf(sub, 0);
    while (pos >= 0) {
        ++count;
        pos = text.indexOf(sub, pos + 1);
    }
    return count;
}

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

QString StripAmpersands(const QString &text)
{
    QString out = text;
    out.remove(QLatin1Char('&'));
    return out;
}

QString FormatText(const QString &templ, const QVariantList &arguments)
{
    if (CountOccurrences(templ, QStringLiteral("%")) != arguments.size())
        throw Exception(QStringLiteral("# holder != #params:\rtemplate=") + templ);
    QString out;
    int next = 0;
    for (qsizetype i = 0; i < templ.size(); ++i) {
        const QChar c = templ.at(i);
        if (c == QLatin1Char('%') && i + 1 < templ.size()
            && (templ.at(i + 1) == QLatin1Char('s') || templ.at(i + 1) == QLatin1Char('d'))) {
            const QVariant &arg = arguments.at(next++);
            if (templ.at(i + 1) == QLatin1Char('d')) {
                bool ok = false;
                const qlonglong n = arg.toLongLong(&ok);
                if (!ok)
                    throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(templ));
                out += QString::number(n);
            } else {
                out += arg.toString();
            }
            ++i;
        } else {
            out.append(c);
        }
    }
    return StripAmpersands(out);
}

QString EscapeChars(QStringView text, std::span<const TEscape> table)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const auto found = std::find_if(table.begin(), table.end(), [c](const TEscape &e) { return e.plain == c; });
        if (found == table.end())
            out += c;
        else
            out += found->escaped;
    }
    return out;
}

QString UnescapeSequences(QStringView text, std::span<const TEscape> table)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QStringView rest = text.mid(i);
        const auto found = std::find_if(table.begin(), table.end(), [rest](const TEscape &e) {
            return !e.escaped.isEmpty() && rest.startsWith(e.escaped);
        });
        if (found == table.end()) {
            out += text.at(i);
            ++i;
        } else {
            out += found->plain;
            i += found->escaped.size();
        }
    }
    return out;
}

QString WithoutTrailingSeparators(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

QString LastPathElement(const QString &path)
{
    const QString p = WithoutTrailingSeparators(path);
    return p.mid(p.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace zorvak
