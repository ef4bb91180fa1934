#include "platform/Platform.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace zorvak;

TEST(PosixPlatform, ReadsShellFoldersFromAWinePrefix)
{
    test::TestEnv env;
    const QString prefix = env.path(QStringLiteral("wine"));
    QDir().mkpath(prefix + QStringLiteral("/drive_c/users/joe/Application Data"));
    test::WriteFile(prefix + QStringLiteral("/user.reg"),
                    "WINE REGISTRY Version 2\n"
                    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1700000000\n"
                    "\"AppData\"=\"C:\\\\users\\\\joe\\\\Application Data\"\n"
                    "\"Cache\"=\"C:\\\\users\\\\joe\\\\Local Settings\\\\Temporary Internet Files\"\n");
    EXPECT_EQ(PosixPlatform::WineShellFolder(prefix, QStringLiteral("AppData")),
              prefix + QStringLiteral("/drive_c/users/joe/Application Data"));
    EXPECT_EQ(PosixPlatform::WineShellFolder(prefix, QStringLiteral("cache")),
              prefix + QStringLiteral("/drive_c/users/joe/Local Settings/Temporary Internet Files"));
    EXPECT_EQ(PosixPlatform::WineShellFolder(prefix, QStringLiteral("Local Settings")), QString());
}

TEST(PosixPlatform, DriveTypeOfMissingPathAndOfTmpfs)
{
    PosixPlatform p;
    EXPECT_EQ(p.DriveTypeOf(QStringLiteral("/no/such/folder/anywhere")), DriveType::NoRootDir);
    if (QDir(QStringLiteral("/dev/shm")).exists()) {
        EXPECT_EQ(p.DriveTypeOf(QStringLiteral("/dev/shm")), DriveType::RamDisk);
    }
}

