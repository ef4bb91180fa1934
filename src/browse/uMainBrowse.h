#pragma once
// Helpers shared by the main window's browsing handlers (folder tree, file list, saving, caches).
#include "browse/FolderScan.h"

#include <QSize>
#include <QString>

class QLabel;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace zorvak {

class TfrmMain;

namespace browse {

// Absolute index of a node: its position in a depth-first walk over the whole tree, roots in
// order. -1 for no node.
int AbsoluteIndex(const QTreeWidget *tree, const QTreeWidgetItem *node);
QTreeWidgetItem *NodeAt(const QTreeWidget *tree, int index);
int NodeCount(const QTreeWidget *tree);
// Appends the nodes of a forest below `parent` (as roots when null) and their FolderMap entries.
// The new nodes must come last in the walk, which holds for a new root and its children.
void AddForest(TfrmMain &w, QTreeWidgetItem *parent, const TFolderForest &forest);
// Expands the whole tree and selects its first node, if any.
void ExpandAndSelectFirst(TfrmMain &w);
// The node with every node below it, folders read from FolderMap.
TFolderNode Snapshot(const TfrmMain &w, const QTreeWidgetItem *node);
// Removes empty leaves below and including `node`, keeping FolderMap's index invariant.
void PruneEmptyFolders(TfrmMain &w, QTreeWidgetItem *node);
// Clears the whole tree and shows one root for `folder` with its sub-folders as content folders.
void HandFolderToTree(TfrmMain &w, const QString &folder, const QString &caption);

// Guards the commands that change the folder tree: while one runs (it processes pending events),
// another one does not start.
class TTreeCommand {
public:
    explicit TTreeCommand(TfrmMain &w);
    ~TTreeCommand();
    explicit operator bool() const { return m_acquired; }

private:
    TfrmMain &m_w;
    bool m_acquired;
};

// File list and preview.
void ResetPreview(TfrmMain &w, QListWidget *list);
QString GetOpenCommand(const QString &extension);
void ShowCabList(TfrmMain &w);
void HideCabList(TfrmMain &w);
// AppDir + "~tmp" + the display name's extension (a lone dot when it has none).
QString PreviewCopyPath(const TfrmMain &w, const QString &displayName);
// The picture of an image control and its two flags.
void ClearPicture(QLabel *image);
void LoadPicture(QLabel *image, const QString &path);
bool HasPicture(const QLabel *image);
QSize PictureSize(const QLabel *image);
void ApplyPictureFlags(QLabel *image);
// The Flash control: the movie's information card.
void StopFlash(QLabel *flash);
void PlayFlash(QLabel *flash, const QString &movie);

// Label hints ("\r" shown as line breaks).
void SetHint(QWidget *widget, const QString &text);

} // namespace browse
} // namespace zorvak
