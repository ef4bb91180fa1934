// The ObjectStore layout of the later Messenger versions: finding the accounts in Windows XP and
// Vista+ profiles whose folder names differ in letter case from the usual ones, listing their
// objects, recognising and exporting them, and never writing into them.
#include "BrowseFixtures.h"
#include "common/EmailId.h"
#include "browse/FolderExport.h"
#include "browse/FolderScan.h"
#include "browse/ObjectStore.h"
#include "browse/Recognition.h"
#include "shell/DialogService.h"
#include "shell/SettingsFile.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {

TScanOptions Options(bool hide) { return TScanOptions::From(TSettingsValues::Defaults(), hide); }

// Two object names as the later versions make them: Base64 of 20 bytes, "+" and "=" included,
// and a third character standing where "/" would be.
const QString kA = QStringLiteral("1NKy92FbzJ6+mP82KkhxtOmU72Fs=");
const QString kB = QStringLiteral("9q_Zr0Pp+Ud1c5WJ3xv6KQe4Hn8=");
const QString kC = QStringLiteral("AAAAbbbbCCCCddddEEEEffffGGG=");

// A kind folder's objects: `data` named `<base>.dt2`, each with a metadata file (the case of its
// extension varying), winks with a thumbnail.
void Objects(const QString &folder, const QList<QPair<QString, QByteArray>> &objects, bool thumbnails = false)
{
    int i = 0;
    for (const auto &[base, data] : objects) {
        WriteFile(folder + base + QStringLiteral(".dt2"), data);
        WriteFile(folder + base + (i++ % 2 ? QStringLiteral(".ID2") : QStringLiteral(".id2")),
                  QByteArray("\x01\x00\x00\x00\xd0\x8c\x9d\xdf\x01\x15\xd1\x11", 12) + "GIF89a protected");
        if (thumbnails)
            WriteFile(folder + base + QStringLiteral(".png"), PngPicture(4, 4));
    }
}

// A disk with both layouts, every folder name in another letter case than the usual one:
//   DS/Xavier (XP): Local Settings/Application Data/microsoft/messenger/xavier@hotmail.com/
//       OBJECTSTORE/customemoticons (2 objects), USERTILE (1), winks3 (1 wink), Quirks (unknown
//       kind, 1 object), Empty (nothing)
//   Users/Vera (Vista+): appdata/LOCAL/Microsoft/MESSENGER/Vera@Example.com/objectstore/
//       WebcamDdp (1 cabinet), CustomEmoticons (1), and the older layout beside it under
//       AppData/Local/Microsoft/MSN Messenger/<ID>/CustomEmoticons (1 file)
//   Users/Empty (Vista+): an account whose kind folders are all empty
struct StoreDisk {
    QString root, ds, users, xavier, vera, veraId, veraOld;
    explicit StoreDisk(const QString &where)
    {
        root = where + QLatin1Char('/');
        ds = root + QStringLiteral("DS/");
        users = root + QStringLiteral("Users/");
        xavier = ds + QStringLiteral("Xavier/Local Settings/Application Data/microsoft/messenger/xavier@hotmail.com/");
        const QString xs = xavier + QStringLiteral("OBJECTSTORE/");
        Objects(xs + QStringLiteral("customemoticons/"), {{kA, KindBytes(".gif")}, {kB, PngPicture(19, 19)}});
        Objects(xs + QStringLiteral("USERTILE/"), {{kC, JpegPicture(8, 8)}});
        Objects(xs + QStringLiteral("winks3/"), {{kB, KindBytes(".cab")}}, true);
        Objects(xs + QStringLiteral("Quirks/"), {{kA, KindBytes(".gif")}});
        QDir().mkpath(xs + QStringLiteral("Empty"));
        vera = users + QStringLiteral("Vera/appdata/LOCAL/Microsoft/MESSENGER/Vera@Example.com/");
        Objects(vera + QStringLiteral("objectstore/WebcamDdp/"), {{kC, KindBytes(".cab")}});
        Objects(vera + QStringLiteral("objectstore/CustomEmoticons/"), {{kA, KindBytes(".gif")}});
        veraId = EmailToId(QStringLiteral("vera@example.com"));
        veraOld = users + QStringLiteral("Vera/appdata/LOCAL/Microsoft/MSN Messenger/") + veraId + QLatin1Char('/');
        WriteFile(veraOld + QStringLiteral("CustomEmoticons/0001.dat"), KindBytes(".png"));
        WriteFile(veraOld + QStringLiteral("map.dat"), "x");
        QDir().mkpath(users + QStringLiteral("Empty/AppData/Local/Microsoft/Messenger/e@x.com/ObjectStore/UserTile"));
    }
};

