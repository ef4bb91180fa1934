#include "app/uMain.h"

#include "common/EmailId.h"
#include "browse/ui/FilePane.h"
#include "browse/ui/FolderTree.h"
#include "browse/ui/Preview.h"
#include "browse/ui/ThumbnailView.h"
#include "browse/ui/uMainBrowse.h"
#include "browse/ui/uSelectEmail.h"
#include "find/ui/uDiskSearch.h"
#include "cabinet/CabinetTasks.h"
#include "common/Exceptions.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/Controls.h"
#include "app/MainWindowParts.h"
#include "shell/ProductInfo.h"
#include "shell/SettingsFile.h"
#include "app/uAbout.h"
#include "shell/uLanguage.h"
#include "app/uSettings.h"
#include "app/uWelcome.h"
#include "backup/NameUnlock.h"
#include "backup/uBackup.h"
#include "export/uNamedExport.h"
#include "restore/uRestore.h"

#include <QLineEdit>
#include <QToolButton>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QGuiApplication>
#include <QScreen>

namespace zorvak {

namespace {
const QColor kWindowColour(241, 241, 239);
} // namespace

TfrmMain::TfrmMain(QWidget *parent)
    : QMainWindow(parent), Names(std::make_unique<TNameBook>()), Tree(new TFolderTree(this)),
      Pane(new TFilePane(*Tree, *Names, AppDir, [this](const QString &cab, const QString &folder) { ExtractCabinetTo(cab, folder); }, this)),
      CABFile1(new TCABFile(this)), FolderMap(Tree->FolderMap),
      panLeft(Tree->panLeft), labelFolderList(Tree->labelFolderList), btSelectFolder(Tree->btSelectFolder),
      tvDir(Tree->tvDir), btBackup(Tree->btBackup), btExplore(Tree->btExplore),
      chKnownOnly(Tree->chKnownOnly), btSaveFolder(Tree->btSaveFolder), labelFileList(Pane->labelFileList),
      lbFiles(Pane->lbFiles), lbTotalFiles(Pane->lbTotalFiles), lbRecognized(Pane->lbRecognized),
      lbCabTitle(Pane->lbCabTitle), lbCab(Pane->lbCab), chOnlyRecognized(Pane->chOnlyRecognized),
      labelPreview(Pane->labelPreview), Image1(Pane->Image1), Flash1(Pane->Flash1), btOpen(Pane->btOpen),
      btOpenWith(Pane->btOpenWith), btSaveAs(Pane->btSaveAs), ImageList1(Tree->Icons)
{
    CABFile1->setObjectName(QStringLiteral("CABFile1"));
    // A write that fails while a cabinet is made is shown with the system's text before the error.
    CABFile1->OnIOError = [](TCABFile *, const QString &message) {
        DialogService::Get().MessageDlg(QStringLiteral("Error"), message, TMsgDlgType::mtWarning, mbOK, {});
    };
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(MainCaption));
    resize(581, 444);
    // The background of every window of the program, set once on the application: the design's
    // colour on a light desktop; a dark desktop keeps its own palette.
    QPalette pal = QApplication::palette();
    if (!IsDarkPalette(pal)) {
        pal.setColor(QPalette::Window, kWindowColour);
        QApplication::setPalette(pal);
    }
    // The text is in the desktop's font (the application's), at its size.

    // The program folder, where the temporary files live
    AppDir = Platform::Get().AppDir();
    // The hint timer (idle until a hint counts down) and the look of hints in every window
    Timer1 = NewNamed<QTimer>("Timer1", this);
    Timer1->setInterval(1000);
    SetHintLook(this);
    // The floating "working" notice
    StatusHint = new TStatusHint(this, Timer1);
    SetStatusHintSink(this);

    CreateControls();
    CreateMenus();
    LoadTreeIcons();
    ConnectHandlers();
    setAcceptDrops(true); // packages and folders (uMainDrop.cpp)
    for (QWidget *w : findChildren<QWidget *>())
        w->setToolTipDuration(6000); // hints stay 6 seconds

