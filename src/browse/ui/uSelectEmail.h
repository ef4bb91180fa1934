#pragma once
// "Which is my folder?": asks for an e-mail address and shows its folder ID as it is typed.
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace zorvak {

class TfrmSelectEmail : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSelectEmail(QWidget *parent = nullptr);
    QLabel *lbPleaseEnterEmail = nullptr;
    QComboBox *cbEmail = nullptr;
    QLabel *labelId = nullptr;
    QLabel *lbId = nullptr;
    QLabel *labelOkToSelect = nullptr;
    QPushButton *btOk = nullptr;
    QPushButton *btClose = nullptr;

    void RefreshCaptions();
    void cbEmailChange();
    // What leaving the combo box does: a text without "@" gets "@" and the default domain.
    void cbEmailExit();
    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
};

class TFolderTree;

// Asks for an address (the dialog above, owned by `owner`) and selects the node of its folder ID
// in `tree`; says so when the tree has no such node.
void SelectFolderOfAddress(TFolderTree &tree, QWidget *owner);

} // namespace zorvak
