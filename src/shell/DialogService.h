#pragma once
// Every message box, modal dialog and file dialog of the program goes through one dialog
// service. The desktop program installs the Qt implementation; tests install ScriptedDialogService,
// which answers in order and records what was shown; the command-line companion installs one
// that never asks.
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <deque>
#include <memory>

namespace zorvak {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Button kinds in their fixed display order.
enum TMsgDlgBtn : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
    mbAll = 1u << 7,
    mbNoToAll = 1u << 8,
    mbYesToAll = 1u << 9,
    mbHelp = 1u << 10,
};
using TMsgDlgButtons = unsigned;

// Result codes of the message dialog.
enum : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7,
             mrAll = 8, mrNoToAll = 9, mrYesToAll = 10 };

struct ButtonKind {
    TMsgDlgBtn button;
    const char *captionKey;
    const char *standardCaption;
    int result; // mrNone for Help, which does not close the dialog
};
inline constexpr ButtonKind ButtonKinds[11] = {
    {mbYes, "mbYes", "Yes", mrYes},          {mbNo, "mbNo", "No", mrNo},
    {mbOK, "mbOK", "OK", mrOk},              {mbCancel, "mbCancel", "Cancel", mrCancel},
    {mbAbort, "mbAbort", "Abort", mrAbort},  {mbRetry, "mbRetry", "Retry", mrRetry},
    {mbIgnore, "mbIgnore", "Ignore", mrIgnore}, {mbAll, "mbAll", "All", mrAll},
    {mbNoToAll, "mbNoToAll", "No To All", mrNoToAll}, {mbYesToAll, "mbYesToAll", "Yes To All", mrYesToAll},
    {mbHelp, "mbHelp", "Help", mrNone},
};
// Result of Enter (OK if present, else Yes) and of Escape (Cancel, else No, else OK).
int DefaultResult(TMsgDlgButtons buttons);
int EscapeResult(TMsgDlgButtons buttons);

class DialogService {
public:
    virtual ~DialogService() = default;
    static DialogService &Get();
    static std::unique_ptr<DialogService> Set(std::unique_ptr<DialogService> service);

    // The standard message dialog with the given title and button captions (one per button of
    // the set, in display order; an empty caption keeps the standard one).
    virtual int MessageDlg(const QString &title, const QString &message, TMsgDlgType kind, TMsgDlgButtons buttons,
                           const QStringList &captions) = 0;
    // The platform's plain message box: application title, one "OK".
    virtual void PlainMessage(const QString &text) = 0;
    // Folder, open and save dialogs; an empty result means cancelled.
    virtual QString BrowseForFolder(const QString &caption, const QString &startFolder) = 0;
    virtual QString GetOpenFileName(const QString &title, const QString &folder, const QString &filter) = 0;
    // `selectedFilter` in: the filter to preselect; out: the filter chosen. `defaultSuffix`
    // (without the dot) is added to a name typed without an extension, and the question about
    // replacing an existing file is asked for that completed name.
    virtual QString GetSaveFileName(const QString &title, const QString &fileName, const QString &filter,
                                    QString *selectedFilter = nullptr, const QString &defaultSuffix = QString()) = 0;
    // Shows a window (a QDialog) modally and returns its result code.
    virtual int ShowModal(QObject *dialog) = 0;
};

// A recorded call of the scripted service.
struct DialogCall {
    enum Kind { Message, Plain, Folder, Open, Save, Modal } kind;
    QString title;        // window title (or caption of a file dialog)
    QString text;         // message text, or the start folder / file name of a file dialog
    TMsgDlgType type = TMsgDlgType::mtCustom;
    TMsgDlgButtons buttons = 0;
    QStringList captions; // captions shown, in display order
    QString filter;
    QString dialogName;   // objectName of a modal window
    QString defaultSuffix; // of a save dialog
};

// Answers from a queue, in order, and records every call. An unanswered message dialog returns
// the Enter result, an unanswered file dialog is cancelled and an unanswered modal window returns
// mrCancel.
class ScriptedDialogService : public DialogService {
public:
    using ModalHandler = std::function<int(QObject *dialog)>;
    // Queue answers.
    void Answer(int result);                       // next message dialog
    void AnswerPath(const QString &path);          // next folder/open/save dialog
    void AnswerModal(ModalHandler handler);        // next modal window
    std::vector<DialogCall> calls;
    // Texts of the message and plain dialogs, in order.
    QStringList Messages() const;
    void ClearCalls() { calls.clear(); }
    bool AllAnswered() const { return m_answers.empty(); }

    int MessageDlg(const QString &title, const QString &message, TMsgDlgType kind, TMsgDlgButtons buttons,
                   const QStringList &captions) override;
    void PlainMessage(const QString &text) override;
    QString BrowseForFolder(const QString &caption, const QString &startFolder) override;
    QString GetOpenFileName(const QString &title, const QString &folder, const QString &filter) override;
    QString GetSaveFileName(const QString &title, const QString &fileName, const QString &filter,
                            QString *selectedFilter, const QString &defaultSuffix) override;
    int ShowModal(QObject *dialog) override;

private:
    struct Queued {
        enum { Result, Path, Modal } kind;
        int result = 0;
        QString path;
        ModalHandler handler;
    };
    std::deque<Queued> m_answers;
    bool Take(int kind, Queued &out);
    QString TakePath();
};

// Never asks: message dialogs are written to standard error and answered with Enter, file
// dialogs are cancelled. Used by the command-line companion.
class BatchDialogService : public DialogService {
public:
    // `prefix` ("zorvak-cli install"), when given, starts every message: "PREFIX: ...".
    explicit BatchDialogService(QString prefix = {}) : m_prefix(std::move(prefix)) {}
    int MessageDlg(const QString &title, const QString &message, TMsgDlgType kind, TMsgDlgButtons buttons,
                   const QStringList &captions) override;
    void PlainMessage(const QString &text) override;
    QString BrowseForFolder(const QString &, const QString &) override { return {}; }
    QString GetOpenFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString GetSaveFileName(const QString &, const QString &, const QString &, QString *, const QString &) override
    {
        return {};
    }
    int ShowModal(QObject *) override { return mrCancel; }

private:
    QString Prefixed(const QString &text) const;
    QString m_prefix;
};

} // namespace zorvak
