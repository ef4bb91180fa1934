// The backup of an ObjectStore account: no map, no secret, items named by position, generated
// shortcuts that pass the key checks, winks named by their own manifest, the usual parts of 199.
#include "backup/BackupCore.h"
#include "browse/FolderChoice.h"
#include "backup/KeyValidation.h"
#include "backup/StoreBackup.h"
#include "common/EmailId.h"
#include "cabinet/cabfiles.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {
QString S(const char *text) { return QString::fromUtf8(text); }

QByteArray Png(int i) { return QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray::number(i).repeated(20); }
QByteArray Gif(int i) { return QByteArray("GIF89a") + QByteArray::number(i).repeated(20); }

// A cabinet of the given files, made by the program's own writer.
QByteArray Cabinet(const QList<QPair<QString, QByteArray>> &files)
{
    QTemporaryDir work;
    TCABFile cab;
    cab.CABFile = work.filePath(S("x.cab"));
    for (const auto &[name, data] : files) {
        WriteFile(work.filePath(name), data);
        cab.CABFileContents.Add().Name = work.filePath(name);
    }
    EXPECT_TRUE(cab.CreateCabinet());
    return ReadFile(cab.CABFile);
}

QByteArray WinkManifest(const char *attributes)
{
    return QByteArray("<?xml version=\"1.0\"?>\r\n<package xmlns=\"http://messenger.msn.com/messengercontent/1.0\" "
                      "type=\"wink\">\r\n<item type=\"wink\" file=\"w.swf\" ")
           + attributes + " />\r\n</package>\r\n";
}

// Records every question the key checks ask; answers Ignore.
struct CountingKeyHost : TKeyValidationHost {
    QStringList asked;
    void ShowHint(const QString &) override {}
    void HideHint() override {}
    void FocusKeyCell(int) override {}
    int Ask(int, const QString &text, TMsgDlgType, TMsgDlgButtons) override
    {
        asked << text;
        return mrIgnore;
    }
    void EditCell(int) override {}
    int DuplicatePair(int, const TKeyRow &a, int, const TKeyRow &b) override
    {
        asked << a.Key + S(" / ") + b.Key;
        return -1;
    }
    bool CanEdit() const override { return false; }
};

struct StoreHost : TBackupHost {
    QList<QPair<ContentType, TMsnList>> confirmed;
    QList<QPair<QString, int>> packages;
    std::optional<int> ConfirmItems(ContentType type, const QString &, const TMsnArr &items, const TDefaultTable &,
                                    int) override
    {
        confirmed.append({type, *items});
        return int(items->size());
    }
    void PackageWritten(const QString &cab, int n) override { packages.append({cab, n}); }
    void ShowResult(const QString &) override {}
};

// An account folder "<parent>/someone@example.com/" with an ObjectStore whose folder names are
// not spelt as usual.
struct StoreAccount {
    QString account, store;
    explicit StoreAccount(const QString &parent)
    {
        account = parent + S("/Someone@Example.com/");
        store = account + S("objectSTORE/");
        QDir().mkpath(store);
    }
    // n objects in a kind folder, named so that their order is their number.
    void Add(const QString &kind, int n, const std::function<QByteArray(int)> &data)
    {
        for (int i = 1; i <= n; ++i) {
            const QString base = QStringLiteral("%1+Ab=").arg(i, 5, 10, QLatin1Char('0'));
            WriteFile(store + kind + QLatin1Char('/') + base + S(".dt2"), data(i));
            WriteFile(store + kind + QLatin1Char('/') + base + S(".id2"), "\x01\x00\x00\x00protected");
        }
    }
};
} // namespace

