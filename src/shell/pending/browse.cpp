// TEMPORARY: handlers not built yet. Each group is deleted by the change that builds it.
#include "shell/uMain.h"
namespace zorvak {
void TfrmMain::LoadTreeIcons() {}
void TfrmMain::btSelectFolderClick() {}
void TfrmMain::tvDirChange() {}
void TfrmMain::tvDirKeyDown(int) {}
void TfrmMain::btExploreClick() {}
void TfrmMain::btSaveFolderClick() {}
void TfrmMain::lbFilesClick() {}
void TfrmMain::lbCabClick() {}
void TfrmMain::chOnlyRecognizedClick() {}
void TfrmMain::Image1Click() {}
void TfrmMain::btOpenClick() {}
void TfrmMain::btOpenWithClick() {}
void TfrmMain::btSaveAsClick() {}
void TfrmMain::CalcId1Click() {}
void TfrmMain::Auto1Click() {}
void TfrmMain::Current1Click() {}
void TfrmMain::Manual1Click() {}
void TfrmMain::CachedMSN751Click() {}
void TfrmMain::CachedWLM801Click() {}
void TfrmMain::Hide1Click() {}
void TfrmMain::ClearFolderList() {}
QString TfrmMain::SelectedFolder() const { return {}; }
} // namespace zorvak
