#pragma once
// TCABFile: the program's one way of reading and writing Microsoft Cabinet files.
//
// A cabinet is a header, a table of folders, a table of files and the data blocks of each
// folder. A folder is one compression stream (stored, MSZIP or LZX) cut into blocks of at most
// 32768 uncompressed bytes; the files of a folder lie back to back in its uncompressed stream.
// Reading goes through libmspack; writing is our own: single cabinets with set ID 12345, a new
// folder whenever a folder would pass 900000 uncompressed bytes, checksums on every data block.
//
// Every operation is synchronous and runs on the calling thread; the events fire from within it.
#include "common/Exceptions.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <memory>
#include <vector>

namespace zorvak {

ZORVAK_EXCEPTION_CLASS(ECABFileError)

enum TCompressionType { typNone, typMSZIP, typLZX };
enum TLZXMemory { lzxLowest, lzxLower, lzxLow, lzxMedium, lzxHigh, lzxHigher, lzxHighest };

class TCABFile;
class TCABFileContents;

// The text of an error code of the creation engine ("No error", "Failure opening file to be
// stored in cabinet", ..., "Unknown error" for any code outside 0..8).
QString CABErrorText(int code);

// The compression code written into a folder: 0 stored, 1 MSZIP, 0x0F03..0x1503 LZX with the
// window bits in the high byte.
quint16 CompressionCode(TCompressionType type, TLZXMemory memory);

// One file of a cabinet.
class TCABFileEntry {
public:
    // Creating: the path of a source file (absolute, or relative to the current directory).
    // After listing: the name exactly as stored in the cabinet, folder part included.
    QString Name;
    // Creating: the folder inside the cabinet under which the file is stored ("" = root).
    QString RelPath;
    qint32 Size = 0;         // uncompressed size, filled by listing
    QDateTime DateTime;      // stored date and time (local time), filled by listing
    quint16 Attributes = 0;  // stored attribute bits, filled by listing

    TCABFileContents *Collection() const { return m_owner; }

private:
    friend class TCABFileContents;
    explicit TCABFileEntry(TCABFileContents *owner) : m_owner(owner) {}
    TCABFileContents *m_owner;
};

// The ordered entry list of a TCABFile; owns its entries.
class TCABFileContents {
public:
    explicit TCABFileContents(TCABFile *owner) : m_owner(owner) {}
    TCABFileContents(const TCABFileContents &) = delete;
    TCABFileContents &operator=(const TCABFileContents &) = delete;

    TCABFileEntry &Add();                   // a new empty entry at the end
    TCABFileEntry &Items(int index) const;  // throws std::out_of_range outside 0..Count()-1
    TCABFileEntry &operator[](int index) const { return Items(index); }
    int Count() const { return int(m_items.size()); }
    void Clear() { m_items.clear(); }
    TCABFile *Owner() const { return m_owner; }

    // Appends the plain files matching `mask` (a path whose last part may hold the wildcards
    // '*' and '?', matched without regard to case; "*.*" matches every name) in the mask's
    // folder, sorted by name, with RelPath = relPath. On Linux a file counts as carrying the
    // archive attribute when it is a regular file; names beginning with "." count as hidden and
    // are left out, as are folders, sockets, devices and broken links. A missing folder adds
    // nothing.
    void AddFiles(const QString &mask);
    void AddFiles(const QString &mask, const QString &relPath);

private:
    TCABFile *m_owner;
    std::vector<std::unique_ptr<TCABFileEntry>> m_items;
};

// The limits of TCABFile::ExtractAll(limits).
struct TCABExtractLimits {
    qint64 maxFileBytes = 0;     // a file listed bigger is left out
    qint64 maxTotalBytes = 0;    // the bytes written over all files
    qint64 maxDecodedBytes = 0;  // the bytes decoded over all files, what comes before each included
    QString onlyEntry;           // when set: the one file (stored name) to extract
};

class TCABFile : public QObject {
    Q_OBJECT
public:
    using TCompressProgress = std::function<void(TCABFile *Sender, qint32 pos, qint32 tot)>;
    using TDeCompressProgress = std::function<void(TCABFile *Sender, const QString &FileName, qint32 pos, qint32 tot)>;
    using TOverWriteFile = std::function<void(TCABFile *Sender, const QString &FileName, bool &Allow)>;
    using TIOError = std::function<void(TCABFile *Sender, const QString &Message)>;

