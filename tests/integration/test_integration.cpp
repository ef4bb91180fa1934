// The program as a user meets it: the start-up scan over a profile on disk, the welcome dialog
// and "Which is my folder?" behind it, and F5 in the main window.
#include "BrowseFixtures.h"
#include "common/EmailId.h"
#include "browse/ui/uMainBrowse.h"
#include "browse/ui/uSelectEmail.h"
#include "app/QtDialogService.h"
#include "shell/SettingsFile.h"
#include "app/uMain.h"
#include "app/uWelcome.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace zorvak;
using namespace zorvak::test;

namespace {

const QString kAlice = QStringLiteral("alice@hotmail.com");
const QString kBob = QStringLiteral("bob@example.com");

// Two Windows users with one Messenger user each, content made of real pictures.
class Integration : public EnvTest {
protected:
    void SetUp() override
    {
        root = env.path(QStringLiteral("disk/Documents and Settings/"));
        for (const auto &[user, email] : {std::pair{QStringLiteral("Alice"), kAlice}, std::pair{QStringLiteral("Bob"), kBob}}) {
            const QString id = root + user + QStringLiteral("/Application Data/Microsoft/MSN Messenger/") + EmailToId(email);
            WriteFile(id + QStringLiteral("/CustomEmoticons/0001.dat"), PngPicture(19, 19));
            WriteFile(id + QStringLiteral("/CustomEmoticons/map.dat"), QByteArray(64, '\x01'));
            WriteFile(id + QStringLiteral("/UserTile/tile.dat"), JpegPicture(96, 96));
            WriteFile(id + QStringLiteral("/map.dat"), QByteArray(64, '\x02'));
        }
        Settings().docSetDir = root;
        before = TreeChecksum(env.path(QStringLiteral("disk")));
    }
    void TearDown() override { EXPECT_EQ(TreeChecksum(env.path(QStringLiteral("disk"))), before); }

    static QStringList Captions(const TfrmMain &w)
    {
        QStringList out;
        for (int i = 0; i < browse::NodeCount(w.tvDir); ++i) {
            const QTreeWidgetItem *n = browse::NodeAt(w.tvDir, i);
            QString line = n->text(0);
            for (const QTreeWidgetItem *p = n->parent(); p; p = p->parent())
                line.prepend(QLatin1Char('\t'));
            out << line;
        }
        return out;
    }
    static QStringList Rows(const TfrmMain &w)
    {
        QStringList rows;
        for (int i = 0; i < w.lbFiles->count(); ++i)
            rows << w.lbFiles->item(i)->text();
        rows.sort();
        return rows;
    }

    QString root;
    QByteArray before;
};

TfrmSelectEmail *AsSelectEmail(QObject *d)
{
    EXPECT_EQ(d->objectName(), QStringLiteral("TfrmSelectEmail"));
    return qobject_cast<TfrmSelectEmail *>(d);
}

} // namespace

