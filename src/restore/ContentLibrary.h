#pragma once
// TContentLibrary: the local content library that installed packages land in, laid out like a
// Messenger user's folder: one sub-folder per content type (the sub-folder names of the
// settings), each object under its display name and proper extension, and "index.tsv" beside
// them recording every object's type, name and emoticon shortcut.
//
// A package is checked the way Messenger's content installer checks it: a cabinet holding a
// well-formed content.xml whose root is a <package> of Messenger's content namespace (else
// InstallFailed), at most 200 items (else TooManyItems), and every listed file present: items
// are installed in order, and the first missing file stops the installation with InstallFailed,
// the items before it staying installed.
#include "common/ContentTypes.h"
#include "common/SafeName.h"

#include <QMap>
#include <QString>

#include <atomic>
#include <functional>

namespace zorvak {

// Result codes of the content installer.
inline constexpr qint32 InstallOk = 0;
inline constexpr qint32 InstallFailed = qint32(0x80004005u);     // E_FAIL
inline constexpr qint32 TooManyItems = qint32(0x80070057u);      // E_INVALIDARG
inline constexpr qint32 DownloadFailed = qint32(0x8100036Cu);

inline constexpr int MaxPackageItems = 200;

// The library's rules of the safe-name policy (common/SafeName.h) for the names a package gives:
// a leading dot becomes "_" (nothing installed hides), a device name of Windows gets a "_" in
// front, names are cut to the common limits.
inline constexpr named::TSafeNameRules kLibraryNameRules{false, named::TSafeNameRules::Leading::Mark, true, true};

// One line of the index.
struct TLibraryEntry {
    QString file;      // relative to the library: sub-folder/name.ext
    QString type;      // the item's type as the package gives it ("emoticon", "usertile", ...)
    QString name;      // display name (unescaped)
    QString shortcut;  // emoticon key sequence (unescaped); empty for other types
};

class TContentLibrary {
public:
    // `folder`: the library's root; `subdirs`: the sub-folder of each content type (from the
    // settings in use, read by the caller on the main thread).
    TContentLibrary(QString folder, QMap<ContentType, QString> subdirs);

    // $XDG_DATA_HOME/zorvak/installed/ (~/.local/share when unset), with a trailing separator.
    static QString DefaultFolder();
    // The sub-folders of the settings in use. Main thread only.
    static QMap<ContentType, QString> SubdirsInUse();

    const QString &Folder() const { return m_folder; }

    // Checks and installs a package file; returns one of the codes above. `cancel` stops it
    // between items (InstallFailed). Item types and names from the package never become a name
    // the library keeps for itself ("index.tsv"); names are cut to the file system's limit in
    // bytes, keeping the extension. The index is checked before anything is copied and written
    // whole; when it cannot be written the objects this installation added are removed again
    // and the result is InstallFailed, with LastError saying why.

    // Installations into one library take turns (a lock file in the library, held from the
    // reading of the index to its writing); `onWait` is called once when this one has to wait.
    qint32 InstallPackage(const QString &packageFile, const std::atomic<bool> *cancel = nullptr,
                          const std::function<void()> &onWait = {});

    // The index as stored ("index.tsv": file, type, name, shortcut, tab-separated, with \t, \n
    // and \\ escaped).
    QList<TLibraryEntry> ReadIndex() const;

    // Why the last installation failed on the library's side ("" otherwise).
    const QString &LastError() const { return m_lastError; }

private:
    QString TargetFolderOf(const QString &itemType) const;
    QString PlaceObject(const QString &source, const QString &folder, const QString &name, bool *created);
    bool PrepareIndex();
    bool WriteIndex(const QList<TLibraryEntry> &entries) const;
    QString m_folder;
    QString m_lastError;
    QMap<ContentType, QString> m_subdirs;
};

} // namespace zorvak
