#pragma once
// Readers of what the named export writes, independent of the writer: a smiley theme file (as
// Pidgin 2 reads it), a smiley store (QXmlStreamReader), the listing of a .tar.gz (libarchive), and
// the pictures and texts of index.html (QXmlStreamReader).
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QXmlStreamReader>

#include <archive.h>
#include <archive_entry.h>

namespace zorvak::test {

struct ThemeFile {
    QMap<QString, QString> header;            // Name, Description, Icon, Author: the last value read
    int headerLines = 0;                      // lines read as header lines, wherever they stand
    QList<QPair<QString, QStringList>> lines; // [default]: picture file, its shortcuts
    QString error;
};

// A theme file as Pidgin 2's loader reads it: lines of at most 255 bytes, a longer one going on as
// the next; "#" as the first byte makes a comment; after leading white space, "[" with a "]" further
// on starts a section, and "Name=", "Description=", "Icon=", "Author=" in any letter case set a
// header value wherever the line stands; other lines of a section (after an optional "! ") are
// words split on white space, a backslash taking the next byte as it is, a word cut after 63 bytes
// and its rest read as a further word: the picture's file name, then its shortcuts.
inline ThemeFile ReadThemeFile(const QByteArray &data)
{
    static const char *const keys[] = {"Name=", "Description=", "Icon=", "Author="};
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; };
    ThemeFile theme;
    QByteArray section;
    for (qsizetype pos = 0; pos < data.size();) {
        const qsizetype end = data.indexOf('\n', pos);
        const qsizetype take = qMin<qsizetype>((end < 0 ? data.size() : end + 1) - pos, 255);
        QByteArray line = data.mid(pos, take);
        pos += take;
        if (line.startsWith('#'))
            continue;
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        qsizetype i = 0;
        while (i < line.size() && space(line.at(i)))
            ++i;
        if (i == line.size())
            continue;
        const QByteArray rest = line.mid(i);
        if (rest.startsWith('[') && rest.indexOf(']') > 0) {
            section = rest.left(rest.indexOf(']') + 1);
            continue;
        }
        bool header = false;
        for (const char *key : keys) {
            const qsizetype length = qsizetype(qstrlen(key));
            if (!header && rest.size() >= length && qstrnicmp(rest.constData(), key, size_t(length)) == 0) {
                theme.header.insert(QString::fromLatin1(key, length - 1), QString::fromUtf8(rest.mid(length)));
                ++theme.headerLines;
                header = true;
            }
        }
        if (header)
            continue;
        if (section.isEmpty()) {
            theme.error = QStringLiteral("a line outside a section: ") + QString::fromUtf8(line);
            continue;
        }
        if (section != "[default]")
            continue;
        qsizetype at = rest.startsWith("! ") ? 2 : 0;
        QStringList words;
        while (at < rest.size()) {
            QByteArray word;
            while (at < rest.size() && !space(rest.at(at)) && word.size() < 63) {
                if (rest.at(at) == '\\' && at + 1 < rest.size())
                    ++at;
                word += rest.at(at++);
            }
            words << QString::fromUtf8(word);
            while (at < rest.size() && space(rest.at(at)))
                ++at;
        }
        if (!words.isEmpty()) {
            const QString file = words.takeFirst();
            theme.lines.append({file, words});
        }
    }
    return theme;
}

// The entries of a smileys.xml as Pidgin's library reads them: the smiley elements of the first
// smiley_set of the first profile, with their shortcut, checksum and file name.
struct StoreEntry {
    QString shortcut, checksum, filename;
    bool operator==(const StoreEntry &) const = default;
};
struct SmileyStoreFile {
    QList<StoreEntry> entries;   // the smiley set Pidgin reads
    int allSmileys = 0;          // smiley elements anywhere
    QStringList comments;
    QString error;
};

