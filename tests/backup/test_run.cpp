// The backup run without windows: collection, splitting into parts of 199 items, the messages.
#include "backup/BackupCore.h"
#include "browse/FolderChoice.h"
#include "common/Exceptions.h"
#include "common/unitString.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "test_run_profile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {
QString S(const char *text) { return QString::fromUtf8(text); }

struct RecordingHost : TBackupHost {
    QStringList confirmed;                       // display names shown for confirmation
    int confirmAnswer = 0;                       // 0: keep every row; -1 cancels; otherwise kept + 1
    QList<QPair<QString, int>> packages;
    QStringList shown;
    QStringList decrypted;
    std::optional<int> ConfirmItems(ContentType, const QString &name, const TMsnArr &items, const TDefaultTable &,
                                    int) override
    {
        confirmed << name;
        if (confirmAnswer == -1)
            return std::nullopt;
        return confirmAnswer ? confirmAnswer - 1 : int(items->size());
    }
    void PackageWritten(const QString &cab, int n) override { packages.append({cab, n}); }
    void ShowResult(const QString &file) override { shown << file; }
    void DecryptedText(const QString &text) override { decrypted << text; }
    struct Step {
        TBackupStage stage;
        int done, total;
        QString name;
    };
    QList<Step> steps;                           // the progress, Idle left out
    int polls = 0;
    int cancelAtPoll = 0;                        // > 0: that poll asks for a cancel
    void Progress(TBackupStage stage, int done, int total, const QString &name) override
    {
        if (stage != TBackupStage::Idle)
            steps.append({stage, done, total, QFileInfo(name).fileName()});
    }
    bool Poll() override { return ++polls == cancelAtPoll; }
};

class RunTest : public EnvTest {
protected:
    RecordingHost host;
    TBackupCore core{host};
    TBackupRequest request;
    SyntheticProfile profile{env.path(S("profile"))};
    QStringList packedDirs;
    QString outDir = env.path(S("out/"));

    void SetUp() override
    {
        QDir().mkpath(outDir);
        core.DecryptMap = &ReadPlainMap;
        // Records each part and stands a file in for the cabinet.
        core.PackFolder = [this](const QString &folder, const QString &cabinet, bool keep) {
            EXPECT_TRUE(keep);
            packedDirs << folder;
            return WriteFile(cabinet, ReadFile(folder + S("content.xml")));
        };
        request.folder = profile.root;
        request.email = profile.email;
        request.output = outDir + S("Backup1.mco");
        request.confirm = false;
    }
    void Tick(ContentType t) { request.types[size_t(t)] = true; }
    // Backs up `count` emoticons alone; `answer` answers the question that ends the run.
    void RunEmoticons(int count, int answer)
    {
        profile.AddEmoticons(count);
        Tick(ContentType::Emot);
        env.dialogs().Answer(answer);
        core.Run(request);
    }
    // Queues `answers` for the run's questions in turn, runs, and returns the messages shown.
    QStringList RunAnswering(std::initializer_list<int> answers)
    {
        for (const int answer : answers)
            env.dialogs().Answer(answer);
        core.Run(request);
        return env.dialogs().Messages();
    }
    static int ItemLines(const QString &manifest)
    {
        return int(QString::fromLatin1(ReadFile(manifest)).count(S("<item ")));
    }
};
} // namespace

TEST_F(RunTest, FourHundredFiftyEmoticonsMakeThreeParts)
{
    RunEmoticons(450, mrYes); // view the result

    const QString tmp = env.appDir() + S("~tmp/");
    EXPECT_EQ(ItemLines(tmp + S("1/content.xml")), 199);
    EXPECT_EQ(ItemLines(tmp + S("2/content.xml")), 199);
    EXPECT_EQ(ItemLines(tmp + S("3/content.xml")), 52);
    EXPECT_EQ(QDir(tmp + S("3")).entryList(QDir::Files).size(), 53);
    EXPECT_TRUE(QFileInfo::exists(outDir + S("Backup1-part1.mco")));
    EXPECT_TRUE(QFileInfo::exists(outDir + S("Backup1-part2.mco")));
    EXPECT_TRUE(QFileInfo::exists(outDir + S("Backup1-part3.mco")));
    EXPECT_FALSE(QFileInfo::exists(outDir + S("Backup1.mco")));
    EXPECT_FALSE(QFileInfo::exists(outDir + S("Backup1-part4.mco")));
    ASSERT_EQ(env.dialogs().Messages().size(), 1);
    EXPECT_EQ(env.dialogs().Messages().at(0),
              S("Messenger cannot handle an MCO file with too many items,\rso Zorvak has automatically split them.\r\r"
                "Packed 450 files into 3 MCO files (Backup1*.mco)\r\rView the file in Windows Explorer?"));
    EXPECT_EQ(env.dialogs().calls.back().type, TMsgDlgType::mtInformation);
    EXPECT_EQ(host.shown, QStringList{outDir + S("Backup1-part1.mco")});
    EXPECT_EQ(core.Result().items, 450);
}