TEST(PosixPlatform, AppDirIsTheProgramFolderWhenWritableElseTheUserDataFolder)
{
    test::TestEnv env;
    const QString exeDir = env.path(QStringLiteral("bin"));
    QDir().mkpath(exeDir);
    EXPECT_EQ(PosixPlatform::ChooseAppDir(exeDir), exeDir + QLatin1Char('/'));
    EXPECT_EQ(QDir(exeDir).entryList(QDir::Files | QDir::Hidden), QStringList()) << "the probe leaves nothing";

    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    const bool wasSet = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", env.path(QStringLiteral("xdg")).toUtf8());
    // /proc takes no new files, not even from root.
    const QString fallback = PosixPlatform::ChooseAppDir(QStringLiteral("/proc"));
    EXPECT_EQ(fallback, env.path(QStringLiteral("xdg/zorvak/")));
    EXPECT_TRUE(QDir(fallback).exists());
    EXPECT_EQ(PosixPlatform::ChooseAppDir(env.path(QStringLiteral("no-such-folder"))), fallback);
    // An installed program's folder is never written, even when it could be (as root): settings
    // and work files go to the user's data folder.
    const QString prefix = env.path(QStringLiteral("usr"));
    QDir().mkpath(prefix + QStringLiteral("/bin"));
    QDir().mkpath(prefix + QStringLiteral("/share/applications"));
    EXPECT_EQ(PosixPlatform::ChooseAppDir(prefix + QStringLiteral("/bin")), prefix + QStringLiteral("/bin/"));
    QFile(prefix + QStringLiteral("/share/applications/org.zorvak.Zorvak.desktop")).open(QIODevice::WriteOnly);
    EXPECT_EQ(PosixPlatform::ChooseAppDir(prefix + QStringLiteral("/bin")), fallback);
    EXPECT_EQ(QDir(prefix + QStringLiteral("/bin")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    if (wasSet)
        qputenv("XDG_DATA_HOME", saved);
    else
        qunsetenv("XDG_DATA_HOME");
}

TEST(Platform, UserOutputGoesBesideTheProgramOnlyWhenItKeepsItsFilesThere)
{
    test::TestEnv env;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString program = env.path(QStringLiteral("portable/"));
    QDir().mkpath(program);
    // A program run from a folder of its own keeps its output there.
    EXPECT_EQ(Platform::ChooseUserOutputDir(program, true), program);
    EXPECT_EQ(env.platform().UserOutputDir(), env.appDir());
    // The user data folder taken in place of the program's: the documents folder, or the home
    // folder while there is no documents folder.
    QDir(documents).removeRecursively();
    EXPECT_EQ(Platform::ChooseUserOutputDir(program, false), QDir::homePath() + QLatin1Char('/'));
    ASSERT_TRUE(QDir().mkpath(documents));
    EXPECT_EQ(Platform::ChooseUserOutputDir(program, false), documents + QLatin1Char('/'));
    // A program folder that takes no files (root obeys the permissions here too).
    QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
    {
        test::PermissionsApply apply;
        ASSERT_TRUE(apply.ok());
        EXPECT_EQ(Platform::ChooseUserOutputDir(program, true), documents + QLatin1Char('/'));
        EXPECT_EQ(QDir(program).entryList(QDir::Files | QDir::Hidden), QStringList()) << "the probe leaves nothing";
    }
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(Platform::ChooseUserOutputDir(env.path(QStringLiteral("missing")), true), documents + QLatin1Char('/'));

    // The real platform: ZORVAK_APPDIR names the program's own folder.
    qputenv("ZORVAK_APPDIR", program.toUtf8());
    PosixPlatform posix;
    EXPECT_EQ(posix.UserOutputDir(), program);
    qunsetenv("ZORVAK_APPDIR");
}

// Every test program runs sealed off from the data of the machine it runs on.
TEST(SealedEnvironment, NoMessengerDataOfTheMachineIsVisible)
{
    const QString home = test::SealedHome();
    ASSERT_FALSE(home.isEmpty());
    EXPECT_EQ(QDir::homePath(), home);
    EXPECT_EQ(qEnvironmentVariable("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    for (const char *name : {"APPDATA", "LOCALAPPDATA", "WINEPREFIX"})
        EXPECT_FALSE(qEnvironmentVariableIsSet(name)) << name;
    // The programs a test runs keep their work files beside the sealed home, in an empty folder.
    const QString appDir = QFileInfo(home).path() + QStringLiteral("/appdir");
    EXPECT_EQ(qEnvironmentVariable("ZORVAK_APPDIR"), appDir);
    EXPECT_TRUE(QDir(appDir).isEmpty());
    EXPECT_EQ(QDir(home).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList({QStringLiteral(".cache"), QStringLiteral(".config"), QStringLiteral(".local")}));
    PosixPlatform p;
    EXPECT_EQ(p.WindowsVolumes(), QStringList());
    EXPECT_EQ(p.WinePrefixes(), QStringList());
}

TEST(PosixPlatform, WindowsVolumesComeFromTheMountTable)
{
    test::TestEnv env;
    const QByteArray saved = qgetenv("ZORVAK_MOUNTINFO");
    const QString table = env.path(QStringLiteral("mountinfo"));
    test::WriteFile(table,
                    "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                    "40 22 8:2 / /mnt/win\\040c rw,relatime shared:2 - ntfs3 /dev/sda2 rw\n"
                    "41 22 8:3 / /media/stick rw - vfat /dev/sdb1 rw\n"
                    "42 22 0:5 / /run/user rw - tmpfs tmpfs rw\n"
                    "broken line\n");
    qputenv("ZORVAK_MOUNTINFO", table.toUtf8());
    PosixPlatform p;
    EXPECT_EQ(p.WindowsVolumes(), QStringList({QStringLiteral("/mnt/win c"), QStringLiteral("/media/stick")}));
    qputenv("ZORVAK_MOUNTINFO", saved);
    EXPECT_EQ(p.WindowsVolumes(), QStringList());
}
