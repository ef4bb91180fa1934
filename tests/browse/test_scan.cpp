#include "BrowseFixtures.h"
#include "browse/FolderScan.h"
#include "shell/SettingsFile.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <unistd.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {
TScanOptions Options(bool hide) { return TScanOptions::From(TSettingsValues::Defaults(), hide); }
} // namespace

TEST(FolderScan, ContentFolderIcons)
{
    const TScanOptions o = Options(true);
    EXPECT_EQ(ContentFolderIcon("MyEmoticons", o), 2);
    EXPECT_EQ(ContentFolderIcon("CustomEmoticons", o), 2);
    EXPECT_EQ(ContentFolderIcon("DynamicBackgrounds", o), 3);
    EXPECT_EQ(ContentFolderIcon("Winks3", o), 4);
    EXPECT_EQ(ContentFolderIcon("UserTile", o), 6);
    EXPECT_EQ(ContentFolderIcon("DeluxeDisplayPictures", o), 6);
    EXPECT_EQ(ContentFolderIcon("VoiceClips", o), 5);
    EXPECT_EQ(ContentFolderIcon("BackgroundWinks", o), 3);
    EXPECT_EQ(ContentFolderIcon("MapFile", o), -1);
    EXPECT_EQ(ContentFolderIcon("EMOTICONS", o), 2);
    TScanOptions custom = o;
    custom.subdirWink = "Clins";
    EXPECT_EQ(ContentFolderIcon("Clins", custom), 4);
    EXPECT_EQ(ContentFolderIcon("clins", custom), -1); // the setting is compared with case
    EXPECT_TRUE(IsAllDigits(""));
    EXPECT_TRUE(IsAllDigits("0123"));
    EXPECT_FALSE(IsAllDigits("12a45"));
    EXPECT_FALSE(IsAllDigits("\u0661")); // other digits are not digits here
}

TEST_F(EnvTest, ScanWithAndWithoutHidingEmptyFolders)
{
    const TSyntheticDisk d = MakeSyntheticDisk(env.path("disk"));
    TFolderForest hidden;
    ScanFolders(hidden, 0, d.docSet, Options(true));
    EXPECT_EQ(TreeText(hidden),
              "Alice 0\n"
              "\t" + d.idAlice + " 1\n"
              "\t\tCustomEmoticons 2\n"
              "\t\tMapFile -1\n"
              "\t\tUserTile 6\n"
              "\t\tVoiceClips 5\n"
              "\t\tWinks3 4\n"
              "\t33333333 1\n"
              "Bob 0\n"
              "\t" + d.idBob + " 1\n"
              "\t\tCustomEmoticons 2\n"
              "Carol 0\n");

    TFolderForest all;
    ScanFolders(all, 0, d.docSet, Options(false));
    const QString text = TreeText(all);
    EXPECT_TRUE(text.contains("\t22222222 1\n"));
    EXPECT_TRUE(text.contains("\t44444444 1\n"));
    EXPECT_TRUE(text.contains("\t\tBackgrounds 3\n"));
    EXPECT_TRUE(text.contains("\t\tDynamicBackgrounds 3\n"));
    EXPECT_TRUE(text.contains("\t33333333 1\n\t\tSub -1\n"));
    EXPECT_FALSE(text.contains("12a45"));
    EXPECT_FALSE(text.contains("All Users"));
    EXPECT_EQ(CountNodes(all), 17);

    // Folders are recorded with the separator, below the path scanned.
    const TFolderNode &alice = all[0].caption == "Alice" ? all[0] : all[1].caption == "Alice" ? all[1] : all[2];
    EXPECT_EQ(alice.folder, d.docSet + "Alice/");
    for (const TFolderNode &id : alice.children)
        EXPECT_EQ(id.folder, d.Messenger("Alice") + id.caption + "/");
}