TEST_F(RunTest, ThreeHundredNinetyEightMakeTwoPartsAndAnEmptyThirdFolder)
{
    RunEmoticons(398, mrNo);
    EXPECT_EQ(packedDirs.size(), 2);
    EXPECT_TRUE(QFileInfo::exists(outDir + S("Backup1-part2.mco")));
    EXPECT_FALSE(QFileInfo::exists(outDir + S("Backup1-part3.mco")));
    EXPECT_TRUE(QFileInfo(env.appDir() + S("~tmp/3")).isDir());
    EXPECT_EQ(ItemLines(env.appDir() + S("~tmp/3/content.xml")), 0);
    EXPECT_TRUE(env.dialogs().Messages().at(0).contains(S("Packed 398 files into 2 MCO files (Backup1*.mco)")));
    EXPECT_TRUE(host.shown.isEmpty());
}

TEST_F(RunTest, OneHundredNinetyNineMakeOneFileWithoutPart)
{
    RunEmoticons(199, mrYes);
    EXPECT_EQ(packedDirs.size(), 1);
    EXPECT_TRUE(QFileInfo::exists(outDir + S("Backup1.mco")));
    EXPECT_FALSE(QFileInfo::exists(outDir + S("Backup1-part1.mco")));
    EXPECT_EQ(env.dialogs().Messages(),
              QStringList{S("Packed 199 files + content.xml into Backup1.mco\r\rView the file in Windows Explorer?")});
    EXPECT_EQ(env.dialogs().calls.back().type, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(host.shown, QStringList{outDir + S("Backup1.mco")});
}

TEST_F(RunTest, TypesContinueAcrossParts)
{
    profile.AddEmoticons(150);
    profile.AddPictures(100);
    Tick(ContentType::Emot);
    Tick(ContentType::Dp);
    core.Run(request);
    const QString part1 = QString::fromLatin1(ReadFile(env.appDir() + S("~tmp/1/content.xml")));
    const QString part2 = QString::fromLatin1(ReadFile(env.appDir() + S("~tmp/2/content.xml")));
    EXPECT_EQ(part1.count(S("type=\"emoticon\"")), 150);
    EXPECT_EQ(part1.count(S("type=\"usertile\"")), 49);
    EXPECT_TRUE(part1.contains(S("file=\"D48.gif\"")));
    EXPECT_EQ(part2.count(S("type=\"emoticon\"")), 0);
    EXPECT_EQ(part2.count(S("type=\"usertile\"")), 51);
    EXPECT_TRUE(part2.contains(S("file=\"D49.gif\"")));
    // every emoticon line of every part names the output file
    EXPECT_EQ(part1.count(S("emoticon:namespaceprefix=\"Backup1\"")), 150);
}

TEST_F(RunTest, CopiesUnderRecognisedNamesWithoutOverwriting)
{
    // Same object file name in two types: ABC.png, then ABC[1].png; an unrecognised object is left
    // out silently, a name with a path is dropped with a warning.
    profile.AddFolder(S("UserTile"),
                      S("One\t<msnobj Location=\"ABC.tmp\" Size=\"1\"/>\tOdd\t<msnobj Location=\"odd.tmp\" Size=\"1\"/>\t"
                        "Up\t<msnobj Location=\"../MapFile/UserTile.map\" Size=\"1\"/>\t"),
                      {{S("ABC.tmp"), PngBytes(1)}, {S("odd.tmp"), QByteArray("plain text")}});
    profile.AddFolder(S("Backgrounds"), S("Two\t<msnobj Location=\"ABC.tmp\" Size=\"1\"/>\t\n"),
                      {{S("ABC.tmp"), PngBytes(2)}});
    Tick(ContentType::Dp);
    Tick(ContentType::Bg);
    WriteFile(env.appDir() + S("~tmp/stale.png"), "old run");
    core.Run(request);
    EXPECT_EQ(core.Items[1]->at(0).Location, S("ABC.png"));
    EXPECT_EQ(core.Items[1]->at(0).MimeType, S("image/png"));
    EXPECT_EQ(core.Items[1]->at(1).Location, S("odd.tmp")); // unchanged, never packed
    EXPECT_EQ(core.Items[2]->at(0).Location, S("ABC[1].png"));
    const QStringList files = QDir(env.appDir() + S("~tmp/1")).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, (QStringList{S("ABC.png"), S("ABC[1].png"), S("content.xml")}));
    EXPECT_FALSE(QFileInfo::exists(env.appDir() + S("~tmp/stale.png")));
    ASSERT_EQ(env.dialogs().Messages().size(), 2);
    EXPECT_EQ(env.dialogs().Messages().at(0),
              S("Display Pictures: the map names files outside its folder; they are left out:\r../MapFile/UserTile.map"));
    EXPECT_TRUE(env.dialogs().Messages().at(1).startsWith(S("Packed 2 files")));
}

