// The backup window: proposals, folder choice, e-mail completion, the save dialog, Backup1Click,
// and the whole backup of the demo profile through the window, checked by three other readers.
#include "dpapi/DpapiKeyMaterial.h"
#include "backup/uBackup.h"
#include "backup/uSelectFiles.h"
#include "browse/Recognition.h"
#include "common/Exceptions.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "app/uMain.h"
#include "test_run_profile.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {
QString S(const char *text) { return QString::fromUtf8(text); }

int Ticked(TfrmBackup &d)
{
    int n = 0;
    for (QCheckBox *c : d.TypeBoxes())
        n += c->isChecked();
    return n;
}
} // namespace

TEST(BackupDialog, ProposesTheFirstFreeOutputName)
{
    TestEnv env;
    EXPECT_EQ(TfrmBackup().edOutput->text(), env.appDir() + S("Backup1.mco"));
    WriteFile(env.appDir() + S("Backup1.mco"), "x");
    EXPECT_EQ(TfrmBackup().edOutput->text(), env.appDir() + S("Backup2.mco"));
    QFile::remove(env.appDir() + S("Backup1.mco"));
    WriteFile(env.appDir() + S("Backup1-part1.mco"), "x");
    TfrmBackup d;
    EXPECT_EQ(d.edOutput->text(), env.appDir() + S("Backup2.mco"));
    EXPECT_EQ(d.windowTitle(), S("Backup (to MCO File)"));
    EXPECT_TRUE(d.chConfirm->isChecked());
    EXPECT_TRUE(d.chSkipDefault->isChecked());
    EXPECT_TRUE(d.btCancel->isHidden());
    EXPECT_TRUE(d.memDecrypted->isHidden());
    EXPECT_EQ(d.edPassword->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Ticked(d), 0);
}

