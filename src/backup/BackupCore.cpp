#include "backup/BackupCore.h"
#include "common/PathBytes.h"
#include "backup/ContentNames.h"
#include "backup/StoreBackup.h"

#include "dpapi/MapFileCrypt.h"
#include "common/EmailId.h"
#include "browse/FolderExport.h"
#include "browse/ObjectStore.h"
#include "browse/Recognition.h"
#include "cabinet/CabinetTasks.h"
#include "common/Exceptions.h"
#include "common/FileOps.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "shell/unitCustomDlg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zorvak {

namespace {

// The number of files (hidden and system ones included, folders not) directly in a content
// folder; -1 when the folder does not exist. Messenger keeps its map.dat there, so a folder with
// one file holds nothing to back up.
int CountFolderFiles(const QString &folder)
{
    QStringList names;
    if (!fsys::IsDir(folder) || !fsys::Entries(folder, names))
        return -1;
    const QString base = WithSeparator(folder);
    return int(std::count_if(names.cbegin(), names.cend(), [&base](const QString &n) { return fsys::IsFile(base + n); }));
}

QString NameList(const QStringList &paths)
{
    QStringList names;
    for (const QString &path : paths)
        names << QFileInfo(path).fileName();
    return names.join(QStringLiteral(", "));
}

// The name of part n of `output`: folder + base + "-partN" + ext; n < 0 gives the pattern "*"
// in place of "-partN".
QString PartName(const QString &output, int n)
{
    const QFileInfo info(output);
    const QString name = info.fileName();
    const QString ext = ExtractFileExt(name);
    const QString part = n < 0 ? QStringLiteral("*") : QStringLiteral("-part") + QString::number(n);
    return WithSeparator(info.path()) + name.left(name.size() - ext.size()) + part + ext;
}

// Runs `last` when leaving the scope, also by an error.
template <typename F> struct Finally {
    F f;
    ~Finally() { f(); }
};
template <typename F> Finally(F) -> Finally<F>;
} // namespace

int TBackupHost::Ask(TBackupQuestion, const QString &text, TMsgDlgType type, TMsgDlgButtons buttons)
{
    return LangMessageDlg(text, type, buttons);
}

void TBackupHost::Tell(const QString &text) { PlainMessageBox(text); }

void TBackupHost::ShowResult(const QString &file) { Platform::Get().ShowInFileManager(file); }

QString FindObjectFile(const QString &folder, const QString &name)
{
    const QDir dir(folder);
    if (fsys::Exists(dir.filePath(name)))
        return dir.filePath(name);
    // Letter case ignored; a name on disk that is not UTF-8 matches the map's name as
    // Windows-1252 text ("caf\xe9" is the map's "café").
    QString found;
    QStringList entries;
    fsys::Entries(folder, entries);
    for (const QString &entry : std::as_const(entries)) {
        if (!fsys::IsFile(dir.filePath(entry))
            || (entry.compare(name, Qt::CaseInsensitive) != 0 && DisplayPath(entry).compare(name, Qt::CaseInsensitive) != 0))
            continue;
        if (!found.isEmpty())
            return {}; // several names differ only in letter case: none is the one
        found = dir.filePath(entry);
    }
    return found;
}

TBackupCore::TBackupCore(TBackupHost &host) : DecryptMap(&DecryptMapFile), m_host(host)
{
    // MSZIP, the component's default; an existing cabinet is replaced by the new one.
    PackFolder = [this](const QString &folder, const QString &cabinet, bool keepExisting) {
        TCABFile cab;
        cab.CompressionType = typMSZIP;
        // A failed write shows the system's text before the packing error.
        cab.OnIOError = [this](TCABFile *, const QString &message) {
            m_host.Ask(TBackupQuestion::Error, message, TMsgDlgType::mtWarning, mbOK);
        };
        return zorvak::PackFolder(cab, folder, cabinet, keepExisting);
    };
    for (TMsnArr &list : Items)
        list = NewMsnArr();
}

QString TBackupCore::TmpDir() const
{
    return Request.workDir.isEmpty() ? Platform::Get().AppDir() + QStringLiteral("~tmp/") : Request.workDir;
}

QString TBackupCore::ReadContentMap(const QString &folder)
{
    QString error;
    const QString map = ReadContentMapText(folder, Request.email, Request.key, DecryptMap, error);
    if (!error.isEmpty())
        m_host.Ask(TBackupQuestion::Error, error, TMsgDlgType::mtError, mbOK);
    return map;
}

