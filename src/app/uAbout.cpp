#include "app/uAbout.h"

#include "platform/Platform.h"
#include "shell/Controls.h"
#include "shell/ReadableText.h"
#include "shell/ProductInfo.h"
#include "shell/uLanguage.h"
#include "common/unitString.h"

#include <QDate>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

namespace zorvak {

namespace {
constexpr int kClientWidth = 468;
constexpr int kClientHeight = 339;
constexpr int kBottomHeight = 209;
const QColor kBackground(223, 221, 215);
const QColor kTranslatorGreen(0, 176, 57);
const QColor kThanksPurple(146, 13, 255);


QLabel *NewLabel(QWidget *parent, const char *name, int x, int y)
{
    auto *label = NewNamed<QLabel>(name, parent);
    label->move(x, y);
    return label;
}

// Sets a label's text and fits its width to it.
void Fit(QLabel *label, const QString &text)
{
    label->setText(text);
    label->adjustSize();
}

QPixmap Logo()
{
    QPixmap pixmap(80, 80);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0, 110, 180));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 2, 76, 76), 14, 14);
    p.setBrush(QColor(255, 204, 0));
    p.drawEllipse(QRectF(18, 18, 44, 44));
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(30);
    p.setFont(f);
    p.setPen(QColor(0, 70, 120));
    p.drawText(QRectF(18, 18, 44, 44), Qt::AlignCenter, QStringLiteral("Z"));
    return pixmap;
}
} // namespace

QString GetFileVersionText() { return Platform::Get().Version(); }

