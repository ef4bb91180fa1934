// The progress line of long verbs: what it shows, when it is drawn, and that it stays off
// standard error when that is no terminal or --quiet is given.
#include "cli/CliCommand.h"
#include "cli/Progress.h"
#include "support/Programs.h"

#include <QBuffer>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace zorvak::cli;
using namespace zorvak::test;

namespace {

struct Captured {
    QByteArray bytes;
    QBuffer buffer{&bytes};
    QTextStream stream;
    Captured()
    {
        buffer.open(QIODevice::WriteOnly);
        stream.setDevice(&buffer);
    }
    QString text()
    {
        stream.flush();
        return QString::fromUtf8(bytes);
    }
};

using CliRun = TProgramRun;

CliRun Cli(const QStringList &args) { return RunCli(args); }

CliRun OnTerminal(const QStringList &args) { return RunOnTerminal(QStringList{CliProgram()} + args); }

} // namespace

TEST(Progress, LineShowsCountsAndTheEndOfALongItem)
{
    EXPECT_EQ(Progress::Line(3, 12, QStringLiteral("Backup.mco"), 80), QStringLiteral("3/12 Backup.mco"));
    EXPECT_EQ(Progress::Line(0, 5, QString(), 80), QStringLiteral("0/5"));
    // Too long: the start goes, the file name stays, and the last column stays free.
    const QString item = QStringLiteral("/a/very/long/folder/name/that/goes/on/and/on/smile.png");
    const QString line = Progress::Line(7, 10, item, 30);
    EXPECT_EQ(line.size(), 29);
    EXPECT_TRUE(line.startsWith(QStringLiteral("7/10 ..."))) << line.toStdString();
    EXPECT_TRUE(line.endsWith(QStringLiteral("/on/smile.png"))) << line.toStdString();
    // A terminal narrower than the counts: the counts, cut.
    EXPECT_EQ(Progress::Line(12345, 67890, item, 6), QStringLiteral("12345"));
    // Control characters of a file name cannot reach the terminal.
    const QString hostile = Progress::Line(1, 2, QStringLiteral("a\x1b[31mb\rc\u202Ed"), 80);
    EXPECT_EQ(hostile, QStringLiteral("1/2 a?[31mb?c?d"));
}

TEST(Progress, RewritesOneLineAndClearsIt)
{
    Captured err;
    {
        Progress progress(true, &err.stream, 40);
        progress.Update(0, 2, QStringLiteral("a.png"));
        progress.Update(0, 2, QStringLiteral("a.png")); // unchanged: not drawn again
        progress.Update(1, 2, QStringLiteral("b.png"));
    }
    EXPECT_EQ(err.text(), QStringLiteral("\r0/2 a.png\x1b[K\r1/2 b.png\x1b[K\r\x1b[K"));

    // Not shown: nothing at all, also on Clear and at the end.
    Captured silent;
    {
        Progress progress(false, &silent.stream, 40);
        progress.Update(1, 2, QStringLiteral("a"));
        progress.Clear();
    }
    EXPECT_EQ(silent.text(), QString());

    // Nothing drawn: nothing to clear.
    Captured idle;
    { Progress progress(true, &idle.stream, 40); }
    EXPECT_EQ(idle.text(), QString());
}

TEST(Progress, AnErrorMessageClearsTheLineFirst)
{
    Captured err;
    Progress progress(true, &err.stream, 40);
    progress.Update(1, 3, QStringLiteral("x"));
    Progress::ClearCurrent();
    EXPECT_EQ(err.text(), QStringLiteral("\r1/3 x\x1b[K\r\x1b[K"));
    // The next update draws the line again.
    progress.Update(2, 3, QStringLiteral("y"));
    EXPECT_TRUE(err.text().endsWith(QStringLiteral("\r2/3 y\x1b[K")));
}

TEST(Progress, WantedOnlyOnATerminalAndNotQuiet)
{
    Progress::SetTerminalOverride(true);
    EXPECT_TRUE(Progress::Wanted(false));
    EXPECT_FALSE(Progress::Wanted(true));
    Progress::SetTerminalOverride(false);
    EXPECT_FALSE(Progress::Wanted(false));
    Progress::SetTerminalOverride(std::nullopt);
}

