// zorvak-cli over the demo profile, verb after verb, as a user would run it.
#include "support/Programs.h"

#include <QDir>
#include <QDirIterator>
#include <QProcessEnvironment>
#include <QRegularExpression>

using namespace zorvak::test;

namespace {

TProgramRun Cli(const QStringList &args, const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    TRunOptions options;
    options.environment = environment;
    return RunCli(args, options);
}

class DemoCli : public DemoProfileTest {
protected:
    void SetUp() override
    {
        DemoProfileTest::SetUp();
        before = TreeChecksum(demo);
    }
    void TearDown() override { EXPECT_EQ(TreeChecksum(demo), before) << "nothing is written into the profile"; }

    QByteArray before;
};

} // namespace

TEST_F(DemoCli, ScanFindsBothUsersFromTheApplicationDataFolder)
{
    // The whole Application Data path, given as an option or through APPDATA, gives the same tree.
    const TProgramRun byOption = Cli({"scan", "--appdata", appData});
    ASSERT_EQ(byOption.code, 0) << byOption.err.toStdString();
    EXPECT_TRUE(byOption.out.contains("\t1596456324\t1\t" + alice + "/\n")) << byOption.out.toStdString();
    EXPECT_TRUE(byOption.out.contains("\t\tWinks3\t4\t" + alice + "/Winks3/\n"));
    EXPECT_TRUE(byOption.out.contains("\t3225867861\t1\t"));
    EXPECT_TRUE(byOption.out.contains("\t\tMapFile\t-1\t"));
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("APPDATA"), appData);
    environment.remove(QStringLiteral("WINEPREFIX"));
    const TProgramRun byEnvironment = Cli({"scan"}, environment);
    EXPECT_EQ(byEnvironment.code, 0);
    EXPECT_EQ(byEnvironment.out, byOption.out);

    // A relative --appdata keeps its meaning: the Application Data folder inside each profile.
    const TProgramRun relative = Cli({"scan", "--docset", demo + "/Documents and Settings", "--appdata", "Application Data"});
    EXPECT_EQ(relative.code, 0);
    EXPECT_EQ(relative.out, byOption.out);
    EXPECT_EQ(Cli({"scan", "--appdata", "/Application Data"}).code, 2); // no profile above it
}

