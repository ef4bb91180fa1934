#include "export/NamedExport.h"

#include "backup/MsnMap.h"
#include "browse/FolderExport.h"
#include "browse/FolderScan.h"
#include "browse/Recognition.h"
#include "common/Exceptions.h"
#include "common/FileOps.h"
#include "export/NamedWriters.h"
#include "common/SafeName.h"
#include "shell/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

namespace zorvak::named {

namespace {

const QByteArray kMarkerHeader = QByteArrayLiteral("zorvak named export\n");

// One object found in a content folder, before it is written.
struct TFound {
    ContentType type;
    QString source;
    QString original;
    QString extension;
    const TObjectName *names = nullptr;
    qsizetype order = 0; // the map's order; files the map does not name come after, by name
};

bool HasMarker(const QString &folder)
{
    QFile marker(QDir(folder).filePath(QLatin1String(kMarkerFile)));
    if (!fileops::IsRegularFile(marker.fileName()) || !marker.open(QIODevice::ReadOnly))
        return false;
    return marker.read(kMarkerHeader.size()) == kMarkerHeader;
}

// Removes the files an earlier export listed in its marker, and the folders they leave empty.
// Only plain relative paths inside the output folder are followed.
void RemoveEarlierExport(const QString &output)
{
    QFile marker(QDir(output).filePath(QLatin1String(kMarkerFile)));
    if (!marker.open(QIODevice::ReadOnly))
        return;
    const QByteArray data = marker.readAll();
    marker.close();
    if (!data.startsWith(kMarkerHeader))
        return;
    const QString root = QFileInfo(output).canonicalFilePath();
    QStringList folders;
    for (const QByteArray &line : data.mid(kMarkerHeader.size()).split('\n')) {
        const QString relative = QString::fromUtf8(line);
        if (relative.isEmpty() || relative.startsWith(u'/') || relative.contains(u'\\')
            || relative.split(u'/').contains(QStringLiteral("..")) || relative.split(u'/').contains(QStringLiteral(".")))
            continue;
        const QString path = root + u'/' + relative;
        const QFileInfo info(path);
        if (info.isSymLink() || !info.isFile())
            continue;
        // The folder holding it, links resolved, must be the output folder or inside it.
        const QString parent = QFileInfo(info.absolutePath()).canonicalFilePath();
        if (root.isEmpty() || (parent != root && !parent.startsWith(root + u'/')))
            continue;
        QFile::remove(parent + u'/' + info.fileName());
        if (parent != root && !folders.contains(parent))
            folders << parent;
    }
    for (const QString &folder : folders)
        QDir().rmdir(folder); // only when empty
    QFile::remove(marker.fileName());
}

// The marker, extended as each file is written, so that a run cut short is still recognised.
class TMarker {
public:
    explicit TMarker(const QString &output) : m_file(QDir(output).filePath(QLatin1String(kMarkerFile)))
    {
        if (m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            m_file.write(kMarkerHeader);
        m_file.flush();
    }
    bool IsOpen() const { return m_file.isOpen(); }
    void Add(const QString &relative)
    {
        m_file.write(relative.toUtf8() + '\n');
        m_file.flush();
    }

private:
    QFile m_file;
};

} // namespace

QString FormatName(TNamedFormat format)
{
    switch (format) {
    case TNamedFormat::Pidgin: return QStringLiteral("pidgin");
    case TNamedFormat::Html: return QStringLiteral("html");
    case TNamedFormat::Folder: break;
    }
    return QStringLiteral("folder");
}

std::optional<TNamedFormat> FormatByName(const QString &name)
{
    for (TNamedFormat f : {TNamedFormat::Folder, TNamedFormat::Pidgin, TNamedFormat::Html})
        if (FormatName(f) == name)
            return f;
    return std::nullopt;
}

QString TsvValue(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        default: out += c;
        }
    }
    return out;
}

