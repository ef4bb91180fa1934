#include "shell/uMain.h"

#include "browse/BrowseState.h"
#include "common/Exceptions.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/ProductInfo.h"
#include "shell/SettingsFile.h"
#include "shell/uAbout.h"
#include "shell/uSettings.h"
#include "shell/uWelcome.h"
#include "shell/uLanguage.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace zorvak {

namespace {
TfrmMain *g_mainWindow = nullptr;

const QColor kWindowColour(241, 241, 239);
const QColor kHintColour(225, 251, 237);
const QColor kHintFontColour(0, 83, 111);
const QColor kStatusHintColour(221, 240, 255);

// Rounds half to even, as the window arithmetic of the hint placement does.
int RoundHalfEven(double v) { return int(std::nearbyint(v)); }
} // namespace

// The floating "working" notice: shown on top, never takes the focus.
class TStatusHintWindow : public QLabel {
public:
    explicit TStatusHintWindow(QWidget *owner)
        : QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    {
        setObjectName(QStringLiteral("StatusHintWindow"));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAutoFillBackground(true);
        setMargin(4);
        setFrameShape(QFrame::Box);
        setWordWrap(true);
    }
};

TfrmMain *MainWindow() { return g_mainWindow; }

namespace {
// Gives the folder side and the file list at least their design widths (243 and 107) and every
// panel at least the room its captions need in the font and language in use, widening the window
// when the panels need more than it has. The folder side keeps its width when the window changes
// size. `initial`: at creation, from the design widths; otherwise from the widths in use, so a
// language switch keeps what the user has set.
void FitPanels(TfrmMain &w, bool initial)
{
    QWidget *files = w.Splitter2->widget(0);
    QWidget *preview = w.Splitter2->widget(1);
    for (QWidget *panel : {static_cast<QWidget *>(w.panLeft), files, preview})
        panel->layout()->activate(); // new captions: the cached sizes of nested rows are stale
    const QList<int> outer = w.Splitter1->sizes();
    const QList<int> inner = w.Splitter2->sizes();
    const int left = std::max(initial ? 243 : outer.value(0), w.panLeft->minimumSizeHint().width());
    const int list = std::max(initial ? 107 : inner.value(0), files->minimumSizeHint().width());
    const int shown = std::max(initial ? 0 : inner.value(1), preview->minimumSizeHint().width());
    const QMargins m = w.centralWidget()->layout()->contentsMargins();
    const int chrome = m.left() + m.right() + w.Splitter1->handleWidth() + w.Splitter2->handleWidth();
    const int needed = chrome + left + list + shown;
    const int width = std::max(needed, initial ? 581 : w.width());
    if (width != w.width())
        w.resize(width, w.height());
    const int rest = width - chrome - left;
    w.Splitter1->setSizes({left, rest + w.Splitter2->handleWidth()});
    w.Splitter2->setSizes({list, rest - list});
    w.Splitter1->setStretchFactor(0, 0);
    w.Splitter1->setStretchFactor(1, 1);
}

// Hints stay 6 seconds in every window of the program, also in those made later (dialogs, labels
// created at run time): each widget gets that display time when it is first polished.
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

// Fits the panels once, when the window is first shown: only then do the size hints come from the
// style and font the window is shown with.
class TFitOnFirstShow : public QObject {
public:
    explicit TFitOnFirstShow(TfrmMain *w) : QObject(w), m_w(w) { w->installEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_w && event->type() == QEvent::Show) {
            m_w->removeEventFilter(this);
            FitPanels(*m_w, true);
            deleteLater();
        }
        return false;
    }

private:
    TfrmMain *m_w;
};
} // namespace


