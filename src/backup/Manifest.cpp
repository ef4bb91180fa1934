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
#include "common/Cp1252.h"
#include "common/Exceptions.h"

#include <QFile>
#include <QFileInfo>

namespace zorvak {

const char *const ContentNamespace = "http://messenger.msn.com/messengercontent/1.0";
const char *const EmoticonNamespace = "http://messenger.msn.com/emoticon/1.0";
const char *const UserTileNamespace = "http://messenger.msn.com/usertile/1.0";
const char *const BackgroundNamespace = "http://messenger.msn.com/background/1.0";
const char *const DynamicBackgroundNamespace = "http://messenger.msn.com/dynamicbackground/2.0";

namespace {
using Attr = std::pair<const char *, QString>;

QString Item(std::initializer_list<Attr> attributes)
{
    QString line = QStringLiteral("<item");
    for (const auto &[name, value] : attributes) {
        line += QLatin1Char(' ');
        line += QLatin1String(name);
        line += QStringLiteral("=\"");
        line += value;
        line += QLatin1Char('"');
    }
    line += QStringLiteral(" />");
    return line;
}

QString L1(const char *text) { return QString::fromLatin1(text); }

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
        return Item({{"xmlns:emoticon", L1(EmoticonNamespace)},
                     {"contentid", item.Location},
                     {"contenttype", item.ContentType},
                     {"type", QStringLiteral("emoticon")},
                     {"emoticon:namespaceprefix", prefix},
                     {"mimetype", item.MimeType},
                     {"file", item.Location},
                     {"emoticon:displayname", item.Name},
                     {"emoticon:keysequence", item.Key}});
    }
    case ContentType::Dp:
        return Item({{"xmlns:usertile", L1(UserTileNamespace)},
                     {"contentid", item.Location},
                     {"contenttype", QStringLiteral("P")},
                     {"usertile:version", QStringLiteral("1.0")},
                     {"type", QStringLiteral("usertile")},
                     {"mimetype", item.MimeType},
                     {"file", item.Location},
                     {"usertile:default", QStringLiteral("false")},
                     {"usertile:displayname", item.Name}});
    case ContentType::Bg:
        return Item({{"xmlns:background", L1(BackgroundNamespace)},
                     {"contentid", item.Location},
                     {"contenttype", QStringLiteral("P")},
                     {"background:version", QStringLiteral("1.0")},
                     {"type", QStringLiteral("background")},
                     {"mimetype", item.MimeType},
                     {"file", item.Location},
                     {"background:displayname", item.Name}});
    case ContentType::Wink:
    case ContentType::Ddp:
        return QStringLiteral("<item contentid=\"") + item.Location + QStringLiteral("\" type=\"")
               + (type == ContentType::Wink ? QStringLiteral("wink") : QStringLiteral("dynamicpicture"))
               + QStringLiteral("\" contenttype=\"P\" mimetype=\"application/messengercontent\" ")
               + QStringLiteral("file=\"") + item.Location + QStringLiteral("\" ") + QStringLiteral("stamp=\"")
               + item.Stamp + QStringLiteral("\" />");
    case ContentType::Dbg:
        return Item({{"xmlns:dynamicbackground", L1(DynamicBackgroundNamespace)},
                     {"contentid", item.Location},
                     {"type", QStringLiteral("dynamicbackground")},
                     {"contenttype", QStringLiteral("P")},
                     {"mimetype", QStringLiteral("application/messengercontent")},
                     {"dynamicbackground:displayname", item.Name},
                     {"dynamicbackground:locationURL", QString()},
                     {"dynamicbackground:default", QStringLiteral("false")},
                     {"file", item.Location},
                     {"stamp", item.Stamp}});
    }
    return {};
}

void TBackupCore::WriteItems(QByteArray &out, ContentType type, int &position, const QString &partDir)
{
    const TMsnArr &items = Items[size_t(type)];
    const QString tmp = TmpDir();
    while (position < items->size() && PartCount < MaxItemsPerPart) {
        const TMsnStuff &item = items->at(position);
        const QString file = tmp + item.Location;
        if (!item.Location.isEmpty() && QFileInfo(file).isFile()) {
            AppendLine(out, ItemLine(type, item));
            QFile::rename(file, partDir + item.Location);
            ++PartCount;
        }
        ++position;
    }
}

bool TBackupCore::WriteManifest(const QString &partDir)
{
    QByteArray out;
    AppendLine(out, QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1252\" ?>"));
    AppendLine(out, QStringLiteral("<package xmlns=\"") + L1(ContentNamespace)
                        + QStringLiteral("\" version=\"1.0\" type=\"theme\">"));
    for (const ContentTypeInfo &info : ContentTypes) {
        if (!Request.types[size_t(info.type)])
            continue;
        int position = 0;
        WriteItems(out, info.type, position, partDir);
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
