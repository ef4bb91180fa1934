// The main window's browsing commands, driven as a user would, with the scripted dialog service.
#include "BrowseFixtures.h"
#include "browse/ui/FilePane.h"
#include "browse/ui/Preview.h"
#include "common/EmailId.h"
#include "browse/ui/uMainBrowse.h"
#include "browse/ui/uOpenWith.h"
#include "browse/ui/uSelectEmail.h"
#include "shell/SettingsFile.h"
#include "app/uMain.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QMouseEvent>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMovie>
#include <QPushButton>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <fcntl.h>
#include <sys/stat.h>

using namespace zorvak;
using namespace zorvak::test;

class BrowseUi : public EnvTest {
protected:
    void SetUp() override
    {
        disk = MakeSyntheticDisk(env.path("disk"));
        Settings().docSetDir = disk.docSet;
        w = std::make_unique<TfrmMain>();
        before = TreeChecksum(disk.root);
    }
    void TearDown() override
    {
        w.reset();
        // Nothing of what a test did was written into the scanned folders.
        EXPECT_EQ(TreeChecksum(disk.root), before);
    }

    QList<QTreeWidgetItem *> Nodes() const
    {
        QList<QTreeWidgetItem *> all;
        for (int i = 0; i < browse::NodeCount(w->tvDir); ++i)
            all << browse::NodeAt(w->tvDir, i);
        return all;
    }
    // The node reached by captions from a root.
    QTreeWidgetItem *Node(const QStringList &path) const
    {
        QTreeWidgetItem *found = nullptr;
        for (QTreeWidgetItem *n : Nodes()) {
            QStringList captions;
            for (QTreeWidgetItem *p = n; p; p = p->parent())
                captions.prepend(p->text(0));
            if (captions == path)
                found = n;
        }
        return found;
    }
    QTreeWidgetItem *Emoticons() const { return Node({"Alice", disk.idAlice, "CustomEmoticons"}); }
    QStringList Rows() const
    {
        QStringList rows;
        for (int i = 0; i < w->lbFiles->count(); ++i)
            rows << w->lbFiles->item(i)->text();
        rows.sort();
        return rows;
    }
    void SelectRow(const QString &text)
    {
        const auto items = w->lbFiles->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << text.toStdString();
        w->lbFiles->setCurrentItem(items.first()); // the window runs lbFilesClick
    }
    QString LastMessage() { return env.dialogs().Messages().value(env.dialogs().Messages().size() - 1); }

    TSyntheticDisk disk;
    std::unique_ptr<TfrmMain> w;
    QByteArray before;
};

TEST_F(BrowseUi, AutoScanFillsTheTreeAndFolderMap)
{
    w->Auto1Click();
    const auto nodes = Nodes();
    ASSERT_EQ(nodes.size(), 12);
    EXPECT_EQ(w->FolderMap.Count(), 12);
    EXPECT_EQ(w->tvDir->currentItem(), w->tvDir->topLevelItem(0));
    for (int i = 0; i < nodes.size(); ++i) {
        const QString folder = w->FolderMap.GetValue(QString::number(i));
        EXPECT_TRUE(folder.endsWith(nodes[i]->text(0) + "/")) << folder.toStdString();
        EXPECT_TRUE(nodes[i]->childCount() == 0 || nodes[i]->isExpanded());
    }
    EXPECT_FALSE(Node({"Alice", disk.idAlice})->icon(0).isNull());
    EXPECT_TRUE(Node({"Alice", disk.idAlice, "MapFile"})->icon(0).isNull());
    EXPECT_EQ(w->CountNodesAtLevel(1), 3);
    EXPECT_EQ(w->ImageList1.size(), 8);
    for (const QIcon &icon : w->ImageList1)
        EXPECT_FALSE(icon.pixmap(16, 16).toImage().isNull());
}

TEST_F(BrowseUi, HidingPruningAndSelectingAfterwards)
{
    w->Hide1->setChecked(false);
    w->Auto1Click();
    ASSERT_EQ(Nodes().size(), 17);
    env.dialogs().ClearCalls();

    w->tvDirKeyDown(Qt::Key_F4); // ticks "Hide empty folders" and prunes
    EXPECT_TRUE(w->Hide1->isChecked());
    EXPECT_FALSE(w->StatusHintVisible());
    EXPECT_TRUE(env.dialogs().calls.empty());
    EXPECT_EQ(Node({"Alice", disk.idAlice, "Backgrounds"}), nullptr);
    EXPECT_EQ(Node({"Alice", disk.idAlice, "DynamicBackgrounds"}), nullptr);
    EXPECT_EQ(Node({"Alice", "44444444"}), nullptr);
    EXPECT_EQ(Node({"Alice", "33333333"}), nullptr);  // its only child went, and it holds no file itself
    EXPECT_NE(Node({"Alice", "22222222"}), nullptr);  // holds a file
    EXPECT_EQ(Node({"Carol"}), nullptr);
    EXPECT_NE(Node({"Bob", disk.idBob, "CustomEmoticons"}), nullptr);

    // Every node still reads its own folder.
    const auto nodes = Nodes();
    EXPECT_EQ(nodes.size(), 11);
    EXPECT_EQ(w->FolderMap.Count(), nodes.size());
    for (QTreeWidgetItem *n : nodes) {
        w->tvDir->setCurrentItem(n);
        EXPECT_TRUE(w->SelectedFolder().endsWith("/" + n->text(0) + "/")) << w->SelectedFolder().toStdString();
    }
    w->tvDir->setCurrentItem(Node({"Bob", disk.idBob, "CustomEmoticons"}));
    EXPECT_EQ(Rows(), QStringList{"e.gif"});

    w->tvDirKeyDown(Qt::Key_F4); // unticks: only a notice
    EXPECT_FALSE(w->Hide1->isChecked());
    EXPECT_EQ(LastMessage(), "This will take effect the next time you select a folder to show.\r"
                             "The next time folders are scanned, no folders will be hidden.");
    EXPECT_EQ(Nodes().size(), 11);
}

