#include "browse/ui/FilePane.h"
#include "common/PathBytes.h"

#include "browse/FolderChoice.h"
#include "browse/FolderExport.h"
#include "browse/ui/FolderTree.h"
#include "browse/ui/ObjectNames.h"
#include "browse/ui/Preview.h"
#include "browse/Recognition.h"
#include "browse/ui/ThumbnailView.h"
#include "browse/ui/Thumbnailer.h"
#include "browse/ui/uMainBrowse.h"
#include "browse/ui/uOpenWith.h"
#include "browse/unitFileFolderUtil.h"
#include "browse/unitOpenFolderDialog.h"
#include "common/FileOps.h"
#include "common/unitString.h"
#include "history/ui/ConversationView.h"
#include "history/ui/HistoryPane.h"
#include "platform/Platform.h"
#include "shell/Controls.h"
#include "shell/uLanguage.h"
#include "shell/unitCustomDlg.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSplitter>
#include <QToolButton>
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

TFilePane::TFilePane(const TFolderTree &tree, TObjectNames &names, const QString &appDir, TExtractor extract,
                     QObject *parent)
    : QObject(parent), m_tree(tree), m_appDir(appDir), m_extract(std::move(extract)),
      m_thumbnailer(new TThumbnailer(this)), m_names(names)
{
    setObjectName(QStringLiteral("FilePane"));
}

TFilePane::~TFilePane() = default;