QString CaptionPath(const TFolderForest &forest, const QString &caption)
{
    for (const TFolderNode &n : forest) {
        if (n.caption == caption)
            return n.folder;
        if (const QString inner = CaptionPath(n.children, caption); !inner.isEmpty())
            return inner;
    }
    return {};
}

const TFolderNode *Find(const TFolderForest &forest, const QString &caption)
{
    for (const TFolderNode &n : forest) {
        if (n.caption == caption)
            return &n;
        if (const TFolderNode *inner = Find(n.children, caption))
            return inner;
    }
    return nullptr;
}

} // namespace

TEST_F(EnvTest, ScanFindsAccountsOfBothLayoutsWhateverTheLetterCase)
{
    const StoreDisk d(env.path(QStringLiteral("disk")));
    const QByteArray before = TreeChecksum(d.root);

    TFolderForest xp;
    ScanFolders(xp, 0, d.ds, Options(true));
    // The account is a Messenger user node captioned with its address; every non-empty sub-folder
    // of its ObjectStore is a content folder with the icon of its kind (an unknown kind: none).
    EXPECT_EQ(TreeText(xp),
              "Xavier 0\n"
              "\txavier@hotmail.com 1\n"
              "\t\tQuirks -1\n"
              "\t\tUSERTILE 6\n"
              "\t\tcustomemoticons 2\n"
              "\t\twinks3 4\n");
    const TFolderNode *account = Find(xp, QStringLiteral("xavier@hotmail.com"));
    ASSERT_NE(account, nullptr);
    EXPECT_EQ(account->folder, d.xavier);
    EXPECT_TRUE(account->hint.contains(EmailToId(QStringLiteral("xavier@hotmail.com")))) << account->hint.toStdString();
    EXPECT_TRUE(account->hint.contains(QStringLiteral("named by position"))) << account->hint.toStdString();
    EXPECT_EQ(CaptionPath(xp, QStringLiteral("customemoticons")), d.xavier + QStringLiteral("OBJECTSTORE/customemoticons/"));

    TFolderForest all;
    ScanFolders(all, 0, d.ds, Options(false));
    EXPECT_NE(Find(all, QStringLiteral("Empty")), nullptr); // shown when empty folders are

    // Vista+: the account beside the older layout kept below the local application data; an
    // account with nothing but empty kind folders is left out (its profile stays, as a profile
    // with an empty Messenger folder does).
    TFolderForest vista;
    ScanFolders(vista, 0, d.users, Options(true));
    EXPECT_EQ(TreeText(vista),
              "Empty 0\n"
              "Vera 0\n"
              "\t" + d.veraId + " 1\n"
              "\t\tCustomEmoticons 2\n"
              "\tVera@Example.com 1\n"
              "\t\tCustomEmoticons 2\n"
              "\t\tWebcamDdp 6\n");
    EXPECT_EQ(CaptionPath(vista, d.veraId), d.veraOld);
    TFolderForest vistaAll;
    ScanFolders(vistaAll, 0, d.users, Options(false));
    EXPECT_NE(Find(vistaAll, QStringLiteral("e@x.com")), nullptr);

    EXPECT_EQ(TreeChecksum(d.root), before);
}

