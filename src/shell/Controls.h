#pragma once
// Builders for the windows' controls. Every control carries the name the window's design gives
// it: tests, the dialog service and the settings of each window find controls by that name.
#include <QString>

#include <utility>

class QBoxLayout;
class QDialog;
class QPushButton;

namespace zorvak {

// A new control of type W, made from `args` as W's constructor takes them (the parent last) and
// named `name`.
template <typename W, typename... Args> W *NewNamed(const char *name, Args &&...args)
{
    auto *control = new W(std::forward<Args>(args)...);
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

// Adds a dialog's closing row to `outer`: "btOk" (the default button) and "btCancel" at the right.
// Cancel rejects the dialog; what OK does is the dialog's to connect.
void AddOkCancelRow(QDialog *dialog, QBoxLayout *outer, QPushButton *&ok, QPushButton *&cancel);

} // namespace zorvak
