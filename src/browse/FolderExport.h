#pragma once
// Copying content out: a file under a new name, and a folder with the folders below it in the
// folder tree, every recognised file under its recognised extension.
#include "browse/FolderScan.h"
#include "common/ExportFolder.h"
#include "common/SafeName.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace zorvak {

// "Save folder as": the state of one run and the copy of a node with the nodes below it. Only
// regular files are copied, each keeping its modification time, under SafeFileName of its name
// (bytes of a name that are not UTF-8 read as Windows-1252);
// object metadata files (".id2") are never taken for recognised content.
class TFolderSaver {
public:
    // Asked when a destination file exists; gives mrYes, mrNo, mrCancel or mrYesToAll.
    std::function<int(const QString &destination)> AskOverwrite;
    bool KnownOnly = true;       // copy only recognised files
    bool OverwriteAll = false;
    bool Cancelled = false;
    int Copied = 0;
    QStringList Failed;          // "file: reason" of each file not copied, its name as on disk (EscapedPath)

    void Reset() { OverwriteAll = false; Cancelled = false; Copied = 0; Failed.clear(); }
    // True when every copy in this node and in the nodes visited below it succeeded and the run
    // was not cancelled. A failed copy still lets the node's other files be tried; its child
    // folders and every later folder of the run are then skipped.
    bool SaveFolderTree(const TFolderNode &node, const QString &target);
};

// The save-as rules of the safe-name policy (common/SafeName.h): a name keeps its leading dots
// and spaces and its length (it comes from a disk), and a device name of Windows ("CON",
// "nul.txt", "COM1", ...) gets a "_" in front.
inline constexpr named::TSafeNameRules kSaveAsNameRules{false, named::TSafeNameRules::Leading::Keep, true, false};

// A file name every file system takes, by the save-as rules: the characters Windows refuses in
// names (\ / : * ? " < > | and control characters) become "_", trailing dots and spaces go.
// Everything else is kept as it is, "+" and "=" of the Base64 names of the later Messenger
// versions included. An empty result becomes "_".
QString SafeFileName(const QString &name);

// Is `path` the folder `folder` or a path inside it (links resolved as far as they exist)?
using exportfolder::IsSameOrInside;

// The node of a folder with every folder below it as children (hidden ones included), for
// saving a folder that is not part of a scanned tree.
TFolderNode FolderTreeOf(const QString &folder);

} // namespace zorvak
