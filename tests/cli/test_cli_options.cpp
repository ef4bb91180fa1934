// The option parsing and the error output every zorvak-cli verb shares.
#include "cli/CliCommand.h"
#include "cli/VerbOptions.h"

#include <QProcess>
#include <QTemporaryFile>
#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>
#include <utility>

using namespace zorvak::cli;

namespace {

// What a call writes to standard error (the process's descriptor 2, as the CLI writes it).
template <typename F> QString StandardErrorOf(F &&call)
{
    QTemporaryFile capture;
    if (!capture.open())
        return QStringLiteral("<no capture file>");
    std::fflush(stderr);
    const int saved = dup(2);
    dup2(capture.handle(), 2);
    call();
    Err().flush();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    capture.seek(0);
    return QString::fromUtf8(capture.readAll());
}

// What a reporting call writes to standard error, and the status it returns.
using Report = std::pair<QString, int>;
template <typename F> Report ReportOf(F &&call)
{
    int status = 0;
    const QString written = StandardErrorOf([&] { status = call(); });
    return {written, status};
}

// The options of a verb like scan: a folder, a number and a flag.
struct ScanLike : VerbOptions {
    ScanLike() : VerbOptions("scan")
    {
        Value(QStringLiteral("docset"), QStringLiteral("DIR"), QStringLiteral("a folder"));
        Value(QStringLiteral("port"), QStringLiteral("N"));
        Flag(QStringLiteral("show-empty"));
    }
};

} // namespace

TEST(VerbOptions, ValuesFlagsAndArgumentsInAnyOrder)
{
    // "--name VALUE" and "--name=VALUE" are one thing; options may follow the arguments.
    for (const QStringList &args : {QStringList{"--docset", "/d s/", "a", "--show-empty", "b"},
                                    QStringList{"a", "--docset=/d s/", "b", "--show-empty"}}) {
        ScanLike options;
        ASSERT_TRUE(options.Parse(args)) << args.join(' ').toStdString();
        EXPECT_EQ(options.Get(QStringLiteral("docset")), QStringLiteral("/d s/"));
        EXPECT_TRUE(options.IsSet(QStringLiteral("show-empty")));
        EXPECT_FALSE(options.IsSet(QStringLiteral("port")));
        EXPECT_EQ(options.Get(QStringLiteral("port")), QString());
        EXPECT_EQ(options.Positional(), (QStringList{"a", "b"}));
    }
    // A value that looks like an option is still the value; "=" keeps the rest of the argument.
    ScanLike odd;
    ASSERT_TRUE(odd.Parse({"--docset", "--show-empty", "--port=a=b"}));
    EXPECT_EQ(odd.Get(QStringLiteral("docset")), QStringLiteral("--show-empty"));
    EXPECT_FALSE(odd.IsSet(QStringLiteral("show-empty")));
    EXPECT_EQ(odd.Get(QStringLiteral("port")), QStringLiteral("a=b"));
    // The last of repeated values counts.
    ScanLike twice;
    ASSERT_TRUE(twice.Parse({"--port", "1", "--port", "2"}));
    EXPECT_EQ(twice.Get(QStringLiteral("port")), QStringLiteral("2"));
}

TEST(VerbOptions, DoubleDashEndsTheOptions)
{
    ScanLike options;
    ASSERT_TRUE(options.Parse({"--show-empty", "--", "--docset", "-x", "-", "--"}));
    EXPECT_TRUE(options.IsSet(QStringLiteral("show-empty")));
    EXPECT_FALSE(options.IsSet(QStringLiteral("docset")));
    EXPECT_EQ(options.Positional(), (QStringList{"--docset", "-x", "-", "--"}));
    // A lone "-" (standard input by custom) is an argument, not an option.
    ScanLike dash;
    ASSERT_TRUE(dash.Parse({"-"}));
    EXPECT_EQ(dash.Positional(), QStringList{"-"});
}

TEST(VerbOptions, WrongUsageIsRefusedInTheSameWordsByEveryVerb)
{
    const struct {
        QStringList args;
        QString error;
    } cases[] = {
        {{"--bogus"}, "zorvak-cli scan: unknown option: --bogus\n"},
        {{"a", "--bogus=1"}, "zorvak-cli scan: unknown option: --bogus\n"},
        {{"-x"}, "zorvak-cli scan: unknown option: -x\n"},
        {{"--docset"}, "zorvak-cli scan: --docset needs a folder\n"},
        {{"a", "--port"}, "zorvak-cli scan: --port needs a value\n"},
        {{"--show-empty=yes"}, "zorvak-cli scan: --show-empty takes no value\n"},
    };
    for (const auto &c : cases) {
        ScanLike options;
        bool parsed = true;
        EXPECT_EQ(StandardErrorOf([&] { parsed = options.Parse(c.args); }), c.error) << c.args.join(' ').toStdString();
        EXPECT_FALSE(parsed);
        EXPECT_EQ(options.UsageStatus(), 2);
    }
    EXPECT_EQ(ReportOf([] { return ScanLike().Usage(QStringLiteral("give a folder")); }),
              Report(QStringLiteral("zorvak-cli scan: give a folder\n"), 2));
}

