// Map layouts, Messenger objects, default content and the XML escaping of names.
#include "backup/MsnMap.h"
#include "common/Exceptions.h"

#include <gtest/gtest.h>

using namespace zorvak;

namespace {
QString S(const char *text) { return QString::fromUtf8(text); }

QString Obj(const QString &location, const QString &extra = {})
{
    return QStringLiteral("<msnobj Creator=\"a@b.c\" Size=\"100\" Type=\"2\" Location=\"%1\" Friendly=\"AAA=\"%2/>")
        .arg(location, extra);
}

// The message of the exception that `f` raises (empty when none is raised).
template <typename F> QString ErrorOf(F &&f)
{
    try {
        f();
    } catch (const Exception &e) {
        return e.Message();
    }
    return {};
}

const QString kTabEnd = S("Tab character not found. Unexpected end of data in a map file.");
const QString kTail = S("\r\rIf this occurs constantly, could you please report this problem,\r"
                        "along with your Messenger version and on which content this error occurs\r"
                        "(eg. Backgrounds or Emoticons or other content)");
} // namespace

TEST(ParseMsnObject, ReadsAttributesWithoutLetterCaseAndStripsOneQuotePair)
{
    THash t;
    ParseMsnObject(S("<MSNOBJ  location=\"x.tmp\" Size=\"12\"  empty=\"\" lone=\" bare=v "
                     "stamp=\"a b\" Location=\"y.tmp\" noequals />"),
                   t);
    EXPECT_EQ(t.GetValue(S("Location")), S("y.tmp")); // a later attribute replaces an earlier one
    EXPECT_EQ(t.GetValue(S("size")), S("12"));
    EXPECT_EQ(t.GetValue(S("empty")), QString());
    EXPECT_EQ(t.GetValue(S("lone")), QString());     // a lone quote gives an empty value
    EXPECT_EQ(t.GetValue(S("bare")), S("v"));         // attributes without quotes are read too
    EXPECT_EQ(t.GetValue(S("stamp")), S("\"a"));      // a value with a space is cut there
    EXPECT_FALSE(t.Contains(S("noequals")));
}

TEST(ParseMsnObject, RejectsShortAndForeignElements)
{
    THash t;
    EXPECT_EQ(ErrorOf([&] { ParseMsnObject(QString(), t); }), S("Invalid data. xmlStr is too short."));
    EXPECT_EQ(ErrorOf([&] { ParseMsnObject(S("<msnobj/>"), t); }), S("Invalid data. xmlStr is too short."));
    EXPECT_EQ(ErrorOf([&] { ParseMsnObject(S("<msnobj a/>"), t); }), QString()); // 10 characters pass
    EXPECT_EQ(ErrorOf([&] { ParseMsnObject(S("<object a=\"1\" />"), t); }), S("Invalid data. Unexpected XML tag."));
    EXPECT_EQ(ErrorOf([&] { ParseMsnObject(S("<msnobj a=\"1\" >"), t); }), S("Invalid data. Unexpected XML tag."));
}

TEST(ParseEmoticonMap, ReadsRecordsEscapesNamesAndDefaultsTheContentType)
{
    const QString map = S(":-P\tTongue & <co>\t") + Obj(S("AAA.tmp")) + S("\t\r\n")
                        + S("x'\"y\tSecond\r\t") + Obj(S("BBB.tmp"), S(" contenttype=\"P\"")) + S("\ttrailing");
    const TMsnArr items = ParseEmoticonMap(map);
    ASSERT_EQ(items->size(), 2);
    EXPECT_EQ(items->at(0).Key, S(":-P"));
    EXPECT_EQ(items->at(0).Name, S("Tongue &amp; &lt;co&gt;"));
    EXPECT_EQ(items->at(0).Location, S("AAA.tmp"));
    EXPECT_EQ(items->at(0).ContentType, S("D"));
    EXPECT_EQ(items->at(1).Key, S("\nx&apos;&quot;y")); // line breaks belong to the record; CR removed
    EXPECT_EQ(items->at(1).Name, S("Second"));
    EXPECT_EQ(items->at(1).ContentType, S("P"));
    EXPECT_TRUE(items->at(1).Stamp.isEmpty());
}

