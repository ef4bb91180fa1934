#include "common/RunFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvak::fileops {

namespace {

const char kRunPrefix[] = "run-";
const char kLockSuffix[] = ".lock";

QString SystemError(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

QString WithSlash(QString path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

// True when the open file `fd` is still the one named `path` (nobody removed it meanwhile).
bool StillNamed(int fd, const QByteArray &path)
{
    struct stat a, b;
    return ::fstat(fd, &a) == 0 && ::lstat(path.constData(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes `path` and what it holds, never following a link out of it.
void RemoveTree(const QString &path)
{
    struct stat s;
    const QByteArray native = QFile::encodeName(path);
    if (::lstat(native.constData(), &s) != 0)
        return;
    if (S_ISDIR(s.st_mode))
        QDir(path).removeRecursively();
    else
        ::unlink(native.constData());
}

} // namespace

int RemoveEndedRuns(const QString &base)
{
    const QString folder = WithSlash(base);
    int removed = 0;
    const QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    QStringList runs;
    for (QString name : names) {
        if (!name.startsWith(QLatin1String(kRunPrefix)))
            continue;
        if (name.endsWith(QLatin1String(kLockSuffix)))
            name.chop(int(sizeof kLockSuffix) - 1);
        if (!runs.contains(name))
            runs << name;
    }
    for (const QString &run : std::as_const(runs)) {
        const QByteArray lockPath = QFile::encodeName(folder + run + QLatin1String(kLockSuffix));
        const int fd = ::open(lockPath.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            // A run makes its lock before its folder and removes it after: a folder without a
            // lock was left behind.
            if (errno == ENOENT && QFileInfo::exists(folder + run)) {
                RemoveTree(folder + run);
                ++removed;
            }
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(fd, lockPath)) {
            RemoveTree(folder + run);
            ::unlink(lockPath.constData());
            ++removed;
        }
        ::close(fd);
    }
    return removed;
}

std::unique_ptr<TRunFolder> TRunFolder::Create(const QString &base, QString *error)
{
    const QString folder = WithSlash(base);
    if (base.isEmpty() || !QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Cannot create folder %1").arg(folder);
        return nullptr;
    }
    RemoveEndedRuns(folder);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = QLatin1String(kRunPrefix) + QString::number(::getpid()) + QLatin1Char('-')
                             + QString::number(QRandomGenerator::global()->generate64(), 36);
        const QByteArray lockPath = QFile::encodeName(folder + name + QLatin1String(kLockSuffix));
        const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            if (error)
                *error = SystemError(errno);
            return nullptr;
        }
        // Another run cleaning up may have taken the fresh lock file for an ended run's and
        // removed it before this one held it: then start again under another name.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !StillNamed(fd, lockPath)) {
            ::close(fd);
            continue;
        }
        const QByteArray path = QFile::encodeName(folder + name);
        if (::mkdir(path.constData(), 0700) != 0) {
            const int code = errno;
            ::unlink(lockPath.constData());
            ::close(fd);
            if (code == EEXIST)
                continue;
            if (error)
                *error = SystemError(code);
            return nullptr;
        }
        return std::unique_ptr<TRunFolder>(new TRunFolder(folder + name + QLatin1Char('/'), lockPath, fd));
    }
    if (error)
        *error = SystemError(EEXIST);
    return nullptr;
}

TRunFolder::TRunFolder(QString path, QByteArray lockPath, int lockFd)
    : m_path(std::move(path)), m_lockPath(std::move(lockPath)), m_lockFd(lockFd)
{
}

TRunFolder::~TRunFolder()
{
    RemoveTree(m_path);
    ::unlink(m_lockPath.constData());
    ::close(m_lockFd);
}

QString PrivateTempBase()
{
    const QString base = QDir::tempPath() + QStringLiteral("/zorvak-") + QString::number(::getuid());
    const QByteArray native = QFile::encodeName(base);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat s;
    if (::lstat(native.constData(), &s) != 0 || !S_ISDIR(s.st_mode) || s.st_uid != ::getuid() || (s.st_mode & 0077))
        return {};
    return base + QLatin1Char('/');
}

std::unique_ptr<TFileLock> TFileLock::Acquire(const QString &path, const std::function<void()> &onWait,
                                              const std::atomic<bool> *cancel, QString *error)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (error)
            *error = SystemError(errno);
        return nullptr;
    }
    struct stat s;
    if (::fstat(fd, &s) != 0 || !S_ISREG(s.st_mode)) {
        ::close(fd);
        if (error)
            *error = QStringLiteral("Not a regular file");
        return nullptr;
    }
    bool told = false;
    // Polled rather than blocking, so that a cancelled run stops waiting at once.
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            if (error)
                *error = SystemError(errno);
            ::close(fd);
            return nullptr;
        }
        if (cancel && cancel->load()) {
            ::close(fd);
            return nullptr;
        }
        if (!told && onWait)
            onWait();
        told = true;
        QThread::msleep(50);
    }
    return std::unique_ptr<TFileLock>(new TFileLock(fd));
}

TFileLock::~TFileLock() { ::close(m_fd); }

} // namespace zorvak::fileops
