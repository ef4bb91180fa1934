// The main window: start-up checks, language switch, closing, the error display, the status hint.
#include "ShellFixture.h"

#include "common/Exceptions.h"
#include "common/unitString.h"
#include "shell/ProductInfo.h"
#include "app/TApplication.h"
#include "shell/uLanguage.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTest>
#include <QTreeWidget>
#include <QGuiApplication>
#include <QSplitter>
#include <cmath>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {
const QStringList kTwoIds{QStringLiteral("157913456"), QStringLiteral("2084526881")};

QString SettingsText() { return QString::fromUtf8(ReadFile(SettingsFilePath())); }
} // namespace

TEST_F(EnvTest, FirstRunWithTwoPassportFoldersShowsTheWelcome)
{
    BuildProfiles(env, kTwoIds);
    TfrmMain frm;
    EnsureScanned(frm, kTwoIds);
    ASSERT_EQ(frm.CountNodesAtLevel(1), 2);
    QString welcomeText;
    env.dialogs().AnswerModal([&](QObject *dialog) {
        welcomeText = dialog->findChild<QLabel *>(QStringLiteral("lbWelcome"))->text();
        return int(mrCancel);
    });
    frm.StartupChecks();
    ASSERT_EQ(env.dialogs().calls.size(), 1u) << env.dialogs().Messages().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(env.dialogs().calls[0].kind, DialogCall::Modal);
    EXPECT_EQ(env.dialogs().calls[0].dialogName, QStringLiteral("TfrmWelcome"));
    EXPECT_EQ(welcomeText,
              QStringLiteral("Zorvak has found more than one Passport ID folders.\n\nTo find out which is yours, click "
                             "OK to open 'Which is my folder?', and then enter your email address (your "
                             "Messenger login).\n\nYou can open it anytime from\n   "
                             "Tools - Which is my folder?... (F5)"));
    EXPECT_FALSE(frm.Terminating);
    EXPECT_FALSE(QFile::exists(SettingsFilePath())) << "Cancel writes nothing";
}

TEST_F(EnvTest, OnePassportFolderOrASettingsFileShowsNoWelcome)
{
    {
        BuildProfiles(env, {kTwoIds.first()});
        TfrmMain frm;
        EnsureScanned(frm, {kTwoIds.first()});
        frm.StartupChecks();
        EXPECT_TRUE(env.dialogs().calls.empty());
    }
    {
        BuildProfiles(env, kTwoIds);
        WriteFile(SettingsFilePath(), QByteArray()); // even an empty file marks an earlier run
        TfrmMain frm;
        EnsureScanned(frm, kTwoIds);
        env.dialogs().ClearCalls();
        frm.StartupChecks();
        EXPECT_TRUE(env.dialogs().calls.empty());
    }
}

TEST_F(EnvTest, NothingFoundIsToldWithTheSearchOffered)
{
    Settings().docSetDir = env.path(QStringLiteral("nothing-here/"));
    for (const int answer : {int(mrNo), int(mrYes)}) {
        TfrmMain frm;
        env.dialogs().ClearCalls();
        env.dialogs().Answer(answer);
        frm.StartupChecks();
        ASSERT_EQ(env.dialogs().calls.size(), answer == mrYes ? 2u : 1u);
        EXPECT_EQ(env.dialogs().calls[0].kind, DialogCall::Message);
        EXPECT_EQ(env.dialogs().calls[0].buttons, TMsgDlgButtons(mbYes | mbNo));
        EXPECT_EQ(env.dialogs().calls[0].text, kCannotFindMsnDataAsk);
        if (answer == mrYes) {
            EXPECT_EQ(env.dialogs().calls[1].kind, DialogCall::Folder) << "Yes searches, its folder first";
            EXPECT_EQ(env.dialogs().calls[1].title, QStringLiteral("Select the disk or folder to search for MSN content"));
        }
    }
}

TEST_F(EnvTest, CdRomShowsNoCdromAndEndsWithoutTheCloseHandler)
{
    env.platform().driveType = DriveType::CdRom;
    BuildProfiles(env, kTwoIds);
    QDir().mkpath(env.appDir() + QStringLiteral("~tmp"));
    TfrmMain frm;
    EnsureScanned(frm, kTwoIds);
    env.dialogs().ClearCalls();
    frm.StartupChecks();
    ASSERT_EQ(env.dialogs().calls.size(), 1u) << "no welcome on a CD-ROM";
    const DialogCall &c = env.dialogs().calls[0];
    EXPECT_EQ(c.kind, DialogCall::Message);
    EXPECT_EQ(c.text, kNoCdrom);
    EXPECT_EQ(c.title, QStringLiteral("Error"));
    EXPECT_EQ(c.type, TMsgDlgType::mtError);
    EXPECT_EQ(c.captions, QStringList{QStringLiteral("OK")});
    EXPECT_TRUE(frm.Terminating);
    EXPECT_TRUE(QDir(env.appDir() + QStringLiteral("~tmp")).exists());
}