TEST(BackupDialog, AnInstalledProgramProposesTheDocumentsFolder)
{
    // The program's folder takes no files (an installed program): the package is proposed in
    // the documents folder, not in the folder of the program's own data.
    TestEnv env;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_TRUE(QDir().mkpath(documents));
    const QString readOnly = env.path(S("usr/bin/"));
    QDir().mkpath(readOnly);
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
                                                    | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    env.platform().appDir = readOnly;
    {
        PermissionsApply apply;
        ASSERT_TRUE(apply.ok());
        EXPECT_EQ(TfrmBackup().edOutput->text(), documents + S("/Backup1.mco"));
        WriteFile(documents + S("/Backup1.mco"), "x");
        EXPECT_EQ(TfrmBackup().edOutput->text(), documents + S("/Backup2.mco"));
        QFile::remove(documents + S("/Backup1.mco"));
    }
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(BackupDialog, SetFolderTicksByFolderNameAndProposesTheAddress)
{
    TestEnv env;
    const QString user = env.path(S("p/Application Data/Microsoft/MSN Messenger/123456/"));
    QDir().mkpath(user + S("Winks3"));
    QDir().mkpath(env.path(S("p/Application Data/Microsoft/Protect")));
    {
        TfrmBackup d;
        d.SetFolder(user);
        EXPECT_EQ(Ticked(d), 6);
        EXPECT_EQ(d.edDir->text(), user);
        EXPECT_EQ(d.edEmail->text(), S("@hotmail.com"));
        EXPECT_EQ(d.lbId->text(), S("\u2014")); // no ID until the address is complete
        EXPECT_EQ(QDir(d.edProtectDir->text()).canonicalPath(),
                  QDir(env.path(S("p/Application Data/Microsoft/Protect"))).canonicalPath());
        // Leaving the box with a bare name completes it; the ID follows every change.
        d.edEmail->setText(S("someone"));
        EXPECT_EQ(d.lbId->text(), S("\u2014"));
        d.edEmailExit();
        EXPECT_EQ(d.edEmail->text(), S("someone@hotmail.com"));
        EXPECT_EQ(d.lbId->text(), EmailToId(S("someone@hotmail.com")));
    }
    {
        EmailById().SetValue(S("123456"), S("me@example.com"));
        TfrmBackup d;
        d.SetFolder(user + S("Winks3/"));
        EXPECT_EQ(d.edDir->text(), user);
        EXPECT_TRUE(d.chWink->isChecked());
        EXPECT_EQ(Ticked(d), 1);
        EXPECT_EQ(d.edEmail->text(), S("me@example.com"));
    }
    {
        TfrmBackup d;
        d.SetFolder(user + S("Odd/"));
        EXPECT_EQ(Ticked(d), 0);
    }
}

TEST(BackupDialog, SaveDialogAppendsMcoUnlessMcoOrCab)
{
    TestEnv env;
    TfrmBackup d;
    const QString dir = env.path(S("o"));
    QDir().mkpath(dir);
    d.edOutput->setText(dir + S("/missing/sub/Backup7.mco"));
    env.dialogs().AnswerPath(dir + S("/archive"));
    d.btBrowseSaveClick();
    EXPECT_EQ(env.dialogs().calls.at(0).text, dir + S("/Backup7.mco")); // the first existing folder
    EXPECT_EQ(env.dialogs().calls.at(0).filter, S("MCO file (*.mco);;CAB file (*.cab)"));
    EXPECT_EQ(d.edOutput->text(), dir + S("/archive.mco"));
    EXPECT_TRUE(d.OutputChosen);
    env.dialogs().AnswerPath(dir + S("/x.CAB"));
    d.btBrowseSaveClick();
    EXPECT_EQ(d.edOutput->text(), dir + S("/x.CAB"));
    d.OutputChosen = false;
    d.btBrowseSaveClick(); // cancelled
    EXPECT_EQ(d.edOutput->text(), dir + S("/x.CAB"));
    EXPECT_FALSE(d.OutputChosen);
}

TEST(BackupDialog, Backup1ClickRefusesWhatIsNotAUserFolder)
{
    TestEnv env;
    TfrmMain main;
    main.Backup1Click();
    main.tvDir->clear();
    auto *windowsUser = new QTreeWidgetItem(main.tvDir, QStringList{S("Alice")});
    auto *messengerUser = new QTreeWidgetItem(windowsUser, QStringList{S("1596456324")});
    auto *winks = new QTreeWidgetItem(messengerUser, QStringList{S("Winks3")});
    main.FolderMap.SetValue(S("0"), S("/p/Alice/"));
    main.FolderMap.SetValue(S("1"), S("/p/Alice/1596456324/"));
    main.FolderMap.SetValue(S("2"), S("/p/Alice/1596456324/Winks3/"));
    main.tvDir->setCurrentItem(windowsUser);
    main.Backup1Click();
    const QStringList m = env.dialogs().Messages();
    ASSERT_EQ(m.size(), 2);
    EXPECT_EQ(m.at(0), CurrentLanguage().Get(S("MustSelectFolder")));
    EXPECT_TRUE(m.at(1).startsWith(S("The folder 'Alice' cannot be backed up.")));

    QString dir;
    bool wink = false, emot = true;
    env.dialogs().AnswerModal([&](QObject *o) {
        auto *d = qobject_cast<TfrmBackup *>(o);
        dir = d->edDir->text();
        wink = d->chWink->isChecked();
        emot = d->chEmot->isChecked();
        return int(mrCancel);
    });
    main.tvDir->setCurrentItem(winks);
    main.Backup1Click();
    EXPECT_EQ(env.dialogs().calls.back().dialogName, S("TfrmBackup"));
    EXPECT_EQ(dir, S("/p/Alice/1596456324/"));
    EXPECT_TRUE(wink);
    EXPECT_FALSE(emot);
}

// A backup window on a profile's two plain-map emoticons, ready for a run.
static void OpenOnTwoEmoticons(TfrmBackup &d, SyntheticProfile &profile)
{
    profile.AddEmoticons(2);
    d.SetFolder(profile.root);
    d.edEmail->setText(profile.email);
    d.Core.DecryptMap = &ReadPlainMap;
}
TEST(BackupDialog, ASecondRunDoesNotStartWhileOneRuns)
{
    TestEnv env;
    SyntheticProfile profile(env.path(S("p")));
    TfrmBackup d;
    OpenOnTwoEmoticons(d, profile);
    int nested = 0;
    // The confirmation step lets events run; a release over Backup meanwhile is ignored.
    env.dialogs().AnswerModal([&](QObject *o) {
        const int before = int(env.dialogs().calls.size());
        d.btStartMouseUp(Qt::NoModifier);
        nested = int(env.dialogs().calls.size()) - before;
        EXPECT_FALSE(d.btCancel->isHidden());
        return qobject_cast<TfrmSelectFiles *>(o)->RowCount();
    });
    env.dialogs().Answer(mrNo);
    d.btStartMouseUp(Qt::AltModifier);
    EXPECT_EQ(nested, 0);
    EXPECT_TRUE(d.btCancel->isHidden());
    EXPECT_FALSE(d.memDecrypted->isHidden());
    EXPECT_TRUE(d.memDecrypted->toPlainText().startsWith(S("k0\tEmoticon 0\t<msnobj Location=\"E0.tmp\"")));
    EXPECT_TRUE(env.dialogs().Messages().last().startsWith(S("Packed 2 files + content.xml into Backup1.mco")));
}

TEST(BackupDialog, ClosingDuringARunCancelsIt)
{
    TestEnv env;
    SyntheticProfile profile(env.path(S("p")));
    TfrmBackup d;
    OpenOnTwoEmoticons(d, profile);
    bool closed = true;
    env.dialogs().AnswerModal([&](QObject *o) {
        closed = d.close();
        return qobject_cast<TfrmSelectFiles *>(o)->RowCount();
    });
    d.btStartMouseUp(Qt::NoModifier);
    EXPECT_FALSE(closed);
    EXPECT_EQ(env.dialogs().Messages(), QStringList{S("Cancelled")});
    EXPECT_FALSE(QFileInfo::exists(d.edOutput->text()));
    EXPECT_TRUE(d.close()); // after the run it closes
}

class DemoBackupTest : public EnvTest {
protected:
    QString root, alice, out;
    void SetUp() override
    {
        root = env.path(S("demo"));
        QProcess tool;
        tool.start(S(ZORVAK_DEMO_PROFILE_TOOL), {root});
        ASSERT_TRUE(tool.waitForFinished(60000));
        ASSERT_EQ(tool.exitCode(), 0);
        alice = root + S("/Documents and Settings/Alice/Application Data/Microsoft/MSN Messenger/")
                + EmailToId(S("alice.demo@hotmail.com")) + QLatin1Char('/');
        out = env.path(S("out/"));
        QDir().mkpath(out);
    }
    static int Tool(const QString &program, const QStringList &args)
    {
        QProcess p;
        p.start(program, args);
        if (!p.waitForFinished(60000))
            return -1;
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
};

TEST_F(DemoBackupTest, EveryTypeThroughTheWindowMakesAPackageOthersAccept)
{
    const QByteArray before = TreeChecksum(root);
    TfrmBackup d;
    d.SetFolder(alice);
    d.edEmail->setText(S("alice.demo@hotmail.com"));
    d.edPassword->setText(S("zorvak-demo"));
    d.edOutput->setText(out + S("Alice.mco"));
    QStringList confirmed;
    env.platform().altHeld = true; // Alt+Continue: no key questions
    for (int i = 0; i < 6; ++i)
        env.dialogs().AnswerModal([&](QObject *o) {
            auto *grid = qobject_cast<TfrmSelectFiles *>(o);
            confirmed << grid->windowTitle();
            grid->btContinueClick();
            return grid->result();
        });
    env.dialogs().Answer(mrYes);
    d.btStartMouseUp(Qt::NoModifier);
    EXPECT_EQ(confirmed.size(), 6);
    EXPECT_TRUE(env.dialogs().AllAnswered());
    ASSERT_TRUE(QFileInfo::exists(out + S("Alice.mco")));
    EXPECT_EQ(env.platform().shownInFileManager, QStringList{out + S("Alice.mco")});
    EXPECT_EQ(TreeChecksum(root), before); // the profile is untouched

    // Three independent readers accept the package.
    EXPECT_EQ(Tool(S("cabextract"), {S("-t"), out + S("Alice.mco")}), 0);
    EXPECT_EQ(Tool(S("7z"), {S("t"), out + S("Alice.mco")}), 0);
    const QString unpacked = env.path(S("unpacked"));
    QDir().mkpath(unpacked);
    EXPECT_EQ(Tool(S("bsdtar"), {S("-xf"), out + S("Alice.mco"), S("-C"), unpacked}), 0);

    // content.xml: the declared lines, well-formed, each object present under its recognised kind.
    const QByteArray xml = ReadFile(unpacked + S("/content.xml"));
    const QStringList lines = QString::fromLatin1(xml).split(S("\r\n"));
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.at(0), S("<?xml version=\"1.0\" encoding=\"windows-1252\" ?>"));
    EXPECT_EQ(lines.at(1), S("<package xmlns=\"http://messenger.msn.com/messengercontent/1.0\" version=\"1.0\" type=\"theme\">"));
    EXPECT_EQ(lines.at(lines.size() - 2), S("</package>"));
    EXPECT_TRUE(lines.last().isEmpty());
    const QString v = S("\"[^\"]*\"");
    const QList<QPair<QString, QRegularExpression>> shapes{
        {S("emoticon"), QRegularExpression(S("^<item xmlns:emoticon=\"http://messenger.msn.com/emoticon/1.0\" contentid=(%1) "
                                             "contenttype=%1 type=\"emoticon\" emoticon:namespaceprefix=\"Alice\" mimetype=%1 "
                                             "file=(%1) emoticon:displayname=%1 emoticon:keysequence=%1 />$").arg(v))},
        {S("usertile"), QRegularExpression(S("^<item xmlns:usertile=\"http://messenger.msn.com/usertile/1.0\" contentid=(%1) "
                                             "contenttype=\"P\" usertile:version=\"1.0\" type=\"usertile\" mimetype=%1 "
                                             "file=(%1) usertile:default=\"false\" usertile:displayname=%1 />$").arg(v))},
        {S("background"), QRegularExpression(S("^<item xmlns:background=\"http://messenger.msn.com/background/1.0\" "
                                               "contentid=(%1) contenttype=\"P\" background:version=\"1.0\" "
                                               "type=\"background\" mimetype=%1 file=(%1) background:displayname=%1 />$").arg(v))},
        {S("wink"), QRegularExpression(S("^<item contentid=(%1) type=\"wink\" contenttype=\"P\" "
                                         "mimetype=\"application/messengercontent\" file=(%1) stamp=%1 />$").arg(v))},
        {S("dynamicpicture"), QRegularExpression(S("^<item contentid=(%1) type=\"dynamicpicture\" contenttype=\"P\" "
                                                   "mimetype=\"application/messengercontent\" file=(%1) stamp=%1 />$").arg(v))},
        {S("dynamicbackground"),
         QRegularExpression(S("^<item xmlns:dynamicbackground=\"http://messenger.msn.com/dynamicbackground/2.0\" "
                              "contentid=(%1) type=\"dynamicbackground\" contenttype=\"P\" "
                              "mimetype=\"application/messengercontent\" dynamicbackground:displayname=%1 "
                              "dynamicbackground:locationURL=\"\" dynamicbackground:default=\"false\" file=(%1) "
                              "stamp=%1 />$").arg(v))},
    };
    QMap<QString, int> kinds;
    QStringList files;
    for (int i = 2; i < lines.size() - 2; ++i) {
        bool matched = false;
        for (const auto &[kind, shape] : shapes) {
            const QRegularExpressionMatch m = shape.match(lines.at(i));
            if (!m.hasMatch())
                continue;
            matched = true;
            ++kinds[kind];
            EXPECT_EQ(m.captured(1), m.captured(2));
            QString file = m.captured(2);
            file = file.mid(1, file.size() - 2);
            files << file;
            EXPECT_EQ(ExtractFileExt(file), RecognizeFile(unpacked + QLatin1Char('/') + file)) << file.toStdString();
        }
        EXPECT_TRUE(matched) << lines.at(i).toStdString();
    }
    EXPECT_EQ(kinds.size(), 6);
    // Every object of the demo maps, less the default "Orange Daisy" and the dropped map lines.
    const QMap<QString, int> counts{{S("emoticon"), 5}, {S("usertile"), 2}, {S("background"), 2},
                                    {S("wink"), 2}, {S("dynamicpicture"), 2}, {S("dynamicbackground"), 1}};
    EXPECT_EQ(kinds, counts);
    // Values: the MIME type of each recognised extension, the emoticons' content types ("D" when
    // the object gives none) and shortcuts in map order, escaped, in Windows-1252.
    const QRegularExpression attribute(S("(?:^| )([A-Za-z:]+)=\"([^\"]*)\""));
    QStringList contentTypes, keys;
    for (int i = 2; i < lines.size() - 2; ++i) {
        QMap<QString, QString> a;
        for (auto it = attribute.globalMatch(lines.at(i)); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            a.insert(m.captured(1), m.captured(2));
        }
        if (a.contains(S("xmlns:emoticon")) || a.contains(S("xmlns:usertile")) || a.contains(S("xmlns:background"))) {
            EXPECT_EQ(a.value(S("mimetype")), MimeTypeOf(ExtractFileExt(a.value(S("file"))))) << lines.at(i).toStdString();
        }
        if (a.value(S("type")) == S("emoticon")) {
            contentTypes << a.value(S("contenttype"));
            keys << a.value(S("emoticon:keysequence"));
        }
    }
    EXPECT_EQ(contentTypes, (QStringList{S("D"), S("D"), S("P"), S("D"), S("D")}));
    EXPECT_EQ(keys, (QStringList{S("(wink)"), S("&lt;3"), S("&quot;hi&quot;"), S("(caf\u00e9)"), S("(&amp;)")}));
    EXPECT_TRUE(xml.contains("emoticon:displayname=\"Caf\xe9 cr\xe8me\""));
    files << S("content.xml");
    QStringList present = QDir(unpacked).entryList(QDir::Files);
    files.sort();
    present.sort();
    EXPECT_EQ(files, present);
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        reader.readNext();
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    // Names and shortcuts come through escaped, "Orange Daisy" (a default) is left out.
    EXPECT_TRUE(xml.contains("emoticon:keysequence=\"&lt;3\""));
    EXPECT_FALSE(xml.contains("Orange Daisy"));
}

// The whole backup with the keyboard alone: the user folder chosen with the arrows, F6, the address
// and the password typed, Return to start, Return in each confirmation.
TEST_F(DemoBackupTest, AWholeBackupWithTheKeyboardAlone)
{
    Settings().docSetDir = root + S("/Documents and Settings/");
    TfrmMain main;
    main.Auto1Click();
    main.tvDir->expandAll();
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    main.tvDir->setFocus();
    const QString id = EmailToId(S("alice.demo@hotmail.com"));
    QTest::keyClick(main.tvDir, Qt::Key_Home);
    for (int i = 0; i < 20 && (!main.tvDir->currentItem() || main.tvDir->currentItem()->text(0) != id); ++i)
        QTest::keyClick(main.tvDir, Qt::Key_Down);
    ASSERT_EQ(main.tvDir->currentItem()->text(0), id);

    auto active = [](QWidget *window) {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window);
    };
    int confirmations = 0;
    env.dialogs().AnswerModal([&](QObject *o) {
        auto *d = qobject_cast<TfrmBackup *>(o);
        EXPECT_TRUE(d && active(d));
        if (!d)
            return int(mrCancel);
        // The labels' mnemonics lead to these fields (their buddies, checked with the controls).
        QTest::keyClick(d->edEmail, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(d->edEmail, S("alice.demo@hotmail.com"));
        QTest::keyClicks(d->edPassword, S("zorvak-demo"));
        d->edOutput->setText(out + S("Alice.mco")); // the test's folder, not the user's documents
        QTest::keyClick(d->edPassword, Qt::Key_Return);
        d->close();
        return int(mrOk);
    });
    for (int i = 0; i < 6; ++i)
        env.dialogs().AnswerModal([&](QObject *o) {
            auto *grid = qobject_cast<TfrmSelectFiles *>(o);
            EXPECT_TRUE(grid && active(grid));
            if (!grid)
                return -1;
            ++confirmations;
            // Return with Alt held (as the platform reads the keyboard): continue without the
            // questions about shortcuts.
            env.platform().altHeld = true;
            QTest::keyClick(grid->focusWidget() ? grid->focusWidget() : grid, Qt::Key_Return);
            env.platform().altHeld = false;
            return grid->result();
        });
    env.dialogs().Answer(mrNo);
    QTest::keyClick(main.tvDir, Qt::Key_F6);
    EXPECT_EQ(confirmations, 6);
    EXPECT_TRUE(env.dialogs().AllAnswered());
    ASSERT_TRUE(QFileInfo::exists(out + S("Alice.mco")));
    EXPECT_EQ(Tool(S("cabextract"), {S("-t"), out + S("Alice.mco")}), 0);
    EXPECT_TRUE(env.dialogs().Messages().last().startsWith(S("Packed 14 files + content.xml into Alice.mco")))
        << env.dialogs().Messages().join(S(" | ")).toStdString();
}

TEST_F(DemoBackupTest, CancelInTheConfirmationEndsWithUserCancelledAndAWrongPasswordFails)
{
    TfrmBackup d;
    d.SetFolder(alice);
    d.edEmail->setText(S("alice.demo@hotmail.com"));
    d.edPassword->setText(S("zorvak-demo"));
    d.edOutput->setText(out + S("Alice.mco"));
    env.dialogs().AnswerModal([](QObject *o) {
        qobject_cast<TfrmSelectFiles *>(o)->btCancelClick();
        return qobject_cast<TfrmSelectFiles *>(o)->result();
    });
    d.btStartMouseUp(Qt::NoModifier);
    EXPECT_EQ(env.dialogs().Messages(), QStringList{S("Cancelled")});
    EXPECT_FALSE(QFileInfo::exists(out + S("Alice.mco")));

    env.dialogs().ClearCalls();
    d.edPassword->setText(S("wrong"));
    try {
        d.btStartMouseUp(Qt::NoModifier);
        FAIL() << "a wrong password must end the run";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().startsWith(S("Failed to decrypt. "))) << e.Message().toStdString();
    }
    EXPECT_TRUE(d.btCancel->isHidden());
}

