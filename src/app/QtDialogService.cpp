#include "app/QtDialogService.h"

#include "common/Exceptions.h"
#include "shell/ProductInfo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFileDialog>
#include <QKeyEvent>
#include <QPushButton>

namespace zorvak {

namespace {
QMessageBox::Icon IconOf(TMsgDlgType kind)
{
    switch (kind) {
    case TMsgDlgType::mtWarning: return QMessageBox::Warning;
    case TMsgDlgType::mtError: return QMessageBox::Critical;
    case TMsgDlgType::mtInformation: return QMessageBox::Information;
    case TMsgDlgType::mtConfirmation: return QMessageBox::Question;
    case TMsgDlgType::mtCustom: break;
    }
    return QMessageBox::NoIcon;
}

// The window a dialog belongs to: the open modal window, else the active one.
QWidget *DialogParent()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}
} // namespace

QString ShownText(const QString &text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

TMessageForm::TMessageForm(const QString &title, const QString &message, TMsgDlgType kind, TMsgDlgButtons buttons,
                           const QStringList &captions, QWidget *parent)
    : QMessageBox(parent)
{
    setObjectName(QStringLiteral("MessageForm"));
    setIcon(IconOf(kind));
    setWindowTitle(title);
    setTextFormat(Qt::PlainText);
    setText(ShownText(message));

    const int wantedDefault = DefaultResult(buttons);
    const int wantedEscape = EscapeResult(buttons);
    QPushButton *help = nullptr;
    int n = 0;
    for (const ButtonKind &kindOf : ButtonKinds) {
        if (!(buttons & kindOf.button))
            continue;
        const QString caption = n < captions.size() ? captions.at(n) : QString();
        ++n;
        auto *button = new QPushButton(caption.isEmpty() ? QString::fromLatin1(kindOf.standardCaption) : caption);
        button->setObjectName(QString::fromLatin1(kindOf.captionKey));
        // Every desktop convention keeps action buttons in the order they were added.
        addButton(button, QMessageBox::ActionRole);
        m_buttons.append({button, kindOf.result});
        if (kindOf.button == mbHelp)
            help = button;
    }
    if (help) // Help does not close the dialog
        QObject::disconnect(help, &QAbstractButton::clicked, nullptr, nullptr);
    for (const Entry &e : std::as_const(m_buttons)) {
        if (e.result == wantedDefault && (buttons & (mbOK | mbYes)))
            setDefaultButton(e.button);
        if (e.result == wantedEscape && (buttons & (mbCancel | mbNo | mbOK)))
            setEscapeButton(e.button);
    }
}

QList<QPushButton *> TMessageForm::DisplayButtons() const
{
    QList<QPushButton *> list;
    for (const Entry &e : m_buttons)
        list.append(e.button);
    return list;
}

int TMessageForm::ResultCode() const
{
    if (m_closedByBox)
        return mrCancel;
    const QAbstractButton *clicked = clickedButton();
    for (const Entry &e : m_buttons)
        if (e.button == clicked)
            return e.result;
    return clicked ? mrCancel : mrNone;
}

int TMessageForm::Run()
{
    exec();
    const int result = ResultCode();
    return result == mrNone ? mrCancel : result;
}

void TMessageForm::closeEvent(QCloseEvent *event)
{
    // The close box: Cancel, whatever the buttons.
    m_closedByBox = clickedButton() == nullptr;
    event->accept();
    QDialog::done(QDialog::Rejected);
}

void TMessageForm::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel) && !escapeButton()) {
        event->accept(); // no cancel button: Escape does nothing
        return;
    }
    QMessageBox::keyPressEvent(event);
}

int QtDialogService::MessageDlg(const QString &title, const QString &message, TMsgDlgType kind,
                                TMsgDlgButtons buttons, const QStringList &captions)
{
    TMessageForm form(title, message, kind, buttons, captions, DialogParent());
    return form.Run();
}

void QtDialogService::PlainMessage(const QString &text)
{
    TMessageForm form(QString::fromLatin1(ApplicationTitle), text, TMsgDlgType::mtCustom, mbOK,
                      {QStringLiteral("OK")}, DialogParent());
    form.Run();
}

QString QtDialogService::BrowseForFolder(const QString &caption, const QString &startFolder)
{
    return QFileDialog::getExistingDirectory(DialogParent(), caption, startFolder);
}

QString QtDialogService::GetOpenFileName(const QString &title, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(DialogParent(), title, folder, filter);
}

QString QtDialogService::GetSaveFileName(const QString &title, const QString &fileName, const QString &filter,
                                         QString *selectedFilter, const QString &defaultSuffix)
{
    if (defaultSuffix.isEmpty())
        return QFileDialog::getSaveFileName(DialogParent(), title, fileName, filter, selectedFilter);
    // The dialog completes a name typed without an extension before it checks whether the file
    // exists, so the replace question is about the file that will be written.
    QFileDialog dialog(DialogParent(), title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(fileName);
    if (selectedFilter && !selectedFilter->isEmpty())
        dialog.selectNameFilter(*selectedFilter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (selectedFilter)
        *selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().first();
}

int QtDialogService::ShowModal(QObject *dialog)
{
    auto *window = qobject_cast<QDialog *>(dialog);
    if (!window)
        throw Exception(QStringLiteral("Internal error. Only a dialog window can be shown modally."));
    const int result = window->exec();
    return result == QDialog::Rejected ? mrCancel : result;
}

} // namespace zorvak
