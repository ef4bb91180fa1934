#pragma once
// Readers of what the named export writes, independent of the writer: a smiley theme file, the
// listing of a .tar.gz (libarchive), and the pictures and texts of index.html (QXmlStreamReader).
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
    QMap<QString, QString> header;            // Name=, Description=, Icon=, Author=
    QList<QPair<QString, QStringList>> lines; // [default]: picture file, its shortcuts
    QString error;
};

// A theme file as a smiley-theme reader sees it: "key=value" lines before the first section, then
// in "[default]" one picture a line, its file name the first space-delimited word and the
// shortcuts the others; empty lines and "#" comments are skipped.
inline ThemeFile ReadThemeFile(const QByteArray &data)
{
    ThemeFile theme;
    QString section;
    for (const QString &line : QString::fromUtf8(data).split(u'\n')) {
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            section = line.trimmed();
            continue;
        }
        if (section.isEmpty()) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq <= 0)
                theme.error = QStringLiteral("header line without '=': ") + line;
            else
                theme.header.insert(line.left(eq), line.mid(eq + 1));
        } else if (section == QStringLiteral("[default]")) {
            QStringList words = line.split(u' ', Qt::SkipEmptyParts);
            const QString file = words.takeFirst();
            theme.lines.append({file, words});
        }
    }
    return theme;
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
