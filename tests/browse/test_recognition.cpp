#include "browse/Recognition.h"
#include "support/TestEnv.h"

#include <QFile>

using namespace zorvak;
using namespace zorvak::test;

TEST(Recognition, SignatureTable)
{
    struct Case { QByteArray head; const char *ext; };
    const Case cases[] = {
        {Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10}) + "JFIF", ".jpg"},
        {Bytes({0xFF, 0xD8, 0xFF, 0xE1}) + "xxExif", ".jpg"},
        {Bytes({0xFF, 0xD8, 0xFF, 0xDB, 0, 0}), ""},
        {"GIF87a....", ".gif"},
        {"GIF89a....", ".gif"},
        {"BM", ".bmp"},
        {"BMxyz", ".bmp"},
        {Bytes({0x89}) + "PNG\r\n", ".png"},
        {Bytes({'M', 'M', 0, 0x2A}), ".tif"},
        {Bytes({'I', 'I', 0x2A, 0}), ".tif"},
        {"MSCF\0\0\0\0", ".cab"},
        {"CWS\x08", ".swf"},
        {"FWS\x08", ""},
        {"MThd\0\0\0\x06", ".mid"},
        {Bytes({0, 0, 1, 0, 1, 0}), ".ico"},
        {Bytes({0, 0, 2, 0, 1, 0}), ".cur"},
        {Bytes({0, 0, 1, 0}), ".ico"},
        // A map file: two leading bytes, then a protected blob. An icon header counting no picture.
        {Bytes({0, 0, 1, 0, 0, 0, 0xD0, 0x8C, 0x9D, 0xDF}), ""},
        {Bytes({0, 0, 2, 0, 0, 0, 0xD0, 0x8C}), ""},
        {"ID3\x03", ".mp3"},
        {Bytes({0xFF, 0xFB}), ".mp3"},
        {Bytes({0xFF, 0xE3, 'x'}), ".mp3"},
        {Bytes({0xFF}), ""},
        {Bytes({0xFF, 0xDF}), ""},
        {Bytes({0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6}), ".asf"},
        {Bytes({0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF}), ""},
        {"WAVEfmt ", ".wav"},
        {QByteArray("RIFF\x24\x08\0\0WAVEfmt ", 16), ".wav"},
        {QByteArray("RIFF\x24\x08\0\0AVI LIST", 16), ""},
        {"", ""},
        {"hello world", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RecognizeBytes(c.head), QString::fromLatin1(c.ext)) << c.head.toHex().constData();
}

TEST_F(EnvTest, RecognizeFileReadsFilesAndNeverFails)
{
    const QString wav = env.path("w");
    ASSERT_TRUE(WriteFile(wav, QByteArray("RIFF\x24\x08\0\0WAVEfmt \x10\0\0\0", 20) + QByteArray(1000, 'x')));
    EXPECT_EQ(RecognizeFile(wav), ".wav");
    const QString two = env.path("two");
    ASSERT_TRUE(WriteFile(two, Bytes({0xFF, 0xFB})));
    EXPECT_EQ(RecognizeFile(two), ".mp3");
    const QString empty = env.path("empty");
    ASSERT_TRUE(WriteFile(empty, {}));
    EXPECT_EQ(RecognizeFile(empty), "");
    EXPECT_EQ(RecognizeFile(env.path("missing")), "");
    EXPECT_EQ(RecognizeFile(env.path("")), ""); // a folder
}

TEST(Recognition, PreviewKinds)
{
    EXPECT_EQ(PreviewKind("jpg"), pkPicture);
    EXPECT_EQ(PreviewKind(".jpg"), pkPicture);
    EXPECT_EQ(PreviewKind(".JPG"), pkOther);
    for (const char *e : {".gif", ".png", ".tif", ".bmp", ".ico", ".cur"})
        EXPECT_EQ(PreviewKind(e), pkPicture) << e;
    for (const char *e : {".mp3", ".wav", "asf"})
        EXPECT_EQ(PreviewKind(e), pkSound) << e;
    EXPECT_EQ(PreviewKind(".swf"), pkFlash);
    EXPECT_EQ(PreviewKind("cab"), pkCabinet);
    for (const char *e : {".mid", "", "."})
        EXPECT_EQ(PreviewKind(e), pkOther) << e;
}

TEST(Recognition, CandidatesAndDisplayNames)
{
    EXPECT_FALSE(IsRecognitionCandidate("map.dat"));
    EXPECT_FALSE(IsRecognitionCandidate("MAP.DAT"));
    EXPECT_TRUE(IsRecognitionCandidate("a.DAT"));
    EXPECT_TRUE(IsRecognitionCandidate("b.bin"));
    EXPECT_TRUE(IsRecognitionCandidate("c"));
    EXPECT_TRUE(IsRecognitionCandidate("{1A2B}"));
    EXPECT_FALSE(IsRecognitionCandidate("d.txt"));
    EXPECT_FALSE(IsRecognitionCandidate("pic.png"));
    EXPECT_FALSE(IsRecognitionCandidate("amap.dat.txt"));
    EXPECT_TRUE(IsRecognitionCandidate("xmap.dat"));

    EXPECT_EQ(ReplaceExtension("a.dat", ".jpg"), "a.jpg");
    EXPECT_EQ(ReplaceExtension("b", ".jpg"), "b.jpg");
    EXPECT_EQ(ReplaceExtension("x.y.bin", ".png"), "x.y.png");
    EXPECT_EQ(ExtractFileExt("dir.d/file"), "");
}
