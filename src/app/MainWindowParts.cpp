#include "app/MainWindowParts.h"
#include "shell/Controls.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace zorvak {

namespace {
const QColor kStatusHintColour(221, 240, 255);

// Rounds half to even, as the window arithmetic of the hint placement does.
int RoundHalfEven(double v) { return int(std::nearbyint(v)); }

class THintDisplayTime : public QObject {
public:
    explicit THintDisplayTime(QObject *owner) : QObject(owner) {}
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Polish && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->toolTipDuration() < 0)
                widget->setToolTipDuration(6000);
        }
        return false;
    }
};

class TFitOnFirstShow : public QObject {
public:
    TFitOnFirstShow(QWidget *window, std::function<void()> fit) : QObject(window), m_window(window), m_fit(std::move(fit))
    {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Show) {
            m_window->removeEventFilter(this);
            m_fit();
            deleteLater();
        }
        return false;
    }

private:
    QWidget *m_window;
    std::function<void()> m_fit;
};
} // namespace

TStatusHint::TStatusHint(QWidget *owner, QTimer *timer)
    : QObject(owner), m_owner(owner), m_timer(timer),
      m_window(new QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus))
{
    setObjectName(QStringLiteral("StatusHint"));
    m_window->setObjectName(QStringLiteral("StatusHintWindow"));
    m_window->setAttribute(Qt::WA_ShowWithoutActivating);
    m_window->setAutoFillBackground(true);
    m_window->setMargin(4);
    m_window->setFrameShape(QFrame::Box);
    m_window->setWordWrap(true);
    QPalette pal = m_window->palette();
    if (!IsDarkPalette(pal)) {
        pal.setColor(QPalette::Window, kStatusHintColour);
        m_window->setPalette(pal);
    }
}

TStatusHint::~TStatusHint() { delete m_window; }

void TStatusHint::Show(const QString &text, int top, int left, unsigned char seconds)
{
    const QRect work = m_owner->screen() ? m_owner->screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_window->setText(shown);
    const QFontMetrics fm(m_window->font());
    const int padding = 2 * m_window->margin() + 4;
    const int maxWidth = work.width() - 20;
    const QRect need = fm.boundingRect(QRect(0, 0, maxWidth - padding, 100000), Qt::TextWordWrap, shown);
    // A word longer than the line is cut, never wider than the work area allows.
    const int w = qMax(qMin(need.width() + padding, maxWidth), 150);
    const int h = qMax(need.height() + padding, 40);
    const QRect outer = m_owner->frameGeometry();
    if (top == -1)
        top = RoundHalfEven(outer.top() + (outer.height() - h) / 2.0);
    if (left == -1)
        left = RoundHalfEven(outer.left() + (outer.width() - w) / 2.0);
    m_window->setGeometry(left, top, w, h);
    m_window->show();
    m_window->raise();
    if (seconds > 0) {
        m_ticks = seconds;
        m_countdown = true;
        m_timer->start(); // restarts the 1000 ms period
    }
}

void TStatusHint::Hide() { m_window->hide(); }
bool TStatusHint::Visible() const { return m_window->isVisible(); }
QString TStatusHint::Text() const { return m_window->text(); }

void TStatusHint::Tick()
{
    if (!m_countdown)
        return;
    const unsigned char before = m_ticks--;
    if (before == 1) {
        Hide();
        m_countdown = false;
        m_timer->stop();
    }
}

void FitPanels(QMainWindow *w, QSplitter *outerSplitter, QSplitter *innerSplitter, bool initial, int keptSide,
               int keptList)
{
    QWidget *left = outerSplitter->widget(0);
    QWidget *files = innerSplitter->widget(0);
    QWidget *preview = innerSplitter->widget(1);
    for (QWidget *panel : {left, files, preview})
        panel->layout()->activate(); // new captions: the cached sizes of nested rows are stale
    const QList<int> outer = outerSplitter->sizes();
    const QList<int> inner = innerSplitter->sizes();
    const int side = std::max(initial ? (keptSide > 0 ? keptSide : 243) : outer.value(0), left->minimumSizeHint().width());
    const int list = std::max(initial ? (keptList > 0 ? keptList : 107) : inner.value(0), files->minimumSizeHint().width());
    const int shown = std::max(initial ? 0 : inner.value(1), preview->minimumSizeHint().width());
    const QMargins m = w->centralWidget()->layout()->contentsMargins();
    const int chrome = m.left() + m.right() + outerSplitter->handleWidth() + innerSplitter->handleWidth();
    const int needed = chrome + side + list + shown;
    const int width = std::max(needed, w->width()); // the opening size is set before the window shows
    if (width != w->width())
        w->resize(width, w->height());
    const int rest = width - chrome - side;
    outerSplitter->setSizes({side, rest + innerSplitter->handleWidth()});
    innerSplitter->setSizes({list, rest - list});
    outerSplitter->setStretchFactor(0, 0);
    outerSplitter->setStretchFactor(1, 1);
    innerSplitter->setStretchFactor(0, 0); // the file list too: the preview takes what the window gains
    innerSplitter->setStretchFactor(1, 1);
}