void TBackupCore::DoBackupStore(ContentType type, const QString &displayName)
{
    TMsnArr &items = Items[size_t(type)];
    const QString kind = objstore::KindFolder(objstore::StoreFolderOf(Request.folder), type);
    items = kind.isEmpty() ? NewMsnArr() : StoreItems(type, kind, Request.skipDefault);
    if (items->isEmpty()) {
        Idle();
        m_host.Ask(TBackupQuestion::Information, WithColon(displayName) + QLatin1Char(' ') + Lang("NoFile2backup"),
                   TMsgDlgType::mtInformation, mbOK);
        return;
    }
    // The kind folder as a path below the account folder, as CopyObjects takes it.
    CollectAndConfirm(type, items, WithoutTrailingSeparators(kind.mid(Request.folder.size())));
}

void TBackupCore::DoBackupContent(ContentType type)
{
    const QString displayName = Lang(InfoOf(type).code);
    int done = 0, total = 0;
    for (const ContentTypeInfo &info : ContentTypes)
        if (Request.types[size_t(info.type)]) {
            ++total;
            done += int(info.type) < int(type) ? 1 : 0;
        }
    m_host.Progress(TBackupStage::Collecting, done, total, displayName);
    if (Cancelled()) {
        Idle();
        return;
    }
    if (m_store)
        DoBackupStore(type, displayName);
    else
        DoBackupMapped(type, displayName);
}

void TBackupCore::DoBackupMapped(ContentType type, const QString &displayName)
{
    TMsnArr &items = Items[size_t(type)];
    const QString subFolder = Settings().Subdir(type);
    const QString folder = Request.folder + subFolder;
    if (!fsys::IsDir(folder)) {
        m_host.Tell(FormatText(Lang("DirNotFound"), {DisplayPath(folder)}) + QStringLiteral("\r\r")
                    + StripAmpersands(Lang("BackupCheckSettings")));
        Idle();
        return;
    }
    const QString nothing = WithColon(displayName) + QLatin1Char(' ') + Lang("NoFile2backup");
    if (CountFolderFiles(folder) <= 1) {
        Idle();
        m_host.Ask(TBackupQuestion::Information, nothing, TMsgDlgType::mtInformation, mbOK);
        return;
    }
    const QString map = ReadContentMap(folder);
    if (Request.showDecrypted)
        m_host.DecryptedText(map);

    QStringList dropped;
    items = ParseContentMap(type, map, Request.skipDefault, &dropped);
    if (!dropped.isEmpty())
        m_host.Ask(TBackupQuestion::Notice, FormatText(Lang("UnsafeLocations"), {displayName, dropped.join(u'\r')}),
                   TMsgDlgType::mtWarning, mbOK);
    if (items->isEmpty()) {
        Idle();
        m_host.Ask(TBackupQuestion::Information, nothing, TMsgDlgType::mtInformation, mbOK);
        return;
    }
    CollectAndConfirm(type, items, subFolder);
}

void TBackupCore::CollectAndConfirm(ContentType type, TMsnArr &items, const QString &subFolder)
{
    CopyObjects(items, subFolder);
    if (Cancelled()) {
        Idle();
        return;
    }
    if (Request.confirm)
        ConfirmItems(type, items);
    Idle();
}

bool TBackupCore::CopyObjects(TMsnArr &items, const QString &subFolder)
{
    const QString tmp = TmpDir();
    const QString folder = Request.folder + subFolder + QLatin1Char('/');
    for (TMsnStuff &item : *items) {
        if (Cancelled())
            return false;
        if (!IsSafeObjectName(item.Location))
            continue;
        const QString found = FindObjectFile(folder, item.Location);
        const QString source = found.isEmpty() ? folder + item.Location : found;
        if (!fileops::IsRegularFile(source))
            continue;
        const QString ext = RecognizeFile(source);
        if (ext.isEmpty())
            continue;
        const QString name = SafeFileName(ReplaceExtension(DisplayPath(item.Location), ext));
        QString target = tmp + name;
        if (fsys::Exists(target)) {
            const QString base = name.left(name.size() - ext.size());
            for (int n = 1;; ++n) {
                target = tmp + base + QLatin1Char('[') + QString::number(n) + QLatin1Char(']') + ext;
                if (!fsys::Exists(target))
                    break;
            }
        }
        // Never replaces: a name taken meanwhile fails the copy instead. The copy keeps the
        // object's date; no sync to disk, a backup copies thousands of files.
        QString reason;
        if (fileops::CopyFile(source, target, {fileops::IfExists::Refuse, true}, &reason)) {
            ++m_result.items;
        } else {
            const QString text = QStringLiteral("Failed to copy\r") + source + QStringLiteral("\rto\r") + target
                                 + QStringLiteral("\r\r") + reason + QStringLiteral("\r\r")
                                 + QStringLiteral("Click OK to continue, or Cancel to terminate the process.");
            if (m_host.Ask(TBackupQuestion::CopyFailed, text, TMsgDlgType::mtError, mbOK | mbCancel) == mrCancel) {
                m_cancelled = true;
                return false;
            }
        }
        item.Location = QFileInfo(target).fileName();
        item.MimeType = MimeTypeOf(ext);
    }
    return true;
}

