#include "BrowseFixtures.h"
#include "browse/CachedPictures.h"
#include "browse/FolderExport.h"
#include "browse/SwfInfo.h"
#include "browse/unitFileFolderUtil.h"
#include "common/FileOps.h"
#include "shell/DialogService.h"
#include "shell/SettingsFile.h"
#include "support/TestEnv.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

using namespace zorvak;
using namespace zorvak::test;

TEST(SwfInfo, CompressedAndPlainHeaders)
{
    for (bool compressed : {true, false}) {
        const TSwfInfo info = ParseSwfHeader(SwfMovie(compressed, 550, 400, 12.5, 300, 7));
        ASSERT_TRUE(info.valid) << info.error.toStdString();
        EXPECT_EQ(info.compressed, compressed);
        EXPECT_EQ(info.version, 7);
        EXPECT_DOUBLE_EQ(info.width, 550);
        EXPECT_DOUBLE_EQ(info.height, 400);
        EXPECT_DOUBLE_EQ(info.frameRate, 12.5);
        EXPECT_EQ(info.frameCount, 300);
    }
    const QString card = SwfInfoCard(ParseSwfHeader(SwfMovie(true, 320, 240, 12, 48)), "w.swf");
    EXPECT_TRUE(card.contains(QString::fromUtf8("320 \u00d7 240 pixels"))) << card.toStdString();
    EXPECT_TRUE(card.contains("48 frames"));
}

TEST(SwfInfo, DamagedMovies)
{
    const QByteArray good = SwfMovie(true, 100, 100, 24, 10);
    QByteArray corrupt = good;
    for (int i = 8; i < corrupt.size(); ++i)
        corrupt[i] = char(0xA5);
    for (const QByteArray &bad : {good.left(12), corrupt, QByteArray("CWS"), QByteArray("ZWS\x0d\0\0\0\0", 8),
                                  SwfMovie(false, 100, 100, 24, 10).left(10)}) {
        const TSwfInfo info = ParseSwfHeader(bad);
        EXPECT_FALSE(info.valid) << bad.toHex().constData();
        EXPECT_FALSE(info.error.isEmpty());
        EXPECT_TRUE(SwfInfoCard(info, "x.swf").contains("damaged"));
    }
}

namespace {
const fileops::CopyOptions kReplace{fileops::IfExists::Replace, true};
}

