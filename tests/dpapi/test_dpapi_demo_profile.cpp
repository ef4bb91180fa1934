// The demo profile: generated, then read back as the backup and zorvak-cli read it.
#include "DpapiFixture.h"
#include "backup/ContentNames.h"
#include "dpapi/Dpapi.h"
#include "dpapi/DpapiKeyMaterial.h"
#include "dpapi/MapFileCrypt.h"
#include "common/EmailId.h"
#include "cabinet/cabfiles.h"
#include "common/Exceptions.h"
#include "support/RunProgram.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QDirIterator>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

using namespace zorvak;
using zorvak::test::RunProgram;
using zorvak::test::TProgramRun;
using zorvak::test::TRunOptions;

namespace {

const QString kTool = QStringLiteral(ZORVAK_DEMO_PROFILE_TOOL);
const QString kCli = QStringLiteral(ZORVAK_CLI);

QString Attribute(const QString &object, const QString &name)
{
    const QRegularExpression re(" " + name + "=\"([^\"]*)\"", QRegularExpression::CaseInsensitiveOption);
    return re.match(object).captured(1);
}

QByteArray Sha1PasswordHashHex(const QString &password) { return dpapi::Sha1PasswordHash(password).toHex(); }

// The kind of a file by its first bytes, as the recogniser names them.
QString Kind(const QByteArray &head)
{
    static const QList<QPair<QByteArray, QString>> table = {
        {QByteArray::fromHex("ffd8ffe0"), "jpg"}, {"GIF8", "gif"}, {"BM", "bmp"}, {QByteArray::fromHex("89504e47"), "png"},
        {QByteArray::fromHex("49492a00"), "tif"}, {"MSCF", "cab"}, {"CWS", "swf"}, {"MThd", "mid"},
        {QByteArray::fromHex("00000100"), "ico"}, {QByteArray::fromHex("00000200"), "cur"}, {"ID3", "mp3"},
        {QByteArray::fromHex("3026b2758e66cf11"), "asf"}, {"RIFF", "wav"}};
    for (const auto &[signature, kind] : table)
        if (head.startsWith(signature))
            return kind;
    return {};
}

class DemoProfileTest : public test::DpapiTest {
protected:
    QString root, alice, bob;
    void SetUp() override
    {
        DpapiTest::SetUp();
        root = env.path("demo");
        QProcess tool;
        tool.start(kTool, {root});
        ASSERT_TRUE(tool.waitForFinished(60000));
        ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().constData();
        alice = root + "/Documents and Settings/Alice/Application Data/Microsoft/MSN Messenger/" + EmailToId("alice.demo@hotmail.com");
        bob = root + "/Documents and Settings/Bob/Application Data/Microsoft/MSN Messenger/" + EmailToId("bob.demo@hotmail.com");
        key = DpapiCredentials(QString(), "zorvak-demo", false);
    }

    // The decrypted content map of a content folder, through its map.dat.
    QString ContentMap(const QString &user, const QString &folder, const QString &email)
    {
        const QString mapDat = DecryptMapFile(user + "/" + folder + "/map.dat", email, key);
        EXPECT_TRUE(mapDat.startsWith("<msnobj")) << qPrintable(mapDat);
        return DecryptMapFile(user + "/MapFile/" + Attribute(mapDat, "Location"), email, key);
    }

    // Checks every object of a map: its file exists with the size the object states.
    void CheckObjects(const QString &folder, const QString &map, int expected)
    {
        static const QRegularExpression objects("<msnobj[^>]*/>");
        int count = 0;
        for (auto it = objects.globalMatch(map); it.hasNext(); ++count) {
            const QString object = it.next().captured(0);
            const QFileInfo file(alice + "/" + folder + "/" + Attribute(object, "Location"));
            EXPECT_TRUE(file.isFile()) << qPrintable(object);
            EXPECT_EQ(QString::number(file.size()), Attribute(object, "Size")) << qPrintable(object);
        }
        EXPECT_EQ(count, expected) << qPrintable(folder);
    }
};

} // namespace

