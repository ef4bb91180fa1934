#pragma once
// General string helpers used with catalogue texts and settings values.
#include <QString>
#include <QStringList>
#include <QVariant>

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

} // namespace zorvak