TEST_F(EnvTest, UnlistableIdFolderIsShown)
{
    const TSyntheticDisk d = MakeSyntheticDisk(env.path("disk"));
    const QString locked = d.Messenger("Bob") + "55555555";
    WriteFile(locked + "/Sub/x.dat", "x");
    QFile::setPermissions(locked, {});
    TFolderForest roots;
    {
        const PermissionsApply strict; // root too: the scan cannot list the locked folder
        ASSERT_TRUE(strict.ok());
        ScanFolders(roots, 0, d.docSet, Options(true));
    }
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(TreeText(roots).contains("\t55555555 1\n")) << TreeText(roots).toStdString(); // CountEntries gave -1, not 0
}

TEST(FolderScan, SplitAppDataPath)
{
    QString profiles, appDat;
    ASSERT_TRUE(SplitAppDataPath("/mnt/c/Documents and Settings/Alice/Application Data", profiles, appDat));
    EXPECT_EQ(profiles, "/mnt/c/Documents and Settings/");
    EXPECT_EQ(appDat, "Application Data/");
    ASSERT_TRUE(SplitAppDataPath("/home/u/.wine/drive_c/users/alice/AppData/Roaming/", profiles, appDat));
    EXPECT_EQ(profiles, "/home/u/.wine/drive_c/users/");
    EXPECT_EQ(appDat, "AppData/Roaming/");
    EXPECT_FALSE(SplitAppDataPath("Roaming", profiles, appDat));
    EXPECT_FALSE(SplitAppDataPath("AppData/Roaming", profiles, appDat));
}

TEST_F(EnvTest, AutoScanSecondPassFromApplicationData)
{
    const TSyntheticDisk d = MakeSyntheticDisk(env.path("disk"));
    TSettingsValues &s = Settings();
    s.docSetDir = env.path("no-such-folder/");
    env.platform().appData = d.docSet + "Bob/Application Data";
    const TFolderForest roots = AutoScan(s, true);
    EXPECT_EQ(s.docSetDir, d.docSet);
    EXPECT_EQ(s.appDatDir, "Application Data/");
    EXPECT_EQ(roots.size(), 3u); // the whole profiles folder, not only Bob

    // The Vista layout.
    const QString vista = env.path("vista/Users/");
    WriteFile(vista + "dan/AppData/Roaming/Microsoft/MSN Messenger/123/Winks3/w.dat", "x");
    s.docSetDir = env.path("no-such-folder/");
    env.platform().appData = vista + "dan/AppData/Roaming";
    EXPECT_EQ(TreeText(AutoScan(s, true)), "dan 0\n\t123 1\n\t\tWinks3 4\n");
    EXPECT_EQ(s.docSetDir, vista);
    EXPECT_EQ(s.appDatDir, "AppData/Roaming/");
}

TEST_F(EnvTest, AutoScanThirdPassOverVolumesAndWinePrefixes)
{
    TSettingsValues &s = Settings();
    s.docSetDir = env.path("no-such-folder/");
    const QString volume = env.path("vol");
    WriteFile(volume + "/Users/dan/AppData/Roaming/Microsoft/MSN Messenger/111/CustomEmoticons/e.dat", "x");
    WriteFile(volume + "/Users/old/Application Data/Microsoft/MSN Messenger/222/UserTile/t.dat", "x");
    // Vista keeps "Documents and Settings" as a link to "Users": each profile is shown once.
    ASSERT_TRUE(QFile::link(volume + "/Users", volume + "/Documents and Settings"));
    const QString prefix = env.path("wine");
    WriteFile(prefix + "/drive_c/users/eve/Application Data/Microsoft/MSN Messenger/333/Winks3/w.dat", "x");
    env.platform().windowsVolumes = {volume};
    env.platform().winePrefixes = {prefix};
    const TFolderForest roots = AutoScan(s, true);
    EXPECT_EQ(TreeText(roots), "dan 0\n\t111 1\n\t\tCustomEmoticons 2\n"
                               "eve 0\n\t333 1\n\t\tWinks3 4\n"
                               "old 0\n\t222 1\n\t\tUserTile 6\n");
    EXPECT_EQ(s.docSetDir, env.path("no-such-folder/")); // the third pass changes no setting
}
