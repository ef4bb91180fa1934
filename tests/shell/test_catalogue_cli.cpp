// zorvak-cli catalogue: the built program prints each catalogue exactly as the builders make it.
#include "shell/uLanguage.h"
#include "support/Programs.h"

#include <gtest/gtest.h>

using namespace zorvak;
using namespace Qt::Literals::StringLiterals;

namespace {

using CliRun = zorvak::test::TProgramRun;

CliRun Catalogue(const QStringList &arguments) { return zorvak::test::RunCli(QStringList{u"catalogue"_s} + arguments); }

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
        const CliRun run = Catalogue({u"--language"_s, code});
        ASSERT_EQ(run.code, 0) << code.toStdString() << ": " << run.err.toStdString();
        EXPECT_FALSE(run.out.contains(u'\r')) << "carriage returns are written as \\r";
        const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        EXPECT_EQ(lines.size(), 239) << code.toStdString();
        EXPECT_EQ(lines.first(), u"_ID\t"_s + code);
        EXPECT_TRUE(lines.value(179).startsWith(u"arrayThanks\tQt\\r"_s));
        EXPECT_TRUE(lines.last().startsWith(u"Colon\t"_s));
        EXPECT_EQ(run.out, Expected(*LoadLanguage(code))) << code.toStdString();
    }
}

TEST(CatalogueCli, EnglishByDefaultWithEscapedLineBreaks)
{
    const CliRun run = Catalogue({});
    ASSERT_EQ(run.code, 0);
    EXPECT_TRUE(run.out.contains(u"\nDirNotFound\tDirectory not found:\\r   %s\n"_s));
    EXPECT_TRUE(run.out.contains(u"\nTranslatedBy\t\n"_s)) << "the empty English credit keeps its line";
    EXPECT_EQ(run.out, Catalogue({u"--language=EN"_s}).out);
}

TEST(CatalogueCli, WrongUsageExitsWithTwo)
{
    EXPECT_EQ(Catalogue({u"--language"_s, u"ES"_s}).code, 2);
    EXPECT_EQ(Catalogue({u"--language"_s, u"fr"_s}).code, 2);
    EXPECT_EQ(Catalogue({u"--language"_s}).code, 2);
    EXPECT_EQ(Catalogue({u"FR"_s}).code, 2);
    const CliRun run = Catalogue({u"--language"_s, u"EN"_s, u"extra"_s});
    EXPECT_EQ(run.code, 2);
    EXPECT_TRUE(run.out.isEmpty());
}

} // namespace
