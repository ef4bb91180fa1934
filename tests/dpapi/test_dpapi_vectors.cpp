// Real Windows DPAPI vectors: master-key files and blobs written by Windows XP and later.
#include "DpapiFixture.h"
#include "dpapi/CryptUtil.h"
#include "dpapi/Dpapi.h"
#include "dpapi/DpapiKeyMaterial.h"
#include "dpapi/DpapiMasterKeyCache.h"
#include "common/Exceptions.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::dpapi;
using zorvak::test::ErrorOf;

namespace {

QByteArray Hex(const char *text) { return QByteArray::fromHex(QByteArray(text).simplified().replace(' ', "")); }

// XP: master-key file of a local account, password "tutu".
const char *kXpSid = "S-1-5-21-583907252-1547161642-682003330-1001";
const char *kXpGuid = "9fb6442f-626a-4980-9c85-d238be955b3c";
const QByteArray kXpMasterKeyFile = Hex(
    "020000000000000000000000390066006200360034003400320066002d003600"
    "3200360061002d0034003900380030002d0039006300380035002d0064003200"
    "3300380062006500390035003500620033006300000000000000000005000000"
    "8800000000000000680000000000000014000000000000000000000000000000"
    "02000000a3e410b7f9a8f942e9a9b439157c35dea00f00000980000003660000"
    "b817f2201ab33dbc2199cd72694243cbeda34ce8ad2306dd23308ba537e7967b"
    "e2303701ab9f6a4f8d23fdd922f609efb276c47fcebc0321cf73ac50e8b6702d"
    "5b079d96bb09c605cd0fda93a1db4b41337c5b41d360da11f792540ace642265"
    "b600007173dbba9a02000000d43b01cc0590035e567e07b44b6ccead01000000"
    "098000000366000095bb351da2ee8c4463c5092a931feba5613f7bbf1570ecde"
    "fd887d5bae9dc18fa95724c1976c22012fae9cdbf6f70c4aaab721b9a87e17d7"
    "25d9dd110f9339777df1b807c90af31a030000008c0cc86717255245ba9544f8"
    "8914bc13");
const QByteArray kXpMasterKey = Hex(
    "f1cd9c3915428d12c0e9bf5ac0c44dda647e6e387118c09eb00a294e485a3f6efe47f16686ad5f60fbd740164de877116eb70d35445b22ddebdb02b0d55ee613");
const QByteArray kXpBlob = Hex(
    "01000000d08c9ddf0115d1118c7a00c04fc297eb010000002f44b69f6a628049"
    "9c85d238be955b3c000000003c0000004400500041005000490063006b002000"
    "730069006d0070006c006500200062006c006f0062002000670065006e006500"
    "7200610074006f007200000003660000a80000001000000055d9d46709e463db"
    "53c783ec1edd69dc0000000004800000a00000001000000038d39c66910558b6"
    "a4e961b5de40e84918000000eae8acddf984a8efae7701754baf9f844c9f1cbd"
    "df818a9f14000000be5c65c109be3c7fd4787df81e923b596f635d0f");

// XP blob with the entropy "toto123" (the map-file case); only the master key is published.
const char *kXpEntropyGuid = "261dfa18-2332-49e5-93d9-388d2f271486";
const QByteArray kXpEntropyMasterKey = Hex(
    "d0c624a61e4080ac28ec07f33466581ec04980f26953aa940258dc4ced7fd545251208d88d6bac5c64b5cd69b4e2140093174f51ab07f0f5fb7a45462a2c00e4");
const QByteArray kXpEntropyBlob = Hex(
    "01000000d08c9ddf0115d1118c7a00c04fc297eb0100000018fa1d263223e549"
    "93d9388d2f271486000000003c0000004400500041005000490063006b002000"
    "730069006d0070006c006500200062006c006f0062002000670065006e006500"
    "7200610074006f007200000003660000a8000000100000000c1e54f10d3ac713"
    "ef4c19dbc440e4a70000000004800000a000000010000000bde7c0f3b1d5def7"
    "cbb6669c2c2b361c200000006265824866ed719fe25046d193bf6fd8252be099"
    "ac10609b50677b57ea61bbbf140000005906ca660b04e0c1bce743ebe5b21aa9"
    "e79acc1f");

// Windows 7 master-key file, password "fuffa" (AES-256, SHA-512, 5600 rounds).
const char *kWin7Sid = "S-1-5-21-2421538757-1605280464-2344517820-1000";
const QByteArray kWin7MasterKeyFile = Hex(
    "020000000000000000000000330039003800370035006300610062002d003500"
    "3000330036002d0034006100620061002d0062003900650065002d0033003100"
    "6200350065003100360039006600650038003700000000000000000005000000"
    "b000000000000000900000000000000014000000000000000000000000000000"
    "020000001f63ff38751365ec54748b13d962698ee01500000e80000010660000"
    "ac23e4d5efcb8979f05fbcb275832a8dee9576fbaae76a4de7ead2f313e84bf7"
    "e4be7940b49319463c8cd25a1b4a67c15adfbb02e2bbe42c24cd44bec3b9740b"
    "45ebcce3a2ef2788867c28168bf93ea048844897f2854df5ac4eb000f72c3a6f"
    "25c65d5347e73c77120cfc3150c87e5752a017510c1486e71a9d0c32b79f333f"
    "2d0cda0ecc20774cbed8ca071aab976802000000498e70c2ad3a4e7f9dd07340"
    "b86207bbe01500000e80000010660000e99ec2b15a0304ea208c0fc2bd9d655f"
    "e4c2ab86a275e51bb39ada495f2e9944fd9d8e3d74a00603b329f41706d0fb41"
    "0059ac25b98d7bbd46ae0f23e364216a9cb2733ff767f0f4a24958e7651e7dfb"
    "332521b34b69e118a8db203230a74f653c01cec9489cc288ed617fb0de0d2ad0"
    "03000000a31ddfe1cf99304093caf6eb8b9c7b09");
const QByteArray kWin7MasterKey = Hex(
    "cf06670789bea0d79707c8343835d6594d957612db61e6f74e4184b20dafdff17e4ed5b75f8f41ae65542c43dd6dd5bc048af2741ec2594121832a4588d81f09");

// Win7+ blobs (AES-256, SHA-512) with and without the entropy "Some entropy".
const QByteArray kModernMasterKey = Hex(
    "9828d9873735439e823dbd216205ff88266d28ad685a413970c640d5ee943154bbade31fada673d542c72d707a163bb3d1bceb0c50465b359ae06998481b0ce3");
const QByteArray kModernBlob = Hex(
    "01000000d08c9ddf0115d1118c7a00c04fc297eb0100000033f19f5ee340be4a"
    "8a2e2b4e62bd0cc6000000000200000000001066000000010000200000000d1a"
    "f96e5e102266fd36d96ac7d1595552e5a4e972463f77e6e227f22d5fc8df0000"
    "00000e8000000002000020000000834f3c5710c8a7474f7dbcea8ba28ab8e4d4"
    "443f50a0c63ff4eba1cce485295f20000000b61d7576c0c6caf3690edb247bde"
    "3f7edaa59580e3b4be1265ea78e8c1b8a61d400000001c03ab807147742649b6"
    "bdfd1c1344d178bb163842d70abacfd51233af909cb81a677ec05d8db996f587"
    "ef5ac410dc189beda756eb0d1b6ee376823e80968538");
const QByteArray kModernEntropyBlob = Hex(
    "01000000d08c9ddf0115d1118c7a00c04fc297eb0100000033f19f5ee340be4a"
    "8a2e2b4e62bd0cc600000000020000000000106600000001000020000000f239"
    "c0018e71b33bef9a6299675c7e209eef1f6447bd578d19c79735487375450000"
    "00000e80000000020000200000009d9ef33e15ffb1b310a13ecec39b1c02adc3"
    "9e8d40a7162f9f9bb3170c699a812000000040e820259332c47af42e5f9de629"
    "e109d1504641aad853f3818c40ac311cf24a4000000010f01a84a5cc0393d3ea"
    "44cc3a8ff00ca4d02fcabc7c353a6823c53e4e719c9b398282a06b8878250205"
    "160ed79fef8b026093ad5a467594953d6de28d71f8c9");

// 3DES / SHA-1 credential blob written by a modern Windows (flags 0x20000000, 192 key bits).
const QByteArray kCredMasterKey = Hex(
    "4c4a398169cc9ecc6eae0e1a70ba1dc58bfec785c4b35bd1afdf2aeb06753bca0ea3491989cb626990973f8370fd576a46c0ce2a85d995a01af6d727ff41969c");
const QByteArray kCredBlob = Hex(
    "01000000d08c9ddf0115d1118c7a00c04fc297eb0100000071ac433ad152154b"
    "84cb01a5e7f06350000000203a00000045006e00740065007200700072006900"
    "730065002000430072006500640065006e007400690061006c00200044006100"
    "740061000d000a00000003660000c0000000100000005887dbebc037d8efb5a3"
    "9f692323214c0000000004800000a00000001000000092be1f37a580e5110a73"
    "086c72ecf7fca800000092594ccd3443d8e75bd8447dac9a5f0adce7f29a7284"
    "1f438719b9e8799c074c443ef3d39701b0faf26ea3d9555fd36ed480a513b924"
    "13e20297b02ad6cfa11e19f19cea2e7471f3b4892a4cd2d5913b4437bdf01e46"
    "8213b9659b9a867730b2b7628fb609befb3e769f895310e3e70f7d3ad3dde342"
    "1863f7856ae4fb343d1e1897a12c2b69e58bdf6e38c53e9e7973516585fb0b01"
    "d820b2812a8ecd20af459f8ccb97899697dd14000000b7e525fd432a52f90d64"
    "0b7ff047e943f3d3708c");
const QByteArray kCredPlain = Hex(
    "30000000a0000000000000000200000000000000eabc24c7ce76d40110000000"
    "030000000000000000000000000000003600000044006f006d00610069006e00"
    "3a007400610072006700650074003d006d007900660061006b00650073006500"
    "7200760065007200000000000000000000000000000018000000640061007600"
    "690064002e0062006f0077006900650000000a0000006d006900730073007500");

} // namespace

