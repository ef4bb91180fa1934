#include "export/NamedWriters.h"

#include "browse/Recognition.h"
#include "common/SafeName.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>
#include <QXmlStreamWriter>

#include <archive.h>
#include <archive_entry.h>
#include <memory>

namespace zorvak::named {

namespace {

// A value on one line of a key=value file: line breaks and other control characters become spaces.
QString OneLine(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c.category() == QChar::Other_Control || c.unicode() == 0x2028 || c.unicode() == 0x2029)
            c = u' ';
    return out.trimmed();
}

// `text` cut on a character boundary to at most `bytes` bytes of UTF-8.
QString CutToBytes(const QString &text, qsizetype bytes)
{
    qsizetype used = 0, i = 0;
    while (i < text.size()) {
        const qsizetype len = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const qsizetype b = text.mid(i, len).toUtf8().size();
        if (used + b > bytes)
            break;
        used += b;
        i += len;
    }
    return text.left(i);
}

// A header line of the theme file: "<key>=<value>", the value on one line and cut so that the
// line and its line break fit the reader's line.
QString HeaderLine(const char *key, const QString &value)
{
    const QString start = QLatin1String(key) + u'=';
    return start + CutToBytes(OneLine(value), kThemeLineBytes - 1 - start.size()) + u'\n';
}

QString UserFolderName(const QString &userFolder)
{
    QString path = QDir::cleanPath(userFolder);
    return QFileInfo(path).fileName();
}

// Text as XML 1.0 takes it: control characters other than TAB, LF and CR, lone surrogates and
// U+FFFE/U+FFFF become U+FFFD (the XML writer would otherwise drop them and fail the document).
QString XmlText(const QString &text)
{
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const char16_t c = out.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < out.size() && out.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if ((c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || QChar::isSurrogate(c) || c == 0xFFFE || c == 0xFFFF)
            out[i] = QChar(0xFFFD);
    }
    return out;
}

// A relative "/"-separated path as a URL path: every segment percent-encoded, so that no "#",
// "?", "%" or ":" of a name changes what the link points to.
QString UrlPath(const QString &relative)
{
    QStringList parts;
    for (const QString &segment : relative.split(u'/'))
        parts << QString::fromLatin1(QUrl::toPercentEncoding(segment));
    return parts.join(u'/');
}

// The picture kinds every browser shows; others (TIFF, cursors, Flash, cabinets) are links.
bool BrowserShows(const QString &extension)
{
    static const QStringList shown = {QStringLiteral(".gif"), QStringLiteral(".png"), QStringLiteral(".jpg"),
                                      QStringLiteral(".jpeg"), QStringLiteral(".bmp"), QStringLiteral(".ico")};
    return shown.contains(extension.toLower());
}

} // namespace

const char *TypeFolderName(ContentType type)
{
    switch (type) {
    case ContentType::Emot: return "Emoticons";
    case ContentType::Dp: return "Display pictures";
    case ContentType::Bg: return "Backgrounds";
    case ContentType::Wink: return "Winks";
    case ContentType::Ddp: return "Dynamic display pictures";
    case ContentType::Dbg: return "Dynamic backgrounds";
    }
    return "Other";
}

const char *TypeTitle(ContentType type) { return TypeFolderName(type); }

QString ThemeFolderName(const QString &userFolder, const QDir &output)
{
    TNameSet taken;
    for (const QString &existing : output.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        taken.Insert(existing);
        if (existing.endsWith(QLatin1String(".tar.gz"), Qt::CaseInsensitive))
            taken.Insert(existing.chopped(7));
    }
    // Room for ".tar.gz" beside the folder.
    const QString stem = SafeStem(QStringLiteral("emoticons-") + UserFolderName(userFolder), {true}, 7, 7);
    return taken.Claim(stem, QString(), QStringLiteral("emoticons"), {true});
}

QByteArray IndexTsv(const TNamedExportResult &result)
{
    QString text = QStringLiteral("type\tfile\tname\tshortcut\toriginal file name\tsize\tmodified\n");
    for (const TExportedObject &o : result.objects)
        text += QStringList{QString::fromLatin1(InfoOf(o.type).code), TsvValue(o.file), TsvValue(o.name),
                            TsvValue(o.shortcut), TsvValue(o.original), QString::number(o.size),
                            o.modified.toUTC().toString(Qt::ISODate)}
                    .join(u'\t')
                + u'\n';
    return text.toUtf8();
}

