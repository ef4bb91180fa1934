#pragma once
// TfrmMain: the one main window. It owns the shared state and wires its menus and buttons to the
// handlers; the windows of backup, restore and the export with names are opened through the
// functions their folders declare, and know nothing of this window.
#include "common/unitHash.h"
#include "restore/RestoreCore.h"
#include "shell/unitCustomDlg.h"

#include <QIcon>
#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QSplitter;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace zorvak {

class TCABFile;
class TFilePane;
class TFolderTree;
class TNameBook;
class TStatusHint;

// The window is wiring: the folder side lives in a TFolderTree, the file list and the preview in
// a TFilePane, both owned by the window. The names of their controls and handlers stay on the
// window as forwarders, so the window reads as its design describes it.
class TfrmMain : public QMainWindow, public StatusHintSink {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget *parent = nullptr);
    ~TfrmMain() override;

    // ---- owned parts ----
    const std::unique_ptr<TNameBook> Names; // the names users gave their objects, once unlocked
    TFolderTree *const Tree;            // the folder tree and FolderMap
    TFilePane *const Pane;              // the file list, the cabinet list and the preview
    TCABFile *const CABFile1;           // the cabinet component (MSZIP, no events)

    // ---- shared services ----
    QString AppDir;                     // ends with the separator
    THash &FolderMap;                   // absolute node index -> folder (kept by Tree)
    int CountNodesAtLevel(int level) const;
    void RefreshCaptions();
    void ShowStatusHint(const QString &text, int top, int left, unsigned char seconds) override;
    void HideStatusHint() override;
    bool StatusHintVisible() const;
    QString StatusHintText() const;
    // With `packageGiven` (a package on the command line) the browsing notices (nothing found, the
    // welcome) are left out: the restore window is what the user asked for.
    void StartupChecks(bool packageGiven = false);
    // Cabinet wrappers around CABFile1: existing files are replaced without asking.
    void ExtractCabinetTo(const QString &cabinet, const QString &folder);
    bool PackFolder(const QString &folder, const QString &cabinet, bool keepExisting);

    // ---- controls (named as the window's design names them); those of the two parts are
    // references to the parts' own pointers ----
    QWidget *const &panLeft;
    QSplitter *Splitter1 = nullptr;
    QSplitter *Splitter2 = nullptr;
    QLabel *const &labelFolderList;
    QPushButton *const &btSelectFolder;
    QTreeWidget *const &tvDir;
    QPushButton *const &btBackup;
    QPushButton *const &btExplore;
    QCheckBox *const &chKnownOnly;
    QPushButton *const &btSaveFolder;
    QLabel *const &labelFileList;
    QListWidget *const &lbFiles;
    QLabel *const &lbTotalFiles;
    QLabel *const &lbRecognized;
    QLabel *const &lbCabTitle;
    QListWidget *const &lbCab;
    QCheckBox *const &chOnlyRecognized;
    QLabel *const &labelPreview;
    QLabel *const &Image1;
    QLabel *const &Flash1;           // the Flash movie's information card
    QPushButton *const &btOpen;
    QPushButton *const &btOpenWith;
    QPushButton *const &btSaveAs;
    QList<QIcon> &ImageList1;           // the eight folder-tree icons (kept by Tree)
    QTimer *Timer1 = nullptr;

    // menus
    QMenu *File1 = nullptr;
    QAction *Settings1 = nullptr;
    QAction *Exit1 = nullptr;
    QMenu *Language1 = nullptr;
    QActionGroup *LanguageGroup = nullptr;
    QAction *English1 = nullptr;
    QAction *French1 = nullptr;
    QAction *Italian1 = nullptr;
    QAction *Spanish1 = nullptr;
    QMenu *View1 = nullptr;
    QActionGroup *ViewGroup = nullptr;
    QAction *List1 = nullptr;
    QAction *Thumbnails1 = nullptr;
    QMenu *Tools1 = nullptr;
    QAction *CalcId1 = nullptr;
    QAction *Backup1 = nullptr;
    QAction *Restore1 = nullptr;
    QAction *ExportNamed1 = nullptr;
    QAction *UnlockNames1 = nullptr;
    QAction *SearchDisk1 = nullptr;
    QMenu *Help1 = nullptr;
    QAction *HelpContent1 = nullptr;
    QAction *About1 = nullptr;
    QMenu *popupSelectFolder = nullptr;
    QAction *Auto1 = nullptr;
    QAction *Current1 = nullptr;
    QAction *Manual1 = nullptr;
    QAction *CachedMSN751 = nullptr;
    QAction *CachedWLM801 = nullptr;
    QAction *Hide1 = nullptr;

    // ---- handlers of the shell ----
    void Settings1Click();
    void About1Click();
    void HelpContent1Click();
    void Exit1Click();
    void English1Click();
    void French1Click();
    void Italian1Click();
    void Spanish1Click();
    void Timer1Timer();

    // ---- handlers of browsing (browse/) ----
    void LoadTreeIcons();
    void btSelectFolderClick();
    void tvDirChange();
    void tvDirKeyDown(int key);
    void btExploreClick();
    void btSaveFolderClick();
    void lbFilesClick();
    void lbCabClick();
    void chOnlyRecognizedClick();
    void Image1Click();
    void btOpenClick();
    void btOpenWithClick();
    void btSaveAsClick();
    void CalcId1Click();
    void Auto1Click();
    void Current1Click();
    void Manual1Click();
    void CachedMSN751Click();
    void CachedWLM801Click();
    void Hide1Click();
    void List1Click();
    void Thumbnails1Click();
    void ShowThumbnails(bool thumbnails); // the file list's view, kept in the settings
    void UnlockNames1Click();
    void SearchDisk1Click();        // defined in find/ui
    void ClearFolderList();
    QString SelectedFolder() const;
    // Shows a file in an image control and, when given, the Flash control.
    void PreviewFile(const QString &path, QLabel *image, QLabel *flash);

    // ---- backup, restore and the export with names: forwarders to their folders' windows ----
    void Backup1Click();
    void Restore1Click();
    // The restore window on `package` (the program's FILE argument, a package dropped on the
    // window); an empty name opens it as the menu does.
    void OpenPackage(const QString &package);
    void ExportNamed1Click();
    TListenSettings RestoreListen;   // the run's listen address and port, kept between restores

    // Runs a handler the way the message loop runs one: an error that escapes it is shown with
    // the application title and a stop icon, and the program goes on.
    // Afterwards the focus is on a control the user sees (a dialog or the handler may have hidden
    // or disabled the one that had it).
    template <typename F> void Guard(F &&handler)
    {
        try {
            handler();
        } catch (const std::exception &e) {
            ReportError(e);
        }
        KeepFocusVisible();
    }
    // Moves the focus to the file view in use, else the folder tree, when the control that has it
    // is hidden or disabled.
    void KeepFocusVisible();
    // Widens the folder side to the tree's longest shown name (at most 40 % of the window).
    void FitFolderSide();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Dropping: a package anywhere on the window opens the restore window on it; a folder on the
    // folder list is added to it as "Manual" adds one (uMainDrop.cpp).
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void CreateControls();
    void CreateMenus();
    void ConnectHandlers();
    void ConnectRowHandler(QListWidget *list, const std::function<void()> &handler);
    void SwitchLanguage(QAction *item, const QString &code);
    void FormClose();
    // Where the window was left, kept in the settings for the next start (when it was shown).
    void KeepPlacement();
    void PlacePanels();
    void ReportError(const std::exception &error);
    TStatusHint *StatusHint = nullptr;
    QTimer *m_fitFolderSide = nullptr; // fits the folder side once the tree has changed

    // ---- start-up and termination (shell) ----
public:
    // Runs StartupChecks once, at the first idle moment of the message loop, then opens the
    // restore window on `package` when one is given. The program calls it right after showing
    // the window; tests call StartupChecks themselves.
    void InstallStartupChecks(const QString &package = QString());
    // Set when the program ends without closing its window (Exit, the CD-ROM refusal).
    bool Terminating = false;
private:
    void Terminate();
};

} // namespace zorvak
