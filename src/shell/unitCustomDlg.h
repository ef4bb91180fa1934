#pragma once
// The localized message dialog and the status hint, callable from core code.
#include "shell/DialogService.h"

#include <exception>

namespace zorvak {

// Shows the standard dialog with the given title and captions through the dialog service.
int CustomMessageDlg(const QString &title, const QString &message, TMsgDlgType kind, TMsgDlgButtons buttons,
                     const QStringList &captions);
// Title and captions from the catalogue in use.
int LangMessageDlg(const QString &message, TMsgDlgType kind, TMsgDlgButtons buttons);
// The plain message box: application title, one "OK".
void PlainMessageBox(const QString &text);

// The error display of the message loop: the error's text under the application title, with a
// stop icon and one "OK".
void ShowException(const std::exception &error);
// The text and the class name ("Exception", "EInOutError", ...) of an error.
QString ExceptionMessage(const std::exception &error);
QString ExceptionClassName(const std::exception &error);

// The floating "working" notice. The main window installs the sink; without one nothing shows.
class StatusHintSink {
public:
    virtual ~StatusHintSink() = default;
    virtual void ShowStatusHint(const QString &text, int top, int left, unsigned char seconds) = 0;
    virtual void HideStatusHint() = 0;
};
void SetStatusHintSink(StatusHintSink *sink);
void ShowStatusHint(const QString &text, int top = -1, int left = -1, unsigned char seconds = 0);
void HideStatusHint();

} // namespace zorvak
