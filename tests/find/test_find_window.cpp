// The search of a disk from the window: chosen through the Tools menu, followed in its progress
// window, its places added to the folder list by profile with the packages apart; and cancelled.
#include "app/uMain.h"
#include "browse/ui/FolderTree.h"
#include "cabinet/cabfiles.h"
#include "common/unitString.h"
#include "dpapi/DpapiKeyMaterial.h"
#include "find/FoundGroups.h"
#include "find/ui/uDiskSearch.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {

// A package: a cabinet holding content.xml.
void WritePackage(const QString &work, const QString &path)
{
    TCABFile cab;
    cab.CABFile = path;
    for (const char *name : {"content.xml", "a.png"}) {
        const QString file = work + "/" + QString::fromLatin1(name);
        WriteFile(file, "x");
        TCABFileEntry &e = cab.CABFileContents.Add();
        e.Name = file;
    }
    cab.CompressionType = typNone;
    cab.CreateCabinet();
}

const char kSid[] = "S-1-5-21-1004336348-1177238915-682003330-1000";
const char kGuid[] = "6b1f3a4e-2c3d-4e5f-8a9b-0c1d2e3f4a5b";

// A disk copied anyhow: a profile kept in "old laptop", a later one in Windows.old with its master
// keys in the roaming folder and its Messenger data in the local one, a package in Downloads, and
// a "MSN Messenger" folder without folder IDs.
QString MessyDisk(TestEnv &env)
{
    const QString disk = env.path(QStringLiteral("disk"));
    const QString bob = disk + "/old laptop/Documents and Settings/bob/Application Data/Microsoft/";
    WriteFile(bob + "MSN Messenger/123456/CustomEmoticons/a.png", "png");
    const QString carol = disk + "/Windows.old/Users/carol/AppData/";
    WriteFile(carol + "Local/Microsoft/Messenger/carol@example.com/ObjectStore/x.dat", "x");
    WriteFile(carol + "Roaming/Microsoft/Protect/" + kSid + "/" + kGuid, "key");
    WriteFile(disk + "/MSN Messenger/readme.txt", "not an ID folder");
    QDir().mkpath(disk + "/Downloads");
    WritePackage(env.path(QStringLiteral("work")), disk + "/Downloads/stuff.MCO");
    return disk;
}

QStringList Captions(const QTreeWidgetItem *node)
{
    QStringList out;
    for (int i = 0; i < node->childCount(); ++i)
        out << node->child(i)->text(0);
    return out;
}

void PressEscape(QWidget *window)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &press);
}

} // namespace

TEST(FindGroups, ProfileOfAPath)
{
    struct { const char *path, *profile; } cases[] = {
        {"/d/Documents and Settings/bob/Application Data/x", "/d/Documents and Settings/bob"},
        {"/d/Documents and Settings.bak/bob/x", "/d/Documents and Settings.bak/bob"},
        {"/d/Windows.old/Users/carol/AppData/Local/x", "/d/Windows.old/Users/carol"},
        {"/h/.wine/drive_c/users/dave/x", "/h/.wine/drive_c/users/dave"},
        {"/d/Users/carol", ""},                 // the profile itself lies in none
        {"/d/old/Users/eve/copy/Users/fred/x", "/d/old/Users/eve/copy/Users/fred"},
        {"/d/Downloads/stuff.mco", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(find::WindowsProfileOf(QString::fromUtf8(c.path)), QString::fromUtf8(c.profile)) << c.path;
}

TEST_F(EnvTest, SearchFromTheMenuAddsThePlacesByProfileAndThePackages)
{
    const QString disk = MessyDisk(env);
    TfrmMain frm;
    env.dialogs().AnswerPath(disk);
    QString folders;
    qint64 walked = -1;
    env.dialogs().AnswerModal([&](QObject *dialog) {
        auto *window = qobject_cast<TfrmDiskSearch *>(dialog);
        const int result = window->exec();
        folders = window->lbFolders->text();
        walked = window->Result().folders;
        return result;
    });
    env.dialogs().Answer(mrNo); // keep the folder list
    frm.SearchDisk1->trigger();
    ASSERT_TRUE(env.dialogs().AllAnswered());
    EXPECT_EQ(folders, QStringLiteral("Folders searched: %1").arg(walked)) << "the last progress is shown";
    EXPECT_EQ(env.dialogs().calls.at(1).dialogName, QStringLiteral("TfrmDiskSearch"));

    QTreeWidget *tree = frm.tvDir;
    QStringList roots;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        roots << tree->topLevelItem(i)->text(0);
    EXPECT_EQ(roots, (QStringList{"carol", "bob", "Packages"}));
    EXPECT_EQ(Captions(tree->topLevelItem(0)),
              (QStringList{"AppData/Local/Microsoft/Messenger/carol@example.com",
                           QStringLiteral("AppData/Roaming/Microsoft/Protect/") + kSid}));
    EXPECT_EQ(Captions(tree->topLevelItem(1)), QStringList{"Application Data/Microsoft/MSN Messenger/123456"});
    EXPECT_EQ(Captions(tree->topLevelItem(1)->child(0)), QStringList{"CustomEmoticons"}) << "scanned as Manual does";
    QTreeWidgetItem *packages = tree->topLevelItem(2);
    ASSERT_EQ(Captions(packages), QStringList{"stuff.MCO"});
    EXPECT_EQ(PackageOfNode(*frm.Tree, packages), QString());
    EXPECT_EQ(PackageOfNode(*frm.Tree, tree->topLevelItem(1)->child(0)), QString());

    // The master keys of carol's roaming folder serve her local Messenger data.
    EXPECT_EQ(FindProtectDir(frm.Tree->FolderOf(tree->topLevelItem(0)->child(0))),
              disk + "/Windows.old/Users/carol/AppData/Roaming/Microsoft/Protect");

    // A package opens in the restore window.
    env.dialogs().ClearCalls();
    env.dialogs().AnswerModal([](QObject *) { return int(mrCancel); });
    emit tree->itemActivated(packages->child(0), 0);
    ASSERT_EQ(env.dialogs().calls.size(), 1u);
    EXPECT_EQ(env.dialogs().calls.at(0).dialogName, QStringLiteral("TfrmRestore"));
}

TEST_F(EnvTest, SearchCancelledByEscCloseOrCancelAddsNothing)
{
    const QString disk = MessyDisk(env);
    const std::function<void(TfrmDiskSearch *)> ways[] = {
        [](TfrmDiskSearch *w) { PressEscape(w); },
        [](TfrmDiskSearch *w) { w->close(); },
        [](TfrmDiskSearch *w) { w->btCancel->click(); },
    };
    for (const auto &cancel : ways) {
        TfrmMain frm;
        env.dialogs().ClearCalls();
        env.dialogs().AnswerPath(disk);
        env.dialogs().AnswerModal([&](QObject *dialog) {
            auto *window = qobject_cast<TfrmDiskSearch *>(dialog);
            window->show(); // the walk starts
            cancel(window);
            EXPECT_FALSE(window->isVisible());
            EXPECT_TRUE(window->Result().found.empty());
            return window->result();
        });
        frm.SearchDisk1->trigger();
        EXPECT_EQ(frm.tvDir->topLevelItemCount(), 0);
        EXPECT_EQ(env.dialogs().calls.size(), 2u) << "no question and no message after a cancel";
    }
}