TEST_F(BrowseUi, TreeCommandCannotStartInsideAnother)
{
    for (int i = 0; i < 300; ++i)
        QDir().mkpath(disk.Messenger("Bob") + QString::number(90000 + i));
    before = TreeChecksum(disk.root);
    w->Hide1->setChecked(false);
    bool nestedRan = false;
    QTimer::singleShot(0, w.get(), [&] {
        nestedRan = true;
        w->CachedWLM801Click(); // would clear the tree
        w->Hide1->setChecked(true);
        w->Hide1Click();        // would prune it
    });
    w->Auto1Click();
    EXPECT_TRUE(nestedRan);
    EXPECT_TRUE(env.dialogs().calls.empty());
    EXPECT_EQ(browse::NodeCount(w->tvDir), 17 + 300);
}

TEST_F(BrowseUi, FileListNamesCountsAndPreview)
{
    w->Auto1Click();
    EmailById().SetValue(disk.idAlice, "alice@hotmail.com");
    w->tvDir->setCurrentItem(Node({"Alice", disk.idAlice}));
    // The address stays with the node (tooltip, screen readers) instead of a passing hint.
    EXPECT_FALSE(w->StatusHintVisible());
    EXPECT_EQ(Node({"Alice", disk.idAlice})->toolTip(0), "alice@hotmail.com");
    EXPECT_EQ(Node({"Alice", disk.idAlice})->data(0, Qt::AccessibleDescriptionRole).toString(), "alice@hotmail.com");

    w->tvDir->setCurrentItem(Emoticons());
    EXPECT_EQ(Rows(), (QStringList{"a.jpg", "b.gif", "b.png"}));
    EXPECT_EQ(w->lbTotalFiles->text(), "5 files total");
    EXPECT_EQ(w->lbRecognized->text(), "3 recognized");
    EXPECT_TRUE(w->labelFileList->toolTip().contains(disk.Messenger("Alice") + disk.idAlice + "/CustomEmoticons/"));
    EXPECT_TRUE(w->lbCab->isHidden());
    EXPECT_EQ(w->lbFiles->currentRow(), 0);

    SelectRow("b.png");
    EXPECT_TRUE(browse::HasPicture(w->Image1));
    EXPECT_EQ(browse::PictureSize(w->Image1), QSize(20, 20));
    EXPECT_EQ(ReadFile(w->AppDir + "~tmp.png"), PngPicture(20, 20));
    EXPECT_TRUE(w->btOpenWith->isEnabled());
    EXPECT_FALSE(w->btOpen->isEnabled()); // no program registered in the platform double
    SelectRow("b.gif");
    QMovie *movie = w->Image1->movie();
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->frameCount(), 2);
    EXPECT_EQ(movie->state(), QMovie::Running);
    EXPECT_EQ(ReadFile(w->AppDir + "~tmp.gif"), GifPicture(2));
    SelectRow("a.jpg");
    EXPECT_EQ(browse::PictureSize(w->Image1), QSize(40, 30));
    EXPECT_EQ(w->Image1->movie(), nullptr);

    w->chOnlyRecognized->setChecked(false);
    w->chOnlyRecognizedClick();
    EXPECT_EQ(Rows(), (QStringList{"a.jpg", "b.gif", "b.png", "map.dat", "notes.txt"}));
    EXPECT_EQ(w->lbTotalFiles->text(), "5 files total");
    EXPECT_EQ(w->lbRecognized->text(), "3 recognized");
    SelectRow("notes.txt");
    EXPECT_FALSE(browse::HasPicture(w->Image1));

    // A picture with a proper extension counts only while every file is tested.
    w->tvDir->setCurrentItem(Node({"Alice", disk.idAlice, "UserTile"}));
    EXPECT_EQ(Rows(), QStringList{"pic.png"});
    EXPECT_EQ(w->lbRecognized->text(), "1 recognized");
    w->chOnlyRecognized->setChecked(true);
    w->chOnlyRecognizedClick();
    EXPECT_TRUE(Rows().isEmpty());
    EXPECT_EQ(w->lbTotalFiles->text(), "1 files total");
    EXPECT_EQ(w->lbRecognized->text(), "0 recognized");
    EXPECT_FALSE(browse::HasPicture(w->Image1));
    EXPECT_FALSE(w->btOpen->isEnabled()); // no file: nothing to open
    EXPECT_FALSE(w->btOpenWith->isEnabled());
    const QSize openSize = w->btOpen->sizeHint();

    // Flash: the information card. Sound: no preview; the platform's default program names Open.
    env.platform().defaultOpenCommand = "/usr/bin/player";
    w->tvDir->setCurrentItem(Node({"Alice", disk.idAlice, "Winks3"}));
    EXPECT_EQ(Rows(), QStringList{"w.swf"});
    EXPECT_FALSE(w->Flash1->isHidden());
    EXPECT_TRUE(w->Flash1->text().contains(QString::fromUtf8("320 \u00d7 240 pixels"))) << w->Flash1->text().toStdString();
    EXPECT_EQ(w->btOpen->text(), "Open (player)");
    EXPECT_TRUE(w->btOpen->isEnabled());
    // The card names the listed file, not the preview's copy.
    EXPECT_TRUE(w->Flash1->text().contains("w.swf")) << w->Flash1->text().toStdString();
    EXPECT_FALSE(w->Flash1->text().contains("~tmp")) << w->Flash1->text().toStdString();
    // With the desktop's name for the program: "Open with" that name.
    env.platform().apps = {{"player.desktop", "Media Player", "/usr/bin/player"}};
    w->lbFilesClick();
    EXPECT_EQ(w->btOpen->text(), "Open with Media Player");
    // The button keeps its width whatever it names; the name is whole in its tooltip.
    env.platform().apps = {{"player.desktop", "Media Player of a Rather Long Name, Studio Edition", "/usr/bin/player"}};
    w->lbFilesClick();
    EXPECT_EQ(w->btOpen->sizeHint(), openSize);
    EXPECT_EQ(w->btOpen->toolTip(), "Open with Media Player of a Rather Long Name, Studio Edition");
    env.platform().apps.clear();
    w->tvDir->setCurrentItem(Node({"Alice", disk.idAlice, "VoiceClips"}));
    EXPECT_EQ(Rows(), QStringList{"v.mp3"});
    EXPECT_TRUE(w->Flash1->isHidden());
    EXPECT_FALSE(browse::HasPicture(w->Image1));

    // A damaged movie says so.
    WriteFile(w->AppDir + "broken.swf", QByteArray("CWS\x08\x40\0\0\0garbage", 15));
    w->PreviewFile(w->AppDir + "broken.swf", w->Image1, w->Flash1);
    EXPECT_TRUE(w->Flash1->text().contains("damaged"));
}

