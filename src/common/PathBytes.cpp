#include "common/PathBytes.h"

#include "common/Cp1252.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvak {

namespace {

constexpr char16_t kRawFirst = 0xDC80;
constexpr char16_t kRawLast = 0xDCFF;

bool IsRaw(QChar c) { return c.unicode() >= kRawFirst && c.unicode() <= kRawLast; }

// The length of the valid UTF-8 sequence at `p` (at most `left` bytes), 0 when there is none:
// overlong forms, surrogates and code points above U+10FFFF are not valid.
int ValidSequence(const unsigned char *p, qsizetype left, char32_t &cp)
{
    const unsigned char b = p[0];
    int len;
    char32_t min;
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2; min = 0x80; cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3; min = 0x800; cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4; min = 0x10000; cp = b & 0x07;
    } else {
        return 0;
    }
    if (left < len)
        return 0;
    for (int i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

QString SystemError(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

bool StatOf(const QString &path, struct stat &st, bool follow = true)
{
    const QByteArray native = PathToBytes(path);
    return (follow ? ::stat(native.constData(), &st) : ::lstat(native.constData(), &st)) == 0;
}

} // namespace

QString PathFromBytes(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    if (std::all_of(p, p + n, [](unsigned char b) { return b < 0x80; }))
        return QString::fromLatin1(bytes);
    QString out;
    out.reserve(n);
    for (qsizetype i = 0; i < n;) {
        if (p[i] < 0x80) {
            out.append(QChar(char16_t(p[i++])));
            continue;
        }
        char32_t cp = 0;
        const int len = ValidSequence(p + i, n - i, cp);
        if (len == 0) {
            out.append(QChar(char16_t(kRawFirst + (p[i++] - 0x80))));
            continue;
        }
        if (cp > 0xFFFF) {
            out.append(QChar(QChar::highSurrogate(cp)));
            out.append(QChar(QChar::lowSurrogate(cp)));
        } else {
            out.append(QChar(char16_t(cp)));
        }
        i += len;
    }
    return out;
}

QByteArray PathToBytes(const QString &path)
{
    if (!HasRawBytes(path))
        return path.toUtf8();
    QByteArray out;
    out.reserve(path.size() * 2);
    qsizetype start = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (!IsRaw(path.at(i)))
            continue;
        out += QStringView(path).mid(start, i - start).toUtf8();
        out.append(char(path.at(i).unicode() - kRawFirst + 0x80));
        start = i + 1;
    }
    out += QStringView(path).mid(start).toUtf8();
    return out;
}

bool HasRawBytes(const QString &path) { return std::any_of(path.begin(), path.end(), IsRaw); }

QString DisplayPath(const QString &path)
{
    if (!HasRawBytes(path))
        return path;
    QString out = path;
    for (QChar &c : out)
        if (IsRaw(c))
            c = FromCp1252(QByteArray(1, char(c.unicode() - kRawFirst + 0x80))).at(0);
    return out;
}

QString EscapedPath(const QString &path)
{
    if (!HasRawBytes(path))
        return path;
    QString out;
    out.reserve(path.size() + 8);
    for (QChar c : path) {
        if (IsRaw(c))
            out += QStringLiteral("\\x%1").arg(int(c.unicode() - kRawFirst + 0x80), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

QStringList ArgumentsFromBytes(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << PathFromBytes(QByteArray(argv[i]));
    return args;
}

namespace fsys {

bool IsDir(const QString &path)
{
    struct stat st;
    return StatOf(path, st) && S_ISDIR(st.st_mode);
}

bool IsFile(const QString &path)
{
    struct stat st;
    return StatOf(path, st) && S_ISREG(st.st_mode);
}

bool Exists(const QString &path)
{
    struct stat st;
    return StatOf(path, st, false);
}

bool IsSymLink(const QString &path)
{
    struct stat st;
    return StatOf(path, st, false) && S_ISLNK(st.st_mode);
}

qint64 Size(const QString &path)
{
    struct stat st;
    return StatOf(path, st) ? qint64(st.st_size) : -1;
}

QDateTime Modified(const QString &path)
{
    struct stat st;
    if (!StatOf(path, st))
        return {};
    return QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000);
}

QString Canonical(const QString &path)
{
    char *real = ::realpath(PathToBytes(path).constData(), nullptr);
    if (!real)
        return {};
    const QString out = PathFromBytes(QByteArray(real));
    std::free(real);
    return out;
}

bool MakePath(const QString &path)
{
    if (path.isEmpty())
        return false;
    if (IsDir(path))
        return true;
    QByteArray native = PathToBytes(path);
    while (native.size() > 1 && native.endsWith('/'))
        native.chop(1);
    // Each missing folder from the top down; one made meanwhile by someone else is fine.
    for (qsizetype slash = native.indexOf('/', 1);; slash = native.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? native : native.left(slash);
        if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST)
            return false;
        if (slash < 0)
            break;
    }
    struct stat st;
    return ::stat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Remove(const QString &path)
{
    return ::unlink(PathToBytes(path).constData()) == 0;
}

bool Rename(const QString &from, const QString &to)
{
    return ::rename(PathToBytes(from).constData(), PathToBytes(to).constData()) == 0;
}

bool Open(QFile &file, const QString &path, QIODevice::OpenMode mode, QString *error)
{
    int flags = O_CLOEXEC;
    const bool write = mode & QIODevice::WriteOnly;
    if (write && (mode & QIODevice::ReadOnly))
        flags |= O_RDWR | O_CREAT;
    else if (write)
        flags |= O_WRONLY | O_CREAT;
    else
        flags |= O_RDONLY | O_NONBLOCK; // a FIFO must not block the open
    if (write && (mode & QIODevice::Append))
        flags |= O_APPEND;
    else if (write && ((mode & QIODevice::Truncate) || !(mode & QIODevice::ReadOnly)))
        flags |= O_TRUNC;
    if (mode & QIODevice::NewOnly)
        flags |= O_EXCL;
    const int fd = ::open(PathToBytes(path).constData(), flags, 0666);
    if (fd < 0) {
        if (error)
            *error = SystemError(errno);
        return false;
    }
    if (!write) {
        const int f = ::fcntl(fd, F_GETFL);
        if (f >= 0)
            ::fcntl(fd, F_SETFL, f & ~O_NONBLOCK);
    }
    const QIODevice::OpenMode qtMode = mode & ~(QIODevice::NewOnly | QIODevice::Truncate | QIODevice::ExistingOnly);
    if (!file.open(fd, qtMode, QFileDevice::AutoCloseHandle)) {
        if (error)
            *error = file.errorString();
        ::close(fd);
        return false;
    }
    return true;
}

QByteArray ReadAll(const QString &path, bool *ok)
{
    QFile file;
    struct stat st;
    const bool opened = Open(file, path, QIODevice::ReadOnly) && ::fstat(file.handle(), &st) == 0 && S_ISREG(st.st_mode);
    QByteArray data = opened ? file.readAll() : QByteArray();
    if (ok)
        *ok = opened && file.error() == QFileDevice::NoError;
    return data;
}

bool Entries(const QString &folder, QStringList &names)
{
    DIR *dir = ::opendir(PathToBytes(folder).constData());
    if (!dir)
        return false;
    QList<QByteArray> raw;
    bool ok = true;
    for (;;) {
        errno = 0;
        const dirent *e = ::readdir(dir);
        if (!e) {
            ok = errno == 0;
            break;
        }
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            raw << QByteArray(e->d_name);
    }
    ::closedir(dir);
    std::sort(raw.begin(), raw.end());
    for (const QByteArray &name : raw)
        names << PathFromBytes(name);
    return ok;
}

} // namespace fsys
} // namespace zorvak
