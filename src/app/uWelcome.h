#pragma once
// TfrmWelcome: shown at a first run that found several Passport-ID folders. Lets the user pick
// the language and offers "Which is my folder?".
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace zorvak {

class TfrmMain;

class TfrmWelcome final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmWelcome)
public:
    explicit TfrmWelcome(TfrmMain *owner);
    void RefreshCaptions();
    // Switches the language through the main window's menu item of the chosen caption.
    void cbLangChange();

    QLabel *labelLang = nullptr;
    QComboBox *cbLang = nullptr;
    QLabel *lbWelcome = nullptr;
    QPushButton *btOk = nullptr;
    QPushButton *btCancel = nullptr;

private:
    TfrmMain *m_main;
};

} // namespace zorvak