TEST_F(BrowseUi, SelectionMadeWhileAFolderIsListedWins)
{
    const QString big = disk.Messenger("Bob") + disk.idBob + "/Backgrounds/";
    for (int i = 0; i < 200; ++i)
        WriteFile(big + QString("bg%1.dat").arg(i), KindBytes(".png"));
    before = TreeChecksum(disk.root);
    w->Auto1Click();
    QTreeWidgetItem *backgrounds = Node({"Bob", disk.idBob, "Backgrounds"});
    QTreeWidgetItem *emoticons = Node({"Bob", disk.idBob, "CustomEmoticons"});
    ASSERT_TRUE(backgrounds && emoticons);
    // The user picks another folder while the big one is being listed.
    QTimer::singleShot(0, w.get(), [&] { w->tvDir->setCurrentItem(emoticons); });
    QThread::msleep(20); // pending events are processed at the listing's first entry
    w->tvDir->setCurrentItem(backgrounds);
    EXPECT_EQ(w->tvDir->currentItem(), emoticons);
    EXPECT_EQ(Rows(), QStringList{"e.gif"});
    EXPECT_EQ(w->Pane->DiskNames(), QStringList{"e.dat"});
    EXPECT_EQ(w->lbTotalFiles->text(), "1 files total");
}

TEST_F(BrowseUi, PictureFitsAndClickTogglesActualSize)
{
    // An animated picture first: its movie is a child of the image control.
    WriteFile(w->AppDir + "anim.gif", GifPicture(2));
    w->PreviewFile(w->AppDir + "anim.gif", w->Image1, nullptr);
    WriteFile(w->AppDir + "big.png", PngPicture(2000, 1500));
    w->Image1->resize(200, 200);
    w->PreviewFile(w->AppDir + "big.png", w->Image1, nullptr);
    const QSize fitted = w->Image1->pixmap().size();
    EXPECT_LE(fitted.width(), 200);
    EXPECT_EQ(fitted.width() * 3, fitted.height() * 4); // aspect ratio kept
    w->Image1Click();
    EXPECT_EQ(w->Image1->pixmap().size(), QSize(2000, 1500));
    w->Image1Click();
    EXPECT_EQ(w->Image1->pixmap().size(), fitted);
    w->show();
    w->Image1->resize(100, 100); // a fitted picture follows the control's size
    EXPECT_LE(w->Image1->pixmap().width(), 100);
}

TEST_F(BrowseUi, OpenAndOpenWith)
{
    w->Auto1Click();
    w->tvDir->setCurrentItem(Emoticons());
    SelectRow("a.jpg");
    w->btOpenClick();
    EXPECT_EQ(env.platform().openedUrls, QStringList{w->AppDir + "~tmp.jpg"});

    env.platform().apps = {{"viewer.desktop", "Viewer", "/usr/bin/viewer"}, {"paint.desktop", "Paint", "/usr/bin/paint"}};
    env.dialogs().AnswerModal([](QObject *d) {
        auto *chooser = static_cast<TfrmOpenWith *>(d);
        EXPECT_EQ(chooser->lbApps->count(), 2);
        chooser->lbApps->setCurrentRow(1);
        chooser->btOk->click();
        return chooser->result();
    });
    w->btOpenWithClick();
    ASSERT_EQ(env.platform().launchedApps.size(), 1);
    EXPECT_EQ(env.platform().launchedApps[0], (QStringList{"paint.desktop", w->AppDir + "~tmp.jpg"}));

    env.dialogs().AnswerModal([](QObject *d) {
        static_cast<TfrmOpenWith *>(d)->btBrowse->click();
        return static_cast<TfrmOpenWith *>(d)->result();
    });
    env.dialogs().AnswerPath("/opt/bin/editor");
    w->btOpenWithClick();
    ASSERT_EQ(env.platform().launchedApps.size(), 2);
    EXPECT_EQ(env.platform().launchedApps[1], (QStringList{"/opt/bin/editor", w->AppDir + "~tmp.jpg"}));
}

