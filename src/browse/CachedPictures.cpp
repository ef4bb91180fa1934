#include "browse/CachedPictures.h"

#include "common/FileOps.h"
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

namespace {
// `base` followed by the relative path `rel`, each existing component matched without regard to
// letter case.
QString ResolveIgnoringCase(const QString &base, const QString &rel)
{
    QString path = WithSeparator(base);
    const QStringList parts = rel.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (int i = 0; i < parts.size(); ++i)
        path += FindEntryIgnoringCase(path, parts.at(i)) + (i + 1 < parts.size() ? QStringLiteral("/") : QString());
    return path;
}
} // namespace

TProfileCaches ProfileCaches(const QString &profile)
{
    TProfileCaches caches;
    const QString local = ResolveIgnoringCase(profile, QStringLiteral("AppData/Local"));
    if (QFileInfo(local).isDir()) {
        caches.localSettings = local;
        caches.internetCache = ResolveIgnoringCase(local, QStringLiteral("Microsoft/Windows/Temporary Internet Files"));
    } else {
        caches.localSettings = ResolveIgnoringCase(profile, QStringLiteral("Local Settings"));
        caches.internetCache = ResolveIgnoringCase(caches.localSettings, QStringLiteral("Temporary Internet Files"));
    }
    return caches;
}

TCacheCollection CollectMsn75Cache(const QString &appDir, const QString &cache)
{
    TCacheCollection result;
    result.scratch = appDir + QStringLiteral("~tmpCache");
    const bool known = !cache.isEmpty();
    if (!known)
        LangMessageDlg(QStringLiteral("Error: Could not get TIF folder from registry."), TMsgDlgType::mtError, mbOK);
    const QString tif = WithSeparator(cache);
    const QString ie5 = tif + FindEntryIgnoringCase(tif, QStringLiteral("Content.IE5"));
    if (!known || !QFileInfo(ie5).isDir()) {
        LangMessageDlg(QStringLiteral("Error: Directory not found:\r") + tif + QStringLiteral("Content.IE5"),
                       TMsgDlgType::mtError, mbOK);
        return result;
    }
    ShowStatusHint(CurrentLanguage().Get(QStringLiteral("GettingCached")) + QStringLiteral("..."));
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(); // draw the hint

    DeleteFolder(result.scratch, true);
    QDir().mkpath(result.scratch);
    // Only the cached pictures are copied; the cache's Desktop.ini files and everything else in
    // it are left as they are.
    const QStringList found = ListFiles(ie5, QStringLiteral("*.bin"), false, true, true);
    for (const QString &file : found) {
        const QString name = QFileInfo(file).fileName();
        if (name.compare(QLatin1String("Desktop.ini"), Qt::CaseInsensitive) == 0 || !fileops::IsRegularFile(file))
            continue;
        const QString target = WithSeparator(result.scratch) + NumberedCopyName(result.scratch, name);
        if (fileops::CopyFile(file, target, {fileops::IfExists::Refuse, true}))
            ++result.copied;
    }
    result.ok = true;
    return result;
}

QString FindWlmCache(const QString &ls)
{
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