TEST_F(EnvTest, NotFixedDrivesWarnAndGoOn)
{
    for (DriveType type : {DriveType::Removable, DriveType::Remote, DriveType::RamDisk, DriveType::Unknown}) {
        env.dialogs().ClearCalls();
        env.platform().driveType = type;
        BuildProfiles(env, kTwoIds);
        TfrmMain frm;
        EnsureScanned(frm, kTwoIds);
        frm.StartupChecks();
        ASSERT_EQ(env.dialogs().calls.size(), 1u) << "no welcome off a fixed drive";
        const DialogCall &c = env.dialogs().calls[0];
        EXPECT_EQ(c.text, kNotFixedDrive);
        EXPECT_EQ(c.title, QStringLiteral("Warning"));
        EXPECT_EQ(c.type, TMsgDlgType::mtWarning);
        EXPECT_EQ(c.buttons, TMsgDlgButtons(mbOK));
        EXPECT_FALSE(frm.Terminating);
    }
}

TEST_F(EnvTest, StartupChecksRunOnceAtTheFirstIdleMoment)
{
    Settings().docSetDir = env.path(QStringLiteral("nothing-here/"));
    TfrmMain frm;
    frm.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(env.dialogs().calls.empty()) << "not without being installed";
    frm.InstallStartupChecks();
    EXPECT_TRUE(env.dialogs().calls.empty()) << "not before the message loop runs";
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(env.dialogs().Messages(), QStringList{kCannotFindMsnDataAsk});
    frm.hide();
    frm.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(env.dialogs().Messages().size(), 1);
}

TEST_F(EnvTest, LanguageSwitchRecaptionsAndCreatesTheSettingsFile)
{
    TfrmMain frm;
    EXPECT_EQ(frm.File1->title(), QStringLiteral("&File"));
    EXPECT_EQ(frm.Settings1->text(), QStringLiteral("&Settings..."));
    EXPECT_EQ(frm.btBackup->toolTip(), QStringLiteral("Backup selected folder"));
    frm.French1->trigger();
    const auto fr = LoadFrench();
    EXPECT_TRUE(frm.French1->isChecked());
    EXPECT_FALSE(frm.English1->isChecked());
    EXPECT_EQ(frm.File1->title(), fr->Get(QStringLiteral("File")));
    EXPECT_NE(frm.File1->title(), QStringLiteral("&File"));
    EXPECT_EQ(frm.CalcId1->text(), fr->Get(QStringLiteral("CalcId")) + QStringLiteral("..."));
    EXPECT_EQ(frm.labelFolderList->text(), fr->Get(QStringLiteral("FolderList")));
    EXPECT_EQ(frm.btBackup->toolTip(), StripAmpersands(fr->Get(QStringLiteral("Backup"))));
    EXPECT_EQ(frm.French1->text(), QStringLiteral("Français")) << "language names are never translated";
    EXPECT_EQ(SettingsText(), QStringLiteral("[Common]\nLanguage=FR\n"));
    EXPECT_TRUE(env.dialogs().calls.empty());

    // The next start reads it back, switches, writes the same value again and shows no welcome.
    WriteFile(SettingsFilePath(), "[Common]\r\nLanguage = SP\r\nemailList=joe@example.com\r\n");
    ResetSettings();
    TfrmMain next;
    EXPECT_TRUE(next.Spanish1->isChecked());
    EXPECT_EQ(next.File1->title(), LoadSpanish()->Get(QStringLiteral("File")));
    EXPECT_TRUE(SettingsText().contains(QStringLiteral("Language=SP"))) << SettingsText().toStdString();
    EXPECT_EQ(EmailById().Count(), 1);
}

TEST_F(EnvTest, LanguageOtherThanTheFourCodesLeavesEnglishAndWritesNothing)
{
    WriteFile(SettingsFilePath(), "[Common]\nLanguage=fr\n");
    TfrmMain frm;
    EXPECT_TRUE(frm.English1->isChecked());
    EXPECT_EQ(frm.File1->title(), QStringLiteral("&File"));
    EXPECT_EQ(SettingsText(), QStringLiteral("[Common]\nLanguage=fr\n"));
}