TEST_F(RunTest, MissingFoldersAndEmptyTypesAreReported)
{
    WriteFile(profile.root + S("Backgrounds/map.dat"), "<msnobj Location=\"x\"/>");
    Tick(ContentType::Emot);
    Tick(ContentType::Bg);
    core.Run(request);
    EXPECT_EQ(env.dialogs().Messages(),
              (QStringList{S("Directory not found:\r   ") + profile.root + S("CustomEmoticons\r\r")
                               + StripAmpersands(CurrentLanguage().Get(S("BackupCheckSettings"))),
                           S("Backgrounds: No files to backup."),
                           S("No files to pack. MCO file has NOT been created.")}));
}

TEST_F(RunTest, MapFileErrorsAreShownAndTheTypeIsEmpty)
{
    WriteFile(profile.root + S("CustomEmoticons/map.dat"), "<msnobj Creator=\"x\" Size=\"1\"/>");
    WriteFile(profile.root + S("CustomEmoticons/a.tmp"), PngBytes(1));
    WriteFile(profile.root + S("UserTile/map.dat"), "<msnobj Location=\"gone.map\"/>");
    WriteFile(profile.root + S("UserTile/a.tmp"), PngBytes(1));
    Tick(ContentType::Emot);
    Tick(ContentType::Dp);
    core.Run(request);
    const QStringList m = env.dialogs().Messages();
    ASSERT_EQ(m.size(), 5);
    EXPECT_EQ(m.at(0), S("Failed to find \"Location\" in MSN Object XML:\r<msnobj Creator=\"x\" Size=\"1\"/>"));
    EXPECT_EQ(m.at(1), S("Custom Emoticons: No files to backup."));
    EXPECT_EQ(m.at(2), S("Failed to find map file:\r") + profile.root + S("MapFile/gone.map"));
    EXPECT_EQ(m.at(3), S("Display Pictures: No files to backup."));
}

TEST_F(RunTest, MissingMapDatIsReportedAndALineMapTypeThenRaises)
{
    WriteFile(profile.root + S("UserTile/a.tmp"), PngBytes(1));
    WriteFile(profile.root + S("UserTile/b.tmp"), PngBytes(2));
    WriteFile(profile.root + S("Backgrounds/a.tmp"), PngBytes(1));
    WriteFile(profile.root + S("Backgrounds/b.tmp"), PngBytes(2));
    Tick(ContentType::Dp);
    Tick(ContentType::Bg);
    try {
        core.Run(request);
        FAIL() << "an empty line map raises";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().startsWith(S("Linefeed character not found.")));
    }
    const QStringList m = env.dialogs().Messages();
    ASSERT_EQ(m.size(), 3);
    EXPECT_EQ(m.at(0), S("File not found:\r") + profile.root + S("UserTile/map.dat"));
    EXPECT_EQ(m.at(1), S("Display Pictures: No files to backup."));
    EXPECT_EQ(m.at(2), S("File not found:\r") + profile.root + S("Backgrounds/map.dat"));
}