TEST_F(EnvTest, AutoScanFindsAccountsOnVolumesOnceAndThroughTheLocalApplicationData)
{
    const StoreDisk d(env.path(QStringLiteral("disk")));
    TSettingsValues &settings = Settings();
    settings.docSetDir = env.path(QStringLiteral("nowhere/"));

    // A Windows volume: both profile folders, each tried with both layouts, every account shown
    // once, and a Vista profile with the older layout in its roaming folder and an account in its
    // local folder shown once with both.
    QDir().rename(d.ds, d.root + QStringLiteral("Documents and Settings"));
    const QString walt = d.users + QStringLiteral("Walt/AppData/");
    WriteFile(walt + QStringLiteral("Roaming/Microsoft/MSN Messenger/777/map.dat"), "x");
    WriteFile(walt + QStringLiteral("Roaming/Microsoft/MSN Messenger/777/UserTile/a"), KindBytes(".png"));
    WriteFile(walt + QStringLiteral("Local/Microsoft/Messenger/w@x.com/ObjectStore/UserTile/") + kA + QStringLiteral(".dt2"),
              KindBytes(".png"));
    env.platform().windowsVolumes = {d.root};
    const TFolderForest volumes = AutoScan(settings, true);
    const QString text = TreeText(volumes);
    EXPECT_EQ(text.count(QStringLiteral("xavier@hotmail.com")), 1) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("Vera@Example.com")), 1);
    EXPECT_EQ(text.count(d.veraId), 1);
    EXPECT_TRUE(text.contains(QStringLiteral("Walt 0\n\t777 1\n\t\tUserTile 6\n\tw@x.com 1\n\t\tUserTile 6\n"))) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("Walt")), 1);

    // LOCALAPPDATA alone (no APPDATA, no volume) tells the profiles folder.
    env.platform().windowsVolumes.clear();
    settings.docSetDir = env.path(QStringLiteral("nowhere/"));
    env.platform().shellFolders.insert(QStringLiteral("Local AppData"), d.users + QStringLiteral("Vera/appdata/LOCAL"));
    const TFolderForest local = AutoScan(settings, true);
    EXPECT_NE(Find(local, QStringLiteral("Vera@Example.com")), nullptr) << TreeText(local).toStdString();
    EXPECT_EQ(settings.docSetDir, d.users);
    EXPECT_EQ(settings.appDatDir, QStringLiteral("AppData/Roaming/"));

    QString profiles, appDat;
    EXPECT_TRUE(SplitLocalAppDataPath(QStringLiteral("/c/Documents and Settings/A/local settings/Application Data/"), profiles, appDat));
    EXPECT_EQ(profiles, QStringLiteral("/c/Documents and Settings/"));
    EXPECT_EQ(appDat, QStringLiteral("Application Data/"));
    EXPECT_FALSE(SplitLocalAppDataPath(QStringLiteral("/AppData/Local"), profiles, appDat)); // no profile above
    EXPECT_FALSE(SplitLocalAppDataPath(QStringLiteral("/c/Users/A/AppData/Roaming"), profiles, appDat));
}

