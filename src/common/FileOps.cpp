#include "common/FileOps.h"
#include "common/PathBytes.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvak::fileops {

namespace {

QString SystemError(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

bool Fail(QString *error, int code)
{
    if (error)
        *error = SystemError(code);
    return false;
}

// Closes a descriptor when leaving the scope.
struct Fd {
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

bool WriteAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t w = ::write(fd, data, size);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += w;
        size -= size_t(w);
    }
    return true;
}

// Copies the bytes of `in` into `out`; errno tells why on failure.
bool CopyBytes(int in, int out)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        if (!WriteAll(out, buffer, size_t(n)))
            return false;
    }
}

// Gives the complete file `from` the name `to` unless `to` exists (a file made there meanwhile
// is never replaced); 0 or the system's error code.
int PublishNew(const QByteArray &from, const QByteArray &to)
{
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return errno;
#endif
    // A file system without the exclusive rename: a second link fails on an existing name too.
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return 0;
    }
    if (errno != EPERM && errno != ENOSYS && errno != EOPNOTSUPP)
        return errno;
    // Neither (FAT has no links): look, then rename; the file is complete either way.
    struct stat s;
    if (::lstat(to.constData(), &s) == 0)
        return EEXIST;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

} // namespace

bool IsRegularFile(const QString &path)
{
    struct stat s;
    return ::stat(PathToBytes(path).constData(), &s) == 0 && S_ISREG(s.st_mode);
}

bool CopyFile(const QString &source, const QString &target, CopyOptions options, QString *error)
{
    const QByteArray src = PathToBytes(source);
    const QByteArray dst = PathToBytes(target);

    // O_NONBLOCK: opening a FIFO must not wait for a writer; the type is checked on the open file.
    Fd in{::open(src.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (in.fd < 0)
        return Fail(error, errno);
    struct stat s;
    if (::fstat(in.fd, &s) != 0)
        return Fail(error, errno);
    if (S_ISDIR(s.st_mode))
        return Fail(error, EISDIR);
    if (!S_ISREG(s.st_mode)) {
        if (error)
            *error = QStringLiteral("Not a regular file");
        return false;
    }
    const int flags = ::fcntl(in.fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(in.fd, F_SETFL, flags & ~O_NONBLOCK);

    struct stat t;
    const bool targetExists = ::stat(dst.constData(), &t) == 0;
    if (targetExists && options.ifExists == IfExists::Refuse)
        return Fail(error, EEXIST);
    if (targetExists && s.st_dev == t.st_dev && s.st_ino == t.st_ino)
        return true;   // the same file: nothing to do, and nothing to lose

    // The copy is written under a temporary name beside the target, so a failure leaves the
    // existing file as it was, and no final name ever holds a partial file, even when the
    // process is killed in the middle.
    QByteArray writeName;
    Fd out;
    const QFileInfo info(target);
    for (int attempt = 0; out.fd < 0; ++attempt) {
        // The target's name, cut so that the temporary name stays within the file system's limit.
        writeName = PathToBytes(info.absolutePath() + QStringLiteral("/.") + FitFileName(info.fileName(), 200)
                                + QStringLiteral(".~copy-")
                                + QString::number(QRandomGenerator::global()->generate(), 36));
        out.fd = ::open(writeName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (out.fd < 0 && (errno != EEXIST || attempt == 100))
            return Fail(error, errno);
    }

    int code = 0;
    if (!CopyBytes(in.fd, out.fd))
        code = errno;
    if (code == 0 && options.keepTime) {
        const struct timespec times[2] = {s.st_atim, s.st_mtim};
        ::futimens(out.fd, times);
    }
    const int fd = out.fd;
    out.fd = -1;
    if (::close(fd) != 0 && code == 0)
        code = errno;
    if (code == 0 && options.ifExists == IfExists::Replace && ::rename(writeName.constData(), dst.constData()) != 0)
        code = errno;
    if (code == 0 && options.ifExists == IfExists::Refuse)
        code = PublishNew(writeName, dst);
    if (code != 0) {
        ::unlink(writeName.constData());
        return Fail(error, code);
    }
    return true;
}

QString FitFileName(const QString &name, int maxBytes)
{
    if (name.toUtf8().size() <= maxBytes)
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    QString ext = dot > 0 ? name.mid(dot) : QString();
    qsizetype extBytes = ext.toUtf8().size();
    if (extBytes >= maxBytes / 2) { // an "extension" this long is part of the name
        ext.clear();
        extBytes = 0;
    }
    const QString stem = ext.isEmpty() ? name : name.left(dot);
    const qsizetype budget = maxBytes - extBytes;
    QString out;
    qsizetype used = 0;
    for (qsizetype i = 0; i < stem.size();) {
        // one code point: a surrogate pair stays together
        const qsizetype len = stem.at(i).isHighSurrogate() && i + 1 < stem.size() && stem.at(i + 1).isLowSurrogate() ? 2 : 1;
        const QString point = stem.mid(i, len);
        const qsizetype bytes = point.toUtf8().size();
        if (used + bytes > budget)
            break;
        out += point;
        used += bytes;
        i += len;
    }
    return out + ext;
}

} // namespace zorvak::fileops