TEST(WinkManifest, NameAndShortcutFromTheFirstElementThatNamesIt)
{
    auto parse = [](const QByteArray &xml) { return ParseWinkManifest(xml); };
    auto named = parse(WinkManifest("name=\"Big Wave\" keysequence=\"#wave\""));
    ASSERT_TRUE(named);
    EXPECT_EQ(named->name, S("Big Wave"));
    EXPECT_EQ(named->shortcut, S("#wave"));
    // Any prefix, other spellings, entities, controls and surrounding space.
    named = parse(WinkManifest("xmlns:w=\"urn:w\" w:DisplayName=\"  Tea &amp; &lt;cake&gt;\t\" w:shortcut=\"(t)\""));
    ASSERT_TRUE(named);
    EXPECT_EQ(named->name, S("Tea & <cake>"));
    EXPECT_EQ(named->shortcut, S("(t)"));
    named = parse(WinkManifest(("friendlyname=\"" + QByteArray(1000, 'x') + "\"").constData()));
    ASSERT_TRUE(named);
    EXPECT_EQ(named->name.size(), MaxWinkTextLength);

    EXPECT_FALSE(parse(WinkManifest("keysequence=\"#x\"")));             // no name
    EXPECT_FALSE(parse(WinkManifest("name=\"   \"")));                    // a blank one
    EXPECT_FALSE(parse(QByteArray()));
    EXPECT_FALSE(parse("<package><item name=\"x\"></package>"));           // not well-formed
    EXPECT_FALSE(parse("not xml at all"));
    EXPECT_FALSE(parse("<!DOCTYPE p [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">]>"
                       "<p><item name=\"&b;\"/></p>"));                    // no document types
    EXPECT_FALSE(parse("<p name=\"x\"/>" + QByteArray(MaxWinkManifestBytes, ' ')));
    QByteArray deep;
    for (int i = 0; i < 5000; ++i)
        deep += "<a>";
    EXPECT_FALSE(parse("<p name=\"x\">" + deep));
}

TEST(WinkManifest, ReadFromTheWinkCabinetWithoutWritingBesideIt)
{
    TestEnv env;
    const QString folder = env.path(S("w/"));
    const QString named = folder + S("named.dt2"), anonymous = folder + S("anonymous.dt2"), huge = folder + S("huge.dt2");
    WriteFile(named, Cabinet({{S("Content.XML"), WinkManifest("name=\"Big Wave\"")}, {S("w.swf"), "CWS\x08"}}));
    WriteFile(anonymous, Cabinet({{S("w.swf"), "CWS\x08"}, {S("w.png"), Png(1)}}));
    WriteFile(huge, Cabinet({{S("content.xml"), WinkManifest("name=\"x\"") + QByteArray(MaxWinkManifestBytes, ' ')}}));
    WriteFile(folder + S("broken.dt2"), "MSCF and nothing more");
    const QByteArray before = TreeChecksum(folder);
    ASSERT_TRUE(ReadWinkManifest(named));
    EXPECT_EQ(ReadWinkManifest(named)->name, S("Big Wave"));
    EXPECT_FALSE(ReadWinkManifest(anonymous));
    EXPECT_FALSE(ReadWinkManifest(huge));
    EXPECT_FALSE(ReadWinkManifest(folder + S("broken.dt2")));
    EXPECT_FALSE(ReadWinkManifest(folder + S("missing.dt2")));
    EXPECT_EQ(TreeChecksum(folder), before);
}

TEST(StoreItems, GeneratedShortcutsPassTheKeyChecks)
{
    TestEnv env;
    QList<TKeyRow> rows;
    QSet<QString> seen;
    for (int n : {1, 2, 9, 10, 11, 99, 100, 101, 199, 200, 1000, 9999, 10000, 10001, 36 * 36 * 36 * 36 - 1}) {
        const QString key = GeneratedShortcut(n);
        EXPECT_LE(key.size(), 7) << key.toStdString();
        EXPECT_FALSE(seen.contains(key));
        seen.insert(key);
        rows.append({QStringLiteral("f%1").arg(n), key, PositionName(ContentType::Emot, n)});
    }
    for (int n = 1; n <= 450; ++n)
        if (!seen.contains(GeneratedShortcut(n)))
            rows.append({QStringLiteral("g%1").arg(n), GeneratedShortcut(n), QString()});
    CountingKeyHost host;
    EXPECT_TRUE(ValidateKeys(rows, host));
    EXPECT_EQ(host.asked, QStringList());

    EXPECT_EQ(PositionName(ContentType::Emot, 3), S("Emoticon 3"));
    EXPECT_EQ(PositionName(ContentType::Ddp, 1), S("Deluxe display picture 1"));
    SetCurrentLanguage(LoadFrench());
    EXPECT_EQ(PositionName(ContentType::Wink, 2), S("Clin d'œil 2"));
    SetCurrentLanguage(LoadEnglish());
}

