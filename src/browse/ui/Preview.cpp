#include "browse/ui/Preview.h"

#include "browse/SwfInfo.h"
#include "browse/ui/PictureScale.h"
#include "browse/ui/uMainBrowse.h"

#include <QBuffer>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QMovie>

namespace zorvak {

TPreview::TPreview(QLabel *image) : QObject(image), m_image(image)
{
    setObjectName(QStringLiteral("Preview"));
    image->installEventFilter(this); // a stretched picture follows the control's size
}

TPreview *TPreview::Of(QLabel *image)
{
    if (TPreview *found = Find(image))
        return found;
    return new TPreview(image);
}

TPreview *TPreview::Find(const QLabel *image)
{
    return image->findChild<TPreview *>(QString(), Qt::FindDirectChildrenOnly);
}

bool TPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_image && event->type() == QEvent::Resize && m_stretch)
        Apply();
    return false;
}

void TPreview::Clear()
{
    if (m_movie) {
        m_movie->stop();
        m_image->setMovie(nullptr);
        delete m_movie;
        m_movie = nullptr;
    }
    m_sharpFrames = false;
    m_picture = QPixmap();
    m_image->clear();
}

bool TPreview::HasPicture() const { return m_movie || !m_picture.isNull(); }

QSize TPreview::PictureSize() const
{
    return m_movie ? m_movieSize : m_picture.size();
}

void TPreview::Apply()
{
    const QSize frame = m_image->contentsRect().size();
    const QSize own = PictureSize();
    m_shown = own;
    if (m_stretch && !own.isEmpty() && !frame.isEmpty())
        m_shown = FittedSize(own, frame, m_proportional ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio);
    const Qt::TransformationMode mode = Transformation(own, m_shown);
    if (m_movie) {
        // The movie scales its frames smoothly; a small one enlarged is drawn here frame by
        // frame, its pixels kept sharp.
        m_sharpFrames = m_shown != own && mode == Qt::FastTransformation;
        if (m_sharpFrames) {
            m_movie->setScaledSize(QSize());
            ShowFrame();
        } else {
            m_movie->setScaledSize(m_shown);
            if (m_image->movie() != m_movie)
                m_image->setMovie(m_movie);
        }
        return;
    }
    if (m_picture.isNull())
        return;
    m_image->setPixmap(m_shown == own ? m_picture : m_picture.scaled(m_shown, Qt::IgnoreAspectRatio, mode));
}

void TPreview::ShowFrame()
{
    if (m_movie && m_sharpFrames)
        m_image->setPixmap(m_movie->currentPixmap().scaled(m_shown, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

void TPreview::Load(const QString &path)
{
    Clear();
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
        auto *movie = new QMovie(buffer, QByteArray("gif"), m_image);
        buffer->setParent(movie);
        if (movie->isValid() && movie->frameCount() != 0) {
            m_movie = movie;
            movie->jumpToFrame(0);
            m_movieSize = movie->currentImage().size(); // its own size, before any scaling
            m_image->setMovie(movie);
            connect(movie, &QMovie::frameChanged, this, &TPreview::ShowFrame);
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
    if (!picture.isNull())
        m_picture = QPixmap::fromImage(picture);
}

void TPreview::FitToControl()
{
    m_proportional = true;
    const QSize own = PictureSize();
    const QSize frame = m_image->contentsRect().size();
    m_stretch = own.width() > frame.width() || own.height() > frame.height();
    Apply();
}

void TPreview::ToggleStretch()
{
    m_stretch = !m_stretch;
    if (m_stretch) {
        m_proportional = true;
    } else {
        const QSize own = PictureSize();
        const QSize frame = m_image->contentsRect().size();
        m_proportional = own.width() <= frame.width() && own.height() <= frame.height();
    }
    Apply();
}

void TPreview::PlayFlash(QLabel *flash, const QString &movie, const QString &shownName)
{
    m_flashMovie = movie;
    flash->setText(SwfInfoCard(ReadSwfInfo(movie), shownName.isEmpty() ? QFileInfo(movie).fileName() : shownName));
    flash->show();
}

void TPreview::StopFlash(QLabel *flash)
{
    m_flashMovie.clear();
    flash->clear();
    flash->hide();
}

} // namespace zorvak

namespace zorvak::browse {

void LoadPicture(QLabel *image, const QString &path) { TPreview::Of(image)->Load(path); }

bool HasPicture(const QLabel *image)
{
    const TPreview *preview = TPreview::Find(image);
    return preview && preview->HasPicture();
}

QSize PictureSize(const QLabel *image)
{
    const TPreview *preview = TPreview::Find(image);
    return preview ? preview->PictureSize() : QSize();
}

} // namespace zorvak::browse