TEST(BackupDialog, ACompletedOutputNameIsAskedAboutBeforeItIsReplaced)
{
    TestEnv env;
    TfrmBackup d;
    const QString dir = env.path(S("o"));
    WriteFile(dir + S("/archive.mco"), "an earlier backup");
    const QString proposed = d.edOutput->text();
    // "archive" becomes archive.mco, which exists: the question names the completed file.
    env.dialogs().AnswerPath(dir + S("/archive"));
    env.dialogs().Answer(mrCancel);
    d.btBrowseSaveClick();
    EXPECT_EQ(env.dialogs().Messages(), QStringList{S("File already exists:\r   ") + dir + S("/archive.mco\r\rOverwrite?")});
    EXPECT_EQ(d.edOutput->text(), proposed);
    EXPECT_FALSE(d.OutputChosen);
    env.dialogs().ClearCalls();
    env.dialogs().AnswerPath(dir + S("/archive"));
    env.dialogs().Answer(mrYes);
    d.btBrowseSaveClick();
    EXPECT_EQ(env.dialogs().Messages().size(), 1);
    EXPECT_EQ(d.edOutput->text(), dir + S("/archive.mco"));
    EXPECT_TRUE(d.OutputChosen);
    // A name typed whole was asked about by the save dialog itself; a new name needs no question.
    env.dialogs().ClearCalls();
    env.dialogs().AnswerPath(dir + S("/archive.mco"));
    d.btBrowseSaveClick();
    env.dialogs().AnswerPath(dir + S("/fresh"));
    d.btBrowseSaveClick();
    EXPECT_TRUE(env.dialogs().Messages().isEmpty());
    EXPECT_EQ(d.edOutput->text(), dir + S("/fresh.mco"));
}

