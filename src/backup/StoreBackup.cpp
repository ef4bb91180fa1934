#include "backup/StoreBackup.h"
#include "common/PathBytes.h"

#include "browse/ObjectStore.h"
#include "cabinet/cabfiles.h"
#include "shell/uLanguage.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace zorvak {

namespace {

QString CleanText(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value)
        if (c.unicode() >= 32 && c.unicode() != 0x7F)
            out += c;
    out = out.trimmed();
    if (out.size() > MaxWinkTextLength) {
        out.truncate(MaxWinkTextLength);
        if (out.back().isHighSurrogate())
            out.chop(1);
    }
    return out;
}

bool IsOneOf(QStringView name, std::initializer_list<const char *> names)
{
    for (const char *n : names)
        if (name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

std::optional<TWinkManifest> ParseWinkManifest(const QByteArray &xml)
{
    if (xml.isEmpty() || xml.size() > MaxWinkManifestBytes)
        return std::nullopt;
    QXmlStreamReader reader(xml);
    std::optional<TWinkManifest> found;
    int elements = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::DTD) {
            // A document type may declare entities whose expansion is unbounded: not a manifest.
            return std::nullopt;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (++elements > 4096)
            return std::nullopt;
        if (found)
            continue; // read on to the end: a manifest that is not well-formed gives nothing
        TWinkManifest manifest;
        for (const QXmlStreamAttribute &attribute : reader.attributes()) {
            const QStringView name = attribute.name();
            if (manifest.name.isEmpty() && IsOneOf(name, {"displayname", "name", "friendlyname"}))
                manifest.name = CleanText(attribute.value().toString());
            else if (manifest.shortcut.isEmpty() && IsOneOf(name, {"keysequence", "shortcut"}))
                manifest.shortcut = CleanText(attribute.value().toString());
        }
        if (!manifest.name.isEmpty())
            found = manifest;
    }
    if (reader.hasError())
        return std::nullopt;
    return found;
}

std::optional<TWinkManifest> ReadWinkManifest(const QString &cabinet)
{
    TCABFile cab;
    cab.CABFile = cabinet;
    cab.ListContents();
    bool hasManifest = false;
    qint64 total = 0;
    for (int i = 0; i < cab.CABFileContents.Count(); ++i) {
        const TCABFileEntry &entry = cab.CABFileContents[i];
        total += qMax(0, entry.Size);
        if (entry.Name.compare(QLatin1String("content.xml"), Qt::CaseInsensitive) == 0) {
            if (entry.Size > MaxWinkManifestBytes)
                return std::nullopt;
            hasManifest = true;
        }
    }
    if (!hasManifest || total > MaxWinkCabinetBytes)
        return std::nullopt;
    QTemporaryDir work;
    if (!work.isValid())
        return std::nullopt;
    cab.TargetPath = work.path();
    cab.ExtractAll(); // a damaged cabinet may still have given its manifest
    // The manifest as extracted: the one root entry named so, whatever its letter case.
    const QString name = objstore::FindEntry(work.path(), QStringLiteral("content.xml"));
    if (name.isEmpty())
        return std::nullopt;
    QFile file(work.filePath(name));
    if (!QFileInfo(file.fileName()).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return ParseWinkManifest(file.read(MaxWinkManifestBytes + 1));
}

QString GeneratedShortcut(int n)
{
    // "[e" and "]" around the number: no shortcut of Messenger's begins with "[", and the closing
    // bracket keeps one generated shortcut from being the beginning of another.
    if (n < 10000)
        return QStringLiteral("[e%1]").arg(n);
    return QStringLiteral("[x%1]").arg(QString::number(n, 36)); // up to 36^4 - 1 still in seven characters
}

QString PositionName(ContentType type, int n)
{
    const QStringList words = Lang("StoreItemNames").split(QLatin1Char('\r'));
    const QString word = words.value(int(type));
    return (word.isEmpty() ? Lang(InfoOf(type).code) : word) + QLatin1Char(' ') + QString::number(n);
}

TMsnArr StoreItems(ContentType type, const QString &kindFolder, bool skipDefault)
{
    TMsnArr items = NewMsnArr();
    int position = 0;
    for (const objstore::TStoreObject &object : objstore::ListObjects(kindFolder)) {
        ++position;
        TMsnStuff item;
        item.Location = QFileInfo(object.data).fileName();
        // What the owner called the object, when its metadata can be read.
        std::optional<objstore::TStoreMetadata> metadata;
        if (!object.metadata.isEmpty())
            metadata = objstore::ReadMetadata(object.metadata);
        QString name = metadata ? metadata->name : QString();
        QString shortcut = metadata ? metadata->shortcut : QString();
        if (type == ContentType::Wink && name.isEmpty()) {
            if (const std::optional<TWinkManifest> manifest = ReadWinkManifest(object.data)) {
                name = manifest->name;
                shortcut = manifest->shortcut;
                if (skipDefault && IsDefaultContent(name, qint32(fsys::Size(object.data)), DefaultWink()))
                    continue;
            }
        }
        if (name.isEmpty())
            name = PositionName(type, position);
        if (type == ContentType::Emot) {
            if (shortcut.isEmpty())
                shortcut = GeneratedShortcut(position);
            item.ContentType = QStringLiteral("D");
        }
        item.Name = XmlEscapeValue(name);
        item.Key = XmlEscapeValue(shortcut);
        items->append(item);
    }
    return items;
}

} // namespace zorvak
