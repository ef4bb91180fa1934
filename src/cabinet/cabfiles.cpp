// TCABFile: listing and extracting through libmspack, creating with our own writer.
//
// Layout we write (single cabinet, no reserved areas):
//   CFHEADER (36 bytes) | CFFOLDER x folders (8 bytes) | CFFILE x files (16 bytes + name) |
//   the data blocks of folder 0, folder 1, ...
// Each data block is csum(4) cbData(2) cbUncomp(2) + payload; every block of a folder but the
// last holds 32768 uncompressed bytes. The tables before the data are written with the folder
// offsets and block counts still unknown and patched once the data is out.
#include "cabinet/cabfiles.h"
#include "common/PathBytes.h"

#include "cabinet/cabcodecs.h"
#include "cabinet/CabFormat.h"
#include "common/ByteOrder.h"
#include "common/Cp1252.h"
#include "common/FileOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>

#include <mspack.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvak {

// ---------------------------------------------------------------------------------------------
// Names, codes and texts

QString CABErrorText(int code)
{
    static const char *const texts[] = {
        "No error",
        "Failure opening file to be stored in cabinet",
        "Failure reading file to be stored in cabinet",
        "Insufficient memory in FCI",
        "Could not create a temporary file",
        "Unknown compression type",
        "Could not create cabinet file",
        "Client requested abort",
        "Failure compressing data",
    };
    if (code < 0 || code > 8)
        return QStringLiteral("Unknown error");
    return QString::fromLatin1(texts[code]);
}

quint16 CompressionCode(TCompressionType type, TLZXMemory memory)
{
    switch (type) {
    case typNone: return 0;
    case typMSZIP: return 1;
    case typLZX: return quint16(0x0003 | ((15 + int(memory)) << 8));
    }
    return 1;
}

namespace {

enum ErrorCode { errOpenFile = 1, errReadFile = 2, errMemory = 3, errTempFile = 4, errCompressionType = 5,
                 errCabinetFile = 6, errAbort = 7, errCompress = 8 };

[[noreturn]] void Fail(int code) { throw ECABFileError(CABErrorText(code)); }
// The same for one file, named as it is on disk.
[[noreturn]] void Fail(int code, const QString &file) { throw ECABFileError(CABErrorText(code) + QStringLiteral(": ") + file); }

// An input/output error while writing: the system's text for it goes to the owner's OnIOError.
void ReportIoError(TCABFile *owner, int error)
{
    if (error == 0 || !owner || !owner->OnIOError)
        return;
    owner->OnIOError(owner, QString::fromLocal8Bit(std::strerror(error)));
}

QString MspackErrorText(int error)
{
    switch (error) {
    case MSPACK_ERR_OK: return QString();
    case MSPACK_ERR_ARGS: return QStringLiteral("bad arguments");
    case MSPACK_ERR_OPEN: return QStringLiteral("cannot open file");
    case MSPACK_ERR_READ: return QStringLiteral("read error (file truncated?)");
    case MSPACK_ERR_WRITE: return QStringLiteral("write error");
    case MSPACK_ERR_SEEK: return QStringLiteral("seek error");
    case MSPACK_ERR_NOMEMORY: return QStringLiteral("out of memory");
    case MSPACK_ERR_SIGNATURE: return QStringLiteral("not a cabinet");
    case MSPACK_ERR_DATAFORMAT: return QStringLiteral("error in cabinet data format");
    case MSPACK_ERR_CHECKSUM: return QStringLiteral("checksum error");
    case MSPACK_ERR_DECRUNCH: return QStringLiteral("decompression error");
    default: return QStringLiteral("error %1").arg(error);
    }
}

QString StoredName(const mscabd_file *file)
{
    const QByteArray raw(file->filename);
    if (file->attribs & MSCAB_ATTRIB_UTF_NAME)
        return QString::fromUtf8(raw);
    return FromCp1252(raw);
}

QDateTime StoredDateTime(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::LocalTime);
}

// ---------------------------------------------------------------------------------------------
// The file layer handed to libmspack: plain descriptors, a sink that discards what is written,
// and the byte count and progress event of the file being extracted.

struct ExtractContext;

struct ZFile {
    int fd = -1;
    bool sink = false;
    bool output = false;
    ExtractContext *ctx = nullptr;
};