// Browse copies go through the shared copy helper with replacing allowed.
TEST_F(EnvTest, ReplacingCopyNeverLosesTheSource)
{
    WriteFile(env.path("src"), "new");
    WriteFile(env.path("dst"), "older and longer");
    EXPECT_TRUE(fileops::CopyFile(env.path("src"), env.path("dst"), kReplace));
    EXPECT_EQ(ReadFile(env.path("dst")), "new");
    // Onto itself, also through another name of the same file: nothing changes.
    EXPECT_TRUE(fileops::CopyFile(env.path("src"), env.path("./src"), kReplace));
    EXPECT_EQ(ReadFile(env.path("src")), "new");
    QString error;
    QDir().mkpath(env.path("adir"));
    EXPECT_FALSE(fileops::CopyFile(env.path("src"), env.path("adir"), kReplace, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(fileops::CopyFile(env.path("missing"), env.path("x"), kReplace, &error));
}

TEST_F(EnvTest, SaveFolderTreeNamesSkipsAndAnswers)
{
    const TSyntheticDisk d = MakeSyntheticDisk(env.path("disk"));
    const QByteArray before = TreeChecksum(d.root);
    TFolderForest roots;
    ScanFolders(roots, 1, d.Messenger("Alice"), TScanOptions::From(TSettingsValues::Defaults(), true));
    const TFolderNode *id = nullptr;
    for (const TFolderNode &n : roots)
        if (n.caption == d.idAlice)
            id = &n;
    ASSERT_NE(id, nullptr);

    const QString out = env.path("out/") + d.idAlice;
    TFolderSaver saver;
    int asked = 0;
    saver.AskOverwrite = [&](const QString &) { ++asked; return int(mrNo); };
    EXPECT_TRUE(saver.SaveFolderTree(*id, out));
    EXPECT_EQ(asked, 0);
    // Recognised files only: a.jpg, b.png, b.gif, pic.png, v.mp3, w.swf (map.dat, notes.txt, x are not).
    EXPECT_EQ(saver.Copied, 6);
    EXPECT_EQ(ReadFile(out + "/CustomEmoticons/a.jpg"), JpegPicture(40, 30));
    EXPECT_TRUE(QFileInfo::exists(out + "/CustomEmoticons/b.png"));
    EXPECT_TRUE(QFileInfo::exists(out + "/CustomEmoticons/b.gif"));
    EXPECT_TRUE(QFileInfo::exists(out + "/UserTile/pic.png"));
    EXPECT_FALSE(QFileInfo::exists(out + "/map.dat"));
    EXPECT_TRUE(QFileInfo(out + "/MapFile").isDir());

    // Again, everything exists: each answer in turn.
    const QStringList copies = ListFiles(out, QString(), false, true, true);
    ASSERT_EQ(copies.size(), 6);
    for (const QString &c : copies)
        WriteFile(c, "changed");
    saver.Reset();
    saver.KnownOnly = false;
    QList<int> answers{mrYes, mrNo, mrYesToAll};
    QStringList askedFor;
    saver.AskOverwrite = [&](const QString &t) { askedFor << t; return answers.isEmpty() ? int(mrNo) : answers.takeFirst(); };
    EXPECT_TRUE(saver.SaveFolderTree(*id, out));
    // Yes, No, Yes to All: then no more questions, and only the file answered No keeps its text.
    EXPECT_EQ(askedFor.size(), 3);
    EXPECT_TRUE(saver.OverwriteAll);
    QStringList unchanged;
    for (const QString &c : copies)
        if (ReadFile(c) == "changed")
            unchanged << c;
    EXPECT_EQ(unchanged, QStringList{askedFor.value(1)});
    EXPECT_EQ(saver.Copied, 5 + 4); // five overwritten; two map.dat, notes.txt and MapFile/x new
    EXPECT_EQ(ReadFile(out + "/map.dat"), "encrypted index");

    saver.Reset();
    int questions = 0;
    saver.AskOverwrite = [&](const QString &) { ++questions; return int(mrCancel); };
    EXPECT_FALSE(saver.SaveFolderTree(*id, out));
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(saver.Copied, 0);
    EXPECT_TRUE(saver.Cancelled);
    EXPECT_FALSE(saver.SaveFolderTree(*id, out)); // a cancelled run copies nothing more

    EXPECT_EQ(TreeChecksum(d.root), before);
}

TEST_F(EnvTest, SaveFolderTreeFailureSkipsLaterFolders)
{
    WriteFile(env.path("src/a.dat"), KindBytes(".gif"));
    WriteFile(env.path("src/b.dat"), KindBytes(".png"));
    WriteFile(env.path("src/Sub/c.dat"), KindBytes(".png"));
    QDir().mkpath(env.path("out/src/a.gif")); // a folder where a file must go: that copy fails
    TFolderNode node = FolderTreeOf(env.path("src"));
    ASSERT_EQ(node.children.size(), 1u);
    TFolderSaver saver;
    saver.AskOverwrite = [](const QString &) { return int(mrYes); };
    EXPECT_FALSE(saver.SaveFolderTree(node, env.path("out/src")));
    EXPECT_EQ(saver.Copied, 1);                       // b.png still copied
    EXPECT_TRUE(QFileInfo::exists(env.path("out/src/b.png")));
    EXPECT_FALSE(QFileInfo::exists(env.path("out/src/Sub"))); // child folder skipped
}

TEST_F(EnvTest, NumberedCopyNames)
{
    const QString f = env.path("scratch");
    QDir().mkpath(f);
    EXPECT_EQ(NumberedCopyName(f, "pic.bin"), "pic.bin");
    WriteFile(f + "/pic.bin", "1");
    EXPECT_EQ(NumberedCopyName(f, "pic.bin"), "pic[1].bin");
    WriteFile(f + "/pic[1].bin", "2");
    EXPECT_EQ(NumberedCopyName(f, "pic.bin"), "pic[2].bin");
    EXPECT_EQ(NumberedCopyName(f, "pic[1].bin"), "pic[1][1].bin");
    WriteFile(f + "/noext", "3");
    EXPECT_EQ(NumberedCopyName(f, "noext"), "noext[1]");
    WriteFile(f + "/desktop.ini", "4");
    EXPECT_EQ(FindEntryIgnoringCase(f, "Desktop.ini"), "desktop.ini");
    EXPECT_EQ(FindEntryIgnoringCase(f, "Other.ini"), "Other.ini");
}

TEST_F(EnvTest, SaveFolderTreeCopiesRegularFilesOnlyKeepingTheirTimes)
{
    const QDateTime old(QDate(2006, 5, 4), QTime(3, 2, 1), Qt::UTC);
    const QString src = env.path("src/");
    WriteFile(src + "a.dat", PngPicture(3, 3));
    {
        QFile file(src + "a.dat");
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(old, QFileDevice::FileModificationTime));
    }
    TFifoWatch fifo(src + "pipe.png");
    TFolderSaver saver;
    saver.KnownOnly = false;
    EXPECT_TRUE(saver.SaveFolderTree(FolderTreeOf(src), env.path("out/src")));
    EXPECT_EQ(saver.Copied, 1);
    EXPECT_EQ(QFileInfo(env.path("out/src/a.png")).lastModified().toUTC(), old);
    EXPECT_FALSE(QFileInfo::exists(env.path("out/src/pipe.png")));
    EXPECT_FALSE(fifo.Opened());
}

TEST_F(EnvTest, CacheFoldersAreDerivedFromTheWindowsProfile)
{
    const QString xp = env.path("DS/Alice/");
    QDir().mkpath(xp + "Local Settings/Temporary Internet Files");
    TProfileCaches caches = ProfileCaches(xp);
    EXPECT_EQ(caches.localSettings, xp + "Local Settings");
    EXPECT_EQ(caches.internetCache, xp + "Local Settings/Temporary Internet Files");

    // Vista and later, folder names in another letter case as a mounted volume may show them.
    const QString vista = env.path("Users/Bob/");
    QDir().mkpath(vista + "appdata/local/Microsoft/Windows/Temporary Internet Files");
    caches = ProfileCaches(vista);
    EXPECT_EQ(caches.localSettings, vista + "appdata/local");
    EXPECT_EQ(caches.internetCache, vista + "appdata/local/Microsoft/Windows/Temporary Internet Files");
}
