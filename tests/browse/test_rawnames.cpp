// Names that are not UTF-8 (Windows-1252 and CP437 bytes from old disks and archives): kept byte
// for byte from the listing to every file operation, shown as Windows-1252 text, and a file that
// cannot be copied is reported by its bytes.
#include "BrowseFixtures.h"
#include "backup/BackupCore.h"
#include "browse/FolderExport.h"
#include "browse/FolderScan.h"
#include "browse/Recognition.h"
#include "browse/unitFileFolderUtil.h"
#include "cabinet/cabfiles.h"
#include "common/FileOps.h"
#include "common/PathBytes.h"
#include "shell/SettingsFile.h"
#include "support/TestEnv.h"

#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace zorvak;
using namespace zorvak::test;
using namespace Qt::StringLiterals;

namespace {

bool RawExists(const QByteArray &path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

} // namespace

TEST(RawNames, BytesRoundTripAndShowAsWindows1252)
{
    const struct {
        QByteArray bytes;
        bool raw;
        QString shown;
        QString escaped;
    } cases[] = {
        {"caf\xc3\xa9", false, u"café"_s, u"café"_s},                    // valid UTF-8
        {"caf\xe9", true, u"café"_s, u"caf\\xe9"_s},                       // Latin-1 / Windows-1252
        {"\x82t\x82", true, u"\u201at\u201a"_s, u"\\x82t\\x82"_s},         // CP437 "été"
        {"\x81\x8d", true, u"\u0081\u008d"_s, u"\\x81\\x8d"_s},             // holes of the code page
        {"a\xc3", true, u"aÃ"_s, u"a\\xc3"_s},                             // cut sequence
        {"\xc0\xaf", true, u"À¯"_s, u"\\xc0\\xaf"_s},                      // overlong "/"
        {"\xed\xb3\xa9", true, u"í³©"_s, u"\\xed\\xb3\\xa9"_s},            // an encoded surrogate
        {"\xf4\x90\x80\x80", true, u"ô\u0090€€"_s, u"\\xf4\\x90\\x80\\x80"_s}, // above U+10FFFF
        {"\xf0\x9f\x98\x80\xff", true, u"\U0001F600ÿ"_s, u"\U0001F600\\xff"_s},
    };
    for (const auto &c : cases) {
        const QString path = PathFromBytes(c.bytes);
        EXPECT_EQ(PathToBytes(path), c.bytes) << c.bytes.toHex().constData();
        EXPECT_EQ(HasRawBytes(path), c.raw) << c.bytes.toHex().constData();
        EXPECT_EQ(DisplayPath(path), c.shown) << c.bytes.toHex().constData();
        EXPECT_EQ(EscapedPath(path), c.escaped) << c.bytes.toHex().constData();
    }
}

TEST_F(EnvTest, RawNamesReachListingRecognitionScanSaveBackupAndCabinets)
{
    // docset/Jos\xe9/Application Data/Microsoft/MSN Messenger/1234567890/CustomEmoticons/ with
    // Latin-1 and CP437 names of files and of a folder.
    const QByteArray docSet = PathToBytes(env.path("ds"));
    const QByteArray profile = docSet + "/Jos\xe9";
    const QByteArray user = profile + "/Application Data/Microsoft/MSN Messenger/1234567890";
    const QByteArray emot = user + "/CustomEmoticons/";
    const std::shared_ptr<void> cleanup(nullptr, [&docSet](void *) { RemoveRawTree(docSet); });
    WriteRawFile(emot + "caf\xe9.dat", GifPicture(1));
    WriteRawFile(emot + "\x82t\x82.dat", GifPicture(2));
    WriteRawFile(emot + "\x8et\x82/r\xe9sum\xe9", GifPicture(3));
    const QString emotPath = PathFromBytes(emot);

    // Listing and recognition.
    QStringList files = ListFiles(emotPath);
    files.sort();
    ASSERT_EQ(files, (QStringList{PathFromBytes("caf\xe9.dat"), PathFromBytes("\x82t\x82.dat")}));
    for (const QString &f : files)
        EXPECT_EQ(RecognizeFile(emotPath + f), QStringLiteral(".gif")) << EscapedPath(f).toStdString();
    EXPECT_EQ(ListFolders(emotPath), QStringList{PathFromBytes("\x8et\x82/")});

    // The scan finds the profile and shows its name as Windows-1252 text.
    TScanOptions o;
    o.appDatDir = QStringLiteral("Application Data/");
    o.msnDatDir = QStringLiteral("Microsoft/MSN Messenger/");
    TFolderForest forest;
    ScanFolders(forest, 0, PathFromBytes(docSet), o);
    ASSERT_EQ(forest.size(), 1u);
    EXPECT_EQ(forest[0].caption, u"José"_s);
    EXPECT_EQ(PathToBytes(forest[0].folder), profile + "/");
    ASSERT_EQ(forest[0].children.size(), 1u);
    ASSERT_EQ(forest[0].children[0].children.size(), 1u);
    EXPECT_EQ(PathToBytes(forest[0].children[0].children[0].folder), emot);

    // Save folder as: every file and folder under its Windows-1252 name.
    TFolderSaver saver;
    saver.AskOverwrite = [](const QString &) { return int(mrYes); };
    const QString out = env.path("out/");
    ASSERT_TRUE(saver.SaveFolderTree(FolderTreeOf(emotPath), out + QStringLiteral("CustomEmoticons")));
    EXPECT_EQ(saver.Copied, 3);
    EXPECT_EQ(ReadFile(out + u"CustomEmoticons/café.gif"_s), GifPicture(1));
    EXPECT_EQ(ReadFile(out + u"CustomEmoticons/\u201at\u201a.gif"_s), GifPicture(2));
    EXPECT_EQ(ReadFile(out + u"CustomEmoticons/Žt\u201a/résumé.gif"_s), GifPicture(3));
    // A file that cannot be written is named by its bytes on disk and fails the run.
    saver.Reset();
    ASSERT_TRUE(QDir().mkpath(out + u"again/café.gif/x"_s));
    EXPECT_FALSE(saver.SaveFolderTree(FolderTreeOf(emotPath), out + QStringLiteral("again")));
    ASSERT_EQ(saver.Failed.size(), 1);
    EXPECT_TRUE(saver.Failed[0].contains(u"/ds/Jos\\xe9/"_s) && saver.Failed[0].contains(u"/caf\\xe9.dat: "_s))
        << saver.Failed[0].toStdString();

    // Copies and backup collection reach the file by its bytes; the map's Windows-1252 name finds it.
    EXPECT_TRUE(fileops::CopyFile(emotPath + files[0], PathFromBytes(profile + "/copy\xe9"), {}));
    EXPECT_TRUE(RawExists(profile + "/copy\xe9"));
    EXPECT_EQ(PathToBytes(FindObjectFile(emotPath, u"CAFÉ.dat"_s)), emot + "caf\xe9.dat");
    EXPECT_TRUE(fsys::IsDir(PathFromBytes(profile)) && fsys::IsFile(emotPath + files[1]));

    // A cabinet of such files names them as text.
    TCABFile cab;
    cab.CABFile = env.path("p.cab");
    for (const QString &f : files)
        cab.CABFileContents.Add().Name = emotPath + f;
    cab.CreateCabinet();
    TCABFile read;
    read.CABFile = cab.CABFile;
    read.ListContents();
    ASSERT_EQ(read.CABFileContents.Count(), 2);
    EXPECT_EQ(read.CABFileContents.Items(0).Name, u"café.dat"_s);
    EXPECT_EQ(read.CABFileContents.Items(1).Name, u"\u201at\u201a.dat"_s);
    read.TargetPath = PathFromBytes(profile + "/x\xe9");
    EXPECT_TRUE(read.ExtractAll());
    EXPECT_EQ(fsys::ReadAll(read.TargetPath + u"/café.dat"_s), GifPicture(1));
}