TEST_F(DemoCli, RecognizeExportAndCabinets)
{
    // Content files get their kinds; the encrypted maps are no icons.
    const TProgramRun kinds = Cli({"recognize", alice + "/UserTile/map.dat", alice + "/Winks3/map.dat"});
    EXPECT_EQ(kinds.out, "-\t" + alice + "/UserTile/map.dat\n-\t" + alice + "/Winks3/map.dat\n");
    QStringList maps;
    for (const QString &name : QDir(alice + "/MapFile").entryList(QDir::Files))
        maps << alice + "/MapFile/" + name;
    ASSERT_FALSE(maps.isEmpty());
    const TProgramRun mapKinds = Cli(QStringList{"recognize"} + maps);
    EXPECT_EQ(mapKinds.out.count(QStringLiteral("-\t")), maps.size()) << mapKinds.out.toStdString();

    // Export: recognised files only, each with its extension; a second run skips them all.
    const QString out = env.path(QStringLiteral("out"));
    const TProgramRun first = Cli({"export", alice, out});
    ASSERT_EQ(first.code, 0) << first.err.toStdString();
    QStringList copied;
    for (QDirIterator it(out, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        copied << it.next().mid(out.size() + 1);
    EXPECT_EQ(first.out, QString::number(copied.size()) + "\t" + out + "/1596456324\n");
    for (const QString &file : copied) {
        EXPECT_FALSE(file.contains("map")) << file.toStdString();
        EXPECT_TRUE(QFileInfo(file).suffix().size() == 3) << file.toStdString();
    }
    EXPECT_EQ(copied.filter("VoiceClips/").size(), 4) << copied.join(',').toStdString(); // mp3, asf, mid, wav
    EXPECT_GE(copied.filter(".cab").size(), 2);
    EXPECT_EQ(Cli({"export", alice, out}).out, "0\t" + out + "/1596456324\n");

    // A wink is a cabinet with its movie and thumbnail.
    const QString wink = out + "/1596456324/Winks3/" + QDir(out + "/1596456324/Winks3").entryList({"*.cab"}).value(0);
    const TProgramRun list = Cli({"cab", "list", wink});
    ASSERT_EQ(list.code, 0) << list.err.toStdString();
    const QStringList lines = list.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << list.out.toStdString();
    EXPECT_TRUE(lines.filter(QRegularExpression("^\\w+\\.swf\\t\\d+\\t\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$")).size() == 1)
        << list.out.toStdString();
    EXPECT_TRUE(lines.filter(QRegularExpression("^\\w+\\.png\\t\\d+\\t")).size() == 1);
    EXPECT_EQ(Cli({"cab", "test", wink}).code, 0);
}

TEST_F(DemoCli, MapDecryptReadsTheContentMaps)
{
    const TProgramRun map = Cli({"map", "decrypt", "--email", "alice.demo@hotmail.com", "--password", "zorvak-demo",
                            alice + "/UserTile/map.dat"});
    ASSERT_EQ(map.code, 0) << map.err.toStdString();
    EXPECT_TRUE(map.out.startsWith("<msnobj Creator=\"alice.demo@hotmail.com\" Type=\"11\" Location=\""));
    // The content map it names lists the display pictures.
    const QString location = map.out.section("Location=\"", 1).section('"', 0, 0);
    const TProgramRun content = Cli({"map", "decrypt", "--email", "alice.demo@hotmail.com", "--password", "zorvak-demo",
                                alice + "/MapFile/" + location});
    ASSERT_EQ(content.code, 0) << content.err.toStdString();
    EXPECT_TRUE(content.out.contains("Orange Daisy\t<msnobj ")) << content.out.left(200).toStdString();
    // Backgrounds are under the earlier password's key, reached through CREDHIST.
    EXPECT_EQ(Cli({"map", "decrypt", "--email", "alice.demo@hotmail.com", "--password", "zorvak-demo",
                   alice + "/Backgrounds/map.dat"}).code, 0);
    const TProgramRun wrong = Cli({"map", "decrypt", "--email", "alice.demo@hotmail.com", "--password", "nope",
                              alice + "/UserTile/map.dat"});
    EXPECT_EQ(wrong.code, 1);
    EXPECT_EQ(wrong.err, "zorvak-cli map: Failed to decrypt. Key not valid for use in specified state.\n");
}

namespace {
// Every file below a folder, relative to it.
QStringList FilesBelow(const QString &root)
{
    QStringList files;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories); it.hasNext();)
        files << it.next().mid(root.size() + 1);
    files.sort();
    return files;
}
} // namespace

