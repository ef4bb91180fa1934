// The manual pages of zorvak and zorvak-cli: made at build time from the texts --help prints, so
// every verb, every option and every line of the help is on the page, and groff reads the pages
// without a warning.
#include "cli/ManPage.h"
#include "support/Programs.h"

#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace zorvak::cli;

namespace {

using ProgramRun = zorvak::test::TProgramRun;

ProgramRun Exec(const QString &program, const QStringList &args, const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    zorvak::test::TRunOptions options;
    options.environment = environment;
    options.timeoutMs = 60000;
    return zorvak::test::RunProgram(program, args, options);
}

QString PagePath(const char *program) { return QStringLiteral(ZORVAK_MAN_DIR "/%1.1").arg(QLatin1String(program)); }

// The page as a reader sees it (groff, plain text), with groff's warnings; the minus and hyphen
// signs groff draws become the "-" typed in a terminal.
ProgramRun Rendered(const QString &page)
{
    ProgramRun r = Exec(QStringLiteral("groff"), {"-man", "-Tutf8", "-ww", "-P-cbou", page});
    r.out.replace(QChar(0x2212), QLatin1Char('-')).replace(QChar(0x2010), QLatin1Char('-'));
    r.out.replace(QChar(0x2019), QLatin1Char('\'')).replace(QChar(0x2018), QLatin1Char('`'));
    return r;
}

QStringList TrimmedLines(const QString &text)
{
    QStringList lines;
    for (const QString &line : text.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    return lines;
}

// Every line of `help` is a line of `page` (leading and trailing blanks aside).
void ExpectEveryLineOnThePage(const QString &help, const QString &page, const QString &what)
{
    const QStringList pageLines = TrimmedLines(page);
    for (const QString &line : TrimmedLines(help))
        EXPECT_TRUE(pageLines.contains(line)) << what.toStdString() << ": not on the page: " << line.toStdString();
}

QStringList Options(const QString &help)
{
    QStringList options;
    static const QRegularExpression option(QStringLiteral("--[a-z][a-z0-9-]*"));
    for (auto it = option.globalMatch(help); it.hasNext();)
        options << it.next().captured();
    options.removeDuplicates();
    return options;
}

} // namespace

TEST(ManPage, RoffLinesAreEscaped)
{
    // Leading dashes, requests at the start of a line, backslashes, tabs, non-ASCII and control characters.
    struct Case {
        const char *text, *roff; // UTF-8
    };
    for (const Case &c : {Case{"--all-parts", "\\-\\-all\\-parts"}, Case{".SH not a request", "\\&.SH not a request"},
                          Case{"'tr x", "\\&'tr x"}, Case{"C:\\Documents\tand", "C:\\eDocuments and"},
                          Case{"caf\u00e9 \U0001F600\x01", "caf\\[u00E9] \\[u1F600]"}})
        EXPECT_EQ(RoffLine(QString::fromUtf8(c.text)), QString::fromUtf8(c.roff)) << c.text;
    // A page of such lines: a request spelled in the text stays text.
    ManPageText page{QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("1"), QStringLiteral("x [-a]"),
                     {{QStringLiteral("DESCRIPTION"), {{{}, {}, QStringLiteral(".so /etc/passwd\n\nend")}}}}};
    const QString roff = RenderManPage(page);
    EXPECT_TRUE(roff.contains(QStringLiteral("\n\\&.so /etc/passwd\n\\&\nend\n"))) << roff.toStdString();
    EXPECT_FALSE(roff.contains(QStringLiteral("\n.so")));
}

TEST(ManPage, CliPageHoldsEveryVerbAndEveryLineOfTheHelp)
{
    const QString cli = zorvak::test::CliProgram();
    ASSERT_TRUE(QFile::exists(PagePath("zorvak-cli")));
    if (QStandardPaths::findExecutable(QStringLiteral("groff")).isEmpty())
        GTEST_SKIP() << "groff is not installed (scripts/deps.sh installs it)";
    const ProgramRun page = Rendered(PagePath("zorvak-cli"));
    ASSERT_EQ(page.code, 0);
    EXPECT_EQ(page.err, QString()) << "groff warns";

    const ProgramRun overall = Exec(cli, {"--help"});
    ASSERT_EQ(overall.code, 0);
    QStringList verbs;
    const QString verbList = overall.out.section(QStringLiteral("Verbs:\n"), 1).section(QStringLiteral("\n\n"), 0, 0);
    for (const QString &line : TrimmedLines(verbList))
        verbs << line.section(QLatin1Char(' '), 0, 0);
    EXPECT_GE(verbs.size(), 10) << overall.out.toStdString();
    for (const QString &option : Options(overall.out))
        EXPECT_TRUE(page.out.contains(option)) << option.toStdString();

    const QStringList pageLines = TrimmedLines(page.out);
    for (const QString &verb : verbs) {
        EXPECT_TRUE(pageLines.contains(verb)) << "no section for " << verb.toStdString();
        const ProgramRun help = Exec(cli, {verb, "--help"});
        ASSERT_EQ(help.code, 0) << verb.toStdString();
        ExpectEveryLineOnThePage(help.out, page.out, verb);
        for (const QString &option : Options(help.out))
            EXPECT_TRUE(page.out.contains(option)) << verb.toStdString() << " " << option.toStdString();
    }
}

TEST(ManPage, DesktopPageIsTheProgramsHelp)
{
    ASSERT_TRUE(QFile::exists(PagePath("zorvak")));
    // The help needs no display.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    const ProgramRun helpRun = Exec(QStringLiteral(ZORVAK_APP_PATH), {"--help"}, environment);
    ASSERT_NE(helpRun.code, -1) << "did not finish";
    EXPECT_EQ(helpRun.code, 0);
    const QString help = helpRun.out;
    EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: zorvak [FILE]\n"))) << help.toStdString();
    if (QStandardPaths::findExecutable(QStringLiteral("groff")).isEmpty())
        GTEST_SKIP() << "groff is not installed (scripts/deps.sh installs it)";
    const ProgramRun page = Rendered(PagePath("zorvak"));
    ASSERT_EQ(page.code, 0);
    EXPECT_EQ(page.err, QString()) << "groff warns";
    // The synopsis without "Usage: ", then every other line.
    EXPECT_TRUE(TrimmedLines(page.out).contains(QStringLiteral("zorvak [FILE]")));
    ExpectEveryLineOnThePage(help.section(QLatin1Char('\n'), 1), page.out, QStringLiteral("zorvak"));
    for (const QString &option : Options(help))
        EXPECT_TRUE(page.out.contains(option)) << option.toStdString();

    // Without a display the program says so in one line instead of aborting in the toolkit.
    const ProgramRun headless = Exec(QStringLiteral(ZORVAK_APP_PATH), {}, environment);
    EXPECT_EQ(headless.code, 1);
    EXPECT_TRUE(headless.err.startsWith(QStringLiteral("zorvak: this program needs a display")) && headless.err.count(QLatin1Char('\n')) == 1)
        << headless.err.toStdString();

    // Wrong usage is told on standard error with status 2, before any window.
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const ProgramRun bogus = Exec(QStringLiteral(ZORVAK_APP_PATH), {"--bogus"}, environment);
    ASSERT_NE(bogus.code, -1) << "did not finish";
    EXPECT_EQ(bogus.code, 2);
    EXPECT_TRUE(bogus.err.startsWith(QStringLiteral("zorvak: unknown option: --bogus")));
}