class StoreRun : public EnvTest {
protected:
    StoreHost host;
    TBackupCore core{host};
    TBackupRequest request;
    StoreAccount account{env.path(S("Messenger"))};
    QString outDir = env.path(S("out/"));
    QStringList packed;

    void SetUp() override
    {
        QDir().mkpath(outDir);
        core.DecryptMap = [](const QString &, const QString &, const DpapiKeyMaterial &) -> QString {
            ADD_FAILURE() << "an ObjectStore account has no map to decrypt";
            return {};
        };
        core.PackFolder = [this](const QString &folder, const QString &cabinet, bool) {
            packed << folder;
            return WriteFile(cabinet, ReadFile(folder + S("content.xml")));
        };
        request.output = outDir + S("Store.mco");
        request.confirm = true;
    }
    // One field of every item, in the list's order.
    static QStringList Each(const TMsnList &items, QString TMsnStuff::*field)
    {
        QStringList values;
        for (const TMsnStuff &item : items)
            values << item.*field;
        return values;
    }
};

TEST_F(StoreRun, FourHundredFiftyEmoticonsByPositionInThreeParts)
{
    account.Add(S("customemoticons"), 450, Png);
    // An object of no known kind, and one in a folder of no known kind, stay out.
    WriteFile(account.store + S("customemoticons/zzz.dt2"), "not a picture");
    account.Add(S("Mystery"), 3, Gif);
    const QByteArray before = TreeChecksum(account.account);

    const TFolderChoice choice = ChooseFolder(account.store + S("customemoticons"));
    EXPECT_TRUE(choice.store);
    EXPECT_EQ(choice.dir, account.account);
    EXPECT_EQ(choice.email, S("Someone@Example.com"));
    EXPECT_EQ(choice.folderId, EmailToId(S("someone@example.com")));
    std::array<bool, 6> emotOnly{};
    emotOnly[size_t(ContentType::Emot)] = true;
    EXPECT_EQ(choice.ticked, emotOnly);
    EXPECT_FALSE(ChooseFolder(account.store + S("Mystery")).ticked[size_t(ContentType::Emot)]);

    request.folder = choice.dir;
    request.email = S("anything at all");   // no map: the address is not checked
    request.types.fill(true);
    for (int i = 0; i < 5; ++i)
        env.dialogs().Answer(mrOk);          // five types have nothing to back up
    env.dialogs().Answer(mrNo);              // the report
    core.Run(request);

    ASSERT_EQ(host.confirmed.size(), 1);
    const TMsnList &items = host.confirmed[0].second;
    ASSERT_EQ(items.size(), 451);
    EXPECT_EQ(items[0].Name, S("Emoticon 1"));
    EXPECT_EQ(items[0].Key, S("[e1]"));
    EXPECT_EQ(items[0].ContentType, S("D"));
    EXPECT_EQ(items[449].Name, S("Emoticon 450"));
    EXPECT_EQ(items[0].Location, S("00001+Ab=.png"));  // the copy in the work folder
    EXPECT_EQ(items[0].MimeType, S("image/png"));
    ASSERT_EQ(packed.size(), 3);
    EXPECT_EQ(QString::fromLatin1(ReadFile(packed[0] + S("content.xml"))).count(S("<item ")), 199);
    EXPECT_EQ(QString::fromLatin1(ReadFile(packed[2] + S("content.xml"))).count(S("<item ")), 52);
    const QString first = QString::fromLatin1(ReadFile(packed[0] + S("content.xml")));
    EXPECT_TRUE(first.contains(S("file=\"00001+Ab=.png\" emoticon:displayname=\"Emoticon 1\" emoticon:keysequence=\"[e1]\"")))
        << first.left(600).toStdString();
    EXPECT_TRUE(QFileInfo::exists(packed[0] + S("00001+Ab=.png")));
    EXPECT_EQ(core.Result().items, 450);
    // No question about the address: five "nothing to back up" and the report.
    const QStringList messages = env.dialogs().Messages();
    ASSERT_EQ(messages.size(), 6) << messages.join(S("\n")).toStdString();
    EXPECT_EQ(messages[0], S("Display Pictures: ") + Lang("NoFile2backup"));
    EXPECT_TRUE(messages.last().contains(S("Packed 450 files into 3 MCO files"))) << messages.last().toStdString();
    EXPECT_EQ(TreeChecksum(account.account), before); // nothing written into the store
}