    // English first
    English1->setChecked(true);
    SetCurrentLanguage(LoadEnglish());
    RefreshCaptions();
    FitOnFirstShow(this, [this] { PlacePanels(); });
    // The settings, which may switch the language. The switch writes the language back; when
    // that write fails the error is shown and the reading goes on (addresses, final separators).
    Guard([this] {
        LoadSettings([this](const QString &code) {
            const QMap<QString, void (TfrmMain::*)()> clicks{{QStringLiteral("EN"), &TfrmMain::English1Click},
                {QStringLiteral("FR"), &TfrmMain::French1Click}, {QStringLiteral("IT"), &TfrmMain::Italian1Click},
                {QStringLiteral("SP"), &TfrmMain::Spanish1Click}};
            if (const auto handler = clicks.value(code))
                Guard([this, handler] { (this->*handler)(); });
        });
    });
    Pane->SetThumbSize(Settings().thumbnailSize);
    Pane->SetThumbnails(Settings().thumbnails);
    (Settings().thumbnails ? Thumbnails1 : List1)->setChecked(true);
    // Where the user left the window, or the first-time placement.
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    setGeometry(OpeningGeometry(Settings().window.geometry, screens));
    if (Settings().window.maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    // The start-up checks are installed by the program once the window is shown
    // (InstallStartupChecks), so that a window made by a test does not run them by itself.
}

TfrmMain::~TfrmMain()
{
    // Destruction order: settings-file handle, FolderMap, EmailById, the status hint, MimeTable.
    try { CloseSettingsFile(); } catch (...) {}
    try { FolderMap.Clear(); } catch (...) {}
    try { EmailById().Clear(); } catch (...) {}
    try {
        SetStatusHintSink(nullptr);
        delete StatusHint;
        StatusHint = nullptr;
    } catch (...) {}
}

void TfrmMain::CreateControls()
{
    auto *central = new QWidget(this);
    auto *outer = new QHBoxLayout(central);
    outer->setContentsMargins(2, 2, 2, 2);
    Splitter1 = NewNamed<QSplitter>("Splitter1", Qt::Horizontal, central);
    outer->addWidget(Splitter1);
    // Left the folder side; in the client area the file list, a splitter and the preview.
    Tree->CreateControls(Splitter1);
    Splitter2 = NewNamed<QSplitter>("Splitter2", Qt::Horizontal, Splitter1);
    Pane->CreateControls(Splitter2);
    Splitter1->setSizes({243, 581 - 243});
    Splitter2->setSizes({107, 581 - 243 - 107});
    setCentralWidget(central);

    tvDir->installEventFilter(this);
    Image1->installEventFilter(this);
    // The folder side follows the names the tree shows.
    m_fitFolderSide = NewNamed<QTimer>("FitFolderSide", this);
    m_fitFolderSide->setSingleShot(true);
    m_fitFolderSide->setInterval(0);
    connect(m_fitFolderSide, &QTimer::timeout, this, [this] { FitFolderSide(); });
    const auto fitLater = [this] { m_fitFolderSide->start(); };
    connect(tvDir->model(), &QAbstractItemModel::rowsInserted, this, fitLater);
    connect(tvDir->model(), &QAbstractItemModel::dataChanged, this, fitLater);
    connect(tvDir, &QTreeWidget::itemExpanded, this, fitLater);
}

void TfrmMain::PlacePanels()
{
    // The widths the user left (each panel still as wide as its captions need), or the design's
    // with the folder side as wide as the tree's names.
    const TWindowPlacement &kept = Settings().window;
    FitPanels(this, Splitter1, Splitter2, true, kept.folderWidth, kept.fileListWidth);
    if (kept.folderWidth <= 0)
        FitFolderSide();
}

void TfrmMain::FitFolderSide()
{
    if (isVisible())
        WidenFolderSide(this, Splitter1, Tree->NamesWidth());
}

void TfrmMain::KeepFocusVisible()
{
    const QWidget *focus = focusWidget();
    if (!isVisible() || (focus && focus->isVisible() && focus->isEnabled()))
        return;
    QWidget *files = Pane->Thumbnails() ? static_cast<QWidget *>(Pane->gridFiles) : lbFiles;
    for (QWidget *w : {files, static_cast<QWidget *>(tvDir)})
        if (w->isVisible() && w->isEnabled()) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
}

void TfrmMain::KeepPlacement()
{
    if (!isVisible())
        return; // a window never shown was left nowhere
    TWindowPlacement placement;
    placement.maximized = isMaximized();
    placement.geometry = placement.maximized || isFullScreen() ? normalGeometry() : geometry();
    placement.folderWidth = Splitter1->sizes().value(0);
    placement.fileListWidth = Splitter2->sizes().value(0);
    try {
        SaveWindowPlacement(placement);
    } catch (const std::exception &) {
        // A settings file that cannot be written: the window opens at its first-time place.
    }
}

void TfrmMain::CreateMenus()
{
    auto action = [this](const char *name) {
        auto *a = new QAction(this);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    auto menu = [this](const char *name) {
        QMenu *m = menuBar()->addMenu(QString());
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    // Checkable actions of which exactly one is checked, the first at the start.
    auto choices = [this](QMenu *into, std::initializer_list<QAction *> actions) {
        auto *group = new QActionGroup(this);
        group->setExclusive(true);
        for (QAction *a : actions) {
            a->setCheckable(true);
            group->addAction(a);
            into->addAction(a);
        }
        (*actions.begin())->setChecked(true);
        return group;
    };
    File1 = menu("File1");
    Settings1 = action("Settings1");
    Exit1 = action("Exit1");
    Settings1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    File1->addAction(Settings1);
    File1->addSeparator();
    File1->addAction(Exit1);

    Language1 = menu("Language1");
    English1 = action("English1");
    French1 = action("French1");
    Italian1 = action("Italian1");
    Spanish1 = action("Spanish1");
    English1->setText(QStringLiteral("English"));
    French1->setText(QStringLiteral("Français"));
    Italian1->setText(QStringLiteral("Italiano"));
    Spanish1->setText(QStringLiteral("Español"));
    LanguageGroup = choices(Language1, {English1, French1, Italian1, Spanish1});

    View1 = menu("View1");
    List1 = action("List1");
    Thumbnails1 = action("Thumbnails1");
    ViewGroup = choices(View1, {List1, Thumbnails1});
    List1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    Thumbnails1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_2));

    Tools1 = menu("Tools1");
    CalcId1 = action("CalcId1");
    CalcId1->setShortcut(QKeySequence(Qt::Key_F5));
    Backup1 = action("Backup1");
    Backup1->setShortcut(QKeySequence(Qt::Key_F6));
    Restore1 = action("Restore1");
    Restore1->setShortcut(QKeySequence(Qt::Key_F7));
    ExportNamed1 = action("ExportNamed1");
    UnlockNames1 = action("UnlockNames1");
    SearchDisk1 = action("SearchDisk1");
    Tools1->addActions({CalcId1, Backup1, Restore1, ExportNamed1, UnlockNames1, SearchDisk1});

    Help1 = menu("Help1");
    HelpContent1 = action("HelpContent1");
    About1 = action("About1");
    HelpContent1->setShortcut(QKeySequence(Qt::Key_F1));
    Help1->addActions({HelpContent1, About1});
    // Ctrl+F: to the file list's filter box (an action of the window, in no menu).
    QAction *findFilter = action("FindFilter1");
    findFilter->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    findFilter->setShortcutContext(Qt::WindowShortcut);
    addAction(findFilter);

    popupSelectFolder = NewNamed<QMenu>("popupSelectFolder", this);
    Auto1 = action("Auto1");
    Current1 = action("Current1");
    Manual1 = action("Manual1");
    CachedMSN751 = action("CachedMSN751");
    CachedWLM801 = action("CachedWLM801");
    Hide1 = action("Hide1");
    Hide1->setCheckable(true);
    Hide1->setChecked(true);
    popupSelectFolder->addActions({Auto1, Current1, Manual1});
    popupSelectFolder->addSeparator();
    popupSelectFolder->addActions({CachedMSN751, CachedWLM801});
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
    on(ExportNamed1, &TfrmMain::ExportNamed1Click);
    on(HelpContent1, &TfrmMain::HelpContent1Click);
    on(About1, &TfrmMain::About1Click);
    on(Auto1, &TfrmMain::Auto1Click);
    on(Current1, &TfrmMain::Current1Click);
    on(Manual1, &TfrmMain::Manual1Click);
    on(CachedMSN751, &TfrmMain::CachedMSN751Click);
    on(CachedWLM801, &TfrmMain::CachedWLM801Click);
    on(Hide1, &TfrmMain::Hide1Click);
    on(List1, &TfrmMain::List1Click);
    on(Thumbnails1, &TfrmMain::Thumbnails1Click);
    on(UnlockNames1, &TfrmMain::UnlockNames1Click);
    on(SearchDisk1, &TfrmMain::SearchDisk1Click);
    connect(findChild<QAction *>(QStringLiteral("FindFilter1")), &QAction::triggered, this, [this] {
        Pane->edFilter->setFocus(Qt::ShortcutFocusReason);
        Pane->edFilter->selectAll();
    });
    // The names notice closes under the focus of its close button.
    connect(Pane->btHideNamesOffer, &QAbstractButton::clicked, this, [this] { KeepFocusVisible(); });
    connect(Pane, &TFilePane::unlockNamesAsked, this, [this] { Guard([this] { UnlockNames1Click(); }); });
    connect(Pane, &TFilePane::thumbSizeChosen, this,
            [this] { Guard([this] { SaveFileView(Pane->Thumbnails(), Pane->ThumbSize()); }); });
    click(btSelectFolder, &TfrmMain::btSelectFolderClick);
    click(btBackup, &TfrmMain::Backup1Click);
    click(btExplore, &TfrmMain::btExploreClick);
    click(btSaveFolder, &TfrmMain::btSaveFolderClick);
    click(chOnlyRecognized, &TfrmMain::chOnlyRecognizedClick);
    click(btOpen, &TfrmMain::btOpenClick);
    click(btOpenWith, &TfrmMain::btOpenWithClick);
    click(btSaveAs, &TfrmMain::btSaveAsClick);
    connect(tvDir, &QTreeWidget::currentItemChanged, this, [this] { Guard([this] { tvDirChange(); }); });
    // A package a disk search found opens in the restore window.
    connect(tvDir, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *node) {
        const QString package = PackageOfNode(*Tree, node);
        if (!package.isEmpty())
            Guard([this, &package] { OpenPackage(package); });
    });
    ConnectRowHandler(lbFiles, [this] { lbFilesClick(); });
    ConnectRowHandler(lbCab, [this] { lbCabClick(); });
    // A click on a thumbnail is a click on its row of the list, which shares the selection.
    connect(Pane->gridFiles, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (!Pane->ClickChangedRow(lbFiles, index.row()))
            Guard([this] { lbFilesClick(); });
    });
    connect(Timer1, &QTimer::timeout, this, [this] { Guard([this] { Timer1Timer(); }); });
    connect(Tree, &TFolderTree::cleared, this, [this] {
        Pane->Clear();
        btExplore->setToolTip(QString());
    });
}

