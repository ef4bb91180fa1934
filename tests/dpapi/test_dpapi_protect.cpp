// Fixtures made by the protect direction open again, also through the CREDHIST chain.
#include "DpapiFixture.h"
#include "DpapiProtect.h"
#include "dpapi/CryptUtil.h"
#include "dpapi/Dpapi.h"
#include "dpapi/DpapiKeyMaterial.h"
#include "common/Exceptions.h"
#include "support/TestEnv.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::dpapi;
using namespace zorvak::dpapi::protect;
using zorvak::test::ErrorOf;

namespace {
const QString kSid = QStringLiteral("S-1-5-21-1004336348-1177238915-682003330-1003");

class DpapiProtectTest : public test::DpapiTest {
protected:
    QString protect, sidFolder;
    void SetUp() override
    {
        DpapiTest::SetUp();
        protect = env.path("Application Data/Microsoft/Protect");
        sidFolder = protect + "/" + kSid;
    }
};
} // namespace

TEST_F(DpapiProtectTest, BothFlavoursRoundTrip)
{
    for (Flavour flavour : {Flavour::Xp, Flavour::Modern}) {
        MasterKeyParams params;
        params.sid = kSid;
        params.passwordHash = Sha1PasswordHash(QStringLiteral("pässword"));
        params.flavour = flavour;
        const MadeMasterKey mk = MakeMasterKeyFile(params);
        const auto file = MasterKeyFile::Parse(mk.file);
        ASSERT_TRUE(file);
        EXPECT_EQ(file->guid, mk.guid);
        EXPECT_EQ(file->Serialize(), mk.file);
        EXPECT_EQ(file->masterKey()->encrypted.size(), flavour == Flavour::Xp ? 104 : 144);
        EXPECT_EQ(file->masterKey()->Decrypt(PreKey(params.passwordHash, kSid)), mk.masterKey);

        for (const QByteArray &plain : {QByteArray(), QByteArray("x"), QByteArray(16, 'a'), QByteArray(1000, '\x01')}) {
            const QByteArray blob = MakeBlob(mk.masterKey, mk.guid, plain, "me@example.com", flavour);
            const auto parsed = Blob::Parse(blob);
            ASSERT_TRUE(parsed);
            EXPECT_EQ(DecryptBlob(*parsed, mk.masterKey, "me@example.com").value_or("?"), plain);
            EXPECT_FALSE(DecryptBlob(*parsed, mk.masterKey, "Me@example.com"));
        }
    }
}

TEST_F(DpapiProtectTest, OlderMasterKeysOpenThroughTheCredhistChain)
{
    // Password history: "" (the account had none), "first", "second", now "current".
    const QStringList passwords = {"", "first", "second", "current"};
    QList<PasswordHashes> history;
    for (const QString &p : passwords)
        history << PasswordHashes::Of(p);
    const MadeCredhist credhist = MakeCredhist(history, kSid);
    ASSERT_TRUE(test::WriteFile(protect + "/CREDHIST", credhist.file));
    const auto entries = ParseCredhist(credhist.file);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 3);
    EXPECT_EQ(entries->first().guid, credhist.guids.last()); // newest first
    EXPECT_EQ(entries->first().Decrypt(PreKey(history[3].sha1, kSid))->sha1, history[2].sha1);
    EXPECT_FALSE(entries->first().Decrypt(PreKey(history[2].sha1, kSid)));

    // One master key and one blob per password of the history.
    QList<QByteArray> blobs;
    for (int i = 0; i < passwords.size(); ++i) {
        MasterKeyParams params;
        params.sid = kSid;
        params.passwordHash = history[i].sha1;
        params.credhistGuid = credhist.guids[i];
        const MadeMasterKey mk = MakeMasterKeyFile(params);
        ASSERT_TRUE(test::WriteFile(sidFolder + "/" + mk.guid, mk.file));
        blobs << MakeBlob(mk.masterKey, mk.guid, QByteArray("made under ") + passwords[i].toUtf8(), {}, Flavour::Xp);
    }
    key = DpapiCredentials(protect, "current", false);
    for (int i = 0; i < passwords.size(); ++i)
        EXPECT_EQ(UnprotectBytes(blobs[i], "", key), QByteArray("made under ") + passwords[i].toUtf8());

    // An older password reaches the keys of its own time and before, not the newer ones.
    key = DpapiCredentials(protect, "first", false);
    EXPECT_EQ(UnprotectBytes(blobs[0], "", key), "made under ");
    EXPECT_EQ(UnprotectBytes(blobs[1], "", key), "made under first");
    EXPECT_EQ(ErrorOf([&] { UnprotectBytes(blobs[3], "", key); }), "Failed to decrypt. Key not valid for use in specified state.");

    // A damaged CREDHIST only loses the older keys.
    QByteArray damaged = credhist.file;
    damaged[damaged.size() - 30] = char(damaged[damaged.size() - 30] ^ 1);
    ASSERT_TRUE(test::WriteFile(protect + "/CREDHIST", damaged));
    key = DpapiCredentials(protect, "current", false);
    EXPECT_EQ(UnprotectBytes(blobs[3], "", key), "made under current");
    EXPECT_EQ(ErrorOf([&] { UnprotectBytes(blobs[1], "", key); }), "Failed to decrypt. Key not valid for use in specified state.");
    EXPECT_FALSE(ParseCredhist(credhist.file.left(credhist.file.size() - 3)));
}