void TFilePane::CreateControls(QSplitter *splitter)
{
    panFiles = NewNamed<QWidget>("panFiles", splitter);
    auto *files = new QVBoxLayout(panFiles);
    files->setContentsMargins(0, 0, 0, 0);
    labelFileList = NewNamed<QLabel>("labelFileList", panFiles);
    QFont bold = labelFileList->font();
    bold.setBold(true);
    labelFileList->setFont(bold);
    files->addWidget(labelFileList);
    barNames = NewNamed<QWidget>("barNames", panFiles);
    auto *bar = new QHBoxLayout(barNames);
    bar->setContentsMargins(0, 0, 0, 0);
    // A link rather than a button: the offer wraps to the width of the list, however narrow.
    lbNamesOffer = NewNamed<QLabel>("lbNamesOffer", barNames);
    lbNamesOffer->setWordWrap(true);
    lbNamesOffer->setTextFormat(Qt::RichText);
    lbNamesOffer->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    btHideNamesOffer = NewNamed<QToolButton>("btHideNamesOffer", barNames);
    btHideNamesOffer->setText(QStringLiteral("\u00d7"));
    btHideNamesOffer->setAutoRaise(true);
    bar->addWidget(lbNamesOffer, 1);
    bar->addWidget(btHideNamesOffer, 0, Qt::AlignTop);
    barNames->hide();
    files->addWidget(barNames);
    edFilter = NewNamed<QLineEdit>("edFilter", panFiles);
    edFilter->setClearButtonEnabled(true);
    files->addWidget(edFilter);
    lbFiles = NewNamed<QListWidget>("lbFiles", panFiles);
    files->addWidget(lbFiles, 3);
    gridFiles = NewNamed<TThumbnailView>("gridFiles", *m_thumbnailer, panFiles);
    gridFiles->ShareWith(lbFiles);
    gridFiles->SetRowSource([this](int row) {
        TThumbnailView::TRow item;
        if (row < 0 || row >= m_diskNames.size())
            return item;
        item.path = WithSeparator(m_listedFolder) + m_diskNames.at(row);
        item.kind = PreviewKind(ExtractFileExt(m_fileNames.at(row)));
        item.caption = m_fileNames.at(row);
        // Once names are unlocked the name is what the user knows the object by: it comes first.
        if (const auto given = m_names.NameOf(m_listedFolder, m_diskNames.at(row))) {
            item.detail = item.caption;
            item.caption = given->name;
            if (!given->shortcut.isEmpty())
                item.caption += QStringLiteral("  ") + given->shortcut;
        }
        return item;
    });
    gridFiles->hide();
    files->addWidget(gridFiles, 3);
    tbThumbSize = NewNamed<QSlider>("tbThumbSize", Qt::Horizontal, panFiles);
    tbThumbSize->setRange(TThumbnailer::kMinSize, TThumbnailer::kMaxSize);
    tbThumbSize->setSingleStep(8);
    tbThumbSize->setPageStep(16);
    tbThumbSize->setValue(gridFiles->ThumbSize());
    tbThumbSize->hide();
    files->addWidget(tbThumbSize);
    lbTotalFiles = NewNamed<QLabel>("lbTotalFiles", panFiles);
    lbRecognized = NewNamed<QLabel>("lbRecognized", panFiles);
    // Secondary text: a step below the desktop's font, whatever its size.
    const QFont small = SecondaryFont(lbTotalFiles->font());
    lbTotalFiles->setFont(small);
    lbRecognized->setFont(small);
    files->addWidget(lbTotalFiles);
    files->addWidget(lbRecognized);
    lbCabTitle = NewNamed<QLabel>("lbCabTitle", panFiles);
    files->addWidget(lbCabTitle);
    lbCab = NewNamed<QListWidget>("lbCab", panFiles);
    files->addWidget(lbCab, 1);
    chOnlyRecognized = NewNamed<QCheckBox>("chOnlyRecognized", panFiles);
    chOnlyRecognized->setChecked(true);
    files->addWidget(chOnlyRecognized);
    for (QListWidget *list : {lbFiles, lbCab})
        list->viewport()->installEventFilter(this);
    gridFiles->viewport()->installEventFilter(this);
    connect(edFilter, &QLineEdit::textChanged, this, [this] { ApplyFilter(); });
    connect(tbThumbSize, &QSlider::valueChanged, this, [this](int size) {
        gridFiles->SetThumbSize(size);
        if (!tbThumbSize->isSliderDown())
            emit thumbSizeChosen(gridFiles->ThumbSize());
    });
    connect(tbThumbSize, &QSlider::sliderReleased, this, [this] { emit thumbSizeChosen(gridFiles->ThumbSize()); });
    connect(gridFiles, &TThumbnailView::thumbSizeChanged, this, [this](int size) {
        if (tbThumbSize->value() == size)
            return; // the slider made the change
        const QSignalBlocker block(tbThumbSize);
        tbThumbSize->setValue(size);
        emit thumbSizeChosen(size); // Ctrl + wheel over the grid
    });
    connect(lbNamesOffer, &QLabel::linkActivated, this, [this] { emit unlockNamesAsked(); });
    connect(btHideNamesOffer, &QToolButton::clicked, this, [this] {
        const QString user = UserFolderOf(m_listedFolder);
        if (!user.isEmpty() && !m_namesDeclined.contains(user))
            m_namesDeclined << user;
        barNames->hide();
    });

    panPreview = NewNamed<QWidget>("panPreview", splitter);
    auto *prev = new QVBoxLayout(panPreview);
    prev->setContentsMargins(0, 0, 0, 0);
    labelPreview = NewNamed<QLabel>("labelPreview", panPreview);
    labelPreview->setAlignment(Qt::AlignCenter);
    labelPreview->setWordWrap(true);
    prev->addWidget(labelPreview);
    Image1 = NewNamed<QLabel>("Image1", panPreview);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setMinimumSize(64, 64);
    Image1->setFocusPolicy(Qt::StrongFocus); // Space stretches the picture as a click does
    TPreview::Of(Image1);
    prev->addWidget(Image1, 1);
    Flash1 = NewNamed<QLabel>("Flash1", panPreview);
    Flash1->setAlignment(Qt::AlignCenter);
    Flash1->setWordWrap(true);
    Flash1->hide();
    prev->addWidget(Flash1, 1);
    lvConversation = NewNamed<history::TConversationView>("lvConversationPane", panPreview);
    lvConversation->hide();
    prev->addWidget(lvConversation, 1);
    m_history = new history::THistoryPane(lbFiles, lvConversation, this);
    auto *buttons = new QHBoxLayout;
    btOpen = NewNamed<TElidedButton>("btOpen", panPreview);
    btOpenWith = NewNamed<QPushButton>("btOpenWith", panPreview);
    btOpen->setEnabled(false); // no file yet
    btOpenWith->setEnabled(false);
    btSaveAs = NewNamed<QPushButton>("btSaveAs", panPreview);
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
    static_cast<TElidedButton *>(btOpen)->SetWidthText(Lang("Open"));
    ShowOpenCaption();
    btOpenWith->setText(Lang("OpenWith"));
    btSaveAs->setText(Lang("SaveAs") + QStringLiteral("..."));
    const QString filterHint = Lang(HistoryShown() ? "HistoryFilterHint" : "FilterHint");
    edFilter->setPlaceholderText(filterHint);
    tbThumbSize->setToolTip(Lang("ThumbSize"));
    // What a screen reader says for the controls whose text does not name them.
    SetAccessible(tbThumbSize, Lang("ThumbSize"));
    SetAccessible(edFilter, filterHint);
    SetAccessible(btHideNamesOffer, Lang("HideNotice"));
    btHideNamesOffer->setToolTip(Lang("HideNotice"));
    SetAccessible(Image1, Lang("Preview"), Image1->accessibleDescription());
    lbNamesOffer->setText(Lang("UnlockNamesOffer").toHtmlEscaped() + QStringLiteral(" <a href=\"unlock\">")
                          + StripAmpersands(Lang("UnlockNames")).toHtmlEscaped() + QStringLiteral("...</a>"));
    gridFiles->RefreshCaptions();
    m_history->RefreshCaptions();
    ShowCounts();
}

