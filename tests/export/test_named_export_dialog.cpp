// The "Export with names" window: its proposals, the export of the demo profile through it, and
// what it tells through the dialog service; the main window's Tools menu opens it.
#include "dpapi/DpapiKeyMaterial.h"
#include "common/EmailId.h"
#include "export/uNamedExport.h"
#include "backup/uBackup.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "app/uMain.h"
#include "support/Programs.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QScreen>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {

QString S(const char *text) { return QString::fromUtf8(text); }

class NamedExportDialog : public DemoProfileTest {
protected:
    QString user;
    void SetUp() override
    {
        DemoProfileTest::SetUp();
        user = alice + u'/';
    }
};

} // namespace

TEST_F(NamedExportDialog, ProposalsAndCaptions)
{
    EmailById().SetValue(EmailToId(S("alice.demo@hotmail.com")), S("alice.demo@hotmail.com"));
    TfrmNamedExport d;
    d.SetFolder(user + S("Winks3/"));
    EXPECT_EQ(d.edDir->text(), user);
    EXPECT_EQ(d.edEmail->text(), S("alice.demo@hotmail.com"));
    EXPECT_EQ(QDir(d.edProtectDir->text()).canonicalPath(),
              QDir(env.path(S("demo/Documents and Settings/Alice/Application Data/Microsoft/Protect"))).canonicalPath());
    EXPECT_EQ(d.edOutput->text(), env.appDir() + S("Named-") + EmailToId(S("alice.demo@hotmail.com")));
    EXPECT_EQ(d.edPassword->echoMode(), QLineEdit::Password);
    EXPECT_EQ(d.windowTitle(), S("Export with names"));
    EXPECT_EQ(d.labelEmail->text(), S("&Email address for decrypting map files"));
    // The backup window's width, or more so that each path shows whole (within 90 % of the screen).
    TfrmBackup backup;
    backup.SetFolder(user);
    EXPECT_EQ(d.width(), backup.width());
    d.show();
    QCoreApplication::processEvents();
    for (const QLineEdit *path : {d.edDir, d.edOutput, d.edProtectDir}) {
        EXPECT_TRUE(path->width() >= path->fontMetrics().horizontalAdvance(path->text())
                    || d.width() >= d.screen()->availableGeometry().width() * 9 / 10)
            << path->objectName().toStdString() << " " << path->width() << " " << d.width();
    }
    ASSERT_EQ(d.cbFormat->count(), 4);
    EXPECT_EQ(d.cbFormat->currentIndex(), 0);
    EXPECT_FALSE(d.chIncludeDefault->isChecked());
    // The language follows; the chosen format stays.
    d.cbFormat->setCurrentIndex(2);
    SetCurrentLanguage(LoadFrench());
    d.RefreshCaptions();
    EXPECT_EQ(d.windowTitle(), S("Exporter avec les noms"));
    EXPECT_EQ(d.cbFormat->currentIndex(), 2);
    EXPECT_EQ(d.cbFormat->count(), 4);
    SetCurrentLanguage(LoadEnglish());
}