TEST(VerbOptions, OnlyArgumentAndFailure)
{
    const struct {
        QStringList args;
        QString error; // empty: the argument is taken
    } cases[] = {
        {{"a b"}, ""},
        {{"--", "-x"}, ""},
        {{}, "zorvak-cli scan: give a folder\n"},
        {{"a", "--show-empty", "b", "c"}, "zorvak-cli scan: unexpected argument: b\n"},
    };
    for (const auto &c : cases) {
        ScanLike options;
        ASSERT_TRUE(options.Parse(c.args));
        int status = 0;
        std::optional<QString> argument;
        EXPECT_EQ(StandardErrorOf([&] { argument = options.OnlyArgument(QStringLiteral("give a folder"), &status); }),
                  c.error)
            << c.args.join(' ').toStdString();
        EXPECT_EQ(argument.has_value(), c.error.isEmpty());
        EXPECT_EQ(status, c.error.isEmpty() ? 0 : 2);
        if (argument) {
            EXPECT_EQ(*argument, c.args.last());
        }
    }
    EXPECT_EQ(ReportOf([] { return ScanLike().Fail(QStringLiteral("no such folder:\r/x")); }),
              Report(QStringLiteral("zorvak-cli scan: no such folder:\n/x\n"), 1));
}

// Every verb, run as a user runs it, refuses wrong options in the same words and with status 2,
// before it does anything (no server started, no secret asked for, nothing read).
TEST(VerbOptions, EveryVerbRefusesWrongOptionsAlike)
{
    const struct {
        QStringList args;
        QString error;
    } cases[] = {
        {{"id", "a@b.c", "--bogus"}, "zorvak-cli id: unknown option: --bogus\n"},
        {{"scan", "--bogus"}, "zorvak-cli scan: unknown option: --bogus\n"},
        {{"cab", "list", "x.cab", "--bogus"}, "zorvak-cli cab: unknown option: --bogus\n"},
        {{"cab", "extract", "x.cab", "--to=out"}, "zorvak-cli cab: unknown option: --to\n"},
        {{"cab", "test", "-x", "x.cab"}, "zorvak-cli cab: unknown option: -x\n"},
        {{"cab", "create", "x.cab", "f", "--compression"}, "zorvak-cli cab: --compression needs none, mszip or lzx:15..21\n"},
        {{"serve", ".", "--bogus"}, "zorvak-cli serve: unknown option: --bogus\n"},
        {{"serve", ".", "--port"}, "zorvak-cli serve: --port needs a port number\n"},
        {{"install", "p.mco", "--all-parts=yes"}, "zorvak-cli install: --all-parts takes no value\n"},
        {{"install", "p.mco", "--bogus=1"}, "zorvak-cli install: unknown option: --bogus\n"},
        {{"backup", "u", "--email", "a@b.c", "--bogus"}, "zorvak-cli backup: unknown option: --bogus\n"},
        {{"backup", "u", "--email", "a@b.c", "--password-file"},
         "zorvak-cli backup: --password-file needs a file (\"-\": standard input)\n"},
        {{"map", "decrypt", "--email=a@b.c", "f", "--bogus"}, "zorvak-cli map: unknown option: --bogus\n"},
        {{"map", "decrypt", "--email=a@b.c", "f", "--hash"}, "zorvak-cli map: --hash needs a hash\n"},
        {{"dpapi", "masterkey", "--protect-dir", ".", "--bogus"}, "zorvak-cli dpapi: unknown option: --bogus\n"},
        {{"dpapi", "unprotect", "f", "--entropy"}, "zorvak-cli dpapi: --entropy needs a text\n"},
    };
    for (const auto &c : cases) {
        QProcess run;
        run.start(QStringLiteral(ZORVAK_CLI_PATH), c.args);
        run.closeWriteChannel();
        ASSERT_TRUE(run.waitForFinished(30000)) << c.args.join(' ').toStdString();
        EXPECT_EQ(run.exitCode(), 2) << c.args.join(' ').toStdString();
        EXPECT_EQ(QString::fromUtf8(run.readAllStandardError()), c.error) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.readAllStandardOutput().isEmpty()) << c.args.join(' ').toStdString();
    }
}

TEST(CliErrors, CarriageReturnsOfErrorTextsBecomeLineBreaks)
{
    // The catalogue separates lines with "\r", which a terminal would use to overwrite the line.
    EXPECT_EQ(TerminalText(QStringLiteral("Directory not found:\r   /x\r\rEnd\r\n")),
              QStringLiteral("Directory not found:\n   /x\n\nEnd\n"));
    EXPECT_EQ(ReportOf([] { return PrintError("backup", QStringLiteral("No file\rto back up.")); }),
              Report(QStringLiteral("zorvak-cli backup: No file\nto back up.\n"), 1));
    EXPECT_EQ(ReportOf([] { return UsageError("map", QStringLiteral("a\rb")); }),
              Report(QStringLiteral("zorvak-cli map: a\nb\n"), 2));
}