TEST_F(BrowseUi, SaveAsProposesNameFilterAndFolder)
{
    w->Auto1Click();
    // Nothing in the list yet.
    w->ClearFolderList();
    w->btSaveAsClick();
    EXPECT_EQ(LastMessage(), "Please select a folder from the Folder List,\rthen select a file from the File List.");

    w->Auto1Click();
    w->tvDir->setCurrentItem(Emoticons());
    w->lbFiles->setCurrentRow(-1);
    w->btOpenClick();
    EXPECT_EQ(LastMessage(), "Please select a file from the File List");

    SelectRow("a.jpg");
    QDir().mkpath(env.path("saved"));
    env.dialogs().AnswerPath(env.path("saved/mine")); // typed without an extension
    w->btSaveAsClick();
    const DialogCall &first = env.dialogs().calls.back();
    EXPECT_EQ(first.kind, DialogCall::Save);
    EXPECT_EQ(first.filter, "*.jpg (*.jpg);;*.* (*)");
    EXPECT_EQ(first.text, QStandardPaths::writableLocation(QStandardPaths::PicturesLocation) + "/a.jpg");
    EXPECT_EQ(ReadFile(env.path("saved/mine.jpg")), JpegPicture(40, 30));

    SelectRow("b.png"); // a second picture: the dialog opens where the user saved last
    env.dialogs().AnswerPath(env.path("saved/b.png"));
    w->btSaveAsClick();
    EXPECT_EQ(env.dialogs().calls.back().text, env.path("saved") + "/b.png");
    EXPECT_EQ(ReadFile(env.path("saved/b.png")), PngPicture(20, 20));

    // A failed copy shows the system's reason.
    QDir().mkpath(env.path("saved/dir.png"));
    env.dialogs().AnswerPath(env.path("saved/dir.png"));
    w->btSaveAsClick();
    EXPECT_EQ(env.dialogs().calls.back().type, TMsgDlgType::mtError);
    EXPECT_FALSE(LastMessage().isEmpty());

    w->tvDir->setCurrentItem(Node({"Alice", disk.idAlice, "VoiceClips"}));
    env.dialogs().AnswerPath(QString()); // cancelled
    w->btSaveAsClick();
    EXPECT_EQ(env.dialogs().calls.back().text, QStandardPaths::writableLocation(QStandardPaths::MusicLocation) + "/v.mp3");
}

TEST_F(BrowseUi, SaveFolderWithEachOverwriteAnswer)
{
    w->Auto1Click();
    w->tvDir->setCurrentItem(nullptr);
    w->btSaveFolderClick();
    EXPECT_EQ(LastMessage(), "Please select a folder from the Folder List");

    QTreeWidgetItem *id = Node({"Alice", disk.idAlice});
    w->tvDir->setCurrentItem(id);
    const QString out = env.path("export");
    QDir().mkpath(out);
    const QString target = out + "/" + disk.idAlice;
    env.dialogs().AnswerPath(out);
    w->btSaveFolderClick();
    auto folderCall = std::find_if(env.dialogs().calls.begin(), env.dialogs().calls.end(),
                                   [](const DialogCall &c) { return c.kind == DialogCall::Folder; });
    ASSERT_NE(folderCall, env.dialogs().calls.end());
    EXPECT_EQ(folderCall->title, "Save \"" + disk.idAlice + "\" to ");
    EXPECT_EQ(LastMessage(), "6 files has been copied.");
    EXPECT_EQ(env.platform().openedUrls, QStringList{target});
    EXPECT_EQ(ReadFile(target + "/Winks3/w.swf"), SwfMovie(true, 320, 240, 12, 48));
    EXPECT_FALSE(QFileInfo::exists(target + "/map.dat"));
    EXPECT_FALSE(w->StatusHintVisible());

    // Every file exists now: Yes, No, then Yes to All.
    env.dialogs().ClearCalls();
    env.dialogs().AnswerPath(out);
    env.dialogs().Answer(mrYes);
    env.dialogs().Answer(mrNo);
    env.dialogs().Answer(mrYesToAll);
    w->btSaveFolderClick();
    QStringList questions;
    for (const DialogCall &c : env.dialogs().calls)
        if (c.kind == DialogCall::Message) {
            questions << c.text;
            EXPECT_EQ(c.captions, (QStringList{"Yes", "No", "Cancel", "Yes To All"}));
        }
    ASSERT_EQ(questions.size(), 3);
    EXPECT_TRUE(questions[0].startsWith("File already exists:\r" + target + "/"));
    EXPECT_TRUE(questions[0].endsWith("\r\rOverwrite?"));
    EXPECT_EQ(LastMessage(), "5 files has been copied.");

    // Cancel ends the run at once; nothing copied, no file manager.
    env.dialogs().ClearCalls();
    env.platform().openedUrls.clear();
    env.dialogs().AnswerPath(out);
    env.dialogs().Answer(mrCancel);
    w->btSaveFolderClick();
    EXPECT_EQ(LastMessage(), "0 files has been copied.");
    EXPECT_TRUE(env.platform().openedUrls.isEmpty());

    // Never into the folder being saved.
    env.dialogs().ClearCalls();
    env.dialogs().AnswerPath(disk.Messenger("Alice"));
    w->btSaveFolderClick();
    EXPECT_EQ(LastMessage(), "A folder cannot be saved into itself:\r   " + disk.Messenger("Alice") + disk.idAlice);
    w->tvDir->setCurrentItem(Node({"Alice"}));
    env.dialogs().AnswerPath(disk.Messenger("Alice") + disk.idAlice);
    w->btSaveFolderClick();
    EXPECT_TRUE(LastMessage().startsWith("A folder cannot be saved into itself:"));

    // Only recognised files by default; everything when the box is cleared.
    w->chKnownOnly->setChecked(false);
    w->tvDir->setCurrentItem(Emoticons());
    env.dialogs().AnswerPath(env.path("all"));
    QDir().mkpath(env.path("all"));
    w->btSaveFolderClick();
    EXPECT_EQ(LastMessage(), "5 files has been copied.");
    EXPECT_TRUE(QFileInfo::exists(env.path("all/CustomEmoticons/map.dat")));
}