TEST_F(StoreRun, WinksKeepTheirManifestNameAndDefaultsAreSkipped)
{
    const QString winks = account.store + S("WINKS3/");
    const QByteArray named = Cabinet({{S("content.xml"), WinkManifest("name=\"Big Wave\" keysequence=\"#wave\"")}});
    const QByteArray plain = Cabinet({{S("w.swf"), "CWS\x08"}});
    WriteFile(winks + S("a.dt2"), named);
    WriteFile(winks + S("a.png"), Png(1));
    WriteFile(winks + S("b.dt2"), plain);
    WriteFile(winks + S("b.png"), Png(2));
    // A wink that says it is one of Messenger's own, at that size: left out by default. The size
    // is reached with a file of bytes that do not compress, one byte more or less at a time.
    QByteArray noise;
    QRandomGenerator random(7);
    for (int i = 0; i < 12000; ++i)
        noise += char(random.bounded(256));
    const auto kiss = [&](int padding) {
        return Cabinet({{S("content.xml"), WinkManifest("name=\"Kiss\"")}, {S("pad.bin"), noise.left(padding)}});
    };
    int padding = 0;
    QByteArray def = kiss(padding);
    for (int step = 0; step < 8 && def.size() != 10225; ++step) {
        padding += 10225 - int(def.size());
        def = kiss(padding);
    }
    ASSERT_EQ(def.size(), 10225);
    WriteFile(winks + S("c.dt2"), def);
    const QByteArray before = TreeChecksum(account.account);

    request.folder = account.account;
    request.types[size_t(ContentType::Wink)] = true;
    env.dialogs().Answer(mrNo);
    core.Run(request);
    ASSERT_EQ(host.confirmed.size(), 1);
    const TMsnList &items = host.confirmed[0].second;
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(Each(items, &TMsnStuff::Name), (QStringList{S("Big Wave"), S("Wink 2")}));
    EXPECT_EQ(Each(items, &TMsnStuff::Key), (QStringList{S("#wave"), QString()}));
    EXPECT_EQ(items[0].Location, S("a.cab"));
    // The thumbnails are part of their winks: no item of their own.
    for (const TMsnStuff &item : items)
        EXPECT_FALSE(item.Location.endsWith(S(".png")));

    // Kept when asked to keep Messenger's own content.
    host.confirmed.clear();
    request.skipDefault = false;
    request.outputChosen = true;
    env.dialogs().Answer(mrNo);
    core.Run(request);
    ASSERT_EQ(host.confirmed.size(), 1);
    ASSERT_EQ(host.confirmed[0].second.size(), 3);
    EXPECT_EQ(host.confirmed[0].second[2].Name, S("Kiss"));
    EXPECT_EQ(TreeChecksum(account.account), before);
}
