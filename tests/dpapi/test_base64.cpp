#include "dpapi/uBase64Codec.h"

#include <gtest/gtest.h>

using zorvak::Base64ToWide;

TEST(Base64ToWide, DecodesLittleEndianUtf16UpToTheFirstNulUnit)
{
    EXPECT_EQ(Base64ToWide("QQBCAAAA"), QStringLiteral("AB"));             // 41 00 42 00 00 00
    EXPECT_EQ(Base64ToWide(QByteArray("H\0\xe9\0", 4).toBase64()), QStringLiteral("H\u00e9"));
    EXPECT_EQ(Base64ToWide("AAA="), QString());                           // 00 00: ends at once
    EXPECT_EQ(Base64ToWide(QByteArray("\x3d\xd8\x00\xde", 4).toBase64()), QString::fromUtf8("\xf0\x9f\x98\x80"));
}

TEST(Base64ToWide, FillerAndOddBytes)
{
    EXPECT_EQ(Base64ToWide("QUI="), QString(QChar(0x4241)));   // 41 42: one unit
    EXPECT_EQ(Base64ToWide("QUJD"), QString(QChar(0x4241)));   // three bytes: the third is ignored
    EXPECT_EQ(Base64ToWide("QQ=="), QString());                // one byte: no unit
    EXPECT_EQ(Base64ToWide("QUI=").size(), 1);
    // "=" in the third position ends the data only when a second "=" follows it.
    EXPECT_EQ(Base64ToWide("QUJDRA=="), QStringLiteral("\u4241\u4443"));
}

TEST(Base64ToWide, JunkAfterTheFillerIsInvalid)
{
    EXPECT_EQ(Base64ToWide("QQBCAA=~"), QString());
    EXPECT_EQ(Base64ToWide("QUJDRA=x"), QString());
    EXPECT_EQ(Base64ToWide("QUJDRA=A"), QString());
    EXPECT_EQ(Base64ToWide(QByteArray("QUJDRA=\0", 8)), QString());
    EXPECT_EQ(Base64ToWide("QQBCAA=="), QStringLiteral("AB"));   // the same group, well formed
    EXPECT_EQ(Base64ToWide("QQBCAAA="), QStringLiteral("AB"));
}

TEST(Base64ToWide, InvalidInputGivesEmptyText)
{
    EXPECT_EQ(Base64ToWide(""), QString());
    EXPECT_EQ(Base64ToWide("QQBCAAA"), QString());       // 7 characters
    EXPECT_EQ(Base64ToWide("QQBC\nAAAA"), QString());    // a line break
    EXPECT_EQ(Base64ToWide("QQBCAAA\n"), QString());
    EXPECT_EQ(Base64ToWide("QQ==QUJD"), QString());      // "=" inside an earlier group
    EXPECT_EQ(Base64ToWide("QQBC AAA"), QString());
    EXPECT_EQ(Base64ToWide("QQ-_QUJD"), QString());      // URL alphabet
    EXPECT_EQ(Base64ToWide("QUJD=AAA"), QString());
    EXPECT_EQ(Base64ToWide(QByteArray("QUJ\0", 4)), QString());
}
