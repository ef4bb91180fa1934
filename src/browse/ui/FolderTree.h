#pragma once
// The folder tree of the main window: the tree view, the folder behind each node, the icons, and
// the commands that fill, prune or replace it. Nodes are numbered by their position in a
// depth-first walk over the whole tree (roots in order); FolderMap maps that number to the node's
// folder, and only this class adds or removes nodes, so the two always agree.
#include "browse/FolderScan.h"
#include "common/unitHash.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace zorvak {

namespace browse {
// Position of a node in the depth-first walk; -1 for no node or a node of another tree.
int AbsoluteIndex(const QTreeWidget *tree, const QTreeWidgetItem *node);
QTreeWidgetItem *NodeAt(const QTreeWidget *tree, int index);
int NodeCount(const QTreeWidget *tree);
} // namespace browse

// The Windows profile a user node of the tree stands for: the node's folder itself for a scanned
// profile, the profile above it when the node is an Application Data folder ("Current user").
QString ProfileOfUserFolder(const QString &folder);

class TFolderTree : public QObject {
    Q_OBJECT
public:
    explicit TFolderTree(QObject *parent);

    // Builds the folder side (caption, folder menu button, tree, buttons below) in `splitter`.
    void CreateControls(QSplitter *splitter);
    void RefreshCaptions();
    // Controls (named as the window's design names them).
    QWidget *panLeft = nullptr;
    QLabel *labelFolderList = nullptr;
    QPushButton *btSelectFolder = nullptr;
    QTreeWidget *tvDir = nullptr;
    QPushButton *btBackup = nullptr;
    QPushButton *btExplore = nullptr;
    QCheckBox *chKnownOnly = nullptr;
    QPushButton *btSaveFolder = nullptr;

    QTreeWidget *View() const { return tvDir; }
    THash FolderMap;            // absolute node index -> folder
    QList<QIcon> Icons;         // the eight node icons, by TTreeIcon
    void LoadIcons();

    // The folder of a node, as scanned (no separator added); empty for no node.
    QString FolderOf(const QTreeWidgetItem *node) const;
    // The folder of the selected node, ending with the separator.
    QString SelectedFolder() const;
    int CountNodesAtLevel(int level) const;
    // The width the folder side needs to show the longest name of the expanded nodes whole.
    int NamesWidth();
    // The first node with this caption, or null.
    QTreeWidgetItem *FindCaption(const QString &caption) const;
    // The Windows profiles of the user nodes, sorted by name.
    QStringList Profiles() const;

    // Appends the nodes of a forest below `parent` (as roots when null).
    void AddForest(QTreeWidgetItem *parent, const TFolderForest &forest);
    void ExpandAndSelectFirst();
    // The node with every node below it, as plain data, so that work on it may outlive the node.
    TFolderNode Snapshot(const QTreeWidgetItem *node) const;
    // Removes a leaf node and its FolderMap entry; the entries after it move down by one.
    void RemoveNode(QTreeWidgetItem *node);
    // Removes empty leaves below and including `node`.
    void PruneEmptyFolders(QTreeWidgetItem *node);
    // Empties the tree and FolderMap; emits cleared().
    void Clear();

    // Guards the commands that change the tree: while one runs (it processes pending events),
    // another one does not start.
    class TCommand {
    public:
        explicit TCommand(TFolderTree &tree) : m_tree(tree), m_acquired(!tree.m_busy) { if (m_acquired) tree.m_busy = true; }
        ~TCommand() { if (m_acquired) m_tree.m_busy = false; }
        TCommand(const TCommand &) = delete;
        TCommand &operator=(const TCommand &) = delete;
        explicit operator bool() const { return m_acquired; }

    private:
        TFolderTree &m_tree;
        bool m_acquired;
    };
    bool Busy() const { return m_busy; }

    // The folder menu's commands.
    void AutoScan(bool hideEmpty);
    void ScanCurrentUser(bool hideEmpty);
    void ScanChosenFolder(bool hideEmpty);
    // Adds a folder the way ScanChosenFolder adds the chosen one (asking first whether to clear
    // the list); for a folder dropped on the list.
    void AddFolder(const QString &folder, bool hideEmpty);
    void PruneAllEmptyFolders();
    void ShowCachedMsn75(const QString &appDir, bool hideEmpty);
    void ShowCachedWlm(bool hideEmpty);
    // Opens the selected node's folder in the file manager.
    void ExploreSelected() const;
    // "Save folder as": copies the selected node's folder with the folders below it in the tree
    // to a folder the user chooses, recognised files under their recognised extension.
    void SaveSelectedFolder();

signals:
    void cleared();

private:
    // The end of ScanChosenFolder and AddFolder: asks whether to clear the list, then adds
    // `chosen` with its scanned sub-folders.
    void AddChosen(const QString &chosen, bool hideEmpty);
    // Empties the tree and shows one root for `folder` with its sub-folders as content folders.
    void ShowFolder(const QString &folder, const QString &caption, bool hideEmpty);
    // A cache folder: the platform's shell folder `shellName` when it names one (the environment
    // and the Wine prefix override), else derived from the Windows profile of the tree, the user
    // choosing when there are several. Empty when none; nothing when the user cancelled.
    std::optional<QString> CacheFolder(const QString &shellName, bool internetCache) const;
    void AddNodes(QTreeWidgetItem *parent, const TFolderForest &forest, int &next);

    bool m_busy = false;
};

} // namespace zorvak