struct ExtractContext {
    TCABFile *owner = nullptr;
    QString storedName;
    qint64 size = 0;
    qint64 written = 0;
    QString firstMessage;
    int ioError = 0;
    qint64 total = 0;      // written over all files
    qint64 maxTotal = -1;  // no write passes it (-1: no limit)
};

struct ZSystem {
    mspack_system sys;
    ExtractContext *ctx;
};

constexpr const char *kSinkName = "\x01zorvak-discard";

mspack_file *ZOpen(mspack_system *self, const char *filename, int mode)
{
    auto *zs = reinterpret_cast<ZSystem *>(self);
    auto *f = new ZFile;
    f->ctx = zs->ctx;
    if (mode == MSPACK_SYS_OPEN_READ) {
        f->fd = ::open(filename, O_RDONLY | O_CLOEXEC);
    } else if (mode == MSPACK_SYS_OPEN_WRITE) {
        f->output = true;
        if (std::strcmp(filename, kSinkName) == 0)
            f->sink = true;
        else
            f->fd = ::open(filename, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    }
    if (!f->sink && f->fd < 0) {
        delete f;
        return nullptr;
    }
    return reinterpret_cast<mspack_file *>(f);
}

void ZClose(mspack_file *file)
{
    auto *f = reinterpret_cast<ZFile *>(file);
    if (!f)
        return;
    if (f->fd >= 0 && ::close(f->fd) != 0 && f->output) {
        f->ctx->ioError = errno;
        ReportIoError(f->ctx->owner, errno);
    }
    delete f;
}

int ZRead(mspack_file *file, void *buffer, int bytes)
{
    auto *f = reinterpret_cast<ZFile *>(file);
    if (f->sink || bytes < 0)
        return -1;
    size_t done = 0;
    while (done < size_t(bytes)) {
        const ssize_t n = ::read(f->fd, static_cast<char *>(buffer) + done, size_t(bytes) - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += size_t(n);
    }
    return int(done);
}

int ZWrite(mspack_file *file, void *buffer, int bytes)
{
    auto *f = reinterpret_cast<ZFile *>(file);
    if (bytes < 0)
        return -1;
    if (f->output && !f->sink && f->ctx->maxTotal >= 0 && f->ctx->total + bytes > f->ctx->maxTotal)
        return -1; // past the limit of bytes written
    if (!f->sink) {
        size_t done = 0;
        while (done < size_t(bytes)) {
            const ssize_t n = ::write(f->fd, static_cast<const char *>(buffer) + done, size_t(bytes) - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                f->ctx->ioError = n < 0 ? errno : ENOSPC;
                ReportIoError(f->ctx->owner, f->ctx->ioError);
                return -1;
            }
            done += size_t(n);
        }
    }
    if (f->output) {
        ExtractContext *ctx = f->ctx;
        ctx->written += bytes;
        if (!f->sink)
            ctx->total += bytes;
        if (ctx->owner->OnDecompressProgress)
            ctx->owner->OnDecompressProgress(ctx->owner, ctx->storedName, qint32(qMin<qint64>(ctx->written, INT32_MAX)),
                                             qint32(qMin<qint64>(ctx->size, INT32_MAX)));
    }
    return bytes;
}

int ZSeek(mspack_file *file, off_t offset, int mode)
{
    auto *f = reinterpret_cast<ZFile *>(file);
    if (f->sink)
        return -1;
    const int whence = mode == MSPACK_SYS_SEEK_START ? SEEK_SET : mode == MSPACK_SYS_SEEK_CUR ? SEEK_CUR : SEEK_END;
    return ::lseek(f->fd, offset, whence) < 0 ? -1 : 0;
}

off_t ZTell(mspack_file *file)
{
    auto *f = reinterpret_cast<ZFile *>(file);
    return f->sink ? 0 : ::lseek(f->fd, 0, SEEK_CUR);
}

thread_local ExtractContext *t_messageContext = nullptr;

void ZMessage(mspack_file *, const char *format, ...)
{
    if (!t_messageContext || !t_messageContext->firstMessage.isEmpty())
        return;
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    t_messageContext->firstMessage = QString::fromLocal8Bit(text);
}

// The decoder's own explanation of the last failure, when it gave one.
QString Detail(const ExtractContext &ctx)
{
    return ctx.firstMessage.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(ctx.firstMessage);
}

void *ZAlloc(mspack_system *, size_t bytes) { return std::malloc(bytes); }
void ZFree(void *ptr) { std::free(ptr); }
void ZCopy(void *src, void *dest, size_t bytes) { std::memmove(dest, src, bytes); }

// A stored name turned into path parts below the target folder; empty when the name is
// absolute, climbs with "..", or names no file.
QStringList SafeParts(const QString &stored)
{
    if (stored.isEmpty() || stored.startsWith(QLatin1Char('/')) || stored.startsWith(QLatin1Char('\\')))
        return {};
    if (stored.size() >= 2 && stored.at(1) == QLatin1Char(':'))
        return {}; // drive letter
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    const QStringList raw = stored.split(separators);
    QStringList parts;
    for (const QString &p : raw) {
        if (p == QLatin1String(".."))
            return {};
        if (p.isEmpty() || p == QLatin1String("."))
            continue;
        parts << p;
    }
    if (raw.last().isEmpty() || raw.last() == QLatin1String(".") || parts.isEmpty())
        return {};
    return parts;
}

// Makes the folders `parts` below `base`, one component at a time, and returns the last one.
// A component that is a symbolic link (wherever it points), a file or anything but a folder
// makes it fail before anything is created through it, so no folder is ever made outside
// `base`. On failure `reason` says why.
QString MakeFoldersBelow(const QString &base, const QStringList &parts, QString *reason)
{
    QString path = base;
    for (const QString &part : parts) {
        path = QDir(path).filePath(part);
        const QByteArray native = PathToBytes(path);
        struct stat st {};
        if (::lstat(native.constData(), &st) == 0) {
            if (S_ISLNK(st.st_mode)) {
                *reason = QStringLiteral("folder is a symbolic link");
                return {};
            }
            if (!S_ISDIR(st.st_mode)) {
                *reason = QString::fromLocal8Bit(std::strerror(ENOTDIR));
                return {};
            }
            continue;
        }
        if (errno != ENOENT || (::mkdir(native.constData(), 0777) != 0 && errno != EEXIST)) {
            *reason = QString::fromLocal8Bit(std::strerror(errno));
            return {};
        }
        // made by someone else in between: look again, it must be a real folder
        if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            *reason = QStringLiteral("folder is a symbolic link");
            return {};
        }
    }
    return path;
}

bool SetModificationTime(const QByteArray &path, const QDateTime &when)
{
    if (!when.isValid())
        return false;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_NOW;
    times[1].tv_sec = time_t(when.toSecsSinceEpoch());
    times[1].tv_nsec = 0;
    return ::utimensat(AT_FDCWD, path.constData(), times, 0) == 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TCABFileContents

TCABFileEntry &TCABFileContents::Add()
{
    m_items.push_back(std::unique_ptr<TCABFileEntry>(new TCABFileEntry(this)));
    return *m_items.back();
}

TCABFileEntry &TCABFileContents::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("TCABFileContents index out of range");
    return *m_items[size_t(index)];
}

void TCABFileContents::AddFiles(const QString &mask) { AddFiles(mask, QString()); }

void TCABFileContents::AddFiles(const QString &mask, const QString &relPath)
{
    const int cut = qMax(mask.lastIndexOf(QLatin1Char('/')), mask.lastIndexOf(QLatin1Char('\\')));
    QString folder = cut >= 0 ? mask.left(cut + 1) : QString();
    const QString pattern = mask.mid(cut + 1);
    QRegularExpression re;
    const bool all = pattern == QLatin1String("*.*") || pattern == QLatin1String("*");
    if (!all)
        re = QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern, QRegularExpression::UnanchoredWildcardConversion),
                                QRegularExpression::CaseInsensitiveOption);
    const QString anchored = QStringLiteral("\\A(?:%1)\\z");
    if (!all)
        re.setPattern(anchored.arg(re.pattern()));
    const QString dir = folder.isEmpty() ? QStringLiteral("./") : folder;
    QStringList names;
    fsys::Entries(dir, names);
    for (const QString &name : std::as_const(names)) {
        if (name.startsWith(QLatin1Char('.')))
            continue; // hidden
        if (!fsys::IsFile(dir + name))
            continue;
        if (!all && !re.match(name).hasMatch())
            continue;
        TCABFileEntry &e = Add();
        e.Name = folder + name;
        e.RelPath = relPath;
    }
}

