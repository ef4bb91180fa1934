// The main window's cabinet wrappers around its component CABFile1 (MSZIP, no events: nothing
// reports progress and existing files are replaced without asking).
#include "cabinet/CabinetTasks.h"
#include "shell/uMain.h"

namespace zorvak {

namespace {
TCABFile &CABFile1(TfrmMain *window)
{
    auto *cab = window->findChild<TCABFile *>(QStringLiteral("CABFile1"), Qt::FindDirectChildrenOnly);
    if (!cab) {
        cab = new TCABFile(window);
        cab->setObjectName(QStringLiteral("CABFile1"));
    }
    return *cab;
}
} // namespace

void TfrmMain::ExtractCabinetTo(const QString &cabinet, const QString &folder)
{
    zorvak::ExtractCabinetTo(CABFile1(this), cabinet, folder);
}

bool TfrmMain::PackFolder(const QString &folder, const QString &cabinet, bool keepExisting)
{
    return zorvak::PackFolder(CABFile1(this), folder, cabinet, keepExisting);
}

} // namespace zorvak