TfrmMain::TfrmMain(QWidget *parent) : QMainWindow(parent), Browse(std::make_unique<TBrowseState>())
{
    g_mainWindow = this;
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(MainCaption));
    resize(581, 444);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kWindowColour);
    setPalette(pal);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    // 1. AppDir
    AppDir = Platform::Get().AppDir();
    // 2.-3. Timer idle, application-wide hint appearance
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    QPalette tip = QToolTip::palette();
    tip.setColor(QPalette::ToolTipBase, kHintColour);
    tip.setColor(QPalette::ToolTipText, kHintFontColour);
    QToolTip::setPalette(tip);
    QFont tipFont = QToolTip::font();
    tipFont.setPointSize(9);
    QToolTip::setFont(tipFont);
    qApp->installEventFilter(new THintDisplayTime(this));
    // 4. the status hint window
    StatusHintWindow = new TStatusHintWindow(this);
    QPalette hintPal = StatusHintWindow->palette();
    hintPal.setColor(QPalette::Window, kStatusHintColour);
    StatusHintWindow->setPalette(hintPal);
    SetStatusHintSink(this);

    CreateControls();
    CreateMenus();
    LoadTreeIcons();
    ConnectHandlers();
    for (QWidget *w : findChildren<QWidget *>())
        w->setToolTipDuration(6000); // hints stay 6 seconds

    // 6. English first
    English1->setChecked(true);
    SetCurrentLanguage(LoadEnglish());
    RefreshCaptions();
    new TFitOnFirstShow(this);
    // 7. the settings, which may switch the language. The switch writes the language back; when
    // that write fails the error is shown and the reading goes on (addresses, final separators).
    Guard([this] {
        LoadSettings([this](const QString &code) {
            Guard([this, &code] {
                if (code == QLatin1String("EN"))
                    English1Click();
                else if (code == QLatin1String("FR"))
                    French1Click();
                else if (code == QLatin1String("IT"))
                    Italian1Click();
                else if (code == QLatin1String("SP"))
                    Spanish1Click();
            });
        });
    });
    // 8. the start-up checks are installed by the program once the window is shown
    // (InstallStartupChecks), so that a window made by a test does not run them by itself.
}

TfrmMain::~TfrmMain()
{
    // Destruction order: settings-file handle, FolderMap, EmailById, StatusHintWindow, MimeTable.
    try { CloseSettingsFile(); } catch (...) {}
    try { FolderMap.Clear(); } catch (...) {}
    try { EmailById().Clear(); } catch (...) {}
    try {
        SetStatusHintSink(nullptr);
        delete StatusHintWindow;
        StatusHintWindow = nullptr;
    } catch (...) {}
    if (g_mainWindow == this)
        g_mainWindow = nullptr;
}