bool TFilePane::HistoryShown() const { return m_history && m_history->Active(); }

void TFilePane::SetHistoryMode(bool on)
{
    // A conversation list has no thumbnails: the list stands in for the grid meanwhile.
    lbFiles->setVisible(on || !m_thumbnails);
    gridFiles->setVisible(!on && m_thumbnails);
    tbThumbSize->setVisible(!on && m_thumbnails);
    Image1->setVisible(!on);
    lvConversation->setVisible(on);
    if (on)
        gridFiles->CancelWork();
    const QString filterHint = Lang(on ? "HistoryFilterHint" : "FilterHint");
    edFilter->setPlaceholderText(filterHint);
    SetAccessible(edFilter, filterHint);
}

TPreview &TFilePane::Preview() const { return *TPreview::Of(Image1); }

void TFilePane::ShowCounts()
{
    if (m_totalFiles < 0)
        return;
    lbTotalFiles->setText(FormatText(Lang("TotFiles"), {m_totalFiles}));
    lbRecognized->setText(FormatText(Lang("TotRecog"), {m_recognizedFiles}));
}

bool TFilePane::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == lbFiles->viewport() || watched == gridFiles->viewport())
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
    // The preview is described by the file it shows.
    Image1->setAccessibleDescription(item ? RowFileName(list, list->currentRow()) : QString());
    m_openApp.clear();
    m_openProgram.clear();
    btOpen->setEnabled(false);
    btOpenWith->setEnabled(item != nullptr);
    ShowOpenCaption();
    if (!item)
        return;
    const QString fileName = RowFileName(list, list->currentRow());
    const QString command = browse::GetOpenCommand(ExtractFileExt(fileName));
    if (!command.isEmpty()) {
        const QList<Platform::AppInfo> apps = Platform::Get().AppsForFile(QStringLiteral("file") + ExtractFileExt(fileName));
        const QString app = apps.isEmpty() ? QString() : apps.first().name;
        m_openApp = app;
        m_openProgram = QFileInfo(command).fileName();
        btOpen->setEnabled(true);
        ShowOpenCaption();
    }
}

