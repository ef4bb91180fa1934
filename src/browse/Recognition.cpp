#include "browse/Recognition.h"
#include "common/PathBytes.h"

#include <QFileInfo>

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace zorvak {

namespace {

struct Signature {
    const char *extension;
    const char *bytes;
    int length;
};

// Tested in order; the first matching row wins.
constexpr Signature kSignatures[] = {
    {".jpg", "\xFF\xD8\xFF\xE0", 4},
    {".gif", "GIF8", 4},
    {".bmp", "BM", 2},
    {".png", "\x89PNG", 4},
    {".tif", "MM\x00\x2A", 4},
    {".tif", "II\x2A\x00", 4},
    {".cab", "MSCF", 4},
    {".swf", "CWS", 3},
    {".mid", "MThd", 4},
    {".wav", "WAVEfmt", 7},
    {".ico", "\x00\x00\x01\x00", 4},
    {".cur", "\x00\x00\x02\x00", 4},
    {".jpg", "\xFF\xD8\xFF\xE1", 4},
    {".mp3", "ID3", 3},
    {".asf", "\x30\x26\xB2\x75\x8E\x66\xCF\x11", 8},
};

// A RIFF wave file carries "WAVEfmt" after "RIFF" and a four-byte length.
constexpr int kHeadBytes = 15;

bool StartsWith(const QByteArray &data, int offset, const char *bytes, int length)
{
    return data.size() >= offset + length && std::memcmp(data.constData() + offset, bytes, size_t(length)) == 0;
}

// An icon or cursor header counts its pictures in bytes 4 and 5; none means no icon. Messenger's
// map files begin with two zero bytes and a protected blob (01 00 00 00, then the provider's
// identifier), which reads as an icon header with no picture: they are not icons.
bool EmptyIconHeader(const char *extension, const QByteArray &data)
{
    return (std::strcmp(extension, ".ico") == 0 || std::strcmp(extension, ".cur") == 0) && data.size() >= 6
        && data.at(4) == 0 && data.at(5) == 0;
}

} // namespace

QString RecognizeBytes(const QByteArray &head)
{
    const auto *b = reinterpret_cast<const unsigned char *>(head.constData());
    // An MPEG audio frame: sync bits at the very start.
    if (head.size() >= 2 && b[0] == 0xFF && b[1] >= 0xE0)
        return QStringLiteral(".mp3");
    for (const Signature &s : kSignatures) {
        if (StartsWith(head, 0, s.bytes, s.length) && !EmptyIconHeader(s.extension, head))
            return QString::fromLatin1(s.extension);
        if (std::strcmp(s.extension, ".wav") == 0 && StartsWith(head, 0, "RIFF", 4)
            && StartsWith(head, 8, s.bytes, s.length))
            return QString::fromLatin1(s.extension);
    }
    return {};
}

QString RecognizeFile(const QString &path)
{
    // Plain POSIX calls: this runs for every file of a folder each time it is selected.
    const QByteArray native = PathToBytes(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return {};
    char buffer[kHeadBytes];
    ssize_t got = 0;
    while (got < kHeadBytes) {
        const ssize_t n = ::read(fd, buffer + got, size_t(kHeadBytes - got));
        if (n < 0) {
            ::close(fd);
            return {};
        }
        if (n == 0)
            break;
        got += n;
    }
    ::close(fd);
    return RecognizeBytes(QByteArray::fromRawData(buffer, int(got)));
}

TPreviewKind PreviewKind(const QString &extension)
{
    QString e = extension;
    if (!e.startsWith(QLatin1Char('.')))
        e.prepend(QLatin1Char('.'));
    if (e == QLatin1String(".gif") || e == QLatin1String(".jpg") || e == QLatin1String(".png")
        || e == QLatin1String(".tif") || e == QLatin1String(".bmp") || e == QLatin1String(".ico")
        || e == QLatin1String(".cur"))
        return pkPicture;
    if (e == QLatin1String(".mp3") || e == QLatin1String(".wav") || e == QLatin1String(".asf"))
        return pkSound;
    if (e == QLatin1String(".swf"))
        return pkFlash;
    if (e == QLatin1String(".cab"))
        return pkCabinet;
    return pkOther;
}

QString ExtractFileExt(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const qsizetype sep = fileName.lastIndexOf(QLatin1Char('/'));
    if (dot < 0 || dot < sep)
        return {};
    return fileName.mid(dot);
}

bool IsRecognitionCandidate(const QString &fileName)
{
    if (fileName.compare(QLatin1String("map.dat"), Qt::CaseInsensitive) == 0)
        return false;
    const QString ext = ExtractFileExt(fileName);
    if (ext.isEmpty())
        return true;
    return ext.compare(QLatin1String(".dat"), Qt::CaseInsensitive) == 0
        || ext.compare(QLatin1String(".bin"), Qt::CaseInsensitive) == 0
        || ext.compare(QLatin1String(".dt2"), Qt::CaseInsensitive) == 0;
}

bool IsContentMetadata(const QString &fileName)
{
    const QString name = fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
    return name.size() > 4 && name.endsWith(QLatin1String(".id2"), Qt::CaseInsensitive);
}

QString RecognizeContentFile(const QString &path) { return IsContentMetadata(path) ? QString() : RecognizeFile(path); }

QString ReplaceExtension(const QString &fileName, const QString &extension)
{
    const QString ext = ExtractFileExt(fileName);
    return fileName.left(fileName.size() - ext.size()) + extension;
}

} // namespace zorvak