TEST_F(RunTest, AParserErrorEndsTheRunAndTheFinalStepStillRuns)
{
    profile.AddFolder(S("Backgrounds"), S("no line feed\t<msnobj Location=\"a\"/>\t"), {{S("a"), PngBytes(1)}});
    Tick(ContentType::Bg);
    bool running = false;
    struct Host : RecordingHost {
        bool *running;
        void RunStateChanged(bool r) override { *running = r; }
    } h;
    h.running = &running;
    TBackupCore c(h);
    c.DecryptMap = &ReadPlainMap;
    TBackupRequest r = request;
    r.types = {};
    r.types[size_t(ContentType::Bg)] = true;
    EXPECT_THROW(c.Run(r), Exception);
    EXPECT_FALSE(running);
    EXPECT_FALSE(c.Running());
}

TEST_F(RunTest, EmailCheckAndOverwriteQuestion)
{
    profile.AddEmoticons(3);
    Tick(ContentType::Emot);
    request.email = S("other@example.com");
    env.dialogs().Answer(mrCancel);
    core.Run(request);
    ASSERT_EQ(env.dialogs().Messages().size(), 1);
    EXPECT_EQ(env.dialogs().Messages().at(0),
              S("The ID of the email (other@example.com) does not match the directory (") + EmailToId(profile.email)
                  + S(").\rCorrect email address is necessary to decrypt the map files.\r\rContinue anyway?"));
    EXPECT_FALSE(QFileInfo::exists(request.output));

    // An existing "-part" file makes the output count as taken.
    env.dialogs().ClearCalls();
    request.email = profile.email;
    WriteFile(outDir + S("Backup1-part1.mco"), "old");
    env.dialogs().Answer(mrCancel);
    core.Run(request);
    EXPECT_EQ(env.dialogs().Messages(),
              QStringList{S("File already exists:\r   ") + request.output + S("\r\rOverwrite?")});

    // Chosen in the save dialog: no question once; then the flag is cleared.
    env.dialogs().ClearCalls();
    request.outputChosen = true;
    env.dialogs().Answer(mrNo);
    core.Run(request);
    EXPECT_TRUE(core.Result().outputChecked);
    EXPECT_TRUE(env.dialogs().Messages().at(0).startsWith(S("Packed 3 files")));
}

TEST_F(RunTest, CancelInConfirmationEndsTheRunWithUserCancelled)
{
    profile.AddEmoticons(3);
    profile.AddPictures(2);
    Tick(ContentType::Emot);
    Tick(ContentType::Dp);
    request.confirm = true;
    host.confirmAnswer = -1;
    core.Run(request);
    EXPECT_EQ(host.confirmed, QStringList{S("Custom Emoticons")});
    EXPECT_EQ(env.dialogs().Messages(), QStringList{S("Cancelled")});
    EXPECT_TRUE(packedDirs.isEmpty());
}

TEST_F(RunTest, EverythingRemovedInConfirmationMakesNoPackage)
{
    profile.AddEmoticons(2);
    Tick(ContentType::Emot);
    request.confirm = true;
    host.confirmAnswer = 1;
    // The confirmation moved the files away.
    core.PackFolder = [](const QString &, const QString &, bool) { return true; };
    struct Removing : RecordingHost {
        QString tmp;
        std::optional<int> ConfirmItems(ContentType, const QString &, const TMsnArr &items, const TDefaultTable &,
                                        int) override
        {
            for (const TMsnStuff &i : *items)
                QFile::remove(tmp + i.Location);
            return 0;
        }
    } h;
    h.tmp = env.appDir() + S("~tmp/");
    TBackupCore c(h);
    c.DecryptMap = &ReadPlainMap;
    TBackupRequest r = request;
    r.confirm = true;
    r.types[0] = true;
    c.Run(r);
    EXPECT_EQ(env.dialogs().Messages(), QStringList{S("No files to pack. MCO file has NOT been created.")});
    EXPECT_EQ(c.Result().confirmed, 0);
}

