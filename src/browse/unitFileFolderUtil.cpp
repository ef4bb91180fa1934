#include "browse/unitFileFolderUtil.h"
#include "common/PathBytes.h"

#include "platform/Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvak {

namespace {

bool IsAllMask(const QString &mask) { return mask == QLatin1String("*") || mask == QLatin1String("*.*"); }

struct WalkEntry {
    QString name;
    bool folder;
    bool followable; // a real folder, not a symbolic link to one
    bool regular;    // a regular file (links followed): the only kind of file listed
};

// Reads one folder. False when it cannot be opened or read to its end.
bool ReadFolder(const QString &folder, QList<WalkEntry> &entries)
{
    const QByteArray native = PathToBytes(folder);
    DIR *dir = ::opendir(native.constData());
    if (!dir)
        return false;
    const int dfd = ::dirfd(dir);
    bool ok = true;
    for (;;) {
        errno = 0;
        const dirent *e = ::readdir(dir);
        if (!e) {
            ok = errno == 0;
            break;
        }
        if (e->d_name[0] == '.' && (e->d_name[1] == 0 || (e->d_name[1] == '.' && e->d_name[2] == 0)))
            continue;
        bool folderEntry = false;
        bool followable = false;
        bool regular = e->d_type == DT_REG;
        if (e->d_type == DT_DIR) {
            folderEntry = followable = true;
        } else if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
            struct stat st;
            const bool known = ::fstatat(dfd, e->d_name, &st, 0) == 0;
            regular = known && S_ISREG(st.st_mode);
            if (known && S_ISDIR(st.st_mode)) {
                folderEntry = true;
                if (e->d_type == DT_UNKNOWN) {
                    struct stat lst;
                    followable = ::fstatat(dfd, e->d_name, &lst, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(lst.st_mode);
                }
            }
        }
        entries.append({PathFromBytes(QByteArray(e->d_name)), folderEntry, followable, regular});
    }
    ::closedir(dir);
    return ok;
}

} // namespace

void ProcessPendingEvents()
{
    static QElapsedTimer since;
    // Only the user-interface thread has window messages to process (the local web server's
    // threads may list folders too).
    const QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return;
    if (since.isValid() && since.elapsed() < 15)
        return;
    QCoreApplication::processEvents();
    since.start();
}

bool MatchesMask(const QString &name, const QString &mask)
{
    if (mask.isEmpty() || IsAllMask(mask))
        return true;
    const QByteArray pattern = PathToBytes(mask);
    const QByteArray n = PathToBytes(name);
    return ::fnmatch(pattern.constData(), n.constData(), FNM_CASEFOLD | FNM_NOESCAPE) == 0;
}

bool WalkFolder(const QString &start, const QString &rel, const QString &mask, bool files, bool folders,
                bool recursive, bool fullPaths, QStringList &listing)
{
    const QString m = mask.isEmpty() ? QStringLiteral("*") : mask;
    const QString base = WithSeparator(start);
    QList<WalkEntry> entries;
    bool result = ReadFolder(base + rel, entries);
    const bool all = IsAllMask(m);
    for (const WalkEntry &e : entries) {
        ProcessPendingEvents();
        if (!all && !MatchesMask(e.name, m))
            continue;
        QString name = rel + e.name;
        if (fullPaths)
            name.prepend(base);
        if (e.folder) {
            if (folders)
                listing.append(name + QLatin1Char('/'));
            if (recursive && all && e.followable)
                result = WalkFolder(base, rel + e.name + QLatin1Char('/'), m, files, folders, recursive, fullPaths,
                                    listing) && result;
        } else if (files && e.regular) {
            // FIFOs, device nodes and sockets are not content; reading one could block.
            listing.append(name);
        }
    }
    // A narrow mask did not see every folder: walk them all once more.
    if (recursive && !all) {
        for (const WalkEntry &e : entries)
            if (e.folder && e.followable)
                result = WalkFolder(base, rel + e.name + QLatin1Char('/'), m, files, folders, recursive, fullPaths,
                                    listing) && result;
    }
    return result;
}

QStringList ListFiles(const QString &folder, const QString &mask, bool includeFolders, bool recursive,
                      bool fullPaths)
{
    QStringList listing;
    WalkFolder(folder, QString(), mask, true, includeFolders, recursive, fullPaths, listing);
    return listing;
}

QStringList ListFolders(const QString &folder, const QString &mask, bool recursive, bool fullPaths)
{
    QStringList listing;
    WalkFolder(folder, QString(), mask, false, true, recursive, fullPaths, listing);
    return listing;
}

int CountEntries(const QString &folder, const QString &mask, bool includeFolders, bool recursive)
{
    QStringList listing;
    if (!WalkFolder(folder, QString(), mask, true, includeFolders, recursive, false, listing))
        return -1;
    return int(listing.size());
}

bool DeleteFolder(const QString &path, bool toRecycleBin)
{
    QString p = path;
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    if (p.isEmpty())
        return false;
    const QFileInfo info(p);
    if (!info.exists() && !info.isSymLink())
        return false;
    try {
        if (toRecycleBin)
            return Platform::Get().MoveToTrash(p);
        if (info.isDir() && !info.isSymLink())
            return QDir(p).removeRecursively();
        return QFile::remove(p);
    } catch (...) {
        return false;
    }
}

qint64 GetFileSize(const QString &path)
{
    const QByteArray native = PathToBytes(path);
    struct stat st;
    if (::stat(native.constData(), &st) != 0)
        return 0;
    if (S_ISDIR(st.st_mode))
        return 0;
    const int fd = ::open(native.constData(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat opened;
    const qint64 size = ::fstat(fd, &opened) == 0 ? qint64(opened.st_size) : -1;
    ::close(fd);
    return size;
}

} // namespace zorvak
