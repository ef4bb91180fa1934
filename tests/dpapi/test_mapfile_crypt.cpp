// DecryptMapFile on map files protected as Messenger protects them.
#include "DpapiFixture.h"
#include "DpapiProtect.h"
#include "dpapi/DpapiKeyMaterial.h"
#include "dpapi/MapFileCrypt.h"
#include "common/Exceptions.h"
#include "shell/uLanguage.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::dpapi;
using namespace zorvak::dpapi::protect;

namespace {
const QString kSid = QStringLiteral("S-1-5-21-1004336348-1177238915-682003330-1003");

class MapFileCryptTest : public test::DpapiTest {
protected:
    QString user, appData;
    MadeMasterKey mk;
    void SetUp() override
    {
        DpapiTest::SetUp();
        appData = env.path("Documents and Settings/Alice/Application Data");
        user = appData + "/Microsoft/MSN Messenger/1234567890";
        MasterKeyParams params;
        params.sid = kSid;
        params.passwordHash = Sha1PasswordHash("alice pw");
        mk = MakeMasterKeyFile(params);
        ASSERT_TRUE(test::WriteFile(appData + "/Microsoft/Protect/" + kSid + "/" + mk.guid, mk.file));
        // The folder is found from the map file's own path.
        key = DpapiCredentials(QString(), "alice pw", false);
    }
    QString Write(const QString &name, const QByteArray &data)
    {
        const QString path = user + "/" + name;
        EXPECT_TRUE(test::WriteFile(path, data));
        return path;
    }
    QString ErrorOf(const QString &path, const QString &email)
    {
        return test::ErrorOf([&] { DecryptMapFile(path, email, key); });
    }
};
} // namespace

TEST_F(MapFileCryptTest, DecryptsWithTheAddressExactlyAsTyped)
{
    const QString text = QStringLiteral("<msnobj Location=\"TFR2C.dat\" Friendly=\"Caf\u00e9 & <b>\"/>");
    const QString path = Write("CustomEmoticons/map.dat", MakeMapFile(text, "alice@example.com", mk.masterKey, mk.guid, Flavour::Xp));
    EXPECT_EQ(DecryptMapFile(path, "alice@example.com", key), text);
    EXPECT_EQ(ErrorOf(path, "Alice@example.com"), "Failed to decrypt. The data is invalid.");
    EXPECT_EQ(ErrorOf(path, " alice@example.com"), "Failed to decrypt. The data is invalid.");
    EXPECT_TRUE(env.dialogs().calls.empty());

    // Non-ASCII addresses are Windows-1252 bytes; an empty address is an empty entropy.
    const QString modern = Write("a", MakeMapFile("x\ty", QStringLiteral("j\u00f6rg@example.com"), mk.masterKey, mk.guid, Flavour::Modern));
    EXPECT_EQ(DecryptMapFile(modern, QStringLiteral("j\u00f6rg@example.com"), key), "x\ty");
    const QString empty = Write("b", MakeMapFile("empty", "", mk.masterKey, mk.guid, Flavour::Xp));
    EXPECT_EQ(DecryptMapFile(empty, "", key), "empty");
}

TEST_F(MapFileCryptTest, PayloadEndsAtItsFirstNulAndBadBase64IsEmpty)
{
    // No NUL at all; the decoded text ends at its U+0000 unit.
    const QString noNul = Write("c", QByteArray("\xff\xfe") + MakeBlob(mk.masterKey, mk.guid, "QQBCAAAA", "e", Flavour::Xp));
    EXPECT_EQ(DecryptMapFile(noNul, "e", key), "AB");
    const QString junk = Write("d", QByteArray(2, '\0') + MakeBlob(mk.masterKey, mk.guid, QByteArray("QQBCAA==\0junk", 13), "e", Flavour::Xp));
    EXPECT_EQ(DecryptMapFile(junk, "e", key), "AB");
    const QString bad = Write("e", QByteArray(2, '\0') + MakeBlob(mk.masterKey, mk.guid, "QQBC\r\nAAAA", "e", Flavour::Xp));
    EXPECT_EQ(DecryptMapFile(bad, "e", key), QString());
}

TEST_F(MapFileCryptTest, MissingShortAndDamagedFiles)
{
    if (CurrentLanguage().Table().GetValue("mbOK").isEmpty()) // a branch without the catalogues
        CurrentLanguage().Add("mbOK", "OK");
    const QString missing = user + "/MapFile/nothere";
    EXPECT_EQ(DecryptMapFile(missing, "alice@example.com", key), QString());
    ASSERT_EQ(env.dialogs().calls.size(), 1u);
    EXPECT_EQ(env.dialogs().calls[0].text, "File not found: \r" + missing);
    EXPECT_EQ(env.dialogs().calls[0].type, TMsgDlgType::mtError);
    EXPECT_EQ(env.dialogs().calls[0].buttons, TMsgDlgButtons(mbOK));

    EXPECT_EQ(ErrorOf(Write("two", "\x01\x02"), "a"), "Failed to decrypt. The data is invalid.");
    EXPECT_EQ(ErrorOf(Write("one", "\x01"), "a"), "Failed to decrypt. The data is invalid.");
    EXPECT_EQ(ErrorOf(Write("zero", ""), "a"), "Failed to decrypt. The data is invalid.");
    const QByteArray good = MakeMapFile("text", "a", mk.masterKey, mk.guid, Flavour::Xp);
    EXPECT_EQ(ErrorOf(Write("cut", good.left(good.size() - 5)), "a"), "Failed to decrypt. The data is invalid.");
    for (qsizetype i = 2; i < good.size(); i += 7) {
        QByteArray flipped = good;
        flipped[i] = char(flipped[i] ^ 0x10);
        const QString error = ErrorOf(Write("flip", flipped), "a");
        EXPECT_TRUE(error == "Failed to decrypt. The data is invalid."
                    || error == "Failed to decrypt. Key not valid for use in specified state.")
            << i << " " << qPrintable(error);
    }
    EXPECT_EQ(env.dialogs().calls.size(), 1u);
}

TEST_F(MapFileCryptTest, WithoutPasswordOrProfile)
{
    const QString path = Write("m", MakeMapFile("text", "a", mk.masterKey, mk.guid, Flavour::Xp));
    key = DpapiKeyMaterial();
    EXPECT_TRUE(ErrorOf(path, "a").startsWith("Failed to decrypt. No Windows password is set for the profile of "));
    // A map file outside any profile: no master key can be found.
    const QString outside = env.path("loose/map.dat");
    ASSERT_TRUE(test::WriteFile(outside, MakeMapFile("text", "a", mk.masterKey, mk.guid, Flavour::Xp)));
    key = DpapiCredentials(QString(), "alice pw", false);
    EXPECT_EQ(ErrorOf(outside, "a"), "Failed to decrypt. Key not valid for use in specified state.");
    EXPECT_EQ(FindProtectDir(path), QDir::cleanPath(appData + "/Microsoft/Protect"));
    EXPECT_EQ(FindProtectDir(outside), QString());
}