TEST(DpapiVectors, XpChainStageByStage)
{
    EXPECT_EQ(Sha1PasswordHash("tutu").toHex(), "8fd090d6121b0f67ebb58bce562bf02b3f1e6bb4");
    const QByteArray preKey = PreKey(Sha1PasswordHash("tutu"), kXpSid);
    EXPECT_EQ(preKey.toHex(), "732f73394364c930ba285063e5ff1ae49ebb3332");

    const auto file = MasterKeyFile::Parse(kXpMasterKeyFile);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->guid, kXpGuid);
    EXPECT_EQ(file->policy, 5u);
    EXPECT_EQ(file->credhistGuid(), "67c80c8c-2517-4552-ba95-44f88914bc13");
    const auto mk = file->masterKey();
    ASSERT_TRUE(mk);
    EXPECT_EQ(mk->rounds, 4000u);
    EXPECT_EQ(DpapiPbkdf2(mk->hashAlg, preKey, mk->salt, mk->rounds, 32).toHex(),
              "a8c7039f65f65040e7404d8ec826b11d567ad7da02fc6e8371cf4e8db055f2ed");
    EXPECT_EQ(mk->Decrypt(preKey), kXpMasterKey);
    EXPECT_TRUE(mk->Decrypt(PreKey(NtPasswordHash("tutu"), kXpSid)).isEmpty());
    EXPECT_TRUE(mk->Decrypt(PreKey(Sha1PasswordHash("tutU"), kXpSid)).isEmpty());
    EXPECT_EQ(file->Serialize(), kXpMasterKeyFile);

    const auto blob = Blob::Parse(kXpBlob);
    ASSERT_TRUE(blob);
    EXPECT_EQ(blob->masterKeyGuid, kXpGuid);
    EXPECT_EQ(blob->description, "DPAPIck simple blob generator");
    const QByteArray mkHash = Hash(CALG_SHA1, kXpMasterKey);
    EXPECT_EQ(mkHash.toHex(), "bc22825d45a55951ca7e9778b66624fc54adc06a");
    const QByteArray session = SessionKey(SessionKind::Xp, blob->hashAlg, mkHash, blob->salt, {});
    EXPECT_EQ(session.toHex(), "397ec5c4dc5d5733b7dadd94178f827951b5ea66");
    EXPECT_EQ(DeriveCipherKey(blob->hashAlg, session, 24).toHex(), "c4054596baed70f0676ceff2148c6beaea149dd4e2de55d3");
    EXPECT_EQ(DecryptBlob(*blob, kXpMasterKey, {}).value_or("?"), "This is for real !");
    EXPECT_FALSE(DecryptBlob(*blob, kXpMasterKey, "x"));
}

