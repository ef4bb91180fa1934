// Thumbnails made off the main thread: each picture format, cabinets, hostile files, the cache, and
// the cancellation of a folder's work when another folder is listed.
#include "browse/ui/Thumbnailer.h"
#include "browse/ui/ThumbnailView.h"
#include "browse/ui/PictureScale.h"
#include "browse/ui/Preview.h"
#include "DemoMedia.h"
#include "cabinet/cabfiles.h"
#include "support/TestEnv.h"

#include <QBuffer>
#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QSet>
#include <QListWidget>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {

QByteArray Picture(const char *format, int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format)) << format;
    return data;
}

// The colour in the middle of a thumbnail.
QColor Middle(const QImage &image) { return image.pixelColor(image.width() / 2, image.height() / 2); }

bool Near(QColor a, QColor b) { return qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 && qAbs(a.blue() - b.blue()) < 24; }

// Every `ready` of a thumbnailer, in the order delivered.
struct Collector {
    explicit Collector(TThumbnailer &maker)
    {
        QObject::connect(&maker, &TThumbnailer::ready, &maker,
                         [this](quint64 request, int index, const QImage &image) { got.append({request, index, image}); });
    }
    struct Got {
        quint64 request;
        int index;
        QImage image;
    };
    QList<Got> got;
};

} // namespace

TEST_F(EnvTest, ThumbnailsOfEachPictureFormatFitTheSizeWithTheirProportions)
{
    struct Case {
        const char *format;
        int width, height;
        QSize expected;
    };
    const QColor colour(40, 160, 220);
    for (const Case &c : {Case{"png", 200, 100, {96, 48}}, Case{"jpg", 150, 300, {48, 96}}, Case{"bmp", 20, 20, {40, 40}}}) {
        const QString path = env.path(QStringLiteral("pictures/") + QLatin1String(c.format));
        ASSERT_TRUE(WriteFile(path, Picture(c.format, c.width, c.height, colour)));
        const QImage thumb = TThumbnailer::Make({path, pkPicture}, 96);
        ASSERT_FALSE(thumb.isNull()) << c.format;
        EXPECT_EQ(thumb.size(), c.expected) << c.format;
        EXPECT_TRUE(Near(Middle(thumb), colour)) << c.format;
    }
    // Icons and cursors (a cursor file is an icon file of type 2).
    QByteArray cursor = Picture("ico", 32, 32, colour);
    ASSERT_GT(cursor.size(), 2);
    cursor[2] = 2;
    for (const auto &[name, data] : {std::pair{"x.ico", Picture("ico", 32, 32, colour)}, std::pair{"x.cur", cursor}}) {
        const QString path = env.path(QStringLiteral("pictures/") + QLatin1String(name));
        ASSERT_TRUE(WriteFile(path, data));
        const QImage thumb = TThumbnailer::Make({path, PreviewKind(ExtractFileExt(path))}, 64);
        ASSERT_FALSE(thumb.isNull()) << name;
        EXPECT_EQ(thumb.size(), QSize(64, 64)) << name;
        EXPECT_TRUE(Near(Middle(thumb), colour)) << name;
    }
    // An animated GIF: its first frame.
    const QString gif = env.path(QStringLiteral("pictures/gif"));
    ASSERT_TRUE(WriteFile(gif, demo::MakeAnimatedGif(19, QColor(255, 210, 0))));
    const QImage still = TThumbnailer::Make({gif, pkPicture}, 57);
    ASSERT_FALSE(still.isNull());
    EXPECT_EQ(still.size(), QSize(38, 38)); // at most twice its size
    // Sizes outside the limits are brought into them.
    const QString png = env.path(QStringLiteral("pictures/png"));
    EXPECT_EQ(TThumbnailer::Make({png, pkPicture}, 10).width(), TThumbnailer::kMinSize);
    EXPECT_EQ(TThumbnailer::Make({png, pkPicture}, 1000).width(), TThumbnailer::kMaxSize);
}