void TfrmMain::CreateControls()
{
    auto *central = new QWidget(this);
    auto *outer = new QHBoxLayout(central);
    outer->setContentsMargins(2, 2, 2, 2);
    Splitter1 = new QSplitter(Qt::Horizontal, central);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    outer->addWidget(Splitter1);

    // Left: the folder side.
    panLeft = new QWidget(Splitter1);
    panLeft->setObjectName(QStringLiteral("panLeft"));
    auto *left = new QVBoxLayout(panLeft);
    left->setContentsMargins(0, 0, 0, 0);
    auto *folderHead = new QHBoxLayout;
    labelFolderList = new QLabel(panLeft);
    labelFolderList->setObjectName(QStringLiteral("labelFolderList"));
    QFont bold = labelFolderList->font();
    bold.setBold(true);
    labelFolderList->setFont(bold);
    btSelectFolder = new QPushButton(panLeft);
    btSelectFolder->setObjectName(QStringLiteral("btSelectFolder"));
    btSelectFolder->setLayoutDirection(Qt::RightToLeft); // glyph on the right
    btSelectFolder->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    folderHead->addWidget(labelFolderList);
    folderHead->addStretch();
    folderHead->addWidget(btSelectFolder);
    left->addLayout(folderHead);
    tvDir = new QTreeWidget(panLeft);
    tvDir->setObjectName(QStringLiteral("tvDir"));
    tvDir->setHeaderHidden(true);
    tvDir->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvDir->installEventFilter(this);
    left->addWidget(tvDir, 1);
    btBackup = new QPushButton(panLeft);
    btBackup->setObjectName(QStringLiteral("btBackup"));
    btBackup->setFont(bold);
    btExplore = new QPushButton(panLeft);
    btExplore->setObjectName(QStringLiteral("btExplore"));
    auto *row = new QHBoxLayout;
    row->addWidget(btBackup);
    row->addWidget(btExplore);
    left->addLayout(row);
    chKnownOnly = new QCheckBox(panLeft);
    chKnownOnly->setObjectName(QStringLiteral("chKnownOnly"));
    chKnownOnly->setChecked(true);
    left->addWidget(chKnownOnly);
    btSaveFolder = new QPushButton(panLeft);
    btSaveFolder->setObjectName(QStringLiteral("btSaveFolder"));
    left->addWidget(btSaveFolder);

    // Client area: file list, splitter, preview.
    Splitter2 = new QSplitter(Qt::Horizontal, Splitter1);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    auto *filePanel = new QWidget(Splitter2);
    filePanel->setObjectName(QStringLiteral("panFiles"));
    auto *files = new QVBoxLayout(filePanel);
    files->setContentsMargins(0, 0, 0, 0);
    labelFileList = new QLabel(filePanel);
    labelFileList->setObjectName(QStringLiteral("labelFileList"));
    labelFileList->setFont(bold);
    files->addWidget(labelFileList);
    lbFiles = new QListWidget(filePanel);
    lbFiles->setObjectName(QStringLiteral("lbFiles"));
    files->addWidget(lbFiles, 3);
    lbTotalFiles = new QLabel(filePanel);
    lbTotalFiles->setObjectName(QStringLiteral("lbTotalFiles"));
    lbRecognized = new QLabel(filePanel);
    lbRecognized->setObjectName(QStringLiteral("lbRecognized"));
    QFont small = lbTotalFiles->font();
    small.setPointSize(7);
    lbTotalFiles->setFont(small);
    lbRecognized->setFont(small);
    files->addWidget(lbTotalFiles);
    files->addWidget(lbRecognized);
    lbCabTitle = new QLabel(filePanel);
    lbCabTitle->setObjectName(QStringLiteral("lbCabTitle"));
    files->addWidget(lbCabTitle);
    lbCab = new QListWidget(filePanel);
    lbCab->setObjectName(QStringLiteral("lbCab"));
    files->addWidget(lbCab, 1);
    chOnlyRecognized = new QCheckBox(filePanel);
    chOnlyRecognized->setObjectName(QStringLiteral("chOnlyRecognized"));
    chOnlyRecognized->setChecked(true);
    files->addWidget(chOnlyRecognized);

    auto *preview = new QWidget(Splitter2);
    preview->setObjectName(QStringLiteral("panPreview"));
    auto *prev = new QVBoxLayout(preview);
    prev->setContentsMargins(0, 0, 0, 0);
    labelPreview = new QLabel(preview);
    labelPreview->setObjectName(QStringLiteral("labelPreview"));
    labelPreview->setAlignment(Qt::AlignCenter);
    labelPreview->setWordWrap(true);
    prev->addWidget(labelPreview);
    Image1 = new QLabel(preview);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setMinimumSize(64, 64);
    Image1->installEventFilter(this);
    prev->addWidget(Image1, 1);
    Flash1 = new QLabel(preview);
    Flash1->setObjectName(QStringLiteral("Flash1"));
    Flash1->setAlignment(Qt::AlignCenter);
    Flash1->setWordWrap(true);
    Flash1->hide();
    prev->addWidget(Flash1, 1);
    auto *buttons = new QHBoxLayout;
    btOpen = new QPushButton(preview);
    btOpen->setObjectName(QStringLiteral("btOpen"));
    btOpenWith = new QPushButton(preview);
    btOpenWith->setObjectName(QStringLiteral("btOpenWith"));
    btSaveAs = new QPushButton(preview);
    btSaveAs->setObjectName(QStringLiteral("btSaveAs"));
    buttons->addWidget(btOpen);
    buttons->addWidget(btOpenWith);
    buttons->addWidget(btSaveAs);
    prev->addLayout(buttons);

    Splitter1->addWidget(panLeft);
    Splitter1->addWidget(Splitter2);
    Splitter1->setSizes({243, 581 - 243});
    Splitter2->setSizes({107, 581 - 243 - 107});
    setCentralWidget(central);
}