TEST(DpapiVectors, XpEntropyBlobUsesTheXpSessionKey)
{
    const auto blob = Blob::Parse(kXpEntropyBlob);
    ASSERT_TRUE(blob);
    const QByteArray mkHash = Hash(CALG_SHA1, kXpEntropyMasterKey);
    EXPECT_EQ(mkHash.toHex(), "e831124dade9dcc6659f3600f6f904a1db1cb54b");
    const QByteArray session = SessionKey(SessionKind::Xp, blob->hashAlg, mkHash, blob->salt, "toto123");
    EXPECT_EQ(session.toHex(), "9e0ee9a096bcd43c315a211dc7fdb1fd1a01cbec");
    EXPECT_EQ(DeriveCipherKey(blob->hashAlg, session, 24).toHex(), "e41a0d8b93243370b3722699588a83b228b533d82e609a69");
    EXPECT_EQ(DecryptBlob(*blob, kXpEntropyMasterKey, "toto123").value_or("?"), "This entropy was not faked");
    EXPECT_FALSE(DecryptBlob(*blob, kXpEntropyMasterKey, ""));
    EXPECT_FALSE(DecryptBlob(*blob, kXpEntropyMasterKey, "Toto123"));
    EXPECT_FALSE(DecryptBlob(*blob, kXpMasterKey, "toto123"));
}

