// content.xml: the manifest of an MCO package.
//
// An MCO package is a cabinet holding content object files and "content.xml", which tells
// Messenger's content installer what each file is. The manifest is written line by line, each
// line ended by CR LF, without indentation, in Windows-1252 (the declaration says so):
//
//   <?xml version="1.0" encoding="windows-1252" ?>
//   <package xmlns="http://messenger.msn.com/messengercontent/1.0" version="1.0" type="theme">
//   <item ... />        one line per object, by type: emoticons, display pictures, backgrounds,
//                       winks, deluxe display pictures, dynamic backgrounds
//   </package>
//
// Names and shortcuts are stored XML-escaped and written as stored; file names and stamps are
// escaped when written. A character outside Windows-1252 is written as a numeric character
// reference, and so are the code page's five unassigned bytes (read back as C1 controls). The
// installer refuses packages of more than 200 items, so one manifest lists at most
// 199; each call starts every list from its beginning and passes over the objects that are no
// longer in "~tmp" (unrecognised, removed in the confirmation, or taken by an earlier part).
#include "backup/BackupCore.h"

#include "browse/Recognition.h"
#include "common/ContentXml.h"
#include "common/Cp1252.h"
#include "common/Exceptions.h"

#include <QFile>
#include <QFileInfo>

namespace zorvak {

const char *const ContentNamespace = contentxml::PackageNamespace;
const char *const EmoticonNamespace = contentxml::KindOf(ContentType::Emot).nameSpace;
const char *const UserTileNamespace = contentxml::KindOf(ContentType::Dp).nameSpace;
const char *const BackgroundNamespace = contentxml::KindOf(ContentType::Bg).nameSpace;
const char *const DynamicBackgroundNamespace = contentxml::KindOf(ContentType::Dbg).nameSpace;

namespace {
using Attr = std::pair<QString, QString>;

QString Item(const QList<Attr> &attributes)
{
    QString line = QStringLiteral("<item");
    for (const auto &[name, value] : attributes) {
        line += QLatin1Char(' ');
        line += name;
        line += QStringLiteral("=\"");
        line += value;
        line += QLatin1Char('"');
    }
    line += QStringLiteral(" />");
    return line;
}

QString L1(const char *text) { return QString::fromLatin1(text); }

// The vocabulary of one content type: the item type, "xmlns:prefix" and "prefix:attribute".
QString TypeName(ContentType type) { return L1(contentxml::KindOf(type).itemType); }
QString Xmlns(ContentType type) { return QStringLiteral("xmlns:") + L1(contentxml::KindOf(type).prefix); }
QString NsOf(ContentType type) { return L1(contentxml::KindOf(type).nameSpace); }
QString Own(ContentType type, const char *name) { return contentxml::Prefixed(type, name); }
QString A(const char *name) { return L1(name); }

void AppendLine(QByteArray &out, const QString &line)
{
    out += EncodeManifestText(line);
    out += "\r\n";
}
} // namespace

QString MimeTypeOf(const QString &extension)
{
    const QString e = extension.startsWith(QLatin1Char('.')) ? extension.mid(1) : extension;
    if (e == QLatin1String("gif")) return QStringLiteral("image/gif");
    if (e == QLatin1String("png")) return QStringLiteral("image/png");
    if (e == QLatin1String("jpg")) return QStringLiteral("image/jpeg");
    if (e == QLatin1String("bmp")) return QStringLiteral("image/bmp");
    if (e == QLatin1String("tif")) return QStringLiteral("image/tiff");
    return {};
}

QByteArray EncodeManifestText(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += "&#" + QByteArray::number(QChar::surrogateToUcs4(c, text.at(i + 1))) + ';';
            ++i;
        } else if (IsCp1252Encodable(c) && !c.isSurrogate() && !(c.unicode() >= 0x80 && c.unicode() < 0xA0)) {
            out += ToCp1252(QString(c));
        } else {
            out += "&#" + QByteArray::number(c.unicode()) + ';';
        }
    }
    return out;
}

