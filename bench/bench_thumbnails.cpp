// Thumbnail benchmark: a folder of 2,000 pictures (GIF, PNG, JPEG and BMP of 20 to 200 pixels)
// shown as a grid. Measures the time until the first 50 thumbnails are painted in, until all of
// them are, and the longest time the main thread goes without processing events meanwhile.
// Usage: bench_thumbnails [threads]   (default 2, the two cores the goals are set for)
#include "DemoMedia.h"
#include "browse/ui/ThumbnailView.h"
#include "browse/ui/Thumbnailer.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace zorvak;

namespace {

constexpr int kPictures = 2000;

QByteArray Picture(const char *format, int side, int seed)
{
    QImage image(side, side * 3 / 4 + 5, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, image.width(), image.height());
    gradient.setColorAt(0, QColor::fromHsv(seed * 37 % 360, 200, 230));
    gradient.setColorAt(1, QColor::fromHsv(seed * 91 % 360, 160, 90));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(Qt::white);
    painter.drawEllipse(image.rect().adjusted(3, 3, -3, -3));
    painter.end();
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return data;
}

struct Run {
    double first50Ms = -1;
    double allMs = -1;
    double longestStallMs = 0;
    int shown = 0;
    int pictures = 0;
};

Run Measure(TThumbnailView &view, int expected)
{
    Run run;
    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    QEventLoop loop;
    // A timer that fires as often as the loop lets it: the gaps between its ticks are the stalls.
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        run.longestStallMs = std::max(run.longestStallMs, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.restart();
    });
    const auto shown = QObject::connect(&view, &TThumbnailView::thumbnailShown, [&](int row) {
        ++run.shown;
        if (!view.Thumbnail(row).isNull())
            ++run.pictures;
        if (run.shown == 50)
            run.first50Ms = clock.nsecsElapsed() / 1e6;
        if (run.shown == expected) {
            run.allMs = clock.nsecsElapsed() / 1e6;
            QTimer::singleShot(50, &loop, &QEventLoop::quit); // the last repaints count too
        }
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    clock.start();
    sinceTick.start();
    view.Refill(); // what listing a folder does on the main thread
    run.longestStallMs = sinceTick.nsecsElapsed() / 1e6;
    sinceTick.restart();
    ticker.start();
    loop.exec();
    ticker.stop();
    QObject::disconnect(shown);
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int threads = argc > 1 ? std::max(1, atoi(argv[1])) : 2;

    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    QStringList names;
    QList<TPreviewKind> kinds;
    static const char *const formats[] = {"gif", "png", "jpg", "bmp"};
    for (int i = 0; i < kPictures; ++i) {
        const char *format = formats[i % 4];
        const int side = 20 + (i * 53) % 181;
        const QByteArray data = format[0] == 'g' ? demo::MakeAnimatedGif(side, QColor::fromHsv(i % 360, 200, 230))
                                                 : Picture(format, side, i);
        // Content files have no extension on disk; the list shows the recognised one.
        const QString name = QStringLiteral("%1").arg(i * 7919 % 1000003, 12, 16, QLatin1Char('0')).toUpper();
        QFile f(folder + name);
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
            return 1;
        names << name + QLatin1Char('.') + QLatin1String(format);
        kinds << pkPicture;
    }

    QListWidget list;
    list.addItems(names);
    TThumbnailer maker(nullptr, threads);
    TThumbnailView view(maker, nullptr);
    view.ShareWith(&list);
    view.SetRowSource([&](int row) {
        TThumbnailView::TRow item;
        item.path = folder + names.at(row).section(QLatin1Char('.'), 0, 0);
        item.kind = kinds.at(row);
        item.caption = names.at(row);
        return item;
    });
    view.resize(900, 700);
    view.show();
    QApplication::processEvents();
    maker.Cancel(); // the first show asked already; every run starts from nothing made

    std::printf("bench_thumbnails: %d pictures (GIF, PNG, JPEG, BMP; 20-200 px), %d worker threads, %d cores\n",
                kPictures, threads, QThread::idealThreadCount());
    const char *labels[] = {"cold (nothing cached)", "again (cached)     "};
    bool ok = true;
    for (int pass = 0; pass < 2; ++pass) {
        const Run run = Measure(view, kPictures);
        std::printf("  %s  first 50: %7.1f ms   all: %7.1f ms   longest main-thread stall: %5.1f ms   "
                    "thumbnails %d/%d\n",
                    labels[pass], run.first50Ms, run.allMs, run.longestStallMs, run.pictures, kPictures);
        if (pass == 0)
            ok = run.first50Ms >= 0 && run.first50Ms < 100 && run.allMs >= 0 && run.allMs < 1500
                 && run.longestStallMs < 50 && run.pictures == kPictures;
    }
    // Where the time of a thumbnail goes: one thread, each format on its own.
    for (int f = 0; f < 4; ++f) {
        QElapsedTimer clock;
        clock.start();
        int made = 0;
        for (int i = f; i < kPictures; i += 4)
            made += TThumbnailer::Make({folder + names.at(i).section(QLatin1Char('.'), 0, 0), pkPicture}, 96).isNull() ? 0 : 1;
        std::printf("  one thread, %s: %.2f ms a thumbnail (%d made)\n", formats[f], clock.nsecsElapsed() / 1e6 / made, made);
    }
    std::printf("  goals (first 50 < 100 ms, all < 1500 ms, stall < 50 ms): %s\n", ok ? "met" : "NOT met");
    return 0;
}
