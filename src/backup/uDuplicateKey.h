#pragma once
// TfrmDuplicateKey: two emoticons whose shortcuts are equal or overlap, side by side. Edit on a
// side closes the window with that side's grid row; Ignore (shown only for overlapping keys)
// closes it with -1.
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace zorvak {

class TfrmDuplicateKey final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmDuplicateKey)
public:
    explicit TfrmDuplicateKey(QWidget *owner = nullptr);

    // Fills the next free side. A third entry raises "Internal error: Already set 2 duplicate keys.".
    void AddEntry(int row, const QString &filePath, const QString &name, const QString &key);
    void btEdit1Click(QPushButton *sender);

    QLabel *Image1 = nullptr;
    QLabel *lbInfo1 = nullptr;
    QPushButton *btEdit1 = nullptr;
    QFrame *Bevel1 = nullptr;
    QLabel *Image2 = nullptr;
    QLabel *lbInfo2 = nullptr;
    QPushButton *btEdit2 = nullptr;
    QPushButton *btIgnore = nullptr;

    int EntryCount = 0;
    QString FirstKey;

protected:
    // The close button is greyed: the window closes through its buttons only.
    void closeEvent(QCloseEvent *event) override;

public slots:
    void reject() override; // Escape: Ignore when it is offered, else nothing
};

// Shows a file's picture in an image control.
void PreviewInto(const QString &path, QLabel *image);

} // namespace zorvak
