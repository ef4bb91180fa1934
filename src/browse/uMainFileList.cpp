// The file list of the main window: recognised names, counts, the preview and the cabinet list.
#include "browse/BrowseState.h"
#include "browse/FolderExport.h"
#include "browse/Recognition.h"
#include "browse/SwfInfo.h"
#include "browse/unitFileFolderUtil.h"
#include "browse/uMainBrowse.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "shell/uMain.h"
#include "shell/unitCustomDlg.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QMovie>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>

namespace zorvak {

namespace {

constexpr const char *kPicture = "zorvakPicture";       // QPixmap of a still picture
constexpr const char *kStretch = "zorvakStretch";
constexpr const char *kProportional = "zorvakProportional";
constexpr const char *kRefitWatched = "zorvakRefitWatched";

QMovie *MovieOf(const QLabel *image) { return image->findChild<QMovie *>(QString(), Qt::FindDirectChildrenOnly); }

QString TmpFolder(const TfrmMain &w, const char *name) { return w.AppDir + QLatin1String(name); }

// Fits a stretched picture to its control again when the control changes size.
class TRefitOnResize : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            if (auto *image = qobject_cast<QLabel *>(watched); image && image->property(kStretch).toBool())
                browse::ApplyPictureFlags(image);
        return false;
    }
};

void WatchResize(QLabel *image)
{
    // Marked by a property: the filter class has no meta-object of its own, so looking it up
    // among the children would take any child (the movie of a GIF) for it.
    if (image->property(kRefitWatched).toBool())
        return;
    image->setProperty(kRefitWatched, true);
    image->installEventFilter(new TRefitOnResize(image));
}
} // namespace