TEST_F(BrowseUi, WhichIsMyFolder)
{
    w->Auto1Click();
    // A name without "@" gets the default domain when it leaves the box.
    env.dialogs().AnswerModal([](QObject *d) {
        auto *dlg = static_cast<TfrmSelectEmail *>(d);
        EXPECT_EQ(dlg->cbEmail->currentText(), "@hotmail.com"); // nothing known yet
        EXPECT_EQ(dlg->lbId->text(), ""); // empty until the text changes
        dlg->cbEmail->setEditText("ALICE");
        EXPECT_EQ(dlg->lbId->text(), EmailToId("alice"));
        dlg->btOk->click();
        EXPECT_EQ(dlg->cbEmail->currentText(), "ALICE@hotmail.com");
        return dlg->result();
    });
    w->CalcId1Click();
    EXPECT_EQ(w->tvDir->currentItem(), Node({"Alice", disk.idAlice}));
    EXPECT_EQ(EmailById().GetValue(disk.idAlice), "ALICE@hotmail.com");
    EXPECT_TRUE(QFileInfo::exists(w->AppDir + "Zorvak.ini"));

    // An unknown address: the message names its ID; nothing is remembered.
    env.dialogs().AnswerModal([](QObject *d) {
        auto *dlg = static_cast<TfrmSelectEmail *>(d);
        EXPECT_EQ(dlg->cbEmail->count(), 1); // the known address is offered, not filled in
        EXPECT_EQ(dlg->cbEmail->currentText(), "");
        EXPECT_EQ(dlg->lbId->text(), "");
        // Dropping the list down does not leave the box: no domain is added.
        QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
        QCoreApplication::sendEvent(dlg->cbEmail->lineEdit(), &popup);
        EXPECT_EQ(dlg->cbEmail->currentText(), "");
        dlg->cbEmail->setCurrentIndex(0); // choosing from the list shows its ID
        EXPECT_EQ(dlg->lbId->text(), EmailToId("ALICE@hotmail.com"));
        dlg->cbEmail->setEditText("nobody@example.org");
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(dlg->cbEmail->lineEdit(), &enter); // Enter clicks OK
        return dlg->result();
    });
    w->CalcId1Click();
    EXPECT_EQ(LastMessage(), EmailToId("nobody@example.org") + " is not found in Folder List");
    EXPECT_EQ(EmailById().Count(), 1);
    EXPECT_EQ(w->tvDir->currentItem(), Node({"Alice", disk.idAlice}));

    // Close does nothing.
    env.dialogs().AnswerModal([](QObject *d) {
        auto *dlg = static_cast<TfrmSelectEmail *>(d);
        dlg->cbEmail->setEditText("bob@example.com");
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(dlg->cbEmail->lineEdit(), &escape); // Escape clicks Close
        EXPECT_EQ(dlg->result(), mrCancel);
        return dlg->result();
    });
    w->CalcId1Click();
    EXPECT_EQ(w->tvDir->currentItem(), Node({"Alice", disk.idAlice}));
}

TEST_F(BrowseUi, CurrentUserManualSelectionAndOpenFolder)
{
    w->btExploreClick();
    EXPECT_EQ(LastMessage(), "Please select a folder from the Folder List");

    w->Current1Click();
    EXPECT_TRUE(LastMessage().startsWith("Cannot find the environment variable %APPDATA%,\rnor the registry value"));
    EXPECT_EQ(Nodes().size(), 0);

    env.platform().appData = disk.docSet + "Bob/Application Data";
    w->Current1Click();
    EXPECT_EQ(Node({"Current user", disk.idBob, "CustomEmoticons"})->text(0), "CustomEmoticons");
    EXPECT_EQ(w->FolderMap.GetValue("0"), disk.docSet + "Bob/Application Data/");

    env.platform().appData = disk.docSet + "All Users/Application Data";
    w->Current1Click();
    EXPECT_EQ(LastMessage(), "Cannot find directory Microsoft/MSN Messenger/\runder " + disk.docSet +
                                 "All Users/Application Data/\r\rPlease use Settings to change the path of MSN data directory");
    EXPECT_EQ(Nodes().size(), 1);

    // Manual: a root for the chosen folder, its sub-folders as content folders.
    const QString chosen = disk.Messenger("Alice") + disk.idAlice;
    env.dialogs().AnswerPath(chosen);
    env.dialogs().Answer(mrNo); // keep the tree: the new root comes after
    w->Manual1Click();
    EXPECT_EQ(w->tvDir->topLevelItemCount(), 2);
    EXPECT_EQ(w->tvDir->currentItem(), w->tvDir->topLevelItem(0));
    EXPECT_EQ(w->tvDir->topLevelItem(1)->text(0), disk.idAlice);
    EXPECT_EQ(w->FolderMap.GetValue("1"), chosen);
    EXPECT_NE(Node({disk.idAlice, "Winks3"}), nullptr);
    EXPECT_EQ(Node({disk.idAlice, "Backgrounds"}), nullptr);

    env.dialogs().AnswerPath(chosen);
    env.dialogs().Answer(mrYes);
    w->Manual1Click();
    EXPECT_EQ(w->tvDir->topLevelItemCount(), 1);
    w->btExploreClick();
    EXPECT_EQ(env.platform().openedUrls, QStringList{chosen});
}