TEST_F(EnvTest, DemoProfileToolReplacesOnlyWhatItMade)
{
    const QString tool = DemoProfileProgram();
    const QString alice = QStringLiteral("/Documents and Settings/Alice");

    // A new folder, then the same folder again: the second run replaces the first one's files and
    // leaves none behind (its master keys have new names).
    const QString demo = env.path("demo");
    ASSERT_EQ(RunProgram(tool, {demo}).code, 0);
    const QStringList first = FilesBelow(demo);
    EXPECT_TRUE(first.contains(".zorvak-demo-profile"));
    EXPECT_GT(first.size(), 40);
    const TProgramRun again = RunProgram(tool, {demo});
    ASSERT_EQ(again.code, 0) << again.err.toStdString();
    EXPECT_EQ(FilesBelow(demo).size(), first.size());
    QFile record(demo + "/.zorvak-demo-profile");
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    const QStringList listed = QString::fromUtf8(record.readAll()).split('\n', Qt::SkipEmptyParts).mid(1);
    QStringList onDisk = FilesBelow(demo);
    onDisk.removeOne(".zorvak-demo-profile");
    QStringList sortedListed = listed;
    sortedListed.sort();
    EXPECT_EQ(sortedListed, onDisk) << "the record lists exactly the files on disk";

    // An empty folder is fine.
    QDir().mkpath(env.path("empty"));
    EXPECT_EQ(RunProgram(tool, {env.path("empty")}).code, 0);

    // A real profile (no record of the tool): refused, nothing deleted or added.
    const QString disk = env.path("disk");
    WriteFile(disk + alice + "/NTUSER.DAT", "registry");
    WriteFile(disk + alice + "/Application Data/Microsoft/MSN Messenger/1596456324/CustomEmoticons/X", "mine");
    QByteArray before = TreeChecksum(disk);
    TProgramRun refused = RunProgram(tool, {disk});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.startsWith("zorvak-demo-profile: " + disk + " holds Documents and Settings, which this tool did not make"))
        << refused.err.toStdString();
    EXPECT_EQ(TreeChecksum(disk), before);
    EXPECT_EQ(FilesBelow(disk).size(), 2);

    // A profile the tool made, to which someone added a file: refused as a whole, both kept.
    WriteFile(demo + alice + "/My Documents/letter.txt", "keep me");
    before = TreeChecksum(demo);
    refused = RunProgram(tool, {demo});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains("holds Documents and Settings/Alice/My Documents")) << refused.err.toStdString();
    EXPECT_EQ(TreeChecksum(demo), before);
    QFile::remove(demo + alice + "/My Documents/letter.txt");
    QDir().rmdir(demo + alice + "/My Documents");

    // A recorded file replaced by a link to a file elsewhere: refused, the other file untouched.
    WriteFile(env.path("elsewhere.txt"), "outside");
    const QString linked = demo + '/' + listed.first();
    ASSERT_TRUE(QFile::remove(linked));
    ASSERT_TRUE(QFile::link(env.path("elsewhere.txt"), linked));
    EXPECT_EQ(RunProgram(tool, {demo}).code, 1);
    EXPECT_EQ(ReadFile(env.path("elsewhere.txt")), "outside");

    // A forged record does not make a stranger's files the tool's, and a file is no folder.
    const QString forged = env.path("forged");
    WriteFile(forged + "/.zorvak-demo-profile", "something else\nDocuments and Settings/Alice/NTUSER.DAT\n");
    WriteFile(forged + alice + "/NTUSER.DAT", "registry");
    EXPECT_EQ(RunProgram(tool, {forged}).code, 1);
    EXPECT_EQ(ReadFile(forged + alice + "/NTUSER.DAT"), "registry");
    EXPECT_EQ(RunProgram(tool, {env.path("elsewhere.txt")}).code, 1);

    // Record lines that climb out of the folder or are absolute name nothing: a rerun removes
    // neither the file beside the folder nor the one named by its full path.
    ASSERT_TRUE(QFile::remove(linked));
    QFile append(demo + "/.zorvak-demo-profile");
    ASSERT_TRUE(append.open(QIODevice::Append));
    append.write("../elsewhere.txt\n" + env.path("victim.txt").toUtf8() + "\nDocuments and Settings/../../victim.txt\n");
    append.close();
    WriteFile(env.path("victim.txt"), "victim");
    const TProgramRun climbing = RunProgram(tool, {demo});
    EXPECT_EQ(climbing.code, 0) << climbing.err.toStdString();
    EXPECT_EQ(ReadFile(env.path("elsewhere.txt")), "outside");
    EXPECT_EQ(ReadFile(env.path("victim.txt")), "victim");
}

