#include "browse/FilePane.h"

#include "browse/FolderExport.h"
#include "browse/FolderTree.h"
#include "browse/Preview.h"
#include "browse/FolderExport.h"
#include "browse/Recognition.h"
#include "browse/unitFileFolderUtil.h"
#include "browse/uMainBrowse.h"
#include "browse/uOpenWith.h"
#include "browse/unitOpenFolderDialog.h"
#include "common/FileOps.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/uLanguage.h"
#include "shell/unitCustomDlg.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zorvak {

namespace browse {

void SetHint(QWidget *widget, const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    widget->setToolTip(shown);
}

QString GetOpenCommand(const QString &extension)
{
    QString rest = extension.startsWith(QLatin1Char('.')) ? extension.mid(1) : extension;
    if (rest.isEmpty())
        return {};
    QString c = Platform::Get().DefaultOpenCommand(QStringLiteral("file.") + rest);
    const qsizetype percent = c.indexOf(QLatin1Char('%'));
    if (percent >= 0)
        c.truncate(percent);
    if (c.startsWith(QLatin1Char('"')))
        c.remove(0, 1);
    if (c.endsWith(QLatin1Char('"')))
        c.chop(1);
    while (c.endsWith(QLatin1Char(' ')) || c.endsWith(QLatin1Char('"')))
        c.chop(1);
    return c;
}

} // namespace browse

TFilePane::TFilePane(const TFolderTree &tree, const QString &appDir, TExtractor extract, QObject *parent)
    : QObject(parent), m_tree(tree), m_appDir(appDir), m_extract(std::move(extract))
{
    setObjectName(QStringLiteral("FilePane"));
}

void TFilePane::CreateControls(QSplitter *splitter)
{
    panFiles = new QWidget(splitter);
    panFiles->setObjectName(QStringLiteral("panFiles"));
    auto *files = new QVBoxLayout(panFiles);
    files->setContentsMargins(0, 0, 0, 0);
    labelFileList = new QLabel(panFiles);
    labelFileList->setObjectName(QStringLiteral("labelFileList"));
    QFont bold = labelFileList->font();
    bold.setBold(true);
    labelFileList->setFont(bold);
    files->addWidget(labelFileList);
    lbFiles = new QListWidget(panFiles);
    lbFiles->setObjectName(QStringLiteral("lbFiles"));
    files->addWidget(lbFiles, 3);
    lbTotalFiles = new QLabel(panFiles);
    lbTotalFiles->setObjectName(QStringLiteral("lbTotalFiles"));
    lbRecognized = new QLabel(panFiles);
    lbRecognized->setObjectName(QStringLiteral("lbRecognized"));
    QFont small = lbTotalFiles->font();
    small.setPointSize(7);
    lbTotalFiles->setFont(small);
    lbRecognized->setFont(small);
    files->addWidget(lbTotalFiles);
    files->addWidget(lbRecognized);
    lbCabTitle = new QLabel(panFiles);
    lbCabTitle->setObjectName(QStringLiteral("lbCabTitle"));
    files->addWidget(lbCabTitle);
    lbCab = new QListWidget(panFiles);
    lbCab->setObjectName(QStringLiteral("lbCab"));
    files->addWidget(lbCab, 1);
    chOnlyRecognized = new QCheckBox(panFiles);
    chOnlyRecognized->setObjectName(QStringLiteral("chOnlyRecognized"));
    chOnlyRecognized->setChecked(true);
    files->addWidget(chOnlyRecognized);
    for (QListWidget *list : {lbFiles, lbCab})
        list->viewport()->installEventFilter(this);

    panPreview = new QWidget(splitter);
    panPreview->setObjectName(QStringLiteral("panPreview"));
    auto *prev = new QVBoxLayout(panPreview);
    prev->setContentsMargins(0, 0, 0, 0);
    labelPreview = new QLabel(panPreview);
    labelPreview->setObjectName(QStringLiteral("labelPreview"));
    labelPreview->setAlignment(Qt::AlignCenter);
    labelPreview->setWordWrap(true);
    prev->addWidget(labelPreview);
    Image1 = new QLabel(panPreview);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setMinimumSize(64, 64);
    TPreview::Of(Image1);
    prev->addWidget(Image1, 1);
    Flash1 = new QLabel(panPreview);
    Flash1->setObjectName(QStringLiteral("Flash1"));
    Flash1->setAlignment(Qt::AlignCenter);
    Flash1->setWordWrap(true);
    Flash1->hide();
    prev->addWidget(Flash1, 1);
    auto *buttons = new QHBoxLayout;
    btOpen = new QPushButton(panPreview);
    btOpen->setObjectName(QStringLiteral("btOpen"));
    btOpenWith = new QPushButton(panPreview);
    btOpenWith->setObjectName(QStringLiteral("btOpenWith"));
    btSaveAs = new QPushButton(panPreview);
    btSaveAs->setObjectName(QStringLiteral("btSaveAs"));
    buttons->addWidget(btOpen);
    buttons->addWidget(btOpenWith);
    buttons->addWidget(btSaveAs);
    prev->addLayout(buttons);
}