void TBackupCore::ConfirmItems(ContentType type, const TMsnArr &items)
{
    Idle();
    const std::optional<int> kept =
        m_host.ConfirmItems(type, Lang(InfoOf(type).code), items, DefaultsOf(type), m_result.confirmed);
    if (!kept)
        m_cancelled = true;
    else
        m_result.confirmed += *kept;
}

bool TBackupCore::Cancelled()
{
    if (!m_cancelled && m_host.Poll())
        m_cancelled = true;
    return m_cancelled;
}

TBackupResult TBackupCore::Run(const TBackupRequest &request)
{
    if (m_running)
        return m_result;
    m_running = true;
    Finally done{[this] { m_running = false; }};
    Request = request;
    RunSteps();
    return m_result;
}

void TBackupCore::RunSteps()
{
    // A fresh start: the Cancel button shows until the run ends, whichever way it ends.
    m_cancelled = false;
    m_result = {};
    m_packed.clear();
    m_host.RunStateChanged(true);
    Finally last{[this] {
        m_host.RunStateChanged(false);
        Idle();
        if (m_cancelled)
            m_host.Tell(Lang("Cancelled"));
    }};

    // The e-mail address must give the user folder's ID, or the maps cannot be decrypted. An
    // ObjectStore account has no map: nothing to decrypt, nothing to check.
    const std::optional<objstore::TStorePlace> place = objstore::PlaceOf(Request.folder);
    m_store = place && place->account == WithSeparator(QDir::cleanPath(Request.folder));
    const QString folderName = LastPathElement(Request.folder);
    if (!m_store && EmailToId(Request.email) != folderName) {
        if (m_host.Ask(TBackupQuestion::EmailNotMatch,
                       FormatText(Lang("EmailNotMatch"), {Request.email, folderName}), TMsgDlgType::mtWarning,
                       mbOK | mbCancel)
            != mrOk)
            return;
    }
    // An existing output (or one of its parts) is replaced only when the user agrees.
    const QString out = Request.output;
    if (!Request.outputChosen && OutputExists(out)) {
        if (m_host.Ask(TBackupQuestion::Overwrite, FormatText(Lang("Overwrite"), {out}),
                       TMsgDlgType::mtConfirmation, mbYes | mbCancel)
            != mrYes)
            return;
    }
    m_result.outputChecked = true;
    // A clean work folder.
    Request.folder = WithSeparator(Request.folder);
    const QString tmp = TmpDir();
    QDir(tmp).removeRecursively();
    if (!QDir().mkpath(tmp)) {
        m_host.Ask(TBackupQuestion::Error, Lang("FailTmpDir"), TMsgDlgType::mtError, mbOK);
        return;
    }
    // Collection of each ticked content type into the work folder.
    for (const ContentTypeInfo &info : ContentTypes)
        if (Request.types[size_t(info.type)])
            DoBackupContent(info.type);
    if (Cancelled())
        return;
    if (m_result.items == 0) {
        m_host.Tell(Lang("NoFilesToCab"));
        return;
    }
    PackParts();
}

void TBackupCore::PackParts()
{
    const QString out = Request.output;
    const int total = m_result.items;
    m_result.items = 0;
    m_host.Progress(TBackupStage::Packing, 0, total, out);
    // One manifest and one package per part of at most MaxItemsPerPart items.
    int n = 1;
    for (;; ++n) {
        if (Cancelled())
            return;
        const int part = PackPart(n, n == 1 ? out : PartName(out, n), total);
        if (part < 0)
            return;
        if (part == 0) {
            --n;
            break;
        }
        if (part < MaxItemsPerPart)
            break;
    }
    Report(n);
}

