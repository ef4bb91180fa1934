#pragma once
// File and folder services shared by the whole program: listings (optionally recursive), counts,
// deleting a folder tree, a file's size. Plain functions; every listing belongs to the caller.
#include <QString>
#include <QStringList>

namespace zorvak {

// Lists the entries of start + rel matching `mask` ("*" when empty; "*" and "?" wildcards, letter
// case ignored, "*.*" matches every name) into `listing`, in the order the file system gives them.
// A folder entry ends with the separator; files are regular files only (links followed): FIFOs,
// device nodes, sockets and dangling links are left out. Recursive walks descend into every sub-folder (not into
// symbolic links to folders) whatever the mask. Returns false when a folder could not be listed;
// the entries found so far stay. Processes pending events while it works.
bool WalkFolder(const QString &start, const QString &rel, const QString &mask, bool files, bool folders,
                bool recursive, bool fullPaths, QStringList &listing);
QStringList ListFiles(const QString &folder, const QString &mask = QString(), bool includeFolders = false,
                      bool recursive = false, bool fullPaths = false);
QStringList ListFolders(const QString &folder, const QString &mask = QString(), bool recursive = false,
                        bool fullPaths = false);
// The number of entries ListFiles would give with the same arguments (by default: the regular
// files directly in `folder`), or -1 when the folder could not be read. Not to be confused with
// counting files for a backup, which has its own rules.
int CountEntries(const QString &folder, const QString &mask = QString(), bool includeFolders = false,
               bool recursive = false);
// Deletes a folder (or file) with everything below it, permanently or into the freedesktop trash.
bool DeleteFolder(const QString &path, bool toRecycleBin);
// Size in bytes; 0 when no such file exists; -1 when it cannot be opened for reading and writing.
qint64 GetFileSize(const QString &path);
// Does a file name match a mask as the folder walk matches it?
bool MatchesMask(const QString &name, const QString &mask);

// Keeps the window responsive during long file work: processes pending events at most every few
// milliseconds, so that a walk of many thousands of entries is not slowed down by it. Does
// nothing on any other thread than the application's.
void ProcessPendingEvents();

} // namespace zorvak