TEST_F(BrowseUi, CachedMsn75PicturesAreCopiedOutAndDesktopIniPutBack)
{
    const QString tif = env.path("profile/Temporary Internet Files/");
    WriteFile(tif + "desktop.ini", "[.ShellClassInfo]\r\n");
    WriteFile(tif + "Content.IE5/desktop.ini", "[IE5]\r\n");
    WriteFile(tif + "Content.IE5/AB12/pic.bin", GifPicture(1));
    WriteFile(tif + "Content.IE5/CD34/pic.bin", PngPicture(5, 5));
    WriteFile(tif + "Content.IE5/EF56/deep/pic.bin", JpegPicture(4, 4));
    WriteFile(tif + "Content.IE5/EF56/other.gif", GifPicture(1));
    env.platform().shellFolders["Cache"] = tif;
    w->Auto1Click();

    w->CachedMSN751Click();
    ASSERT_EQ(w->tvDir->topLevelItemCount(), 1);
    EXPECT_EQ(w->tvDir->topLevelItem(0)->text(0), "MSN 7.5 Cache");
    EXPECT_EQ(w->FolderMap.GetValue("0"), w->AppDir + "~tmpCache");
    EXPECT_FALSE(w->StatusHintVisible());
    QStringList copies = QDir(w->AppDir + "~tmpCache").entryList(QDir::Files);
    copies.sort();
    EXPECT_EQ(copies, (QStringList{"pic.bin", "pic[1].bin", "pic[2].bin"}));
    EXPECT_EQ(Rows().size(), 3);
    EXPECT_EQ(ReadFile(tif + "desktop.ini"), "[.ShellClassInfo]\r\n");
    EXPECT_EQ(ReadFile(tif + "Content.IE5/desktop.ini"), "[IE5]\r\n");
    EXPECT_FALSE(QFileInfo::exists(w->AppDir + "Desktopini1"));
    EXPECT_FALSE(QFileInfo::exists(w->AppDir + "Desktopini2"));

    // A second collection puts the first one's copies in the trash first.
    w->CachedMSN751Click();
    EXPECT_TRUE(env.platform().trashed.contains(w->AppDir + "~tmpCache"));
    EXPECT_EQ(QDir(w->AppDir + "~tmpCache").entryList(QDir::Files).size(), 3);

    // No Content.IE5: the message, the Desktop.ini back in place, the tree as it was.
    QDir(tif + "Content.IE5").removeRecursively();
    w->CachedMSN751Click();
    EXPECT_EQ(LastMessage(), "Error: Directory not found:\r" + tif + "Content.IE5");
    EXPECT_EQ(env.dialogs().calls.back().type, TMsgDlgType::mtError);
    EXPECT_EQ(ReadFile(tif + "desktop.ini"), "[.ShellClassInfo]\r\n");
    EXPECT_EQ(w->tvDir->topLevelItem(0)->text(0), "MSN 7.5 Cache");

    env.platform().shellFolders.remove("Cache");
    env.dialogs().ClearCalls();
    w->CachedMSN751Click();
    EXPECT_EQ(env.dialogs().Messages(),
              (QStringList{"Error: Could not get TIF folder from registry.", "Error: Directory not found:\r/Content.IE5"}));
}

TEST_F(BrowseUi, CachedWlmPicturesAreShownWhereTheyAre)
{
    const QString ls = env.path("profile/Local Settings");
    env.platform().shellFolders["Local Settings"] = ls;
    w->CachedWLM801Click();
    EXPECT_EQ(LastMessage(), "Directory not found:\r   " + ls + "/Temp/MessengerCache/");

    WriteFile(ls + "/Temp/MessengerCache/a1b2.dat", PngPicture(8, 8));
    WriteFile(ls + "/Temp/MessengerCache/DisplayPictures/x.dat", PngPicture(8, 8));
    const QByteArray cacheBefore = TreeChecksum(ls);
    w->CachedWLM801Click();
    ASSERT_EQ(w->tvDir->topLevelItemCount(), 1);
    EXPECT_EQ(w->tvDir->topLevelItem(0)->text(0), "WLM Cache");
    EXPECT_EQ(w->FolderMap.GetValue("0"), ls + "/Temp/MessengerCache/");
    EXPECT_EQ(Node({"WLM Cache", "DisplayPictures"})->text(0), "DisplayPictures");
    EXPECT_EQ(Rows(), QStringList{"a1b2.png"});
    EXPECT_EQ(TreeChecksum(ls), cacheBefore);
}

TEST_F(BrowseUi, CabinetListPreviewAndSave)
{
    const QByteArray movie = SwfMovie(true, 160, 120, 15, 30);
    const QByteArray wink = GcabCabinet(env.path("made"), {{"thumb.png", PngPicture(12, 10)}, {"wink.swf", movie}});
    ASSERT_FALSE(wink.isEmpty()) << "gcab is needed";
    const QString winks = disk.Messenger("Alice") + disk.idAlice + "/Winks3/";
    WriteFile(winks + "{4F2A}", wink);
    WriteFile(winks + "broken.dat", QByteArray("MSCF") + QByteArray(60, '\x01'));
    before = TreeChecksum(disk.root);

    w->Auto1Click();
    w->tvDir->setCurrentItem(Node({"Alice", disk.idAlice, "Winks3"}));
    EXPECT_EQ(Rows(), (QStringList{"broken.cab", "w.swf", "{4F2A}.cab"}));
    SelectRow("{4F2A}.cab");
    EXPECT_FALSE(w->lbCab->isHidden());
    QStringList entries;
    for (int i = 0; i < w->lbCab->count(); ++i)
        entries << w->lbCab->item(i)->text();
    entries.sort();
    EXPECT_EQ(entries, (QStringList{"thumb.png", "wink.swf"}));
    EXPECT_EQ(w->lbCab->currentRow(), -1);
    // The first Flash entry plays.
    EXPECT_FALSE(w->Flash1->isHidden());
    EXPECT_EQ(w->Pane->Preview().FlashMovie(), w->AppDir + "~tmp/wink.swf");
    EXPECT_TRUE(w->Flash1->text().contains(QString::fromUtf8("160 \u00d7 120 pixels")));
    EXPECT_EQ(ReadFile(w->AppDir + "~tmp/wink.swf"), movie);

    // A picture entry previews; Save as proposes the entry's own name.
    w->lbCab->setCurrentItem(w->lbCab->findItems("thumb.png", Qt::MatchExactly).first());
    EXPECT_TRUE(w->Flash1->isHidden());
    EXPECT_EQ(browse::PictureSize(w->Image1), QSize(12, 10));
    QDir().mkpath(env.path("saved"));
    env.dialogs().AnswerPath(env.path("saved/thumb.png"));
    w->btSaveAsClick();
    EXPECT_TRUE(env.dialogs().calls.back().text.endsWith("/thumb.png"));
    EXPECT_EQ(ReadFile(env.path("saved/thumb.png")), PngPicture(12, 10));

    // A damaged cabinet: an empty list and no message.
    SelectRow("broken.cab");
    EXPECT_FALSE(w->lbCab->isHidden());
    EXPECT_EQ(w->lbCab->count(), 0);
    EXPECT_TRUE(env.dialogs().Messages().isEmpty());
    // Any other file hides the list again.
    SelectRow("w.swf");
    EXPECT_TRUE(w->lbCab->isHidden());

    // The thumbnail of a cabinet without a Flash control: its first picture; the nested folder goes.
    WriteFile(w->AppDir + "nested.cab", wink);
    w->PreviewFile(w->AppDir + "nested.cab", w->Image1, nullptr);
    EXPECT_EQ(browse::PictureSize(w->Image1), QSize(12, 10));
    EXPECT_FALSE(QFileInfo::exists(w->AppDir + "~tmp2"));
}