int TBackupCore::PackPart(int n, const QString &cabinet, int total)
{
    const QString partDir = TmpDir() + QString::number(n) + QLatin1Char('/');
    if (!QDir().mkpath(partDir))
        throw EInOutError(QStringLiteral("Unable to create directory ") + partDir);
    int part = 0;
    const bool written = WriteManifest(partDir, part);
    m_result.items += part;
    if (m_result.items == 0) {
        Idle();
        m_host.Tell(Lang("NoFilesToCab"));
        return -1;
    }
    if (part == 0)
        return 0;
    if (!written) {
        Idle();
        m_host.Ask(TBackupQuestion::Error, QStringLiteral("Failed generating content.xml"), TMsgDlgType::mtError,
                   mbOK);
        return -1;
    }
    // A cabinet that cannot be written (refused or raised) fails this part only: the other
    // parts are still packed, and the report tells both.
    const int before = m_result.items - part;
    m_host.Progress(TBackupStage::Packing, before, total, cabinet);
    QString reason;
    bool ok = false;
    try {
        ok = PackFolder && PackFolder(partDir, cabinet, true);
    } catch (const std::exception &e) {
        reason = ExceptionMessage(e);
    }
    m_host.Progress(TBackupStage::Packing, m_result.items, total, cabinet);
    if (ok) {
        m_packed.append({cabinet, part});
    } else {
        m_result.failed << cabinet;
        m_host.Ask(TBackupQuestion::Error,
                   QStringLiteral("Error compressing files into ") + QFileInfo(cabinet).fileName()
                       + (reason.isEmpty() ? QString() : QStringLiteral("\r\r") + reason),
                   TMsgDlgType::mtError, mbOK);
    }
    return part;
}

void TBackupCore::Report(int parts)
{
    const QString out = Request.output;
    // With several parts the first one is named "-part1" too; only a package of this run is
    // renamed (when the first part failed, a file already at the output name is not ours).
    const QString part1 = PartName(out, 1);
    const bool firstPacked = !m_packed.isEmpty() && m_packed.first().first == out;
    if (parts > 1 && firstPacked) {
        if (QFileInfo::exists(part1))
            QFile::remove(part1);
        QFile::rename(out, part1);
    }
    int packedItems = 0;
    for (const auto &[cabinet, items] : m_packed) {
        const QString final = cabinet == out && parts > 1 ? part1 : cabinet;
        m_host.PackageWritten(final, items);
        packedItems += items;
        m_result.packages << final;
    }
    const QStringList &written = m_result.packages;
    // The report: what was written and, when a part failed, what was not.
    Idle();
    if (!m_result.failed.isEmpty()) {
        if (written.isEmpty()) {
            m_host.Ask(TBackupQuestion::Error, FormatText(Lang("PackedNone"), {NameList(m_result.failed)}),
                       TMsgDlgType::mtError, mbOK);
            return;
        }
        if (m_host.Ask(TBackupQuestion::ViewResult,
                       FormatText(Lang("PackedPartly"), {packedItems, NameList(written), NameList(m_result.failed)}),
                       TMsgDlgType::mtWarning, mbYes | mbNo)
            == mrYes)
            m_host.ShowResult(written.first());
        return;
    }
    if (parts == 1) {
        if (m_host.Ask(TBackupQuestion::ViewResult,
                       FormatText(Lang("PackedNFiles"), {m_result.items, QFileInfo(out).fileName()}),
                       TMsgDlgType::mtConfirmation, mbYes | mbNo)
            == mrYes)
            m_host.ShowResult(out);
    } else {
        const QString pattern = QFileInfo(PartName(out, -1)).fileName();
        if (m_host.Ask(TBackupQuestion::ViewResult, FormatText(Lang("PackedNCabs"), {m_result.items, parts, pattern}),
                       TMsgDlgType::mtInformation, mbYes | mbNo)
            == mrYes)
            m_host.ShowResult(part1);
    }
}

bool OutputExists(const QString &path)
{
    const QFileInfo info(path);
    if (info.isFile())
        return true;
    const QDir dir = info.dir();
    if (!dir.exists() || !dir.isReadable())
        return true;
    const QString name = info.fileName();
    const QString ext = ExtractFileExt(name);
    const QString base = name.left(name.size() - ext.size());
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &f : files)
        if (f.size() >= base.size() + ext.size() && f.startsWith(base, Qt::CaseInsensitive)
            && f.endsWith(ext, Qt::CaseInsensitive))
            return true;
    return false;
}

QString UniqueOutputName(const QString &path)
{
    const QFileInfo info(path);
    const QString ext = ExtractFileExt(info.fileName());
    const QString base = path.left(path.size() - ext.size());
    for (int n = 1;; ++n) {
        const QString candidate = base + QString::number(n) + ext;
        if (!OutputExists(candidate))
            return candidate;
    }
}

} // namespace zorvak
