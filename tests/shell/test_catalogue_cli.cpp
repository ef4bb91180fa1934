// zorvak-cli catalogue: the built program prints each catalogue exactly as the builders make it.
#include "shell/uLanguage.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace Qt::Literals::StringLiterals;

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun RunCli(const QStringList &arguments)
{
    // The build folder comes from the test environment; the build's own path of the program
    // stands in when the environment does not give it.
    const QString binaryDir = QProcessEnvironment::systemEnvironment().value(u"ZORVAK_BINARY_DIR"_s);
    const QString program = binaryDir.isEmpty() ? QStringLiteral(ZORVAK_CLI_PATH)
                                                : binaryDir + u"/src/cli/zorvak-cli"_s;
    QProcess process;
    process.start(program, QStringList{u"catalogue"_s} + arguments);
    CliRun run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString Expected(const TLanguage &language)
{
    QString expected;
    const THash &table = language.Table();
    for (int i = 0; i < table.Count(); ++i) {
        QString text = table.ValueAt(i);
        text.replace(u'\r', u"\\r"_s);
        expected += table.KeyAt(i) + u'\t' + text + u'\n';
    }
    return expected;
}

TEST(CatalogueCli, PrintsEveryLanguageInTableOrder)
{
    for (const QString &code : {u"EN"_s, u"FR"_s, u"IT"_s, u"SP"_s}) {
        const CliRun run = RunCli({u"--language"_s, code});
        ASSERT_EQ(run.exitCode, 0) << code.toStdString() << ": " << run.err.toStdString();
        EXPECT_FALSE(run.out.contains(u'\r')) << "carriage returns are written as \\r";
        const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        EXPECT_EQ(lines.size(), 200) << code.toStdString();
        EXPECT_EQ(lines.first(), u"_ID\t"_s + code);
        EXPECT_TRUE(lines.value(174).startsWith(u"arrayThanks\tQt\\r"_s));
        EXPECT_TRUE(lines.last().startsWith(u"NamesNeedUserFolder\t"_s));
        EXPECT_EQ(run.out, Expected(*LoadLanguage(code))) << code.toStdString();
    }
}

TEST(CatalogueCli, EnglishByDefaultWithEscapedLineBreaks)
{
    const CliRun run = RunCli({});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains(u"\nDirNotFound\tDirectory not found:\\r   %s\n"_s));
    EXPECT_TRUE(run.out.contains(u"\nTranslatedBy\t\n"_s)) << "the empty English credit keeps its line";
    EXPECT_EQ(run.out, RunCli({u"--language=EN"_s}).out);
}

TEST(CatalogueCli, WrongUsageExitsWithTwo)
{
    EXPECT_EQ(RunCli({u"--language"_s, u"ES"_s}).exitCode, 2);
    EXPECT_EQ(RunCli({u"--language"_s, u"fr"_s}).exitCode, 2);
    EXPECT_EQ(RunCli({u"--language"_s}).exitCode, 2);
    EXPECT_EQ(RunCli({u"FR"_s}).exitCode, 2);
    const CliRun run = RunCli({u"--language"_s, u"EN"_s, u"extra"_s});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.isEmpty());
}

} // namespace
