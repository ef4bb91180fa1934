#pragma once
// The files of the named export's layouts besides the objects themselves: index.tsv, index.html,
// the smiley theme's "theme" file and its .tar.gz. Internal to the named export.
#include "export/NamedExport.h"

#include <QByteArray>
#include <QDir>
#include <QString>

namespace zorvak::named {

// The sub-folder of a content type in the Folder and Html layouts ("Emoticons", "Winks", ...).
const char *TypeFolderName(ContentType type);
// The human name of a content type in the export's own files.
const char *TypeTitle(ContentType type);
// The theme folder's name: "emoticons-<user folder name>", safe and without spaces, numbered when
// `output` already holds something of that name (or its .tar.gz).
QString ThemeFolderName(const QString &userFolder, const QDir &output);

QByteArray IndexTsv(const TNamedExportResult &result);
// An XHTML page (well-formed XML, every value escaped, every link percent-encoded); empty if it
// could not be written.
QByteArray IndexHtml(const TNamedExportResult &result, const QString &email);
// The "theme" file, written for Pidgin 2's reader: lines of at most kThemeLineBytes bytes, line
// break included; a header line per value; then one line per picture, its file name (SafeName's
// kThemeNameRules) and its shortcut (ThemeShortcut).
QByteArray ThemeFile(const TNamedExportResult &result, const QString &userFolder, const QString &email);
inline constexpr int kThemeLineBytes = 255;
// Why `shortcut` cannot stand in a smiley theme (no shortcut, a line break or another control
// character, longer than the reader's kThemeWordBytes), or empty when it can.
QString ThemeShortcutRefusal(const QString &shortcut);
// `shortcut` as a theme word: every backslash and space preceded by a backslash.
QString ThemeShortcut(const QString &shortcut);
// Writes `folder` of `output` (a flat folder) as a gzip-compressed tar to `path`, the folder as
// its top entry. The archive is complete or not there.
bool WriteTarGz(const QString &path, const QDir &output, const QString &folder, QString *error);

} // namespace zorvak::named