TEST_F(DemoProfileTest, EveryMapDecryptsInItsLayout)
{
    const QString email = "alice.demo@hotmail.com";
    const QString emot = ContentMap(alice, "CustomEmoticons", email);
    EXPECT_EQ(emot.count('\t'), 15);           // Key TAB Name TAB object TAB, five times
    EXPECT_TRUE(emot.startsWith("(wink)\tBlinking smile\t<msnobj "));
    EXPECT_TRUE(emot.contains("<3\tHeart & <Soul>\t"));
    EXPECT_TRUE(emot.contains("\"hi\"\t\"Hi\" there\t"));
    EXPECT_TRUE(emot.contains(QStringLiteral("(caf\u00e9)\tCaf\u00e9 cr\u00e8me\t")));
    EXPECT_TRUE(emot.contains("contenttype=\"P\""));
    CheckObjects("CustomEmoticons", emot, 5);

    const QString dp = ContentMap(alice, "UserTile", email);
    EXPECT_TRUE(dp.startsWith("Orange Daisy\t<msnobj "));
    EXPECT_EQ(dp.count('\t'), 6);
    EXPECT_FALSE(dp.contains('\n'));
    CheckObjects("UserTile", dp, 3);
    EXPECT_TRUE(Attribute(dp, "Size") == "20559");

    // Line maps; backgrounds and winks sit under the earlier password's master key (CREDHIST).
    const QString bg = ContentMap(alice, "Backgrounds", email);
    EXPECT_TRUE(bg.contains("\nRemoved background\t\t\n"));
    EXPECT_TRUE(bg.endsWith("Half written\t<msnobj"));
    CheckObjects("Backgrounds", bg, 2);
    const struct { const char *folder; int objects; } lineMaps[] = {{"Winks3", 2}, {"DeluxeDisplayPictures", 2}, {"DynamicBackgrounds", 1}};
    for (const auto &m : lineMaps) {
        const QString map = ContentMap(alice, m.folder, email);
        EXPECT_EQ(map.count('\n'), m.objects) << m.folder;
        EXPECT_TRUE(map.endsWith("\t0\n")) << m.folder;
        CheckObjects(m.folder, map, m.objects);
    }

    EXPECT_TRUE(ContentMap(bob, "UserTile", "bob.demo@hotmail.com").startsWith("Bob\t<msnobj "));
    EXPECT_THROW(DecryptMapFile(alice + "/UserTile/map.dat", "Alice.demo@hotmail.com", key), Exception);
    key = DpapiCredentials(QString(), "daisy2005", false); // the earlier password opens only the older key
    EXPECT_FALSE(ContentMap(alice, "Winks3", email).isEmpty());
    EXPECT_THROW(DecryptMapFile(alice + "/UserTile/map.dat", email, key), Exception);
}

TEST_F(DemoProfileTest, NamesOfEveryMappedObjectWithTheRightKeyOnly)
{
    const QString email = "alice.demo@hotmail.com";
    const TContentNames names = ReadContentNames(alice, email, key);
    EXPECT_TRUE(names.Problems.isEmpty()) << qPrintable(names.Problems.join("; "));
    EXPECT_EQ(names.TypesRead.size(), 6);
    int shortcuts = 0;
    for (const TObjectName &object : names.All()) {
        EXPECT_FALSE(object.name.isEmpty()) << qPrintable(object.file);
        EXPECT_TRUE(QFileInfo::exists(alice + "/" + InfoOf(object.type).defaultSubdir + "/" + object.file))
            << qPrintable(object.file);
        shortcuts += !object.shortcut.isEmpty();
        EXPECT_EQ(!object.shortcut.isEmpty(), object.type == ContentType::Emot) << qPrintable(object.file);
    }
    EXPECT_GT(shortcuts, 0);
    EXPECT_THROW(ReadContentNames(alice, email, DpapiCredentials(QString(), "wrong", false)), Exception);
    EXPECT_THROW(ReadContentNames(alice, "bob.demo@hotmail.com", key), Exception);
}

