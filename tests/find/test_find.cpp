// The disk search: what identifies a package and a conversation file, a messy disk with every
// kind of place among decoys and hostile entries, a folder that cannot be listed, cancelling,
// and zorvak-cli find.
#include "browse/BrowseFixtures.h"
#include "cabinet/cabfiles.h"
#include "find/DiskSearch.h"
#include "find/PlaceHeads.h"
#include "support/Programs.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zorvak;
using namespace zorvak::find;
using namespace zorvak::test;

namespace {

// A cabinet of our writer holding files of the given stored names (folder parts with '\').
QByteArray Cabinet(const QString &work, const QStringList &names)
{
    TCABFile cab;
    cab.CABFile = work + "/made.cab";
    for (const QString &name : names) {
        const QString rel = name.section('\\', 0, -2);
        const QString file = work + "/" + QString::number(cab.CABFileContents.Count()) + "/" + name.section('\\', -1);
        WriteFile(file, "x");
        TCABFileEntry &e = cab.CABFileContents.Add();
        e.Name = file;
        e.RelPath = rel;
    }
    cab.CompressionType = typNone;
    cab.CreateCabinet();
    const QByteArray bytes = ReadFile(cab.CABFile);
    QFile::remove(cab.CABFile);
    return bytes;
}

const QByteArray kConversation = "<?xml version=\"1.0\"?>\n<?xml-stylesheet type='text/xsl' href='MessageLog.xsl'?>\n"
                                 "<Log FirstSessionID=\"1\" LastSessionID=\"1\"><Message Date=\"1/2/2007\">";

QStringList Lines(const TSearchResult &r, const QString &root)
{
    QStringList lines;
    for (const TFoundPlace &p : r.found)
        lines << KindName(p.kind) + "\t" + QString(p.path).remove(0, root.size());
    return lines;
}

} // namespace