// A row's handler runs once per click: on the change of the current row, and on a click on the
// row that already was the current one (a click that changes the row emits both signals).
void TfrmMain::ConnectRowHandler(QListWidget *list, const std::function<void()> &handler)
{
    connect(list, &QListWidget::currentRowChanged, this, [this, handler] { Guard(handler); });
    connect(list, &QListWidget::itemClicked, this, [this, list, handler](QListWidgetItem *item) {
        if (!Pane->ClickChangedRow(list, list->row(item)))
            Guard(handler);
    });
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == tvDir && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        Guard([this, key] { tvDirKeyDown(key); });
    } else if (watched == Image1 && event->type() == QEvent::MouseButtonRelease) {
        Guard([this] { Image1Click(); });
    } else if (watched == Image1 && event->type() == QEvent::KeyPress
               && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space) {
        Guard([this] { Image1Click(); }); // the preview takes the focus: Space stretches it as a click does
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::RefreshCaptions()
{
    const TLanguage &L = CurrentLanguage();
    auto get = [&L](const char *key) { return L.Get(QString::fromLatin1(key)); };
    setWindowTitle(QString::fromLatin1(ProductName) + QStringLiteral(" - ") + get("MainSubtitle"));
    File1->setTitle(get("File"));
    Tools1->setTitle(get("Tools"));
    Language1->setTitle(get("Language"));
    View1->setTitle(get("View"));
    List1->setText(get("ViewList"));
    Thumbnails1->setText(get("ViewThumbnails"));
    UnlockNames1->setText(get("UnlockNames") + QStringLiteral("..."));
    Help1->setTitle(get("Help"));
    Settings1->setText(get("Settings") + QStringLiteral("..."));
    Exit1->setText(get("Exit"));
    CalcId1->setText(get("CalcId") + QStringLiteral("..."));
    Backup1->setText(get("Backup") + QStringLiteral("..."));
    Restore1->setText(get("Restore") + QStringLiteral("..."));
    ExportNamed1->setText(get("ExportNamed") + QStringLiteral("..."));
    SearchDisk1->setText(get("SearchDisk") + QStringLiteral("..."));
    HelpContent1->setText(get("HelpContent"));
    About1->setText(get("About") + QStringLiteral("..."));
    Tree->RefreshCaptions();
    Auto1->setText(get("Auto"));
    Current1->setText(get("Current"));
    Manual1->setText(get("Manual") + QStringLiteral("..."));
    CachedMSN751->setText(get("CachedMSN75"));
    CachedWLM801->setText(get("CachedWLM80"));
    Hide1->setText(get("HideEmpty"));
    Pane->RefreshCaptions();
}

void TfrmMain::SwitchLanguage(QAction *item, const QString &code)
{
    item->setChecked(true);
    SetCurrentLanguage(nullptr);
    SetCurrentLanguage(LoadLanguage(code));
    RefreshCaptions();
    if (isVisible())
        FitPanels(this, Splitter1, Splitter2, false);
    SaveLanguage();
}

void TfrmMain::English1Click() { SwitchLanguage(English1, QStringLiteral("EN")); }
void TfrmMain::French1Click() { SwitchLanguage(French1, QStringLiteral("FR")); }
void TfrmMain::Italian1Click() { SwitchLanguage(Italian1, QStringLiteral("IT")); }
void TfrmMain::Spanish1Click() { SwitchLanguage(Spanish1, QStringLiteral("SP")); }

int TfrmMain::CountNodesAtLevel(int level) const { return Tree->CountNodesAtLevel(level); }

void TfrmMain::ShowStatusHint(const QString &text, int top, int left, unsigned char seconds)
{
    StatusHint->Show(text, top, left, seconds);
}
void TfrmMain::HideStatusHint() { StatusHint->Hide(); }
bool TfrmMain::StatusHintVisible() const { return StatusHint && StatusHint->Visible(); }
QString TfrmMain::StatusHintText() const { return StatusHint ? StatusHint->Text() : QString(); }
void TfrmMain::Timer1Timer() { StatusHint->Tick(); }

void TfrmMain::ReportError(const std::exception &error) { ShowException(error); }

void TfrmMain::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

void TfrmMain::FormClose()
{
    KeepPlacement();
    RemoveWorkFiles(AppDir);
}

void TfrmMain::InstallStartupChecks(const QString &package)
{
    QTimer::singleShot(0, this, [this, package] {
        Guard([this, &package] { StartupChecks(!package.isEmpty()); });
        if (!package.isEmpty() && !Terminating)
            Guard([this, &package] { OpenPackage(package); });
    });
}

void TfrmMain::StartupChecks(bool packageGiven)
{
    // Runs once (installed as a single shot): the automatic scan first.
    Auto1Click();
    tvDir->setFocus();
    // Nothing found: say so, and offer the search of a disk or folder.
    if (tvDir->topLevelItemCount() == 0 && !packageGiven
        && LangMessageDlg(StripAmpersands(CurrentLanguage().Get(QStringLiteral("CannotFindMsnData"))) + QStringLiteral("\r\r")
                              + CurrentLanguage().Get(QStringLiteral("SearchDiskOffer")),
                          TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes)
        SearchDisk1Click();
    // The drive the program runs from: refuse a CD-ROM, warn on removable and network drives.
    switch (Platform::Get().DriveTypeOf(AppDir)) {
    case DriveType::CdRom:
        LangMessageDlg(CurrentLanguage().Get(QStringLiteral("NoCdrom")), TMsgDlgType::mtError, mbOK);
        Terminate();
        return;
    case DriveType::Fixed:
        if (!QFile::exists(SettingsFilePath()) && CountNodesAtLevel(1) >= 2 && !packageGiven) {
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

// File > Exit leaves as the close box does: the work files go with the program.
void TfrmMain::Exit1Click()
{
    FormClose();
    Terminate();
}

// Ends the message loop without closing the window: the close handler does not run.
void TfrmMain::Terminate()
{
    Terminating = true;
    QCoreApplication::exit(0);
}

// ---- the folder tree and the file pane ----
void TfrmMain::LoadTreeIcons() { Tree->LoadIcons(); }
void TfrmMain::btSelectFolderClick()
{
    popupSelectFolder->popup(btSelectFolder->mapToGlobal(QPoint(0, btSelectFolder->height() - 1)));
}
void TfrmMain::tvDirKeyDown(int key)
{
    if (key == Qt::Key_F4)
        Hide1->trigger();
}
void TfrmMain::btExploreClick() { Tree->ExploreSelected(); }
void TfrmMain::btSaveFolderClick() { Tree->SaveSelectedFolder(); }
void TfrmMain::ClearFolderList() { Tree->Clear(); }
QString TfrmMain::SelectedFolder() const { return Tree->SelectedFolder(); }
void TfrmMain::Auto1Click() { Tree->AutoScan(Hide1->isChecked()); }
void TfrmMain::Current1Click() { Tree->ScanCurrentUser(Hide1->isChecked()); }
void TfrmMain::Manual1Click() { Tree->ScanChosenFolder(Hide1->isChecked()); }
void TfrmMain::CachedMSN751Click() { Tree->ShowCachedMsn75(AppDir, Hide1->isChecked()); }
void TfrmMain::CachedWLM801Click() { Tree->ShowCachedWlm(Hide1->isChecked()); }
void TfrmMain::Hide1Click()
{
    if (Hide1->isChecked())
        Tree->PruneAllEmptyFolders();
    else
        LangMessageDlg(Lang("HideEffect"), TMsgDlgType::mtInformation, mbOK);
}
void TfrmMain::List1Click() { ShowThumbnails(false); }
void TfrmMain::Thumbnails1Click() { ShowThumbnails(true); }
void TfrmMain::ShowThumbnails(bool thumbnails)
{
    Pane->SetThumbnails(thumbnails);
    SaveFileView(thumbnails, Pane->ThumbSize());
}
void TfrmMain::UnlockNames1Click() { Pane->UnlockNames(this); }
void TfrmMain::SearchDisk1Click() { SearchDiskOrFolder(*Tree, Hide1->isChecked(), this); }
void TfrmMain::CalcId1Click() { SelectFolderOfAddress(*Tree, this); }

void TfrmMain::tvDirChange()
{
    if (QTreeWidgetItem *node = tvDir->currentItem()) {
        // A Passport ID node tells its address where it stays readable: in its tooltip and to
        // screen readers (an address learnt since the tree was filled included).
        const QString email = EmailById().GetValue(node->text(0));
        if (!email.isEmpty()) {
            node->setToolTip(0, email);
            node->setData(0, Qt::AccessibleDescriptionRole, email);
        }
        browse::SetHint(btExplore, FormatText(Lang("ExploreFolderHint"), {SelectedFolder()}));
    }
    Pane->ShowSelectedFolder();
}
void TfrmMain::chOnlyRecognizedClick() { tvDirChange(); }
void TfrmMain::lbFilesClick() { Pane->ShowSelectedFile(); }
void TfrmMain::lbCabClick() { Pane->ShowSelectedEntry(); }
void TfrmMain::Image1Click() { Pane->Preview().ToggleStretch(); }
void TfrmMain::btOpenClick() { Pane->Open(); }
void TfrmMain::btOpenWithClick() { Pane->OpenWith(this); }
void TfrmMain::btSaveAsClick() { Pane->SaveAs(); }
void TfrmMain::PreviewFile(const QString &path, QLabel *image, QLabel *flash) { Pane->PreviewFile(path, image, flash); }

// The menus of the features: their windows are declared and run in their own folders.
void TfrmMain::Backup1Click() { ShowBackupDialog(this, *Tree); }
void TfrmMain::Restore1Click() { OpenPackage(QString()); }
void TfrmMain::OpenPackage(const QString &package) { ShowRestoreDialog(this, RestoreListen, package); }
void TfrmMain::ExportNamed1Click() { ShowNamedExportDialog(this, *Tree); }

void TfrmMain::ExtractCabinetTo(const QString &cabinet, const QString &folder) { zorvak::ExtractCabinetTo(*CABFile1, cabinet, folder); }
bool TfrmMain::PackFolder(const QString &folder, const QString &cabinet, bool keepExisting) { return zorvak::PackFolder(*CABFile1, folder, cabinet, keepExisting); }

} // namespace zorvak
