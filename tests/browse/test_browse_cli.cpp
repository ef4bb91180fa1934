// zorvak-cli recognize, scan and export: output compared as text, exit codes as documented.
#include "BrowseFixtures.h"
#include "support/RunProgram.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

using namespace zorvak::test;

namespace {
TProgramRun Cli(const QStringList &args, const QString &workingDirectory = QString())
{
    TRunOptions options;
    options.workingDirectory = workingDirectory;
    options.timeoutMs = 60000;
    return RunProgram(QStringLiteral(ZORVAK_CLI_PATH), args, options);
}
} // namespace

TEST_F(EnvTest, CliRecognizeScanAndExport)
{
    const TSyntheticDisk d = MakeSyntheticDisk(env.path("disk"));
    const QByteArray before = TreeChecksum(d.root);
    const QString emot = d.Messenger("Alice") + d.idAlice + "/CustomEmoticons/";

    TProgramRun r = Cli({"recognize", emot + "a.dat", emot + "notes.txt", env.path("missing")});
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

TEST_F(EnvTest, CliVerbsReadTheirCommandLineTheSameWay)
{
    const TSyntheticDisk d = MakeSyntheticDisk(env.path("disk"));
    const QByteArray before = TreeChecksum(d.root);

    // Every verb has its help, also after other arguments; after "--" "--help" is an argument.
    for (const char *verb : {"id", "recognize", "scan", "export", "catalogue"}) {
        const TProgramRun help = Cli({verb, "x", "--help"});
        EXPECT_EQ(help.code, 0) << verb;
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: zorvak-cli ") + verb)) << help.out.toStdString();
    }
    EXPECT_EQ(Cli({"recognize", "--", "--help"}).out, "-\t--help\n");

    // A file whose name starts with "-" is given after "--".
    const QString dashed = env.path("-x.dat");
    WriteFile(dashed, GifPicture(1));
    EXPECT_EQ(Cli({"recognize", "--", "-x.dat"}, env.path("")).out, ".gif\t-x.dat\n");
    const TProgramRun refused = Cli({"recognize", "-x.dat"}, env.path(""));
    EXPECT_EQ(refused.code, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_TRUE(refused.err.startsWith("zorvak-cli recognize: unknown option: -")) << refused.err.toStdString();
    EXPECT_EQ(Cli({"id", "--", "-a@b.c"}).code, 0);
    EXPECT_EQ(Cli({"id", "--bogus"}).code, 2);

    // "--opt=value" is "--opt value"; unknown options and missing values are wrong usage.
    const TProgramRun spaced = Cli({"scan", "--docset", d.docSet, "--show-empty"});
    EXPECT_EQ(spaced.code, 0);
    EXPECT_EQ(Cli({"scan", "--show-empty", "--docset=" + d.docSet}).out, spaced.out);
    TProgramRun wrong = Cli({"scan", "--docset"});
    EXPECT_EQ(wrong.code, 2);
    EXPECT_EQ(wrong.err, "zorvak-cli scan: --docset needs a folder\n");
    wrong = Cli({"scan", "--bogus"});
    EXPECT_EQ(wrong.err, "zorvak-cli scan: unknown option: --bogus\n");
    wrong = Cli({"scan", "stray"});
    EXPECT_EQ(wrong.code, 2);
    EXPECT_EQ(wrong.err, "zorvak-cli scan: unknown argument: stray\n");
    wrong = Cli({"export", "--all=yes", d.root, env.path("out")});
    EXPECT_EQ(wrong.code, 2);
    EXPECT_EQ(wrong.err, "zorvak-cli export: --all takes no value\n");
    EXPECT_FALSE(QFileInfo::exists(env.path("out")));
    EXPECT_EQ(Cli({"catalogue", "--language=FR"}).out, Cli({"catalogue", "--language", "FR"}).out);

    // Failures are one line "zorvak-cli VERB: ..." on standard error, exit status 1.
    const TProgramRun missing = Cli({"export", env.path("nothing"), env.path("out")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "zorvak-cli export: not a folder: " + env.path("nothing") + "\n");

    EXPECT_EQ(TreeChecksum(d.root), before);
}

TEST_F(EnvTest, CliReachesNamesThatAreNotUtf8)
{
    // A profile "Jos\xe9" with Latin-1 and CP437 names of files and of a folder.
    const QString docSet = env.path("ds/");
    const QByteArray user = docSet.toUtf8() + "Jos\xe9/Application Data/Microsoft/MSN Messenger/1234567890";
    const std::shared_ptr<void> cleanup(nullptr, [&docSet](void *) { RemoveRawTree(docSet.toUtf8()); });
    WriteRawFile(user + "/CustomEmoticons/caf\xe9.dat", GifPicture(1));
    WriteRawFile(user + "/CustomEmoticons/\x82t\x82.dat", GifPicture(2));
    WriteRawFile(user + "/CustomEmoticons/\x8et\x82/r\xe9sum\xe9", GifPicture(3));
    // Arguments that are not UTF-8 go through the shell: "\\0351" in an argument becomes the byte 0xE9.
    const auto rawCli = [](const QStringList &args) {
        TRunOptions options;
        options.timeoutMs = 60000;
        const QString script = "cli=$0; n=$#; while [ $n -gt 0 ]; do a=$1; shift; set -- \"$@\" \"$(printf '%b' \"$a\")\"; "
                               "n=$((n-1)); done; exec \"$cli\" \"$@\"";
        return RunProgram("/bin/sh", QStringList{"-c", script, ZORVAK_CLI_PATH} + args, options);
    };
    const QString rawUser = docSet + "Jos\\0351/Application Data/Microsoft/MSN Messenger/1234567890";

    TProgramRun r = Cli({"scan", "--docset", docSet, "--appdata", "Application Data", "--msndat", "Microsoft/MSN Messenger"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("José\t0\t" + docSet + "José/\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("\t\tCustomEmoticons\t2\t")) << r.out.toStdString();

    r = rawCli({"export", rawUser, env.path("out")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "3\t" + env.path("out/1234567890") + "\n");
    EXPECT_EQ(ReadFile(env.path("out/1234567890/CustomEmoticons/café.gif")), GifPicture(1));
    EXPECT_EQ(ReadFile(env.path("out/1234567890/CustomEmoticons/\u201at\u201a.gif")), GifPicture(2));
    EXPECT_EQ(ReadFile(env.path("out/1234567890/CustomEmoticons/Žt\u201a/résumé.gif")), GifPicture(3));
    // A file that cannot be written is named by its bytes and fails the run.
    ASSERT_TRUE(QDir().mkpath(env.path("again/1234567890/CustomEmoticons/café.gif/x")));
    r = rawCli({"export", "--overwrite", rawUser, env.path("again")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "1\t" + env.path("again/1234567890") + "\n"); // the folder below is then left
    EXPECT_TRUE(r.err.contains("zorvak-cli export: cannot copy " + docSet + "Jos\\xe9/") && r.err.contains("/caf\\xe9.dat: "))
        << r.err.toStdString();

    // A cabinet of such files names them as text.
    r = rawCli({"cab", "create", env.path("p.cab"), rawUser + "/CustomEmoticons/caf\\0351.dat"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(Cli({"cab", "list", env.path("p.cab")}).out.section('\t', 0, 0), "café.dat");
}