TEST_F(Integration, FirstRunWelcomeOkOpensWhichIsMyFolderAndSelectsTheUser)
{
    ASSERT_FALSE(QFile::exists(SettingsFilePath()));
    TfrmMain w;
    QStringList order;
    env.dialogs().AnswerModal([&](QObject *d) {
        order << d->objectName();
        auto *welcome = qobject_cast<TfrmWelcome *>(d);
        EXPECT_NE(welcome, nullptr);
        if (!welcome)
            return int(mrCancel);
        EXPECT_EQ(welcome->cbLang->currentText(), QStringLiteral("English"));
        welcome->btOk->click();
        return welcome->result();
    });
    env.dialogs().AnswerModal([&](QObject *d) {
        order << d->objectName();
        TfrmSelectEmail *dlg = AsSelectEmail(d);
        if (!dlg)
            return int(mrCancel);
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Which is my folder?"));
        EXPECT_EQ(dlg->cbEmail->currentText(), QStringLiteral("@hotmail.com")); // nothing known yet
        dlg->cbEmail->setEditText(QStringLiteral("bob@example.com"));
        EXPECT_EQ(dlg->lbId->text(), EmailToId(kBob));
        dlg->btOk->click();
        return dlg->result();
    });
    // As the program does it: the checks run at the first idle moment after the window is shown.
    w.show();
    w.InstallStartupChecks();
    QCoreApplication::processEvents();

    EXPECT_EQ(order, (QStringList{QStringLiteral("TfrmWelcome"), QStringLiteral("TfrmSelectEmail")}));
    EXPECT_TRUE(env.dialogs().Messages().isEmpty()) << env.dialogs().Messages().join('|').toStdString();
    // The listing order of the file system is kept; compare sorted.
    QStringList captions = Captions(w);
    captions.sort();
    EXPECT_EQ(captions, (QStringList{"\t\tCustomEmoticons", "\t\tCustomEmoticons", "\t\tUserTile", "\t\tUserTile",
                                     "\t" + EmailToId(kAlice), "\t" + EmailToId(kBob), "Alice", "Bob"}));
    EXPECT_EQ(w.CountNodesAtLevel(1), 2);
    // Bob's folder is selected and listed; the address is remembered, in memory and on disk.
    ASSERT_NE(w.tvDir->currentItem(), nullptr);
    EXPECT_EQ(w.tvDir->currentItem()->text(0), EmailToId(kBob));
    EXPECT_EQ(w.tvDir->currentItem()->parent()->text(0), QStringLiteral("Bob"));
    EXPECT_EQ(w.SelectedFolder(), root + "Bob/Application Data/Microsoft/MSN Messenger/" + EmailToId(kBob) + "/");
    EXPECT_EQ(EmailById().GetValue(EmailToId(kBob)), kBob);
    EXPECT_TRUE(QFile(SettingsFilePath()).exists());
    EXPECT_TRUE(ReadFile(SettingsFilePath()).contains("emailList=bob@example.com"));
    EXPECT_FALSE(w.Terminating);
}

TEST_F(Integration, FirstRunWelcomeCancelOpensNothingMore)
{
    TfrmMain w;
    env.dialogs().AnswerModal([](QObject *d) {
        EXPECT_EQ(d->objectName(), QStringLiteral("TfrmWelcome"));
        qobject_cast<TfrmWelcome *>(d)->btCancel->click();
        return qobject_cast<TfrmWelcome *>(d)->result();
    });
    env.dialogs().AnswerModal([](QObject *d) {
        ADD_FAILURE() << "no second window expected, got " << d->objectName().toStdString();
        return int(mrCancel);
    });
    w.StartupChecks();
    EXPECT_EQ(env.dialogs().calls.size(), 1u);
    EXPECT_FALSE(env.dialogs().AllAnswered());
    EXPECT_FALSE(QFile::exists(SettingsFilePath()));
    // The first node stays selected: the first Windows user.
    ASSERT_NE(w.tvDir->currentItem(), nullptr);
    EXPECT_EQ(w.tvDir->currentItem()->text(0), QStringLiteral("Alice"));
}

