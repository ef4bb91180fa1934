#pragma once
// TfrmBackup: the backup of one Messenger user's content into MCO packages. The window collects
// what the user gives (folder, e-mail address, content types, output file, options and, on Linux,
// the Windows account's password or hash and the master-key folder) and hands the run to
// TBackupCore; it answers the run's confirmation step with TfrmSelectFiles.
#include "backup/BackupCore.h"
#include "backup/CredentialControls.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace zorvak {

class TFolderTree;

// The menu's Backup: the backup window on the user folder selected in `tree`, or the message
// saying why the selection is not one.
void ShowBackupDialog(QWidget *owner, TFolderTree &tree);

class TfrmBackup final : public QDialog, public TBackupHost, public TCredentialControls {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmBackup)
public:
    explicit TfrmBackup(QWidget *owner = nullptr);

    void SetFolder(const QString &path);
    void RefreshCaptions();

    // Handlers.
    void btBrowseSaveClick();
    void btCloseClick();
    void btCancelClick();
    // Every activation of btStart (a click, Space, Return anywhere in the window as the default
    // button, a screen reader's press) runs the backup; Alt held, as the keyboard tells it now,
    // shows the decrypted map.
    void btStartClick();
    // The run with the modifiers given. Errors are raised to the caller (btStartClick's caller
    // shows them).
    void btStartMouseUp(Qt::KeyboardModifiers shift);

    // The user folder, address, Windows account and master-key folder: TCredentialControls.
    QGroupBox *gbItems = nullptr;
    QCheckBox *chEmot = nullptr;
    QCheckBox *chDp = nullptr;
    QCheckBox *chBg = nullptr;
    QCheckBox *chWink = nullptr;
    QCheckBox *chDdp = nullptr;
    QCheckBox *chDbg = nullptr;
    QLabel *labelOutput = nullptr;
    QLineEdit *edOutput = nullptr;
    QPushButton *btBrowseSave = nullptr;
    QCheckBox *chConfirm = nullptr;
    QCheckBox *chSkipDefault = nullptr;
    QPushButton *btStart = nullptr;
    QPushButton *btCancel = nullptr;
    QPushButton *btClose = nullptr;
    QPlainTextEdit *memDecrypted = nullptr;

    std::array<QCheckBox *, 6> TypeBoxes() const { return {chEmot, chDp, chBg, chWink, chDdp, chDbg}; }
    TBackupCore Core{*this};            // the items and result of the runs
    bool OutputChosen = false;          // edOutput came from the save dialog, which asked about replacing
    bool StoreFolder = false;           // edDir is an ObjectStore account: no Windows secret needed

    // What the controls ask for: the request of a run started now.
    TBackupRequest MakeRequest(bool altHeld) const;

    // TBackupHost
    void RunStateChanged(bool running) override;
    void DecryptedText(const QString &text) override;
    std::optional<int> ConfirmItems(ContentType type, const QString &displayName, const TMsnArr &items,
                                    const TDefaultTable &defaults, int previousTotal) override;
    // The step in the status hint; the window's events run between the steps.
    void Progress(TBackupStage stage, int done, int total, const QString &name) override;
    bool Poll() override;

    // Esc: during a run it asks the run to stop, as the close box does, and the window stays.
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // During a run the window stays: closing it asks the run to stop.
    void closeEvent(QCloseEvent *event) override;

private:
    bool m_cancelAsked = false; // Cancel, Esc or the close box during the run
};

} // namespace zorvak
