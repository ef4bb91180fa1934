#pragma once
// Work folders of one run, and the lock that makes runs take turns.
//
// A run folder is "<base>/run-<pid>-<random>/" with the lock file "<base>/run-<...>.lock" beside
// it, held (flock) for as long as the run lives. The system drops the lock when the process ends
// however it ends, so any later run can tell a folder left by a killed run from one in use and
// removes only the former. Folders of runs that are alive are never touched.
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

namespace zorvak::fileops {

class TRunFolder {
public:
    // Removes what ended runs left below `base`, then makes `base` (when missing) and a folder
    // of this run. Null on failure, with the system's reason in `error`.
    static std::unique_ptr<TRunFolder> Create(const QString &base, QString *error = nullptr);
    ~TRunFolder(); // removes the folder, its content and its lock file

    TRunFolder(const TRunFolder &) = delete;
    TRunFolder &operator=(const TRunFolder &) = delete;

    // The run's folder, with a trailing separator.
    const QString &Path() const { return m_path; }

private:
    TRunFolder(QString path, QByteArray lockPath, int lockFd);
    QString m_path;
    QByteArray m_lockPath;
    int m_lockFd;
};

// Removes the run folders (and their lock files) below `base` whose run has ended; returns how
// many were removed.
int RemoveEndedRuns(const QString &base);

// The folder of this user's run folders for temporary work: "<temp>/zorvak-<uid>/", made private
// to the user. Empty when it cannot be had safely (someone else's folder, a link).
QString PrivateTempBase();

// An exclusive lock on the file `path` (made when missing), held while the object lives.
class TFileLock {
public:
    // Waits for the lock. When another process holds it, `onWait` (when given) is called once
    // before waiting; the wait ends early, giving null, when `cancel` turns true. Null with the
    // system's reason in `error` when the file cannot be opened.
    static std::unique_ptr<TFileLock> Acquire(const QString &path, const std::function<void()> &onWait = {},
                                              const std::atomic<bool> *cancel = nullptr, QString *error = nullptr);
    ~TFileLock();
    TFileLock(const TFileLock &) = delete;
    TFileLock &operator=(const TFileLock &) = delete;

private:
    explicit TFileLock(int fd) : m_fd(fd) {}
    int m_fd;
};

} // namespace zorvak::fileops