void TFilePane::RefreshCaptions()
{
    labelFileList->setText(Lang("FileList"));
    chOnlyRecognized->setText(Lang("ShowKnownOnly"));
    lbCabTitle->setText(Lang("InCab"));
    labelPreview->setText(Lang("Preview"));
    btOpen->setText(Lang("Open"));
    btOpenWith->setText(Lang("OpenWith"));
    btSaveAs->setText(Lang("SaveAs") + QStringLiteral("..."));
}

TPreview &TFilePane::Preview() const { return *TPreview::Of(Image1); }

bool TFilePane::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == lbFiles->viewport())
            m_rowAtPress[0] = lbFiles->currentRow();
        else if (watched == lbCab->viewport())
            m_rowAtPress[1] = lbCab->currentRow();
    }
    return false;
}

bool TFilePane::ClickChangedRow(const QListWidget *list, int clickedRow) const
{
    return clickedRow != m_rowAtPress[list == lbCab ? 1 : 0];
}

QString TFilePane::PreviewCopyPath(const QString &displayName) const
{
    const QString ext = ExtractFileExt(displayName);
    return m_appDir + QStringLiteral("~tmp") + (ext.isEmpty() ? QStringLiteral(".") : ext);
}

QString TFilePane::CabFolder() const { return m_appDir + QStringLiteral("~tmp"); }

void TFilePane::SetCabListVisible(bool visible)
{
    lbCabTitle->setVisible(visible);
    lbCab->setVisible(visible);
}

void TFilePane::ResetPreview(QListWidget *list)
{
    Preview().Clear();
    Preview().StopFlash(Flash1);
    QListWidgetItem *item = list->currentRow() >= 0 ? list->currentItem() : nullptr;
    btOpen->setText(Lang("Open"));
    btOpen->setEnabled(false);
    btOpenWith->setEnabled(item != nullptr);
    if (!item)
        return;
    const QString command = browse::GetOpenCommand(ExtractFileExt(item->text()));
    if (!command.isEmpty()) {
        btOpen->setText(Lang("Open") + QStringLiteral(" (") + QFileInfo(command).fileName() + QLatin1Char(')'));
        btOpen->setEnabled(true);
    }
}

void TFilePane::PreviewFile(const QString &path, QLabel *image, QLabel *flash)
{
    TPreview &preview = *TPreview::Of(image);
    if (flash)
        preview.StopFlash(flash);
    switch (PreviewKind(ExtractFileExt(QFileInfo(path).fileName()))) {
    case pkPicture:
        preview.Load(path);
        break;
    case pkCabinet: {
        // The thumbnail of a cabinet: its first picture, or with a Flash card its first movie.
        const QString nested = m_appDir + QStringLiteral("~tmp2");
        try {
            m_extract(path, WithSeparator(nested));
        } catch (const std::exception &) {
        }
        for (const QString &name : ListFiles(nested, QStringLiteral("*.*"))) {
            const TPreviewKind kind = PreviewKind(ExtractFileExt(name));
            if (!flash && kind == pkPicture) {
                preview.Load(WithSeparator(nested) + name);
                break;
            }
            if (flash && kind == pkFlash) {
                preview.PlayFlash(flash, WithSeparator(nested) + name);
                break;
            }
        }
        DeleteFolder(nested, false);
        break;
    }
    case pkFlash:
        if (flash) {
            preview.PlayFlash(flash, path);
            break;
        }
        preview.Clear();
        break;
    default:
        preview.Clear();
        break;
    }
    preview.FitToControl();
}