// ---------------------------------------------------------------------------------------------
// Reading

TCABFile::TCABFile(QObject *owner) : QObject(owner) {}
TCABFile::~TCABFile() = default;

void TCABFile::ListContents() { RunEngine(Mode::List); }
bool TCABFile::ExtractAll() { return RunEngine(Mode::Extract); }

bool TCABFile::ExtractAll(const TExtractLimits &limits)
{
    m_limits = limits;
    const bool ok = RunEngine(Mode::Extract);
    m_limits.reset();
    return ok;
}
bool TCABFile::TestAll() { return RunEngine(Mode::Test); }

bool TCABFile::RunEngine(Mode mode)
{
    m_lastError.clear();
    if (mode == Mode::List)
        CABFileContents.Clear();
    if (CABFile.isEmpty() || !fsys::IsFile(CABFile) || ::access(PathToBytes(CABFile).constData(), R_OK) != 0) {
        m_lastError = QStringLiteral("cannot open %1").arg(CABFile);
        return false;
    }

    ExtractContext ctx;
    ctx.owner = this;
    if (m_limits)
        ctx.maxTotal = qMax<qint64>(0, m_limits->maxTotalBytes);
    m_bytesWritten = 0;
    struct Count {
        qint64 &out;
        const ExtractContext &ctx;
        ~Count() { out = ctx.total; }
    } count{m_bytesWritten, ctx};
    ZSystem zs{};
    zs.sys.open = ZOpen;
    zs.sys.close = ZClose;
    zs.sys.read = ZRead;
    zs.sys.write = ZWrite;
    zs.sys.seek = ZSeek;
    zs.sys.tell = ZTell;
    zs.sys.message = ZMessage;
    zs.sys.alloc = ZAlloc;
    zs.sys.free = ZFree;
    zs.sys.copy = ZCopy;
    zs.ctx = &ctx;
    ExtractContext *const savedMessageContext = t_messageContext;
    t_messageContext = &ctx;
    struct Restore {
        ExtractContext *saved;
        ~Restore() { t_messageContext = saved; }
    } restore{savedMessageContext};

    mscab_decompressor *cabd = mspack_create_cab_decompressor(&zs.sys);
    if (!cabd) {
        m_lastError = QStringLiteral("cannot create the cabinet decoder");
        return false;
    }
    struct Destroy {
        mscab_decompressor *d;
        ~Destroy() { mspack_destroy_cab_decompressor(d); }
    } destroy{cabd};
    cabd->set_param(cabd, MSCABD_PARAM_FIXMSZIP, 0);
    cabd->set_param(cabd, MSCABD_PARAM_SALVAGE, 0);

    const QByteArray cabPath = PathToBytes(CABFile);
    mscabd_cabinet *cab = cabd->open(cabd, cabPath.constData());
    if (!cab) {
        m_lastError = MspackErrorText(cabd->last_error(cabd));
        return false;
    }
    struct Close {
        mscab_decompressor *d;
        mscabd_cabinet *c;
        ~Close() { d->close(d, c); }
    } close{cabd, cab};

    if (mode == Mode::List) {
        for (mscabd_file *f = cab->files; f; f = f->next) {
            TCABFileEntry &e = CABFileContents.Add();
            e.Name = StoredName(f);
            e.Size = qint32(qMin<quint64>(f->length, INT32_MAX));
            e.DateTime = StoredDateTime(f->date_y, f->date_m, f->date_d, f->time_h, f->time_m, f->time_s);
            e.Attributes = quint16(f->attribs);
        }
        return true;
    }

    const QString base = TargetPath.isEmpty() ? QDir::currentPath() : TargetPath;
    if (mode == Mode::Extract && !fsys::MakePath(base)) {
        m_lastError = QStringLiteral("cannot create %1").arg(base);
        return false;
    }
    QStringList skipped;
    QStringList failed; // "stored name (reason)" of each file that could not be written
    QStringList overLimits;
    // Where the decoder stands: it goes on from the end of the last file of the same folder,
    // and starts the folder again for a file before that point.
    const mscabd_folder *decoderFolder = nullptr;
    qint64 decoderEnd = 0;
    qint64 decoded = 0;
    for (mscabd_file *f = cab->files; f; f = f->next) {
        const QString stored = StoredName(f);
        if (mode == Mode::Extract && m_limits) {
            if (!m_limits->onlyEntry.isEmpty() && stored != m_limits->onlyEntry)
                continue;
            const qint64 length = f->length;
            const qint64 end = qint64(f->offset) + length;
            const qint64 decoding = f->folder == decoderFolder && qint64(f->offset) >= decoderEnd ? end - decoderEnd : end;
            if (length > m_limits->maxFileBytes || ctx.total + length > m_limits->maxTotalBytes
                || decoded + decoding > m_limits->maxDecodedBytes) {
                overLimits << stored;
                continue;
            }
            decoded += decoding;
            decoderFolder = f->folder;
            decoderEnd = end;
        }
        ctx.storedName = stored;
        ctx.size = f->length;
        ctx.written = 0;
        ctx.firstMessage.clear();
        ctx.ioError = 0;

        if (mode == Mode::Test) {
            const int rc = cabd->extract(cabd, f, kSinkName);
            if (rc != MSPACK_ERR_OK) {
                m_lastError = QStringLiteral("%1: %2").arg(stored, MspackErrorText(rc)) + Detail(ctx);
                return false;
            }
            continue;
        }

        QStringList parts = SafeParts(stored);
        if (parts.isEmpty()) {
            skipped << stored;
            continue;
        }
        // Each component within the file system's limit in bytes, the file's extension kept.
        for (QString &part : parts)
            part = fileops::FitFileName(part);
        const QString name = parts.takeLast();
        QString reason;
        const QString folder = MakeFoldersBelow(base, parts, &reason);
        if (folder.isEmpty()) {
            failed << QStringLiteral("%1 (%2)").arg(stored, reason);
            continue;
        }
        const QString output = QDir(folder).filePath(name);
        if (fsys::Exists(output)) {
            bool allow = true;
            if (OnOverWriteFile)
                OnOverWriteFile(this, output, allow);
            if (!allow)
                continue;
        }
        const QString temp = QDir(folder).filePath(QStringLiteral(".%1.%2.part")
            .arg(name.left(64)).arg(QRandomGenerator::global()->generate64(), 0, 36));
        const QByteArray tempPath = PathToBytes(temp);
        const int rc = cabd->extract(cabd, f, tempPath.constData());
        if (rc != MSPACK_ERR_OK)
            decoderFolder = nullptr; // the decoder may start the folder again
        if (rc == MSPACK_ERR_OPEN || rc == MSPACK_ERR_WRITE || ctx.ioError) {
            // This file cannot be written here; the ones after it still can.
            ::unlink(tempPath.constData());
            failed << QStringLiteral("%1 (%2)").arg(stored, ctx.ioError ? QString::fromLocal8Bit(std::strerror(ctx.ioError))
                                                                        : MspackErrorText(rc));
            continue;
        }
        if (rc != MSPACK_ERR_OK) {
            // The cabinet's data is damaged: nothing after this point can be trusted.
            ::unlink(tempPath.constData());
            m_lastError = QStringLiteral("%1: %2").arg(stored, MspackErrorText(rc)) + Detail(ctx);
            return false;
        }
        SetModificationTime(tempPath, StoredDateTime(f->date_y, f->date_m, f->date_d, f->time_h, f->time_m, f->time_s));
        if (::rename(tempPath.constData(), PathToBytes(output).constData()) != 0) {
            const int err = errno;
            ::unlink(tempPath.constData());
            failed << QStringLiteral("%1 (%2)").arg(stored, QString::fromLocal8Bit(std::strerror(err)));
            continue;
        }
    }
    QStringList problems;
    if (!failed.isEmpty())
        problems << QStringLiteral("could not write: %1").arg(failed.join(QStringLiteral(", ")));
    if (!skipped.isEmpty())
        problems << QStringLiteral("skipped unsafe names: %1").arg(skipped.join(QStringLiteral(", ")));
    if (!overLimits.isEmpty())
        problems << QStringLiteral("left out past the size limits: %1").arg(overLimits.join(QStringLiteral(", ")));
    m_lastError = problems.join(QStringLiteral("; "));
    return failed.isEmpty() && overLimits.isEmpty();
}