TEST_F(RunTest, AltShowsTheDecryptedMapsAndNothingOfTheProfileChanges)
{
    profile.AddEmoticons(2);
    profile.AddLineFolder(S("Winks3"), 2);
    Tick(ContentType::Emot);
    Tick(ContentType::Wink);
    const QByteArray before = TreeChecksum(profile.root);
    request.showDecrypted = true;
    core.Run(request);
    ASSERT_EQ(host.decrypted.size(), 2);
    EXPECT_TRUE(host.decrypted.at(1).startsWith(S("Win 0\t")));
    EXPECT_EQ(TreeChecksum(profile.root), before);
}

TEST_F(RunTest, PackingFailureIsReportedAndTheRunGoesOn)
{
    profile.AddEmoticons(200);
    Tick(ContentType::Emot);
    core.PackFolder = [](const QString &, const QString &, bool) { return false; };
    const QStringList m = RunAnswering({mrOk, mrOk, mrNo});
    ASSERT_EQ(m.size(), 3);
    EXPECT_EQ(m.at(0), S("Error compressing files into Backup1.mco"));
    EXPECT_EQ(m.at(1), S("Error compressing files into Backup1-part2.mco"));
    // Nothing was written: the report says so instead of "Packed 200 files".
    EXPECT_EQ(m.at(2), S("Error compressing files into: Backup1.mco, Backup1-part2.mco\rMCO file has NOT been created."));
    EXPECT_EQ(env.dialogs().calls.back().type, TMsgDlgType::mtError);
    EXPECT_EQ(core.Result().failed, (QStringList{request.output, outDir + S("Backup1-part2.mco")}));
    EXPECT_TRUE(host.packages.isEmpty());
}

TEST_F(RunTest, APartThatFailsIsReportedBesideWhatWasWritten)
{
    profile.AddEmoticons(450);
    Tick(ContentType::Emot);
    // The second part fails; an old file under the output name is not taken for the first part.
    WriteFile(request.output, "an older backup");
    request.outputChosen = true;
    core.PackFolder = [this](const QString &folder, const QString &cabinet, bool) {
        packedDirs << folder;
        return !cabinet.endsWith(S("-part2.mco")) && WriteFile(cabinet, "cab");
    };
    const QStringList m = RunAnswering({mrOk, mrYes});
    ASSERT_EQ(m.size(), 2);
    EXPECT_EQ(m.at(0), S("Error compressing files into Backup1-part2.mco"));
    EXPECT_EQ(m.at(1), S("Packed 251 files into Backup1-part1.mco, Backup1-part3.mco\r\r"
                         "NOT created (error compressing files): Backup1-part2.mco\r\r"
                         "View the file in Windows Explorer?"));
    EXPECT_EQ(env.dialogs().calls.back().type, TMsgDlgType::mtWarning);
    EXPECT_EQ(host.shown, QStringList{outDir + S("Backup1-part1.mco")});
    EXPECT_EQ(ReadFile(outDir + S("Backup1-part1.mco")), "cab");
    EXPECT_FALSE(QFileInfo::exists(outDir + S("Backup1-part2.mco")));

    // When the first part fails, the older file keeps its name and is not reported as written.
    env.dialogs().ClearCalls();
    host.packages.clear();
    QFile::remove(outDir + S("Backup1-part1.mco"));
    QFile::remove(outDir + S("Backup1-part3.mco"));
    WriteFile(request.output, "an older backup");
    core.PackFolder = [](const QString &, const QString &cabinet, bool) {
        return !cabinet.endsWith(S("Backup1.mco")) && WriteFile(cabinet, "cab");
    };
    env.dialogs().Answer(mrOk);
    env.dialogs().Answer(mrNo);
    core.Run(request);
    EXPECT_EQ(ReadFile(request.output), "an older backup");
    EXPECT_FALSE(QFileInfo::exists(outDir + S("Backup1-part1.mco")));
    EXPECT_EQ(host.packages.size(), 2);
    EXPECT_TRUE(env.dialogs().Messages().last().startsWith(S("Packed 251 files into Backup1-part2.mco, Backup1-part3.mco")));
}

