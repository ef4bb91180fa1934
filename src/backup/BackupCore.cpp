#include "backup/BackupCore.h"

#include "backup/MapFileCrypt.h"
#include "browse/EmailId.h"
#include "browse/Recognition.h"
#include "cabinet/CabinetTasks.h"
#include "common/Exceptions.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "shell/unitCustomDlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zorvak {

namespace {

void LetMessagesRun() { QCoreApplication::processEvents(); }

bool AllDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (!IsDigit(c))
            return false;
    return true;
}

QString WithoutSeparator(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

QString LastElement(const QString &path)
{
    const QString p = WithoutSeparator(path);
    return p.mid(p.lastIndexOf(QLatin1Char('/')) + 1);
}

// A map names a file of its own folder; a name with a path in it is not followed elsewhere.
bool IsPlainFileName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
           && name != QLatin1String(".") && name != QLatin1String("..");
}

int CountFiles(const QString &folder)
{
    const QDir dir(folder);
    if (!dir.exists())
        return -1;
    return int(dir.entryList(QDir::Files | QDir::Hidden | QDir::System).size());
}

// Copies a file, refusing to replace an existing target (the system's fail-if-exists copy). The
// copy keeps the source's modification time. No sync to disk: a backup copies thousands of files.
bool CopyFileNew(const QString &source, const QString &target, QString *reason)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        *reason = in.errorString();
        return false;
    }
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        *reason = out.errorString();
        return false;
    }
    char buffer[65536];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0 || (n > 0 && out.write(buffer, n) != n)) {
            *reason = n < 0 ? in.errorString() : out.errorString();
            out.close();
            out.remove();
            return false;
        }
        if (n == 0)
            break;
    }
    out.setFileTime(QFileInfo(source).lastModified(), QFileDevice::FileModificationTime);
    return true;
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

void TBackupHost::ShowResult(const QString &file) { Platform::Get().ShowInFileManager(file); }

TBackupCore::TBackupCore(TBackupHost &host) : DecryptMap(&DecryptMapFile), m_host(host)
{
    // MSZIP, the component's default; an existing cabinet is replaced by the new one.
    PackFolder = [](const QString &folder, const QString &cabinet, bool keepExisting) {
        TCABFile cab;
        cab.CompressionType = typMSZIP;
        return zorvak::PackFolder(cab, folder, cabinet, keepExisting);
    };
    for (TMsnArr &list : Items)
        list = NewMsnArr();
}

QString TBackupCore::TmpDir() const
{
    return WorkDir.isEmpty() ? Platform::Get().AppDir() + QStringLiteral("~tmp/") : WorkDir;
}

QString TBackupCore::ReadContentMap(const QString &folder, const QString &email)
{
    const QString mapDat = WithSeparator(folder) + QStringLiteral("map.dat");
    if (!QFileInfo(mapDat).isFile()) {
        LangMessageDlg(QStringLiteral("File not found:\r") + mapDat, TMsgDlgType::mtError, mbOK);
        return {};
    }
    const QString pointer = DecryptMap(mapDat, edEmail);
    const QString location = MsnObjectLocation(pointer);
    if (location.isEmpty()) {
        LangMessageDlg(QStringLiteral("Failed to find \"Location\" in MSN Object XML:\r") + pointer,
                       TMsgDlgType::mtError, mbOK);
        return {};
    }
    const QString parent = QFileInfo(WithoutSeparator(folder)).absolutePath();
    const QString mapPath = WithSeparator(parent) + QStringLiteral("MapFile/") + location;
    if (!IsPlainFileName(location) || !QFileInfo(mapPath).isFile()) {
        LangMessageDlg(QStringLiteral("Failed to find map file:\r") + mapPath, TMsgDlgType::mtError, mbOK);
        return {};
    }
    return DecryptMap(mapPath, email);
}