// ---------------------------------------------------------------------------------------------
// Writing: plan the folders, write the tables with the folder entries still open, write each
// folder's data blocks, then patch the folder entries and the cabinet size into the header.

namespace {

namespace cf = cabformat;
using byteorder::PutLE16;
using byteorder::PutLE32;

// One file to store, as planned.
struct Source {
    QString path;
    QByteArray name;        // as stored: UTF-8, backslashes
    quint32 size = 0;
    quint16 date = 0, time = 0, attribs = 0;
    int folder = 0;
    quint32 offset = 0;     // in the folder's uncompressed stream
};

struct CabinetPlan {
    std::vector<Source> sources;
    int folders = 0;
    quint64 total = 0;      // uncompressed bytes of every file
};

void DosDateTime(const QDateTime &modified, quint16 &date, quint16 &time)
{
    QDateTime t = modified.toLocalTime();
    if (!t.isValid() || t.date().year() < 1980)
        t = QDateTime(QDate(1980, 1, 1), QTime(0, 0), Qt::LocalTime);
    if (t.date().year() > 2107)
        t = QDateTime(QDate(2107, 12, 31), QTime(23, 59, 58), Qt::LocalTime);
    const QDate d = t.date();
    const QTime h = t.time();
    date = quint16(((d.year() - 1980) << 9) | (d.month() << 5) | d.day());
    time = quint16((h.hour() << 11) | (h.minute() << 5) | (h.second() / 2));
}

QByteArray CabinetName(const QString &relPath, const QString &sourcePath)
{
    QString rel = relPath;
    rel.replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (rel.startsWith(QLatin1Char('\\')))
        rel.remove(0, 1);
    if (!rel.isEmpty() && !rel.endsWith(QLatin1Char('\\')))
        rel += QLatin1Char('\\');
    // Names are text in a cabinet: bytes of a name that are not UTF-8 are read as Windows-1252.
    return (rel + DisplayPath(QFileInfo(sourcePath).fileName())).toUtf8();
}

Source PlanSource(const TCABFileEntry &e)
{
    Source s;
    const QFileInfo info(e.Name);
    s.path = info.absoluteFilePath();
    QFile probe;
    struct stat st;
    if (!fsys::Open(probe, s.path, QIODevice::ReadOnly) || ::fstat(probe.handle(), &st) != 0 || !S_ISREG(st.st_mode))
        Fail(errOpenFile, EscapedPath(e.Name));
    if (quint64(st.st_size) > cf::kMaxFileSize)
        Fail(errCabinetFile, EscapedPath(e.Name));
    s.size = quint32(st.st_size);
    s.name = CabinetName(e.RelPath, s.path);
    if (s.name.isEmpty() || s.name.size() > cf::kMaxNameBytes)
        Fail(errOpenFile);
    DosDateTime(QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec), s.date, s.time);
    s.attribs = cf::kAttrArchive;
    if (!(st.st_mode & S_IWUSR)) // the owner may not write: read-only
        s.attribs |= cf::kAttrReadOnly;
    if (info.fileName().startsWith(QLatin1Char('.')))
        s.attribs |= cf::kAttrHidden;
    for (char c : s.name)
        if (uchar(c) >= 0x80) {
            s.attribs |= cf::kAttrUtf8Name;
            break;
        }
    return s;
}

