// Our fixtures checked by an independent implementation: Debian's impacket (its dpapi.py
// example) opens the master keys we make and decrypts the blobs we make.
#include "DpapiProtect.h"
#include "dpapi/Dpapi.h"
#include "support/Impacket.h"
#include "support/TestEnv.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::dpapi;
using namespace zorvak::dpapi::protect;

namespace {
const QString kSid = QStringLiteral("S-1-5-21-583907252-1547161642-682003330-1001");

QString RunImpacket(const QStringList &args)
{
    QProcess p;
    p.start(test::kImpacketPython, QStringList{test::kImpacketDpapi} + args);
    p.waitForFinished(120000);
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

// The bytes of impacket's hex dump after "Successfully decrypted data".
QByteArray DumpedBytes(const QString &output)
{
    const qsizetype start = output.indexOf(QLatin1String("Successfully decrypted data"));
    if (start < 0)
        return {};
    QByteArray bytes;
    static const QRegularExpression line(QStringLiteral("^ ?[0-9a-fA-F]{4}   ((?:[0-9a-fA-F]{2} {1,2}){1,16})"),
                                         QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(output.mid(start)); it.hasNext();)
        bytes += QByteArray::fromHex(it.next().captured(1).remove(u' ').toLatin1());
    return bytes;
}

class DpapiImpacketTest : public test::EnvTest {
protected:
    void SetUp() override
    {
        if (!test::HaveImpacket()) {
            if (!qEnvironmentVariableIsEmpty("CI"))
                FAIL() << "python3-impacket is missing (CI installs it)";
            GTEST_SKIP() << "python3-impacket is not installed";
        }
    }
};
} // namespace

TEST_F(DpapiImpacketTest, OpensOurMasterKeysWithThePassword)
{
    for (Flavour flavour : {Flavour::Xp, Flavour::Modern}) {
        MasterKeyParams params;
        params.sid = kSid;
        params.passwordHash = Sha1PasswordHash("Zorvak demo 1");
        params.flavour = flavour;
        const MadeMasterKey mk = MakeMasterKeyFile(params);
        const QString path = env.path(mk.guid);
        ASSERT_TRUE(test::WriteFile(path, mk.file));
        const QString out = RunImpacket({"masterkey", "-file", path, "-sid", kSid, "-password", "Zorvak demo 1"});
        EXPECT_TRUE(out.contains("Decrypted key: 0x" + mk.masterKey.toHex())) << qPrintable(out);
        const QString wrong = RunImpacket({"masterkey", "-file", path, "-sid", kSid, "-password", "zorvak demo 1"});
        EXPECT_FALSE(wrong.contains("Decrypted key")) << qPrintable(wrong);
    }
}

TEST_F(DpapiImpacketTest, DecryptsOurBlobs)
{
    const QByteArray masterKey = RandomBytes(64);
    const QString guid = RandomGuid();
    const QByteArray plain = "The quick brown fox & <friends> jump \"over\" \x01\x02\xff";
    struct Case { Flavour flavour; QByteArray entropy; };
    // impacket builds every session key as an RFC HMAC, so it cannot read SHA-1 blobs that carry
    // entropy; the real XP entropy vector covers that case.
    for (const Case &c : {Case{Flavour::Xp, {}}, Case{Flavour::Modern, {}}, Case{Flavour::Modern, "alice@example.com"}}) {
        const QString path = env.path("blob");
        ASSERT_TRUE(test::WriteFile(path, MakeBlob(masterKey, guid, plain, c.entropy, c.flavour, "demo")));
        QStringList args = {"unprotect", "-file", path, "-key", "0x" + QString::fromLatin1(masterKey.toHex())};
        if (!c.entropy.isEmpty())
            args << "-entropy" << QString::fromLatin1(c.entropy);
        const QString out = RunImpacket(args);
        EXPECT_EQ(DumpedBytes(out), plain) << qPrintable(out);
    }
}
