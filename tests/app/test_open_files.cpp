// Packages and folders handed to the main window: the program's FILE argument, a package dropped
// anywhere on the window, a folder dropped on the folder list.
#include "ShellFixture.h"

#include "browse/ui/FolderTree.h"
#include "restore/RestoreCore.h"
#include "restore/ContentLibrary.h"
#include "restore/uRestore.h"
#include "shell/uLanguage.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {

QString L(const char *key) { return CurrentLanguage().Get(QString::fromLatin1(key)); }

// The file the restore window showed when it opened, and the number of times it opened.
struct RestoreSeen {
    QStringList files;
    QStringList instructions; // the line above the package: where the content goes
};

void ExpectRestoreWindow(TestEnv &env, RestoreSeen &seen)
{
    env.dialogs().AnswerModal([&seen](QObject *dialog) {
        auto *restore = qobject_cast<TfrmRestore *>(dialog);
        EXPECT_TRUE(restore);
        if (restore) {
            seen.files << restore->edFile->text();
            seen.instructions << restore->lbIns1->text();
        }
        return mrCancel;
    });
}

QMimeData *Urls(const QStringList &paths)
{
    auto *data = new QMimeData;
    QList<QUrl> urls;
    for (const QString &p : paths)
        urls << (p.contains(QStringLiteral("://")) ? QUrl(p) : QUrl::fromLocalFile(p));
    data->setUrls(urls);
    return data;
}

// Shows the window at the size the drop positions are taken from.
void ShowAtTestSize(TfrmMain &frm)
{
    frm.resize(800, 600);
    frm.show();
    QCoreApplication::processEvents();
}

// Sends one drag-and-drop event of `data` at `at` (window coordinates) to the window, unaccepted
// until the window takes it; returns whether it did.
template <typename Event>
bool Send(TfrmMain &frm, const QMimeData *data, QPoint at)
{
    Event event(at, Qt::CopyAction | Qt::LinkAction, data, Qt::LeftButton, Qt::NoModifier);
    event.setAccepted(false);
    QCoreApplication::sendEvent(&frm, &event);
    return event.isAccepted();
}

// Drags `data` over the window at `at`: whether the window would take it.
bool Accepts(TfrmMain &frm, const QMimeData *data, QPoint at)
{
    const bool entered = Send<QDragEnterEvent>(frm, data, at);
    const bool moved = Send<QDragMoveEvent>(frm, data, at);
    EXPECT_EQ(entered, moved);
    return moved;
}

// Drags `data` to `at` and drops it there (the drop reaches the window only when it took the
// drag), then lets the work that follows the drop run.
bool Drop(TfrmMain &frm, const QMimeData *data, QPoint at)
{
    Send<QDragEnterEvent>(frm, data, at);
    const bool dropped = Send<QDropEvent>(frm, data, at);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return dropped;
}

QPoint CentreOf(TfrmMain &frm, QWidget *w) { return w->mapTo(&frm, w->rect().center()); }

} // namespace

TEST_F(EnvTest, TheFileArgumentOpensTheRestoreWindowWithoutTheBrowsingNotice)
{
    Settings().docSetDir = env.path(QStringLiteral("nothing-here/"));
    const QString package = env.path(QStringLiteral("in/Backup1.mco"));
    WriteFile(package, QByteArray("MSCF"));
    RestoreSeen seen;
    ExpectRestoreWindow(env, seen);
    TfrmMain frm;
    frm.show();
    frm.InstallStartupChecks(package);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    // Straight to the restore window on the package: no notice about browsing folders first.
    ASSERT_EQ(env.dialogs().calls.size(), 1u);
    EXPECT_EQ(env.dialogs().calls.at(0).dialogName, QStringLiteral("TfrmRestore"));
    EXPECT_EQ(seen.files, QStringList{package});
    // No sign-in to ask for here: the window says where the content will be installed.
    ASSERT_EQ(seen.instructions.size(), 1);
    EXPECT_TRUE(seen.instructions.first().endsWith(TContentLibrary::DefaultFolder())) << seen.instructions.first().toStdString();
    EXPECT_TRUE(env.dialogs().AllAnswered());
}

TEST_F(EnvTest, ThePackageArgumentWaitsForACdRomRefusal)
{
    // The program ends at the start-up checks: no restore window then.
    env.platform().driveType = DriveType::CdRom;
    Settings().docSetDir = env.path(QStringLiteral("nothing-here/"));
    const QString package = env.path(QStringLiteral("Backup1.mco"));
    WriteFile(package, QByteArray("MSCF"));
    TfrmMain frm;
    frm.show();
    frm.InstallStartupChecks(package);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(frm.Terminating);
    for (const DialogCall &call : env.dialogs().calls)
        EXPECT_NE(call.dialogName, QStringLiteral("TfrmRestore"));
}