// Every file in order, cut into folders: a new folder starts when the current one would pass
// the threshold.
CabinetPlan PlanFolders(const TCABFileContents &contents)
{
    CabinetPlan plan;
    plan.sources.reserve(size_t(contents.Count()));
    for (int i = 0; i < contents.Count(); ++i) {
        plan.sources.push_back(PlanSource(contents.Items(i)));
        plan.total += plan.sources.back().size;
    }
    if (plan.sources.empty() || plan.sources.size() > cf::kMaxCount16)
        Fail(errCabinetFile); // a cabinet needs one file at least; the count is 16 bits

    quint64 folderSize = 0;
    for (Source &s : plan.sources) {
        if (plan.folders == 0 || (folderSize > 0 && folderSize + s.size > cf::kFolderThreshold)) {
            ++plan.folders;
            folderSize = 0;
        }
        s.folder = plan.folders - 1;
        if (folderSize + s.size > cf::kMaxFileSize)
            Fail(errCabinetFile);
        s.offset = quint32(folderSize);
        folderSize += s.size;
    }
    if (quint32(plan.folders) > cf::kMaxCount16)
        Fail(errCabinetFile);
    return plan;
}

// The header and the folder table; the folder entries and the cabinet size are patched later.
QByteArray HeaderAndFolderTable(const CabinetPlan &plan)
{
    QByteArray head(cf::FolderEntry(plan.folders), '\0');
    std::memcpy(head.data() + cf::kHeaderSignature, cf::kSignature, sizeof cf::kSignature);
    PutLE32(head, cf::kHeaderFilesOffset, quint32(head.size()));
    head[cf::kHeaderVersionMinor] = char(cf::kVersionMinor);
    head[cf::kHeaderVersionMajor] = char(cf::kVersionMajor);
    PutLE16(head, cf::kHeaderFolderCount, quint16(plan.folders));
    PutLE16(head, cf::kHeaderFileCount, quint16(plan.sources.size()));
    PutLE16(head, cf::kHeaderFlags, 0);
    PutLE16(head, cf::kHeaderSetId, cf::kSetId);
    PutLE16(head, cf::kHeaderCabinetIndex, 0); // first (and only) cabinet of the set
    return head;
}

