#include "platform/Platform.h"
#include "support/TestEnv.h"

#include <QDir>
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
    if (wasSet)
        qputenv("XDG_DATA_HOME", saved);
    else
        qunsetenv("XDG_DATA_HOME");
}