TEST_F(EnvTest, ObjectsPairedWithTheirCompanionsAndPlacesOfTheLayout)
{
    const StoreDisk d(env.path(QStringLiteral("disk")));
    const QString winks = d.xavier + QStringLiteral("OBJECTSTORE/winks3/");
    // A metadata file without its object, a folder named like an object and a FIFO are no objects.
    WriteFile(winks + QStringLiteral("orphan.id2"), "x");
    QDir().mkpath(winks + QStringLiteral("folder.dt2"));
    ASSERT_EQ(mkfifo(QFile::encodeName(winks + QStringLiteral("pipe.dt2")).constData(), 0600), 0);
    const QList<objstore::TStoreObject> objects = objstore::ListObjects(winks);
    ASSERT_EQ(objects.size(), 1);
    EXPECT_EQ(objects[0].baseName, kB);
    EXPECT_EQ(objects[0].data, winks + kB + QStringLiteral(".dt2"));
    EXPECT_EQ(objects[0].metadata, winks + kB + QStringLiteral(".id2"));
    EXPECT_EQ(objects[0].thumbnail, winks + kB + QStringLiteral(".png"));
    const QList<objstore::TStoreObject> emoticons = objstore::ListObjects(d.xavier + QStringLiteral("OBJECTSTORE/customemoticons"));
    ASSERT_EQ(emoticons.size(), 2);
    EXPECT_EQ(emoticons[0].baseName, kA); // sorted: "1..." before "9..."
    EXPECT_TRUE(emoticons[1].metadata.endsWith(QStringLiteral(".ID2")));
    EXPECT_TRUE(emoticons[1].thumbnail.isEmpty());
    EXPECT_FALSE(objstore::ReadMetadata(emoticons[0].metadata)); // not read: objects go by position

    // Kinds by name, letter case ignored; WebcamDDP holds deluxe display pictures.
    EXPECT_EQ(objstore::KindOfFolder(QStringLiteral("webcamddp")), ContentType::Ddp);
    EXPECT_EQ(objstore::KindOfFolder(QStringLiteral("WINKS3")), ContentType::Wink);
    EXPECT_EQ(objstore::KindOfFolder(QStringLiteral("usertile")), ContentType::Dp);
    EXPECT_FALSE(objstore::KindOfFolder(QStringLiteral("Quirks")));
    const QString store = objstore::StoreFolderOf(d.xavier);
    EXPECT_EQ(store, d.xavier + QStringLiteral("OBJECTSTORE/"));
    EXPECT_EQ(objstore::KindFolder(store, ContentType::Dp), store + QStringLiteral("USERTILE/"));
    EXPECT_TRUE(objstore::KindFolder(store, ContentType::Bg).isEmpty());

    // Where a path lies: the account, its ObjectStore, a kind folder; nothing elsewhere.
    for (const QString &path : {d.xavier, d.xavier + QStringLiteral("OBJECTSTORE"), d.xavier + QStringLiteral("OBJECTSTORE/winks3/")}) {
        const auto place = objstore::PlaceOf(path);
        ASSERT_TRUE(place) << path.toStdString();
        EXPECT_EQ(place->account, d.xavier);
        EXPECT_EQ(place->email, QStringLiteral("xavier@hotmail.com"));
    }
    EXPECT_EQ(objstore::PlaceOf(winks)->kind, ContentType::Wink);
    EXPECT_FALSE(objstore::PlaceOf(d.xavier + QStringLiteral("OBJECTSTORE/Quirks"))->kind);
    EXPECT_FALSE(objstore::PlaceOf(d.veraOld));
    EXPECT_FALSE(objstore::PlaceOf(d.root + QStringLiteral("missing")));

    // Two entries that differ only in case: neither is taken for the other.
    QDir().mkpath(d.root + QStringLiteral("twins/ObjectStore"));
    QDir().mkpath(d.root + QStringLiteral("twins/OBJECTSTORE"));
    EXPECT_EQ(objstore::FindEntry(d.root + QStringLiteral("twins"), QStringLiteral("objectstore")), QString());
    EXPECT_EQ(objstore::FindEntry(d.root + QStringLiteral("twins"), QStringLiteral("ObjectStore")), QStringLiteral("ObjectStore"));
}

TEST(ObjectStoreRecognition, DataFilesAreContentMetadataNever)
{
    EXPECT_TRUE(IsRecognitionCandidate(kA + QStringLiteral(".dt2")));
    EXPECT_TRUE(IsRecognitionCandidate(QStringLiteral("x.DT2")));
    EXPECT_FALSE(IsRecognitionCandidate(kA + QStringLiteral(".id2")));
    EXPECT_TRUE(IsContentMetadata(QStringLiteral("/a/b/") + kA + QStringLiteral(".Id2")));
    EXPECT_FALSE(IsContentMetadata(QStringLiteral(".id2/x")));
    EXPECT_FALSE(IsContentMetadata(QStringLiteral("x.id22")));
    EXPECT_EQ(ReplaceExtension(kA + QStringLiteral(".dt2"), QStringLiteral(".gif")), kA + QStringLiteral(".gif"));

    TestEnv env;
    // A metadata file whose bytes happen to look like a picture is still not content.
    const QString id2 = env.path(QStringLiteral("k.id2")), dt2 = env.path(QStringLiteral("k.dt2"));
    WriteFile(id2, KindBytes(".gif"));
    WriteFile(dt2, KindBytes(".gif"));
    EXPECT_EQ(RecognizeFile(id2), QStringLiteral(".gif"));
    EXPECT_EQ(RecognizeContentFile(id2), QString());
    EXPECT_EQ(RecognizeContentFile(dt2), QStringLiteral(".gif"));
}

