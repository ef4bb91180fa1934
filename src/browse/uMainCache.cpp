// The cached contact pictures in the folder tree.
#include "browse/CachedPictures.h"
#include "browse/uMainBrowse.h"
#include "shell/uMain.h"
#include "shell/unitCustomDlg.h"

namespace zorvak {

void TfrmMain::CachedMSN751Click()
{
    browse::TTreeCommand command(*this);
    if (!command)
        return;
    const TCacheCollection cache = CollectMsn75Cache(AppDir);
    if (!cache.ok) {
        HideStatusHint();
        return;
    }
    browse::HandFolderToTree(*this, cache.scratch, QStringLiteral("MSN 7.5 Cache"));
}

void TfrmMain::CachedWLM801Click()
{
    browse::TTreeCommand command(*this);
    if (!command)
        return;
    const QString folder = FindWlmCache();
    if (folder.isEmpty())
        return;
    browse::HandFolderToTree(*this, folder, QStringLiteral("WLM Cache"));
}

} // namespace zorvak
