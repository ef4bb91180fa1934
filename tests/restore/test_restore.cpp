// Installation end to end: the restore dialog, the local server and the content installer over
// loopback, answered by the scripted dialog service.
#include "HttpProbe.h"
#include "PackageBuilder.h"
#include "cabinet/CabinetTasks.h"
#include "common/unitString.h"
#include "restore/ContentLibrary.h"
#include "restore/RestoreCore.h"
#include "restore/uRestore.h"
#include "shell/uLanguage.h"
#include "shell/uMain.h"
#include "support/TestEnv.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <QXmlStreamReader>

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
        PackageCopyPath() = QString::fromLatin1(PackageCopyName);
        ListenSettings() = TListenSettings{QStringLiteral("127.0.0.1"), FreePort()};
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", m_oldData); }

    QString Package(const QString &name, const QList<TestItem> &items)
    {
        const QString path = env.path(QStringLiteral("packages/") + name);
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(BuildPackage(env.path(QStringLiteral("work")), path, items));
        return path;
    }
    QString CopyPath() const { return env.appDir() + QStringLiteral("~tmpToInstall.mco"); }
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
    PortBlocker busy(ListenSettings().port);

    TfrmMain main;
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

TEST_F(RestoreTest, SplitBackupContinuesPartAfterPartWithoutSecondConfirmation)
{
    for (int part = 1; part <= 3; ++part)
        Package(QStringLiteral("mine-part%1.mco").arg(part),
                {{QStringLiteral("emoticon"), QStringLiteral("e%1.png").arg(part), TinyPng(10 + part),
                  QStringLiteral("E%1").arg(part), QStringLiteral(":e%1:").arg(part)}});
    TfrmRestore dlg;
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

    TfrmRestore dlg;
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
        TfrmRestore dlg;
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
    TfrmRestore dlg;
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
    QDir().mkpath(CopyPath()); // a folder where the copy should go
    env.dialogs().ClearCalls();
    dlg.btStart->click();
    ASSERT_EQ(env.dialogs().Messages().size(), 2);
    EXPECT_TRUE(env.dialogs().Messages()[1].startsWith(QStringLiteral("Failed to copy file to program directory:\r")));
    EXPECT_FALSE(env.dialogs().Messages()[1].endsWith(QLatin1Char('.')));
    EXPECT_FALSE(dlg.HTTPServer.Active());
    QDir().rmdir(CopyPath());

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

    // a package that is refused: its message and status 1
    const QString bad = env.path(QStringLiteral("packages/bad.mco"));
    ASSERT_TRUE(WriteFile(bad, "not a cabinet"));
    run.start(cli, {QStringLiteral("install"), bad, QStringLiteral("--library"), library, QStringLiteral("--port"),
                    QString::number(FreePort())});
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(run.readAllStandardOutput()).startsWith(bad + QStringLiteral("\t-2147467259\tAn error has occured")));
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