QRect OpeningGeometry(const QRect &kept, const QList<QRect> &screens)
{
    if (screens.isEmpty())
        return kept.isValid() ? kept : QRect(0, 0, 581, 444);
    if (kept.isValid())
        for (const QRect &screen : screens) {
            const QRect strip = QRect(kept.left(), kept.top(), kept.width(), 32).intersected(screen);
            if (strip.width() >= std::min(100, kept.width()) && strip.height() >= 16)
                return QRect(kept.topLeft(), kept.size().boundedTo(screen.size()));
        }
    const QRect &first = screens.first();
    const QSize size = QSize(std::max(first.width() * 7 / 10, 581), std::max(first.height() * 7 / 10, 444)).boundedTo(first.size());
    return QRect(first.left() + (first.width() - size.width()) / 2, first.top() + (first.height() - size.height()) / 2,
                 size.width(), size.height());
}

void WidenFolderSide(QWidget *window, QSplitter *outer, int wanted)
{
    if (outer->count() < 2)
        return;
    // The other side gives what it can spare; the window grows by the rest, as far as its screen
    // allows (and the 40 % grow with it: a few rounds settle it).
    const int room = window->screen() ? window->screen()->availableGeometry().width() : window->width();
    for (int round = 0; round < 8; ++round) {
        const int width = std::min(wanted, window->width() * 2 / 5);
        const QList<int> sizes = outer->sizes();
        const int minRest = outer->widget(1)->minimumSizeHint().width();
        if (sizes.value(0) >= width)
            return;
        const int spare = sizes.value(1) - minRest;
        if (spare < width - sizes.value(0) && window->width() < room)
            window->resize(std::min(window->width() + width - sizes.value(0) - std::max(spare, 0), room), window->height());
        const int total = outer->sizes().value(0) + outer->sizes().value(1);
        const int first = std::max(sizes.value(0), std::min(width, total - minRest));
        outer->setSizes({first, total - first});
        if (first == sizes.value(0))
            return;
    }
}

void FitOnFirstShow(QWidget *window, std::function<void()> fit) { new TFitOnFirstShow(window, std::move(fit)); }

void KeepHintsSixSeconds(QObject *owner)
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(new THintDisplayTime(owner));
}

void SetHintLook(QObject *owner)
{
    // The design's mint tooltips on a light desktop; on a dark one the desktop's own tooltips.
    QPalette tip = QToolTip::palette();
    if (!IsDarkPalette(QGuiApplication::palette())) {
        tip.setColor(QPalette::ToolTipBase, QColor(225, 251, 237));
        tip.setColor(QPalette::ToolTipText, QColor(0, 83, 111));
    }
    QToolTip::setPalette(tip); // in the desktop's tooltip font
    KeepHintsSixSeconds(owner);
}

void RemoveWorkFiles(const QString &appDir)
{
    try {
        for (const char *name : {"~tmp", "~tmp2", "~tmpCache"}) {
            try {
                const QString path = appDir + QLatin1String(name);
                const QFileInfo info(path);
                // A link is removed itself: what it points to is not ours. A plain file standing
                // in a temporary folder's place goes too, as the shell's delete takes it.
                if (info.isSymLink() || (info.exists() && !info.isDir()))
                    QFile::remove(path);
                else
                    QDir(path).removeRecursively();
            } catch (...) {
            }
        }
        // As on Windows, the mask "~tmp.*" also matches a file named exactly "~tmp".
        const QDir app(appDir);
        const QStringList mask{QStringLiteral("~tmp.*"), QStringLiteral("~tmp")};
        for (const QString &file : app.entryList(mask, QDir::Files | QDir::Hidden | QDir::System))
            QFile::remove(app.filePath(file));
    } catch (...) {
    }
}

} // namespace zorvak
