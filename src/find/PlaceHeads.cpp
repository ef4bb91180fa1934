#include "find/PlaceHeads.h"

#include "cabinet/CabFormat.h"

#include <QXmlStreamReader>
#include <algorithm>
#include <cstring>

namespace zorvak::find {

namespace {
quint32 U32(const char *p)
{
    const auto *b = reinterpret_cast<const unsigned char *>(p);
    return quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
}
quint16 U16(const char *p)
{
    const auto *b = reinterpret_cast<const unsigned char *>(p);
    return quint16(b[0] | b[1] << 8);
}

bool IsContentXmlName(const char *name, qsizetype length)
{
    static const char kName[] = "content.xml";
    if (length != qsizetype(sizeof kName) - 1)
        return false;
    for (qsizetype i = 0; i < length; ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
        if (c != kName[i])
            return false;
    }
    return true;
}
} // namespace

bool IsPackageCabinet(const TReadAt &read, qint64 size)
{
    using namespace cabformat;
    char header[kHeaderSize];
    if (size < kHeaderSize || read(0, header, kHeaderSize) != kHeaderSize)
        return false;
    if (std::memcmp(header + kHeaderSignature, kSignature, sizeof kSignature) != 0)
        return false;
    const quint32 tableAt = U32(header + kHeaderFilesOffset);
    const int files = U16(header + kHeaderFileCount);
    if (files == 0 || tableAt < quint32(kHeaderSize) || qint64(tableAt) >= size)
        return false;
    // Each record: 16 bytes, then the name and its terminating zero (at most 256 bytes).
    const qint64 want = std::min<qint64>({qint64(files) * (kFileSize + kMaxNameBytes + 1), size - tableAt, kMaxFileTableBytes});
    QByteArray table(want, Qt::Uninitialized);
    const qint64 got = read(tableAt, table.data(), want);
    if (got <= 0)
        return false;
    const char *data = table.constData();
    qint64 pos = 0;
    for (int i = 0; i < files; ++i) {
        const qint64 name = pos + kFileSize;
        if (name >= got)
            return false;
        const qint64 limit = qMin(got, name + kMaxNameBytes + 1);
        const void *end = std::memchr(data + name, 0, size_t(limit - name));
        if (!end)
            return false;
        const qint64 length = static_cast<const char *>(end) - (data + name);
        if (IsContentXmlName(data + name, length))
            return true;
        pos = name + length + 1;
    }
    return false;
}

bool IsPackageCabinet(const QByteArray &file)
{
    return IsPackageCabinet(
        [&file](qint64 offset, char *into, qint64 length) -> qint64 {
            if (offset < 0 || offset > file.size())
                return -1;
            const qint64 n = qMin(length, qint64(file.size()) - offset);
            std::memcpy(into, file.constData() + offset, size_t(n));
            return n;
        },
        file.size());
}

bool IsConversationHead(const QByteArray &head)
{
    QXmlStreamReader xml(head);
    xml.setNamespaceProcessing(false);
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            return xml.qualifiedName() == QLatin1String("Log");
        case QXmlStreamReader::Invalid:
            return false;
        case QXmlStreamReader::Characters:
            // Only white space may come before the root element.
            if (!xml.isWhitespace())
                return false;
            break;
        default:
            break;
        }
    }
    return false;
}

} // namespace zorvak::find
