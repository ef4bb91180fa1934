#pragma once
// Thumbnails of the files of a folder, made on worker threads so that the window keeps answering.
//
// A request lists the files of one folder (each with the kind its recognised extension gives) and
// one size; the pictures come back one by one through `ready`, on the thread that owns the
// thumbnailer, as each is made. A new request or Cancel drops whatever the previous one has not
// made yet. Made pictures are kept in memory, keyed by path, size, modification time and length,
// so going back to a folder or a size shows them at once. Only QImage is used off the main thread.
#include "browse/Recognition.h"
#include "shell/SettingsFile.h"

#include <QCache>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <atomic>
#include <memory>

namespace zorvak {

struct TThumbJob {
    QString path;                    // the file on disk
    TPreviewKind kind = pkPicture;   // pictures and cabinets are made; other kinds are not asked
};

class TThumbnailer : public QObject {
    Q_OBJECT
public:
    static constexpr int kMinSize = kMinThumbnailSize;
    static constexpr int kMaxSize = kMaxThumbnailSize;

    // `threads`: the worker count; 0 takes the machine's cores.
    explicit TThumbnailer(QObject *parent = nullptr, int threads = 0);
    ~TThumbnailer() override;

    // Cancels the previous request and starts making `jobs` at `size` (clamped to the limits),
    // in list order. Returns the request's number, which `ready` repeats.
    quint64 Request(const QList<TThumbJob> &jobs, int size);
    // Drops what the current request has not made yet; results still in flight are not reported.
    void Cancel();
    // The number of the current request (0 before the first).
    quint64 CurrentRequest() const { return m_request; }
    // Waits until the workers are idle (tests and benchmarks); true when they are.
    bool WaitForDone(int msecs);

    // The thumbnail of one file, made on the calling thread: the picture (a GIF's first frame),
    // or a cabinet's first picture, scaled to fit a size x size square with its proportions (a
    // small picture enlarged at most twice, its pixels kept sharp: browse/ui/PictureScale.h). A
    // null image when the file is not a regular file, too big, or not readable as a picture.
    static QImage Make(const TThumbJob &job, int size);

signals:
    // The thumbnail of jobs[index] of request `request`; a null image when none can be made.
    void ready(quint64 request, int index, const QImage &image);

private:
    struct TBatch {
        std::atomic<bool> cancelled{false};
    };
    struct TResult {
        quint64 request;
        int index;
        QImage image;
    };
    // Worker side: queues a result and, when none is queued yet, asks the owner's thread to drain.
    void Post(TResult result);
    // Owner side: reports queued results for a few milliseconds at a time, so that a flood of
    // results (a folder whose thumbnails are all cached) never keeps the thread from its events.
    void Drain();
    QImage Cached(const QString &key);
    void Store(const QString &key, const QImage &image);

    QThreadPool m_pool;
    quint64 m_request = 0;
    std::shared_ptr<TBatch> m_batch;
    QMutex m_resultLock;
    QList<TResult> m_results;
    bool m_drainPending = false;
    QMutex m_cacheLock;
    QCache<QString, QImage> m_cache;   // cost: kilobytes of picture data
};

} // namespace zorvak
