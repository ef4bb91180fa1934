// TEMPORARY: handlers not built yet. Each group is deleted by the change that builds it.
#include "shell/uMain.h"
namespace zorvak {
void TfrmMain::ExtractCabinetTo(const QString &, const QString &) {}
bool TfrmMain::PackFolder(const QString &, const QString &, bool) { return false; }
} // namespace zorvak
