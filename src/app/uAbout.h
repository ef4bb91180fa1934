#pragma once
// TfrmAbout: product, version, date of the executable, credits, thanks and the two links.
#include <QDialog>
#include <QLabel>
#include <QStringList>

class QPushButton;
class QWidget;

namespace zorvak {

// A label that acts as a link: blue, underlined, hand cursor, clicked by the mouse.
class TLinkLabel final : public QLabel {
    Q_OBJECT
public:
    explicit TLinkLabel(QWidget *parent = nullptr);
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

class TfrmAbout final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmAbout)
public:
    explicit TfrmAbout(QWidget *owner = nullptr);
    ~TfrmAbout() override;

    void RefreshCaptions();
    // One label per pair of thanks lines, flowed left to right and wrapped at the right margin.
    void LayoutThanks();
    void btOKClick();
    void lnkWebClick();
    void lnkEmailClick();

    QLabel *imgLogo = nullptr;
    QLabel *lbName = nullptr;
    QLabel *lbVer = nullptr;
    QLabel *lbNotice = nullptr;
    QLabel *lbBy = nullptr;
    QLabel *lbDesc = nullptr;
    QLabel *lbTranslatedBy = nullptr;
    QWidget *panBottom = nullptr;
    QLabel *lbLastMod = nullptr;
    QLabel *lbDate = nullptr;
    QLabel *lbSpcThx = nullptr;
    QLabel *lbThx = nullptr;
    QLabel *labelWebsite = nullptr;
    TLinkLabel *lnkWeb = nullptr;
    QLabel *labelEmail = nullptr;
    TLinkLabel *lnkEmail = nullptr;
    QLabel *lbUseContactForm = nullptr;
    QLabel *lbEmailIns = nullptr;
    QPushButton *btOK = nullptr;

    QStringList ThanksLines;          // arrayThanks split at carriage returns, not trimmed
    QList<QLabel *> ThanksLabels;     // element 0 is lbThx

private:
    void CreateControls();
    // Moves each line down below the one above when the desktop's font makes it reach it, and
    // grows the window to hold them.
    void FlowDown();
};

// The executable's version as "major.minor.release"; empty when it has none.
QString GetFileVersionText();

} // namespace zorvak
