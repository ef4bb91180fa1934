#include "common/Cp1252.h"

#include <gtest/gtest.h>

using namespace zorvak;

TEST(Cp1252, RoundTripsTheWholeCodePage)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(ToCp1252(FromCp1252(all)), all);
    EXPECT_EQ(FromCp1252(QByteArray("\x80\xe9", 2)), QString::fromUtf8("€é"));
    EXPECT_EQ(ToCp1252(QString::fromUtf8("Ω")), QByteArray("?"));
    EXPECT_FALSE(IsCp1252Encodable(QChar(0x03A9)));
}

TEST(Cp1252, DecodesUtf8OrFallsBack)
{
    EXPECT_EQ(DecodeUtf8OrCp1252(QByteArray("Fran\xc3\xa7" "ais")), QString::fromUtf8("Français"));
    EXPECT_EQ(DecodeUtf8OrCp1252(QByteArray("Fran\xe7" "ais")), QString::fromUtf8("Français"));
}