QByteArray FileTable(const std::vector<Source> &sources)
{
    QByteArray files;
    for (const Source &s : sources) {
        QByteArray rec(cf::kFileSize, '\0');
        PutLE32(rec, cf::kFileLength, s.size);
        PutLE32(rec, cf::kFileFolderOffset, s.offset);
        PutLE16(rec, cf::kFileFolder, quint16(s.folder));
        PutLE16(rec, cf::kFileDate, s.date);
        PutLE16(rec, cf::kFileTime, s.time);
        PutLE16(rec, cf::kFileAttributes, s.attribs);
        files += rec + s.name + '\0';
    }
    return files;
}

void PatchFolder(QByteArray &head, int folder, quint32 dataStart, quint16 blocks, quint16 compression)
{
    const int at = cf::FolderEntry(folder);
    PutLE32(head, at + cf::kFolderDataOffset, dataStart);
    PutLE16(head, at + cf::kFolderBlockCount, blocks);
    PutLE16(head, at + cf::kFolderCompression, compression);
}

// Writes the data blocks of each folder into `out`, counting the cabinet's size.
class DataWriter {
public:
    DataWriter(TCABFile &cab, QSaveFile &out, cab::BlockCoder &coder, quint64 offset, quint64 total)
        : m_cab(cab), m_out(out), m_coder(coder), m_offset(offset), m_total(qint32(qMin<quint64>(total, INT32_MAX)))
    {
    }