QString TBackupCore::ItemLine(ContentType type, const TMsnStuff &stored) const
{
    // File names and stamps are escaped here like every other value (names and shortcuts are
    // held escaped already).
    TMsnStuff item = stored;
    item.Location = XmlEscapeValue(stored.Location);
    item.Stamp = XmlEscapeValue(stored.Stamp);
    switch (type) {
    case ContentType::Emot: {
        // The output file's name without its extension, the same for every part.
        const QString name = QFileInfo(Request.output).fileName();
        const QString prefix = XmlEscapeValue(name.left(name.size() - ExtractFileExt(name).size()));
        return Item({{Xmlns(type), NsOf(type)},
                     {A("contentid"), item.Location},
                     {A("contenttype"), item.ContentType},
                     {A(contentxml::AttrType), TypeName(type)},
                     {Own(type, "namespaceprefix"), prefix},
                     {A("mimetype"), item.MimeType},
                     {A(contentxml::AttrFile), item.Location},
                     {Own(type, contentxml::AttrDisplayName), item.Name},
                     {Own(type, contentxml::AttrKeySequence), item.Key}});
    }
    case ContentType::Dp:
    case ContentType::Bg: {
        // Display pictures and backgrounds share their vocabulary; a display picture also says
        // that it is not one of Messenger's own.
        QList<Attr> attributes{{Xmlns(type), NsOf(type)},
                               {A("contentid"), item.Location},
                               {A("contenttype"), QStringLiteral("P")},
                               {Own(type, "version"), QStringLiteral("1.0")},
                               {A(contentxml::AttrType), TypeName(type)},
                               {A("mimetype"), item.MimeType},
                               {A(contentxml::AttrFile), item.Location}};
        if (type == ContentType::Dp)
            attributes.append({Own(type, "default"), QStringLiteral("false")});
        attributes.append({Own(type, contentxml::AttrDisplayName), item.Name});
        return Item(attributes);
    }
    case ContentType::Wink:
    case ContentType::Ddp:
        return QStringLiteral("<item contentid=\"") + item.Location + QStringLiteral("\" type=\"") + TypeName(type)
               + QStringLiteral("\" contenttype=\"P\" mimetype=\"application/messengercontent\" ")
               + QStringLiteral("file=\"") + item.Location + QStringLiteral("\" ") + QStringLiteral("stamp=\"")
               + item.Stamp + QStringLiteral("\" />");
    case ContentType::Dbg:
        return Item({{Xmlns(type), NsOf(type)},
                     {A("contentid"), item.Location},
                     {A(contentxml::AttrType), TypeName(type)},
                     {A("contenttype"), QStringLiteral("P")},
                     {A("mimetype"), QStringLiteral("application/messengercontent")},
                     {Own(type, contentxml::AttrDisplayName), item.Name},
                     {Own(type, "locationURL"), QString()},
                     {Own(type, "default"), QStringLiteral("false")},
                     {A(contentxml::AttrFile), item.Location},
                     {A("stamp"), item.Stamp}});
    }
    return {};
}

void TBackupCore::WriteItems(QByteArray &out, ContentType type, int &position, const QString &partDir, int &written)
{
    const TMsnArr &items = Items[size_t(type)];
    const QString tmp = TmpDir();
    while (position < items->size() && written < MaxItemsPerPart) {
        const TMsnStuff &item = items->at(position);
        const QString file = tmp + item.Location;
        if (!item.Location.isEmpty() && QFileInfo(file).isFile()) {
            AppendLine(out, ItemLine(type, item));
            QFile::rename(file, partDir + item.Location);
            ++written;
        }
        ++position;
    }
}

bool TBackupCore::WriteManifest(const QString &partDir, int &written)
{
    written = 0;
    QByteArray out;
    AppendLine(out, QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1252\" ?>"));
    AppendLine(out, QStringLiteral("<package xmlns=\"") + L1(contentxml::PackageNamespace)
                        + QStringLiteral("\" version=\"1.0\" type=\"theme\">"));
    for (const ContentTypeInfo &info : ContentTypes) {
        if (!Request.types[size_t(info.type)])
            continue;
        int position = 0;
        WriteItems(out, info.type, position, partDir, written);
    }
    AppendLine(out, QStringLiteral("</package>"));

    const QString path = partDir + QStringLiteral("content.xml");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(out) != out.size() || !file.flush())
        throw EInOutError(QStringLiteral("Cannot write file \"") + path + QStringLiteral("\". ") + file.errorString());
    file.close();
    return true;
}

} // namespace zorvak
