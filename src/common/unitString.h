#pragma once
// General string helpers used with catalogue texts and settings values.
#include <QString>
#include <QStringList>
#include <QVariant>

#include <span>

namespace zorvak {

// Splits at every occurrence of separator; an empty item appears between adjacent separators
// and for a leading one, a trailing separator gives no empty last item. Trim removes blanks and
// control characters around each item.
QStringList SplitString(const QString &text, const QString &separator, bool trim);
QString DigitsOnly(const QString &text);
// Overlapping matches count: a new search starts one character after the previous match.
int CountOccurrences(const QString &text, const QString &sub);
bool IsDigit(QChar c);

QString StripAmpersands(const QString &text);
// Checks that the number of "%" equals the number of arguments, fills "%s" / "%d" in order and
// removes every "&".
QString FormatText(const QString &templ, const QVariantList &arguments);

// One character and the sequence that stands for it in an escaped text.
struct TEscape {
    QChar plain;
    QLatin1String escaped;
};
// Every character the table lists becomes its sequence, in one pass: a sequence just written is
// never escaped again.
QString EscapeChars(QStringView text, std::span<const TEscape> table);
// Every sequence the table lists becomes its character, in one pass from the left (the first
// sequence of the table that matches wins); everything else stays as it is, so "&amp;lt;" read with
// the XML entities gives "&lt;".
QString UnescapeSequences(QStringView text, std::span<const TEscape> table);

// A path without its trailing "/" separators ("/" itself stays).
QString WithoutTrailingSeparators(QString path);
// The last element of a path, trailing separators ignored ("a/b/" gives "b").
QString LastPathElement(const QString &path);

} // namespace zorvak
