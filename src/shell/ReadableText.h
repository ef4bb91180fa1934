#pragma once
// A label drawn in a colour of the design (the teal notes) that stays readable on the desktop's
// palette, whenever that palette changes (a dark theme chosen while the window is open included).
#include <QColor>

class QWidget;

namespace zorvak {

// Draws `label`'s text in `seed` on a light palette, in a readable variant of it on a dark one.
void KeepTextReadable(QWidget *label, const QColor &seed);

} // namespace zorvak
