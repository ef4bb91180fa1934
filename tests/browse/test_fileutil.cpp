#include "browse/unitFileFolderUtil.h"
#include "browse/unitOpenFolderDialog.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <unistd.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {
QStringList Sorted(QStringList l)
{
    l.sort();
    return l;
}
} // namespace

TEST_F(EnvTest, ListingsOfMissingAndUnlistableFolders)
{
    EXPECT_TRUE(ListFiles(env.path("nowhere")).isEmpty());
    EXPECT_EQ(CountEntries(env.path("nowhere")), -1);
    ASSERT_TRUE(WriteFile(env.path("plain"), "x"));
    EXPECT_EQ(CountEntries(env.path("plain")), -1); // a file is not a folder
    QStringList listing;
    EXPECT_FALSE(WalkFolder(env.path("nowhere"), QString(), QString(), true, true, false, false, listing));
}

TEST_F(EnvTest, ListingsNamesFoldersMasksAndRecursion)
{
    const QString root = env.path("t/");
    WriteFile(root + "a.bin", "1");
    WriteFile(root + "B.BIN", "2");
    WriteFile(root + ".hidden", "3");
    WriteFile(root + "note.txt", "4");
    WriteFile(root + "Sub/c.bin", "5");
    WriteFile(root + "Sub/Deeper/d.bin", "6");
    WriteFile(root + "Sub/Deeper/e.txt", "7");
    WriteFile(root + "x.bin/f.bin", "8");       // a folder whose own name matches the mask
    QDir().mkpath(root + "CustomEmoticons");

    EXPECT_EQ(Sorted(ListFiles(root)), (QStringList{".hidden", "B.BIN", "a.bin", "note.txt"}));
    EXPECT_EQ(Sorted(ListFolders(root)), (QStringList{"CustomEmoticons/", "Sub/", "x.bin/"}));
    EXPECT_EQ(Sorted(ListFiles(root, "*.bin")), (QStringList{"B.BIN", "a.bin"}));
    EXPECT_EQ(Sorted(ListFiles(root, "*.*")).size(), 4);

    // Every ".bin" file of every level exactly once, with full paths.
    EXPECT_EQ(Sorted(ListFiles(root, "*.bin", false, true, true)),
              (QStringList{root + "B.BIN", root + "Sub/Deeper/d.bin", root + "Sub/c.bin", root + "a.bin",
                           root + "x.bin/f.bin"}));
    // Relative names below the start, and the matching folder listed once.
    const QStringList withFolders = ListFiles(root, "*.bin", true, true, false);
    EXPECT_EQ(withFolders.count("x.bin/"), 1);
    EXPECT_EQ(withFolders.count("x.bin/f.bin"), 1);
    EXPECT_TRUE(withFolders.contains("Sub/Deeper/d.bin"));

    EXPECT_EQ(CountEntries(root + "Sub"), 1);
    EXPECT_EQ(CountEntries(root + "CustomEmoticons"), 0);
    QDir().mkpath(root + "only/one/two");
    WriteFile(root + "only/one/two/z", "z");
    EXPECT_EQ(CountEntries(root + "only"), 0);
    EXPECT_EQ(CountEntries(root + "only", QString(), false, true), 1);
    EXPECT_EQ(CountEntries(root + "only", QString(), true, true), 3);
}

TEST_F(EnvTest, RecursiveWalkDoesNotFollowFolderLinks)
{
    const QString root = env.path("loop/");
    WriteFile(root + "p/f.bin", "x");
    ASSERT_TRUE(QFile::link(root + "p", root + "p/Application Data")); // a junction pointing up
    const QStringList all = ListFiles(root, QString(), true, true);
    EXPECT_EQ(Sorted(all), (QStringList{"p/", "p/Application Data/", "p/f.bin"}));
}

TEST_F(EnvTest, DeleteFolderPermanentlyAndToTrash)
{
    WriteFile(env.path("gone/a/b.txt"), "x");
    EXPECT_TRUE(DeleteFolder(env.path("gone/"), false));
    EXPECT_FALSE(QFileInfo::exists(env.path("gone")));
    EXPECT_FALSE(DeleteFolder(env.path("gone"), false));

    WriteFile(env.path("bin/a.txt"), "x");
    EXPECT_TRUE(DeleteFolder(env.path("bin/"), true));
    EXPECT_EQ(env.platform().trashed, QStringList{env.path("bin")});
    EXPECT_FALSE(QFileInfo::exists(env.path("bin")));
}

TEST_F(EnvTest, GetFileSizeRules)
{
    EXPECT_EQ(GetFileSize(env.path("missing")), 0);
    WriteFile(env.path("empty"), {});
    EXPECT_EQ(GetFileSize(env.path("empty")), 0);
    WriteFile(env.path("five"), "12345");
    EXPECT_EQ(GetFileSize(env.path("five")), 5);
    QFile::setPermissions(env.path("five"), QFileDevice::ReadOwner);
    {
        const PermissionsApply strict; // root too: the file cannot be opened for writing
        ASSERT_TRUE(strict.ok());
        EXPECT_EQ(GetFileSize(env.path("five")), -1);
    }
}

TEST_F(EnvTest, BrowseForFolderGoesThroughTheDialogService)
{
    EXPECT_EQ(BrowseForFolder("Pick", "\\My Documents"), ""); // cancelled
    ASSERT_EQ(env.dialogs().calls.size(), 1u);
    EXPECT_EQ(env.dialogs().calls[0].title, "Pick");
    EXPECT_EQ(env.dialogs().calls[0].text, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));

    QDir().mkpath(env.path("chosen"));
    env.dialogs().AnswerPath(env.path("chosen"));
    EXPECT_EQ(BrowseForFolder("Pick", ""), env.path("chosen"));
    env.dialogs().AnswerPath(env.path("not-there"));
    EXPECT_EQ(BrowseForFolder("Pick", ""), ""); // not a file-system folder

    EXPECT_EQ(MapWindowsFolder("\\My Documents\\My Pictures"),
              QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
    EXPECT_EQ(MapWindowsFolder("\\My Documents\\My Music"),
              QStandardPaths::writableLocation(QStandardPaths::MusicLocation));
    EXPECT_EQ(MapWindowsFolder("/srv/x"), "/srv/x");
}