TEST(ParseEmoticonMap, MissingTabsAndEmptyObjectsRaise)
{
    EXPECT_EQ(ErrorOf([] { ParseEmoticonMap(S("key\tname")); }), kTabEnd);
    EXPECT_EQ(ErrorOf([] { ParseEmoticonMap(S("key\tname\tobject")); }), kTabEnd);
    EXPECT_EQ(ErrorOf([] { ParseEmoticonMap(S("k\tn\t\t")); }), S("Invalid data. xmlStr is too short."));
    EXPECT_TRUE(ParseEmoticonMap(S("no tab at all")).get()->isEmpty());
    EXPECT_TRUE(ParseEmoticonMap(QString())->isEmpty());
}

TEST(ParsePictureMap, LeavesDefaultContentOutOnlyWhenAsked)
{
    auto obj = [](const char *loc, int size) {
        return QStringLiteral("<msnobj Size=\"%1\" Location=\"%2\" stamp=\"ST%2\"/>").arg(size).arg(S(loc));
    };
    const QString map = S("Orange Daisy\t") + obj("a.tmp", 20559) + S("\tOrange Daisy\t") + obj("b.tmp", 20560)
                        + S("\torange daisy\t") + obj("c.tmp", 20559) + S("\t");
    const TMsnArr skipped = ParsePictureMap(map, DefaultDp(), true);
    ASSERT_EQ(skipped->size(), 2);
    EXPECT_EQ(skipped->at(0).Location, S("b.tmp"));
    EXPECT_EQ(skipped->at(0).Stamp, S("STb.tmp"));
    EXPECT_EQ(skipped->at(1).Location, S("c.tmp"));
    EXPECT_EQ(ParsePictureMap(map, DefaultDp(), false)->size(), 3);
}

TEST(ParsePictureMap, ErrorTexts)
{
    const QString good = S("Pic\t<msnobj Size=\"5\" Location=\"a\"/>\t");
    EXPECT_EQ(ErrorOf([&] { ParsePictureMap(good + S("Second\t<msnobj"), DefaultDp(), false); }), kTabEnd);
    EXPECT_EQ(ErrorOf([] { ParsePictureMap(S("Pic\t\t"), DefaultDp(), false); }),
              S("Invalid data. xmlStr is too short."));
    EXPECT_EQ(ErrorOf([] { ParsePictureMap(S("P\t<msnobj Size=\"5x\" />\t"), DefaultDp(), true); }),
              S("'5x' is not a valid integer value"));
    EXPECT_EQ(ErrorOf([] { ParsePictureMap(S("P\t<msnobj Location=\"a\" />\t"), DefaultDp(), true); }),
              S("'' is not a valid integer value"));
}

TEST(ParseLineMap, OneRecordALine)
{
    const QString map = S("Car\t<msnobj Size=\"61437\" Location=\"car.dat\"/>\tjunk\n")
                        + S("no tab on this line\n")
                        + S("Empty\t\t\n")
                        + S("Car\t<msnobj Size=\"61438\" Location=\"car2.dat\" stamp=\"XYZ\"/>\t\n")
                        + S("Last\t<msnobj Size=\"1\" Location=\"last.dat\"/>\t"); // no LF: ignored
    const TMsnArr skipped = ParseLineMap(map, DefaultBg(), true);
    ASSERT_EQ(skipped->size(), 1);
    EXPECT_EQ(skipped->at(0).Location, S("car2.dat"));
    EXPECT_EQ(skipped->at(0).Stamp, S("XYZ"));
    const TMsnArr all = ParseLineMap(map, DefaultBg(), false);
    ASSERT_EQ(all->size(), 2);
    EXPECT_EQ(all->at(0).Name, S("Car"));
    // An empty table never converts the size.
    EXPECT_EQ(ParseLineMap(S("D\t<msnobj Size=\"x\" Location=\"d\"/>\t\n"), TDefaultTable(), true)->size(), 1);
}