// Every verb takes paths relative to the current folder, as a shell user types them; results land
// where the relative names say.
TEST_F(DemoCli, EveryVerbTakesPathsRelativeToTheCurrentFolder)
{
    const QDir here(env.path(QString()));
    const auto rel = [&](const QString &path) { return here.relativeFilePath(path); };
    const QString map = rel(alice + "/UserTile/map.dat");
    const QString protect = rel(appData + "/Microsoft/Protect");
    const QStringList secret{"--email", kAliceEmail, "--password", kDemoPassword};
    const struct {
        QStringList args;
        QString made; // a file or folder the run must have made, relative to the current folder
    } runs[] = {
        {{"scan", "--appdata", rel(appData)}, {}},
        {{"scan", "--docset", rel(demo + "/Documents and Settings")}, {}},
        {{"recognize", map}, {}},
        {{"map", "decrypt", map, "--email", kAliceEmail, "--password", kDemoPassword}, {}},
        {{"dpapi", "masterkey", "--protect-dir", protect, "--password", kDemoPassword}, {}},
        {{"export", rel(alice), "plain"}, "plain"},
        {QStringList{"export", rel(alice), "named", "--named"} + secret, "named"},
        {QStringList{"backup", rel(alice), "--out", "out/Alice.mco"} + secret, "out/Alice.mco"},
        {{"cab", "create", "map.cab", map}, "map.cab"},
        {{"cab", "list", "map.cab"}, {}},
        {{"cab", "extract", "map.cab", "unpacked"}, "unpacked/map.dat"},
        {{"install", "out/Alice.mco", "--library", "library"}, "library"},
        {{"find", rel(demo)}, {}},
        {{"history", "list", rel(demo)}, {}},
        {{"history", "export", rel(demo), "chats", "--format", "text"}, "chats"},
    };
    QDir().mkpath(env.path("out"));
    for (const auto &run : runs) {
        TRunOptions options;
        options.workingDirectory = here.path();
        const TProgramRun result = RunCli(run.args, options);
        EXPECT_EQ(result.code, 0) << run.args.join(' ').toStdString() << "\n" << result.err.toStdString();
        if (run.made.isEmpty()) // what it found or read is printed
            EXPECT_FALSE(result.out.isEmpty()) << run.args.join(' ').toStdString();
        else
            EXPECT_TRUE(QFileInfo::exists(here.filePath(run.made))) << run.made.toStdString();
    }
}

// "help VERB" is "VERB --help"; every verb takes --quiet (an unknown option next to it is what is
// refused); errors of the core read "zorvak-cli VERB: ...".
TEST(CliConventions, HelpVerbQuietAndErrorPrefix)
{
    const TProgramRun overall = RunCli({"--help"});
    const QString verbList = overall.out.section("Verbs:\n", 1).section("\n\n", 0, 0);
    QStringList verbs;
    for (const QString &line : verbList.split('\n', Qt::SkipEmptyParts))
        verbs << line.trimmed().section(' ', 0, 0);
    ASSERT_GE(verbs.size(), 10);
    for (const QString &verb : verbs) {
        const TProgramRun help = RunCli({"help", verb});
        EXPECT_EQ(help.code, 0) << verb.toStdString();
        EXPECT_EQ(help.out, RunCli({verb, "--help"}).out) << verb.toStdString();
        // Verbs with actions first refuse the missing action; none refuses --quiet.
        const TProgramRun quiet = RunCli({verb, "--bogus", "--quiet"});
        EXPECT_EQ(quiet.code, 2) << verb.toStdString();
        EXPECT_TRUE(quiet.err.startsWith("zorvak-cli " + verb + ": ")) << quiet.err.toStdString();
        EXPECT_FALSE(quiet.err.contains("--quiet")) << quiet.err.toStdString();
    }
    EXPECT_EQ(RunCli({"help", "bogus"}).code, 2);
    // A message of the core (here the cabinet component's) carries the verb too.
    const TProgramRun missing = RunCli({"install", "/nonexistent/x.mco"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.startsWith("zorvak-cli install: ")) << missing.err.toStdString();
}