TEST(DpapiVectors, Win7MasterKeyFile)
{
    const auto file = MasterKeyFile::Parse(kWin7MasterKeyFile);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->guid, "39875cab-5036-4aba-b9ee-31b5e169fe87");
    const auto mk = file->masterKey();
    ASSERT_TRUE(mk);
    EXPECT_EQ(mk->rounds, 5600u);
    const QByteArray preKey = PreKey(Sha1PasswordHash("fuffa"), kWin7Sid);
    EXPECT_EQ(preKey.toHex(), "7aee84fd2a5a62e5a7e41e2f5082e19db29f1eec");
    EXPECT_EQ(DpapiPbkdf2(mk->hashAlg, preKey, mk->salt, mk->rounds, 48).toHex(),
              "cd3b3595a6f992dd74ae22379dfc929a42319ee1556f5b21f0deff922c8a664f6c0e09b58da8a7886830302db0ebe130");
    EXPECT_EQ(mk->Decrypt(preKey), kWin7MasterKey);
    EXPECT_EQ(NtPasswordHash("fuffa").toHex(), "3b13f1ba6f8e68ab82c83eb6702e6d40");
    EXPECT_TRUE(mk->Decrypt(PreKey(NtPasswordHash("fuffa"), kWin7Sid)).isEmpty());
}

TEST(DpapiVectors, ModernBlobsWithAndWithoutEntropy)
{
    const auto plain = Blob::Parse(kModernBlob);
    const auto withEntropy = Blob::Parse(kModernEntropyBlob);
    ASSERT_TRUE(plain && withEntropy);
    EXPECT_EQ(plain->masterKeyGuid, "5e9ff133-40e3-4abe-8a2e-2b4e62bd0cc6");
    EXPECT_EQ(DecryptBlob(*plain, kModernMasterKey, {}).value_or("?"), "Some test string");
    EXPECT_EQ(DecryptBlob(*withEntropy, kModernMasterKey, "Some entropy").value_or("?"), "Some test string");
    EXPECT_FALSE(DecryptBlob(*withEntropy, kModernMasterKey, {}));
    EXPECT_FALSE(DecryptBlob(*plain, kModernMasterKey, "Some entropy"));
}

TEST(DpapiVectors, ModernWindowsCredentialBlobIsXpSigned)
{
    const auto blob = Blob::Parse(kCredBlob);
    ASSERT_TRUE(blob);
    EXPECT_EQ(blob->masterKeyGuid, "3a43ac71-52d1-4b15-84cb-01a5e7f06350");
    EXPECT_EQ(blob->description, "Enterprise Credential Data\r\n");
    EXPECT_EQ(blob->cipherBits, 192u);
    EXPECT_EQ(DecryptBlob(*blob, kCredMasterKey, {}).value_or("?"), kCredPlain);
}

// The whole chain as a backup meets it: profile folder, password, blob.
class DpapiProfileTest : public zorvak::test::DpapiTest {
protected:
    QString protect;
    void SetUp() override
    {
        DpapiTest::SetUp();
        protect = env.path("Application Data/Microsoft/Protect");
        ASSERT_TRUE(test::WriteFile(protect + "/" + kXpSid + "/" + kXpGuid, kXpMasterKeyFile));
    }
};

TEST_F(DpapiProfileTest, UnprotectsWithThePasswordOrItsHash)
{
    key = DpapiCredentials(protect, "tutu", false);
    EXPECT_EQ(UnprotectBytes(kXpBlob, "", key), "This is for real !");
    key = DpapiCredentials(protect + "/" + kXpSid, "8FD090D6121B0F67EBB58BCE562BF02B3F1E6BB4", true);
    EXPECT_EQ(UnprotectBytes(kXpBlob, "", key), "This is for real !");
    // The folder may also come from the file's location instead of the key material.
    key = DpapiCredentials("", "tutu", false);
    EXPECT_EQ(UnprotectBytes(kXpBlob, "", key, protect), "This is for real !");
}

