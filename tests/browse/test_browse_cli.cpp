// zorvak-cli recognize, scan and export: output compared as text, exit codes as documented.
#include "BrowseFixtures.h"
#include "support/TestEnv.h"

#include <QFileInfo>
#include <QProcess>

using namespace zorvak::test;

namespace {
struct CliRun {
    int code = -1;
    QString out;
};
CliRun Cli(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(ZORVAK_CLI_PATH), args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput())};
}
} // namespace

TEST_F(EnvTest, CliRecognizeScanAndExport)
{
    const TSyntheticDisk d = MakeSyntheticDisk(env.path("disk"));
    const QByteArray before = TreeChecksum(d.root);
    const QString emot = d.Messenger("Alice") + d.idAlice + "/CustomEmoticons/";

    CliRun r = Cli({"recognize", emot + "a.dat", emot + "notes.txt", env.path("missing")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, ".jpg\t" + emot + "a.dat\n-\t" + emot + "notes.txt\n-\t" + env.path("missing") + "\n");
    EXPECT_EQ(Cli({"recognize"}).code, 2);

    r = Cli({"scan", "--docset", d.root + "DS/Bob"});
    EXPECT_EQ(r.code, 1); // no Windows user folder below it
    EXPECT_EQ(r.out, "");
    r = Cli({"scan", "--docset", d.docSet, "--appdata", "Application Data", "--msndat", "Microsoft/MSN Messenger"});
    EXPECT_EQ(r.code, 0);
    const QString bob = d.docSet + "Bob/";
    EXPECT_TRUE(r.out.contains("Bob\t0\t" + bob + "\n\t" + d.idBob + "\t1\t" + d.Messenger("Bob") + d.idBob +
                               "/\n\t\tCustomEmoticons\t2\t" + d.Messenger("Bob") + d.idBob + "/CustomEmoticons/\n"))
        << r.out.toStdString();
    EXPECT_EQ(r.out.count('\n'), 12);
    EXPECT_EQ(Cli({"scan", "--docset", d.docSet, "--show-empty"}).out.count('\n'), 17);
    EXPECT_EQ(Cli({"scan", "--bogus"}).code, 2);

    const QString id = d.Messenger("Alice") + d.idAlice;
    r = Cli({"export", id, env.path("out")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "7\t" + env.path("out/") + d.idAlice + "\n"); // DynamicBackgrounds/deeper/d.cab too
    EXPECT_EQ(ReadFile(env.path("out/") + d.idAlice + "/CustomEmoticons/b.gif"), GifPicture(2));
    // Existing files are skipped unless --overwrite; --all copies unrecognised files too.
    EXPECT_EQ(Cli({"export", id, env.path("out")}).out, "0\t" + env.path("out/") + d.idAlice + "\n");
    EXPECT_EQ(Cli({"export", id, env.path("out"), "--overwrite"}).out.section('\t', 0, 0), "7");
    EXPECT_EQ(Cli({"export", id, env.path("out"), "--all"}).out.section('\t', 0, 0), "4");
    EXPECT_TRUE(QFileInfo::exists(env.path("out/") + d.idAlice + "/CustomEmoticons/notes.txt"));
    // Subfolders the tree would hide are exported too (every folder below is a node).
    EXPECT_TRUE(QFileInfo::exists(env.path("out/") + d.idAlice + "/Backgrounds"));
    EXPECT_EQ(Cli({"export", id, d.Messenger("Alice")}).code, 1); // into itself
    EXPECT_EQ(Cli({"export", id}).code, 2);

    EXPECT_EQ(TreeChecksum(d.root), before);
}