TEST(ParseLineMap, ErrorTexts)
{
    EXPECT_EQ(ErrorOf([] { ParseLineMap(S("A\t<msnobj Location=\"a\"/>\t"), DefaultBg(), false); }),
              S("Linefeed character not found. Unexpected format of map file.") + kTail);
    EXPECT_EQ(ErrorOf([] { ParseLineMap(QString(), DefaultBg(), false); }),
              S("Linefeed character not found. Unexpected format of map file.") + kTail);
    EXPECT_EQ(ErrorOf([] { ParseLineMap(S("A\t<msnobj Location=\"a\"/>\n"), DefaultBg(), false); }),
              S("Tab character not found. Unexpected format of map file.") + kTail);
    EXPECT_EQ(ErrorOf([] { ParseLineMap(S("A\tshort\t\n"), DefaultBg(), false); }),
              S("Invalid data. xmlStr is too short."));
}

TEST(MapParsers, HostileInputsGiveAnErrorOrAListNeverACrash)
{
    const QString huge(4'000'000, QLatin1Char('x'));
    EXPECT_TRUE(ParseEmoticonMap(huge)->isEmpty());
    EXPECT_EQ(ErrorOf([&] { ParseLineMap(huge, DefaultBg(), false); }).left(20), S("Linefeed character n"));
    EXPECT_EQ(ErrorOf([&] { ParsePictureMap(huge + S("\t") + huge, DefaultDp(), false); }), kTabEnd);
    // A huge object with a huge value, and many records of one line each.
    const QString bigObject = S("<msnobj Location=\"") + huge + S("\"/>");
    EXPECT_EQ(ParseLineMap(S("n\t") + bigObject + S("\t\n"), DefaultBg(), false)->at(0).Location.size(), huge.size());
    QString many;
    for (int i = 0; i < 20000; ++i)
        many += S("n\t<msnobj Location=\"f%1\"/>\t\n").arg(i);
    EXPECT_EQ(ParseLineMap(many, DefaultBg(), false)->size(), 20000);
    // Millions of lines without a TAB before the one record: each line is searched on its own.
    const QString blank(3'000'000, QLatin1Char('\n'));
    const TMsnArr last = ParseLineMap(blank + S("z\t<msnobj Location=\"z\"/>\t\n"), DefaultBg(), false);
    ASSERT_EQ(last->size(), 1);
    EXPECT_EQ(last->at(0).Name, S("z"));
    // An object with 300,000 distinct attributes: read in linear time.
    QString wide = S("<msnobj");
    for (int i = 0; i < 300000; ++i)
        wide += S(" a%1=\"v\"").arg(i);
    wide += S(" LOCATION=\"w.tmp\" Size=\"7\"/>");
    const TMsnArr one = ParsePictureMap(S("W\t") + wide + S("\t"), DefaultDp(), true);
    ASSERT_EQ(one->size(), 1);
    EXPECT_EQ(one->at(0).Location, S("w.tmp"));
    EXPECT_EQ(MsnObjectLocation(wide), S("w.tmp"));
    // Tabs only, NULs and stray quotes.
    EXPECT_EQ(ErrorOf([] { ParseEmoticonMap(S("\t\t\t")); }), S("Invalid data. xmlStr is too short."));
    EXPECT_EQ(ErrorOf([] { ParseLineMap(QString(3, QChar(0)) + S("\n\t\n"), DefaultBg(), false); }),
              S("Tab character not found. Unexpected format of map file.") + kTail);
    THash t;
    ParseMsnObject(S("<msnobj \"\"\"=\"\"\"\" = == =\"/>"), t);
    EXPECT_EQ(t.GetValue(S("\"\"\"")), S("\"\""));
}