TEST_F(EnvTest, FindIdentifiesPackagesAndConversationsByTheirFirstBytes)
{
    const QString work = env.path("cabs");
    const QByteArray package = Cabinet(work, {"a.png", "CONTENT.XML"});
    ASSERT_TRUE(package.startsWith("MSCF"));
    const QByteArray utf16 = QByteArray("\xFF\xFE", 2) + QByteArray(reinterpret_cast<const char *>(u"<Log>"), 10);
    const struct {
        const char *what;
        QByteArray bytes;
        bool package, conversation;
    } cases[] = {
        {"package", package, true, false},
        {"without content.xml", Cabinet(work, {"a.png", "content.xm"}), false, false},
        {"content.xml in a folder", Cabinet(work, {"sub\\content.xml"}), false, false},
        {"by gcab", GcabCabinet(work + "/g", {{"content.xml", "<package/>"}}), true, false},
        {"file table cut", package.left(package.indexOf("CONTENT") + 4), false, false},
        {"header only", package.left(36), false, false},
        {"table beyond the end", package.left(16) + Bytes({0xFF, 0xFF, 0, 0}) + package.mid(20), false, false},
        {"no signature", "MSCX" + package.mid(4), false, false},
        {"conversation", kConversation, false, true},
        {"conversation, BOM and comment", "\xEF\xBB\xBF<!-- x --><Log>", false, true},
        {"conversation, UTF-16", utf16, false, true},
        {"other root", "<?xml version=\"1.0\"?><Logs><Log/></Logs>", false, false},
        {"text before the root", "hello <Log>", false, false},
        {"not XML", "Log", false, false},
        {"empty", "", false, false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(IsPackageCabinet(c.bytes), c.package) << c.what;
        EXPECT_EQ(IsConversationHead(c.bytes), c.conversation) << c.what;
    }

    const struct {
        const char *name;
        bool id, address, guid, sid;
    } names[] = {
        {"1596456324", true, false, false, false},      {"12345678901", false, false, false, false},
        {"bob@example.com", false, true, false, false}, {"bob@example", false, false, false, false},
        {"a b@example.com", false, false, false, false}, {"@example.com", false, false, false, false},
        {"0c5bba7e-52f4-4a5f-9c6d-3b2e7c4c2a11", false, false, true, false},
        {"0c5bba7e-52f4-4a5f-9c6d-3b2e7c4c2a1g", false, false, false, false},
        {"S-1-5-21-1004336348-1177238915-682003330-1001", false, false, false, true},
        {"s-1-5-21-7", false, false, false, true},      {"S-1-5-18", false, false, false, false},
        {"S-1-5-21-", false, false, false, false},      {"", false, false, false, false},
    };
    for (const auto &n : names) {
        EXPECT_EQ(IsFolderIdName(n.name), n.id) << n.name;
        EXPECT_EQ(IsAddressName(n.name), n.address) << n.name;
        EXPECT_EQ(IsGuidName(n.name), n.guid) << n.name;
        EXPECT_EQ(IsUserSidName(n.name), n.sid) << n.name;
    }
}

class MessyDisk : public EnvTest {
protected:
    void SetUp() override
    {
        root = env.path("disk");
        const QString work = env.path("cabs");
        package = Cabinet(work, {"emoticon.png", "content.xml"});
        const QByteArray plainCab = Cabinet(work, {"readme.txt"});
        const QString guid = "/0c5bba7e-52f4-4a5f-9c6d-3b2e7c4c2a11";
        const QString wine = "/home/ann/.wine/drive_c/users/ann/Application Data/Microsoft/Protect/S-1-5-21-1-2-3-1001";
        const struct {
            QString path;
            QByteArray data;
        } files[] = {
            // every kind, at odd depths and under odd names
            {"/Windows.old/Users/Ann/AppData/Roaming/Microsoft/MSN Messenger/1596456324/Renamed/a.dat", "x"},
            {"/old laptop/a/b/c/d/e/3225867861/customEMOTICONS/map.dat", "x"},
            {"/old laptop/42/map.dat", "x"},
            {"/Documents and Settings.bak/Bob/Local Settings/Application Data/Microsoft/Messenger/bob@example.com/"
             "objectstore/CustomEmoticons/x.dt2", "x"},
            {"/old laptop/My Documents/My Received Files/bob1234/HISTORY/bob1234.xml", kConversation},
            {"/old laptop/My Documents/My Received Files/bob1234/HISTORY/MessageLog.xsl", "<xsl/>"},
            {"/Downloads/Emoticons Pack.MCO", package},
            {"/Downloads/deeper/still/p.cab", package},
            {"/Downloads/renamed.bin", package},
            {wine + guid, QByteArray(128, 'k')},
            {wine + "/Preferred", "p"},
            // decoys
            {"/decoy/MSN Messenger/notes.txt", "x"},
            {"/decoy/MSN Messenger/user/a.dat", "x"},
            {"/decoy/2009/photo.jpg", "x"},
            {"/decoy/History/other.xml", "<?xml version=\"1.0\"?><history><Log/></history>"},
            {"/decoy/History/broken.xml", QByteArray(5000, '<')},
            {"/decoy/History/log.txt", kConversation},
            {"/decoy/not an address/ObjectStore/CustomEmoticons/x.dt2", "x"},
            {"/decoy/plain.cab", plainCab},
            {"/decoy/fake.mco", "MSCF" + QByteArray(200, '\0')},
            {"/decoy/Protect/S-1-5-21-9/Preferred", "p"},
            {"/decoy/S-1-5-21-9/0c5bba7e-52f4-4a5f-9c6d-3b2e7c4c2a11", "k"},
            {"/decoy/package.mco.txt", package},
            // outside the tree, reached only through a link
            {"/../outside/777/CustomEmoticons/map.dat", "x"},
            {"/../outside/p.mco", package},
        };
        for (const auto &f : files)
            ASSERT_TRUE(WriteFile(root + f.path, f.data)) << f.path.toStdString();
        // Latin-1 names, which are not UTF-8.
        const QByteArray latin = QFile::encodeName(root) + "/caf\xE9";
        ASSERT_EQ(::mkdir(latin.constData(), 0755), 0);
        ASSERT_EQ(::mkdir((latin + "/12345").constData(), 0755), 0);
        ASSERT_EQ(::mkdir((latin + "/12345/Winks3").constData(), 0755), 0);
        const int cafe = ::open((latin + "/\xE9t\xE9.mco").constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        ASSERT_GE(cafe, 0);
        ASSERT_EQ(::write(cafe, package.constData(), size_t(package.size())), package.size());
        ::close(cafe);
        // Links: a loop, a link to the folder above, a link to a Messenger folder outside.
        QDir().mkpath(root + "/loop");
        ASSERT_EQ(::symlink(".", QFile::encodeName(root + "/loop/self").constData()), 0);
        ASSERT_EQ(::symlink("../..", QFile::encodeName(root + "/loop/up").constData()), 0);
        ASSERT_EQ(::symlink("../outside", QFile::encodeName(root + "/Downloads/outside").constData()), 0);
        ASSERT_EQ(::symlink("../outside/p.mco", QFile::encodeName(root + "/Downloads/linked.mco").constData()), 0);
        QDir().mkpath(root + "/fifo/888");
        fifo = std::make_unique<TFifoWatch>(root + "/fifo/888/map.dat");
        fifoMco = std::make_unique<TFifoWatch>(root + "/Downloads/fifo.mco");
    }
    void TearDown() override
    {
        EXPECT_FALSE(fifo->Opened());
        EXPECT_FALSE(fifoMco->Opened());
        // Names that are not UTF-8 do not survive QString: removed by their bytes.
        const QByteArray latin = QFile::encodeName(root) + "/caf\xE9";
        ::unlink((latin + "/\xE9t\xE9.mco").constData());
        for (const char *folder : {"/12345/Winks3", "/12345", ""})
            ::rmdir((latin + folder).constData());
    }

    QString root;
    QByteArray package;
    std::unique_ptr<TFifoWatch> fifo, fifoMco;
};

const QStringList kFound{
    "objectstore-account\t/Documents and Settings.bak/Bob/Local Settings/Application Data/Microsoft/Messenger/bob@example.com",
    "package\t/Downloads/deeper/still/p.cab",
    "package\t/Downloads/Emoticons Pack.MCO",
    "master-keys\t/home/ann/.wine/drive_c/users/ann/Application Data/Microsoft/Protect/S-1-5-21-1-2-3-1001",
    "history\t/old laptop/My Documents/My Received Files/bob1234/HISTORY",
    "messenger-user\t/old laptop/42",
    "messenger-user\t/old laptop/a/b/c/d/e/3225867861",
    "messenger-user\t/Windows.old/Users/Ann/AppData/Roaming/Microsoft/MSN Messenger/1596456324",
    "messenger-user\t/caf\u00e9/12345",
    "package\t/caf\u00e9/\u00e9t\u00e9.mco",
};

TSearchOptions AnyName()
{
    TSearchOptions options;
    options.anyName = true;
    return options;
}

QStringList Sorted(QStringList lines, const QString &prefix = QString())
{
    for (QString &l : lines)
        l.insert(l.indexOf('\t') + 1, prefix);
    std::sort(lines.begin(), lines.end(), [](const QString &a, const QString &b) {
        return a.section('\t', 1) < b.section('\t', 1);
    });
    return lines;
}

TEST_F(MessyDisk, EveryKindFoundNothingElseNothingWritten)
{
    const QByteArray before = TreeChecksum(root);
    TSearchResult r = Search({root});
    EXPECT_EQ(Lines(r, root), Sorted(kFound));
    EXPECT_FALSE(r.cancelled);
    EXPECT_TRUE(r.unreadable.isEmpty());
    EXPECT_EQ(r.links, 4);
    EXPECT_GT(r.folders, 40);
    // The Latin-1 names keep their bytes for opening them.
    const auto latin = std::find_if(r.found.begin(), r.found.end(), [](const TFoundPlace &p) { return p.path.endsWith(u".mco"); });
    ASSERT_NE(latin, r.found.end());
    EXPECT_TRUE(latin->nativePath.endsWith("/caf\xE9/\xE9t\xE9.mco"));

    // Renamed packages by their signature; several roots in one walk; a missing root.
    r = Search({root + "/Downloads/", root + "/decoy", env.path("none")}, AnyName());
    EXPECT_EQ(Lines(r, root), QStringList({"package\t/Downloads/Emoticons Pack.MCO", "package\t/Downloads/deeper/still/p.cab",
                                           "package\t/Downloads/renamed.bin", "package\t/decoy/package.mco.txt"}));
    EXPECT_EQ(r.missingRoots, QStringList{env.path("none")});

    // A starting folder is itself a place.
    r = Search({root + "/old laptop/42"});
    EXPECT_EQ(Lines(r, root), QStringList{"messenger-user\t/old laptop/42"});
    EXPECT_EQ(TreeChecksum(root), before);
}

TEST_F(MessyDisk, UnlistableFolderIsListedAndTheWalkGoesOn)
{
    const QString locked = root + "/locked";
    ASSERT_TRUE(WriteFile(locked + "/3225867861/CustomEmoticons/map.dat", "x"));
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);
    TSearchResult r;
    {
        PermissionsApply permissions;
        ASSERT_TRUE(permissions.ok());
        r = Search({root});
    }
    ::chmod(QFile::encodeName(locked).constData(), 0755);
    EXPECT_EQ(r.unreadable, QStringList{locked});
    EXPECT_EQ(r.unreadableCount, 1);
    EXPECT_EQ(Lines(r, root), Sorted(kFound));
}

TEST_F(MessyDisk, CancelStopsTheWalk)
{
    std::atomic<bool> cancel{false};
    TSearchOptions options;
    options.cancel = &cancel;
    options.progressIntervalMs = 0;
    int calls = 0;
    options.onProgress = [&](const TSearchProgress &p) {
        ++calls;
        if (p.folders >= 3)
            cancel = true;
    };
    const TSearchResult r = Search({root}, options);
    EXPECT_TRUE(r.cancelled);
    EXPECT_LE(r.folders, 4);
    EXPECT_GT(calls, 0);
}

TEST_F(MessyDisk, CliFind)
{
    const QByteArray before = TreeChecksum(root);
    TProgramRun run = RunCli({"find", root, "--quiet"});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, Sorted(kFound, root).join('\n') + '\n');

    run = RunCli({"find", "--json", root + "/decoy", root + "/Downloads"});
    EXPECT_EQ(run.code, 0);
    const QJsonObject json = JsonObjectOf(run.out);
    EXPECT_EQ(json["found"].toArray().size(), 2);
    EXPECT_EQ(json["found"][0]["kind"].toString(), "package");
    EXPECT_EQ(json["found"][0]["path"].toString(), root + "/Downloads/Emoticons Pack.MCO");
    EXPECT_EQ(json["unreadable"].toArray().size(), 0);
    EXPECT_GE(json["folders"].toInt(), 10);
    EXPECT_GE(json["files"].toInt(), 10);
    EXPECT_TRUE(json["seconds"].isDouble());

    EXPECT_EQ(RunCli({"find", root + "/decoy"}).out, ""); // nothing found is no error
    EXPECT_EQ(RunCli({"find", root + "/decoy"}).code, 0);
    run = RunCli({"find", env.path("none")});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "zorvak-cli find: no such folder: " + env.path("none") + "\n");
    EXPECT_EQ(RunCli({"find"}).code, 2);
    if (HasTerminalRunner()) { // the counts on a terminal, the line cleared at the end
        const QString shown = RunOnTerminal({CliProgram(), "find", root}).out;
        EXPECT_TRUE(shown.contains(" folders, 10 found\x1b[K\r\x1b[K")) << shown.toStdString();
    }
    EXPECT_EQ(TreeChecksum(root), before);
}