    // The data of one folder: its files back to back, cut into frames. Returns the number of
    // blocks written.
    quint16 WriteFolder(const std::vector<Source> &sources, size_t first, size_t end)
    {
        m_coder.Reset();
        m_blocks = 0;
        int fill = 0;
        for (size_t i = first; i < end; ++i) {
            QFile in;
            if (!fsys::Open(in, sources[i].path, QIODevice::ReadOnly))
                Fail(errOpenFile, EscapedPath(sources[i].path));
            quint64 left = sources[i].size;
            while (left > 0) {
                const qint64 want = qint64(qMin<quint64>(left, quint64(cab::kFrameSize - fill)));
                errno = 0;
                const qint64 got = in.read(reinterpret_cast<char *>(m_frame.data()) + fill, want);
                if (got != want) {
                    const int err = errno;
                    ReportIoError(&m_cab, got < 0 ? (err ? err : EIO) : 0);
                    Fail(errReadFile); // the file shrank or cannot be read
                }
                fill += int(got);
                left -= quint64(got);
                if (fill == cab::kFrameSize) {
                    EncodeFrame(fill);
                    fill = 0;
                }
            }
        }
        if (fill > 0)
            EncodeFrame(fill);
        m_coder.Finish(m_ready);
        WriteReady();
        return quint16(m_blocks);
    }