TEST(DefaultContent, TablesAndExactMatch)
{
    EXPECT_EQ(DefaultDp().size(), 11);
    EXPECT_EQ(DefaultBg().size(), 5);
    EXPECT_EQ(DefaultDbg().size(), 4);
    EXPECT_EQ(DefaultWink().size(), 15);
    EXPECT_TRUE(DefaultsOf(ContentType::Emot).isEmpty());
    EXPECT_TRUE(DefaultsOf(ContentType::Ddp).isEmpty());
    EXPECT_TRUE(IsDefaultContent(S("Skateboarder"), 18476, DefaultDp()));
    EXPECT_TRUE(IsDefaultContent(S("Laugh"), 37885, DefaultWink()));
    EXPECT_TRUE(IsDefaultContent(S("Pixies"), 120930, DefaultDbg()));
    EXPECT_FALSE(IsDefaultContent(S("Laugh"), 37885, DefaultDp()));
    EXPECT_FALSE(IsDefaultContent(S("Planets "), 72589, DefaultBg()));
}

TEST(XmlEscaping, ThreeRoutinesAndTheirRoundTrips)
{
    EXPECT_EQ(XmlEscapeValue(S("a&b\"c'd>e<f\r\ng")), S("a&amp;b&quot;c&apos;d&gt;e&lt;f\ng"));
    EXPECT_EQ(XmlEscapeValue(S("&amp;")), S("&amp;amp;"));
    EXPECT_EQ(EscapeXml(S("<3 & 'x' \"y\"")), S("&lt;3 &amp; &apos;x&apos; &quot;y&quot;"));
    EXPECT_EQ(UnescapeXml(S("&lt;3")), S("<3"));
    EXPECT_EQ(UnescapeXml(S("it&#39;s")), S("it's"));
    EXPECT_EQ(EscapeXml(UnescapeXml(S("it&#39;s"))), S("it&apos;s"));
    EXPECT_EQ(UnescapeXml(S("&amp;lt;")), S("&lt;")); // "&amp;" goes last
    for (const QString &s : {S("<3"), S("A & B"), S("\"q\" 'a'"), S("&&;;<<>>")})
        EXPECT_EQ(UnescapeXml(EscapeXml(s)), s);
}

TEST(MapParsers, LocationsThatCouldLeaveTheFolderAreDroppedInEveryLayout)
{
    const QStringList unsafe{S("../X"), S(".."), S("."), S("a/b.tmp"), S("/etc/passwd"), S("a\\b.tmp"),
                             S("..\\Zorvak.ini"), S("C:x.tmp"), S("c:\\x.tmp"), S("x..y")};
    for (const QString &location : unsafe)
        EXPECT_FALSE(IsSafeObjectName(location)) << location.toStdString();
    for (const QString &location : {S("AAA.tmp"), S("a.b.c"), S("ab:c"), S("name with spaces.dat")})
        EXPECT_TRUE(IsSafeObjectName(location)) << location.toStdString();

    QString emoticons, pictures, lines;
    for (const QString &location : unsafe + QStringList{S("good.tmp")}) {
        emoticons += S("k\tn\t") + Obj(location) + S("\t");
        pictures += S("n\t") + Obj(location) + S("\t");
        lines += S("n\t") + Obj(location) + S("\t\n");
    }
    QStringList dropped;
    const TMsnArr e = ParseEmoticonMap(emoticons, &dropped);
    ASSERT_EQ(e->size(), 1);
    EXPECT_EQ(e->at(0).Location, S("good.tmp"));
    EXPECT_EQ(dropped, unsafe);
    dropped.clear();
    const TMsnArr p = ParsePictureMap(pictures, DefaultDp(), true, &dropped);
    ASSERT_EQ(p->size(), 1);
    EXPECT_EQ(dropped, unsafe);
    dropped.clear();
    for (ContentType type : {ContentType::Bg, ContentType::Wink, ContentType::Ddp, ContentType::Dbg}) {
        const TMsnArr l = ParseContentMap(type, lines, false, &dropped);
        ASSERT_EQ(l->size(), 1);
        EXPECT_EQ(l->at(0).Location, S("good.tmp"));
    }
    EXPECT_EQ(dropped.size(), unsafe.size() * 4);
    // Without a list to fill they are still dropped; an object without a Location stays.
    EXPECT_EQ(ParseEmoticonMap(emoticons)->size(), 1);
    EXPECT_EQ(ParseLineMap(S("n\t<msnobj Size=\"1\"/>\t\n"), DefaultBg(), false)->size(), 1);
}