namespace browse {

void ClearPicture(QLabel *image)
{
    if (QMovie *movie = MovieOf(image)) {
        movie->stop();
        image->setMovie(nullptr);
        delete movie;
    }
    image->setProperty(kPicture, QVariant());
    image->clear();
}

bool HasPicture(const QLabel *image)
{
    return MovieOf(image) || !image->property(kPicture).value<QPixmap>().isNull();
}

QSize PictureSize(const QLabel *image)
{
    if (QMovie *movie = MovieOf(image)) {
        movie->jumpToFrame(movie->currentFrameNumber() < 0 ? 0 : movie->currentFrameNumber());
        return movie->currentImage().size();
    }
    return image->property(kPicture).value<QPixmap>().size();
}

void ApplyPictureFlags(QLabel *image)
{
    const bool stretch = image->property(kStretch).toBool();
    const bool proportional = image->property(kProportional).toBool();
    const QSize frame = image->contentsRect().size();
    const QSize own = PictureSize(image);
    QSize shown = own;
    if (stretch && !own.isEmpty() && !frame.isEmpty())
        shown = own.scaled(frame, proportional ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio);
    if (QMovie *movie = MovieOf(image)) {
        movie->setScaledSize(shown);
        return;
    }
    const QPixmap pixmap = image->property(kPicture).value<QPixmap>();
    if (pixmap.isNull())
        return;
    image->setPixmap(shown == own ? pixmap : pixmap.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

void LoadPicture(QLabel *image, const QString &path)
{
    ClearPicture(image);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    // Read into memory: the file may be replaced or deleted while the picture is shown.
    const QByteArray data = file.readAll();
    file.close();
    auto *buffer = new QBuffer;
    buffer->setData(data);
    buffer->open(QIODevice::ReadOnly);
    if (data.startsWith("GIF8")) {
        auto *movie = new QMovie(buffer, QByteArray("gif"), image);
        buffer->setParent(movie);
        if (movie->isValid() && movie->frameCount() != 0) {
            image->setMovie(movie);
            movie->start();
            return;
        }
        delete movie;
        return;
    }
    QImageReader reader(buffer);
    reader.setDecideFormatFromContent(true);
    const QImage picture = reader.read();
    delete buffer;
    if (picture.isNull())
        return;
    image->setProperty(kPicture, QPixmap::fromImage(picture));
}

void StopFlash(QLabel *flash)
{
    flash->clear();
    flash->setProperty("movie", QString());
    flash->hide();
}

void PlayFlash(QLabel *flash, const QString &movie)
{
    flash->setProperty("movie", movie);
    flash->setText(SwfInfoCard(ReadSwfInfo(movie), QFileInfo(movie).fileName()));
    flash->show();
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

void ResetPreview(TfrmMain &w, QListWidget *list)
{
    ClearPicture(w.Image1);
    StopFlash(w.Flash1);
    QListWidgetItem *item = list->currentRow() >= 0 ? list->currentItem() : nullptr;
    if (!item) {
        w.btOpen->setText(Lang("Open"));
        w.btOpen->setEnabled(false);
        w.btOpenWith->setEnabled(false);
        return;
    }
    const QString c = GetOpenCommand(ExtractFileExt(item->text()));
    if (!c.isEmpty()) {
        w.btOpen->setText(Lang("Open") + QStringLiteral(" (") + QFileInfo(c).fileName() + QLatin1Char(')'));
        w.btOpen->setEnabled(true);
    } else {
        w.btOpen->setText(Lang("Open"));
        w.btOpen->setEnabled(false);
    }
    w.btOpenWith->setEnabled(true);
}

void ShowCabList(TfrmMain &w)
{
    w.lbCabTitle->setVisible(true);
    w.lbCab->setVisible(true);
}

void HideCabList(TfrmMain &w)
{
    w.lbCabTitle->setVisible(false);
    w.lbCab->setVisible(false);
}

QString PreviewCopyPath(const TfrmMain &w, const QString &displayName)
{
    const QString ext = ExtractFileExt(displayName);
    return w.AppDir + QStringLiteral("~tmp") + (ext.isEmpty() ? QStringLiteral(".") : ext);
}

} // namespace browse

using namespace browse;

void TfrmMain::PreviewFile(const QString &path, QLabel *image, QLabel *flash)
{
    if (flash)
        StopFlash(flash);
    switch (PreviewKind(ExtractFileExt(QFileInfo(path).fileName()))) {
    case pkPicture:
        LoadPicture(image, path);
        break;
    case pkCabinet: {
        const QString nested = TmpFolder(*this, "~tmp2");
        try {
            ExtractCabinetTo(path, WithSeparator(nested));
        } catch (const std::exception &) {
        }
        for (const QString &name : ListFiles(nested, QStringLiteral("*.*"))) {
            const TPreviewKind kind = PreviewKind(ExtractFileExt(name));
            if (!flash && kind == pkPicture) {
                LoadPicture(image, WithSeparator(nested) + name);
                break;
            }
            if (flash && kind == pkFlash) {
                PlayFlash(flash, WithSeparator(nested) + name);
                break;
            }
        }
        DeleteFolder(nested, false);
        break;
    }
    case pkFlash:
        if (flash) {
            PlayFlash(flash, path);
            break;
        }
        ClearPicture(image);
        break;
    default:
        ClearPicture(image);
        break;
    }
    WatchResize(image);
    image->setProperty(kProportional, true);
    const QSize own = PictureSize(image);
    const QSize frame = image->contentsRect().size();
    image->setProperty(kStretch, own.width() > frame.width() || own.height() > frame.height());
    ApplyPictureFlags(image);
}

void TfrmMain::tvDirChange()
{
    const int generation = ++Browse->SelectionGeneration;
    {
        const QSignalBlocker block(lbFiles);
        lbFiles->clear();
    }
    Browse->DiskNames.clear();
    labelFileList->setToolTip(QString());
    QTreeWidgetItem *node = tvDir->currentItem();
    if (!node)
        return;
    const QString email = EmailById().GetValue(node->text(0));
    if (!email.isEmpty())
        ShowStatusHint(email, -1, -1, 1);
    const QString folder = SelectedFolder();
    SetHint(labelFileList, FormatText(Lang("FileListHint"), {folder}));
    SetHint(btExplore, FormatText(Lang("ExploreFolderHint"), {folder}));

    const QStringList names = ListFiles(folder);
    if (generation != Browse->SelectionGeneration)
        return; // another selection has filled the list while this folder was read
    const bool onlyRecognized = chOnlyRecognized->isChecked();
    int recognized = 0;
    {
        const QSignalBlocker block(lbFiles);
        for (const QString &f : names) {
            if (onlyRecognized && !IsRecognitionCandidate(f))
                continue;
            const QString x = RecognizeFile(folder + f);
            if (!x.isEmpty()) {
                lbFiles->addItem(ReplaceExtension(f, x));
                Browse->DiskNames.append(f);
                ++recognized;
            } else if (!onlyRecognized) {
                lbFiles->addItem(f);
                Browse->DiskNames.append(f);
            }
        }
    }
    if (!lbCab->isHidden())
        HideCabList(*this);
    lbTotalFiles->setText(FormatText(Lang("TotFiles"), {int(names.size())}));
    lbRecognized->setText(FormatText(Lang("TotRecog"), {recognized}));
    if (lbFiles->count() > 0) {
        {
            const QSignalBlocker block(lbFiles);
            lbFiles->setCurrentRow(0);
        }
        lbFilesClick();
    } else {
        ClearPicture(Image1);
        StopFlash(Flash1); // no information card of a file that is no longer listed
        labelPreview->setToolTip(QString());
    }
}

void TfrmMain::chOnlyRecognizedClick() { tvDirChange(); }

void TfrmMain::lbFilesClick()
{
    const int row = lbFiles->currentRow();
    if (row < 0 || row >= Browse->DiskNames.size())
        return;
    const int generation = ++Browse->SelectionGeneration;
    ResetPreview(*this, lbFiles);
    const QString display = lbFiles->item(row)->text();
    const QString disk = Browse->DiskNames.at(row);
    const TPreviewKind kind = PreviewKind(ExtractFileExt(display));
    SetHint(labelPreview, FormatText(Lang("PreviewHint"), {SelectedFolder() + disk}));
    const QString copy = PreviewCopyPath(*this, display);
    if (CopyFileReplacing(SelectedFolder() + disk, copy))
        QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                        | QFileDevice::ReadOther);
    if (kind == pkCabinet) {
        ShowCabList(*this);
        const QString cabFolder = TmpFolder(*this, "~tmp");
        DeleteFolder(cabFolder, false);
        QDir().mkpath(cabFolder);
        try {
            ExtractCabinetTo(copy, WithSeparator(cabFolder));
        } catch (const std::exception &) {
        }
        const QStringList entries = ListFiles(cabFolder, QStringLiteral("*.*"));
        if (generation != Browse->SelectionGeneration)
            return; // the list was filled anew meanwhile; these entries are no longer shown
        const QSignalBlocker block(lbCab);
        lbCab->clear();
        bool played = false;
        for (const QString &name : entries) {
            lbCab->addItem(name);
            if (!played && PreviewKind(ExtractFileExt(name)) == pkFlash) {
                PlayFlash(Flash1, WithSeparator(cabFolder) + name);
                played = true;
            }
        }
        lbCab->setCurrentRow(-1);
        return;
    }
    if (!lbCab->isHidden())
        HideCabList(*this);
    PreviewFile(copy, Image1, Flash1);
}

void TfrmMain::lbCabClick()
{
    if (lbCab->currentRow() < 0)
        return;
    ResetPreview(*this, lbCab);
    PreviewFile(WithSeparator(TmpFolder(*this, "~tmp")) + lbCab->currentItem()->text(), Image1, Flash1);
}

void TfrmMain::Image1Click()
{
    const bool stretch = !Image1->property(kStretch).toBool();
    Image1->setProperty(kStretch, stretch);
    if (stretch) {
        Image1->setProperty(kProportional, true);
    } else {
        const QSize own = PictureSize(Image1);
        const QSize frame = Image1->contentsRect().size();
        Image1->setProperty(kProportional, own.width() <= frame.width() && own.height() <= frame.height());
    }
    ApplyPictureFlags(Image1);
}

} // namespace zorvak