TEST_F(DpapiProfileTest, FailuresReadLikeTheRealService)
{
    EXPECT_EQ(ErrorOf([&] { UnprotectBytes(kXpBlob, "", key, protect); }),
              "Failed to decrypt. No Windows password is set for the profile of " + QDir::toNativeSeparators(protect) + ".");
    key = DpapiCredentials(protect, "wrong", false);
    EXPECT_EQ(ErrorOf([&] { UnprotectBytes(kXpBlob, "", key); }), "Failed to decrypt. Key not valid for use in specified state.");
    key = DpapiCredentials(protect, "tutu", false);
    EXPECT_EQ(ErrorOf([&] { UnprotectBytes(kXpBlob, "entropy", key); }), "Failed to decrypt. The data is invalid.");
    // The master key of this blob is not in the profile.
    EXPECT_EQ(ErrorOf([&] { UnprotectBytes(kXpEntropyBlob, "toto123", key); }),
              "Failed to decrypt. Key not valid for use in specified state.");
    EXPECT_EQ(ErrorOf([&] { UnprotectBytes(kXpBlob.left(kXpBlob.size() - 1), "", key); }), "Failed to decrypt. The data is invalid.");
    EXPECT_EQ(ErrorOf([&] { UnprotectBytes({}, "", key); }), "Failed to decrypt. The data is invalid.");
    for (qsizetype bit : {qsizetype(20 * 8), qsizetype(60 * 8 + 3), (kXpBlob.size() - 30) * 8 + 7, (kXpBlob.size() - 1) * 8}) {
        QByteArray flipped = kXpBlob;
        flipped[bit / 8] = char(flipped[bit / 8] ^ (1 << (bit % 8)));
        const QString error = ErrorOf([&] { UnprotectBytes(flipped, "", key); });
        EXPECT_TRUE(error == "Failed to decrypt. The data is invalid."
                    || error == "Failed to decrypt. Key not valid for use in specified state.")
            << bit << qPrintable(error);
    }
}

TEST_F(DpapiProfileTest, OpenedMasterKeysStayInMemoryUntilTheMaterialChanges)
{
    key = DpapiCredentials(protect, "tutu", false);
    EXPECT_EQ(UnprotectBytes(kXpBlob, "", key), "This is for real !");
    QFile::remove(protect + "/" + kXpSid + "/" + kXpGuid);
    EXPECT_EQ(UnprotectBytes(kXpBlob, "", key), "This is for real !");
    key = DpapiCredentials(protect, "tutu", false); // the same material keeps the cache
    EXPECT_EQ(UnprotectBytes(kXpBlob, "", key), "This is for real !");
    key = DpapiCredentials(protect, "other", false);
    EXPECT_EQ(ErrorOf([&] { UnprotectBytes(kXpBlob, "", key); }), "Failed to decrypt. Key not valid for use in specified state.");
}

TEST_F(DpapiProfileTest, EntropyIsTheAddressAsWindows1252)
{
    // The XP entropy vector, its master key known to this run.
    const QString sidFolder = protect + "/" + kXpSid;
    key = DpapiCredentials(protect, "tutu", false);
    DpapiMasterKeyCache::Store(sidFolder, kXpEntropyGuid, kXpEntropyMasterKey);
    EXPECT_EQ(UnprotectBytes(kXpEntropyBlob, "toto123", key), "This entropy was not faked");
    EXPECT_EQ(ErrorOf([&] { UnprotectBytes(kXpEntropyBlob, "Toto123", key); }), "Failed to decrypt. The data is invalid.");
    EXPECT_EQ(ErrorOf([&] { UnprotectBytes(kXpEntropyBlob, "", key); }), "Failed to decrypt. The data is invalid.");
}

TEST(DpapiHelpers, GuidsAndSids)
{
    EXPECT_EQ(GuidFromText(kXpGuid).toHex(), "2f44b69f6a6280499c85d238be955b3c");
    EXPECT_EQ(GuidToText(GuidFromText("{9FB6442F-626A-4980-9C85-D238BE955B3C}")), kXpGuid);
    EXPECT_TRUE(GuidFromText("9fb6442f-626a-4980-9c85-d238be955b3").isEmpty());
    EXPECT_EQ(SidFromBinary(SidToBinary(kXpSid)), kXpSid);
    EXPECT_EQ(SidToBinary("S-1-5-18").toHex(), "010100000000000512000000");
    EXPECT_TRUE(SidToBinary("X-1-5").isEmpty());
    EXPECT_THROW(DpapiSecret::FromHashHex("abc"), EConvertError);
    EXPECT_EQ(DpapiSecret::FromHashHex("0x3b13f1ba6f8e68ab82c83eb6702e6d40").kind(), DpapiSecret::NtHash);
}