inline SmileyStoreFile ReadSmileyStoreFile(const QByteArray &data)
{
    SmileyStoreFile store;
    QXmlStreamReader xml(data);
    int depth = 0;
    bool profileSeen = false, setSeen = false, inProfile = false, inSet = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::Comment)
            store.comments << xml.text().toString();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const QString name = xml.name().toString();
            if (name == QStringLiteral("smiley"))
                ++store.allSmileys;
            if (depth == 2 && !profileSeen && name == QStringLiteral("profile"))
                profileSeen = inProfile = true;
            else if (inProfile && depth == 3 && !setSeen && name == QStringLiteral("smiley_set"))
                setSeen = inSet = true;
            else if (inSet && depth == 4 && name == QStringLiteral("smiley")) {
                const QXmlStreamAttributes a = xml.attributes();
                store.entries.append({a.value(QStringLiteral("shortcut")).toString(), a.value(QStringLiteral("checksum")).toString(),
                                      a.value(QStringLiteral("filename")).toString()});
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (depth == 3)
                inSet = false;
            if (depth == 2)
                inProfile = false;
            --depth;
        }
    }
    if (xml.hasError())
        store.error = xml.errorString() + QStringLiteral(" at line ") + QString::number(xml.lineNumber());
    return store;
}

struct TarEntry {
    QString path;
    bool folder = false;
    qint64 size = 0;
    qint64 mtime = 0;
    QByteArray data;
};

// Every entry of a gzip-compressed tar; `error` set when it cannot be read to its end.
inline QList<TarEntry> ListTarGz(const QString &path, QString *error)
{
    QList<TarEntry> entries;
    archive *a = archive_read_new();
    archive_read_support_filter_gzip(a);
    archive_read_support_format_tar(a);
    if (archive_read_open_filename(a, QFile::encodeName(path).constData(), 1 << 16) != ARCHIVE_OK) {
        *error = QString::fromUtf8(archive_error_string(a));
        archive_read_free(a);
        return entries;
    }
    archive_entry *entry = nullptr;
    int status;
    while ((status = archive_read_next_header(a, &entry)) == ARCHIVE_OK) {
        TarEntry e;
        e.path = QString::fromUtf8(archive_entry_pathname_utf8(entry));
        e.folder = archive_entry_filetype(entry) == AE_IFDIR;
        e.size = archive_entry_size(entry);
        e.mtime = archive_entry_mtime(entry);
        char buffer[8192];
        for (la_ssize_t n; (n = archive_read_data(a, buffer, sizeof buffer)) > 0;)
            e.data.append(buffer, n);
        entries << e;
    }
    if (status != ARCHIVE_EOF)
        *error = QString::fromUtf8(archive_error_string(a));
    archive_read_free(a);
    return entries;
}

struct HtmlPage {
    QString error;                      // the XML parser's complaint, if any
    QStringList pictures;               // img src, decoded
    QStringList links;                  // a href, decoded
    QStringList spans;                  // text of every span, in order
    QStringList sections;               // h2 texts
    int scripts = 0;
};

inline HtmlPage ReadHtml(const QByteArray &data)
{
    HtmlPage page;
    QXmlStreamReader xml(data);
    QString current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QString name = xml.name().toString();
            if (name == QStringLiteral("img"))
                page.pictures << QUrl::fromPercentEncoding(xml.attributes().value(QStringLiteral("src")).toUtf8());
            else if (name == QStringLiteral("a"))
                page.links << QUrl::fromPercentEncoding(xml.attributes().value(QStringLiteral("href")).toUtf8());
            else if (name == QStringLiteral("script"))
                ++page.scripts;
            else if (name == QStringLiteral("span"))
                page.spans << xml.readElementText();
            else if (name == QStringLiteral("h2"))
                page.sections << xml.readElementText();
        }
    }
    if (xml.hasError())
        page.error = xml.errorString() + QStringLiteral(" at line ") + QString::number(xml.lineNumber());
    return page;
}

} // namespace zorvak::test