TEST_F(DpapiProtectTest, DamagedRoundCountsAreRefusedAtOnce)
{
    // A round count of 0xFFFFFFFF would keep the key derivation busy for many minutes per try;
    // it is refused when read, with a "damaged" error, and never derived.
    MasterKeyParams params;
    params.sid = kSid;
    params.passwordHash = Sha1PasswordHash(QStringLiteral("pw"));
    const MadeMasterKey made = MakeMasterKeyFile(params);
    MasterKeyFile file = *MasterKeyFile::Parse(made.file);
    MasterKey mk = *file.masterKey();
    for (quint32 rounds : {MaxKeyRounds + 1, 0xFFFFFFFFu}) {
        mk.rounds = rounds;
        EXPECT_FALSE(MasterKey::Parse(mk.Serialize())) << rounds;
        EXPECT_TRUE(mk.Decrypt(PreKey(params.passwordHash, kSid)).isEmpty()) << rounds;
    }
    mk.rounds = MaxKeyRounds; // the bound itself is still a valid count
    ASSERT_TRUE(MasterKey::Parse(mk.Serialize()));
    EXPECT_EQ(MasterKey::Parse(mk.Serialize())->rounds, MaxKeyRounds);

    mk.rounds = 0xFFFFFFFFu;
    file.masterKeySection = mk.Serialize();
    ASSERT_TRUE(test::WriteFile(sidFolder + "/" + made.guid, file.Serialize()));
    const DpapiSecret secret = DpapiSecret::FromPassword(QStringLiteral("pw"));
    QString error;
    EXPECT_TRUE(OpenMasterKeyFile(sidFolder + "/" + made.guid, secret, QString(), &error).isEmpty());
    EXPECT_EQ(error, "The master key " + made.guid + " is damaged.");
    const DpapiKeyMaterial key = DpapiCredentials(protect, "pw", false);
    const QByteArray blob = MakeBlob(made.masterKey, made.guid, "x", {}, Flavour::Xp);
    EXPECT_EQ(ErrorOf([&] { UnprotectBytes(blob, "", key); }), "Failed to decrypt. The master key " + made.guid + " is damaged.");

    // The same for an entry of the password history: the whole CREDHIST file counts as damaged,
    // and a key that only an older password opens says so.
    const QList<PasswordHashes> history = {PasswordHashes::Of("old"), PasswordHashes::Of("pw")};
    QByteArray credhist = MakeCredhist(history, kSid).file;
    const qsizetype roundsAt = credhist.size() - qFromLittleEndian<quint32>(credhist.constData() + credhist.size() - 4) + 8; // the entry's third field
    ASSERT_EQ(quint8(credhist[roundsAt]) | quint8(credhist[roundsAt + 1]) << 8, 4000);
    ASSERT_TRUE(ParseCredhist(credhist));
    for (int i = 0; i < 4; ++i)
        credhist[roundsAt + i] = '\xff';
    EXPECT_FALSE(ParseCredhist(credhist));
    ASSERT_TRUE(test::WriteFile(protect + "/CREDHIST", credhist));
    params.passwordHash = history[0].sha1;
    const MadeMasterKey older = MakeMasterKeyFile(params);
    ASSERT_TRUE(test::WriteFile(sidFolder + "/" + older.guid, older.file));
    error.clear();
    EXPECT_TRUE(OpenMasterKeyFile(sidFolder + "/" + older.guid, secret, QString(), &error).isEmpty());
    EXPECT_EQ(error, "The password history " + protect + "/CREDHIST is damaged.");
    CredhistEntry entry;
    entry.rounds = 0xFFFFFFFFu;
    entry.salt = QByteArray(16, 'x');
    entry.encrypted = QByteArray(40, 'x');
    EXPECT_FALSE(entry.Decrypt(PreKey(history[1].sha1, kSid)));
}

TEST_F(DpapiProtectTest, NtHashAccountsAndSeveralSidFolders)
{
    // A domain-style key (policy without the SHA-1 bit) in a second SID folder.
    MasterKeyParams params;
    params.sid = "S-1-5-21-1-2-3-1104";
    params.passwordHash = NtPasswordHash("domain pass");
    params.policy = 0;
    params.flavour = Flavour::Modern;
    const MadeMasterKey mk = MakeMasterKeyFile(params);
    ASSERT_TRUE(test::WriteFile(protect + "/" + kSid + "/Preferred", MakePreferred(RandomGuid(), QDateTime::currentDateTimeUtc())));
    ASSERT_TRUE(test::WriteFile(protect + "/" + params.sid + "/" + mk.guid.toUpper(), mk.file));
    const QByteArray blob = MakeBlob(mk.masterKey, mk.guid, "secret", {}, Flavour::Modern);
    key = DpapiCredentials(protect, "domain pass", false);
    EXPECT_EQ(UnprotectBytes(blob, "", key), "secret");
    key = DpapiCredentials(protect, NtPasswordHash("domain pass").toHex(), true);
    EXPECT_EQ(UnprotectBytes(blob, "", key), "secret");
    key = DpapiCredentials(protect, Sha1PasswordHash("domain pass").toHex(), true);
    EXPECT_EQ(ErrorOf([&] { UnprotectBytes(blob, "", key); }), "Failed to decrypt. Key not valid for use in specified state.");
}

TEST(DpapiProtect, PreferredFileLayout)
{
    const QByteArray preferred = MakePreferred("9fb6442f-626a-4980-9c85-d238be955b3c",
                                               QDateTime(QDate(1601, 1, 1), QTime(0, 0, 1), Qt::UTC));
    EXPECT_EQ(preferred.toHex(), "2f44b69f6a6280499c85d238be955b3c8096980000000000");
}