TEST_F(EnvTest, HandlerErrorIsReportedAndTheWindowKeepsWorking)
{
    env.platform().appDir = QStringLiteral("/proc/zorvak-no-such-folder/");
    TfrmMain frm;
    frm.French1->trigger();
    ASSERT_EQ(env.dialogs().calls.size(), 1u);
    const DialogCall &c = env.dialogs().calls[0];
    EXPECT_EQ(c.text, QStringLiteral("Unable to write to /proc/zorvak-no-such-folder/Zorvak.ini"));
    EXPECT_EQ(c.title, QStringLiteral("Zorvak 2.1"));
    EXPECT_EQ(c.type, TMsgDlgType::mtError);
    EXPECT_EQ(c.captions, QStringList{QStringLiteral("OK")});
    // The switch took effect before the write failed.
    EXPECT_EQ(frm.File1->title(), LoadFrench()->Get(QStringLiteral("File")));
    frm.English1->trigger();
    EXPECT_EQ(frm.File1->title(), QStringLiteral("&File"));
    EXPECT_EQ(env.dialogs().calls.size(), 2u);
    frm.HelpContent1->trigger();
    EXPECT_EQ(env.platform().openedUrls, QStringList{QString::fromLatin1(HelpPage)});
}

TEST_F(EnvTest, ErrorsEscapingAnEventAreShownWithTheApplicationTitle)
{
    EXPECT_FALSE(DeliverReportingErrors([]() -> bool { throw EInOutError(QStringLiteral("Disk full.")); }));
    EXPECT_FALSE(DeliverReportingErrors([]() -> bool { throw 42; }));
    EXPECT_TRUE(DeliverReportingErrors([] { return true; }));
    ASSERT_EQ(env.dialogs().calls.size(), 2u);
    EXPECT_EQ(env.dialogs().calls[0].text, QStringLiteral("Disk full."));
    EXPECT_EQ(env.dialogs().calls[0].title, QStringLiteral("Zorvak 2.1"));
    EXPECT_EQ(env.dialogs().calls[0].type, TMsgDlgType::mtError);
    EXPECT_EQ(env.dialogs().calls[1].text, QStringLiteral("Unknown error."));
}

TEST_F(EnvTest, ClosingDeletesTheTemporaryFoldersAndFiles)
{
    const QString app = env.appDir();
    WriteFile(app + QStringLiteral("~tmp/1/emoticon.png"), "x");
    WriteFile(app + QStringLiteral("~tmpCache/a.jpg"), "x");
    for (int i = 0; i < 300; ++i)
        WriteFile(app + QStringLiteral("~tmp.%1").arg(i), "x");
    WriteFile(app + QStringLiteral("~TMP.GIF"), "x");
    // Not ours to remove here.
    WriteFile(app + QStringLiteral("~tmpDeleted/keep.png"), "x");
    WriteFile(app + QStringLiteral("~tmpToInstall.mco"), "x");
    WriteFile(app + QStringLiteral("~tmpx.png"), "x");
    WriteFile(app + QStringLiteral("Zorvak.ini"), "[Common]\n");
    QDir().mkpath(app + QStringLiteral("~tmp.dir"));
    // A link in place of a temporary folder: the link goes, what it points to stays.
    WriteFile(env.path(QStringLiteral("elsewhere/precious.txt")), "x");
    ASSERT_TRUE(QFile::link(env.path(QStringLiteral("elsewhere")), app + QStringLiteral("~tmp2")));

    TfrmMain frm;
    frm.close();
    const QStringList left = QDir(app).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    EXPECT_EQ(left, (QStringList{QStringLiteral("Zorvak.ini"), QStringLiteral("~tmp.dir"), QStringLiteral("~tmpDeleted"),
                                 QStringLiteral("~tmpToInstall.mco"), QStringLiteral("~tmpx.png")}));
    EXPECT_TRUE(QFile::exists(env.path(QStringLiteral("elsewhere/precious.txt"))));
    EXPECT_TRUE(env.dialogs().calls.empty());
}

TEST_F(EnvTest, ClosingDeletesPlainFilesNamedLikeTheTemporaryFolders)
{
    const QString app = env.appDir();
    for (const char *name : {"~tmp", "~tmp2", "~tmpCache", "~tmpx", "~tmp2.keep"})
        WriteFile(app + QLatin1String(name), "x");
    // "~tmp2.keep" does not match "~tmp.*"; "~tmpx" is no temporary name.
    TfrmMain frm;
    frm.close();
    EXPECT_EQ(QDir(app).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{QStringLiteral("~tmp2.keep"), QStringLiteral("~tmpx")}));
    EXPECT_TRUE(env.dialogs().calls.empty());
}

