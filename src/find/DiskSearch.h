#pragma once
// The search of a whole disk (or any folder) for Messenger data, wherever it was copied and
// whatever the folders above it are called. The walk reads folder entries with their types and
// tells almost everything by names and types alone; it opens a file only to identify a package
// or a conversation file, and then reads only its first bytes.
//
// Safe on any disk: a symbolic link is never followed (it is counted), so the walk never loops;
// FIFOs, devices and sockets are never opened; the walk stays on the file system of each starting
// folder unless told otherwise, and never enters /proc, /sys, /dev or /run from "/"; a folder that
// cannot be listed is counted and listed and the walk goes on; names are handled as bytes (a name
// that is not UTF-8 is shown decoded as Windows-1252); nothing is written, and access times are
// left alone where the system allows it. Memory stays small: only the folders on the way down
// and their sub-folder names are held, never the tree.
//
// Threads: Search runs on the calling thread (a window runs it on a worker thread). The callbacks
// are called from that thread; the cancel flag may be set from any thread and is looked at
// between entries, so the walk stops within a few milliseconds.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <vector>

namespace zorvak::find {

// What a place found holds.
enum class TPlaceKind {
    MessengerUser,       // a folder-ID folder of the classic layout
    ObjectStoreAccount,  // an <e-mail> folder holding "ObjectStore" (the later versions)
    History,             // a "History" folder holding conversation files
    Package,             // a cabinet holding content.xml
    MasterKeys,          // a data-protection master-key folder, "Protect/S-1-5-21-..."
};
// "messenger-user", "objectstore-account", "history", "package", "master-keys".
QString KindName(TPlaceKind kind);

struct TFoundPlace {
    TPlaceKind kind;
    QString path;           // shown to the user: each name decoded as UTF-8, or as Windows-1252 when it is not UTF-8
    QByteArray nativePath;  // the path's bytes as the file system has them (QFile::decodeName may not give them back)
};

// The state of a walk under way, given to the progress callback.
struct TSearchProgress {
    qint64 folders = 0;     // folders listed so far
    qint64 files = 0;       // other entries seen so far
    qint64 found = 0;       // places found so far
    QString currentFolder;  // the folder being listed (shown as TFoundPlace::path)
};

struct TSearchOptions {
    // Identify every regular file by its signature, not only "*.mco" and "*.cab": finds renamed
    // packages, but opens every file, so it is much slower.
    bool anyName = false;
    // Enter folders that lie on another file system than the starting folder.
    bool crossFileSystems = false;
    // Set (from any thread) to stop the walk; Search then returns with `cancelled` set.
    const std::atomic<bool> *cancel = nullptr;
    // Called about every `progressIntervalMs` milliseconds while the walk runs, and once at its end.
    std::function<void(const TSearchProgress &)> onProgress;
    int progressIntervalMs = 100;
    // Called for each place as soon as it is found (the result holds them too, sorted).
    std::function<void(const TFoundPlace &)> onFound;
};

struct TSearchResult {
    std::vector<TFoundPlace> found;  // sorted by path
    qint64 folders = 0;              // folders listed
    qint64 files = 0;                // entries that are not folders (files, links, FIFOs, ...)
    qint64 links = 0;                // symbolic links met (never followed)
    qint64 otherFileSystems = 0;     // folders left out because they lie on another file system
    qint64 unreadableCount = 0;      // folders that could not be listed (or not wholly)
    QStringList unreadable;          // their paths, sorted; at most kMaxUnreadableListed of them
    QStringList missingRoots;        // starting folders that are not there or are not folders
    bool cancelled = false;
    double seconds = 0;
};
inline constexpr int kMaxUnreadableListed = 10000;

// Walks the tree below each of `roots` (a starting folder given as a link is followed; nothing
// below it is) and returns every place holding Messenger data:
//  - MessengerUser: a folder named by digits only that lies in a "MSN Messenger" folder and holds
//    a sub-folder, or that holds a content sub-folder (CustomEmoticons, UserTile, DisplayPictures,
//    Backgrounds, Winks3, ...), a "MapFile" folder or a "map.dat" file;
//  - ObjectStoreAccount: a folder named like an e-mail address holding an "ObjectStore" folder;
//  - History: a "History" folder holding a conversation file (an "*.xml" whose root element is Log);
//  - Package: a regular file named "*.mco" or "*.cab" (with anyName, of any name) that is a
//    cabinet holding content.xml;
//  - MasterKeys: a folder "S-1-5-21-..." in a "Protect" folder holding a file named by a GUID.
// Folder names are compared without regard to letter case, as Windows compares them.
TSearchResult Search(const QStringList &roots, const TSearchOptions &options = {});

// The parts of the decision, for the window and the tests.
bool IsFolderIdName(const QByteArray &name);       // digits only, 1 to 10 of them
bool IsAddressName(const QByteArray &name);        // local@domain.tld, no space or control character
bool IsGuidName(const QByteArray &name);           // 8-4-4-4-12 hexadecimal digits
bool IsUserSidName(const QByteArray &name);        // "S-1-5-21-" then digits and dashes

} // namespace zorvak::find