void TFilePane::Clear()
{
    lbFiles->clear();
    m_diskNames.clear();
    labelFileList->setToolTip(QString());
}

void TFilePane::ShowSelectedFolder()
{
    const int generation = ++m_generation;
    {
        const QSignalBlocker block(lbFiles);
        lbFiles->clear();
    }
    m_diskNames.clear();
    labelFileList->setToolTip(QString());
    QTreeWidgetItem *node = m_tree.View()->currentItem();
    if (!node)
        return;
    const QString folder = m_tree.SelectedFolder();
    browse::SetHint(labelFileList, FormatText(Lang("FileListHint"), {folder}));

    const QStringList names = ListFiles(folder);
    if (generation != m_generation)
        return; // another selection has filled the list while this folder was read
    const bool onlyRecognized = chOnlyRecognized->isChecked();
    int recognized = 0;
    {
        const QSignalBlocker block(lbFiles);
        for (const QString &f : names) {
            if (onlyRecognized && !IsRecognitionCandidate(f))
                continue;
            const QString x = RecognizeContentFile(folder + f);
            if (!x.isEmpty()) {
                lbFiles->addItem(ReplaceExtension(f, x));
                m_diskNames.append(f);
                ++recognized;
            } else if (!onlyRecognized) {
                lbFiles->addItem(f);
                m_diskNames.append(f);
            }
        }
    }
    if (!lbCab->isHidden())
        SetCabListVisible(false);
    lbTotalFiles->setText(FormatText(Lang("TotFiles"), {int(names.size())}));
    lbRecognized->setText(FormatText(Lang("TotRecog"), {recognized}));
    if (lbFiles->count() > 0) {
        {
            const QSignalBlocker block(lbFiles);
            lbFiles->setCurrentRow(0);
        }
        ShowSelectedFile();
    } else {
        Preview().Clear();
        Preview().StopFlash(Flash1); // no information card of a file that is no longer listed
        labelPreview->setToolTip(QString());
    }
}

void TFilePane::ShowSelectedFile()
{
    const int row = lbFiles->currentRow();
    if (row < 0 || row >= m_diskNames.size())
        return;
    const int generation = ++m_generation;
    ResetPreview(lbFiles);
    const QString display = lbFiles->item(row)->text();
    const QString disk = m_diskNames.at(row);
    const QString source = m_tree.SelectedFolder() + disk;
    browse::SetHint(labelPreview, FormatText(Lang("PreviewHint"), {source}));
    // The preview works on a copy, so that nothing opens the scanned file itself.
    const QString copy = PreviewCopyPath(display);
    if (fileops::CopyFile(source, copy, {fileops::IfExists::Replace, true}))
        QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                        | QFileDevice::ReadOther);
    else
        QFile::remove(copy); // never the preview of the file shown before
    if (PreviewKind(ExtractFileExt(display)) == pkCabinet) {
        SetCabListVisible(true);
        const QString cabFolder = CabFolder();
        DeleteFolder(cabFolder, false);
        QDir().mkpath(cabFolder);
        try {
            m_extract(copy, WithSeparator(cabFolder));
        } catch (const std::exception &) {
        }
        const QStringList entries = ListFiles(cabFolder, QStringLiteral("*.*"));
        if (generation != m_generation)
            return; // the list was filled anew meanwhile; these entries are no longer shown
        {
            const QSignalBlocker block(lbCab);
            lbCab->clear();
            bool played = false;
            for (const QString &name : entries) {
                lbCab->addItem(name);
                if (!played && PreviewKind(ExtractFileExt(name)) == pkFlash) {
                    Preview().PlayFlash(Flash1, WithSeparator(cabFolder) + name);
                    played = true;
                }
            }
            lbCab->setCurrentRow(-1);
        }
        emit filePreviewed(disk);
        return;
    }
    if (!lbCab->isHidden())
        SetCabListVisible(false);
    PreviewFile(copy, Image1, Flash1);
    emit filePreviewed(disk);
}

