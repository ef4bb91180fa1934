#include "common/Exceptions.h"
#include "common/unitHash.h"

#include <gtest/gtest.h>

using zorvak::THash;

TEST(THash, KeysIgnoreCaseAndKeepFirstSpellingAndPosition)
{
    THash h;
    h.SetValue(QStringLiteral("mbOK"), QStringLiteral("OK"));
    h.SetValue(QStringLiteral("second"), QStringLiteral("2"));
    h.SetValue(QStringLiteral("MBOK"), QStringLiteral("Okay"));
    EXPECT_EQ(h.Count(), 2);
    EXPECT_EQ(h.KeyAt(0), QStringLiteral("mbOK"));
    EXPECT_EQ(h.GetValue(QStringLiteral("mbOk")), QStringLiteral("Okay"));
    EXPECT_EQ(h.GetValue(QStringLiteral("absent")), QString());
}

TEST(THash, RemoveTellsWhetherTheKeyExistedAndShiftsLaterEntries)
{
    THash h;
    for (int i = 0; i < 4; ++i)
        h.SetValue(QString::number(i), QStringLiteral("v%1").arg(i));
    EXPECT_TRUE(h.Remove(QStringLiteral("1")));
    EXPECT_FALSE(h.Remove(QStringLiteral("1")));
    ASSERT_EQ(h.Count(), 3);
    EXPECT_EQ(h.KeyAt(1), QStringLiteral("2"));
    EXPECT_EQ(h.ValueAt(1), QStringLiteral("v2"));
    h.Clear();
    EXPECT_EQ(h.Count(), 0);
}