TEST_F(NamedExportDialog, ExportsTheDemoProfileAndTellsWhatWasWritten)
{
    TfrmNamedExport d;
    d.SetFolder(user);
    d.edEmail->setText(S("alice.demo@hotmail.com"));
    d.edPassword->setText(S("zorvak-demo"));
    d.cbFormat->setCurrentIndex(2); // the web page
    const QString out = env.path(S("page"));
    d.edOutput->setText(out);
    d.btExport->click();
    ASSERT_TRUE(d.LastResult.has_value());
    EXPECT_EQ(d.LastResult->format, named::TNamedFormat::Html);
    EXPECT_EQ(d.LastResult->objects.size(), 16);
    EXPECT_TRUE(QFileInfo(out + S("/index.html")).isFile());
    ASSERT_EQ(env.dialogs().Messages(), QStringList{S("16 objects have been written to:\r   ") + out});
    EXPECT_EQ(env.dialogs().calls.back().type, TMsgDlgType::mtInformation);

    // A wrong password: the backup's error, shown, and nothing written.
    env.dialogs().ClearCalls();
    d.edPassword->setText(S("wrong"));
    d.edOutput->setText(env.path(S("wrong")));
    ForgetOpenedMasterKeys();
    d.btExport->click();
    EXPECT_FALSE(d.LastResult.has_value());
    ASSERT_EQ(env.dialogs().Messages().size(), 1);
    EXPECT_TRUE(env.dialogs().Messages().first().startsWith(S("Failed to decrypt. ")))
        << env.dialogs().Messages().first().toStdString();
    EXPECT_FALSE(QFileInfo::exists(env.path(S("wrong"))));

    // No address: file names, and the window says so. A theme leaves out what has no shortcut.
    env.dialogs().ClearCalls();
    d.edEmail->clear();
    d.cbFormat->setCurrentIndex(1);
    d.edOutput->setText(env.path(S("theme")));
    d.btExport->click();
    ASSERT_TRUE(d.LastResult.has_value());
    EXPECT_EQ(d.LastResult->format, named::TNamedFormat::Pidgin);
    ASSERT_EQ(env.dialogs().Messages().size(), 1);
    EXPECT_EQ(env.dialogs().Messages().first(),
              S("0 objects have been written to:\r   ") + env.path(S("theme")) + S("\r\r") + Lang("NamedByFileName")
                  + S("\r\r") + S("7 emoticons were left out: a smiley theme cannot hold an emoticon without a shortcut, "
                                  "nor a shortcut with a line break or longer than 63 bytes."));

    // Pidgin's custom smileys, the last format: a store of Alice's five emoticons.
    env.dialogs().ClearCalls();
    d.edEmail->setText(S("alice.demo@hotmail.com"));
    d.edPassword->setText(S("zorvak-demo"));
    d.cbFormat->setCurrentIndex(3);
    d.edOutput->setText(env.path(S("smileys")));
    d.btExport->click();
    ASSERT_TRUE(d.LastResult.has_value());
    EXPECT_EQ(d.LastResult->format, named::TNamedFormat::PidginSmileys);
    EXPECT_TRUE(QFileInfo(env.path(S("smileys/smileys.xml"))).isFile());
    EXPECT_EQ(env.dialogs().Messages(),
              QStringList{S("5 objects have been written to:\r   ") + env.path(S("smileys")) + S("\r\r")
                          + S("2 emoticons were left out: Pidgin's custom smileys take one entry for each shortcut and for "
                              "each picture, and none without a shortcut.")});
}

TEST_F(NamedExportDialog, ToolsMenuOpensItOnTheSelectedUserFolder)
{
    TfrmMain main;
    QAction *action = main.ExportNamed1;
    ASSERT_NE(action, nullptr);
    EXPECT_TRUE(main.Tools1->actions().contains(action));
    EXPECT_EQ(action->text(), S("E&xport with names..."));

    main.tvDir->clear();
    auto *windowsUser = new QTreeWidgetItem(main.tvDir, QStringList{S("Alice")});
    auto *messengerUser = new QTreeWidgetItem(windowsUser, QStringList{EmailToId(S("alice.demo@hotmail.com"))});
    auto *winks = new QTreeWidgetItem(messengerUser, QStringList{S("Winks3")});
    main.FolderMap.SetValue(S("0"), env.path(S("demo/Documents and Settings/Alice/")));
    main.FolderMap.SetValue(S("1"), user);
    main.FolderMap.SetValue(S("2"), user + S("Winks3/"));
    main.tvDir->setCurrentItem(windowsUser);
    action->trigger();
    ASSERT_EQ(env.dialogs().Messages(), QStringList{Lang("SelectFolder4named")});

    QString dir;
    env.dialogs().AnswerModal([&](QObject *o) {
        auto *d = qobject_cast<TfrmNamedExport *>(o);
        dir = d ? d->edDir->text() : QString();
        return int(mrCancel);
    });
    main.tvDir->setCurrentItem(winks);
    action->trigger();
    EXPECT_EQ(dir, user);
    EXPECT_TRUE(env.dialogs().AllAnswered());
}