TEST(OutputNames, UniqueOutputNameAndOutputExists)
{
    TestEnv env;
    const QString dir = env.path(S("o/"));
    QDir().mkpath(dir);
    EXPECT_EQ(UniqueOutputName(dir + S("Backup.mco")), dir + S("Backup1.mco"));
    WriteFile(dir + S("Backup1.mco"), "x");
    EXPECT_EQ(UniqueOutputName(dir + S("Backup.mco")), dir + S("Backup2.mco"));
    QFile::remove(dir + S("Backup1.mco"));
    WriteFile(dir + S("backup1-PART1.MCO"), "x");
    EXPECT_TRUE(OutputExists(dir + S("Backup1.mco")));
    EXPECT_EQ(UniqueOutputName(dir + S("Backup.mco")), dir + S("Backup2.mco"));
    EXPECT_FALSE(OutputExists(dir + S("Backup1.cab")));
    EXPECT_TRUE(OutputExists(env.path(S("missing/Backup1.mco"))));
    WriteFile(dir + S("[a]1.mco"), "x");
    EXPECT_EQ(UniqueOutputName(dir + S("[a].mco")), dir + S("[a]2.mco"));
}

TEST(FolderChoice, UserFolderContentFolderAndOthers)
{
    TestEnv env;
    const TFolderChoice user = ChooseFolder(S("/p/Application Data/123456/"));
    EXPECT_EQ(user.folderId, S("123456"));
    EXPECT_EQ(user.dir, S("/p/Application Data/123456/"));
    EXPECT_EQ(std::count(user.ticked.begin(), user.ticked.end(), true), 6);
    const TFolderChoice winks = ChooseFolder(S("/p/123456/Winks3/"));
    EXPECT_EQ(winks.dir, S("/p/123456/"));
    EXPECT_EQ(winks.folderId, S("123456"));
    EXPECT_TRUE(winks.ticked[size_t(ContentType::Wink)]);
    EXPECT_EQ(std::count(winks.ticked.begin(), winks.ticked.end(), true), 1);
    const TFolderChoice lower = ChooseFolder(S("/p/123456/winks3")); // the setting's case differs
    EXPECT_EQ(std::count(lower.ticked.begin(), lower.ticked.end(), true), 0);
    EXPECT_EQ(lower.folderId, S("123456"));
    EXPECT_TRUE(ChooseFolder(S("/p/Messenger/")).folderId.isEmpty());
}

TEST_F(RunTest, AMapEntryThatClimbsOutIsNeverListedMovedOrShown)
{
    // Files beside the work folder that a hostile map could name.
    const QString settings = env.appDir() + S("Zorvak.ini");
    const QString older = env.appDir() + S("Backup1.mco");
    WriteFile(settings, "[settings]");
    WriteFile(older, "an earlier package");
    profile.AddFolder(S("Backgrounds"),
                      S("Ini\t<msnobj Location=\"../Zorvak.ini\" Size=\"1\"/>\t\n"
                        "Old\t<msnobj Location=\"..\\Backup1.mco\" Size=\"1\"/>\t\n"
                        "Abs\t<msnobj Location=\"") + settings + S("\" Size=\"1\"/>\t\n"
                        "Good\t<msnobj Location=\"a.tmp\" Size=\"1\"/>\t\n"),
                      {{S("a.tmp"), PngBytes(1)}});
    Tick(ContentType::Bg);
    request.confirm = true;
    env.dialogs().Answer(mrOk); // the warning
    env.dialogs().Answer(mrNo);
    core.Run(request);
    ASSERT_EQ(host.confirmed, QStringList{S("Backgrounds")});
    ASSERT_EQ(core.Items[size_t(ContentType::Bg)]->size(), 1); // the confirmation saw one item
    EXPECT_EQ(ReadFile(settings), "[settings]");
    EXPECT_EQ(ReadFile(older), "an earlier package");
    const QString manifest = QString::fromLatin1(ReadFile(env.appDir() + S("~tmp/1/content.xml")));
    EXPECT_EQ(ItemLines(env.appDir() + S("~tmp/1/content.xml")), 1);
    EXPECT_FALSE(manifest.contains(S("Zorvak.ini")));
    EXPECT_EQ(env.dialogs().Messages().at(0),
              S("Backgrounds: the map names files outside its folder; they are left out:\r../Zorvak.ini\r"
                "..\\Backup1.mco\r") + settings);
    EXPECT_EQ(env.dialogs().calls.at(0).type, TMsgDlgType::mtWarning);

    // The next run empties the work folder: still nothing of the program folder goes with it.
    env.dialogs().ClearCalls();
    request.confirm = false;
    request.outputChosen = true;
    core.Run(request);
    EXPECT_EQ(ReadFile(settings), "[settings]");
}