    explicit TCABFile(QObject *owner = nullptr);
    ~TCABFile() override;

    // ---- properties ----
    TCABFileContents CABFileContents{this};
    QString CABFile;                              // cabinet to read or to create
    TCompressionType CompressionType = typMSZIP;  // used when creating
    TLZXMemory LZXMemory = lzxLowest;             // LZX window, used only with typLZX
    QString TargetPath;                           // folder below which files are extracted
    TCompressProgress OnCompressProgress;         // pos = bytes consumed, tot = total bytes
    TDeCompressProgress OnDecompressProgress;     // FileName = stored name, pos/tot = bytes of it
    TOverWriteFile OnOverWriteFile;               // FileName = output path; Allow starts true
    // An input/output error while writing the cabinet, reading a file to store or writing an
    // extracted file: Message is the system's text for it (for example "No space left on
    // device"). The component shows nothing itself; the main window shows Message in a warning
    // box titled "Error" with an OK button. The operation's own failure follows as usual.
    TIOError OnIOError;
    QString Version() const { return QStringLiteral("1.4.0.3"); }
    void SetVersion(const QString &) {}           // the version is fixed

    // Clears CABFileContents and fills it with one entry per file of CABFile (Name as stored,
    // Size, DateTime, Attributes). A missing, unreadable or damaged file leaves it empty; nothing
    // is thrown.
    void ListContents();

    // Writes every file of CABFile below TargetPath (the current directory when empty), making
    // the folder part of each stored name (either separator) and missing folders. An existing
    // file is replaced unless OnOverWriteFile clears Allow (then that file is skipped). The
    // stored date and time, read as local time, become each file's modification time.
    // A stored name that is absolute or climbs out with ".." is skipped and never written; a
    // folder on the way that is a symbolic link or not a folder is never created through or
    // followed, so nothing is created outside TargetPath. Each part of a name longer than the
    // file system takes (255 bytes of UTF-8) is shortened on a character boundary, keeping the
    // extension. Each file is written under a temporary name and renamed when it decoded
    // completely, so a failure leaves no partial file under a stored name.
    // A file that cannot be written (folder refused, write or rename error) is left out and the
    // others are still extracted; the result is then false and LastError names each such file.
    // A cabinet that is missing, not a cabinet, or whose data fails to decode (checksum, data,
    // truncation) gives false: the operation stops there and files written before stay.
    // Does not touch CABFileContents.
    bool ExtractAll();

    // ExtractAll within limits, for files the program only looks at (previews, thumbnails): a
    // file whose listed size passes maxFileBytes, that would bring the bytes written past
    // maxTotalBytes, or whose reaching would bring the bytes decoded past maxDecodedBytes (the
    // data before a file in its folder is decoded too) is left out, and no write ever passes
    // maxTotalBytes. With onlyEntry set, only the file stored under that name is extracted.
    // False when anything was left out; LastError names it.
    using TExtractLimits = TCABExtractLimits;
    bool ExtractAll(const TExtractLimits &limits);
    // The bytes the last extraction wrote, over all its files.
    qint64 BytesWritten() const { return m_bytesWritten; }

    // Decodes every file of CABFile without writing anything: true when every file decodes and
    // every checksum holds.
    bool TestAll();

    // Builds CABFile from CABFileContents, in order. Each entry is stored as RelPath + "\" +
    // the file name of Name. Returns true on success; throws ECABFileError (with the text of
    // CABErrorText) when a source cannot be opened or read, a name is too long, the list is
    // empty, or the cabinet would pass the format's limits. The cabinet is written under a
    // temporary name and only replaces CABFile when complete.
    bool CreateCabinet();

    // What went wrong in the last ListContents / ExtractAll / TestAll ("" after success).
    QString LastError() const { return m_lastError; }

private:
    enum class Mode { List, Extract, Test };
    bool RunEngine(Mode mode);
    QString m_lastError;
    std::optional<TExtractLimits> m_limits; // during ExtractAll(limits)
    qint64 m_bytesWritten = 0;
};

} // namespace zorvak
