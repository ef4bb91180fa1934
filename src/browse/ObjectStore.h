#pragma once
// The content layout of the later Messenger versions: one folder per account, named by its e-mail
// address, below "<local application data>/Microsoft/Messenger/", holding "ObjectStore/" with one
// sub-folder per kind of content. Each object is a pair of files with the same base name (a Base64
// text of a hash, so "+" and "=" occur): "<name>.dt2", the object's bytes exactly, and
// "<name>.id2", its protected metadata. Winks add "<name>.png", their thumbnail.
//
// Windows ignores letter case and copies of its disks keep whatever case the folders had, so
// every folder of this layout is looked up without regard to case. Nothing here writes.
#include "browse/FolderScan.h"
#include "common/ContentTypes.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace zorvak::objstore {

// The name of `name`'s entry in `folder` as the disk spells it: the exact one when it exists,
// else the only entry equal to it without regard to case; empty when there is none or several.
QString FindEntry(const QString &folder, const QString &name);
// `base` followed by the relative folder path `rel`, each component found with FindEntry; ends
// with the separator. Empty when a component is missing or not a folder.
QString ResolveFolder(const QString &base, const QString &rel);

// Where a Windows profile keeps its local application data, relative to the profile: the
// Windows XP layout first, then the one of Vista and later.
const QStringList &LocalAppDataLayouts();
// "Microsoft/Messenger/": the folder of the accounts below the local application data.
QString MessengerFolderName();

// The "ObjectStore" folder of an account folder (with the separator), or empty.
QString StoreFolderOf(const QString &accountFolder);
// The account folders (each with the separator) directly below `messengerFolder`: every
// sub-folder that holds an ObjectStore folder, sorted by name without regard to case.
QStringList AccountsIn(const QString &messengerFolder);

// The content type of a kind folder by its name, letter case ignored: CustomEmoticons, UserTile,
// Backgrounds, Winks3, WebcamDDP and DeluxeDisplayPictures, DynamicBackgrounds. Nothing for a
// folder of another name.
std::optional<ContentType> KindOfFolder(const QString &name);
// The kind folder of `type` in a store folder (with the separator), or empty when there is none.
QString KindFolder(const QString &storeFolder, ContentType type);

// Where a path lies in this layout: an account folder, its ObjectStore folder or a kind folder
// of it. `account` ends with the separator; `email` is the account folder's name; `kind` is set
// for a kind folder of a known name.
struct TStorePlace {
    QString account;
    QString email;
    std::optional<ContentType> kind;
};
std::optional<TStorePlace> PlaceOf(const QString &path);

// One object of a kind folder. Paths are whole; `metadata` and `thumbnail` are empty when the
// object has none.
struct TStoreObject {
    QString baseName;   // the file name without ".dt2"
    QString data;
    QString metadata;
    QString thumbnail;
};
// The objects of a kind folder, sorted by base name (a stable order for names by position).
// Only regular files count; companions are matched without regard to case.
QList<TStoreObject> ListObjects(const QString &kindFolder);

// ".dt2" (an object's bytes) and ".id2" (its metadata) file names, letter case ignored.
bool IsDataFile(const QString &fileName);
bool IsMetadataFile(const QString &fileName);

// The name and shortcut the owner gave an object, as its metadata file holds them.
struct TStoreMetadata {
    QString name;
    QString shortcut;
};
// Reads an object's metadata file. The metadata is protected under the account's Windows
// identity with a layout nobody has described, so it is not read yet: the result is always
// empty and objects are named by their position. This is the one place that reading goes.
std::optional<TStoreMetadata> ReadMetadata(const QString &metadataFile);

// The tree node of an account: the e-mail address as caption, the folder ID of that address and
// the note that names are not read in the hint, the account folder as folder, and a child per kind folder of its ObjectStore (empty
// ones left out when the options say so).
TFolderNode AccountNode(const QString &accountFolder, const TScanOptions &options);

// The account nodes below the local application data folders `localFolders` (each once, however
// reached), in their order; accounts without content left out when the options hide empty folders.
std::vector<TFolderNode> AccountNodesBelow(const QStringList &localFolders, const TScanOptions &options);

} // namespace zorvak::objstore
