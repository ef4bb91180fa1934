// zorvak-cli export --named: exit statuses, the lines and the JSON document, and the plain export
// that stays as it was.
#include "support/Programs.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {

QString S(const char *text) { return QString::fromUtf8(text); }

using CliResult = TProgramRun;

CliResult Cli(const QStringList &args) { return RunCli(QStringList{S("export")} + args); }

class NamedExportCli : public DemoProfileTest {
protected:
    QString user;
    const QStringList secrets{S("--email"), kAliceEmail, S("--password"), kDemoPassword};
    void SetUp() override
    {
        DemoProfileTest::SetUp();
        user = alice;
    }
};

} // namespace

TEST_F(NamedExportCli, LinesAndJsonDescribeWhatWasWritten)
{
    const CliResult lines = Cli(QStringList{user, env.path(S("out")), S("--named")} + secrets);
    ASSERT_EQ(lines.code, 0) << lines.err.toStdString();
    const QStringList rows = lines.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 16);
    EXPECT_EQ(rows.first(), S("Emot\t") + env.path(S("out/Emoticons/Blinking smile.gif")) + S("\tBlinking smile\t(wink)"));
    for (const QString &row : rows)
        EXPECT_TRUE(QFileInfo(row.section(u'\t', 1, 1)).isFile()) << row.toStdString();
    EXPECT_TRUE(lines.err.contains(S("1 of Messenger's default objects left out"))) << lines.err.toStdString();

    const CliResult json =
        Cli(QStringList{user, env.path(S("theme")), S("--named"), S("--format=pidgin"), S("--json")} + secrets);
    ASSERT_EQ(json.code, 0) << json.err.toStdString();
    const QJsonObject root = JsonObjectOf(json.out);
    ASSERT_FALSE(root.isEmpty()) << json.out.toStdString();
    EXPECT_EQ(root.value(S("format")).toString(), S("pidgin"));
    EXPECT_TRUE(root.value(S("credentials")).toBool());
    EXPECT_TRUE(root.value(S("ok")).toBool());
    EXPECT_TRUE(QFileInfo(root.value(S("archive")).toString()).isFile());
    EXPECT_TRUE(QFileInfo(root.value(S("theme")).toString() + S("/theme")).isFile());
    const QJsonArray objects = root.value(S("objects")).toArray();
    ASSERT_EQ(objects.size(), 5);
    const QJsonObject first = objects.at(0).toObject();
    EXPECT_EQ(first.value(S("name")).toString(), S("Blinking smile"));
    EXPECT_EQ(first.value(S("shortcut")).toString(), S("(wink)"));
    EXPECT_TRUE(QFileInfo(first.value(S("path")).toString()).isFile());
    EXPECT_EQ(root.value(S("leftOut")).toArray().size(), 2);
    // What a theme cannot hold is told on standard error.
    EXPECT_TRUE(json.err.contains(S("left out of the theme"))) << json.err.toStdString();

    // Without credentials, the objects keep their file names and the command says so.
    const CliResult plain = Cli({user, env.path(S("plain")), S("--named"), S("--json"), S("--types"), S("Dp")});
    ASSERT_EQ(plain.code, 0) << plain.err.toStdString();
    const QJsonObject p = JsonObjectOf(plain.out);
    EXPECT_FALSE(p.value(S("credentials")).toBool());
    EXPECT_EQ(p.value(S("unnamedTypes")).toArray(), QJsonArray{S("Dp")});
    EXPECT_EQ(p.value(S("objects")).toArray().size(), 3);
    EXPECT_TRUE(plain.err.contains(S("named by their file names"))) << plain.err.toStdString();
}