void TFilePane::ShowOpenCaption()
{
    // The application as the desktop names it ("Open with Image Viewer"); its program's file name
    // only when the desktop gives no name.
    QString caption = Lang("Open");
    if (!m_openApp.isEmpty())
        caption = Lang("OpenWith") + QLatin1Char(' ') + m_openApp;
    else if (!m_openProgram.isEmpty())
        caption += QStringLiteral(" (") + m_openProgram + QLatin1Char(')');
    static_cast<TElidedButton *>(btOpen)->SetFullText(caption);
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
            preview.PlayFlash(flash, path, m_copyShownAs);
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

QString TFilePane::RowFileName(const QListWidget *list, int row) const
{
    if (list == lbFiles)
        return row >= 0 && row < m_fileNames.size() ? m_fileNames.at(row) : QString();
    const QListWidgetItem *item = list->item(row);
    return item ? item->text() : QString();
}

QString TFilePane::RowText(int row) const
{
    // "Name  shortcut   file" for a named object.
    const QString &fileName = m_fileNames.at(row);
    const auto given = m_names.NameOf(m_listedFolder, m_diskNames.at(row));
    if (!given)
        return fileName;
    QString text = given->name + QStringLiteral("  ");
    if (!given->shortcut.isEmpty())
        text += given->shortcut + QStringLiteral("   ");
    else
        text += QLatin1Char(' ');
    return text + fileName;
}

void TFilePane::RetitleRows()
{
    const QSignalBlocker block(lbFiles);
    for (int row = 0; row < lbFiles->count() && row < m_diskNames.size(); ++row)
        lbFiles->item(row)->setText(RowText(row));
    gridFiles->RefreshCaptions();
}

void TFilePane::UpdateNamesOffer()
{
    const QString user = UserFolderOf(m_listedFolder);
    barNames->setVisible(!user.isEmpty() && !m_names.Unlocked(user) && !m_namesDeclined.contains(user)
                         && HasContentMaps(user));
}

void TFilePane::SetThumbnails(bool on)
{
    if (on == m_thumbnails)
        return;
    m_thumbnails = on;
    if (HistoryShown())
        return; // the conversations stay a list; the choice holds for the next folder
    QWidget *from = on ? static_cast<QWidget *>(lbFiles) : gridFiles;
    QWidget *to = on ? static_cast<QWidget *>(gridFiles) : lbFiles;
    const bool focused = from->hasFocus();
    if (!on)
        gridFiles->CancelWork(); // nothing is made for a hidden grid
    from->hide();
    tbThumbSize->setVisible(on);
    to->show();
    if (focused)
        to->setFocus();
    if (lbFiles->currentRow() >= 0) {
        lbFiles->scrollToItem(lbFiles->currentItem());
        gridFiles->scrollTo(lbFiles->currentIndex());
    }
}

void TFilePane::SetThumbSize(int size)
{
    // The slider first: a change of the grid's size that the slider already shows is no choice of
    // the user's, and is not written back.
    const QSignalBlocker block(tbThumbSize);
    tbThumbSize->setValue(size);
    gridFiles->SetThumbSize(tbThumbSize->value());
}

int TFilePane::ThumbSize() const { return gridFiles->ThumbSize(); }

void TFilePane::UnlockNames(QWidget *owner)
{
    const QString user = UserFolderOf(m_tree.SelectedFolder());
    if (m_tree.View()->currentItem() == nullptr || user.isEmpty()) {
        PlainMessageBox(Lang("NamesNeedUserFolder"));
        return;
    }
    if (!m_names.Unlock(user, owner))
        return;
    RetitleRows();
    ApplyFilter();
    UpdateNamesOffer();
    // Said where the user looks, without a window to close.
    ShowStatusHint(FormatText(Lang("NamesUnlocked"), {QFileInfo(QDir::cleanPath(user)).fileName()}), -1, -1, 3);
}

void TFilePane::SelectFirstShownRow()
{
    for (int row = 0; row < lbFiles->count(); ++row)
        if (!lbFiles->isRowHidden(row)) {
            lbFiles->setCurrentRow(row);
            return;
        }
    // Nothing left to show: no row stays selected behind the filter, nor its preview.
    lbFiles->setCurrentRow(-1);
    Preview().Clear();
    Preview().StopFlash(Flash1);
    if (!lbCab->isHidden())
        SetCabListVisible(false);
}

void TFilePane::ApplyFilter()
{
    const QString filter = edFilter->text().trimmed();
    if (HistoryShown()) {
        lvConversation->SetFilter(filter);
        return;
    }
    for (int row = 0; row < lbFiles->count() && row < m_diskNames.size(); ++row) {
        bool shown = filter.isEmpty() || m_fileNames.at(row).contains(filter, Qt::CaseInsensitive)
                     || m_diskNames.at(row).contains(filter, Qt::CaseInsensitive);
        if (!shown)
            if (const auto given = m_names.NameOf(m_listedFolder, m_diskNames.at(row)))
                shown = given->name.contains(filter, Qt::CaseInsensitive)
                        || given->shortcut.contains(filter, Qt::CaseInsensitive);
        lbFiles->setRowHidden(row, !shown);
        gridFiles->setRowHidden(row, !shown);
    }
    const int current = lbFiles->currentRow();
    if (current >= 0 && lbFiles->isRowHidden(current))
        SelectFirstShownRow();
}

void TFilePane::Clear()
{
    gridFiles->CancelWork();
    lbFiles->clear();
    m_diskNames.clear();
    m_fileNames.clear();
    m_listedFolder.clear();
    barNames->hide();
    labelFileList->setToolTip(QString());
    if (HistoryShown()) {
        m_history->Leave();
        SetHistoryMode(false);
    }
}

void TFilePane::ShowSelectedFolder()
{
    const int generation = ++m_generation;
    gridFiles->CancelWork(); // the thumbnails of the folder listed before are no longer wanted
    {
        const QSignalBlocker block(lbFiles);
        lbFiles->clear();
    }
    m_diskNames.clear();
    m_fileNames.clear();
    m_listedFolder.clear();
    labelFileList->setToolTip(QString());
    QTreeWidgetItem *node = m_tree.View()->currentItem();
    if (!node) {
        barNames->hide();
        ResetPreview(lbFiles);
        return;
    }
    const QString folder = m_tree.SelectedFolder();
    browse::SetHint(labelFileList, FormatText(Lang("FileListHint"), {DisplayPath(folder)}));
    const bool wasHistory = HistoryShown();
    if (m_history->ShowFolder(folder)) {
        // A History node: its conversations instead of its files.
        SetHistoryMode(true);
        barNames->hide();
        if (!lbCab->isHidden())
            SetCabListVisible(false);
        m_listedFolder = folder;
        m_diskNames = m_fileNames = m_history->FileNames();
        m_totalFiles = m_recognizedFiles = int(m_diskNames.size());
        ShowCounts();
        Preview().Clear();
        Preview().StopFlash(Flash1);
        lvConversation->SetFilter(edFilter->text().trimmed());
        if (lbFiles->count() > 0) {
            {
                const QSignalBlocker block(lbFiles);
                lbFiles->setCurrentRow(0);
            }
            ShowSelectedFile();
        }
        return;
    }
    if (wasHistory)
        SetHistoryMode(false);

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
            // Shown as text: bytes of a name that are not UTF-8 read as Windows-1252.
            if (!x.isEmpty()) {
                m_fileNames.append(DisplayPath(ReplaceExtension(f, x)));
                m_diskNames.append(f);
                ++recognized;
            } else if (!onlyRecognized) {
                m_fileNames.append(DisplayPath(f));
                m_diskNames.append(f);
            }
        }
        m_listedFolder = folder;
        for (int row = 0; row < m_diskNames.size(); ++row)
            lbFiles->addItem(RowText(row));
        ApplyFilter();
    }
    UpdateNamesOffer();
    gridFiles->Refill();
    if (!lbCab->isHidden())
        SetCabListVisible(false);
    m_totalFiles = int(names.size());
    m_recognizedFiles = recognized;
    ShowCounts();
    int first = 0;
    while (first < lbFiles->count() && lbFiles->isRowHidden(first))
        ++first;
    if (first < lbFiles->count()) {
        {
            const QSignalBlocker block(lbFiles);
            lbFiles->setCurrentRow(first);
        }
        ShowSelectedFile();
    } else {
        ResetPreview(lbFiles); // no information card of a file no longer listed, nothing to open
        labelPreview->setToolTip(QString());
    }
}

void TFilePane::ShowSelectedFile()
{
    const int row = lbFiles->currentRow();
    if (row < 0 || row >= m_diskNames.size()) {
        ResetPreview(lbFiles); // no file: nothing to open
        return;
    }
    const int generation = ++m_generation;
    ResetPreview(lbFiles);
    if (HistoryShown()) {
        browse::SetHint(labelPreview, FormatText(Lang("PreviewHint"), {DisplayPath(m_tree.SelectedFolder() + m_diskNames.at(row))}));
        m_history->ShowSelected();
        emit filePreviewed(m_diskNames.at(row));
        return;
    }
    const QString display = m_fileNames.at(row);
    const QString disk = m_diskNames.at(row);
    const QString source = m_tree.SelectedFolder() + disk;
    browse::SetHint(labelPreview, FormatText(Lang("PreviewHint"), {DisplayPath(source)}));
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
    m_copyShownAs = display;
    PreviewFile(copy, Image1, Flash1);
    m_copyShownAs.clear();
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
        out.name = m_fileNames.at(row);
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
    if (HistoryShown()) {
        m_history->SaveSelected();
        return;
    }
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