TEST_F(EnvTest, ClosingWithNothingToDeleteSaysNothing)
{
    TfrmMain frm;
    frm.close();
    EXPECT_TRUE(env.dialogs().calls.empty());
    EXPECT_FALSE(QFile::exists(SettingsFilePath())) << "nothing is saved at close";
}

TEST_F(EnvTest, ExitEndsTheLoopAndCleansTheWorkFilesAsTheCloseBoxDoes)
{
    WriteFile(env.appDir() + QStringLiteral("~tmp.png"), "x");
    WriteFile(env.appDir() + QStringLiteral("~tmp/a.png"), "x");
    TfrmMain frm;
    int rc = -1;
    QTimer::singleShot(0, &frm, [&] { frm.Exit1->trigger(); });
    QTimer::singleShot(5000, &frm, [] { QCoreApplication::exit(99); });
    rc = QCoreApplication::exec();
    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(frm.Terminating);
    EXPECT_FALSE(QFile::exists(env.appDir() + QStringLiteral("~tmp.png")));
    EXPECT_FALSE(QFile::exists(env.appDir() + QStringLiteral("~tmp")));
}

TEST_F(EnvTest, StatusHintIsAtLeast150By40AndCentredOnTheWindow)
{
    TfrmMain frm;
    frm.setGeometry(101, 57, 581, 444);
    frm.ShowStatusHint(QStringLiteral("Working"), -1, -1, 0);
    auto *hint = frm.findChild<QLabel *>(QStringLiteral("StatusHintWindow"));
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(frm.StatusHintVisible());
    const QRect r = hint->geometry();
    EXPECT_EQ(r.width(), 150);
    EXPECT_EQ(r.height(), 40);
    const QRect outer = frm.frameGeometry();
    EXPECT_EQ(r.left(), int(std::nearbyint(outer.left() + (outer.width() - 150) / 2.0)));
    EXPECT_EQ(r.top(), int(std::nearbyint(outer.top() + (outer.height() - 40) / 2.0)));

    // Several lines make it taller; a carriage return is a line break; explicit places are kept.
    frm.ShowStatusHint(QStringLiteral("one\rtwo\rthree\rfour\rfive"), 10, 20, 0);
    EXPECT_GT(hint->height(), 40);
    EXPECT_EQ(hint->pos(), QPoint(20, 10));
    EXPECT_EQ(frm.StatusHintText(), QStringLiteral("one\ntwo\nthree\nfour\nfive"));
    // Never wider than the screen's work area minus 20.
    frm.ShowStatusHint(QString(3000, QLatin1Char('w')) + QStringLiteral(" end"), -1, -1, 0);
    const int workWidth = frm.screen()->availableGeometry().width();
    EXPECT_LE(hint->width(), workWidth - 20);
    frm.HideStatusHint();
    EXPECT_FALSE(frm.StatusHintVisible());
}

TEST_F(EnvTest, StatusHintCountdown)
{
    TfrmMain frm;
    // A 0-second hint stays until hidden; ticks do nothing without a countdown.
    frm.ShowStatusHint(QStringLiteral("stay"), -1, -1, 0);
    EXPECT_FALSE(frm.Timer1->isActive());
    frm.Timer1Timer();
    EXPECT_TRUE(frm.StatusHintVisible());

    // Two seconds: hidden at the second tick, and the timer is released.
    frm.ShowStatusHint(QStringLiteral("two"), -1, -1, 2);
    EXPECT_TRUE(frm.Timer1->isActive());
    EXPECT_EQ(frm.Timer1->interval(), 1000);
    frm.Timer1Timer();
    EXPECT_TRUE(frm.StatusHintVisible());
    frm.Timer1Timer();
    EXPECT_FALSE(frm.StatusHintVisible());
    EXPECT_FALSE(frm.Timer1->isActive());

    // A 0-second hint during a countdown does not reset it: it goes when the countdown ends.
    frm.ShowStatusHint(QStringLiteral("three"), -1, -1, 3);
    frm.Timer1Timer();
    frm.ShowStatusHint(QStringLiteral("until hidden?"), -1, -1, 0);
    frm.Timer1Timer();
    EXPECT_TRUE(frm.StatusHintVisible());
    frm.Timer1Timer();
    EXPECT_FALSE(frm.StatusHintVisible());

    // A new countdown replaces a running one.
    frm.ShowStatusHint(QStringLiteral("five"), -1, -1, 5);
    frm.Timer1Timer();
    frm.ShowStatusHint(QStringLiteral("one"), -1, -1, 1);
    frm.Timer1Timer();
    EXPECT_FALSE(frm.StatusHintVisible());
}

