#include "cabinet/CabinetTasks.h"

#include <QFile>

namespace zorvak {

void ExtractCabinetTo(TCABFile &cab, const QString &cabinet, const QString &folder)
{
    cab.CABFile = cabinet;
    cab.TargetPath = folder;
    cab.ListContents();
    cab.ExtractAll();
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
