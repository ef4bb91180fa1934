// Wine's data-protection blobs (written by a real Wine: WineVectors.h) and the maps of a Messenger
// that ran under Wine, opened without a password by the decryption, zorvak-cli and the names.
#include "DpapiProtect.h"
#include "WineFixture.h"
#include "backup/ContentNames.h"
#include "dpapi/CryptUtil.h"
#include "dpapi/DpapiKeyMaterial.h"
#include "dpapi/MapFileCrypt.h"
#include "dpapi/WineProtect.h"
#include "common/Exceptions.h"
#include "support/Programs.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::test;
namespace wv = zorvak::test::wine_vectors;

namespace {

QString S(const char *text) { return QString::fromUtf8(text); }
const QString kInvalid = S("Failed to decrypt. The data is invalid.");
const QString kEmail = S(wv::kMapEmail);

QByteArray Plain(const wv::Vector &v) { return HexBytes(v.plainHex); }
QByteArray Entropy(const wv::Vector &v) { return HexBytes(v.entropyHex); }

} // namespace

TEST(WineBlob, BlobsOfARealWineOpenWithItsUserName)
{
    for (const wv::Vector &v : wv::kVectors) {
        SCOPED_TRACE(v.plainHex);
        const QByteArray blob = HexBytes(v.blobHex);
        ASSERT_TRUE(wine::IsWineBlob(blob));
        const std::optional<wine::Blob> parsed = wine::Blob::Parse(blob);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->cipherAlg, 0x6603u); // 3DES
        EXPECT_EQ(parsed->hashAlg, 0x8004u);   // SHA-1
        EXPECT_EQ(wine::Decrypt(*parsed, wv::kUser, Entropy(v)), Plain(v));
        // The decryption every caller goes through, with no password.
        EXPECT_EQ(UnprotectBytesRaw(blob, Entropy(v), WineKeyMaterial({S(wv::kUser)})), Plain(v));
    }
    // The old format (RC2 keys of 128 and 40 bits, MD5), computed, not written by a Wine.
    for (const wv::Vector &v : wv::kComputedOldVectors) {
        const std::optional<wine::Blob> parsed = wine::Blob::Parse(HexBytes(v.blobHex));
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->cipherAlg, 0u);
        EXPECT_EQ(wine::Decrypt(*parsed, wv::kUser, Entropy(v)), Plain(v));
    }
}