TEST_F(Integration, F5WithAKnownAddressSelectsItsFolderAndRemembersIt)
{
    // An earlier run remembered Alice's address; the settings file also names the documents folder.
    WriteFile(SettingsFilePath(), ("[Common]\r\ndocSetDir=" + root + "\r\nemailList=" + kAlice + "\r\n").toUtf8());
    Settings().docSetDir = QStringLiteral("/nonexistent/");
    TfrmMain w;
    EXPECT_EQ(Settings().docSetDir, root);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.StartupChecks(); // no welcome: the settings file exists
    EXPECT_TRUE(env.dialogs().calls.empty());
    EXPECT_EQ(w.tvDir->currentItem()->text(0), QStringLiteral("Alice"));

    // F5, the known address chosen from the list: Alice's folder is selected and its files listed.
    env.dialogs().AnswerModal([](QObject *d) {
        TfrmSelectEmail *dlg = AsSelectEmail(d);
        if (!dlg)
            return int(mrCancel);
        EXPECT_EQ(dlg->cbEmail->count(), 1);
        EXPECT_EQ(dlg->cbEmail->itemText(0), kAlice);
        dlg->cbEmail->setCurrentIndex(0);
        EXPECT_EQ(dlg->lbId->text(), EmailToId(kAlice));
        dlg->btOk->click();
        return dlg->result();
    });
    QTest::keyClick(&w, Qt::Key_F5);
    ASSERT_EQ(env.dialogs().calls.size(), 1u) << "F5 opens Which is my folder?";
    ASSERT_NE(w.tvDir->currentItem(), nullptr);
    EXPECT_EQ(w.tvDir->currentItem()->text(0), EmailToId(kAlice));
    EXPECT_EQ(w.tvDir->currentItem()->parent()->text(0), QStringLiteral("Alice"));
    EXPECT_TRUE(w.tvDir->hasFocus() || !QApplication::focusWidget());
    EXPECT_TRUE(Rows(w).isEmpty()) << Rows(w).join(',').toStdString(); // only map.dat, not recognised

    // Its emoticon folder lists the picture under its recognised name.
    QTreeWidgetItem *emoticons = w.tvDir->currentItem()->child(0);
    if (emoticons->text(0) != QStringLiteral("CustomEmoticons"))
        emoticons = w.tvDir->currentItem()->child(1);
    ASSERT_EQ(emoticons->text(0), QStringLiteral("CustomEmoticons"));
    w.tvDir->setCurrentItem(emoticons);
    EXPECT_EQ(Rows(w), QStringList{QStringLiteral("0001.png")});

    // F5 with Bob's address typed: selected and added to the remembered list, Alice's kept.
    env.dialogs().AnswerModal([](QObject *d) {
        TfrmSelectEmail *dlg = AsSelectEmail(d);
        if (!dlg)
            return int(mrCancel);
        dlg->cbEmail->setEditText(kBob);
        dlg->btOk->click();
        return dlg->result();
    });
    QTest::keyClick(&w, Qt::Key_F5);
    ASSERT_EQ(env.dialogs().calls.size(), 2u);
    EXPECT_EQ(w.tvDir->currentItem()->text(0), EmailToId(kBob));
    EXPECT_EQ(w.tvDir->currentItem()->parent()->text(0), QStringLiteral("Bob"));
    EXPECT_EQ(EmailById().Count(), 2);
    EXPECT_TRUE(ReadFile(SettingsFilePath()).contains(("emailList=" + kAlice + ";" + kBob).toUtf8()))
        << ReadFile(SettingsFilePath()).toStdString();

    // The same address again is not added twice.
    env.dialogs().AnswerModal([](QObject *d) {
        TfrmSelectEmail *dlg = AsSelectEmail(d);
        if (!dlg)
            return int(mrCancel);
        EXPECT_EQ(dlg->cbEmail->count(), 2);
        dlg->cbEmail->setEditText(QStringLiteral("BOB@example.com"));
        dlg->btOk->click();
        return dlg->result();
    });
    QTest::keyClick(&w, Qt::Key_F5);
    EXPECT_EQ(w.tvDir->currentItem()->text(0), EmailToId(kBob));
    EXPECT_EQ(EmailById().Count(), 2);
    EXPECT_TRUE(env.dialogs().Messages().isEmpty()) << env.dialogs().Messages().join('|').toStdString();
}

// The same first run with the program's own dialog service: the windows are really shown modally
// and answered by clicking their buttons, as a user would.
TEST_F(Integration, FirstRunThroughTheRealModalWindows)
{
    auto scripted = DialogService::Set(std::make_unique<QtDialogService>());
    struct Restore {
        std::unique_ptr<DialogService> &service;
        ~Restore() { DialogService::Set(std::move(service)); }
    } restore{scripted};

    TfrmMain w;
    w.show();
    QStringList seen;
    // Answers whatever modal window is up, once it is shown.
    std::function<void()> answer = [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            QTimer::singleShot(10, &w, answer);
            return;
        }
        seen << modal->objectName();
        if (auto *welcome = qobject_cast<TfrmWelcome *>(modal)) {
            QTimer::singleShot(10, &w, answer); // the next window
            welcome->btOk->click();
        } else if (auto *select = qobject_cast<TfrmSelectEmail *>(modal)) {
            QTimer::singleShot(10, &w, answer); // nothing more is expected; an extra window is recorded
            select->cbEmail->setEditText(QStringLiteral("alice"));
            select->btOk->click(); // "alice" leaves the box as alice@hotmail.com
        } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            dialog->reject(); // an unexpected window fails the test instead of hanging it
        } else {
            modal->close();
        }
    };
    QTimer::singleShot(10, &w, answer);
    w.StartupChecks();

    EXPECT_EQ(seen, (QStringList{QStringLiteral("TfrmWelcome"), QStringLiteral("TfrmSelectEmail")}));
    ASSERT_NE(w.tvDir->currentItem(), nullptr);
    EXPECT_EQ(w.tvDir->currentItem()->text(0), EmailToId(kAlice));
    EXPECT_EQ(EmailById().GetValue(EmailToId(kAlice)), kAlice);
}
