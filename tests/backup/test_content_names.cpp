// The names and shortcuts read from a user folder's maps, without a backup around them.
#include "backup/ContentNames.h"
#include "common/Exceptions.h"
#include "test_run_profile.h"

#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {

class ContentNamesTest : public EnvTest {
protected:
    SyntheticProfile profile{env.path(QStringLiteral("profile"))};
    TContentNames Read() { return ReadContentNames(profile.root, profile.email, {}, &ReadPlainMap); }
};

TEST_F(ContentNamesTest, NamesAndShortcutsOfEveryMappedType)
{
    profile.AddFolder(QStringLiteral("CustomEmoticons"),
                      QStringLiteral("(wink)\tBlinking & smiling\t<msnobj Location=\"AB12.tmp\" Size=\"28\"/>\t"
                                     "<3\tHeart\t<msnobj Location=\"CD34.tmp\" Size=\"28\"/>\t"),
                      {{QStringLiteral("AB12.tmp"), PngBytes(1)}, {QStringLiteral("CD34.tmp"), PngBytes(2)}});
    profile.AddPictures(2);
    const TContentNames names = Read();
    ASSERT_EQ(names.All().size(), 4);
    EXPECT_EQ(names.TypesRead, (QList<ContentType>{ContentType::Emot, ContentType::Dp}));
    EXPECT_TRUE(names.Problems.isEmpty());

    const TObjectName *wink = names.Find(ContentType::Emot, QStringLiteral("ab12.TMP")); // case as Windows ignores it
    ASSERT_NE(wink, nullptr);
    EXPECT_EQ(wink->name, QStringLiteral("Blinking & smiling"));
    EXPECT_EQ(wink->shortcut, QStringLiteral("(wink)"));
    EXPECT_EQ(names.Find(ContentType::Emot, QStringLiteral("CD34.tmp"))->shortcut, QStringLiteral("<3"));

    const TObjectName *picture = names.Find(ContentType::Dp, QStringLiteral("D1.dat"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->name, QStringLiteral("Picture 1"));
    EXPECT_TRUE(picture->shortcut.isEmpty());
    // A file of another type is not found under this one.
    EXPECT_EQ(names.Find(ContentType::Emot, QStringLiteral("D1.dat")), nullptr);
}

TEST_F(ContentNamesTest, BrokenPointersAndUnsafeEntriesLeaveOnlyTheirTypeUnnamed)
{
    profile.AddEmoticons(1);
    // A pointer to a map that is not there.
    WriteFile(profile.root + QStringLiteral("UserTile/map.dat"),
              QByteArrayLiteral("<msnobj Location=\"missing.map\" Size=\"0\"/>"));
    // A map entry whose file name climbs out of the folder.
    profile.AddFolder(QStringLiteral("Backgrounds"),
                      QStringLiteral("Evil\t<msnobj Location=\"..\\..\\x.dat\" Size=\"1\"/>\t\r\n"
                                     "Fine\t<msnobj Location=\"B1.dat\" Size=\"1\"/>\t\r\n"),
                      {{QStringLiteral("B1.dat"), GifBytes(1)}});
    const TContentNames names = Read();
    ASSERT_EQ(names.Problems.size(), 1);
    EXPECT_TRUE(names.Problems[0].startsWith(QStringLiteral("Failed to find map file:\r"))) << qPrintable(names.Problems[0]);
    EXPECT_EQ(names.TypesRead, (QList<ContentType>{ContentType::Emot, ContentType::Bg}));
    ASSERT_EQ(names.All().size(), 2);
    EXPECT_EQ(names.Find(ContentType::Bg, QStringLiteral("B1.dat"))->name, QStringLiteral("Fine"));
}

TEST_F(ContentNamesTest, AMalformedMapRaisesTheMapError)
{
    profile.AddFolder(QStringLiteral("Backgrounds"), QStringLiteral("no line feed\t<msnobj Location=\"a\"/>\t"),
                      {{QStringLiteral("a"), PngBytes(1)}});
    EXPECT_THROW(Read(), Exception);
}

TEST_F(ContentNamesTest, ALaterEntryForTheSameFileReplacesTheEarlierOne)
{
    TContentNames names;
    names.Add({ContentType::Emot, QStringLiteral("A.tmp"), QStringLiteral("First"), QStringLiteral("1")});
    names.Add({ContentType::Emot, QStringLiteral("a.tmp"), QStringLiteral("Second"), QStringLiteral("2")});
    ASSERT_EQ(names.All().size(), 1);
    EXPECT_EQ(names.Find(ContentType::Emot, QStringLiteral("A.TMP"))->name, QStringLiteral("Second"));
}

} // namespace