TEST(ObjectStoreExport, SafeNamesKeepPlusAndEquals)
{
    // Kept as they are, replaced, trimmed, and names a Windows file system reserves.
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("1NKy92FbzJ6+mP82KkhxtOmU72Fs=.gif"), QStringLiteral("1NKy92FbzJ6+mP82KkhxtOmU72Fs=.gif")},
        {QStringLiteral("a/b\\c:d*e?f\"g<h>i|j"), QStringLiteral("a_b_c_d_e_f_g_h_i_j")},
        {QStringLiteral("tab\there\x01"), QStringLiteral("tab_here_")},
        {QStringLiteral("trailing. . "), QStringLiteral("trailing")},
        {QStringLiteral("..."), QStringLiteral("_")},
        {QString(), QStringLiteral("_")},
        {QStringLiteral("con"), QStringLiteral("_con")},
        {QStringLiteral("NUL.gif"), QStringLiteral("_NUL.gif")},
        {QStringLiteral("com7.png"), QStringLiteral("_com7.png")},
        {QStringLiteral("COM0.png"), QStringLiteral("_COM0.png")},
        {QStringLiteral("console.png"), QStringLiteral("console.png")},
        {QStringLiteral("caf\u00e9 \u263a.png"), QStringLiteral("caf\u00e9 \u263a.png")},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(SafeFileName(text), expected) << text.toStdString();
}

TEST_F(EnvTest, SaveFolderOfAnAccountWritesRecognisedObjectsOnly)
{
    const StoreDisk d(env.path(QStringLiteral("disk")));
    // A name holding a character another file system refuses, as a copy made on Linux may.
    Objects(d.xavier + QStringLiteral("OBJECTSTORE/customemoticons/"), {{QStringLiteral("odd:name="), KindBytes(".png")}});
    const QByteArray before = TreeChecksum(d.root);
    const QString out = env.path(QStringLiteral("out"));
    TFolderSaver saver;
    ASSERT_TRUE(saver.SaveFolderTree(FolderTreeOf(d.xavier), out));
    const QString emoticons = out + QStringLiteral("/OBJECTSTORE/customemoticons/");
    QStringList saved = QDir(emoticons).entryList(QDir::Files);
    saved.sort();
    EXPECT_EQ(saved, (QStringList{kA + QStringLiteral(".gif"), kB + QStringLiteral(".png"), QStringLiteral("odd_name=.png")}));
    EXPECT_EQ(ReadFile(emoticons + kB + QStringLiteral(".png")), ReadFile(d.xavier + QStringLiteral("OBJECTSTORE/customemoticons/") + kB + QStringLiteral(".dt2")));
    // A wink: its cabinet and its thumbnail; never a metadata file.
    QStringList wink = QDir(out + QStringLiteral("/OBJECTSTORE/winks3")).entryList(QDir::Files);
    wink.sort();
    EXPECT_EQ(wink, (QStringList{kB + QStringLiteral(".cab"), kB + QStringLiteral(".png")}));
    EXPECT_EQ(saver.Copied, 7);

    // "All files": the metadata files come along under their own names, unchanged.
    TFolderSaver all;
    all.KnownOnly = false;
    const QString everything = env.path(QStringLiteral("all"));
    ASSERT_TRUE(all.SaveFolderTree(FolderTreeOf(d.xavier + QStringLiteral("OBJECTSTORE/USERTILE")), everything));
    QStringList tile = QDir(everything).entryList(QDir::Files);
    tile.sort();
    EXPECT_EQ(tile, (QStringList{kC + QStringLiteral(".id2"), kC + QStringLiteral(".jpg")}));
    EXPECT_EQ(TreeChecksum(d.root), before);
}