TEST_F(EnvTest, SmallPicturesAreEnlargedAtMostTwiceWithoutBlur)
{
    // A 16 px checkerboard of two colours and a 16 px animated emoticon, as thumbnails and in the
    // stretched preview: 32 px at most, and no colour that the picture does not hold.
    QImage checker(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            checker.setPixelColor(x, y, (x + y) % 2 ? QColor(200, 30, 30) : QColor(20, 20, 220));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(checker.save(&buffer, "png"));
    auto colours = [](QImage image) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        QSet<QRgb> found;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                found.insert(qAlpha(image.pixel(x, y)) ? image.pixel(x, y) : 0); // one transparent
        return found;
    };
    QLabel control;
    control.resize(300, 300);
    TPreview *preview = TPreview::Of(&control);
    for (const auto &[name, data] : {std::pair{"checker.png", png}, std::pair{"smile.gif", demo::MakeAnimatedGif(16, QColor(255, 210, 0))}}) {
        SCOPED_TRACE(name);
        const QString path = env.path(QLatin1String(name));
        ASSERT_TRUE(WriteFile(path, data));
        QImageReader reader(path);
        const QSet<QRgb> own = colours(reader.read());
        for (int size : {64, TThumbnailer::kMaxSize}) {
            const QImage thumb = TThumbnailer::Make({path, pkPicture}, size);
            EXPECT_EQ(thumb.size(), QSize(32, 32));
            EXPECT_EQ(colours(thumb), own);
        }
        preview->Load(path);
        preview->FitToControl();
        EXPECT_FALSE(preview->Stretched());
        preview->ToggleStretch();
        ASSERT_TRUE(preview->Stretched());
        for (int frame = 0; frame < 3; ++frame) { // a movie's next frames too
            const QPixmap shown = control.pixmap();
            EXPECT_EQ(shown.size(), QSize(32, 32));
            EXPECT_EQ(colours(shown.toImage()), own);
            QTest::qWait(60);
        }
    }
    // A large picture still fills the frame, a small one enlarged at most twice.
    EXPECT_EQ(FittedSize(QSize(200, 100), QSize(300, 300)), QSize(300, 150));
    EXPECT_EQ(FittedSize(QSize(100, 20), QSize(300, 300)), QSize(200, 40));
    EXPECT_EQ(Transformation(QSize(100, 20), QSize(200, 40)), Qt::SmoothTransformation);
}

TEST_F(EnvTest, AWinkCabinetGivesItsStillPicture)
{
    const QString work = env.path(QStringLiteral("wink/"));
    ASSERT_TRUE(WriteFile(work + QStringLiteral("movie.swf"), QByteArray("FWS\x06 not really a movie")));
    ASSERT_TRUE(WriteFile(work + QStringLiteral("still.png"), Picture("png", 50, 50, QColor(250, 140, 0))));
    TCABFile cab;
    cab.CABFile = env.path(QStringLiteral("wink.cab"));
    cab.CABFileContents.Add().Name = work + QStringLiteral("movie.swf");
    cab.CABFileContents.Add().Name = work + QStringLiteral("still.png");
    ASSERT_TRUE(cab.CreateCabinet());
    const QImage thumb = TThumbnailer::Make({cab.CABFile, pkCabinet}, 64);
    ASSERT_FALSE(thumb.isNull());
    EXPECT_EQ(thumb.size(), QSize(64, 64));
    EXPECT_TRUE(Near(Middle(thumb), QColor(250, 140, 0)));
    // Nothing of the cabinet is left behind in the application's folder.
    EXPECT_TRUE(QDir(env.appDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(EnvTest, HostileOrOddFilesGiveNoThumbnailAndNeverHang)
{
    const QString fifo = env.path(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // A bitmap whose header claims 60000 x 60000 pixels, with no data behind it.
    QByteArray huge = Picture("bmp", 4, 4, Qt::red);
    const qint32 side = 60000;
    memcpy(huge.data() + 18, &side, 4);
    memcpy(huge.data() + 22, &side, 4);
    ASSERT_TRUE(WriteFile(env.path(QStringLiteral("huge.bmp")), huge));
    ASSERT_TRUE(WriteFile(env.path(QStringLiteral("junk")), QByteArray(5000, '\x5a')));
    ASSERT_TRUE(WriteFile(env.path(QStringLiteral("empty")), QByteArray()));
    ASSERT_TRUE(WriteFile(env.path(QStringLiteral("truncated.png")), Picture("png", 64, 64, Qt::blue).left(40)));
    ASSERT_TRUE(QDir().mkpath(env.path(QStringLiteral("folder"))));
    QElapsedTimer clock;
    clock.start();
    for (const char *name : {"pipe", "huge.bmp", "junk", "empty", "truncated.png", "folder", "missing"})
        for (TPreviewKind kind : {pkPicture, pkCabinet})
            EXPECT_TRUE(TThumbnailer::Make({env.path(QLatin1String(name)), kind}, 96).isNull()) << name;
    EXPECT_LT(clock.elapsed(), 10000) << "a FIFO is never opened";
    // Kinds that have no picture are not made.
    ASSERT_TRUE(WriteFile(env.path(QStringLiteral("clip.png")), Picture("png", 8, 8, Qt::green)));
    EXPECT_TRUE(TThumbnailer::Make({env.path(QStringLiteral("clip.png")), pkSound}, 96).isNull());
}

TEST_F(EnvTest, ANewRequestDropsThePreviousFoldersWork)
{
    QList<TThumbJob> first, second;
    for (int i = 0; i < 60; ++i) {
        const QString path = env.path(QStringLiteral("a/%1.png").arg(i));
        ASSERT_TRUE(WriteFile(path, Picture("png", 180, 180, QColor(i * 4, 0, 0))));
        first.append({path, pkPicture});
    }
    for (int i = 0; i < 5; ++i) {
        const QString path = env.path(QStringLiteral("b/%1.jpg").arg(i));
        ASSERT_TRUE(WriteFile(path, Picture("jpg", 40, 40, QColor(0, 0, 200))));
        second.append({path, pkPicture});
    }
    TThumbnailer maker(nullptr, 1);
    Collector seen(maker);
    const quint64 a = maker.Request(first, 96);
    QTest::qWait(5); // some of the first folder is made meanwhile, and waits to be delivered
    const quint64 b = maker.Request(second, 96);
    EXPECT_GT(b, a);
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.got.size() >= 5; }, 10000));
    ASSERT_TRUE(maker.WaitForDone(10000));
    QTest::qWait(50);
    QCoreApplication::processEvents();
    ASSERT_EQ(seen.got.size(), 5);
    QList<int> indexes;
    for (const auto &got : seen.got) {
        EXPECT_EQ(got.request, b);
        EXPECT_TRUE(Near(Middle(got.image), QColor(0, 0, 200)));
        indexes << got.index;
    }
    std::sort(indexes.begin(), indexes.end());
    EXPECT_EQ(indexes, (QList<int>{0, 1, 2, 3, 4}));

    // Cancel: nothing more is delivered.
    seen.got.clear();
    maker.Request(first, 48);
    maker.Cancel();
    ASSERT_TRUE(maker.WaitForDone(10000));
    QTest::qWait(50);
    EXPECT_TRUE(seen.got.isEmpty());
}

TEST_F(EnvTest, TheCacheFollowsTheFilesModificationAndTheSize)
{
    const QString path = env.path(QStringLiteral("c/one.png"));
    ASSERT_TRUE(WriteFile(path, Picture("png", 100, 100, QColor(200, 0, 0))));
    TThumbnailer maker;
    Collector seen(maker);
    auto make = [&](int size) {
        seen.got.clear();
        maker.Request({{path, pkPicture}}, size);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !seen.got.isEmpty(); }, 10000));
        return seen.got.isEmpty() ? QImage() : seen.got.first().image;
    };
    EXPECT_TRUE(Near(Middle(make(96)), QColor(200, 0, 0)));
    // The same file changed (another time, same length): the new picture, not the one kept.
    QFile file(path);
    ASSERT_TRUE(WriteFile(path, Picture("png", 100, 100, QColor(0, 200, 0))));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(30), QFileDevice::FileModificationTime));
    file.close();
    const QImage changed = make(96);
    EXPECT_TRUE(Near(Middle(changed), QColor(0, 200, 0)));
    EXPECT_EQ(changed.width(), 96);
    EXPECT_EQ(make(64).width(), 64) << "each size is made on its own";
}

