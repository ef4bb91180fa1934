#include "shell/unitCustomDlg.h"

#include "common/Exceptions.h"
#include "shell/ProductInfo.h"
#include "shell/uLanguage.h"

namespace zorvak {

namespace {
StatusHintSink *g_hintSink = nullptr;

const char *TitleKey(TMsgDlgType kind)
{
    switch (kind) {
    case TMsgDlgType::mtWarning: return "mtWarning";
    case TMsgDlgType::mtError: return "mtError";
    case TMsgDlgType::mtInformation: return "mtInformation";
    case TMsgDlgType::mtConfirmation: return "mtConfirmation";
    case TMsgDlgType::mtCustom: break;
    }
    return "mtCustom";
}
} // namespace

int CustomMessageDlg(const QString &title, const QString &message, TMsgDlgType kind, TMsgDlgButtons buttons,
                     const QStringList &captions)
{
    return DialogService::Get().MessageDlg(title, message, kind, buttons, captions);
}

int LangMessageDlg(const QString &message, TMsgDlgType kind, TMsgDlgButtons buttons)
{
    const TLanguage &lang = CurrentLanguage();
    QStringList captions;
    for (const ButtonKind &b : ButtonKinds)
        if (buttons & b.button)
            captions.append(lang.Get(QString::fromLatin1(b.captionKey)));
    QString title;
    try {
        title = lang.Get(QString::fromLatin1(TitleKey(kind)));
    } catch (const Exception &) {
        title.clear();
    }
    return CustomMessageDlg(title, message, kind, buttons, captions);
}

void PlainMessageBox(const QString &text) { DialogService::Get().PlainMessage(text); }

QString ExceptionMessage(const std::exception &error)
{
    if (const auto *ours = dynamic_cast<const Exception *>(&error))
        return ours->Message();
    return QString::fromLocal8Bit(error.what());
}

QString ExceptionClassName(const std::exception &error)
{
    if (const auto *ours = dynamic_cast<const Exception *>(&error))
        return ours->ClassName();
    return QStringLiteral("Exception");
}

void ShowException(const std::exception &error)
{
    DialogService::Get().MessageDlg(QString::fromLatin1(ApplicationTitle), ExceptionMessage(error),
                                    TMsgDlgType::mtError, mbOK, {QStringLiteral("OK")});
}

bool RunShowingErrors(const std::function<void()> &action)
{
    try {
        action();
        return true;
    } catch (const std::exception &error) {
        ShowException(error);
    } catch (...) {
        ShowException(Exception(QStringLiteral("Unknown error.")));
    }
    return false;
}

void SetStatusHintSink(StatusHintSink *sink) { g_hintSink = sink; }

void ShowStatusHint(const QString &text, int top, int left, unsigned char seconds)
{
    if (g_hintSink)
        g_hintSink->ShowStatusHint(text, top, left, seconds);
}

void HideStatusHint()
{
    if (g_hintSink)
        g_hintSink->HideStatusHint();
}

} // namespace zorvak
