#pragma once
// TfrmRestore: installs a CAB/MCO package (part after part for a split backup) by serving a copy
// of it on the loopback address and handing its URL to the content installer.
#include "restore/MessengerContentInstallerLibrary_TLB.h"
#include "restore/RestoreCore.h"
#include "restore/WebServer.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace zorvak {

// The restore window, on `package` when one is named; `listen` is the run's address and port,
// updated to what the window's last installation took.
void ShowRestoreDialog(QWidget *owner, TListenSettings &listen, const QString &package);

class TfrmRestore final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmRestore)
public:
    // `listen`: the run's address and port, shown in the fields; Listen holds what the last
    // installation took from them, for the run to keep.
    explicit TfrmRestore(QWidget *owner = nullptr, TListenSettings listen = {});
    ~TfrmRestore() override;

    // ---- controls ----
    QWidget *panTop = nullptr;
    QLabel *lbIns1 = nullptr;
    QLabel *edFileLabel = nullptr;
    QLineEdit *edFile = nullptr;
    QPushButton *btBrowse = nullptr;
    QPushButton *btAdvanced = nullptr;
    QWidget *panCentre = nullptr;
    QLabel *lbIns = nullptr;
    QLineEdit *edIp = nullptr;
    QLineEdit *edPort = nullptr;
    QWidget *panBottom = nullptr;
    QLabel *lbWaiting = nullptr; // shown while another installation holds the content library
    QPushButton *btStart = nullptr;
    QPushButton *btClose = nullptr;
    TMessengerContentInstaller *MessengerContentInstaller1 = nullptr;
    THTTPServer HTTPServer;

    // ---- handlers ----
    void FormCreate();
    void FormClose();
    void btBrowseClick();
    void btAdvancedClick();
    void btCloseClick();
    void btStartClick();
    void MessengerContentInstaller1ContentInstalled(TMessengerContentInstaller *ASender, qint32 lhrResult);
    bool StartWebServer();
    void StopWebServer();

    bool SimpleMode() const;
    bool Continuation = false; // a part was installed: no further confirmation
    TListenSettings Listen;

protected:
    void closeEvent(QCloseEvent *event) override;
    void done(int result) override;

private:
    template <typename F> void Guard(F &&handler);
    void SetButtonsEnabled(bool enabled);
    bool m_closed = false;
    std::unique_ptr<TPackageStage> m_stage; // the package copy this dialog serves
};

} // namespace zorvak
