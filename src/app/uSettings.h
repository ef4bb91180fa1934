#pragma once
// TfrmSettings: the paths the automatic scan combines and the content sub-folder names.
#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace zorvak {

class TfrmSettings final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmSettings)
public:
    explicit TfrmSettings(QWidget *owner = nullptr);

    void RefreshCaptions();
    // Fills the dialog from the settings file (when open) and the values in use.
    void LoadValues();
    // Applies the dialog's values to the values in use and writes them to the settings file.
    void SaveValues();

    void chDocSetClick();
    void chAppDatClick();
    void chMsnDatClick();
    void btRestoreDocSetClick();
    void btRestoreAppDatClick();
    void btRestoreMsnDatClick();
    void chChangeSubfoldersClick();
    // Closes the dialog with OK unless the documents folder row is ticked and names no folder.
    void btOkClick();

    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr;
    QWidget *TabSheet2 = nullptr;
    QLabel *lbIns1 = nullptr;
    QCheckBox *chDocSet = nullptr;
    QLabel *lbEgDocSet = nullptr;
    QLineEdit *edDocSet = nullptr;
    QPushButton *btRestoreDocSet = nullptr;
    QCheckBox *chAppDat = nullptr;
    QLabel *lbEgAppDat = nullptr;
    QLineEdit *edAppDat = nullptr;
    QPushButton *btRestoreAppDat = nullptr;
    QCheckBox *chMsnDat = nullptr;
    QLabel *lbEgMsnDat = nullptr;
    QLineEdit *edMsnDat = nullptr;
    QPushButton *btRestoreMsnDat = nullptr;
    QLabel *lbIns2 = nullptr;
    QFrame *Panel1 = nullptr;
    QLabel *lbLayout = nullptr; // the diagram of a content folder's path
    QLabel *lbBakIns = nullptr;
    QCheckBox *chChangeSubfolders = nullptr;
    QLineEdit *edEmot = nullptr;
    QLineEdit *edDp = nullptr;
    QLineEdit *edBg = nullptr;
    QLineEdit *edWink = nullptr;
    QLineEdit *EdDdp = nullptr;
    QLineEdit *edDBg = nullptr;
    // The labels of the six sub-folder edits.
    QLabel *lbEmot = nullptr;
    QLabel *lbDp = nullptr;
    QLabel *lbBg = nullptr;
    QLabel *lbWink = nullptr;
    QLabel *lbDdp = nullptr;
    QLabel *lbDBg = nullptr;
    QPushButton *btOk = nullptr;
    QPushButton *btCancel = nullptr;

private:
    // The value each path edit showed when the dialog opened.
    QString m_currentDocSet;
    QString m_currentAppDat;
    QString m_currentMsnDat;
    void CreateControls();
    // The sub-folder edits, in the order of the content types.
    QList<QLineEdit *> SubfolderEdits() const;
};

} // namespace zorvak