TEST_F(EnvTest, APackageDroppedAnywhereOpensTheRestoreWindow)
{
    TfrmMain frm;
    ShowAtTestSize(frm);
    const QString named = env.path(QStringLiteral("Backup2.MCO"));
    const QString cabinet = env.path(QStringLiteral("wink.cab"));
    const QString bySignature = env.path(QStringLiteral("download.bin"));
    WriteFile(named, QByteArray("not even a cabinet"));
    WriteFile(cabinet, QByteArray("MSCF"));
    WriteFile(bySignature, QByteArray("MSCF\0\0\0\0", 8));
    RestoreSeen seen;
    for (const QString &package : {named, cabinet, bySignature}) {
        std::unique_ptr<QMimeData> data(Urls({package}));
        EXPECT_TRUE(Accepts(frm, data.get(), CentreOf(frm, frm.lbFiles))) << package.toStdString();
        ExpectRestoreWindow(env, seen);
        EXPECT_TRUE(Drop(frm, data.get(), CentreOf(frm, frm.tvDir)));
    }
    EXPECT_EQ(seen.files, (QStringList{named, cabinet, bySignature}));

    // Only the first local item counts: one window, never a series of them.
    seen.files.clear();
    std::unique_ptr<QMimeData> two(Urls({QStringLiteral("https://example.org/x.mco"), cabinet, named}));
    ExpectRestoreWindow(env, seen);
    EXPECT_TRUE(Drop(frm, two.get(), CentreOf(frm, frm.lbFiles)));
    EXPECT_EQ(seen.files, QStringList{cabinet});
    EXPECT_TRUE(env.dialogs().AllAnswered());
}

TEST_F(EnvTest, WhatIsNoPackageIsRefusedWithoutBeingRead)
{
    TfrmMain frm;
    ShowAtTestSize(frm);
    const QString text = env.path(QStringLiteral("notes.txt"));
    WriteFile(text, QByteArray("MSC"));
    const QString fifo = env.path(QStringLiteral("pipe.mco"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = env.path(QStringLiteral("folder.mco"));
    QDir().mkpath(folder);
    env.dialogs().ClearCalls();
    for (const QString &path : {text, fifo, env.path(QStringLiteral("missing.mco"))}) {
        std::unique_ptr<QMimeData> data(Urls({path}));
        EXPECT_FALSE(Accepts(frm, data.get(), CentreOf(frm, frm.lbFiles))) << path.toStdString();
        EXPECT_FALSE(Drop(frm, data.get(), CentreOf(frm, frm.lbFiles))) << path.toStdString();
    }
    // A folder is no package, and outside the folder list it is refused too.
    std::unique_ptr<QMimeData> folderData(Urls({folder}));
    EXPECT_FALSE(Accepts(frm, folderData.get(), CentreOf(frm, frm.lbFiles)));
    EXPECT_FALSE(Drop(frm, folderData.get(), CentreOf(frm, frm.lbFiles)));
    std::unique_ptr<QMimeData> text2(new QMimeData);
    text2->setText(QStringLiteral("/etc/passwd"));
    EXPECT_FALSE(Accepts(frm, text2.get(), CentreOf(frm, frm.tvDir)));
    EXPECT_TRUE(env.dialogs().calls.empty());

    EXPECT_FALSE(IsPackageFile(fifo));
    EXPECT_FALSE(IsPackageFile(folder));
    EXPECT_FALSE(IsPackageFile(QString()));
}

TEST_F(EnvTest, AFolderDroppedOnTheFolderListIsAddedAsManualAddsIt)
{
    const QString root = BuildProfiles(env, {QStringLiteral("157913456")});
    // A user's folder, as Manual takes one: a root for it, its sub-folders as content folders.
    const QString dropped = root + QStringLiteral("alice/Application Data/Microsoft/MSN Messenger/157913456");
    Settings().docSetDir = env.path(QStringLiteral("nothing-here/"));
    TfrmMain frm;
    ShowAtTestSize(frm);
    std::unique_ptr<QMimeData> data(Urls({dropped}));
    EXPECT_TRUE(Accepts(frm, data.get(), CentreOf(frm, frm.tvDir)));
    EXPECT_FALSE(Accepts(frm, data.get(), CentreOf(frm, frm.lbFiles)));

    // Manual's question about the list comes first; the folder is added with its scanned content.
    env.dialogs().Answer(mrNo);
    EXPECT_TRUE(Drop(frm, data.get(), CentreOf(frm, frm.tvDir)));
    EXPECT_EQ(env.dialogs().Messages(), QStringList{L("ClearFolderListConfirmation")});
    ASSERT_EQ(frm.tvDir->topLevelItemCount(), 1);
    EXPECT_EQ(frm.tvDir->topLevelItem(0)->text(0), QStringLiteral("157913456"));
    ASSERT_EQ(frm.CountNodesAtLevel(1), 1);
    EXPECT_EQ(frm.tvDir->topLevelItem(0)->child(0)->text(0), QStringLiteral("CustomEmoticons"));
    EXPECT_EQ(frm.FolderMap.GetValue(QStringLiteral("0")), dropped);

    // The same through Manual gives the same tree; answered Yes, the list is cleared first.
    QStringList dropTree;
    for (int i = 0; i < frm.tvDir->topLevelItemCount(); ++i)
        dropTree << frm.tvDir->topLevelItem(i)->text(0);
    env.dialogs().Answer(mrYes);
    EXPECT_TRUE(Drop(frm, data.get(), CentreOf(frm, frm.tvDir)));
    EXPECT_EQ(frm.tvDir->topLevelItemCount(), 1);
    env.dialogs().AnswerPath(dropped);
    env.dialogs().Answer(mrYes);
    frm.Manual1Click();
    ASSERT_EQ(frm.tvDir->topLevelItemCount(), 1);
    EXPECT_EQ(frm.tvDir->topLevelItem(0)->text(0), dropTree.first());
    EXPECT_EQ(frm.CountNodesAtLevel(1), 1);
    EXPECT_TRUE(env.dialogs().AllAnswered());
}