TEST_F(RunTest, NamesThatDifferOnlyInLetterCaseFindTheirFile)
{
    // Windows ignores letter case; the maps name files in any case.
    WriteFile(profile.root + S("UserTile/map.dat"), "<msnobj Location=\"usertile.MAP\" Size=\"0\"/>");
    WriteFile(profile.root + S("MapFile/UserTile.map"),
              "One\t<msnobj Location=\"abc.TMP\" Size=\"1\"/>\tTwo\t<msnobj Location=\"dup.tmp\" Size=\"1\"/>\t");
    WriteFile(profile.root + S("UserTile/ABC.tmp"), PngBytes(1));
    // Two names that differ only in case: neither is the one.
    WriteFile(profile.root + S("UserTile/DUP.tmp"), PngBytes(2));
    WriteFile(profile.root + S("UserTile/Dup.TMP"), PngBytes(3));
    Tick(ContentType::Dp);
    env.dialogs().Answer(mrNo);
    core.Run(request);
    const TMsnArr &items = core.Items[size_t(ContentType::Dp)];
    ASSERT_EQ(items->size(), 2);
    EXPECT_EQ(items->at(0).Location, S("abc.png"));
    EXPECT_EQ(items->at(1).Location, S("dup.tmp")); // not copied
    EXPECT_EQ(ReadFile(env.appDir() + S("~tmp/1/abc.png")), PngBytes(1));
    EXPECT_EQ(env.dialogs().Messages(),
              QStringList{S("Packed 1 files + content.xml into Backup1.mco\r\rView the file in Windows Explorer?")});
}

TEST_F(RunTest, ACabinetWriterThatRaisesFailsOnlyItsPart)
{
    profile.AddEmoticons(3);
    Tick(ContentType::Emot);
    core.PackFolder = [](const QString &, const QString &, bool) -> bool { throw EInOutError(S("Disk full")); };
    core.Run(request);
    EXPECT_FALSE(core.Running());
    EXPECT_EQ(env.dialogs().Messages(),
              (QStringList{S("Error compressing files into Backup1.mco\r\rDisk full"),
                           S("Error compressing files into: Backup1.mco\rMCO file has NOT been created.")}));
}

TEST_F(RunTest, ProgressAndCancelGoThroughTheHost)
{
    RunEmoticons(450, mrNo);
    ASSERT_FALSE(host.steps.isEmpty());
    EXPECT_EQ(host.steps.first().stage, TBackupStage::Collecting);
    EXPECT_EQ(host.steps.first().done, 0);
    EXPECT_EQ(host.steps.first().total, 1);
    // Packing counts the items of the parts written, part after part, up to every item.
    QStringList names;
    int done = 0;
    for (const auto &step : host.steps.mid(1)) {
        EXPECT_EQ(step.stage, TBackupStage::Packing);
        EXPECT_EQ(step.total, 450);
        EXPECT_GE(step.done, done);
        done = step.done;
        if (!names.contains(step.name))
            names << step.name;
    }
    EXPECT_EQ(done, 450);
    EXPECT_EQ(names, (QStringList{S("Backup1.mco"), S("Backup1-part2.mco"), S("Backup1-part3.mco")}));
    EXPECT_GT(host.polls, 450); // at least once an object copied

    // A cancel asked at a poll in the middle of the copies ends the run: nothing packed.
    RecordingHost cancelling;
    cancelling.cancelAtPoll = 100;
    TBackupCore c(cancelling);
    c.DecryptMap = &ReadPlainMap;
    c.PackFolder = core.PackFolder;
    env.dialogs().ClearCalls();
    request.output = outDir + S("Second.mco");
    const TBackupResult result = c.Run(request);
    EXPECT_EQ(cancelling.polls, 100);
    EXPECT_TRUE(result.packages.isEmpty());
    EXPECT_EQ(env.dialogs().Messages(), QStringList{S("Cancelled")});
}
