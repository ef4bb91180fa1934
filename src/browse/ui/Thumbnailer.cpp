#include "browse/ui/Thumbnailer.h"

#include "browse/ui/PictureScale.h"
#include "common/PathBytes.h"

#include "cabinet/CabinetTasks.h"
#include "common/FileOps.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMutexLocker>
#include <QPointer>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvak {

namespace {
// Content files are small; anything bigger is not read for a thumbnail.
constexpr qint64 kMaxPictureBytes = 32 * 1024 * 1024;
constexpr qint64 kMaxCabinetBytes = 16 * 1024 * 1024;
// A picture that claims more pixels than this is not decoded (a hostile header can claim any size).
constexpr qint64 kMaxPixels = 40LL * 1000 * 1000;
constexpr int kCacheKilobytes = 96 * 1024;
// The longest the owner's thread spends reporting results before it lets other events run.
constexpr int kDrainMillis = 8;

QImage PictureThumbnail(const QString &path, int size)
{
    // Opened without waiting and checked once open: a FIFO put in the file's place after the
    // folder was listed is never read (the read would wait for a writer forever).
    const int fd = ::open(PathToBytes(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxPictureBytes) {
        ::close(fd);
        return {};
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    // Read into memory first: the file may change while it is decoded.
    QByteArray data = file.read(kMaxPictureBytes + 1);
    if (data.size() > kMaxPictureBytes)
        return {};
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QSize own = reader.size();
    if (own.isValid()) {
        if (qint64(own.width()) * own.height() > kMaxPixels)
            return {};
        const QSize fit = own.scaled(size, size, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        // Formats that decode straight to a smaller size (JPEG) save most of the work.
        if (fit.width() < own.width() && reader.supportsOption(QImageIOHandler::ScaledSize))
            reader.setScaledSize(fit);
    }
    QImage image = reader.read(); // the first frame of an animation
    if (image.isNull())
        return {};
    const QSize shown = FittedSize(image.size(), QSize(size, size));
    if (shown != image.size())
        image = image.scaled(shown, Qt::IgnoreAspectRatio, Transformation(image.size(), shown));
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage CabinetThumbnail(const QString &path, int size)
{
    if (!fileops::IsRegularFile(path) || fsys::Size(path) > kMaxCabinetBytes)
        return {};
    QTemporaryDir work;
    if (!work.isValid())
        return {};
    // Only the one picture is extracted, within limits: the cabinet's list says which and how big.
    TCABFile cab;
    QString picture;
    try {
        picture = ExtractFirstPicture(cab, path, work.path() + QLatin1Char('/'),
                                      [](const QString &name) { return PreviewKind(ExtractFileExt(name)) == pkPicture; },
                                      {kMaxPictureBytes, kMaxPictureBytes, 4 * kMaxPictureBytes, {}});
    } catch (const std::exception &) {
        return {};
    }
    return picture.isEmpty() ? QImage() : PictureThumbnail(picture, size);
}

QString CacheKey(const QString &path, int size)
{
    const QFileInfo info(path);
    return path + QLatin1Char('\n') + QString::number(size) + QLatin1Char('\n')
           + QString::number(info.lastModified().toMSecsSinceEpoch()) + QLatin1Char('\n')
           + QString::number(info.size());
}
} // namespace

TThumbnailer::TThumbnailer(QObject *parent, int threads) : QObject(parent)
{
    setObjectName(QStringLiteral("Thumbnailer"));
    m_pool.setMaxThreadCount(threads > 0 ? threads : std::max(1, QThread::idealThreadCount()));
    m_cache.setMaxCost(kCacheKilobytes);
}

TThumbnailer::~TThumbnailer()
{
    Cancel();
    m_pool.waitForDone();
}

QImage TThumbnailer::Make(const TThumbJob &job, int size)
{
    size = std::clamp(size, kMinSize, kMaxSize);
    try {
        if (job.kind == pkPicture)
            return PictureThumbnail(job.path, size);
        if (job.kind == pkCabinet)
            return CabinetThumbnail(job.path, size);
    } catch (const std::exception &) {
    }
    return {};
}

void TThumbnailer::Cancel()
{
    if (m_batch)
        m_batch->cancelled = true;
    m_batch.reset();
    m_pool.clear(); // jobs not started yet are dropped
    const QMutexLocker lock(&m_resultLock);
    m_results.clear();
}

quint64 TThumbnailer::Request(const QList<TThumbJob> &jobs, int size)
{
    Cancel();
    const quint64 request = ++m_request;
    size = std::clamp(size, kMinSize, kMaxSize);
    auto batch = std::make_shared<TBatch>();
    m_batch = batch;
    for (int i = 0; i < jobs.size(); ++i) {
        const TThumbJob job = jobs.at(i);
        m_pool.start([this, batch, job, size, request, i] {
            if (batch->cancelled)
                return;
            const QString key = CacheKey(job.path, size);
            QImage image = Cached(key);
            if (image.isNull()) {
                image = Make(job, size);
                if (!image.isNull())
                    Store(key, image);
            }
            if (!batch->cancelled)
                Post({request, i, image});
        });
    }
    return request;
}

bool TThumbnailer::WaitForDone(int msecs) { return m_pool.waitForDone(msecs); }

void TThumbnailer::Post(TResult result)
{
    const QMutexLocker lock(&m_resultLock);
    m_results.append(std::move(result));
    if (m_drainPending)
        return;
    m_drainPending = true;
    QMetaObject::invokeMethod(this, &TThumbnailer::Drain, Qt::QueuedConnection);
}

void TThumbnailer::Drain()
{
    QElapsedTimer budget;
    budget.start();
    QList<TResult> results;
    {
        const QMutexLocker lock(&m_resultLock);
        results.swap(m_results);
    }
    for (qsizetype i = 0; i < results.size(); ++i) {
        const TResult &result = results.at(i);
        // Results of a request that was replaced or cancelled are dropped here.
        if (result.request == m_request && m_batch)
            emit ready(result.request, result.index, result.image);
        if (budget.elapsed() >= kDrainMillis && i + 1 < results.size()) {
            // The rest after the events that are waiting (timers and input included).
            const QMutexLocker lock(&m_resultLock);
            m_results = results.mid(i + 1) + m_results;
            QTimer::singleShot(0, this, &TThumbnailer::Drain);
            return;
        }
    }
    const QMutexLocker lock(&m_resultLock);
    if (m_results.isEmpty())
        m_drainPending = false;
    else
        QTimer::singleShot(0, this, &TThumbnailer::Drain);
}

QImage TThumbnailer::Cached(const QString &key)
{
    const QMutexLocker lock(&m_cacheLock);
    const QImage *found = m_cache.object(key);
    return found ? *found : QImage();
}

void TThumbnailer::Store(const QString &key, const QImage &image)
{
    const QMutexLocker lock(&m_cacheLock);
    m_cache.insert(key, new QImage(image), std::max<qsizetype>(1, image.sizeInBytes() / 1024));
}

} // namespace zorvak
