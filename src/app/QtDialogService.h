#pragma once
// The dialog service of the desktop program: real Qt windows.
#include "shell/DialogService.h"

#include <QMessageBox>

class QPushButton;

namespace zorvak {

// The standard message dialog: an icon for the kind, the text (carriage returns shown as line
// breaks) and one button per kind of the set, in the fixed display order. Enter presses OK, else
// Yes; Escape presses Cancel, else No, else OK; the close box gives Cancel (2).
class TMessageForm final : public QMessageBox {
    Q_OBJECT
public:
    TMessageForm(const QString &title, const QString &message, TMsgDlgType kind, TMsgDlgButtons buttons,
                 const QStringList &captions, QWidget *parent = nullptr);
    // Shows the dialog modally and returns the result code of the pressed button.
    int Run();
    // The result code after the dialog was closed (mrNone while open).
    int ResultCode() const;
    // The buttons in display order.
    QList<QPushButton *> DisplayButtons() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Entry {
        QPushButton *button;
        int result;
    };
    QList<Entry> m_buttons;
    bool m_closedByBox = false;
};

// Message text as shown: a carriage return (alone or before a line feed) is a line break.
QString ShownText(const QString &text);

class QtDialogService final : public DialogService {
public:
    int MessageDlg(const QString &title, const QString &message, TMsgDlgType kind, TMsgDlgButtons buttons,
                   const QStringList &captions) override;
    void PlainMessage(const QString &text) override;
    QString BrowseForFolder(const QString &caption, const QString &startFolder) override;
    QString GetOpenFileName(const QString &title, const QString &folder, const QString &filter) override;
    QString GetSaveFileName(const QString &title, const QString &fileName, const QString &filter,
                            QString *selectedFilter, const QString &defaultSuffix) override;
    int ShowModal(QObject *dialog) override;
};

} // namespace zorvak
