#pragma once
// What kind of user folder a folder of the tree is: the answer the backup, names-unlock and
// named-export windows start from.
#include <QString>

#include <array>

namespace zorvak {

// What the backup dialog shows for a folder of the tree.
struct TFolderChoice {
    QString dir;                    // the user folder, with a trailing separator
    QString folderId;               // empty when the folder is not a user folder nor inside one
    std::array<bool, 6> ticked{};
    bool store = false;             // an ObjectStore account: nothing to decrypt
    QString email;                  // the account's address (its folder's name) for a store
};
// A user folder (all digits) ticks every type; a content folder of one ticks the type whose
// folder-name setting equals its name (case-sensitive) and gives the user folder. An ObjectStore
// account, its ObjectStore folder or a kind folder of it gives the account folder, the folder ID
// of its address, and ticks every type or the kind folder's one.
TFolderChoice ChooseFolder(const QString &path);

// The Messenger user folder `folder` is or lies directly in (with a trailing separator), or empty
// when it is neither.
QString UserFolderOf(const QString &folder);
// True when a content folder of the user folder has a map ("map.dat") to read.
bool HasContentMaps(const QString &userFolder);

} // namespace zorvak
