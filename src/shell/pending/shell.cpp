// TEMPORARY: handlers not built yet. Each group is deleted by the change that builds it.
#include "shell/uMain.h"
namespace zorvak {
void TfrmMain::StartupChecks() {}
void TfrmMain::Settings1Click() {}
void TfrmMain::About1Click() {}
void TfrmMain::HelpContent1Click() {}
void TfrmMain::Exit1Click() {}
} // namespace zorvak