TEST_F(EnvTest, TheSelectedThumbnailIsHighlightedWithItsCaptionInTheSelectionsTextColour)
{
    QListWidget list;
    list.addItem(QStringLiteral("a.mid"));
    TThumbnailer maker;
    TThumbnailView grid(maker, nullptr);
    grid.ShareWith(&list);
    grid.SetRowSource([](int) {
        TThumbnailView::TRow row;
        row.caption = QStringLiteral("WWWWWWWWWW");
        row.detail = QStringLiteral("a.mid");
        return row;
    });
    grid.resize(320, 320);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    list.setCurrentRow(0);
    const QRect cell = grid.visualRect(list.model()->index(0, 0));
    const QImage shot = grid.viewport()->grab().toImage().scaled(grid.viewport()->size());
    const QPalette::ColorGroup group = grid.hasFocus() ? QPalette::Active : QPalette::Inactive;
    const QColor highlight = grid.palette().color(group, QPalette::Highlight);
    const QColor text = grid.palette().color(group, QPalette::HighlightedText);
    EXPECT_TRUE(Near(shot.pixelColor(cell.left() + 4, cell.bottom() - 4), highlight));
    // The caption's line holds the selection's text colour, not the list's.
    bool captionSeen = false;
    const int captionY = cell.top() + grid.ThumbSize() + 6 + grid.fontMetrics().height() / 2 + 3;
    for (int dy = -3; dy <= 3 && !captionSeen; ++dy)
        for (int x = cell.left(); x < cell.right() && !captionSeen; ++x)
            captionSeen = Near(shot.pixelColor(x, captionY + dy), text);
    EXPECT_TRUE(captionSeen);
}
