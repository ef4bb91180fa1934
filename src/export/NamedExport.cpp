#include "export/NamedExport.h"
#include "common/PathBytes.h"

#include "backup/MsnMap.h"
#include "browse/FolderExport.h"
#include "browse/FolderScan.h"
#include "browse/Recognition.h"
#include "common/Exceptions.h"
#include "common/ExportFolder.h"
#include "common/FileOps.h"
#include "export/NamedWriters.h"
#include "common/SafeName.h"
#include "export/SmileyStore.h"
#include "shell/SettingsFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QSet>
#include <functional>
#include <memory>

namespace zorvak::named {

namespace {

const exportfolder::TMarkerKind kMarkerKind{kMarkerFile, QByteArrayLiteral("zorvak named export\n")};

// One object found in a content folder, before it is written.
struct TFound {
    ContentType type;
    QString source;
    QString original;
    QString extension;
    const TObjectName *names = nullptr;
    qsizetype order = 0; // the map's order; files the map does not name come after, by name
};

// The store in `folder` (its smileys.xml, or none). One that cannot be read whole, or whose file
// is not a regular file, raises Exception: adding to it could lose what it holds.
TSmileyStore ReadStoreOf(const QString &folder)
{
    const QFileInfo pictures(QDir(folder).filePath(QLatin1String(kSmileyFolder)));
    if (pictures.isSymLink() || (pictures.exists() && !pictures.isDir()))
        throw Exception(QStringLiteral("The folder of the custom smileys is not a plain folder:\r") + pictures.filePath());
    const QString path = QDir(folder).filePath(QLatin1String(kSmileyStoreFile));
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    QFile file(path);
    if (info.isSymLink() || !fileops::IsRegularFile(path))
        throw Exception(QStringLiteral("The smiley store is not a regular file:\r") + path);
    if (info.size() > kMaxSmileyStoreBytes)
        throw Exception(QStringLiteral("The smiley store is too large to be read:\r") + path);
    if (!file.open(QIODevice::ReadOnly))
        throw EInOutError(QStringLiteral("Cannot read the smiley store:\r") + path + QStringLiteral("\r") + file.errorString());
    QString error;
    TSmileyStore store = ParseSmileyStore(file.read(kMaxSmileyStoreBytes + 1), &error);
    if (!error.isEmpty())
        throw Exception(QStringLiteral("The smiley store cannot be read, so nothing was added to it:\r") + path + QStringLiteral("\r") + error);
    return store;
}

// The lower-case hexadecimal SHA-1 of a file and its first four bytes; empty when it cannot be read.
QString Sha1Of(const QString &path, QByteArray *head = nullptr, QString *error = nullptr)
{
    QFile file(path);
    if (!fileops::IsRegularFile(path) || !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return {};
    }
    if (head)
        *head = file.peek(4);
    QCryptographicHash sha1(QCryptographicHash::Sha1);
    if (!sha1.addData(&file)) {
        if (error)
            *error = file.errorString();
        return {};
    }
    return QString::fromLatin1(sha1.result().toHex());
}

// Writes `data` to `path` whole or not at all, readable by its owner only when it is new.
bool WriteWhole(const QString &path, const QByteArray &data, QString *error)
{
    const bool existed = QFileInfo::exists(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    if (!existed)
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

// The custom emoticons added to the smiley store in `out`: each picture under its SHA-1 in
// custom_smiley/ (an identical file already there is kept), then smileys.xml written whole, the
// previous one kept as smileys.xml.bak. A shortcut the store or an earlier emoticon has, and a
// picture the store already holds, are left out: the store keys its entries by shortcut, and one
// picture has one entry since deleting an entry deletes its file.
void ExportToStore(const QList<TFound> &found, const TSmileyStore &existing, const QDir &out, TNamedExportResult &result,
                   const TProgress &progress, const std::function<void(const QString &)> &record)
{
    QSet<QString> shortcuts;
    QHash<QString, QString> pictures; // checksum or file name -> its shortcut, of the store and of this run
    for (const TStoreSmiley &smiley : existing.smileys) {
        if (!smiley.checksum.isEmpty())
            pictures.insert(smiley.checksum.toLower(), smiley.shortcut);
        if (!smiley.filename.isEmpty())
            pictures.insert(smiley.filename, smiley.shortcut);
    }
    const QString folder = QLatin1String(kSmileyFolder);
    const QString folderPath = out.filePath(folder);
    bool folderReady = false;
    QList<TStoreSmiley> added;
    const int total = int(found.size());
    int done = 0;
    for (const TFound &object : found) {
        if (progress)
            progress(done, total, object.original);
        ++done;
        const QString shortcut = object.names ? object.names->shortcut : QString();
        const QString name = object.names ? object.names->name : QString();
        const auto leaveOut = [&](const QString &reason) {
            result.leftOut.append({object.type, object.original, name, shortcut, reason});
        };
        if (shortcut.isEmpty()) {
            leaveOut(QStringLiteral("no shortcut"));
            continue;
        }
        if (!IsStorableShortcut(shortcut)) {
            leaveOut(QStringLiteral("the shortcut contains a line break or a control character"));
            continue;
        }
        if (existing.shortcuts.contains(shortcut)) {
            leaveOut(QStringLiteral("the store already has this shortcut"));
            continue;
        }
        if (shortcuts.contains(shortcut)) {
            leaveOut(QStringLiteral("another emoticon has the same shortcut"));
            continue;
        }
        QByteArray head;
        QString error;
        const QString checksum = Sha1Of(object.source, &head, &error);
        if (checksum.isEmpty()) {
            result.failures << object.original + QStringLiteral(": ") + error;
            continue;
        }
        const QString fileName = checksum + u'.' + SmileyExtension(head);
        const QString relative = folder + u'/' + fileName;
        if (const QString other = pictures.value(checksum, pictures.value(fileName)); pictures.contains(checksum) || pictures.contains(fileName)) {
            leaveOut(QStringLiteral("the same picture is already in the store, under the shortcut %1").arg(other));
            continue;
        }
        if (!folderReady) {
            const QFileInfo info(folderPath);
            if (!info.isSymLink() && !info.exists() && QDir().mkpath(folderPath))
                QFile::setPermissions(folderPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            folderReady = !QFileInfo(folderPath).isSymLink() && QFileInfo(folderPath).isDir();
        }
        if (!folderReady) {
            result.failures << relative + QStringLiteral(": cannot create the folder");
            continue;
        }
        const QString target = out.filePath(relative);
        const QFileInfo present(target);
        bool reused = false;
        if (present.exists() || present.isSymLink()) {
            if (present.isSymLink() || Sha1Of(target) != checksum) {
                result.failures << relative + QStringLiteral(": a different file already has this name");
                continue;
            }
            reused = true;
        } else if (!fileops::CopyFile(object.source, target, {fileops::IfExists::Refuse, true}, &error)) {
            result.failures << relative + QStringLiteral(": ") + error;
            continue;
        } else {
            record(relative);
        }
        shortcuts.insert(shortcut);
        pictures.insert(checksum, shortcut);
        added << TStoreSmiley{shortcut, checksum, fileName};
        TExportedObject exported;
        exported.type = object.type;
        exported.file = relative;
        exported.named = object.names != nullptr;
        exported.name = name;
        exported.shortcut = shortcut;
        exported.original = object.original;
        exported.size = QFileInfo(target).size();
        exported.modified = QFileInfo(object.source).lastModified().toUTC();
        exported.reused = reused;
        result.objects << exported;
    }

    // A store is left as it is when nothing is added to it; a new one is always written.
    if (added.isEmpty() && !existing.document.isEmpty())
        return;
    const QString storeName = QLatin1String(kSmileyStoreFile);
    const QByteArray merged = MergedSmileyStore(existing, added);
    // The document written must give back every entry it had and the new ones.
    QString error;
    const TSmileyStore check = ParseSmileyStore(merged, &error);
    bool whole = !merged.isEmpty() && error.isEmpty() && check.smileys.size() == existing.smileys.size() + added.size();
    for (const TStoreSmiley &smiley : existing.smileys)
        whole = whole && check.shortcuts.contains(smiley.shortcut);
    for (const TStoreSmiley &smiley : added)
        whole = whole && check.shortcuts.contains(smiley.shortcut);
    if (!whole) {
        result.failures << storeName + QStringLiteral(": the new store could not be made");
        return;
    }
    const QString path = out.filePath(storeName);
    if (!existing.document.isEmpty()) {
        // Another program may have rewritten the store meanwhile: its entries would be lost.
        QFile again(path);
        if (!again.open(QIODevice::ReadOnly) || again.read(kMaxSmileyStoreBytes + 1) != existing.document) {
            result.failures << storeName + QStringLiteral(": the store changed while the export ran; nothing was added to it");
            return;
        }
        const QString backup = out.filePath(QLatin1String(kSmileyStoreBackup));
        if (!WriteWhole(backup, existing.document, &error)) {
            result.failures << QLatin1String(kSmileyStoreBackup) + QStringLiteral(": ") + error;
            return;
        }
        result.storeBackup = backup;
    }
    if (!WriteWhole(path, merged, &error)) {
        result.failures << storeName + QStringLiteral(": ") + error;
        return;
    }
    record(storeName);
    result.store = path;
}

} // namespace

QString FormatName(TNamedFormat format)
{
    switch (format) {
    case TNamedFormat::Pidgin: return QStringLiteral("pidgin");
    case TNamedFormat::Html: return QStringLiteral("html");
    case TNamedFormat::PidginSmileys: return QStringLiteral("pidgin-smileys");
    case TNamedFormat::Folder: break;
    }
    return QStringLiteral("folder");
}

std::optional<TNamedFormat> FormatByName(const QString &name)
{
    for (TNamedFormat f : {TNamedFormat::Folder, TNamedFormat::Pidgin, TNamedFormat::Html, TNamedFormat::PidginSmileys})
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
    switch (exportfolder::OutputState(output, kMarkerKind)) {
    case exportfolder::TOutputState::NotFolder: return QStringLiteral("The output is not a folder:\r") + output;
    case exportfolder::TOutputState::Other:
        return QStringLiteral("The output folder is not empty and was not made by an export with names:\r") + output;
    default: return {};
    }
}

QString MergeRefusal(const QString &userFolder, const QString &folder)
{
    if (folder.trimmed().isEmpty())
        return QStringLiteral("No folder to merge into was given.");
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("The folder to merge into does not exist:\r") + folder;
    if (IsSameOrInside(folder, userFolder) || IsSameOrInside(userFolder, folder))
        return QStringLiteral("The folder to merge into must not lie inside the Messenger user folder nor hold it:\r") + folder;
    return {};
}

TNamedExportResult RunNamedExport(const TNamedExportRequest &request, const TProgress &progress)
{
    TNamedExportResult result;
    result.format = request.format;
    const bool store = request.format == TNamedFormat::PidginSmileys;
    const bool merge = !request.mergeInto.isEmpty();
    if (!fsys::IsDir(request.userFolder))
        throw Exception(QStringLiteral("Not a folder:\r") + EscapedPath(request.userFolder));
    if (merge && !store)
        throw Exception(QStringLiteral("Only Pidgin's custom smileys can be merged into an existing folder."));
    if (const QString refusal = merge ? MergeRefusal(request.userFolder, request.mergeInto) : OutputRefusal(request.userFolder, request.output);
        !refusal.isEmpty())
        throw Exception(refusal);
    result.output = QFileInfo(merge ? request.mergeInto : request.output).absoluteFilePath();
    // A store that cannot be read whole is left as it is, before anything is written.
    TSmileyStore existing;
    if (merge)
        existing = ReadStoreOf(result.output);

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
    if (request.format == TNamedFormat::Pidgin || store)
        types = {true, false, false, false, false, false};
    QList<TFound> found;
    const QDir user(request.userFolder);
    for (const ContentTypeInfo &info : ContentTypes) {
        if (!types[size_t(info.type)])
            continue;
        const QString folder = QFileInfo(user.filePath(Settings().Subdir(info.type))).absoluteFilePath() + u'/';
        QStringList entries;
        if (!fsys::IsDir(folder) || !fsys::Entries(folder, entries))
            continue;
        QList<TFound> ofType;
        for (const QString &entry : std::as_const(entries)) {
            const QString path = folder + entry;
            if (entry.compare(QLatin1String("map.dat"), Qt::CaseInsensitive) == 0 || fsys::IsSymLink(path)
                || !fileops::IsRegularFile(path))
                continue;
            const QString extension = RecognizeFile(path);
            if (extension.isEmpty())
                continue;
            // A name on disk that is not UTF-8 is the map's Windows-1252 name.
            const QString fileName = DisplayPath(entry);
            TFound object{info.type, path, fileName, extension};
            object.names = names.Find(info.type, fileName);
            object.order = object.names ? mapOrder.value(object.names) : names.All().size();
            if (object.names && !request.includeDefault
                && IsDefaultContent(object.names->name, qint32(qMin<qint64>(fsys::Size(path), INT32_MAX)), DefaultsOf(info.type))) {
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

    // Pidgin: a theme line is "<file> <shortcut>", the shortcut one word the reader can take.
    if (request.format == TNamedFormat::Pidgin) {
        QList<TFound> kept;
        for (const TFound &object : found) {
            const QString shortcut = object.names ? object.names->shortcut : QString();
            if (const QString reason = ThemeShortcutRefusal(shortcut); reason.isEmpty())
                kept << object;
            else
                result.leftOut.append({object.type, object.original, object.names ? object.names->name : QString(), shortcut, reason});
        }
        found = kept;
    }

    // A merge leaves no marker in someone's store and removes nothing from it.
    std::unique_ptr<exportfolder::TMarker> marker;
    if (!merge) {
        if (!QDir().mkpath(result.output))
            throw EInOutError(QStringLiteral("Cannot create the folder:\r") + result.output);
        exportfolder::RemoveEarlierExport(result.output, kMarkerKind);
        marker = std::make_unique<exportfolder::TMarker>(result.output, kMarkerKind);
        if (!marker->IsOpen())
            throw EInOutError(QStringLiteral("Cannot write into the folder:\r") + result.output);
    }
    const auto record = [&marker](const QString &relative) {
        if (marker)
            marker->Add(relative);
    };

    const QDir out(result.output);
    if (store) {
        // A store someone put into an earlier export's folder is added to like any other.
        if (!merge) {
            try {
                existing = ReadStoreOf(result.output);
            } catch (const Exception &e) {
                result.failures << e.Message();
                return result;
            }
        }
        ExportToStore(found, existing, out, result, progress, record);
        if (progress)
            progress(int(found.size()), int(found.size()), QString());
        return result;
    }

    const TSafeNameRules rules = request.format == TNamedFormat::Pidgin ? kThemeNameRules : TSafeNameRules{};
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
        record(relative);
        const QFileInfo written(out.filePath(relative));
        TExportedObject exported;
        exported.type = object.type;
        exported.file = relative;
        exported.named = object.names != nullptr;
        exported.name = exported.named ? object.names->name : object.original;
        exported.shortcut = exported.named ? object.names->shortcut : QString();
        exported.original = object.original;
        exported.size = written.size();
        exported.modified = fsys::Modified(object.source).toUTC();
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
            record(relative);
    };
    switch (request.format) {
    case TNamedFormat::Folder: writeFile(QStringLiteral("index.tsv"), IndexTsv(result)); break;
    case TNamedFormat::Html: writeFile(QStringLiteral("index.html"), IndexHtml(result, request.email)); break;
    case TNamedFormat::PidginSmileys: break; // written above
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
            record(archive);
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