QString OutputRefusal(const QString &userFolder, const QString &output)
{
    if (output.trimmed().isEmpty())
        return QStringLiteral("No output folder was given.");
    if (IsSameOrInside(output, userFolder))
        return QStringLiteral("The output folder must not lie inside the Messenger user folder:\r") + output;
    if (IsSameOrInside(userFolder, output))
        return QStringLiteral("The output folder must not hold the Messenger user folder:\r") + output;
    // A user folder (a Passport ID) sits in Messenger's own folder beside the other users': that
    // folder is Messenger's too.
    const QFileInfo user(QDir::cleanPath(QDir(userFolder).absolutePath()));
    if (IsAllDigits(user.fileName()) && IsSameOrInside(output, user.absolutePath()))
        return QStringLiteral("The output folder must not lie inside the Messenger folder:\r") + output;
    const QFileInfo info(output);
    if (info.exists() && !info.isDir())
        return QStringLiteral("The output is not a folder:\r") + output;
    if (info.isDir() && !QDir(output).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
        && !HasMarker(output))
        return QStringLiteral("The output folder is not empty and was not made by an export with names:\r") + output;
    return {};
}

TNamedExportResult RunNamedExport(const TNamedExportRequest &request, const TProgress &progress)
{
    TNamedExportResult result;
    result.format = request.format;
    if (!QFileInfo(request.userFolder).isDir())
        throw Exception(QStringLiteral("Not a folder:\r") + request.userFolder);
    if (const QString refusal = OutputRefusal(request.userFolder, request.output); !refusal.isEmpty())
        throw Exception(refusal);
    result.output = QFileInfo(request.output).absoluteFilePath();

    // Names first: a wrong password stops the run before anything is written.
    TContentNames names;
    result.credentials = request.key.has_value();
    if (request.key) {
        names = request.decrypt ? ReadContentNames(request.userFolder, request.email, *request.key, request.decrypt)
                                : ReadContentNames(request.userFolder, request.email, *request.key);
        result.problems = names.Problems;
    }
    QHash<const TObjectName *, qsizetype> mapOrder;
    for (qsizetype i = 0; i < names.All().size(); ++i)
        mapOrder.insert(&names.All()[i], i);

    // The objects of every chosen content folder.
    std::array<bool, 6> types = request.types;
    if (request.format == TNamedFormat::Pidgin)
        types = {true, false, false, false, false, false};
    QList<TFound> found;
    const QDir user(request.userFolder);
    for (const ContentTypeInfo &info : ContentTypes) {
        if (!types[size_t(info.type)])
            continue;
        const QDir folder(user.filePath(Settings().Subdir(info.type)));
        if (!folder.exists())
            continue;
        QList<TFound> ofType;
        const QFileInfoList files =
            folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks, QDir::Name);
        for (const QFileInfo &file : files) {
            if (file.fileName().compare(QLatin1String("map.dat"), Qt::CaseInsensitive) == 0
                || !fileops::IsRegularFile(file.absoluteFilePath()))
                continue;
            const QString extension = RecognizeFile(file.absoluteFilePath());
            if (extension.isEmpty())
                continue;
            TFound object{info.type, file.absoluteFilePath(), file.fileName(), extension};
            object.names = names.Find(info.type, file.fileName());
            object.order = object.names ? mapOrder.value(object.names) : names.All().size();
            if (object.names && !request.includeDefault
                && IsDefaultContent(object.names->name, qint32(qMin<qint64>(file.size(), INT32_MAX)), DefaultsOf(info.type))) {
                ++result.defaultsLeftOut;
                continue;
            }
            ofType << object;
        }
        std::stable_sort(ofType.begin(), ofType.end(), [](const TFound &a, const TFound &b) { return a.order < b.order; });
        if (!ofType.isEmpty() && !names.TypesRead.contains(info.type))
            result.unnamedTypes << info.type;
        found += ofType;
    }

    // Pidgin: a theme line is "<file> <shortcut>", so a shortcut needs to be one word.
    if (request.format == TNamedFormat::Pidgin) {
        QList<TFound> kept;
        for (const TFound &object : found) {
            const QString shortcut = object.names ? object.names->shortcut : QString();
            QString reason;
            if (shortcut.isEmpty())
                reason = QStringLiteral("no shortcut");
            else if (std::any_of(shortcut.begin(), shortcut.end(), [](QChar c) { return c.isSpace() || c.category() == QChar::Other_Control; }))
                reason = QStringLiteral("the shortcut contains a space");
            if (reason.isEmpty())
                kept << object;
            else
                result.leftOut.append({object.type, object.original, object.names ? object.names->name : QString(), shortcut, reason});
        }
        found = kept;
    }

    if (!QDir().mkpath(result.output))
        throw EInOutError(QStringLiteral("Cannot create the folder:\r") + result.output);
    RemoveEarlierExport(result.output);
    TMarker marker(result.output);
    if (!marker.IsOpen())
        throw EInOutError(QStringLiteral("Cannot write into the folder:\r") + result.output);

    const QDir out(result.output);
    const TSafeNameRules rules{request.format == TNamedFormat::Pidgin};
    QHash<QString, TNameSet> taken; // per sub-folder
    const auto folderOf = [&](ContentType type) {
        if (request.format == TNamedFormat::Pidgin) {
            if (result.theme.isEmpty())
                result.theme = ThemeFolderName(request.userFolder, out);
            return result.theme;
        }
        return QString::fromLatin1(TypeFolderName(type));
    };

    const int total = int(found.size());
    int done = 0;
    for (const TFound &object : found) {
        if (progress)
            progress(done, total, object.original);
        ++done;
        const QString sub = folderOf(object.type);
        if (!taken.contains(sub)) {
            TNameSet set;
            // Whatever the folder already holds stays: new names never meet it.
            for (const QString &existing : QDir(out.filePath(sub)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
                set.Insert(existing);
            taken.insert(sub, set);
        }
        // An object the map does not name, or whose name leaves nothing usable, is called by its
        // file name without the extension Messenger gave it (".dat", ".tmp").
        QString plain = QFileInfo(object.original).completeBaseName();
        if (plain.isEmpty())
            plain = object.original;
        const QString stem = object.names && !object.names->name.isEmpty() ? object.names->name : plain;
        const QString fileName = taken[sub].Claim(stem, object.extension, plain, rules);
        const QString relative = sub + u'/' + fileName;
        QString error;
        // A sub-folder that is a link (left in an earlier export's folder) could lead anywhere.
        if (QFileInfo(out.filePath(sub)).isSymLink() || !QDir().mkpath(out.filePath(sub))) {
            result.failures << relative + QStringLiteral(": cannot create the folder");
            continue;
        }
        if (!fileops::CopyFile(object.source, out.filePath(relative), {fileops::IfExists::Refuse, true}, &error)) {
            result.failures << relative + QStringLiteral(": ") + error;
            continue;
        }
        marker.Add(relative);
        const QFileInfo written(out.filePath(relative));
        TExportedObject exported;
        exported.type = object.type;
        exported.file = relative;
        exported.named = object.names != nullptr;
        exported.name = exported.named ? object.names->name : object.original;
        exported.shortcut = exported.named ? object.names->shortcut : QString();
        exported.original = object.original;
        exported.size = written.size();
        exported.modified = QFileInfo(object.source).lastModified().toUTC();
        result.objects << exported;
    }

    // The layout's own files.
    const auto writeFile = [&](const QString &relative, const QByteArray &data) {
        if (data.isEmpty()) {
            result.failures << relative + QStringLiteral(": its text could not be made");
            return;
        }
        QSaveFile file(out.filePath(relative));
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
            result.failures << relative + QStringLiteral(": ") + file.errorString();
        else
            marker.Add(relative);
    };
    switch (request.format) {
    case TNamedFormat::Folder: writeFile(QStringLiteral("index.tsv"), IndexTsv(result)); break;
    case TNamedFormat::Html: writeFile(QStringLiteral("index.html"), IndexHtml(result, request.email)); break;
    case TNamedFormat::Pidgin: {
        if (result.theme.isEmpty()) {
            result.theme = ThemeFolderName(request.userFolder, out);
            QDir().mkpath(out.filePath(result.theme));
        }
        writeFile(result.theme + QStringLiteral("/theme"), ThemeFile(result, request.userFolder, request.email));
        const QString archive = result.theme + QStringLiteral(".tar.gz");
        QString error;
        if (WriteTarGz(out.filePath(archive), out, result.theme, &error)) {
            result.archive = out.filePath(archive);
            marker.Add(archive);
        }
        else
            result.failures << archive + QStringLiteral(": ") + error;
        break;
    }
    }
    if (progress)
        progress(total, total, QString());
    return result;
}

} // namespace zorvak::named