TEST_F(EnvTest, SelectFolderButtonKeepsItsRightEdgeOnTheTreeAfterASwitch)
{
    TfrmMain frm;
    frm.StartupChecks();
    frm.show();
    QCoreApplication::processEvents();
    auto check = [&frm](const char *language) {
        QCoreApplication::processEvents();
        const QRect button = frm.btSelectFolder->geometry();
        const QRect tree = frm.tvDir->geometry();
        EXPECT_EQ(button.right(), tree.right()) << language;
        const int textWidth = QFontMetrics(QApplication::font()).horizontalAdvance(frm.btSelectFolder->text());
        EXPECT_GE(frm.btSelectFolder->width(), textWidth + 5 + 19) << language;
        EXPECT_LE(frm.btSelectFolder->width(), textWidth + 5 + 19 + 2) << language;
    };
    check("EN");
    const int englishWidth = frm.btSelectFolder->width();
    frm.Spanish1->trigger();
    check("SP");
    // "Opciones" is longer than "Options": the button follows its caption.
    EXPECT_NE(frm.btSelectFolder->width(), englishWidth);
    frm.French1->trigger();
    check("FR");
    // French says "Options" as English does: the same width again.
    ASSERT_EQ(LoadFrench()->Get(QStringLiteral("SelectFolder")), QStringLiteral("Options"));
    EXPECT_EQ(frm.btSelectFolder->width(), englishWidth);
}

// The window opens at about 70 % of the screen the first time, then where the user left it (size,
// place, both splitters), unless that place is on no screen any more; the folder side widens to
// the tree's longest name, within 40 % of the window.
TEST_F(EnvTest, WindowOpensWhereItWasLeftOrAtItsFirstPlace)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QString longUser = QStringLiteral("a-windows-user-with-a-rather-long-name-indeed");
    BuildProfiles(env, kTwoIds, longUser);
    QRect first;
    int folderWidth = 0, fileListWidth = 0;
    {
        TfrmMain frm;
        first = frm.geometry();
        EXPECT_EQ(first.width(), std::min(screen.width(), std::max(581, screen.width() * 7 / 10)));
        EXPECT_EQ(first.height(), std::min(screen.height(), std::max(444, screen.height() * 7 / 10)));
        EXPECT_EQ(first.center(), screen.center());
        frm.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));
        EnsureScanned(frm, kTwoIds, longUser);
        QCoreApplication::processEvents();
        const QTreeWidgetItem *user = frm.tvDir->topLevelItem(0);
        const int side = frm.Splitter1->sizes().value(0);
        // The name is whole, or the side is as wide as it may be.
        EXPECT_TRUE(frm.tvDir->visualItemRect(user).right() < frm.tvDir->viewport()->width()
                    || side >= frm.width() * 2 / 5 - 3) << side << " " << frm.width();
        EXPECT_LE(side, frm.width() * 2 / 5);
        EXPECT_GT(side, 243);

        frm.setGeometry(screen.left() + 20, screen.top() + 30, 700, 470);
        QCoreApplication::processEvents();
        frm.Splitter1->setSizes({300, 300});
        frm.Splitter2->setSizes({200, 100});
        folderWidth = frm.Splitter1->sizes().value(0);
        fileListWidth = frm.Splitter2->sizes().value(0);
        frm.close();
    }
    const QRect left(screen.left() + 20, screen.top() + 30, 700, 470);
    EXPECT_TRUE(SettingsText().contains(QStringLiteral("WindowWidth=700"))) << SettingsText().toStdString();
    for (const bool onScreen : {true, false}) {
        SCOPED_TRACE(onScreen);
        if (!onScreen)
            OpenSettingsFile().WriteString(QStringLiteral("Common"), QStringLiteral("WindowLeft"), QStringLiteral("-9000"));
        CloseSettingsFile();
        ResetSettings();
        TfrmMain next;
        EXPECT_EQ(next.geometry(), onScreen ? left : first);
        next.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&next));
        EXPECT_EQ(next.Splitter1->sizes().value(0), folderWidth);
        EXPECT_EQ(next.Splitter2->sizes().value(0), fileListWidth);
    }
}
