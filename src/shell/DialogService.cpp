#include "shell/DialogService.h"

#include "common/Exceptions.h"
#include "common/ProcessService.h"

#include <cstdio>

namespace zorvak {

namespace {
QStringList StandardCaptions(TMsgDlgButtons buttons, const QStringList &captions)
{
    QStringList shown;
    int n = 0;
    for (const ButtonKind &b : ButtonKinds) {
        if (!(buttons & b.button))
            continue;
        const QString caption = n < captions.size() ? captions.at(n) : QString();
        shown.append(caption.isEmpty() ? QString::fromLatin1(b.standardCaption) : caption);
        ++n;
    }
    return shown;
}
} // namespace

int DefaultResult(TMsgDlgButtons buttons)
{
    if (buttons & mbOK)
        return mrOk;
    if (buttons & mbYes)
        return mrYes;
    for (const ButtonKind &b : ButtonKinds)
        if ((buttons & b.button) && b.result != mrNone)
            return b.result;
    return mrCancel;
}

int EscapeResult(TMsgDlgButtons buttons)
{
    if (buttons & mbCancel)
        return mrCancel;
    if (buttons & mbNo)
        return mrNo;
    if (buttons & mbOK)
        return mrOk;
    return mrCancel;
}

DialogService &DialogService::Get()
{
    return TProcessService<DialogService>::Get([] { return std::make_unique<BatchDialogService>(); });
}

std::unique_ptr<DialogService> DialogService::Set(std::unique_ptr<DialogService> service)
{
    return TProcessService<DialogService>::Replace(std::move(service));
}

void ScriptedDialogService::Answer(int result) { m_answers.push_back({Queued::Result, result, {}, {}}); }
void ScriptedDialogService::AnswerPath(const QString &path) { m_answers.push_back({Queued::Path, 0, path, {}}); }
void ScriptedDialogService::AnswerModal(ModalHandler handler)
{
    m_answers.push_back({Queued::Modal, 0, {}, std::move(handler)});
}

bool ScriptedDialogService::Take(int kind, Queued &out)
{
    if (m_answers.empty())
        return false;
    if (m_answers.front().kind != kind)
        throw Exception(QStringLiteral("Scripted dialog: the next answer is for another kind of dialog"));
    out = std::move(m_answers.front());
    m_answers.pop_front();
    return true;
}

QString ScriptedDialogService::TakePath()
{
    Queued q;
    return Take(Queued::Path, q) ? q.path : QString();
}

QStringList ScriptedDialogService::Messages() const
{
    QStringList texts;
    for (const DialogCall &c : calls)
        if (c.kind == DialogCall::Message || c.kind == DialogCall::Plain)
            texts.append(c.text);
    return texts;
}

int ScriptedDialogService::MessageDlg(const QString &title, const QString &message, TMsgDlgType kind,
                                      TMsgDlgButtons buttons, const QStringList &captions)
{
    DialogCall call{DialogCall::Message, title, message, kind, buttons, StandardCaptions(buttons, captions), {}, {}, {}};
    calls.push_back(call);
    Queued q;
    return Take(Queued::Result, q) ? q.result : DefaultResult(buttons);
}

void ScriptedDialogService::PlainMessage(const QString &text)
{
    calls.push_back({DialogCall::Plain, {}, text, TMsgDlgType::mtCustom, mbOK, {QStringLiteral("OK")}, {}, {}, {}});
}

QString ScriptedDialogService::BrowseForFolder(const QString &caption, const QString &startFolder)
{
    calls.push_back({DialogCall::Folder, caption, startFolder, TMsgDlgType::mtCustom, 0, {}, {}, {}, {}});
    return TakePath();
}

QString ScriptedDialogService::GetOpenFileName(const QString &title, const QString &folder, const QString &filter)
{
    calls.push_back({DialogCall::Open, title, folder, TMsgDlgType::mtCustom, 0, {}, filter, {}, {}});
    return TakePath();
}

QString ScriptedDialogService::GetSaveFileName(const QString &title, const QString &fileName, const QString &filter,
                                               QString *, const QString &defaultSuffix)
{
    calls.push_back({DialogCall::Save, title, fileName, TMsgDlgType::mtCustom, 0, {}, filter, {}, defaultSuffix});
    return TakePath();
}

int ScriptedDialogService::ShowModal(QObject *dialog)
{
    calls.push_back({DialogCall::Modal, {}, {}, TMsgDlgType::mtCustom, 0, {}, {}, dialog ? dialog->objectName() : QString(), {}});
    Queued q;
    if (!Take(Queued::Modal, q))
        return mrCancel;
    return q.handler ? q.handler(dialog) : mrCancel;
}

int BatchDialogService::MessageDlg(const QString &title, const QString &message, TMsgDlgType, TMsgDlgButtons buttons,
                                   const QStringList &)
{
    std::fprintf(stderr, "%s\n", qPrintable(Prefixed(title.isEmpty() ? message : title + QStringLiteral(": ") + message)));
    return DefaultResult(buttons);
}

void BatchDialogService::PlainMessage(const QString &text) { std::fprintf(stderr, "%s\n", qPrintable(Prefixed(text))); }

QString BatchDialogService::Prefixed(const QString &text) const
{
    QString shown = m_prefix.isEmpty() ? text : m_prefix + QStringLiteral(": ") + text;
    return shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

} // namespace zorvak
