#include "common/Exceptions.h"
#include "common/unitString.h"

#include <gtest/gtest.h>

using namespace zorvak;

TEST(SplitString, EmptyItemsBetweenSeparatorsButNoTrailingOne)
{
    EXPECT_EQ(SplitString(QStringLiteral("a;;b;"), QStringLiteral(";"), false),
              (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    EXPECT_EQ(SplitString(QStringLiteral(";a; b ;"), QStringLiteral(";"), true),
              (QStringList{QString(), QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_TRUE(SplitString(QString(), QStringLiteral(";"), true).isEmpty());
    EXPECT_EQ(SplitString(QStringLiteral("x\t\r"), QStringLiteral(";"), true), QStringList{QStringLiteral("x")});
    EXPECT_EQ(SplitString(QStringLiteral("a<>b"), QStringLiteral("<>"), false),
              (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
}

TEST(StringHelpers, DigitsOccurrencesAmpersands)
{
    EXPECT_EQ(DigitsOnly(QStringLiteral("a1b22 3")), QStringLiteral("1223"));
    EXPECT_EQ(CountOccurrences(QStringLiteral("aaa"), QStringLiteral("aa")), 2);
    EXPECT_EQ(CountOccurrences(QStringLiteral("abc"), QStringLiteral("x")), 0);
    EXPECT_TRUE(IsDigit(QLatin1Char('7')));
    EXPECT_FALSE(IsDigit(QChar(0x0663))); // Arabic-Indic three is not a digit here
    EXPECT_EQ(StripAmpersands(QStringLiteral("E&xit")), QStringLiteral("Exit"));
    EXPECT_EQ(StripAmpersands(QStringLiteral("&a&&b")), QStringLiteral("ab"));
}

TEST(FormatText, ChecksPlaceholderCountAndStripsAmpersands)
{
    EXPECT_EQ(FormatText(QStringLiteral("Save %s to "), {QStringLiteral("&Folder")}), QStringLiteral("Save Folder to "));
    EXPECT_EQ(FormatText(QStringLiteral("%d files, %s"), {42, QStringLiteral("x")}), QStringLiteral("42 files, x"));
    try {
        FormatText(QStringLiteral("%d files total"), {});
        FAIL() << "no error";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("# holder != #params:\rtemplate=%d files total"));
    }
    EXPECT_THROW(FormatText(QStringLiteral("%d"), {QStringLiteral("nine")}), EConvertError);
}

TEST(StringHelpers, EscapeAndUnescapeInOnePass)
{
    const TEscape table[] = {
        {u'&', QLatin1String("&amp;")},
        {u'<', QLatin1String("&lt;")},
        {u'\'', QLatin1String("&apos;")},
        {u'\'', QLatin1String("&#39;")},
    };
    // A sequence just written is not escaped again; the first entry of a character is written.
    EXPECT_EQ(EscapeChars(QStringLiteral("a<&'b"), table), QStringLiteral("a&lt;&amp;&apos;b"));
    EXPECT_EQ(EscapeChars(QString(), table), QString());
    // Every listed sequence is read, a character read is not read again, the rest stays as it is.
    EXPECT_EQ(UnescapeSequences(QStringLiteral("&lt;&#39;&apos;"), table), QStringLiteral("<''"));
    EXPECT_EQ(UnescapeSequences(QStringLiteral("&amp;lt;"), table), QStringLiteral("&lt;"));
    EXPECT_EQ(UnescapeSequences(QStringLiteral("&gt; &am &"), table), QStringLiteral("&gt; &am &"));
    for (const QString &s : {QStringLiteral("&amp;&lt;"), QStringLiteral("'&'<"), QStringLiteral("x")})
        EXPECT_EQ(UnescapeSequences(EscapeChars(s, table), table), s);
}