void TBackupCore::DoBackupContent(TMsnArr &items, const QString &subFolder, const TDefaultTable &defaults,
                                  const QString &displayName, const QString &email)
{
    ShowStatusHint(FormatText(Lang("Retrieving"), {displayName}), -1, -1, 0);
    LetMessagesRun();
    if (CancelRequested) {
        HideStatusHint();
        return;
    }
    const QString folder = edDir + subFolder;
    if (!QFileInfo(folder).isDir()) {
        PlainMessageBox(FormatText(Lang("DirNotFound"), {folder}) + QStringLiteral("\r\r")
                        + StripAmpersands(Lang("BackupCheckSettings")));
        HideStatusHint();
        return;
    }
    const QString nothing = displayName + QStringLiteral(": ") + Lang("NoFile2backup");
    if (CountFiles(folder) <= 1) {
        HideStatusHint();
        LangMessageDlg(nothing, TMsgDlgType::mtInformation, mbOK);
        return;
    }
    const QString map = ReadContentMap(folder, email);
    if (memDecryptedVisible)
        m_host.DecryptedText(map);

    const ContentTypeInfo *type = nullptr;
    for (const ContentTypeInfo &info : ContentTypes)
        if (displayName == Lang(info.code)) {
            type = &info;
            break;
        }
    if (!type)
        throw Exception(QStringLiteral("Error in procedure DoBackupContent: name \"") + displayName
                        + QStringLiteral("\" not handled."));
    items = ParseContentMap(type->type, map, chSkipDefault);
    if (items->isEmpty()) {
        HideStatusHint();
        LangMessageDlg(nothing, TMsgDlgType::mtInformation, mbOK);
        return;
    }
    CopyObjects(items, subFolder);
    LetMessagesRun();
    if (CancelRequested) {
        HideStatusHint();
        return;
    }
    if (chConfirm)
        ConfirmItems(displayName, items, defaults);
    HideStatusHint();
}

bool TBackupCore::CopyObjects(TMsnArr &items, const QString &subFolder)
{
    const QString tmp = TmpDir();
    for (TMsnStuff &item : *items) {
        LetMessagesRun();
        if (CancelRequested)
            return false;
        if (!IsPlainFileName(item.Location))
            continue;
        const QString source = edDir + subFolder + QLatin1Char('/') + item.Location;
        const QString ext = RecognizeFile(source);
        if (ext.isEmpty())
            continue;
        const QString name = ReplaceExtension(item.Location, ext);
        QString target = tmp + name;
        if (QFileInfo::exists(target)) {
            const QString base = name.left(name.size() - ext.size());
            for (int n = 1;; ++n) {
                target = tmp + base + QLatin1Char('[') + QString::number(n) + QLatin1Char(']') + ext;
                if (!QFileInfo::exists(target))
                    break;
            }
        }
        QString reason;
        if (CopyFileNew(source, target, &reason)) {
            ++ItemCount;
        } else {
            const QString text = QStringLiteral("Failed to copy\r") + source + QStringLiteral("\rto\r") + target
                                 + QStringLiteral("\r\r") + reason + QStringLiteral("\r\r")
                                 + QStringLiteral("Click OK to continue, or Cancel to terminate the process.");
            if (m_host.Ask(TBackupQuestion::CopyFailed, text, TMsgDlgType::mtError, mbOK | mbCancel) == mrCancel) {
                CancelRequested = true;
                return false;
            }
        }
        item.Location = QFileInfo(target).fileName();
        item.MimeType = MimeTypeOf(ext);
    }
    return true;
}

void TBackupCore::ConfirmItems(const QString &displayName, const TMsnArr &items, const TDefaultTable &defaults)
{
    HideStatusHint();
    const int result = m_host.ConfirmItems(displayName, items, defaults, ConfirmedTotal);
    if (result == -1)
        CancelRequested = true;
    else
        ConfirmedTotal += result - 1;
}

void TBackupCore::btStartMouseUp(bool altHeld)
{
    if (m_running)
        return;
    m_running = true;
    Finally done{[this] { m_running = false; }};
    Run(altHeld);
}

