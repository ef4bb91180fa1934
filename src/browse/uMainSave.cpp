// Opening and saving from the main window: Open, Open with, Save as, Save folder as.
#include "browse/BrowseState.h"
#include "browse/FolderExport.h"
#include "browse/Recognition.h"
#include "browse/unitOpenFolderDialog.h"
#include "browse/uMainBrowse.h"
#include "browse/uOpenWith.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/uLanguage.h"
#include "shell/uMain.h"
#include "shell/unitCustomDlg.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QListWidget>
#include <QTreeWidget>

namespace zorvak {

namespace {

// The selected file: a cabinet entry, or a row of the file list.
struct TSelectedFile {
    bool cabinetEntry = false;
    QString name;      // entry name, or the row's display name
    QString source;    // where the file lies
};

// False (after telling the user) when no row of the file list is selected.
bool SelectedFile(TfrmMain &w, TSelectedFile &out)
{
    const int row = w.lbFiles->currentRow();
    if (row < 0 || row >= w.Browse->DiskNames.size()) {
        if (w.lbFiles->count() > 0)
            PlainMessageBox(Lang("PleaseSelectFile"));
        else
            PlainMessageBox(Lang("SelectFolderThenFile"));
        return false;
    }
    if (!w.lbCab->isHidden() && w.lbCab->currentRow() >= 0) {
        out.cabinetEntry = true;
        out.name = w.lbCab->currentItem()->text();
        out.source = w.AppDir + QStringLiteral("~tmp/") + out.name;
    } else {
        out.name = w.lbFiles->item(row)->text();
        out.source = w.SelectedFolder() + w.Browse->DiskNames.at(row);
    }
    return true;
}
} // namespace

void TfrmMain::btOpenClick()
{
    TSelectedFile file;
    if (!SelectedFile(*this, file))
        return;
    QString target = file.source;
    if (!file.cabinetEntry) {
        target = browse::PreviewCopyPath(*this, file.name);
        CopyFileReplacing(file.source, target);
    }
    Platform::Get().OpenUrl(target);
}

void TfrmMain::btOpenWithClick()
{
    TSelectedFile file;
    if (!SelectedFile(*this, file))
        return;
    const QString target = file.cabinetEntry ? file.source : browse::PreviewCopyPath(*this, file.name);
    TfrmOpenWith chooser(target, this);
    if (DialogService::Get().ShowModal(&chooser) != mrOk)
        return;
    const QString app = chooser.Choice();
    if (!app.isEmpty())
        Platform::Get().LaunchApp(app, target);
}

void TfrmMain::btSaveAsClick()
{
    TSelectedFile file;
    if (!SelectedFile(*this, file))
        return;
    const QString x = ExtractFileExt(file.name);
    const TPreviewKind kind = PreviewKind(x);
    // Two entries: files of the extension, and all files.
    const QString filter = QLatin1Char('*') + x + QStringLiteral(" (*") + x + QStringLiteral(");;*.* (*)");
    QString start;
    if (kind == pkPicture)
        start = QStringLiteral("\\My Documents\\My Pictures");
    else if (kind == pkSound)
        start = QStringLiteral("\\My Documents\\My Music");
    else
        start = QStringLiteral("\\My Documents");
    QString proposed = file.name;
    if (start != Browse->SaveAsStartFolder) {
        Browse->SaveAsStartFolder = start;
        proposed = WithSeparator(MapWindowsFolder(start)) + file.name;
    } else if (!Browse->LastSaveFolder.isEmpty()) {
        // No start folder: the dialog opens where the user saved last.
        proposed = WithSeparator(Browse->LastSaveFolder) + file.name;
    }
    QString chosen = DialogService::Get().GetSaveFileName(StripAmpersands(Lang("SaveAs")), proposed, filter);
    if (chosen.isEmpty())
        return;
    if (QFileInfo(chosen).suffix().isEmpty() && !x.isEmpty() && !chosen.endsWith(x))
        chosen += x; // the default extension
    Browse->LastSaveFolder = QFileInfo(chosen).absolutePath();
    QString error;
    if (!CopyFileReplacing(file.source, chosen, &error))
        LangMessageDlg(error, TMsgDlgType::mtError, mbOK);
}

void TfrmMain::btSaveFolderClick()
{
    QTreeWidgetItem *node = tvDir->currentItem();
    if (!node) {
        PlainMessageBox(Lang("PleaseSelectFolder"));
        return;
    }
    const QString caption = node->text(0);
    const QString prompt = FormatText(Lang("SaveFolderTo"), {QLatin1Char('"') + caption + QLatin1Char('"')});
    const QString chosen = BrowseForFolder(prompt, QStringLiteral("\\My Documents"));
    if (chosen.isEmpty())
        return;
    const QString target = WithSeparator(chosen) + caption;
    if (IsSameOrInside(target, FolderMap.GetValue(QString::number(browse::AbsoluteIndex(tvDir, node))))) {
        // The copy would go into the folder being saved, a Messenger folder.
        PlainMessageBox(QStringLiteral("A folder cannot be saved into itself:\r   ") + target);
        return;
    }
    // The copy works on a snapshot of the node and the nodes below it, so that the tree may
    // change while the copy keeps the window responsive.
    const TFolderNode snapshot = browse::Snapshot(*this, node);
    TFolderSaver saver;
    saver.KnownOnly = chKnownOnly->isChecked();
    saver.AskOverwrite = [](const QString &destination) {
        return LangMessageDlg(FormatText(Lang("FileExistsConfirmation"), {destination}), TMsgDlgType::mtConfirmation,
                              mbYes | mbNo | mbCancel | mbYesToAll);
    };
    saver.Reset();
    ShowStatusHint(Lang("CopyingFiles") + QStringLiteral("..."), -1, -1, 0);
    try {
        saver.SaveFolderTree(snapshot, target);
    } catch (...) {
        HideStatusHint();
        throw;
    }
    HideStatusHint();
    PlainMessageBox(FormatText(Lang("NFilesCopied"), {saver.Copied}));
    if (saver.Copied > 0)
        Platform::Get().OpenUrl(target);
}

} // namespace zorvak
