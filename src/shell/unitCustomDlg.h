#pragma once
// The localized message dialog and the status hint, callable from core code.
#include "shell/DialogService.h"

#include <exception>
#include <functional>

namespace zorvak {

// Shows the standard dialog with the given title and captions through the dialog service.
int CustomMessageDlg(const QString &title, const QString &message, TMsgDlgType kind, TMsgDlgButtons buttons,
                     const QStringList &captions);
// Title and captions from the catalogue in use.
int LangMessageDlg(const QString &message, TMsgDlgType kind, TMsgDlgButtons buttons);
// The plain message box: application title, one "OK".
void PlainMessageBox(const QString &text);

// The one error display for an error that no handler caught: the error's text under the
// application title, with a stop icon and one "OK". The message loop, the windows' handler guards
// and every other place that reports an escaped error use it (or RunShowingErrors), so such errors
// look the same wherever they happen.
void ShowException(const std::exception &error);
// Runs an action; an error that escapes it (of any type: one that is no std::exception shows as
// "Unknown error.") is shown by ShowException and the action is abandoned. Returns whether the
// action ran to its end.
bool RunShowingErrors(const std::function<void()> &action);
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