TEST(BackupDialog, EscDuringARunCancelsItAndTheWindowStays)
{
    TestEnv env;
    SyntheticProfile profile(env.path(S("p")));
    TfrmBackup d;
    OpenOnTwoEmoticons(d, profile);
    d.show();
    bool visible = false;
    env.dialogs().AnswerModal([&](QObject *o) {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&d, &esc);
        visible = d.isVisible();
        return qobject_cast<TfrmSelectFiles *>(o)->RowCount();
    });
    d.btStartMouseUp(Qt::NoModifier);
    EXPECT_TRUE(visible);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(env.dialogs().Messages(), QStringList{S("Cancelled")});
    EXPECT_FALSE(QFileInfo::exists(d.edOutput->text()));
    // Without a run, Esc closes the window as before.
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&d, &esc);
    EXPECT_FALSE(d.isVisible());
}

TEST(BackupDialog, TheRunGetsTheWindowsRequestAndKeyMaterial)
{
    TestEnv env;
    SyntheticProfile profile(env.path(S("p")));
    profile.AddEmoticons(2);
    TfrmBackup d;
    d.SetFolder(profile.root);
    d.edEmail->setText(profile.email);
    d.edPassword->setText(S("typed pw"));
    d.edProtectDir->setText(S("/somewhere/Microsoft/Protect"));
    d.chConfirm->setChecked(false);
    QList<DpapiKeyMaterial> keys;
    QStringList emails;
    d.Core.DecryptMap = [&](const QString &path, const QString &email, const DpapiKeyMaterial &key) {
        keys << key;
        emails << email;
        return ReadPlainMap(path, email, key);
    };
    d.OutputChosen = true; // from the save dialog: counts for one run
    env.dialogs().Answer(mrNo);
    d.btStartMouseUp(Qt::NoModifier);
    ASSERT_EQ(keys.size(), 2); // map.dat and the content map
    EXPECT_EQ(keys.at(0), DpapiCredentials(S("/somewhere/Microsoft/Protect"), S("typed pw"), false));
    EXPECT_EQ(keys.at(1), keys.at(0));
    EXPECT_EQ(emails, (QStringList{profile.email, profile.email}));
    EXPECT_FALSE(d.OutputChosen);
    EXPECT_EQ(d.Core.Request.types, (std::array<bool, 6>{true, true, true, true, true, true}));
    EXPECT_FALSE(d.Core.Request.confirm);

    // A hash box: the text is taken as a hash, and one that is not is refused before the run.
    keys.clear();
    d.chHash->setChecked(true);
    d.edPassword->setText(S("0x3b13f1ba6f8e68ab82c83eb6702e6d40"));
    env.dialogs().Answer(mrYes); // the output exists now
    env.dialogs().Answer(mrNo);
    d.btStartMouseUp(Qt::NoModifier);
    ASSERT_FALSE(keys.isEmpty());
    EXPECT_EQ(keys.at(0).secret.kind(), DpapiSecret::NtHash);
    d.edPassword->setText(S("not hex"));
    EXPECT_THROW(d.btStartMouseUp(Qt::NoModifier), EConvertError);
}