    quint64 Offset() const { return m_offset; }

private:
    void EncodeFrame(int fill)
    {
        m_coder.Encode(m_frame.data(), fill, m_ready);
        WriteReady();
    }

    void WriteReady()
    {
        for (cab::CodedBlock &coded : m_ready) {
            const size_t cbData = coded.payload.size();
            if (cbData == 0 || cbData > size_t(cf::kMaxBlockPayload))
                Fail(errCompress);
            QByteArray header(cf::kDataHeaderSize, '\0');
            PutLE32(header, cf::kDataChecksum,
                    cab::BlockChecksum(coded.payload.data(), uint16_t(cbData), uint16_t(coded.uncompressed)));
            PutLE16(header, cf::kDataCompressed, quint16(cbData));
            PutLE16(header, cf::kDataUncompressed, quint16(coded.uncompressed));
            m_offset += cf::kDataHeaderSize + cbData;
            if (m_offset > cf::kMaxCabinetSize || ++m_blocks > cf::kMaxCount16)
                Fail(errCabinetFile);
            errno = 0;
            Written(m_cab, m_out.write(header) == header.size()
                               && m_out.write(reinterpret_cast<const char *>(coded.payload.data()), qint64(cbData))
                                      == qint64(cbData));
            m_consumed += quint64(coded.uncompressed);
            if (m_cab.OnCompressProgress)
                m_cab.OnCompressProgress(&m_cab, qint32(qMin<quint64>(m_consumed, INT32_MAX)), m_total);
        }
        m_ready.clear();
    }

public:
    // A write to the cabinet that failed: the system's report, then the failure.
    static void Written(TCABFile &cab, bool ok)
    {
        if (ok)
            return;
        const int err = errno;
        ReportIoError(&cab, err ? err : EIO);
        Fail(errCabinetFile);
    }

private:
    TCABFile &m_cab;
    QSaveFile &m_out;
    cab::BlockCoder &m_coder;
    quint64 m_offset;
    const qint32 m_total;
    quint64 m_consumed = 0;
    quint32 m_blocks = 0;
    std::vector<uint8_t> m_frame = std::vector<uint8_t>(cab::kFrameSize);
    std::vector<cab::CodedBlock> m_ready;
};

std::unique_ptr<cab::BlockCoder> MakeCoder(TCompressionType type, TLZXMemory memory)
{
    switch (type) {
    case typNone: return cab::MakeStoredCoder();
    case typMSZIP: return cab::MakeMszipCoder();
    case typLZX: return cab::MakeLzxCoder(15 + int(memory));
    }
    Fail(errCompressionType);
}

} // namespace

bool TCABFile::CreateCabinet()
{
    const CabinetPlan plan = PlanFolders(CABFileContents);
    QByteArray head = HeaderAndFolderTable(plan);
    const QByteArray files = FileTable(plan.sources);
    const quint16 compression = CompressionCode(CompressionType, LZXMemory);
    const std::unique_ptr<cab::BlockCoder> coder = MakeCoder(CompressionType, LZXMemory);

    QSaveFile out(CABFile);
    if (!out.open(QIODevice::WriteOnly))
        Fail(errCabinetFile);
    errno = 0;
    DataWriter::Written(*this, out.write(head) == head.size() && out.write(files) == files.size());

    DataWriter data(*this, out, *coder, quint64(head.size() + files.size()), plan.total);
    size_t first = 0;
    for (int folder = 0; folder < plan.folders; ++folder) {
        size_t end = first;
        while (end < plan.sources.size() && plan.sources[end].folder == folder)
            ++end;
        const quint64 start = data.Offset();
        const quint16 blocks = data.WriteFolder(plan.sources, first, end);
        PatchFolder(head, folder, quint32(start), blocks, compression);
        first = end;
    }

    PutLE32(head, cf::kHeaderCabinetSize, quint32(data.Offset()));
    errno = 0;
    DataWriter::Written(*this, out.seek(0) && out.write(head) == head.size() && out.commit());
    return true;
}

} // namespace zorvak
