#include "browse/unitOpenFolderDialog.h"

#include "shell/DialogService.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace zorvak {

QString MapWindowsFolder(const QString &folder)
{
    QString f = folder;
    f.replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (f.endsWith(QLatin1Char('\\')))
        f.chop(1);
    QStandardPaths::StandardLocation where;
    if (f.compare(QLatin1String("\\My Documents"), Qt::CaseInsensitive) == 0)
        where = QStandardPaths::DocumentsLocation;
    else if (f.compare(QLatin1String("\\My Documents\\My Pictures"), Qt::CaseInsensitive) == 0)
        where = QStandardPaths::PicturesLocation;
    else if (f.compare(QLatin1String("\\My Documents\\My Music"), Qt::CaseInsensitive) == 0)
        where = QStandardPaths::MusicLocation;
    else
        return folder;
    const QString mapped = QStandardPaths::writableLocation(where);
    return mapped.isEmpty() ? QDir::homePath() : mapped;
}

QString BrowseForFolder(const QString &prompt, const QString &preselect)
{
    const QString start = preselect.isEmpty() ? QString() : MapWindowsFolder(preselect);
    QString chosen = DialogService::Get().BrowseForFolder(prompt, start);
    if (chosen.isEmpty() || !QFileInfo(chosen).isDir())
        return {};
    return chosen;
}

} // namespace zorvak
