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