TEST_F(NamedExportCli, ExitStatuses)
{
    // Decryption errors are the backup's, and fail the command with nothing written.
    const CliResult wrong = Cli({user, env.path(S("w")), S("--named"), S("--email"), S("alice.demo@hotmail.com"),
                                 S("--password"), S("nope")});
    EXPECT_EQ(wrong.code, 1);
    EXPECT_TRUE(wrong.err.contains(S("Failed to decrypt. "))) << wrong.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(env.path(S("w"))));
    // Refused output folders.
    WriteFile(env.path(S("busy/file.txt")), "x");
    EXPECT_EQ(Cli({user, env.path(S("busy")), S("--named")}).code, 1);
    EXPECT_EQ(Cli({user, user + S("/out"), S("--named")}).code, 1);
    EXPECT_EQ(Cli({env.path(S("missing")), env.path(S("o")), S("--named")}).code, 1);
    // Wrong usage.
    EXPECT_EQ(Cli({user, env.path(S("o")), S("--named"), S("--format"), S("zip")}).code, 2);
    EXPECT_EQ(Cli({user, env.path(S("o")), S("--named"), S("--types"), S("Foo")}).code, 2);
    EXPECT_EQ(Cli({user, env.path(S("o")), S("--named"), S("--password"), S("x")}).code, 2);  // no address
    EXPECT_EQ(Cli({user, env.path(S("o")), S("--named"), S("--email"), S("a@b")}).code, 2);   // no secret
    EXPECT_EQ(Cli({user, S("--named")}).code, 2);
    EXPECT_EQ(Cli({user, env.path(S("o")), S("--named"), S("--all")}).code, 2);
    // The options of the named export are refused without --named, in the usual words.
    const CliResult stray = Cli({user, env.path(S("o")), S("--json")});
    EXPECT_EQ(stray.code, 2);
    EXPECT_EQ(stray.err, S("zorvak-cli export: --json goes with --named only\n"));
    EXPECT_FALSE(QFileInfo::exists(env.path(S("o"))));
    // The plain export is unchanged: a copy of the folder under recognised extensions.
    const CliResult copy = Cli({user, env.path(S("copy"))});
    EXPECT_EQ(copy.code, 0) << copy.err.toStdString();
    EXPECT_TRUE(copy.out.endsWith(S("\t") + env.path(S("copy/")) + QFileInfo(user).fileName() + S("\n")))
        << copy.out.toStdString();
}

TEST_F(NamedExportCli, ProgressShowsOnATerminalOnlyAndNeverWithQuiet)
{
    const CliResult plain = Cli(QStringList{user, env.path(S("plain")), S("--named")} + secrets);
    ASSERT_EQ(plain.code, 0) << plain.err.toStdString();
    EXPECT_FALSE(plain.err.contains(u'\r')) << plain.err.toStdString();
    // `script` (util-linux, always on Debian) gives the program a terminal.
    const auto onTerminal = [&](const QString &out, const QStringList &more) {
        const TProgramRun run = RunOnTerminal(QStringList{CliProgram(), S("export"), user, out, S("--named")} + secrets + more);
        EXPECT_NE(run.code, -1) << "did not finish";
        EXPECT_EQ(run.code, 0);
        return run.out;
    };
    const QString shown = onTerminal(env.path(S("shown")), {});
    EXPECT_TRUE(shown.contains(S("\r15/16 "))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(S("\r16/16\x1b[K\r\x1b[K"))) << shown.toStdString(); // cleared at the end
    EXPECT_TRUE(shown.contains(S("\x1b[K"))) << shown.toStdString();
    const QString quiet = onTerminal(env.path(S("quiet")), {S("--quiet")});
    EXPECT_FALSE(quiet.contains(S("\x1b[K"))) << quiet.toStdString();
    EXPECT_FALSE(quiet.contains(S("16/16"))) << quiet.toStdString();
}

TEST_F(NamedExportCli, SmileyStoreIsWrittenAndMergedInto)
{
    const QString purple = env.path(S("purple"));
    QDir().mkpath(purple);
    const QStringList merge = QStringList{user, S("--named"), S("--format"), S("pidgin-smileys"), S("--merge-into"), purple} + secrets;
    const CliResult first = Cli(merge);
    ASSERT_EQ(first.code, 0) << first.err.toStdString();
    const QStringList rows = first.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 6); // five emoticons, the store; no backup: there was no store
    EXPECT_EQ(rows.last(), S("store\t") + purple + S("/smileys.xml"));
    EXPECT_TRUE(first.err.contains(S("left out of the smiley store: "))) << first.err.toStdString();

    const CliResult second = Cli(merge + QStringList{S("--json")});
    ASSERT_EQ(second.code, 0) << second.err.toStdString();
    const QJsonObject root = JsonObjectOf(second.out);
    EXPECT_EQ(root.value(S("format")).toString(), S("pidgin-smileys"));
    EXPECT_EQ(root.value(S("objects")).toArray().size(), 0);
    EXPECT_EQ(root.value(S("leftOut")).toArray().size(), 7);
    EXPECT_EQ(root.value(S("leftOut")).toArray().at(0).toObject().value(S("reason")).toString(),
              S("the store already has this shortcut"));

    // Wrong usage: an output folder as well, or a merge of another format; a missing folder fails.
    EXPECT_EQ(Cli(QStringList{user, env.path(S("o")), S("--named"), S("--format=pidgin-smileys"), S("--merge-into"), purple}).code, 2);
    EXPECT_EQ(Cli(QStringList{user, S("--named"), S("--format=pidgin"), S("--merge-into"), purple}).code, 2);
    EXPECT_EQ(Cli(QStringList{user, S("--named"), S("--format=pidgin-smileys"), S("--merge-into"), env.path(S("none"))}).code, 1);
    EXPECT_EQ(Cli(QStringList{user, env.path(S("o")), S("--merge-into"), purple}).code, 2); // without --named
}