QByteArray IndexHtml(const TNamedExportResult &result, const QString &email)
{
    QByteArray data;
    QXmlStreamWriter xml(&data);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE html>"));
    xml.writeStartElement(QStringLiteral("html"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.w3.org/1999/xhtml"));
    xml.writeAttribute(QStringLiteral("lang"), QStringLiteral("en"));
    xml.writeStartElement(QStringLiteral("head"));
    xml.writeEmptyElement(QStringLiteral("meta"));
    xml.writeAttribute(QStringLiteral("charset"), QStringLiteral("utf-8"));
    const QString title = XmlText(email.isEmpty() ? QStringLiteral("Messenger content") : QStringLiteral("Messenger content of ") + email);
    xml.writeTextElement(QStringLiteral("title"), title);
    xml.writeTextElement(QStringLiteral("style"),
                         QStringLiteral("body{font-family:sans-serif;margin:1em 2em;color:#222}"
                                        "ul{list-style:none;padding:0;display:flex;flex-wrap:wrap;gap:12px}"
                                        "li{width:160px;border:1px solid #ccc;border-radius:6px;padding:8px;text-align:center}"
                                        "img{max-width:144px;max-height:144px}"
                                        ".name{display:block;font-weight:bold;word-wrap:break-word}"
                                        ".shortcut{display:block;font-family:monospace}"
                                        ".type{display:block;color:#777;font-size:small}"));
    xml.writeEndElement(); // head
    xml.writeStartElement(QStringLiteral("body"));
    xml.writeTextElement(QStringLiteral("h1"), title);
    // An empty element would be written as "<span/>", which an HTML parser reads as an opening tag.
    const auto span = [&xml](const char *kind, const QString &text) {
        if (text.isEmpty())
            return;
        xml.writeStartElement(QStringLiteral("span"));
        xml.writeAttribute(QStringLiteral("class"), QLatin1String(kind));
        xml.writeCharacters(XmlText(text));
        xml.writeEndElement();
    };
    if (result.objects.isEmpty())
        xml.writeTextElement(QStringLiteral("p"), QStringLiteral("No object was found."));
    for (const ContentTypeInfo &info : ContentTypes) {
        QList<const TExportedObject *> ofType;
        for (const TExportedObject &o : result.objects)
            if (o.type == info.type)
                ofType << &o;
        if (ofType.isEmpty())
            continue;
        xml.writeStartElement(QStringLiteral("section"));
        xml.writeAttribute(QStringLiteral("id"), QString::fromLatin1(info.code));
        xml.writeTextElement(QStringLiteral("h2"),
                             QStringLiteral("%1 (%2)").arg(QLatin1String(TypeTitle(info.type))).arg(ofType.size()));
        xml.writeStartElement(QStringLiteral("ul"));
        for (const TExportedObject *o : ofType) {
            xml.writeStartElement(QStringLiteral("li"));
            const QString href = UrlPath(o->file);
            if (BrowserShows(ExtractFileExt(o->file))) {
                xml.writeEmptyElement(QStringLiteral("img"));
                xml.writeAttribute(QStringLiteral("src"), href);
                xml.writeAttribute(QStringLiteral("alt"), XmlText(o->name));
                xml.writeAttribute(QStringLiteral("title"), XmlText(o->name));
            } else {
                xml.writeStartElement(QStringLiteral("a"));
                xml.writeAttribute(QStringLiteral("href"), href);
                xml.writeCharacters(XmlText(QFileInfo(o->file).fileName()));
                xml.writeEndElement();
            }
            span("name", o->name);
            span("shortcut", o->shortcut);
            span("type", QString::fromLatin1(TypeTitle(o->type)));
            xml.writeEndElement(); // li
        }
        xml.writeEndElement(); // ul
        xml.writeEndElement(); // section
    }
    xml.writeEndElement(); // body
    xml.writeEndElement(); // html
    xml.writeEndDocument();
    return xml.hasError() ? QByteArray() : data;
}

QString ThemeShortcutRefusal(const QString &shortcut)
{
    if (shortcut.isEmpty())
        return QStringLiteral("no shortcut");
    const bool control = std::any_of(shortcut.begin(), shortcut.end(), [](QChar c) {
        return c.category() == QChar::Other_Control || c.unicode() == 0x2028 || c.unicode() == 0x2029;
    });
    if (control || !shortcut.isValidUtf16())
        return QStringLiteral("the shortcut contains a line break or a control character");
    if (shortcut.toUtf8().size() > kThemeWordBytes)
        return QStringLiteral("the shortcut is longer than %1 bytes").arg(kThemeWordBytes);
    return {};
}

QString ThemeShortcut(const QString &shortcut)
{
    QString out;
    out.reserve(shortcut.size() + 4);
    for (const QChar c : shortcut) {
        if (c == u'\\' || c == u' ')
            out += u'\\';
        out += c;
    }
    return out;
}

QByteArray ThemeFile(const TNamedExportResult &result, const QString &userFolder, const QString &email)
{
    const QString owner = email.isEmpty() ? UserFolderName(userFolder) : email;
    QString icon;
    if (!result.objects.isEmpty())
        icon = QFileInfo(result.objects.first().file).fileName();
    QString text = HeaderLine("Name", QStringLiteral("Messenger emoticons of ") + owner)
                   + HeaderLine("Description", QStringLiteral("Custom emoticons of ") + owner + QStringLiteral(", exported by Zorvak"))
                   + HeaderLine("Icon", icon)
                   + HeaderLine("Author", email.isEmpty() ? QStringLiteral("Zorvak") : email)
                   + QStringLiteral("\n[default]\n");
    // A file name of at most 63 bytes, a space and an escaped shortcut of at most 126: within a line.
    for (const TExportedObject &o : result.objects)
        text += QFileInfo(o.file).fileName() + u' ' + ThemeShortcut(o.shortcut) + u'\n';
    return text.toUtf8();
}

bool WriteTarGz(const QString &path, const QDir &output, const QString &folder, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    std::unique_ptr<archive, decltype(&archive_write_free)> tar(archive_write_new(), &archive_write_free);
    archive_write_add_filter_gzip(tar.get());
    archive_write_set_format_pax_restricted(tar.get());
    const auto writeCallback = [](archive *, void *client, const void *buffer, size_t length) -> la_ssize_t {
        auto *target = static_cast<QSaveFile *>(client);
        return target->write(static_cast<const char *>(buffer), qint64(length)) == qint64(length) ? la_ssize_t(length) : -1;
    };
    if (archive_write_open(tar.get(), &file, nullptr, writeCallback, nullptr) != ARCHIVE_OK) {
        *error = QString::fromUtf8(archive_error_string(tar.get()));
        return false;
    }
    std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(), &archive_entry_free);
    const auto fail = [&] {
        *error = QString::fromUtf8(archive_error_string(tar.get()));
        file.cancelWriting();
        return false;
    };
    const QFileInfo dirInfo(output.filePath(folder));
    archive_entry_set_pathname_utf8(entry.get(), (folder + u'/').toUtf8().constData());
    archive_entry_set_filetype(entry.get(), AE_IFDIR);
    archive_entry_set_perm(entry.get(), 0755);
    archive_entry_set_mtime(entry.get(), dirInfo.lastModified().toSecsSinceEpoch(), 0);
    if (archive_write_header(tar.get(), entry.get()) != ARCHIVE_OK)
        return fail();
    const QFileInfoList files = QDir(output.filePath(folder)).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo &info : files) {
        QFile in(info.absoluteFilePath());
        if (!in.open(QIODevice::ReadOnly)) {
            *error = in.errorString();
            file.cancelWriting();
            return false;
        }
        archive_entry_clear(entry.get());
        archive_entry_set_pathname_utf8(entry.get(), (folder + u'/' + info.fileName()).toUtf8().constData());
        archive_entry_set_filetype(entry.get(), AE_IFREG);
        archive_entry_set_perm(entry.get(), 0644);
        archive_entry_set_size(entry.get(), in.size());
        archive_entry_set_mtime(entry.get(), info.lastModified().toSecsSinceEpoch(), 0);
        if (archive_write_header(tar.get(), entry.get()) != ARCHIVE_OK)
            return fail();
        for (QByteArray chunk; !(chunk = in.read(1 << 16)).isEmpty();)
            if (archive_write_data(tar.get(), chunk.constData(), size_t(chunk.size())) != chunk.size())
                return fail();
    }
    if (archive_write_close(tar.get()) != ARCHIVE_OK)
        return fail();
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace zorvak::named
