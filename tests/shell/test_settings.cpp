#include "common/EmailId.h"
#include "shell/SettingsFile.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace zorvak;
using test::EnvTest;

TEST_F(EnvTest, NoSettingsFileGivesBuiltInDefaults)
{
    LoadSettings({});
    EXPECT_EQ(Settings().docSetDir, QStringLiteral("/mnt/c/Documents and Settings/"));
    EXPECT_EQ(Settings().subdirDbg, QStringLiteral("DynamicBackgrounds"));
    EXPECT_EQ(EmailById().Count(), 0);
    EXPECT_FALSE(QFile::exists(SettingsFilePath()));
}

TEST_F(EnvTest, SettingsKeysIgnoreCaseAndPathsGetASeparator)
{
    test::WriteFile(SettingsFilePath(), "[COMMON]\nDOCSETDIR=/data/profiles\nappDatDir=\nSUBDIRDBG=Dyn\n"
                                        "emailList= a@b.com ;C@d.com;\nLanguage=fr\n");
    QString applied;
    LoadSettings([&](const QString &code) { applied = code; });
    EXPECT_EQ(Settings().docSetDir, QStringLiteral("/data/profiles/"));
    EXPECT_EQ(Settings().appDatDir, QStringLiteral("/"));
    EXPECT_EQ(Settings().subdirDbg, QStringLiteral("Dyn"));
    EXPECT_TRUE(applied.isEmpty()) << "a code differing in case is ignored";
    ASSERT_EQ(EmailById().Count(), 2);
    EXPECT_EQ(EmailById().GetValue(EmailToId(QStringLiteral("a@b.com"))), QStringLiteral("a@b.com"));
}

TEST_F(EnvTest, GarbageSettingsFileGivesDefaults)
{
    QByteArray junk;
    for (int i = 0; i < 200000; ++i)
        junk.append(char((i * 7919) % 256));
    test::WriteFile(SettingsFilePath(), junk);
    LoadSettings({});
    EXPECT_EQ(Settings().msnDatDir, QStringLiteral("Microsoft/MSN Messenger/"));
}

TEST_F(EnvTest, FileViewRoundTripsAndOlderOrOddValuesReadSafely)
{
    // A file written before the view was kept: the list, at the default size.
    test::WriteFile(SettingsFilePath(), "[Common]\nLanguage=EN\n");
    LoadSettings({});
    EXPECT_FALSE(Settings().thumbnails);
    EXPECT_EQ(Settings().thumbnailSize, 96);

    SaveFileView(true, 144);
    const QByteArray written = test::ReadFile(SettingsFilePath());
    EXPECT_TRUE(written.contains("FileView=Thumbnails")) << written.constData();
    EXPECT_TRUE(written.contains("ThumbnailSize=144")) << written.constData();
    EXPECT_TRUE(written.contains("Language=EN")) << "the other keys stay";
    ResetSettings();
    LoadSettings({});
    EXPECT_TRUE(Settings().thumbnails);
    EXPECT_EQ(Settings().thumbnailSize, 144);

    // Out of range sizes are brought into range, unreadable ones and unknown views ignored.
    for (const auto &[text, thumbnails, size] :
         {std::tuple{"FileView=thumbnails\nThumbnailSize=5000\n", true, 192},
          std::tuple{"FileView=Grid\nThumbnailSize=-3\n", false, 48},
          std::tuple{"FileView=\nThumbnailSize=big\n", false, 96}}) {
        ResetSettings();
        test::WriteFile(SettingsFilePath(), QByteArray("[Common]\n") + text);
        LoadSettings({});
        EXPECT_EQ(Settings().thumbnails, thumbnails) << text;
        EXPECT_EQ(Settings().thumbnailSize, size) << text;
    }
}

TEST_F(EnvTest, RememberEmailAppendsOnceIgnoringCase)
{
    RememberEmail(QStringLiteral("Joe@Example.com"));
    RememberEmail(QStringLiteral("joe@example.COM"));
    RememberEmail(QStringLiteral("ann@example.com"));
    EXPECT_EQ(OpenSettingsFile().ReadString(QStringLiteral("Common"), QStringLiteral("emailList"), QString()),
              QStringLiteral("Joe@Example.com;ann@example.com"));
    EXPECT_EQ(EmailById().Count(), 2);
}

TEST_F(EnvTest, WritingToAnUnwritableFolderRaises)
{
    TIniFile ini(QStringLiteral("/proc/zorvak-no-such/Zorvak.ini"));
    try {
        ini.WriteString(QStringLiteral("Common"), QStringLiteral("Language"), QStringLiteral("FR"));
        FAIL() << "no error";
    } catch (const std::exception &e) {
        EXPECT_STREQ(e.what(), "Unable to write to /proc/zorvak-no-such/Zorvak.ini");
    }
    ini.DeleteKey(QStringLiteral("Common"), QStringLiteral("Language")); // never reports
}

TEST(EmailToId, WorkedValues)
{
    EXPECT_EQ(EmailToId(QStringLiteral("abc")), QStringLiteral("999494"));
    EXPECT_EQ(EmailToId(QStringLiteral("ABC")), QStringLiteral("999494"));
    EXPECT_EQ(EmailToId(QStringLiteral("abcde")), QStringLiteral("1605913903"));
    EXPECT_EQ(EmailToId(QString()), QStringLiteral("0"));
}