TEST_F(EnvTest, CabinetVerbsShowProgressOnlyOnATerminal)
{
    QStringList files;
    for (int i = 1; i <= 3; ++i) {
        files << env.path(QStringLiteral("in/file%1.bin").arg(i));
        ASSERT_TRUE(WriteFile(files.last(), QByteArray(20000 * i, char('a' + i))));
    }
    const QString cab = env.path(QStringLiteral("out.cab"));
    // Not a terminal: standard error stays empty.
    const CliRun plain = Cli(QStringList{"cab", "create", cab} + files);
    ASSERT_EQ(plain.code, 0) << plain.err.toStdString();
    EXPECT_EQ(plain.err, QString());
    const CliRun extracted = Cli({"cab", "extract", cab, env.path(QStringLiteral("x1"))});
    EXPECT_EQ(extracted.code, 0);
    EXPECT_EQ(extracted.err, QString());

    if (!HasTerminalRunner())
        GTEST_SKIP() << "no 'script' to give the program a terminal";
    const QString cab2 = env.path(QStringLiteral("out2.cab"));
    const CliRun created = OnTerminal(QStringList{"cab", "create", cab2} + files);
    ASSERT_EQ(created.code, 0) << created.out.toStdString();
    EXPECT_TRUE(created.out.contains(QStringLiteral("\r0/3 file1.bin\x1b[K"))) << created.out.toStdString();
    EXPECT_TRUE(created.out.contains(QStringLiteral("\r3/3 file3.bin\x1b[K"))) << created.out.toStdString();
    EXPECT_TRUE(created.out.endsWith(QStringLiteral("\r\x1b[K"))) << "the line is cleared at the end";
    EXPECT_EQ(ReadFile(cab2), ReadFile(cab)) << "the progress changes nothing in the cabinet";

    const CliRun extractedOnTerminal = OnTerminal({"cab", "extract", cab, env.path(QStringLiteral("x2"))});
    ASSERT_EQ(extractedOnTerminal.code, 0);
    EXPECT_TRUE(extractedOnTerminal.out.contains(QStringLiteral("3/3 file3.bin"))) << extractedOnTerminal.out.toStdString();
    EXPECT_EQ(ReadFile(env.path(QStringLiteral("x2/file2.bin"))), ReadFile(files.at(1)));

    // --quiet: nothing on the terminal, the same work done.
    const CliRun quiet = OnTerminal({"cab", "extract", "--quiet", cab, env.path(QStringLiteral("x3"))});
    EXPECT_EQ(quiet.code, 0);
    EXPECT_EQ(quiet.out, QString());
    EXPECT_EQ(ReadFile(env.path(QStringLiteral("x3/file3.bin"))), ReadFile(files.at(2)));
    const CliRun quietCreate = OnTerminal(QStringList{"cab", "create", "--quiet", env.path(QStringLiteral("q.cab"))} + files);
    EXPECT_EQ(quietCreate.out, QString());

    // A terminal that cannot rewrite a line (TERM=dumb) gets no progress either.
    TRunOptions dumb;
    dumb.environment.insert(QStringLiteral("TERM"), QStringLiteral("dumb"));
    const CliRun onDumb = RunOnTerminal({CliProgram(), "cab", "extract", cab, env.path(QStringLiteral("x4"))}, dumb);
    EXPECT_EQ(onDumb.code, 0);
    EXPECT_FALSE(onDumb.out.contains(QStringLiteral("3/3"))) << onDumb.out.toStdString();
    EXPECT_EQ(ReadFile(env.path(QStringLiteral("x4/file1.bin"))), ReadFile(files.at(0)));
}

TEST(TestRunners, TerminalRunKeepsEachArgumentOneWordAndJsonMustBeAnObject)
{
    // Blanks and quotes inside an argument reach the program as they are.
    if (HasTerminalRunner()) {
        const CliRun run = RunOnTerminal({QStringLiteral("printf"), QStringLiteral("[%s]"), QStringLiteral("it's a 'test' $HOME")});
        EXPECT_EQ(run.code, 0);
        EXPECT_TRUE(run.out.contains(QStringLiteral("[it's a 'test' $HOME]"))) << run.out.toStdString();
    }
    EXPECT_EQ(JsonObjectOf(QStringLiteral("{\"a\": 1}")).value(QStringLiteral("a")).toInt(), 1);
    EXPECT_NONFATAL_FAILURE(JsonObjectOf(QStringLiteral("[1]")), "JSON, but no object");
    EXPECT_NONFATAL_FAILURE(JsonObjectOf(QStringLiteral("{\"a\": ")), "no JSON");
    EXPECT_NONFATAL_FAILURE(JsonObjectOf(QString()), "no JSON");
}