namespace {
const QDateTime kOld(QDate(2006, 5, 4), QTime(3, 2, 1), Qt::UTC);

void SetModified(const QString &path, const QDateTime &when)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite)) << path.toStdString();
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
}

QDateTime Modified(const QString &path) { return QFileInfo(path).lastModified().toUTC(); }

// What moving a file away and back changes even on the same file system.
struct TStat {
    ino_t inode;
    timespec changed, modified;
    mode_t mode;
};
TStat StatOf(const QString &path)
{
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return {st.st_ino, st.st_ctim, st.st_mtim, st.st_mode};
}
void ExpectSame(const TStat &a, const TStat &b)
{
    EXPECT_EQ(a.inode, b.inode);
    EXPECT_EQ(a.mode, b.mode);
    EXPECT_TRUE(a.changed.tv_sec == b.changed.tv_sec && a.changed.tv_nsec == b.changed.tv_nsec);
    EXPECT_TRUE(a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec);
}

// A left-button click as the mouse gives it: press and release over a row.
void ClickRow(QListWidget *list, int row)
{
    const QPoint at = list->visualItemRect(list->item(row)).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &event);
    }
}
} // namespace

TEST_F(BrowseUi, SaveAsAsksBeforeReplacingTheNameCompletedWithTheExtension)
{
    w->Auto1Click();
    w->tvDir->setCurrentItem(Emoticons());
    SelectRow("a.jpg");
    WriteFile(env.path("saved/holiday.jpg"), "the only copy");

    // "holiday" typed for a JPEG: the file written would be holiday.jpg, so that is asked about.
    env.dialogs().AnswerPath(env.path("saved/holiday"));
    env.dialogs().Answer(mrNo);
    w->btSaveAsClick();
    const auto &calls = env.dialogs().calls;
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2].kind, DialogCall::Save);
    EXPECT_EQ(calls[calls.size() - 2].defaultSuffix, "jpg"); // the real dialog completes and asks itself
    EXPECT_EQ(calls.back().type, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(calls.back().text, "File already exists:\r" + env.path("saved/holiday.jpg") + "\r\rOverwrite?");
    EXPECT_TRUE(env.dialogs().AllAnswered());
    EXPECT_EQ(ReadFile(env.path("saved/holiday.jpg")), "the only copy");

    env.dialogs().AnswerPath(env.path("saved/holiday"));
    env.dialogs().Answer(mrYes);
    w->btSaveAsClick();
    EXPECT_EQ(ReadFile(env.path("saved/holiday.jpg")), JpegPicture(40, 30));

    // A new name, or one the dialog itself asked about: no second question.
    env.dialogs().ClearCalls();
    env.dialogs().AnswerPath(env.path("saved/other"));
    env.dialogs().AnswerPath(env.path("saved/holiday.jpg"));
    w->btSaveAsClick();
    w->btSaveAsClick();
    EXPECT_EQ(env.dialogs().calls.size(), 2u);
    EXPECT_EQ(ReadFile(env.path("saved/other.jpg")), JpegPicture(40, 30));
}

TEST_F(BrowseUi, CopiesKeepTheModificationTime)
{
    const QString emoticons = disk.Messenger("Alice") + disk.idAlice + "/CustomEmoticons/";
    for (const QString &name : QDir(emoticons).entryList(QDir::Files))
        SetModified(emoticons + name, kOld);
    before = TreeChecksum(disk.root);
    w->Auto1Click();
    w->tvDir->setCurrentItem(Emoticons());
    SelectRow("a.jpg");
    EXPECT_EQ(Modified(w->AppDir + "~tmp.jpg"), kOld); // the preview copy

    QDir().mkpath(env.path("saved"));
    env.dialogs().AnswerPath(env.path("saved/a.jpg"));
    w->btSaveAsClick();
    EXPECT_EQ(Modified(env.path("saved/a.jpg")), kOld);

    QDir().mkpath(env.path("export"));
    env.dialogs().AnswerPath(env.path("export"));
    w->btSaveFolderClick();
    ASSERT_TRUE(QFileInfo::exists(env.path("export/CustomEmoticons/b.png")));
    EXPECT_EQ(Modified(env.path("export/CustomEmoticons/b.png")), kOld);
}

TEST_F(BrowseUi, SpecialFilesAreNeitherListedNorOpened)
{
    const QString emoticons = disk.Messenger("Alice") + disk.idAlice + "/CustomEmoticons/";
    const TStat folder = StatOf(emoticons);
    {
        TFifoWatch fifo(emoticons + "pipe.png");
        w->Auto1Click();
        w->tvDir->setCurrentItem(Emoticons());
        EXPECT_EQ(Rows(), (QStringList{"a.jpg", "b.gif", "b.png"}));
        w->chOnlyRecognized->setChecked(false);
        w->chOnlyRecognizedClick();
        EXPECT_EQ(Rows(), (QStringList{"a.jpg", "b.gif", "b.png", "map.dat", "notes.txt"}));
        EXPECT_EQ(w->lbTotalFiles->text(), "5 files total");

        QDir().mkpath(env.path("export"));
        env.dialogs().AnswerPath(env.path("export"));
        w->chKnownOnly->setChecked(false);
        w->btSaveFolderClick();
        EXPECT_EQ(LastMessage(), "5 files has been copied.");
        EXPECT_FALSE(QFileInfo::exists(env.path("export/CustomEmoticons/pipe.png")));
        EXPECT_FALSE(fifo.Opened()) << "the FIFO was opened for reading";
    }
    // The folder's time as it was before the test made and removed the FIFO.
    const timespec times[2] = {folder.modified, folder.modified};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(emoticons).constData(), times, 0), 0);
}