void TFilePane::ShowSelectedEntry()
{
    if (lbCab->currentRow() < 0)
        return;
    ResetPreview(lbCab);
    PreviewFile(WithSeparator(CabFolder()) + lbCab->currentItem()->text(), Image1, Flash1);
}

bool TFilePane::SelectedFile(TSelectedFile &out) const
{
    const int row = lbFiles->currentRow();
    if (row < 0 || row >= m_diskNames.size()) {
        if (lbFiles->count() > 0)
            PlainMessageBox(Lang("PleaseSelectFile"));
        else
            PlainMessageBox(Lang("SelectFolderThenFile"));
        return false;
    }
    if (!lbCab->isHidden() && lbCab->currentRow() >= 0) {
        out.cabinetEntry = true;
        out.name = lbCab->currentItem()->text();
        out.source = WithSeparator(CabFolder()) + out.name;
    } else {
        out.name = lbFiles->item(row)->text();
        out.source = m_tree.SelectedFolder() + m_diskNames.at(row);
    }
    return true;
}

void TFilePane::Open()
{
    TSelectedFile file;
    if (!SelectedFile(file))
        return;
    QString target = file.source;
    if (!file.cabinetEntry) {
        target = PreviewCopyPath(file.name);
        fileops::CopyFile(file.source, target, {fileops::IfExists::Replace, true});
    }
    Platform::Get().OpenUrl(target);
}

void TFilePane::OpenWith(QWidget *owner)
{
    TSelectedFile file;
    if (!SelectedFile(file))
        return;
    const QString target = file.cabinetEntry ? file.source : PreviewCopyPath(file.name);
    TfrmOpenWith chooser(target, owner);
    if (DialogService::Get().ShowModal(&chooser) != mrOk)
        return;
    const QString app = chooser.Choice();
    if (!app.isEmpty())
        Platform::Get().LaunchApp(app, target);
}

void TFilePane::SaveAs()
{
    TSelectedFile file;
    if (!SelectedFile(file))
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
    const QString safeName = SafeFileName(file.name);
    QString proposed = safeName;
    if (start != m_saveAsStartFolder) {
        m_saveAsStartFolder = start;
        proposed = WithSeparator(MapWindowsFolder(start)) + safeName;
    } else if (!m_lastSaveFolder.isEmpty()) {
        // No start folder: the dialog opens where the user saved last.
        proposed = WithSeparator(m_lastSaveFolder) + safeName;
    }
    const QString suffix = x.startsWith(QLatin1Char('.')) ? x.mid(1) : x;
    const QString chosen =
        DialogService::Get().GetSaveFileName(StripAmpersands(Lang("SaveAs")), proposed, filter, nullptr, suffix);
    if (chosen.isEmpty())
        return;
    QString target = chosen;
    if (QFileInfo(chosen).suffix().isEmpty() && !x.isEmpty() && !chosen.endsWith(x))
        target += x; // the default extension
    // The dialog asked about the name as it was typed; the name completed with the extension is
    // asked about here, so that no file is ever replaced without a question.
    if (target != chosen && QFileInfo::exists(target)
        && LangMessageDlg(FormatText(Lang("FileExistsConfirmation"), {target}), TMsgDlgType::mtConfirmation,
                          mbYes | mbNo) != mrYes)
        return;
    m_lastSaveFolder = QFileInfo(target).absolutePath();
    QString error;
    if (!fileops::CopyFile(file.source, target, {fileops::IfExists::Replace, true}, &error))
        LangMessageDlg(error, TMsgDlgType::mtError, mbOK);
}

} // namespace zorvak