void TBackupCore::Run(bool altHeld)
{
    // 1.-2.
    CancelRequested = false;
    m_host.RunStateChanged(true);
    Finally last{[this] {
        m_host.RunStateChanged(false);
        HideStatusHint();
        if (CancelRequested)
            PlainMessageBox(QStringLiteral("User cancelled."));
    }};
    if (altHeld)
        memDecryptedVisible = true;

    // 3. the e-mail address against the user folder
    const QString folderName = LastElement(edDir);
    if (EmailToId(edEmail) != folderName) {
        if (m_host.Ask(TBackupQuestion::EmailNotMatch, FormatText(Lang("EmailNotMatch"), {edEmail, folderName}),
                       TMsgDlgType::mtWarning, mbOK | mbCancel)
            != mrOk)
            return;
    }
    // 4.-5. an existing output
    const QString out = edOutput;
    if (!OutputChosen && OutputExists(out)) {
        if (m_host.Ask(TBackupQuestion::Overwrite, FormatText(Lang("Overwrite"), {out}), TMsgDlgType::mtConfirmation,
                       mbYes | mbCancel)
            != mrYes)
            return;
    }
    OutputChosen = false;
    // 6.-7.
    edDir = WithSeparator(edDir);
    const QString tmp = TmpDir();
    QDir(tmp).removeRecursively();
    if (!QDir().mkpath(tmp)) {
        LangMessageDlg(Lang("FailTmpDir"), TMsgDlgType::mtError, mbOK);
        return;
    }
    // 8.-9. collection
    ItemCount = 0;
    ConfirmedTotal = 0;
    for (const ContentTypeInfo &info : ContentTypes) {
        const int index = int(info.type);
        if (!Ticked[size_t(index)])
            continue;
        DoBackupContent(Items[size_t(index)], Settings().Subdir(info.type), DefaultsOf(info.type), Lang(info.code),
                        edEmail);
    }
    // 10.-11.
    LetMessagesRun();
    if (CancelRequested)
        return;
    if (ItemCount == 0) {
        PlainMessageBox(Lang("NoFilesToCab"));
        return;
    }
    // 12. names: folder + base + "%s" + ext
    ItemCount = 0;
    ShowStatusHint(Lang("GeneratingCab"), -1, -1, 0);
    LetMessagesRun();
    const QFileInfo outInfo(out);
    const QString outName = outInfo.fileName();
    const QString ext = ExtractFileExt(outName);
    const QString base = outName.left(outName.size() - ext.size());
    const QString folder = WithSeparator(outInfo.path());
    auto partName = [&](const QString &part) { return folder + base + part + ext; };

    // 13. the parts
    QList<QPair<QString, int>> packed;
    int n = 1;
    for (;; ++n) {
        LetMessagesRun();
        if (CancelRequested)
            return;
        const QString partDir = tmp + QString::number(n) + QLatin1Char('/');
        if (!QDir().mkpath(partDir))
            throw EInOutError(QStringLiteral("Unable to create directory ") + partDir);
        PartCount = 0;
        const bool written = WriteManifest(partDir);
        ItemCount += PartCount;
        if (ItemCount == 0) {
            HideStatusHint();
            PlainMessageBox(Lang("NoFilesToCab"));
            return;
        }
        if (PartCount == 0) {
            --n;
            break;
        }
        if (!written) {
            HideStatusHint();
            LangMessageDlg(QStringLiteral("Failed generating content.xml"), TMsgDlgType::mtError, mbOK);
            return;
        }
        const QString cabinet = n == 1 ? out : partName(QStringLiteral("-part") + QString::number(n));
        if (PackFolder && PackFolder(partDir, cabinet, true))
            packed.append({cabinet, PartCount});
        else
            LangMessageDlg(QStringLiteral("Error compressing files into ") + QFileInfo(cabinet).fileName(),
                           TMsgDlgType::mtError, mbOK);
        if (PartCount < MaxItemsPerPart)
            break;
    }
    // 14. the first part's final name
    const QString part1 = partName(QStringLiteral("-part1"));
    if (n > 1) {
        if (QFileInfo::exists(part1))
            QFile::remove(part1);
        QFile::rename(out, part1);
    }
    for (const auto &[cabinet, items] : packed)
        m_host.PackageWritten(cabinet == out && n > 1 ? part1 : cabinet, items);
    // 15.-17.
    HideStatusHint();
    if (n == 1) {
        if (m_host.Ask(TBackupQuestion::ViewResult, FormatText(Lang("PackedNFiles"), {ItemCount, outName}),
                       TMsgDlgType::mtConfirmation, mbYes | mbNo)
            == mrYes)
            m_host.ShowResult(out);
    } else {
        const QString pattern = QFileInfo(partName(QStringLiteral("*"))).fileName();
        if (m_host.Ask(TBackupQuestion::ViewResult, FormatText(Lang("PackedNCabs"), {ItemCount, n, pattern}),
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

TFolderChoice ChooseFolder(const QString &path)
{
    TFolderChoice choice;
    choice.dir = path;
    const QString p = WithoutSeparator(path);
    const QString name = LastElement(p);
    if (AllDigits(name)) {
        choice.ticked.fill(true);
        choice.folderId = name;
        return choice;
    }
    const QString parent = QFileInfo(p).path();
    const QString parentName = LastElement(parent);
    if (AllDigits(parentName)) {
        choice.dir = WithSeparator(parent);
        for (const ContentTypeInfo &info : ContentTypes)
            if (Settings().Subdir(info.type) == name) {
                choice.ticked[size_t(info.type)] = true;
                break;
            }
        choice.folderId = parentName;
    }
    return choice;
}

} // namespace zorvak