TEST_F(DemoProfileTest, ContentOfEveryRecognisedKind)
{
    QSet<QString> kinds;
    for (QDirIterator it(alice, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        if (path.contains("/MapFile/") || path.endsWith("/map.dat"))
            continue;
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString kind = Kind(f.read(8));
        EXPECT_FALSE(kind.isEmpty()) << qPrintable(path);
        EXPECT_FALSE(QFileInfo(path).fileName().contains('.'));
        kinds.insert(kind);
        if (QStringList{"gif", "png", "jpg", "bmp", "tif", "ico"}.contains(kind)) {
            QImageReader reader(path);
            EXPECT_FALSE(reader.read().isNull()) << qPrintable(path) << " " << qPrintable(reader.errorString());
            if (kind == "gif") {
                EXPECT_EQ(QImageReader(path).imageCount(), 2);
            }
        }
        if (kind == "cab") {
            TCABFile cab;
            cab.CABFile = path;
            cab.ListContents();
            ASSERT_EQ(cab.CABFileContents.Count(), 2);
            EXPECT_TRUE(cab.CABFileContents[0].Name.endsWith(".swf"));
            EXPECT_TRUE(cab.CABFileContents[1].Name.endsWith(".png"));
            EXPECT_TRUE(cab.TestAll());
        }
    }
    EXPECT_EQ(kinds, (QSet<QString>{"jpg", "gif", "bmp", "png", "tif", "cab", "swf", "mid", "ico", "cur", "mp3", "asf", "wav"}));
    EXPECT_TRUE(QDir(alice + "/VoiceClips").exists());
    EXPECT_TRUE(QDir(bob + "/CustomEmoticons").exists());
}

TEST_F(DemoProfileTest, CliDecryptsTheSameText)
{
    const QString mapDat = alice + "/UserTile/map.dat";
    QProcess cli;
    cli.start(kCli, {"map", "decrypt", "--email", "alice.demo@hotmail.com", "--password",
                                              "zorvak-demo", mapDat});
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().constData();
    EXPECT_EQ(QString::fromUtf8(cli.readAllStandardOutput()), DecryptMapFile(mapDat, "alice.demo@hotmail.com", key));

    const QString protect = root + "/Documents and Settings/Alice/Application Data/Microsoft/Protect";
    cli.start(kCli, {"dpapi", "masterkey", "--protect-dir", protect, "--password", "zorvak-demo"});
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0);
    const QString listing = QString::fromUtf8(cli.readAllStandardOutput());
    EXPECT_EQ(listing.count("\topens\t"), 2) << qPrintable(listing); // the older key through CREDHIST
}

namespace {
// Runs zorvak-cli with `input` on standard input (a pipe, closed after it).
TProgramRun Cli(const QStringList &args, const QByteArray &input = {})
{
    TRunOptions options;
    options.input = input;
    options.timeoutMs = 60000;
    return RunProgram(kCli, args, options);
}
} // namespace

