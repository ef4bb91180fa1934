#include "browse/CachedPictures.h"

#include "browse/FolderExport.h"
#include "browse/unitFileFolderUtil.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/uLanguage.h"
#include "shell/unitCustomDlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zorvak {

namespace {

// Moves a file, also across file systems; an existing target is not replaced.
bool MoveFile(const QString &from, const QString &to)
{
    if (!QFileInfo::exists(from) || QFileInfo::exists(to))
        return false;
    return QFile::rename(from, to);
}

// Puts a parked Desktop.ini back. When that fails the parked copy is deleted only if the cache
// folder has a Desktop.ini again; otherwise it stays in AppDir rather than be lost.
void Unpark(const QString &parked, const QString &original)
{
    if (MoveFile(parked, original))
        return;
    if (QFileInfo::exists(original) || !QFileInfo::exists(QFileInfo(original).absolutePath()))
        QFile::remove(parked);
}

} // namespace

QString NumberedCopyName(const QString &folder, const QString &fileName)
{
    const QString base = WithSeparator(folder);
    if (!QFileInfo::exists(base + fileName))
        return fileName;
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot < 0 ? fileName : fileName.left(dot);
    const QString ext = dot < 0 ? QString() : fileName.mid(dot);
    for (int k = 1;; ++k) {
        const QString candidate = stem + QLatin1Char('[') + QString::number(k) + QLatin1Char(']') + ext;
        if (!QFileInfo::exists(base + candidate))
            return candidate;
    }
}

QString FindEntryIgnoringCase(const QString &folder, const QString &name)
{
    const QString base = WithSeparator(folder);
    if (QFileInfo::exists(base + name))
        return name;
    const QDir dir(base);
    const QStringList all = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &e : all)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return e;
    return name;
}

TCacheCollection CollectMsn75Cache(const QString &appDir)
{
    TCacheCollection result;
    result.scratch = appDir + QStringLiteral("~tmpCache");
    QString tif = Platform::Get().ShellFolder(QStringLiteral("Cache"));
    const bool known = !tif.isEmpty();
    if (!known)
        LangMessageDlg(QStringLiteral("Error: Could not get TIF folder from registry."), TMsgDlgType::mtError, mbOK);
    tif = WithSeparator(tif);

    const QString parked1 = appDir + QStringLiteral("Desktopini1");
    const QString parked2 = appDir + QStringLiteral("Desktopini2");
    const QString desktop1 = tif + FindEntryIgnoringCase(tif, QStringLiteral("Desktop.ini"));
    QFile::remove(parked1);
    // Without a known cache folder the lone separator stands for it; nothing is moved there.
    if (known)
        MoveFile(desktop1, parked1);

    const QString ie5 = tif + FindEntryIgnoringCase(tif, QStringLiteral("Content.IE5"));
    if (!known || !QFileInfo(ie5).isDir()) {
        Unpark(parked1, desktop1);
        LangMessageDlg(QStringLiteral("Error: Directory not found:\r") + tif + QStringLiteral("Content.IE5"),
                       TMsgDlgType::mtError, mbOK);
        return result;
    }
    const QString desktop2 = WithSeparator(ie5) + FindEntryIgnoringCase(ie5, QStringLiteral("Desktop.ini"));
    QFile::remove(parked2);
    MoveFile(desktop2, parked2);

    try {
        ShowStatusHint(CurrentLanguage().Get(QStringLiteral("GettingCached")) + QStringLiteral("..."));
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(); // draw the hint

        DeleteFolder(result.scratch, true);
        QDir().mkpath(result.scratch);

        const QStringList found = ListFiles(ie5, QStringLiteral("*.bin"), false, true, true);
        for (const QString &file : found) {
            const QString name = QFileInfo(file).fileName();
            const QString target = WithSeparator(result.scratch) + NumberedCopyName(result.scratch, name);
            if (!QFileInfo::exists(target) && CopyFileReplacing(file, target))
                ++result.copied;
        }
    } catch (...) {
        Unpark(parked2, desktop2);
        Unpark(parked1, desktop1);
        throw;
    }
    Unpark(parked2, desktop2);
    Unpark(parked1, desktop1);
    result.ok = true;
    return result;
}

QString FindWlmCache()
{
    const QString ls = Platform::Get().ShellFolder(QStringLiteral("Local Settings"));
    if (ls.isEmpty())
        LangMessageDlg(QStringLiteral("Error: Could not get Local Settings folder from registry."),
                       TMsgDlgType::mtError, mbOK);
    const QString folder = WithSeparator(ls) + QStringLiteral("Temp/MessengerCache/");
    if (!QFileInfo(folder).isDir()) {
        LangMessageDlg(FormatText(CurrentLanguage().Get(QStringLiteral("DirNotFound")), {folder}),
                       TMsgDlgType::mtError, mbOK);
        return {};
    }
    return folder;
}

} // namespace zorvak