TEST_F(BrowseUi, OneClickOnAFileRunsItsHandlerOnce)
{
    w->show();
    w->Auto1Click();
    w->tvDir->setCurrentItem(Emoticons());
    ASSERT_EQ(w->lbFiles->count(), 3);
    QStringList previewed;
    QObject::connect(w->Pane, &TFilePane::filePreviewed, w.get(), [&](const QString &name) { previewed << name; });

    ClickRow(w->lbFiles, 1); // another row: the row change runs it, the click does not again
    EXPECT_EQ(w->lbFiles->currentRow(), 1);
    EXPECT_EQ(previewed.size(), 1);
    ClickRow(w->lbFiles, 1); // the current row once more
    EXPECT_EQ(previewed.size(), 2);
    w->lbFiles->setCurrentRow(2); // the keyboard
    EXPECT_EQ(previewed.size(), 3);
    ClickRow(w->lbFiles, 0);
    EXPECT_EQ(previewed.size(), 4);
    EXPECT_EQ(previewed.last(), w->Pane->DiskNames().at(0));
}

TEST_F(BrowseUi, CachedPicturesLeaveTheCacheAsItWasAndKeepTheirTimes)
{
    const QString tif = env.path("profile/Temporary Internet Files/");
    WriteFile(tif + "Desktop.ini", "[.ShellClassInfo]\r\n");
    WriteFile(tif + "Content.IE5/desktop.ini", "[IE5]\r\n");
    WriteFile(tif + "Content.IE5/AB12/pic.bin", PngPicture(5, 5));
    SetModified(tif + "Content.IE5/AB12/pic.bin", kOld);
    QFile::setPermissions(tif + "Desktop.ini", QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    const TStat outer = StatOf(tif + "Desktop.ini");
    const TStat inner = StatOf(tif + "Content.IE5/desktop.ini");
    const QByteArray cache = TreeChecksum(tif);
    env.platform().shellFolders["Cache"] = tif;

    w->CachedMSN751Click();
    ExpectSame(StatOf(tif + "Desktop.ini"), outer);
    ExpectSame(StatOf(tif + "Content.IE5/desktop.ini"), inner);
    EXPECT_EQ(TreeChecksum(tif), cache);
    EXPECT_EQ(QDir(w->AppDir + "~tmpCache").entryList(QDir::Files), QStringList{"pic.bin"});
    EXPECT_EQ(Modified(w->AppDir + "~tmpCache/pic.bin"), kOld);
    EXPECT_TRUE(QDir(w->AppDir).entryList({"Desktopini*"}, QDir::Files).isEmpty());

    // A FIFO among the cached pictures is not copied, nor opened.
    TFifoWatch fifo(tif + "Content.IE5/CD34/pipe.bin");
    w->CachedMSN751Click();
    EXPECT_EQ(QDir(w->AppDir + "~tmpCache").entryList(QDir::Files), QStringList{"pic.bin"});
    EXPECT_FALSE(fifo.Opened());
}

TEST_F(BrowseUi, CachedPicturesOfTheScannedWindowsProfiles)
{
    EXPECT_EQ(ProfileOfUserFolder("/d/Users/Bob/AppData/Roaming/"), "/d/Users/Bob/");
    EXPECT_EQ(ProfileOfUserFolder("/d/DS/Alice/Application Data/"), "/d/DS/Alice/");
    EXPECT_EQ(ProfileOfUserFolder("/d/DS/Alice/"), "/d/DS/Alice/");

    // No cache folder configured: the profiles the scan found are offered, by name.
    const QString alice = disk.docSet + "Alice/";
    const QString bob = disk.docSet + "Bob/";
    WriteFile(bob + "Local Settings/Temporary Internet Files/Content.IE5/AB12/pic.bin", PngPicture(5, 5));
    WriteFile(bob + "Local Settings/Temp/MessengerCache/x.dat", PngPicture(8, 8));
    before = TreeChecksum(disk.root);
    w->Auto1Click();
    env.dialogs().ClearCalls();
    env.dialogs().Answer(mrNo);  // Alice
    env.dialogs().Answer(mrYes); // Bob
    w->CachedMSN751Click();
    ASSERT_EQ(env.dialogs().Messages().size(), 2);
    EXPECT_EQ(env.dialogs().Messages().at(0), "Show the cached pictures of the Windows user Alice?\r   " + alice);
    EXPECT_EQ(env.dialogs().Messages().at(1), "Show the cached pictures of the Windows user Bob?\r   " + bob);
    EXPECT_EQ(env.dialogs().calls.back().type, TMsgDlgType::mtConfirmation);
    ASSERT_EQ(w->tvDir->topLevelItemCount(), 1);
    EXPECT_EQ(w->tvDir->topLevelItem(0)->text(0), "MSN 7.5 Cache");
    EXPECT_EQ(Rows(), QStringList{"pic.png"});

    // Cancel ends the command quietly and leaves the tree.
    w->Auto1Click();
    env.dialogs().ClearCalls();
    env.dialogs().Answer(mrCancel);
    w->CachedWLM801Click();
    EXPECT_EQ(env.dialogs().calls.size(), 1u);
    EXPECT_EQ(w->tvDir->topLevelItemCount(), 3);

    env.dialogs().Answer(mrNo);
    env.dialogs().Answer(mrYes);
    w->CachedWLM801Click();
    EXPECT_EQ(w->FolderMap.GetValue("0"), bob + "Local Settings/Temp/MessengerCache/");
    EXPECT_EQ(Rows(), QStringList{"x.png"});

    // The configured folder overrides the profiles: no question.
    env.dialogs().ClearCalls();
    env.platform().shellFolders["Local Settings"] = bob + "Local Settings";
    w->CachedWLM801Click();
    EXPECT_TRUE(env.dialogs().calls.empty());
    EXPECT_EQ(w->FolderMap.GetValue("0"), bob + "Local Settings/Temp/MessengerCache/");
}
