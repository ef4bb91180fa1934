#include "cabinet/CabinetTasks.h"

#include "common/FileOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace zorvak {

void ExtractCabinetTo(TCABFile &cab, const QString &cabinet, const QString &folder)
{
    cab.CABFile = cabinet;
    cab.TargetPath = folder;
    cab.ListContents();
    cab.ExtractAll(PreviewLimits);
}

QString ExtractFirstPicture(TCABFile &cab, const QString &cabinet, const QString &folder,
                            const std::function<bool(const QString &name)> &isPicture, TCABFile::TExtractLimits limits)
{
    cab.CABFile = cabinet;
    cab.TargetPath = folder;
    cab.ListContents();
    QStringList names;
    for (int i = 0; i < cab.CABFileContents.Count(); ++i) {
        const TCABFileEntry &entry = cab.CABFileContents[i];
        if (!entry.Name.contains(QLatin1Char('/')) && !entry.Name.contains(QLatin1Char('\\')) && entry.Size <= limits.maxFileBytes
            && isPicture(entry.Name))
            names << entry.Name;
    }
    if (names.isEmpty())
        return {};
    std::sort(names.begin(), names.end());
    limits.onlyEntry = names.front();
    if (!cab.ExtractAll(limits))
        return {};
    const QString path = QDir(folder).filePath(fileops::FitFileName(names.front()));
    return QFileInfo(path).isFile() ? path : QString();
}

bool PackFolder(TCABFile &cab, const QString &folder, const QString &cabinet, bool keepExisting)
{
    QString dir = folder;
    if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    if (!keepExisting && QFile::exists(cabinet))
        QFile::remove(cabinet);
    cab.CABFileContents.Clear();
    cab.CABFileContents.AddFiles(dir + QStringLiteral("*.*"));
    cab.CABFile = cabinet;
    return cab.CreateCabinet();
}

} // namespace zorvak
