#include "support/FakePlatform.h"

#include <QDir>

namespace zorvak::test {

bool FakePlatform::StartProgram(const QString &program, const QStringList &arguments)
{
    startedPrograms << (QStringList{program} + arguments);
    return true;
}

bool FakePlatform::MoveToTrash(const QString &path)
{
    trashed << path;
    if (!trashSucceeds)
        return false;
    QFileInfo info(path);
    return info.isDir() ? QDir(path).removeRecursively() : QFile::remove(path);
}

} // namespace zorvak::test