TEST(WineBlob, WrongUserEntropyOrDamageFailAsTheServiceDoes)
{
    const wv::Vector &v = wv::kVectors[1]; // with entropy
    const QByteArray blob = HexBytes(v.blobHex);
    const auto unprotect = [](const QByteArray &data, const QByteArray &entropy, const QStringList &users) {
        return ErrorOf([&] { UnprotectBytesRaw(data, entropy, WineKeyMaterial(users)); });
    };
    struct Case {
        const char *what;
        QByteArray data, entropy;
        QStringList users;
    };
    const Case cases[] = {
        {"another user", blob, Entropy(v), {S("root"), S("Public")}},
        {"the user in other letter case", blob, Entropy(v), {S("Dana")}},
        {"other entropy", blob, Entropy(v).toUpper(), {S(wv::kUser)}},
        {"no entropy", blob, {}, {S(wv::kUser)}},
        {"one byte short", blob.chopped(1), Entropy(v), {S(wv::kUser)}},
        {"no fingerprint", blob.left(blob.size() - 24) + QByteArray(4, '\0'), Entropy(v), {S(wv::kUser)}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(unprotect(c.data, c.entropy, c.users), kInvalid) << c.what;
    EXPECT_FALSE(wine::Blob::Parse(blob.left(4) + "Wine Crypt33 ok" + blob.mid(19)));

    // Any byte changed: refused, or (a field Wine does not read) the same text; never another.
    for (qsizetype i = 0; i < blob.size(); ++i) {
        QByteArray flipped = blob;
        flipped[i] = char(flipped[i] ^ 0x20);
        const std::optional<wine::Blob> parsed = wine::Blob::Parse(flipped);
        const std::optional<QByteArray> plain = parsed ? wine::Decrypt(*parsed, wv::kUser, Entropy(v)) : std::nullopt;
        if (plain) {
            EXPECT_EQ(*plain, Plain(v)) << "byte " << i;
        }
    }

    // No user name at all: the file lies in no Wine prefix.
    EXPECT_EQ(unprotect(blob, Entropy(v), {}),
              S("Failed to decrypt. The data was protected by Wine, and no Wine user name is known for it: "
                "the file is not in the users folder of a Wine prefix."));
    // A Windows blob with the material of Wine's: no password to open it with.
    const QByteArray windowsBlob = dpapi::protect::MakeBlob(QByteArray(64, 'k'), dpapi::protect::RandomGuid(), "x", {},
                                                            dpapi::protect::Flavour::Xp);
    EXPECT_EQ(ErrorOf([&] { UnprotectBytesRaw(windowsBlob, {}, WineKeyMaterial()); }),
              S("Failed to decrypt. No Windows password is set for the profile."));
}

TEST(WineBlob, UserNamesOfThePrefixThatHoldsAPath)
{
    TestEnv env;
    const QString prefix = env.path(S("pfx"));
    for (const char *user : {"dana", "Public", "zed/AppData/Roaming"})
        QDir().mkpath(prefix + S("/drive_c/users/") + S(user));
    QDir().mkpath(env.path(S("copied/Drive_C/Users/ann/x")));
    QDir().mkpath(env.path(S("old/drive_c/windows/profiles/bea/Application Data")));
    EXPECT_EQ(wine::PrefixUserNames(prefix + S("/drive_c/users/zed/AppData/Roaming/map.dat")),
              (QStringList{S("zed"), S("Public"), S("dana")}));
    EXPECT_EQ(wine::PrefixUserNames(prefix + S("/drive_c/Program Files/x")), (QStringList{S("Public"), S("dana"), S("zed")}));
    EXPECT_EQ(wine::PrefixUserNames(env.path(S("copied/Drive_C/Users/ann/x/map.dat"))), QStringList{S("ann")});
    EXPECT_EQ(wine::PrefixUserNames(env.path(S("old/drive_c/windows/profiles/bea/Application Data/m"))), QStringList{S("bea")});
    EXPECT_TRUE(wine::PrefixUserNames(env.path(S("elsewhere/users/dana/map.dat"))).isEmpty());
    // A name outside Windows-1252 is tried in UTF-8 only.
    EXPECT_EQ(wine::UserNameBytes(S("j\u00f6rg")), (QList<QByteArray>{"j\xf6rg", "j\xc3\xb6rg"}));
    EXPECT_EQ(wine::UserNameBytes(S("\u0434\u0438\u043c\u0430")), QList<QByteArray>{S("\u0434\u0438\u043c\u0430").toUtf8()});
}

class WineMaps : public EnvTest {};

TEST_F(WineMaps, OpenWithoutPasswordUnderAnyUserOfThePrefix)
{
    for (const char *under : {"dana", "steamuser"}) {
        SCOPED_TRACE(under);
        const QString user = WriteWineUserFolder(env.path(S("prefix-") + S(under)), S(under));
        EXPECT_TRUE(AllMapsProtectedByWine(user));
        EXPECT_TRUE(DecryptMapFile(user + S("/UserTile/map.dat"), kEmail, WineKeyMaterial()).contains(S("Location=\"9C4B2E7A1D03\"")));
        const TContentNames names = ReadContentNames(user, kEmail, WineKeyMaterial());
        ASSERT_EQ(names.All().size(), 3);
        EXPECT_EQ(names.All().at(1).name, S("Caf\u00e9 cr\u00e8me"));
        EXPECT_EQ(names.All().at(1).shortcut, S("<3"));
        // Key material with a Windows password opens them as well.
        EXPECT_EQ(ReadContentNames(user, kEmail, DpapiCredentials(QString(), S("pw"), false)).All().size(), 3);
        // The address is the entropy: its letter case matters.
        EXPECT_EQ(ErrorOf([&] { DecryptMapFile(user + S("/UserTile/map.dat"), kEmail.toLower(), WineKeyMaterial()); }), kInvalid);
    }
    // Out of its prefix no user name is known; a Windows map among them needs the password again.
    const QString user = WriteWineUserFolder(env.path(S("prefix")), S("dana"));
    QDir().rename(user, env.path(S("loose")));
    EXPECT_TRUE(ErrorOf([&] { DecryptMapFile(env.path(S("loose/UserTile/map.dat")), kEmail, WineKeyMaterial()); })
                    .contains(S("no Wine user name is known")));
    WriteFile(env.path(S("loose/MapFile/WINDOWS")),
              QByteArray(2, '\0') + dpapi::protect::MakeBlob(QByteArray(64, 'k'), dpapi::protect::RandomGuid(), "x", {},
                                                             dpapi::protect::Flavour::Xp));
    EXPECT_FALSE(AllMapsProtectedByWine(env.path(S("loose"))));
    EXPECT_FALSE(AllMapsProtectedByWine(env.path(S("empty"))));
}

TEST_F(WineMaps, CommandLineNeedsNoPassword)
{
    const QString user = WriteWineUserFolder(env.path(S("prefix")), S("steamuser"));
    const TProgramRun map = RunCli({S("map"), S("decrypt"), S("--email"), kEmail, user + S("/CustomEmoticons/map.dat")});
    EXPECT_EQ(map.code, 0) << map.err.toStdString();
    EXPECT_TRUE(map.out.startsWith(S("<msnobj "))) << map.out.toStdString();

    const QString out = env.path(S("Wine.mco"));
    const TProgramRun backup = RunCli({S("backup"), user, S("--email"), kEmail, S("--out"), out, S("--quiet")});
    EXPECT_EQ(backup.code, 0) << backup.err.toStdString();
    EXPECT_EQ(backup.out, out + S("\t3\n"));

    const TProgramRun named = RunCli({S("export"), user, env.path(S("named")), S("--named"), S("--email"), kEmail, S("--quiet")});
    EXPECT_EQ(named.code, 0) << named.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(ReadFile(env.path(S("named/index.tsv")))).contains(S("Caf\u00e9 cr\u00e8me")));

    const wv::Vector &v = wv::kVectors[4];
    WriteFile(env.path(S("prefix/drive_c/users/Public/blob")), HexBytes(v.blobHex));
    const TProgramRun blob = RunCli({S("dpapi"), S("unprotect"), S("--entropy-hex"), S(v.entropyHex), env.path(S("prefix/drive_c/users/Public/blob"))});
    EXPECT_EQ(blob.code, 0) << blob.err.toStdString();
    EXPECT_EQ(blob.output, Plain(v));

    const TProgramRun wrong = RunCli({S("map"), S("decrypt"), S("--email"), kEmail.toLower(), user + S("/UserTile/map.dat")});
    EXPECT_EQ(wrong.code, 1);
    EXPECT_TRUE(wrong.err.contains(kInvalid)) << wrong.err.toStdString();
}