void TfrmMain::CreateMenus()
{
    auto action = [this](const char *name) {
        auto *a = new QAction(this);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    File1 = menuBar()->addMenu(QString());
    File1->setObjectName(QStringLiteral("File1"));
    Settings1 = action("Settings1");
    Exit1 = action("Exit1");
    File1->addAction(Settings1);
    File1->addSeparator();
    File1->addAction(Exit1);

    Language1 = menuBar()->addMenu(QString());
    Language1->setObjectName(QStringLiteral("Language1"));
    LanguageGroup = new QActionGroup(this);
    LanguageGroup->setExclusive(true);
    English1 = action("English1");
    French1 = action("French1");
    Italian1 = action("Italian1");
    Spanish1 = action("Spanish1");
    English1->setText(QStringLiteral("English"));
    French1->setText(QStringLiteral("Français"));
    Italian1->setText(QStringLiteral("Italiano"));
    Spanish1->setText(QStringLiteral("Español"));
    for (QAction *a : {English1, French1, Italian1, Spanish1}) {
        a->setCheckable(true);
        LanguageGroup->addAction(a);
        Language1->addAction(a);
    }
    English1->setChecked(true);

    Tools1 = menuBar()->addMenu(QString());
    Tools1->setObjectName(QStringLiteral("Tools1"));
    CalcId1 = action("CalcId1");
    CalcId1->setShortcut(QKeySequence(Qt::Key_F5));
    Backup1 = action("Backup1");
    Backup1->setShortcut(QKeySequence(Qt::Key_F6));
    Restore1 = action("Restore1");
    Restore1->setShortcut(QKeySequence(Qt::Key_F7));
    Tools1->addAction(CalcId1);
    Tools1->addAction(Backup1);
    Tools1->addAction(Restore1);

    Help1 = menuBar()->addMenu(QString());
    Help1->setObjectName(QStringLiteral("Help1"));
    HelpContent1 = action("HelpContent1");
    About1 = action("About1");
    Help1->addAction(HelpContent1);
    Help1->addAction(About1);

    popupSelectFolder = new QMenu(this);
    popupSelectFolder->setObjectName(QStringLiteral("popupSelectFolder"));
    Auto1 = action("Auto1");
    Current1 = action("Current1");
    Manual1 = action("Manual1");
    CachedMSN751 = action("CachedMSN751");
    CachedWLM801 = action("CachedWLM801");
    Hide1 = action("Hide1");
    Hide1->setCheckable(true);
    Hide1->setChecked(true);
    popupSelectFolder->addAction(Auto1);
    popupSelectFolder->addAction(Current1);
    popupSelectFolder->addAction(Manual1);
    popupSelectFolder->addSeparator();
    popupSelectFolder->addAction(CachedMSN751);
    popupSelectFolder->addAction(CachedWLM801);
    popupSelectFolder->addSeparator();
    popupSelectFolder->addAction(Hide1);
}

void TfrmMain::ConnectHandlers()
{
    auto on = [this](QAction *a, void (TfrmMain::*handler)()) {
        connect(a, &QAction::triggered, this, [this, handler] { Guard([&] { (this->*handler)(); }); });
    };
    auto click = [this](QAbstractButton *b, void (TfrmMain::*handler)()) {
        connect(b, &QAbstractButton::clicked, this, [this, handler] { Guard([&] { (this->*handler)(); }); });
    };
    on(Settings1, &TfrmMain::Settings1Click);
    on(Exit1, &TfrmMain::Exit1Click);
    on(English1, &TfrmMain::English1Click);
    on(French1, &TfrmMain::French1Click);
    on(Italian1, &TfrmMain::Italian1Click);
    on(Spanish1, &TfrmMain::Spanish1Click);
    on(CalcId1, &TfrmMain::CalcId1Click);
    on(Backup1, &TfrmMain::Backup1Click);
    on(Restore1, &TfrmMain::Restore1Click);
    on(HelpContent1, &TfrmMain::HelpContent1Click);
    on(About1, &TfrmMain::About1Click);
    on(Auto1, &TfrmMain::Auto1Click);
    on(Current1, &TfrmMain::Current1Click);
    on(Manual1, &TfrmMain::Manual1Click);
    on(CachedMSN751, &TfrmMain::CachedMSN751Click);
    on(CachedWLM801, &TfrmMain::CachedWLM801Click);
    on(Hide1, &TfrmMain::Hide1Click);
    click(btSelectFolder, &TfrmMain::btSelectFolderClick);
    click(btBackup, &TfrmMain::Backup1Click);
    click(btExplore, &TfrmMain::btExploreClick);
    click(btSaveFolder, &TfrmMain::btSaveFolderClick);
    click(chOnlyRecognized, &TfrmMain::chOnlyRecognizedClick);
    click(btOpen, &TfrmMain::btOpenClick);
    click(btOpenWith, &TfrmMain::btOpenWithClick);
    click(btSaveAs, &TfrmMain::btSaveAsClick);
    connect(tvDir, &QTreeWidget::currentItemChanged, this, [this] { Guard([this] { tvDirChange(); }); });
    connect(lbFiles, &QListWidget::itemClicked, this, [this] { Guard([this] { lbFilesClick(); }); });
    connect(lbFiles, &QListWidget::currentRowChanged, this, [this] { Guard([this] { lbFilesClick(); }); });
    connect(lbCab, &QListWidget::itemClicked, this, [this] { Guard([this] { lbCabClick(); }); });
    connect(lbCab, &QListWidget::currentRowChanged, this, [this] { Guard([this] { lbCabClick(); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { Guard([this] { Timer1Timer(); }); });
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == tvDir && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        Guard([this, key] { tvDirKeyDown(key); });
    } else if (watched == Image1 && event->type() == QEvent::MouseButtonRelease) {
        Guard([this] { Image1Click(); });
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::RefreshCaptions()
{
    const TLanguage &L = CurrentLanguage();
    auto get = [&L](const char *key) { return L.Get(QString::fromLatin1(key)); };
    File1->setTitle(get("File"));
    Tools1->setTitle(get("Tools"));
    Language1->setTitle(get("Language"));
    Help1->setTitle(get("Help"));
    Settings1->setText(get("Settings") + QStringLiteral("..."));
    Exit1->setText(get("Exit"));
    CalcId1->setText(get("CalcId") + QStringLiteral("..."));
    Backup1->setText(get("Backup") + QStringLiteral("..."));
    Restore1->setText(get("Restore") + QStringLiteral("..."));
    HelpContent1->setText(get("HelpContent"));
    About1->setText(get("About") + QStringLiteral("..."));
    labelFolderList->setText(get("FolderList"));
    btBackup->setText(get("btBackup"));
    btBackup->setToolTip(StripAmpersands(get("Backup")));
    btExplore->setText(get("btExploreFolder"));
    chKnownOnly->setText(get("KnownOnly"));
    btSaveFolder->setText(get("btSaveFolder") + QStringLiteral("..."));
    btSaveFolder->setToolTip(get("SaveFolderHint").replace(QLatin1Char('\r'), QLatin1Char('\n')));
    btSelectFolder->setText(get("SelectFolder"));
    Auto1->setText(get("Auto"));
    Current1->setText(get("Current"));
    Manual1->setText(get("Manual") + QStringLiteral("..."));
    CachedMSN751->setText(get("CachedMSN75"));
    CachedWLM801->setText(get("CachedWLM80"));
    Hide1->setText(get("HideEmpty"));
    labelFileList->setText(get("FileList"));
    chOnlyRecognized->setText(get("ShowKnownOnly"));
    lbCabTitle->setText(get("InCab"));
    labelPreview->setText(get("Preview"));
    btOpen->setText(get("Open"));
    btOpenWith->setText(get("OpenWith"));
    btSaveAs->setText(get("SaveAs") + QStringLiteral("..."));

    // Fit btSelectFolder to its caption, keeping its right edge on the tree's right edge.
    QLabel measure(btSelectFolder->text());
    measure.setFont(QApplication::font());
    const int width = measure.sizeHint().width() + 5 + 19;
    btSelectFolder->setFixedWidth(width);
}

void TfrmMain::SwitchLanguage(QAction *item, const QString &code)
{
    item->setChecked(true);
    SetCurrentLanguage(nullptr);
    SetCurrentLanguage(LoadLanguage(code));
    RefreshCaptions();
    if (isVisible())
        FitPanels(*this, false);
    SaveLanguage();
}

void TfrmMain::English1Click() { SwitchLanguage(English1, QStringLiteral("EN")); }
void TfrmMain::French1Click() { SwitchLanguage(French1, QStringLiteral("FR")); }
void TfrmMain::Italian1Click() { SwitchLanguage(Italian1, QStringLiteral("IT")); }
void TfrmMain::Spanish1Click() { SwitchLanguage(Spanish1, QStringLiteral("SP")); }

int TfrmMain::CountNodesAtLevel(int level) const
{
    int count = 0;
    std::function<void(QTreeWidgetItem *, int)> walk = [&](QTreeWidgetItem *item, int depth) {
        if (depth == level)
            ++count;
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i), depth + 1);
    };
    for (int i = 0; i < tvDir->topLevelItemCount(); ++i)
        walk(tvDir->topLevelItem(i), 0);
    return count;
}

void TfrmMain::ShowStatusHint(const QString &text, int top, int left, unsigned char seconds)
{
    const QRect work = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    StatusHintWindow->setText(shown);
    const QFontMetrics fm(StatusHintWindow->font());
    const int padding = 2 * StatusHintWindow->margin() + 4;
    const int maxWidth = work.width() - 20;
    const QRect need = fm.boundingRect(QRect(0, 0, maxWidth - padding, 100000), Qt::TextWordWrap, shown);
    // A word longer than the line is cut, never wider than the work area allows.
    const int w = qMax(qMin(need.width() + padding, maxWidth), 150);
    const int h = qMax(need.height() + padding, 40);
    const QRect outer = frameGeometry();
    if (top == -1)
        top = RoundHalfEven(outer.top() + (outer.height() - h) / 2.0);
    if (left == -1)
        left = RoundHalfEven(outer.left() + (outer.width() - w) / 2.0);
    StatusHintWindow->setGeometry(left, top, w, h);
    StatusHintWindow->show();
    StatusHintWindow->raise();
    if (seconds > 0) {
        StatusHintTicks = seconds;
        m_hintCountdown = true;
        Timer1->start(); // restarts the 1000 ms period
    }
}

void TfrmMain::HideStatusHint() { StatusHintWindow->hide(); }
bool TfrmMain::StatusHintVisible() const { return StatusHintWindow && StatusHintWindow->isVisible(); }
QString TfrmMain::StatusHintText() const { return StatusHintWindow ? StatusHintWindow->text() : QString(); }

void TfrmMain::Timer1Timer()
{
    if (!m_hintCountdown)
        return;
    const unsigned char before = StatusHintTicks--;
    if (before == 1) {
        HideStatusHint();
        m_hintCountdown = false;
        Timer1->stop();
    }
}

void TfrmMain::ReportError(const std::exception &error) { ShowException(error); }

void TfrmMain::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

void TfrmMain::FormClose()
{
    try {
        for (const char *name : {"~tmp", "~tmp2", "~tmpCache"}) {
            try {
                const QString path = AppDir + QLatin1String(name);
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
        const QDir app(AppDir);
        const QStringList mask{QStringLiteral("~tmp.*"), QStringLiteral("~tmp")};
        for (const QString &file : app.entryList(mask, QDir::Files | QDir::Hidden | QDir::System))
            QFile::remove(app.filePath(file));
    } catch (...) {
    }
}

void TfrmMain::InstallStartupChecks()
{
    QTimer::singleShot(0, this, [this] { Guard([this] { StartupChecks(); }); });
}

void TfrmMain::StartupChecks()
{
    // 1. runs once: installed as a single shot
    // 2. the automatic scan
    Auto1Click();
    tvDir->setFocus();
    // 3. nothing found
    if (tvDir->topLevelItemCount() == 0)
        PlainMessageBox(StripAmpersands(CurrentLanguage().Get(QStringLiteral("CannotFindMsnData"))));
    // 4. the drive the program runs from
    switch (Platform::Get().DriveTypeOf(AppDir)) {
    case DriveType::CdRom:
        LangMessageDlg(CurrentLanguage().Get(QStringLiteral("NoCdrom")), TMsgDlgType::mtError, mbOK);
        Terminate();
        return;
    case DriveType::Fixed:
        if (!QFile::exists(SettingsFilePath()) && CountNodesAtLevel(1) >= 2) {
            TfrmWelcome welcome(this);
            if (DialogService::Get().ShowModal(&welcome) == mrOk)
                CalcId1Click();
        }
        break;
    default:
        LangMessageDlg(CurrentLanguage().Get(QStringLiteral("NotFixedDrive")), TMsgDlgType::mtWarning, mbOK);
        break;
    }
}

void TfrmMain::Settings1Click()
{
    TfrmSettings settings(this);
    settings.LoadValues();
    DialogService::Get().ShowModal(&settings);
}

void TfrmMain::About1Click()
{
    TfrmAbout about(this);
    DialogService::Get().ShowModal(&about);
}

void TfrmMain::HelpContent1Click() { Platform::Get().OpenUrl(QString::fromLatin1(HelpPage)); }

void TfrmMain::Exit1Click() { Terminate(); }

// Ends the message loop without closing the window: the close handler does not run.
void TfrmMain::Terminate()
{
    Terminating = true;
    QCoreApplication::exit(0);
}

} // namespace zorvak
