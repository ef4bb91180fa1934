// Installation end to end: the restore dialog, the local server and the content installer over
// loopback, answered by the scripted dialog service.
#include "HttpProbe.h"
#include "PackageBuilder.h"
#include "cabinet/CabinetTasks.h"
#include "cabinet/cabfiles.h"
#include "common/unitString.h"
#include "common/RunFolder.h"
#include "restore/ContentLibrary.h"
#include "restore/RestoreCore.h"
#include "restore/uRestore.h"
#include "shell/uLanguage.h"
#include "app/uMain.h"
#include "support/TestEnv.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QPushButton>
#include <QStandardPaths>
#include <QThread>
#include <QXmlStreamReader>
#include <unistd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <netinet/in.h>
#include <arpa/inet.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {

QString L(const char *key) { return CurrentLanguage().Get(QString::fromLatin1(key)); }
QString F(const char *key, const QString &arg) { return FormatText(L(key), {arg}); }

// Keeps the event loop going until `done` holds (a hung installation fails here, after a minute).
template <typename P> bool WaitFor(P done)
{
    QDeadlineTimer deadline(60000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

class RestoreTest : public EnvTest {
protected:
    void SetUp() override
    {
        m_oldData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", env.path(QStringLiteral("data")).toUtf8());
        library = env.path(QStringLiteral("data/zorvak/installed/"));
        listen = TListenSettings{QStringLiteral("127.0.0.1"), FreePort()};
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", m_oldData); }

    QString Package(const QString &name, const QList<TestItem> &items)
    {
        const QString path = env.path(QStringLiteral("packages/") + name);
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(BuildPackage(env.path(QStringLiteral("work")), path, items));
        return path;
    }
    // The package copy of the run under way (each run has a folder of its own below
    // ~tmpToInstall); empty when there is none.
    QString CopyPath() const
    {
        const QString stage = PackageStageFolder(env.appDir());
        for (const QString &run : QDir(stage).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (QFileInfo::exists(stage + run + QLatin1Char('/') + QLatin1String(PackageCopyName)))
                return stage + run + QLatin1Char('/') + QLatin1String(PackageCopyName);
        return {};
    }
    TListenSettings listen; // the run's address and port handed to each dialog
    QStringList Files(const QString &sub) const
    {
        return QDir(library + sub).entryList(QDir::Files, QDir::Name);
    }

    QString library;

private:
    QByteArray m_oldData;
};

// Starts an installation of `file` in `dlg` and waits for the buttons to come back.
bool InstallAndWait(TfrmRestore *dlg, const QString &file)
{
    dlg->edFile->setText(file);
    dlg->btStart->click();
    return WaitFor([dlg] { return dlg->btStart->isEnabled(); });
}

TEST_F(RestoreTest, MenuOpensDialogAndPackageLandsInLibrary)
{
    const QString pkg = Package(QStringLiteral("Backup3.mco"), {
        {QStringLiteral("emoticon"), QStringLiteral("0001.png"), TinyPng(1), QStringLiteral("A &amp; B"), QStringLiteral(":a&amp;b:")},
        {QStringLiteral("emoticon"), QStringLiteral("0002.png"), TinyPng(2), QStringLiteral("Caf\u00e9"), QStringLiteral("(caf\u00e9)")},
        {QStringLiteral("usertile"), QStringLiteral("0003.png"), TinyPng(3), QStringLiteral("Me/You"), {}},
        {QStringLiteral("background"), QStringLiteral("0004.png"), TinyPng(4), QStringLiteral("Sky"), {}},
        {QStringLiteral("wink"), QStringLiteral("0005.cab"), QByteArray("MSCF-wink"), {}, {}},
    });
    // the configured port is busy: simple mode finds another and the URL carries it
    PortBlocker busy(listen.port);

    TfrmMain main;
    main.RestoreListen = listen;
    env.dialogs().ClearCalls();
    QString portShown;
    bool serverStoppedAfterEvent = false;
    env.dialogs().AnswerModal([&](QObject *d) {
        auto *dlg = qobject_cast<TfrmRestore *>(d);
        EXPECT_TRUE(dlg);
        EXPECT_TRUE(dlg->SimpleMode());
        EXPECT_EQ(dlg->windowTitle(), L("tiRestore"));
        EXPECT_TRUE(InstallAndWait(dlg, pkg));
        portShown = dlg->edPort->text();
        serverStoppedAfterEvent = !dlg->HTTPServer.Active();
        EXPECT_TRUE(QFileInfo::exists(CopyPath()));
        return mrOk;
    });
    main.Restore1Click();

    ASSERT_EQ(env.dialogs().calls.front().dialogName, QStringLiteral("TfrmRestore"));
    EXPECT_EQ(env.dialogs().Messages(), QStringList({F("InstallCabConfirm", QStringLiteral("Backup3.mco")), L("InstallSuccess")}));
    EXPECT_NE(portShown, QString::number(busy.port()));
    EXPECT_TRUE(serverStoppedAfterEvent);
    EXPECT_FALSE(QFileInfo::exists(CopyPath())); // the dialog removed its copy when it closed

    EXPECT_EQ(Files(QStringLiteral("CustomEmoticons")), QStringList({QStringLiteral("A & B.png"), QStringLiteral("Caf\u00e9.png")}));
    EXPECT_EQ(ReadFile(library + QStringLiteral("CustomEmoticons/A & B.png")), TinyPng(1));
    EXPECT_EQ(Files(QStringLiteral("UserTile")), QStringList({QStringLiteral("Me_You.png")}));
    EXPECT_EQ(Files(QStringLiteral("Backgrounds")), QStringList({QStringLiteral("Sky.png")}));
    EXPECT_EQ(Files(QStringLiteral("Winks3")), QStringList({QStringLiteral("0005.cab")}));

    const QList<TLibraryEntry> index = TContentLibrary(library, {}).ReadIndex();
    ASSERT_EQ(index.size(), 5);
    EXPECT_EQ(index[0].file, QStringLiteral("CustomEmoticons/A & B.png"));
    EXPECT_EQ(index[0].name, QStringLiteral("A & B"));
    EXPECT_EQ(index[0].shortcut, QStringLiteral(":a&b:"));
    EXPECT_EQ(index[1].shortcut, QStringLiteral("(caf\u00e9)"));
    EXPECT_EQ(index[2].type, QStringLiteral("usertile"));
    EXPECT_EQ(index[2].name, QStringLiteral("Me/You"));
}

// The index escapes its separators: each field reads back whole, whatever it holds; a backslash
// before any other character stands for that character.
TEST_F(RestoreTest, IndexFieldsReadBackTheirSeparatorsAndBackslashes)
{
    ASSERT_TRUE(WriteFile(library + QStringLiteral("index.tsv"),
                          "Emoticons/a\\tb.png\temoticon\tone\\ntwo\\r\t\\\\x\\q\\\n"
                          "UserTile/c.png\tusertile\tC\t\n"));
    QList<QStringList> entries;
    for (const TLibraryEntry &e : TContentLibrary(library, {}).ReadIndex())
        entries.append({e.file, e.type, e.name, e.shortcut});
    EXPECT_EQ(entries, (QList<QStringList>{{QStringLiteral("Emoticons/a\tb.png"), QStringLiteral("emoticon"),
                                            QStringLiteral("one\ntwo\r"), QStringLiteral("\\xq\\")},
                                           {QStringLiteral("UserTile/c.png"), QStringLiteral("usertile"),
                                            QStringLiteral("C"), QString()}}));
}

TEST_F(RestoreTest, SplitBackupContinuesPartAfterPartWithoutSecondConfirmation)
{
    for (int part = 1; part <= 3; ++part)
        Package(QStringLiteral("mine-part%1.mco").arg(part),
                {{QStringLiteral("emoticon"), QStringLiteral("e%1.png").arg(part), TinyPng(10 + part),
                  QStringLiteral("E%1").arg(part), QStringLiteral(":e%1:").arg(part)}});
    TfrmRestore dlg(nullptr, listen);
    dlg.edFile->setText(env.path(QStringLiteral("packages/mine-part1.mco")));
    dlg.btStart->click();
    // unanswered questions take Enter: OK for the confirmation, Yes for each next part
    ASSERT_TRUE(WaitFor([&] { return env.dialogs().Messages().size() == 6 && dlg.btStart->isEnabled(); }));
    EXPECT_EQ(env.dialogs().Messages(),
              QStringList({F("InstallCabConfirm", QStringLiteral("mine-part1.mco")), L("InstallSuccess"),
                           F("ContCabConf", QStringLiteral("mine-part2.mco")), L("InstallSuccess"),
                           F("ContCabConf", QStringLiteral("mine-part3.mco")), L("InstallSuccess")}));
    EXPECT_EQ(env.dialogs().calls[2].buttons, TMsgDlgButtons(mbYes | mbCancel));
    EXPECT_EQ(dlg.edFile->text(), env.path(QStringLiteral("packages/mine-part3.mco")));
    EXPECT_EQ(Files(QStringLiteral("CustomEmoticons")),
              QStringList({QStringLiteral("E1.png"), QStringLiteral("E2.png"), QStringLiteral("E3.png")}));
}

TEST_F(RestoreTest, RefusedPackagesGiveTheirMessages)
{
    QList<TestItem> many;
    for (int i = 0; i < 201; ++i)
        many.append({QStringLiteral("emoticon"), QStringLiteral("m%1.png").arg(i), TinyPng(i), QStringLiteral("M%1").arg(i),
                     QStringLiteral(":m%1:").arg(i)});
    const QString tooMany = Package(QStringLiteral("many.mco"), many);
    const QString missing = Package(QStringLiteral("missing.mco"), {
        {QStringLiteral("usertile"), QStringLiteral("a.png"), TinyPng(1), QStringLiteral("First"), {}},
        {QStringLiteral("usertile"), QStringLiteral("b.png"), TinyPng(2), QStringLiteral("Gone"), {}, true},
        {QStringLiteral("usertile"), QStringLiteral("c.png"), TinyPng(3), QStringLiteral("Never"), {}},
    });
    const QString notCab = env.path(QStringLiteral("packages/plain.mco"));
    ASSERT_TRUE(WriteFile(notCab, "this is not a cabinet"));

    TfrmRestore dlg(nullptr, listen);
    ASSERT_TRUE(InstallAndWait(&dlg, tooMany));
    EXPECT_EQ(env.dialogs().Messages().last(),
              QStringLiteral("Error occured.\rProbably because the number of items listed in content.xml exceeds 200."));
    EXPECT_FALSE(QDir(library + QStringLiteral("CustomEmoticons")).exists());

    ASSERT_TRUE(InstallAndWait(&dlg, missing));
    EXPECT_EQ(env.dialogs().Messages().last(), L("InstallError"));
    EXPECT_EQ(Files(QStringLiteral("UserTile")), QStringList({QStringLiteral("First.png")}));

    ASSERT_TRUE(InstallAndWait(&dlg, notCab));
    EXPECT_EQ(env.dialogs().Messages().last(), L("InstallError"));
    EXPECT_EQ(env.dialogs().calls.back().type, TMsgDlgType::mtError);
    // no success yet: each file was confirmed
    EXPECT_EQ(env.dialogs().Messages().filter(QStringLiteral("This will add")).size(), 3);
    EXPECT_FALSE(dlg.HTTPServer.Active());
}

TEST_F(RestoreTest, UnreachableUrlReportsDownloadFailure)
{
    TMessengerContentInstaller installer;
    installer.LibraryFolder = library;
    qint32 result = 1;
    bool onMainThread = false;
    installer.OnContentInstalled = [&](TMessengerContentInstaller *, qint32 r) {
        result = r;
        onMainThread = QThread::currentThread() == qApp->thread();
    };
    installer.InstallFromUrl(QStringLiteral("http://127.0.0.1:%1/~tmpToInstall.mco").arg(FreePort()));
    EXPECT_THROW(installer.InstallFromUrl(QStringLiteral("http://127.0.0.1:1/x")), EOleSysError);
    ASSERT_TRUE(WaitFor([&] { return !installer.Busy(); }));
    EXPECT_EQ(result, DownloadFailed);
    EXPECT_TRUE(onMainThread);

    TMsgDlgType kind;
    EXPECT_EQ(ContentInstalledMessage(DownloadFailed, &kind), L("InstallError2"));
    EXPECT_EQ(ContentInstalledMessage(qint32(0x80004001u), &kind), QStringLiteral("Error occured. Error code = -2147467263"));
    EXPECT_EQ(kind, TMsgDlgType::mtError);
}

TEST_F(RestoreTest, ClosingWhileWaitingStopsServerAndDeletesCopy)
{
    const QString pkg = Package(QStringLiteral("x.mco"), {{QStringLiteral("usertile"), QStringLiteral("a.png"), TinyPng(1),
                                                           QStringLiteral("A"), {}}});
    {
        TfrmRestore dlg(nullptr, listen);
        dlg.edFile->setText(pkg);
        dlg.btStart->click();
        ASSERT_FALSE(dlg.btStart->isEnabled()); // waiting for the installer
        ASSERT_TRUE(dlg.HTTPServer.Active());
        const int port = dlg.HTTPServer.Port();
        ASSERT_TRUE(QFileInfo::exists(CopyPath()));
        dlg.close();
        EXPECT_FALSE(dlg.HTTPServer.Active());
        EXPECT_FALSE(QFileInfo::exists(CopyPath()));
        EXPECT_FALSE(Request(port, "HEAD", "/~tmpToInstall.mco").received);
    }
    // the abandoned installation never reports
    QCoreApplication::processEvents();
    EXPECT_EQ(env.dialogs().Messages(), QStringList({F("InstallCabConfirm", QStringLiteral("x.mco"))}));
}

TEST_F(RestoreTest, StartStepsBeforeTheServer)
{
    TfrmRestore dlg(nullptr, listen);
    // nothing chosen: the hint, the open dialog (cancelled), then the missing file
    dlg.btStart->click();
    ASSERT_EQ(env.dialogs().calls.size(), 3u);
    EXPECT_EQ(env.dialogs().calls[0].text, L("SelectCabFirst"));
    EXPECT_EQ(env.dialogs().calls[1].kind, DialogCall::Open);
    EXPECT_EQ(env.dialogs().calls[1].filter, QStringLiteral("MCO/CAB file (*.mco *.cab);;MCO file (*.mco);;CAB file (*.cab)"));
    EXPECT_EQ(env.dialogs().calls[2].text, F("FileNotFound", QString()));

    // Cancel in the confirmation: nothing copied, no server
    const QString pkg = env.path(QStringLiteral("p.mco"));
    ASSERT_TRUE(WriteFile(pkg, "x"));
    env.dialogs().ClearCalls();
    env.dialogs().Answer(mrCancel);
    dlg.edFile->setText(pkg);
    dlg.btStart->click();
    EXPECT_EQ(env.dialogs().Messages(), QStringList({F("InstallCabConfirm", QStringLiteral("p.mco"))}));
    EXPECT_FALSE(QFileInfo::exists(CopyPath()));
    EXPECT_FALSE(dlg.HTTPServer.Active());
    EXPECT_TRUE(dlg.btStart->isEnabled());

    // the copy fails: the system's reason
    ASSERT_TRUE(WriteFile(PackageStageFolder(env.appDir()).chopped(1), "x")); // a file where the copies go
    env.dialogs().ClearCalls();
    dlg.btStart->click();
    ASSERT_EQ(env.dialogs().Messages().size(), 2);
    EXPECT_TRUE(env.dialogs().Messages()[1].startsWith(QStringLiteral("Failed to copy file to program directory:\r")));
    EXPECT_FALSE(env.dialogs().Messages()[1].endsWith(QLatin1Char('.')));
    EXPECT_FALSE(dlg.HTTPServer.Active());
    QFile::remove(PackageStageFolder(env.appDir()).chopped(1));

    // Advanced mode: the address panel; a busy port is reported with the hint, buttons back
    EXPECT_EQ(dlg.btAdvanced->text(), L("Advanced"));
    dlg.btAdvanced->click();
    EXPECT_FALSE(dlg.SimpleMode());
    EXPECT_EQ(dlg.btAdvanced->text(), L("Simple"));
    PortBlocker busy;
    dlg.edPort->setText(QString::number(busy.port()));
    env.dialogs().ClearCalls();
    dlg.btStart->click();
    ASSERT_EQ(env.dialogs().Messages().size(), 2);
    EXPECT_TRUE(env.dialogs().Messages()[1].endsWith(L("PortUsed")));
    EXPECT_TRUE(dlg.btStart->isEnabled());
    EXPECT_TRUE(dlg.btClose->isEnabled());
}

TEST(NextPartFile, FollowsTheNumber)
{
    TestEnv env;
    for (const char *name : {"mine-part1.mco", "mine-part2.mco", "mine-part10.mco", "mine.mco", "mine-party.mco",
                             "-part1.mco", "-part2.mco", "x-Part1.mco", "x-Part2.mco"})
        ASSERT_TRUE(WriteFile(env.path(QString::fromLatin1(name)), "x"));
    const auto next = [&](const char *name) {
        return QFileInfo(NextPartFile(env.path(QString::fromLatin1(name)))).fileName();
    };
    EXPECT_EQ(next("mine-part1.mco"), QStringLiteral("mine-part2.mco"));
    EXPECT_EQ(next("mine-part2.mco"), QString()); // part3 does not exist
    EXPECT_EQ(next("mine-part9.mco"), QStringLiteral("mine-part10.mco"));
    EXPECT_EQ(next("mine.mco"), QString());
    EXPECT_EQ(next("mine-party.mco"), QString());
    EXPECT_EQ(next("-part1.mco"), QString());
    EXPECT_EQ(next("x-Part1.mco"), QString());
}



// zorvak-cli install: the same path without a window, part after part.
TEST_F(RestoreTest, CliInstallsAllParts)
{
    for (int part = 1; part <= 2; ++part)
        Package(QStringLiteral("cli-part%1.mco").arg(part),
                {{QStringLiteral("background"), QStringLiteral("b%1.png").arg(part), TinyPng(part), QStringLiteral("B%1").arg(part), {}}});
    const QString cli = QStringLiteral(ZORVAK_CLI_PATH);
    ASSERT_TRUE(QFileInfo(cli).isExecutable()) << cli.toStdString();
    const QString first = env.path(QStringLiteral("packages/cli-part1.mco"));
    QProcess run;
    run.start(cli, {QStringLiteral("install"), first, QStringLiteral("--library"), library, QStringLiteral("--all-parts"),
                    QStringLiteral("--port"), QString::number(FreePort())});
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(run.readAllStandardOutput()),
              first + QStringLiteral("\t0\tContent installed successfully.\n") + env.path(QStringLiteral("packages/cli-part2.mco"))
                  + QStringLiteral("\t0\tContent installed successfully.\n"));
    EXPECT_EQ(Files(QStringLiteral("Backgrounds")), QStringList({QStringLiteral("B1.png"), QStringLiteral("B2.png")}));

    // On a terminal (util-linux "script" gives it one) the parts installed so far show on
    // standard error, cleared before each result line.
    if (!QStandardPaths::findExecutable(QStringLiteral("script")).isEmpty()) {
        const QString other = env.path(QStringLiteral("library2"));
        run.start(QStringLiteral("script"),
                  {QStringLiteral("-qec"),
                   QStringLiteral("'%1' install '%2' --library '%3' --all-parts --port %4")
                       .arg(cli, first, other, QString::number(FreePort())),
                   QStringLiteral("/dev/null")});
        ASSERT_TRUE(run.waitForFinished(60000));
        EXPECT_EQ(run.exitCode(), 0);
        const QString terminal = QString::fromUtf8(run.readAllStandardOutput());
        EXPECT_TRUE(terminal.contains(QStringLiteral("\r0/2 cli-part1.mco\x1b[K\r\x1b[K") + first + QLatin1Char('\t')))
            << terminal.toStdString();
        EXPECT_TRUE(terminal.contains(QStringLiteral("\r1/2 cli-part2.mco\x1b[K\r\x1b[K"))) << terminal.toStdString();
        EXPECT_EQ(QDir(other + QStringLiteral("/Backgrounds")).entryList(QDir::Files).size(), 2);
    }

    // a package that is refused: its message and status 1
    const QString bad = env.path(QStringLiteral("packages/bad.mco"));
    ASSERT_TRUE(WriteFile(bad, "not a cabinet"));
    run.start(cli, {QStringLiteral("install"), bad, QStringLiteral("--library"), library, QStringLiteral("--port"),
                    QString::number(FreePort())});
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(run.readAllStandardOutput()).startsWith(bad + QStringLiteral("\t-2147467259\tAn error has occured")));
}

// Two installs started together into one library, again and again: each serves and installs
// its own package and both end up whole in the library and its index.
TEST_F(RestoreTest, TwoCliInstallsAtOnceBothLandAndAreIndexed)
{
    const QString cli = QStringLiteral(ZORVAK_CLI_PATH);
    QStringList expected;
    for (int round = 0; round < 3; ++round) {
        QStringList packages;
        for (const QString &side : {QStringLiteral("A"), QStringLiteral("B")}) {
            QList<TestItem> items;
            for (int i = 0; i < 4; ++i) {
                const QString name = QStringLiteral("%1 %2 %3").arg(side).arg(round).arg(i);
                items.append({QStringLiteral("emoticon"), QStringLiteral("%1.png").arg(i), TinyPng(round * 10 + i + (side == u'A' ? 0 : 100)),
                              name, QStringLiteral(":%1:").arg(name)});
                expected << QStringLiteral("CustomEmoticons/") + name + QStringLiteral(".png");
            }
            packages << Package(QStringLiteral("%1%2.mco").arg(side).arg(round), items);
        }
        const int port = FreePort(); // both ask for the same port: one of them draws another
        QProcess runs[2];
        for (int i = 0; i < 2; ++i)
            runs[i].start(cli, {QStringLiteral("install"), packages[i], QStringLiteral("--library"), library, QStringLiteral("--port"),
                                QString::number(port)});
        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(runs[i].waitForFinished(60000));
            EXPECT_EQ(runs[i].exitCode(), 0) << runs[i].readAllStandardError().toStdString();
            EXPECT_EQ(QString::fromUtf8(runs[i].readAllStandardOutput()),
                      packages[i] + QStringLiteral("\t0\tContent installed successfully.\n"));
        }
    }
    QStringList indexed;
    for (const TLibraryEntry &e : TContentLibrary(library, TContentLibrary::SubdirsInUse()).ReadIndex())
        indexed << e.file;
    indexed.sort();
    expected.sort();
    EXPECT_EQ(indexed, expected);
    QStringList files;
    for (const QString &f : Files(QStringLiteral("CustomEmoticons")))
        files << QStringLiteral("CustomEmoticons/") + f;
    EXPECT_EQ(files, expected);
    EXPECT_FALSE(QFileInfo::exists(PackageStageFolder(env.appDir()))); // every run removed its own copy
}

// An install whose copy is killed half-way leaves no package under the copy's name; the next
// install removes what it left and installs.
TEST_F(RestoreTest, KilledCliInstallIsCleanedUpByTheNext)
{
    const QString cli = QStringLiteral(ZORVAK_CLI_PATH);
    QRandomGenerator random(7);
    QByteArray noise(300000, '\0');
    for (char &c : noise)
        c = char(random.generate()); // not compressible
    const QString big = Package(QStringLiteral("big.mco"), {{QStringLiteral("background"), QStringLiteral("n.bin"), noise,
                                                              QStringLiteral("Noise"), {}}});
    ASSERT_GT(QFileInfo(big).size(), 200000);
    // Both runs keep their work files in this test's program folder.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ZORVAK_APPDIR"), env.appDir());
    QProcess killed;
    killed.setProcessEnvironment(environment);
    killed.setChildProcessModifier([] {
        const struct rlimit limit = {65536, 65536}, noCore = {0, 0}; // the copy's write past it gets SIGXFSZ
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::setrlimit(RLIMIT_CORE, &noCore);
    });
    killed.start(cli, {QStringLiteral("install"), big, QStringLiteral("--library"), library, QStringLiteral("--port"),
                       QString::number(FreePort())});
    ASSERT_TRUE(killed.waitForFinished(60000));
    EXPECT_EQ(killed.exitStatus(), QProcess::CrashExit);
    const QString stage = PackageStageFolder(env.appDir());
    ASSERT_EQ(QDir(stage).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    EXPECT_TRUE(CopyPath().isEmpty()); // only the hidden partial copy, never the final name

    const QString small = Package(QStringLiteral("small.mco"), {{QStringLiteral("background"), QStringLiteral("s.png"), TinyPng(1),
                                                                  QStringLiteral("Small"), {}}});
    QProcess next;
    next.setProcessEnvironment(environment);
    next.start(cli, {QStringLiteral("install"), small, QStringLiteral("--library"), library, QStringLiteral("--port"),
                     QString::number(FreePort())});
    ASSERT_TRUE(next.waitForFinished(60000));
    EXPECT_EQ(next.exitCode(), 0) << next.readAllStandardError().toStdString();
    EXPECT_EQ(Files(QStringLiteral("Backgrounds")), QStringList({QStringLiteral("Small.png")}));
    EXPECT_FALSE(QFileInfo::exists(stage)); // the ended run's folder went with the new run's own
}

// While another installation holds the library, the window says that it waits, then installs.
TEST_F(RestoreTest, WindowSaysItWaitsForAnotherInstallation)
{
    const QString pkg = Package(QStringLiteral("w.mco"), {{QStringLiteral("usertile"), QStringLiteral("a.png"), TinyPng(1),
                                                           QStringLiteral("Waited"), {}}});
    QDir().mkpath(library);
    auto other = fileops::TFileLock::Acquire(library + QStringLiteral(".index.lock"));
    ASSERT_TRUE(other);
    TfrmRestore dlg(nullptr, listen);
    dlg.edFile->setText(pkg);
    dlg.btStart->click();
    ASSERT_TRUE(WaitFor([&] { return dlg.lbWaiting->isVisibleTo(&dlg); }));
    EXPECT_EQ(dlg.lbWaiting->text(), L("InstallWaiting"));
    EXPECT_FALSE(dlg.btStart->isEnabled());
    other.reset();
    ASSERT_TRUE(WaitFor([&] { return dlg.btStart->isEnabled(); }));
    EXPECT_FALSE(dlg.lbWaiting->isVisibleTo(&dlg));
    EXPECT_EQ(env.dialogs().Messages().back(), L("InstallSuccess"));
    EXPECT_EQ(Files(QStringLiteral("UserTile")), QStringList({QStringLiteral("Waited.png")}));
}

// Package checks and placement in the library, without the server.
TEST_F(RestoreTest, LibraryChecksManifestsAndPlacesObjects)
{
    TContentLibrary lib(library, TContentLibrary::SubdirsInUse());
    const QString work = env.path(QStringLiteral("lib-work"));
    const auto pack = [&](const QByteArray &manifest, const QMap<QString, QByteArray> &files) {
        QDir(work).removeRecursively();
        EXPECT_TRUE(WriteFile(work + QStringLiteral("/content.xml"), manifest));
        for (auto it = files.begin(); it != files.end(); ++it)
            EXPECT_TRUE(WriteFile(work + QLatin1Char('/') + it.key(), it.value()));
        const QString cab = env.path(QStringLiteral("lib.mco"));
        TCABFile cabinet;
        EXPECT_TRUE(PackFolder(cabinet, work, cab, false));
        return lib.InstallPackage(cab);
    };
    const QByteArray head = "<?xml version=\"1.0\"?>\r\n";
    // another namespace, malformed XML, no manifest at all
    EXPECT_EQ(pack(head + "<package xmlns=\"http://example.com/other\"><item type=\"usertile\" file=\"a.png\" /></package>",
                   {{QStringLiteral("a.png"), TinyPng(1)}}), InstallFailed);
    EXPECT_EQ(pack(head + "<package xmlns=\"http://messenger.msn.com/messengercontent/1.0\"><item", {{QStringLiteral("a.png"), TinyPng(1)}}),
              InstallFailed);
    EXPECT_EQ(lib.ReadIndex().size(), 0);

    // a listed name that climbs out of the package counts as missing
    const QByteArray pkgOpen = head + "<package xmlns=\"http://messenger.msn.com/messengercontent/1.0\">";
    EXPECT_EQ(pack(pkgOpen + "<item type=\"usertile\" file=\"../a.png\" /></package>", {{QStringLiteral("a.png"), TinyPng(1)}}),
              InstallFailed);

    // the same object twice is kept once; another object under a taken name gets a number
    const QByteArray tile = pkgOpen + "<item xmlns:u=\"http://messenger.msn.com/usertile/1.0\" type=\"usertile\" file=\"A.PNG\" "
                                      "u:displayname=\".hidden\" /></package>";
    EXPECT_EQ(pack(tile, {{QStringLiteral("a.png"), TinyPng(1)}}), InstallOk); // file names match without case
    EXPECT_EQ(pack(tile, {{QStringLiteral("a.png"), TinyPng(1)}}), InstallOk);
    EXPECT_EQ(pack(tile, {{QStringLiteral("a.png"), TinyPng(2)}}), InstallOk);
    EXPECT_EQ(Files(QStringLiteral("UserTile")), QStringList({QStringLiteral("_hidden (2).png"), QStringLiteral("_hidden.png")}));
    EXPECT_EQ(lib.ReadIndex().size(), 2);

    // a manifest made by Messenger itself (UTF-8, ids, a kind this program does not know)
    ZORVAK_REQUIRE_SAMPLES("messenger");
    for (const char *sample : {"backgrounds", "scenes"}) {
        const QString dir = SamplesFolder(QStringLiteral("messenger")) + QLatin1Char('/') + QString::fromLatin1(sample);
        const QByteArray manifest = ReadFile(dir + QStringLiteral("/content.xml"));
        ASSERT_FALSE(manifest.isEmpty()) << sample;
        QMap<QString, QByteArray> files;
        QXmlStreamReader xml(manifest);
        int shade = 100;
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("item"))
                files.insert(xml.attributes().value(QLatin1String("file")).toString(), TinyPng(shade++));
        EXPECT_EQ(pack(manifest, files), InstallOk) << sample;
    }
    EXPECT_TRUE(Files(QStringLiteral("Backgrounds")).contains(QStringLiteral("Planets.jpg")));
    EXPECT_TRUE(Files(QStringLiteral("scene")).contains(QStringLiteral("Daisy Hill.png")));
}
// While a package is served, only its folder is reachable: the settings file, the backups and
// the content library beside it in the program folder are not.
TEST_F(RestoreTest, OnlyThePackageIsServed)
{
    const QString pkg = Package(QStringLiteral("x.mco"), {{QStringLiteral("usertile"), QStringLiteral("a.png"), TinyPng(1),
                                                           QStringLiteral("A"), {}}});
    ASSERT_TRUE(WriteFile(env.appDir() + QStringLiteral("Zorvak.ini"), "[General]\r\nsecret=1\r\n"));
    ASSERT_TRUE(WriteFile(env.appDir() + QStringLiteral("Backup1.mco"), "backup"));
    TfrmRestore dlg(nullptr, listen);
    dlg.edFile->setText(pkg);
    dlg.btStart->click();
    ASSERT_TRUE(dlg.HTTPServer.Active());
    const int port = dlg.HTTPServer.Port();
    EXPECT_EQ(Request(port, "HEAD", "/~tmpToInstall.mco").Status(), 200); // the URL is unchanged
    EXPECT_EQ(Request(port, "GET", "/Zorvak.ini").Status(), 404);
    EXPECT_EQ(Request(port, "GET", "/Backup1.mco").Status(), 404);
    EXPECT_NE(Request(port, "GET", "/../Zorvak.ini").Status(), 200);
    EXPECT_NE(Request(port, "GET", "/%2e%2e/Zorvak.ini").Status(), 200);
    EXPECT_EQ(QDir(QFileInfo(CopyPath()).path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({QStringLiteral("~tmpToInstall.mco")}));
    dlg.close();
    // the copy and its folder are gone; the program folder keeps its own files
    EXPECT_FALSE(QFileInfo::exists(PackageStageFolder(env.appDir())));
    EXPECT_TRUE(QFileInfo::exists(env.appDir() + QStringLiteral("Zorvak.ini")));
}

// The package copies live below one folder of the program folder, each run in a folder of its
// own that only it removes; the listen address and port are kept by the main window from one
// restore to the next.
TEST_F(RestoreTest, StageFolderIsFixedAndTheRunKeepsItsAddress)
{
    EXPECT_EQ(PackageStageFolder(QStringLiteral("/p/app/")), QStringLiteral("/p/app/~tmpToInstall/"));
    EXPECT_EQ(PackageStageFolder(QStringLiteral("/p/app")), QStringLiteral("/p/app/~tmpToInstall/"));
    const QString a = Package(QStringLiteral("a.mco"), {{QStringLiteral("usertile"), QStringLiteral("a.png"), TinyPng(1), QStringLiteral("A"), {}}});
    const QString b = Package(QStringLiteral("b.mco"), {{QStringLiteral("usertile"), QStringLiteral("b.png"), TinyPng(2), QStringLiteral("B"), {}}});
    QString reason;
    auto first = TPackageStage::Create(env.appDir(), a, &reason);
    auto second = TPackageStage::Create(env.appDir(), b, &reason);
    ASSERT_TRUE(first && second) << reason.toStdString();
    EXPECT_NE(first->Folder(), second->Folder());
    EXPECT_TRUE(first->Folder().startsWith(PackageStageFolder(env.appDir())));
    EXPECT_EQ(QDir(first->Folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({QLatin1String(PackageCopyName)}));
    const QString secondCopy = second->CopyPath();
    first.reset();
    EXPECT_EQ(ReadFile(secondCopy), ReadFile(b)); // the other run's copy stays
    second.reset();
    EXPECT_FALSE(QFileInfo::exists(PackageStageFolder(env.appDir())));
    { TfrmRestore dialog(nullptr, listen); }
    EXPECT_EQ(PackageUrl(QStringLiteral("127.0.0.1"), 79), QStringLiteral("http://127.0.0.1:79/~tmpToInstall.mco"));
    EXPECT_EQ(PackageUrl(QStringLiteral("::1"), 8080), QStringLiteral("http://[::1]:8080/~tmpToInstall.mco"));

    const QString pkg = Package(QStringLiteral("y.mco"), {{QStringLiteral("usertile"), QStringLiteral("a.png"), TinyPng(1),
                                                           QStringLiteral("A"), {}}});
    TfrmMain main;
    main.RestoreListen = listen;
    const int other = FreePort();
    QStringList shown;
    const auto answer = [&](QObject *d) {
        auto *dlg = qobject_cast<TfrmRestore *>(d);
        shown << dlg->edIp->text() + QLatin1Char(':') + dlg->edPort->text();
        if (shown.size() == 1) {
            dlg->edPort->setText(QString::number(other));
            EXPECT_TRUE(InstallAndWait(dlg, pkg));
        }
        return mrOk;
    };
    env.dialogs().AnswerModal(answer);
    main.Restore1Click();
    env.dialogs().AnswerModal(answer);
    main.Restore1Click();
    EXPECT_EQ(shown, QStringList({QStringLiteral("127.0.0.1:%1").arg(listen.port), QStringLiteral("127.0.0.1:%1").arg(other)}));
    EXPECT_EQ(main.RestoreListen.port, other);
}

// Item types and names from a package never take the name of the library's index; a library
// an older version broke that way is repaired; an index that cannot be written stops the
// installation before anything is copied.
TEST_F(RestoreTest, LibraryIndexSurvivesHostileTypesAndNames)
{
    TContentLibrary lib(library, TContentLibrary::SubdirsInUse());
    const QString work = env.path(QStringLiteral("idx-work"));
    const auto pack = [&](TContentLibrary &into, const QByteArray &items, const QByteArray &data) {
        QDir(work).removeRecursively();
        EXPECT_TRUE(WriteFile(work + QStringLiteral("/content.xml"),
                              "<?xml version=\"1.0\"?>\r\n<package xmlns=\"http://messenger.msn.com/messengercontent/1.0\">"
                                  + items + "</package>"));
        EXPECT_TRUE(WriteFile(work + QStringLiteral("/a.png"), data));
        const QString cab = env.path(QStringLiteral("idx.mco"));
        TCABFile cabinet;
        EXPECT_TRUE(PackFolder(cabinet, work, cab, false));
        return into.InstallPackage(cab);
    };
    EXPECT_EQ(pack(lib, "<item type=\"index.tsv\" file=\"a.png\" displayname=\"X\" />", TinyPng(1)), InstallOk);
    EXPECT_TRUE(QFileInfo(library + QStringLiteral("index.tsv")).isFile());
    EXPECT_EQ(pack(lib, "<item type=\"INDEX.TSV\" file=\"a.png\" displayname=\"Y\" />", TinyPng(2)), InstallOk);
    EXPECT_EQ(pack(lib, "<item type=\"usertile\" file=\"a.png\" displayname=\"Z\" />", TinyPng(3)), InstallOk);
    EXPECT_EQ(lib.ReadIndex().size(), 3);
    EXPECT_EQ(lib.ReadIndex().at(0).file, QStringLiteral("_index.tsv/X.png"));

    // a library with a folder in the index's place: moved aside, index written again
    const QString broken = env.path(QStringLiteral("broken/"));
    ASSERT_TRUE(WriteFile(broken + QStringLiteral("index.tsv/old.png"), TinyPng(4)));
    TContentLibrary repaired(broken, {});
    EXPECT_EQ(pack(repaired, "<item type=\"usertile\" file=\"a.png\" displayname=\"New\" />", TinyPng(5)), InstallOk);
    EXPECT_TRUE(QFileInfo(broken + QStringLiteral("index.tsv")).isFile());
    EXPECT_EQ(ReadFile(broken + QStringLiteral("_index.tsv/old.png")), TinyPng(4));
    EXPECT_EQ(pack(repaired, "<item type=\"usertile\" file=\"a.png\" displayname=\"Next\" />", TinyPng(6)), InstallOk);
    EXPECT_EQ(repaired.ReadIndex().size(), 2);

    // something the library cannot move aside: reported, and nothing is copied
    const QString blocked = env.path(QStringLiteral("blocked/"));
    QDir().mkpath(blocked);
    ASSERT_TRUE(QFile::link(env.path(QStringLiteral("nowhere")), blocked + QStringLiteral("index.tsv")));
    TContentLibrary stuck(blocked, {});
    EXPECT_EQ(pack(stuck, "<item type=\"usertile\" file=\"a.png\" displayname=\"A\" />", TinyPng(7)), InstallFailed);
    EXPECT_TRUE(stuck.LastError().contains(QStringLiteral("index"))) << qPrintable(stuck.LastError());
    EXPECT_EQ(QDir(blocked).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
              QStringList({QStringLiteral("index.tsv")}));
}

// A display name within the character limit but beyond the file system's 255 bytes is cut on a
// character boundary, keeping the extension; the index keeps the whole name.
TEST_F(RestoreTest, LongDisplayNamesAreCutInBytes)
{
    const QString cjk(84, QChar(0x6F22)); // 252 bytes of UTF-8
    QString emoji;
    for (int i = 0; i < 40; ++i)
        emoji += QString::fromUcs4(U"\U0001F600", 1); // 160 bytes, 80 UTF-16 units
    // as the backup writes them into content.xml: character references
    const QString cjkRef = QStringLiteral("&#28450;").repeated(84);
    const QString emojiRef = QStringLiteral("a") + QStringLiteral("&#128512;").repeated(80);
    const QString pkg = Package(QStringLiteral("long.mco"), {
        {QStringLiteral("emoticon"), QStringLiteral("0001.png"), TinyPng(1), cjkRef, QStringLiteral(":a:")},
        {QStringLiteral("emoticon"), QStringLiteral("0002.png"), TinyPng(2), cjkRef, QStringLiteral(":b:")},
        {QStringLiteral("usertile"), QStringLiteral("0003.png"), TinyPng(3), emojiRef, {}},
    });
    TContentLibrary lib(library, TContentLibrary::SubdirsInUse());
    ASSERT_EQ(lib.InstallPackage(pkg), InstallOk) << qPrintable(lib.LastError());
    const QStringList emoticons = Files(QStringLiteral("CustomEmoticons"));
    ASSERT_EQ(emoticons.size(), 2);
    for (const QString &f : emoticons) {
        EXPECT_LE(f.toUtf8().size(), 255) << qPrintable(f);
        EXPECT_TRUE(f.endsWith(QStringLiteral(".png")));
        EXPECT_TRUE(f.startsWith(QString(80, QChar(0x6F22))));
    }
    const QStringList tiles = Files(QStringLiteral("UserTile"));
    ASSERT_EQ(tiles.size(), 1);
    EXPECT_LE(tiles[0].toUtf8().size(), 255);
    // the 120-character limit counts UTF-16 units: "a" and 59 whole characters, never half of one
    EXPECT_EQ(tiles[0], QStringLiteral("a") + (emoji + emoji).left(118) + QStringLiteral(".png"));
    const QList<TLibraryEntry> index = lib.ReadIndex();
    ASSERT_EQ(index.size(), 3);
    EXPECT_EQ(index[0].name, cjk);
}

// zorvak-cli serve and install: an IPv6 address in brackets in the URLs; options as
// "--opt value", "--opt=value", "--" before names; unknown options are usage errors.
TEST_F(RestoreTest, CliServeAndInstallOptions)
{
    const QString cli = QStringLiteral(ZORVAK_CLI_PATH);
    const QString dir = env.path(QStringLiteral("served"));
    ASSERT_TRUE(WriteFile(dir + QStringLiteral("/f.txt"), "x"));
    QProcess run;
    run.start(cli, {QStringLiteral("serve"), dir, QStringLiteral("--bogus")});
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(run.exitCode(), 2);
    EXPECT_TRUE(run.readAllStandardError().contains("zorvak-cli serve: unknown option: --bogus"));
    run.start(cli, {QStringLiteral("install"), QStringLiteral("a.mco"), QStringLiteral("b.mco")});
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(run.exitCode(), 2);
    run.start(cli, {QStringLiteral("install"), QStringLiteral("--port=%1").arg(FreePort()), QStringLiteral("--"),
                    env.path(QStringLiteral("missing.mco"))});
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(run.exitCode(), 1); // a file that is not there: the operation failed, the usage was right

    // serve on the IPv6 loopback when this machine has one
    const int probe = ::socket(AF_INET6, SOCK_STREAM, 0);
    sockaddr_in6 addr{};
    addr.sin6_family = AF_INET6;
    addr.sin6_addr = in6addr_loopback;
    const bool haveV6 = probe >= 0 && ::bind(probe, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0;
    if (probe >= 0)
        ::close(probe);
    if (!haveV6)
        GTEST_SKIP() << "no IPv6 loopback on this machine";
    const int port = FreePort();
    QProcess serve;
    serve.setReadChannel(QProcess::StandardError);
    serve.start(cli, {QStringLiteral("serve"), QStringLiteral("--ip=::1"), QStringLiteral("--port"), QString::number(port), dir});
    ASSERT_TRUE(serve.waitForStarted(30000));
    QByteArray err;
    QDeadlineTimer deadline(30000);
    while (!err.contains('\n') && !deadline.hasExpired() && serve.state() == QProcess::Running) {
        serve.waitForReadyRead(200);
        err += serve.readAllStandardError();
    }
    serve.terminate();
    serve.waitForFinished(30000);
    EXPECT_TRUE(err.contains("at http://[::1]:" + QByteArray::number(port) + "/")) << err.constData();
}

} // namespace
// Simple mode: the two panels only; Advanced mode: the label's height as it wraps + 65 more.
TEST(RestoreDialog, HeightsOfTheTwoModes)
{
    TestEnv env;
    TfrmRestore dlg;
    dlg.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(dlg.width(), 580);
    EXPECT_EQ(dlg.height(), dlg.panTop->height() + dlg.panBottom->height());
    dlg.btAdvanced->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(dlg.height(), dlg.lbIns->height() + dlg.panTop->height() + dlg.panBottom->height() + 65);
    EXPECT_GE(dlg.lbIns->height(), dlg.lbIns->heightForWidth(dlg.lbIns->width()));
    dlg.btAdvanced->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(dlg.height(), dlg.panTop->height() + dlg.panBottom->height());
}
