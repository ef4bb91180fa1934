// TEMPORARY: handlers not built yet. Each group is deleted by the change that builds it.
#include "shell/uMain.h"
namespace zorvak {
void TfrmMain::Backup1Click() {}
} // namespace zorvak