TLinkLabel::TLinkLabel(QWidget *parent) : QLabel(parent)
{
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    KeepTextReadable(this, Qt::blue);
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

TfrmAbout::TfrmAbout(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("TfrmAbout"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // The design's grey on a light desktop; a dark one keeps its own background.
    if (!IsDarkPalette(palette())) {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, kBackground);
        setPalette(pal);
    }
    setAutoFillBackground(true);
    // The text is in the desktop's font, at its size.
    setFixedSize(kClientWidth, kClientHeight);
    CreateControls();
    RefreshCaptions();
    LayoutThanks();
    FlowDown();
}

TfrmAbout::~TfrmAbout()
{
    // The run-time thanks labels; lbThx belongs to the window's design.
    for (qsizetype i = 1; i < ThanksLabels.size(); ++i)
        delete ThanksLabels.at(i);
}

void TfrmAbout::CreateControls()
{
    imgLogo = NewLabel(this, "imgLogo", 12, 12);
    imgLogo->setPixmap(Logo());
    imgLogo->resize(80, 80);
    lbName = NewLabel(this, "lbName", 104, 4);
    QFont big = lbName->font(); // the design's 14 points beside its 8
    big.setBold(true);
    if (big.pointSizeF() > 0)
        big.setPointSizeF(big.pointSizeF() * 1.75);
    else
        big.setPixelSize(big.pixelSize() * 7 / 4);
    lbName->setFont(big);
    Fit(lbName, QString::fromLatin1(ProductName));
    lbVer = NewLabel(this, "lbVer", 200, 12);
    lbNotice = NewLabel(this, "lbNotice", 106, 32);
    lbBy = NewLabel(this, "lbBy", 106, 46);
    lbDesc = NewLabel(this, "lbDesc", 106, 62);
    QFont italic = lbDesc->font();
    italic.setItalic(true);
    lbDesc->setFont(italic);
    lbDesc->setWordWrap(true);
    lbDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbDesc->resize(kClientWidth - 106 - 12, 40);
    lbTranslatedBy = NewLabel(this, "lbTranslatedBy", 106, 104);
    lbTranslatedBy->setFont(italic);
    lbTranslatedBy->setWordWrap(true);
    lbTranslatedBy->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbTranslatedBy->resize(kClientWidth - 106 - 12, 15);
    KeepTextReadable(lbTranslatedBy, kTranslatorGreen);

    panBottom = NewNamed<QWidget>("panBottom", this);
    panBottom->setGeometry(0, kClientHeight - kBottomHeight, kClientWidth, kBottomHeight);
    lbLastMod = NewLabel(panBottom, "lbLastMod", 12, 6);
    lbDate = NewLabel(panBottom, "lbDate", 80, 6);
    lbSpcThx = NewLabel(panBottom, "lbSpcThx", 12, 28);
    lbThx = NewLabel(panBottom, "lbThx", 12, 44);
    KeepTextReadable(lbThx, kThanksPurple);
    labelWebsite = NewLabel(panBottom, "labelWebsite", 12, 116);
    lnkWeb = NewNamed<TLinkLabel>("lnkWeb", panBottom);
    lnkWeb->move(70, 116);
    Fit(lnkWeb, QString::fromLatin1(ProductWebsite));
    labelEmail = NewLabel(panBottom, "labelEmail", 12, 134);
    lnkEmail = NewNamed<TLinkLabel>("lnkEmail", panBottom);
    lnkEmail->move(70, 134);
    Fit(lnkEmail, QString::fromLatin1(ProductEmail));
    lbUseContactForm = NewLabel(panBottom, "lbUseContactForm", 200, 134);
    lbEmailIns = NewLabel(panBottom, "lbEmailIns", 70, 150);
    btOK = NewNamed<QPushButton>("btOK", QStringLiteral("OK"), panBottom);
    btOK->setGeometry(kClientWidth - 12 - 75, kBottomHeight - 8 - 25, 75, 25);
    btOK->setDefault(true);

    connect(btOK, &QPushButton::clicked, this, &TfrmAbout::btOKClick);
    connect(lnkWeb, &TLinkLabel::clicked, this, &TfrmAbout::lnkWebClick);
    connect(lnkEmail, &TLinkLabel::clicked, this, &TfrmAbout::lnkEmailClick);
    SetMainButton(this, btOK);
}

void TfrmAbout::RefreshCaptions()
{
    setWindowTitle(Lang("tiAbout"));
    // The notice and the "by" line are whole sentences of the catalogue, the maker's name included,
    // so that each language words them its own way.
    Fit(lbNotice, Lang("AboutNotice"));
    Fit(lbBy, Lang("by"));
    lbDesc->setText(Lang("AboutDesc"));
    if (Lang("_ID") != QLatin1String("EN")) {
        lbTranslatedBy->setText(Lang("TranslatedBy"));
        lbTranslatedBy->resize(lbTranslatedBy->width(), lbTranslatedBy->heightForWidth(lbTranslatedBy->width()));
        lbTranslatedBy->show();
        setFixedSize(width(), height() + lbTranslatedBy->height() - 15);
    } else {
        lbTranslatedBy->hide();
        setFixedSize(width(), height() - 27);
    }
    panBottom->move(0, height() - kBottomHeight);

    Fit(lbVer, FormatText(Lang("AboutVersion"), {GetFileVersionText()}));
    lbVer->move(lbName->x() + lbName->width() + 8, lbName->y() + lbName->height() - lbVer->height() - 3);
    Fit(lbLastMod, WithColon(Lang("LastMod")));
    // Day, the language's short month name, year.
    const QDate modified = Platform::Get().ExecutableModified().date();
    const QStringList months = Lang("Months").split(QLatin1Char('\r'));
    Fit(lbDate, QStringLiteral("%1 %2 %3")
                    .arg(modified.day(), 2, 10, QLatin1Char('0'))
                    .arg(months.value(modified.month() - 1))
                    .arg(modified.year()));
    lbDate->move(lbLastMod->x() + lbLastMod->width() + 4, lbDate->y());
    Fit(lbSpcThx, WithColon(Lang("SpcThx")));
    Fit(labelWebsite, WithColon(Lang("Website")));
    lnkWeb->move(labelWebsite->x() + labelWebsite->width() + 6, lnkWeb->y());
    Fit(labelEmail, WithColon(Lang("Email")));
    lnkEmail->move(labelEmail->x() + labelEmail->width() + 6, lnkEmail->y());
    Fit(lbUseContactForm, Lang("UseContactForm"));
    lbUseContactForm->move(lnkEmail->x() + lnkEmail->width() + 6, lbUseContactForm->y());
    Fit(lbEmailIns, Lang("EmailIns"));
    lbEmailIns->move(lnkEmail->x(), lbEmailIns->y());
    // A translation longer than the design's line widens the window rather than being cut.
    const int needed = std::max(lbUseContactForm->x() + lbUseContactForm->width(), lbEmailIns->x() + lbEmailIns->width()) + 12;
    if (needed > width()) {
        setFixedSize(needed, height());
        panBottom->resize(needed, panBottom->height());
        btOK->move(needed - 12 - btOK->width(), btOK->y());
    }
    ThanksLines = Lang("arrayThanks").split(QLatin1Char('\r'));
}

void TfrmAbout::LayoutThanks()
{
    const qsizetype n = ThanksLines.size();
    const qsizetype count = (n + 1) / 2;
    ThanksLabels = {lbThx};
    for (qsizetype i = 1; i < count; ++i) {
        auto *label = new QLabel(lbThx->parentWidget());
        label->setObjectName(QStringLiteral("lbThx%1").arg(i));
        label->setPalette(lbThx->palette());
        label->setFont(lbThx->font());
        label->show();
        ThanksLabels.append(label);
    }
    for (qsizetype i = 0; i < count; ++i) {
        QLabel *label = ThanksLabels.at(i);
        const QString mark = i + 1 < count ? QStringLiteral(",") : QStringLiteral(".");
        Fit(label, ThanksLines.at(2 * i) + mark);
        label->setToolTip(2 * i + 1 < n ? ThanksLines.at(2 * i + 1) : QString());
    }
    const int rightMargin = width() - 2 * lbThx->x();
    for (qsizetype i = 1; i < count; ++i) {
        QLabel *previous = ThanksLabels.at(i - 1);
        QLabel *label = ThanksLabels.at(i);
        label->move(previous->x() + previous->width() + 5, previous->y());
        if (label->x() + label->width() > rightMargin)
            label->move(lbThx->x(), previous->y() + previous->height() + 1);
    }
}

void TfrmAbout::FlowDown()
{
    // A line keeps its place in the design unless the line above, in a larger font, reaches it.
    const auto below = [](QWidget *line, const QWidget *above, int gap) {
        if (line->y() < above->y() + above->height() + gap)
            line->move(line->x(), above->y() + above->height() + gap);
    };
    lbDesc->resize(lbDesc->width(), std::max(lbDesc->height(), lbDesc->heightForWidth(lbDesc->width())));
    below(lbNotice, lbName, 0);
    below(lbBy, lbNotice, 0);
    below(lbDesc, lbBy, 2);
    below(lbTranslatedBy, lbDesc, 2);
    const QWidget *lastTop = lbTranslatedBy->isHidden() ? lbDesc : lbTranslatedBy;
    const int top = std::max(panBottom->y(), lastTop->y() + lastTop->height() + 1);

    below(lbSpcThx, lbLastMod, 6);
    const int thanksAt = lbThx->y();
    below(lbThx, lbSpcThx, 1);
    for (qsizetype i = 1; i < ThanksLabels.size(); ++i) // the flowed thanks follow the first
        ThanksLabels.at(i)->move(ThanksLabels.at(i)->x(), ThanksLabels.at(i)->y() + lbThx->y() - thanksAt);
    int thanksBottom = 0;
    for (const QLabel *label : std::as_const(ThanksLabels))
        thanksBottom = std::max(thanksBottom, label->y() + label->height());
    if (labelWebsite->y() < thanksBottom + 8)
        labelWebsite->move(labelWebsite->x(), thanksBottom + 8);
    lnkWeb->move(lnkWeb->x(), labelWebsite->y());
    below(labelEmail, labelWebsite, 2);
    for (QWidget *w : {static_cast<QWidget *>(lnkEmail), static_cast<QWidget *>(lbUseContactForm)})
        w->move(w->x(), labelEmail->y());
    below(lbEmailIns, labelEmail, 1);
    below(btOK, lbEmailIns, 8);
    const int bottom = std::max(panBottom->height(), btOK->y() + btOK->height() + 8);

    // A line wider than the window widens it.
    int needed = width();
    for (const QWidget *w : {static_cast<QWidget *>(lbVer), static_cast<QWidget *>(lbNotice), static_cast<QWidget *>(lbBy)})
        needed = std::max(needed, w->x() + w->width() + 12);
    setFixedSize(needed, top + bottom);
    panBottom->setGeometry(0, top, needed, bottom);
    btOK->move(needed - 12 - btOK->width(), btOK->y());
}

void TfrmAbout::btOKClick() { accept(); }

void TfrmAbout::lnkWebClick()
{
    QString link = lnkWeb->text();
    if (!link.contains(QLatin1String("://")))
        link.prepend(QStringLiteral("http://"));
    Platform::Get().OpenUrl(link);
}

void TfrmAbout::lnkEmailClick()
{
    Platform::Get().OpenUrl(QStringLiteral("mailto:") + lnkEmail->text() + QStringLiteral("?subject=")
                            + QStringLiteral("About Zorvak"));
}

} // namespace zorvak