TEST_F(DemoProfileTest, TheWindowsSecretNeverHasToBeOnTheCommandLine)
{
    const QString mapDat = alice + "/UserTile/map.dat";
    const QByteArray plain = DecryptMapFile(mapDat, "alice.demo@hotmail.com", key).toUtf8();
    const QString pwFile = env.path("secret/pw.txt"), hashFile = env.path("secret/hash.txt");
    ASSERT_TRUE(test::WriteFile(pwFile, "zorvak-demo\r\n"));
    ASSERT_TRUE(test::WriteFile(hashFile, Sha1PasswordHashHex("zorvak-demo") + "\n"));
    const QStringList decrypt{"map", "decrypt", "--email", "alice.demo@hotmail.com"};

    // From a file, from standard input, a hash from a file; "--opt=value" and "--" work.
    for (const QStringList &secret : {QStringList{"--password-file", pwFile}, QStringList{"--password-file=-"},
                                      QStringList{"--hash-file", hashFile}}) {
        const TProgramRun r = Cli(decrypt + secret + QStringList{"--", mapDat}, "zorvak-demo\n");
        EXPECT_EQ(r.code, 0) << secret.join(' ').toStdString() << r.err.toStdString();
        EXPECT_EQ(r.output, plain);
    }
    EXPECT_EQ(Cli({"map", "decrypt", "--email=alice.demo@hotmail.com", "--password=zorvak-demo", mapDat}).output, plain);

    // Wrong usage: none (standard input is no terminal), two at once, an unknown option.
    EXPECT_EQ(Cli(decrypt + QStringList{mapDat}).code, 2);
    EXPECT_EQ(Cli(decrypt + QStringList{"--password", "x", "--password-file", pwFile, mapDat}).code, 2);
    const TProgramRun unknown = Cli(decrypt + QStringList{"--pasword", "x", mapDat});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_TRUE(unknown.err.contains("zorvak-cli map: unknown option: --pasword")) << unknown.err.toStdString();
    // A file that cannot be read is a failure, and a wrong password from a file fails too.
    EXPECT_EQ(Cli(decrypt + QStringList{"--password-file", env.path("secret/missing"), mapDat}).code, 1);
    EXPECT_EQ(Cli(decrypt + QStringList{"--password-file", "-", mapDat}, "wrong\n").code, 1);

    // The same options in the other verbs.
    const QString protect = root + "/Documents and Settings/Alice/Application Data/Microsoft/Protect";
    const TProgramRun keys = Cli({"dpapi", "masterkey", "--protect-dir", protect, "--password-file", "-"}, "zorvak-demo");
    EXPECT_EQ(keys.code, 0) << keys.err.toStdString();
    EXPECT_EQ(keys.out.count("\topens\t"), 2);
    EXPECT_EQ(Cli({"dpapi", "masterkey", "--protect-dir=" + protect, "--hash-file", hashFile}).code, 0);
    QFile raw(mapDat);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QString blob = env.path("secret/blob");
    ASSERT_TRUE(test::WriteFile(blob, raw.readAll().mid(2)));
    const TProgramRun unprotected = Cli({"dpapi", "unprotect", "--protect-dir", protect, "--entropy", "alice.demo@hotmail.com",
                                    "--password-file", pwFile, blob});
    EXPECT_EQ(unprotected.code, 0) << unprotected.err.toStdString();
    EXPECT_FALSE(unprotected.out.isEmpty());
    EXPECT_EQ(Cli({"dpapi", "unprotect", "--protect-dir", protect, blob}).code, 2);
    const TProgramRun backup = Cli({"backup", alice, "--email", "alice.demo@hotmail.com", "--types", "Dp", "--out",
                               env.path("secret/Alice.mco"), "--password-file", "-"},
                              "zorvak-demo\n");
    EXPECT_EQ(backup.code, 0) << backup.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(env.path("secret/Alice.mco")));

    // Every verb's help says that --password is visible to other users.
    for (const QString verb : {"backup", "map", "dpapi"}) {
        const TProgramRun help = Cli({verb, "--help"});
        EXPECT_TRUE(help.out.contains("visible to other users")) << verb.toStdString();
        EXPECT_TRUE(help.out.contains("--password-file")) << verb.toStdString();
    }
}

TEST_F(DemoProfileTest, OnATerminalThePasswordIsAskedForWithoutEcho)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const QString terminal = QString::fromLatin1(ptsname(master));
    const QString mapDat = alice + "/UserTile/map.dat";
    QProcess cli;
    cli.setStandardInputFile(terminal);
    cli.setReadChannel(QProcess::StandardError);
    cli.start(kCli, {"map", "decrypt", "--email", "alice.demo@hotmail.com", mapDat});
    QByteArray err;
    while (!err.contains("Windows password: ") && cli.waitForReadyRead(30000))
        err += cli.readAllStandardError();
    ASSERT_TRUE(err.contains("Windows password: ")) << err.constData();
    ASSERT_EQ(::write(master, "zorvak-demo\n", 12), 12);
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().constData();
    EXPECT_EQ(QString::fromUtf8(cli.readAllStandardOutput()), DecryptMapFile(mapDat, "alice.demo@hotmail.com", key));
    // What the terminal showed: never the password.
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    QByteArray shown;
    char buffer[256];
    for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
        shown.append(buffer, n);
    EXPECT_FALSE(shown.contains("zorvak")) << shown.constData();
    ::close(master);
}
