#include "shell/Controls.h"
#include "common/unitString.h"
#include "shell/ReadableText.h"

#include <QEvent>

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QWidget>
#include <algorithm>
#include <cmath>

static void InitShellResources() { Q_INIT_RESOURCE(shell); }

namespace zorvak {

void AddOkCancelRow(QDialog *dialog, QBoxLayout *outer, QPushButton *&ok, QPushButton *&cancel)
{
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    ok = NewNamed<QPushButton>("btOk", dialog);
    ok->setDefault(true);
    cancel = NewNamed<QPushButton>("btCancel", dialog);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    outer->addLayout(buttons);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}

namespace {
double Luminance(const QColor &c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    const QColor rgb = c.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}
} // namespace

double ContrastRatio(const QColor &a, const QColor &b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsDarkPalette(const QPalette &palette) { return palette.color(QPalette::Window).lightnessF() < 0.5; }

QColor ReadableColour(const QPalette &palette, const QColor &seed, QPalette::ColorRole background)
{
    if (!IsDarkPalette(palette))
        return seed;
    const QColor back = palette.color(background);
    QColor shown = seed.toRgb();
    // Towards white in small steps: the hue stays recognisable, the text becomes readable.
    for (int step = 1; step <= 20 && ContrastRatio(shown, back) < 4.5; ++step) {
        const double t = step / 20.0;
        shown = QColor::fromRgbF(float(seed.redF() + (1 - seed.redF()) * t), float(seed.greenF() + (1 - seed.greenF()) * t),
                                 float(seed.blueF() + (1 - seed.blueF()) * t));
    }
    return shown;
}

namespace {
// Sets the text colour from the seed and the palette the label has now, again at each change.
class TReadableText final : public QObject {
public:
    TReadableText(QWidget *label, const QColor &seed) : QObject(label), m_seed(seed) { Apply(label); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::PaletteChange && !m_applying)
            Apply(static_cast<QWidget *>(watched));
        return false;
    }

private:
    void Apply(QWidget *label)
    {
        QPalette palette = label->palette();
        const QColor shown = ReadableColour(palette, m_seed);
        if (palette.color(QPalette::WindowText) == shown)
            return;
        m_applying = true;
        palette.setColor(QPalette::WindowText, shown);
        label->setPalette(palette);
        m_applying = false;
    }
    QColor m_seed;
    bool m_applying = false;
};
} // namespace

void KeepTextReadable(QWidget *label, const QColor &seed)
{
    label->installEventFilter(new TReadableText(label, seed));
}

void SetMainButton(QDialog *dialog, QPushButton *main)
{
    for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    main->setDefault(true);
}

void SetAccessible(QWidget *control, const QString &name, const QString &description)
{
    control->setAccessibleName(name);
    control->setAccessibleDescription(description);
}

QIcon ThemedIcon(const char *themeName, const char *fallback)
{
    InitShellResources();
    return QIcon::fromTheme(QLatin1String(themeName),
                            QIcon(QStringLiteral(":/shell/icons/%1.svg").arg(QLatin1String(fallback))));
}

QFont SecondaryFont(const QFont &font)
{
    QFont smaller = font;
    if (font.pointSizeF() > 0)
        smaller.setPointSizeF(font.pointSizeF() * 0.85);
    else if (font.pixelSize() > 0)
        smaller.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * 0.85))));
    return smaller;
}

void TElidedButton::SetWidthText(const QString &text)
{
    m_widthText = text;
    updateGeometry();
}

void TElidedButton::SetFullText(const QString &text)
{
    setText(text);
    setToolTip(StripAmpersands(text));
}

QSize TElidedButton::sizeHint() const
{
    if (m_widthText.isEmpty())
        return QPushButton::sizeHint();
    QPushButton probe(m_widthText);
    probe.setFont(font());
    probe.setIcon(icon());
    probe.setIconSize(iconSize());
    return probe.sizeHint();
}

QSize TElidedButton::minimumSizeHint() const { return sizeHint(); }

void TElidedButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect room = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const int iconRoom = option.icon.isNull() ? 0 : option.iconSize.width() + 4;
    option.text = fontMetrics().elidedText(option.text, Qt::ElideRight, room.width() - iconRoom - 4, Qt::TextShowMnemonic);
    painter.drawControl(QStyle::CE_PushButton, option);
}

} // namespace zorvak
