#pragma once
// The file side of the main window: the list of the selected folder's files (recognised ones
// under their recognised extension), the list of a cabinet's entries, the preview of the selected
// file, and the commands on that file (Open, Open with, Save as).
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QToolButton;
class QSplitter;
class QWidget;

namespace zorvak {

namespace history {
class THistoryPane;
class TConversationView;
} // namespace history

class TFolderTree;
class TObjectNames;
class TPreview;
class TThumbnailView;
class TThumbnailer;

class TFilePane : public QObject {
    Q_OBJECT
public:
    // Extracts a cabinet into a folder (the window's cabinet component does it).
    using TExtractor = std::function<void(const QString &cabinet, const QString &folder)>;
    // `appDir` (the window's, read when used; ends with the separator): the preview copies and
    // extracted entries live there.
    TFilePane(const TFolderTree &tree, TObjectNames &names, const QString &appDir, TExtractor extract,
              QObject *parent);
    ~TFilePane() override;

    // Builds the file panel and the preview panel as the two sides of `splitter`.
    void CreateControls(QSplitter *splitter);
    void RefreshCaptions();

    // Controls (named as the window's design names them).
    QWidget *panFiles = nullptr;
    QWidget *panPreview = nullptr;
    QLabel *labelFileList = nullptr;
    QListWidget *lbFiles = nullptr;
    QLabel *lbTotalFiles = nullptr;
    QLabel *lbRecognized = nullptr;
    QLabel *lbCabTitle = nullptr;
    QListWidget *lbCab = nullptr;
    QCheckBox *chOnlyRecognized = nullptr;
    QLabel *labelPreview = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Flash1 = nullptr;   // the Flash movie's information card
    QPushButton *btOpen = nullptr;  // as wide as "Open", whatever program it names
    QPushButton *btOpenWith = nullptr;
    QPushButton *btSaveAs = nullptr;
    // The file list as thumbnails: the same rows and the same selection as lbFiles.
    TThumbnailView *gridFiles = nullptr;
    QSlider *tbThumbSize = nullptr;
    // Narrows the rows of both views by file name, name or shortcut.
    QLineEdit *edFilter = nullptr;
    // The offer to unlock the names of the selected user folder, above the list: a link in the
    // text asks for the credentials (unlockNamesAsked), the close button hides it for that user.
    QWidget *barNames = nullptr;
    QLabel *lbNamesOffer = nullptr;
    QToolButton *btHideNamesOffer = nullptr;

    // A History node's conversations: listed in lbFiles, the selected one shown in the preview
    // area instead of Image1; the filter box then filters the conversation.
    history::TConversationView *lvConversation = nullptr;
    history::THistoryPane &History() const { return *m_history; }
    bool HistoryShown() const;

    // The preview of Image1.
    TPreview &Preview() const;
    // The disk name behind each row of lbFiles (row i <-> item i).
    const QStringList &DiskNames() const { return m_diskNames; }
    // The file name shown for each row (its recognised extension), whatever the row's text.
    const QStringList &FileNames() const { return m_fileNames; }

    // List (false) or thumbnails (true); the current row and the preview stay as they are.
    void SetThumbnails(bool on);
    bool Thumbnails() const { return m_thumbnails; }
    void SetThumbSize(int size);
    int ThumbSize() const;
    // Asks for the credentials of the selected folder's user folder and shows the names of its
    // objects in both views. Errors of the reading pass to the caller.
    void UnlockNames(QWidget *owner);
    // Hides the rows whose file name, name and shortcut do not hold the filter text.
    void ApplyFilter();

    // Lists the files of the tree's selected folder and previews the first one.
    void ShowSelectedFolder();
    // Empties the file list (the tree was cleared).
    void Clear();
    // Previews the selected row; a cabinet is extracted and its entries listed.
    void ShowSelectedFile();
    // Previews the selected cabinet entry.
    void ShowSelectedEntry();
    // Shows a file in an image control and, when given, the Flash card (the backup's
    // confirmation dialogs use it for their thumbnails).
    void PreviewFile(const QString &path, QLabel *image, QLabel *flash);
    void Open();
    void OpenWith(QWidget *owner);
    void SaveAs();
    // A click on a row of lbFiles or lbCab: true when the press of that click made the row
    // current, so the row change has run the row's handler already and the click must not run
    // it again.
    bool ClickChangedRow(const QListWidget *list, int clickedRow) const;

signals:
    // The selected row of lbFiles was previewed (once per click or selection change).
    void filePreviewed(const QString &diskName);
    // The user chose another thumbnail size (slider or Ctrl + wheel).
    void thumbSizeChosen(int size);
    // The user asked to unlock names from the offer above the list.
    void unlockNamesAsked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct TSelectedFile {
        bool cabinetEntry = false;
        QString name;      // entry name, or the row's display name
        QString source;    // where the file lies
    };
    bool SelectedFile(TSelectedFile &out) const;
    void ResetPreview(QListWidget *list);
    void SetCabListVisible(bool visible);
    // AppDir + "~tmp" + the display name's extension (a lone dot when it has none).
    QString PreviewCopyPath(const QString &displayName) const;
    QString CabFolder() const;
    // The file name of a row of `list` (lbFiles: its recognised file name, lbCab: the entry).
    QString RowFileName(const QListWidget *list, int row) const;
    // The text of a row of lbFiles: the file name, with the object's name and shortcut before it
    // when its user folder is unlocked.
    QString RowText(int row) const;
    void RetitleRows();
    void UpdateNamesOffer();
    void SelectFirstShownRow();
    // Shows the History pane's controls instead of the file controls, or back.
    void SetHistoryMode(bool on);

    const TFolderTree &m_tree;
    const QString &m_appDir;   // the window's, set once the window knows it
    TExtractor m_extract;
    QStringList m_diskNames;
    QStringList m_fileNames;
    QString m_listedFolder;        // the folder whose files are listed
    QString m_copyShownAs;         // while the preview's copy is shown: the listed name it stands for
    int m_totalFiles = -1;         // the counts under the list (-1: none shown), kept so that
    int m_recognizedFiles = 0;     // they are said again in another language
    void ShowCounts();
    QString m_openApp;             // the program Open runs: its desktop name, its file name
    QString m_openProgram;
    void ShowOpenCaption();
    TThumbnailer *m_thumbnailer = nullptr;
    TObjectNames &m_names;           // the names users gave their objects (owned by the window)
    history::THistoryPane *m_history = nullptr;
    QStringList m_namesDeclined;   // user folders whose offer was closed
    bool m_thumbnails = false;
    QString m_saveAsStartFolder;   // the start folder last given to the save dialog
    QString m_lastSaveFolder;      // the folder the user last saved a file into
    // Counts the fills of the file list and the previews of its rows. Listing a folder processes
    // pending events, so another selection may fill the list meanwhile; the older fill then stops.
    int m_generation = 0;
    int m_rowAtPress[2] = {-1, -1}; // current rows of lbFiles and lbCab when a mouse button went down
};

} // namespace zorvak
