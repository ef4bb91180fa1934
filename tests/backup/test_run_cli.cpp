// zorvak-cli backup: packages and item counts on standard output, key problems as warnings.
#include "DpapiProtect.h"
#include "common/EmailId.h"
#include "support/RunProgram.h"
#include "test_run_profile.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::test;
namespace protect = zorvak::dpapi::protect;

namespace {
QString S(const char *text) { return QString::fromUtf8(text); }

TProgramRun Cli(const QStringList &args, const QString &workDir)
{
    TRunOptions options;
    options.workingDirectory = workDir;
    return RunProgram(S(ZORVAK_CLI), QStringList{S("backup")} + args, options);
}
} // namespace

TEST(BackupCli, DemoProfileWithWarningsForShortcuts)
{
    TestEnv env;
    const QString root = env.path(S("demo"));
    QProcess tool;
    tool.start(S(ZORVAK_DEMO_PROFILE_TOOL), {root});
    ASSERT_TRUE(tool.waitForFinished(60000));
    const QString user = root + S("/Documents and Settings/Alice/Application Data/Microsoft/MSN Messenger/")
                         + EmailToId(S("alice.demo@hotmail.com"));
    const QString out = env.path(S("Alice.mco"));
    const TProgramRun r = Cli({user, S("--email"), S("alice.demo@hotmail.com"), S("--password"), S("zorvak-demo"),
                             S("--out"), out},
                            env.path(QString()));
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.at(0).startsWith(out + QLatin1Char('\t')));
    EXPECT_GT(lines.at(0).section(QLatin1Char('\t'), 1).toInt(), 6);
    EXPECT_TRUE(r.err.contains(S("warning: The key (&) cannot be used because it is a default shortcut.")))
        << r.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(out));

    // Only display pictures, Messenger's default one included.
    const TProgramRun dp = Cli({user, S("--email"), S("alice.demo@hotmail.com"), S("--password"), S("zorvak-demo"),
                              S("--types"), S("Dp"), S("--include-default")},
                             env.path(QString()));
    EXPECT_EQ(dp.code, 0) << dp.err.toStdString();
    EXPECT_TRUE(dp.out.startsWith(env.path(S("Backup1.mco")) + S("\t3\n"))) << dp.out.toStdString();

    const TProgramRun wrong = Cli({user, S("--email"), S("alice.demo@hotmail.com"), S("--password"), S("nope")},
                                env.path(QString()));
    EXPECT_EQ(wrong.code, 1);
    EXPECT_TRUE(wrong.err.contains(S("Failed to decrypt. "))) << wrong.err.toStdString();
    EXPECT_EQ(Cli({user, S("--email"), S("a@b")}, env.path(QString())).code, 2);
    EXPECT_EQ(Cli({user, S("--email"), S("a@b"), S("--hash"), S("123")}, env.path(QString())).code, 2);
    EXPECT_EQ(Cli({user, S("--email"), S("a@b"), S("--password"), S("x"), S("--types"), S("Foo")}, env.path(QString())).code, 2);
}

TEST(BackupCli, FourHundredFiftyProtectedEmoticonsInThreeParts)
{
    TestEnv env;
    const QString email = S("split.user@hotmail.com");
    const QString sid = S("S-1-5-21-1-2-3-1001");
    const QString appData = env.path(S("Documents and Settings/Split/Application Data/"));
    protect::MasterKeyParams params;
    params.sid = sid;
    params.passwordHash = protect::PasswordHashes::Of(S("pw")).sha1;
    const protect::MadeMasterKey key = protect::MakeMasterKeyFile(params);
    WriteFile(appData + S("Microsoft/Protect/") + sid + QLatin1Char('/') + key.guid, key.file);
    const QString user = appData + S("Microsoft/MSN Messenger/") + EmailToId(email) + QLatin1Char('/');
    QString map;
    for (int i = 0; i < 450; ++i) {
        map += S("k%1\tE %1\t<msnobj Location=\"E%1.tmp\" Size=\"28\"/>\t").arg(i);
        WriteFile(user + S("CustomEmoticons/E%1.tmp").arg(i), PngBytes(i));
    }
    auto mapFile = [&](const QString &text) {
        return protect::MakeMapFile(text, email, key.masterKey, key.guid, protect::Flavour::Xp);
    };
    WriteFile(user + S("CustomEmoticons/map.dat"), mapFile(S("<msnobj Location=\"emot.map\" Size=\"0\"/>")));
    WriteFile(user + S("MapFile/emot.map"), mapFile(map));

    const TProgramRun r = Cli({user, S("--email"), email, S("--hash"),
                             QString::fromLatin1(protect::PasswordHashes::Of(S("pw")).sha1.toHex()), S("--out"),
                             env.path(S("Split.mco"))},
                            env.path(QString()));
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, env.path(S("Split-part1.mco")) + S("\t199\n") + env.path(S("Split-part2.mco")) + S("\t199\n")
                         + env.path(S("Split-part3.mco")) + S("\t52\n"));
    EXPECT_FALSE(QFileInfo::exists(env.path(S("Split.mco"))));

    // A part that cannot be written (a folder stands in its place) fails the whole command: the
    // parts written are still listed, and the failure is told.
    QDir().mkpath(env.path(S("Blocked-part2.mco")));
    const TProgramRun failed = Cli({user, S("--email"), email, S("--hash"),
                                  QString::fromLatin1(protect::PasswordHashes::Of(S("pw")).sha1.toHex()), S("--out"),
                                  env.path(S("Blocked.mco"))},
                                 env.path(QString()));
    EXPECT_EQ(failed.code, 1);
    EXPECT_EQ(failed.out, env.path(S("Blocked-part1.mco")) + S("\t199\n") + env.path(S("Blocked-part3.mco")) + S("\t52\n"));
    EXPECT_TRUE(failed.err.contains(S("Error compressing files into Blocked-part2.mco"))) << failed.err.toStdString();
}
