// The main window over the demo profile, as a user sees it: the start-up scan finds both demo
// users through the Application Data folder, content folders list their files under recognised
// names, pictures preview, a wink lists its cabinet. With ZORVAK_SHOT_DIR set, every step is also
// saved as a picture of the window there.
#include "backup/ContentNames.h"
#include "browse/ui/FilePane.h"
#include "backup/NameUnlock.h"
#include "browse/FolderChoice.h"
#include "browse/ui/ThumbnailView.h"
#include "browse/ui/uMainBrowse.h"
#include "common/unitString.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "app/uMain.h"
#include "support/Programs.h"
#include "WindowQueries.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>
#include <QWheelEvent>
#include <optional>
#include <QListWidget>
#include <QMovie>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace zorvak;
using namespace zorvak::test;

namespace {

class DemoWindow : public DemoProfileTest {
protected:
    void SetUp() override
    {
        DemoProfileTest::SetUp();
        if (HasFatalFailure())
            return;
        // Nothing at the built-in documents folder: the Application Data folder leads to the profiles.
        Settings().docSetDir = env.path(QStringLiteral("no-such-folder/"));
        env.platform().appData = appData;
        before = TreeChecksum(demo);
        w = std::make_unique<TfrmMain>();
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        env.dialogs().AnswerModal([](QObject *) { return int(mrCancel); }); // the welcome dialog
        w->StartupChecks();
        ASSERT_EQ(env.dialogs().calls.size(), 1u);
        EXPECT_EQ(env.dialogs().calls[0].dialogName, QStringLiteral("TfrmWelcome"));
        env.dialogs().ClearCalls();
    }
    void TearDown() override
    {
        w.reset();
        EXPECT_EQ(TreeChecksum(demo), before) << "nothing is written into the profile";
    }

    QTreeWidgetItem *Node(const QStringList &path) const { return NodeByCaptions(w->tvDir, path); }
    QStringList Items(const QListWidget *list) const { return RowTexts(list); }
    void Select(const QStringList &path)
    {
        QTreeWidgetItem *n = Node(path);
        ASSERT_NE(n, nullptr) << path.join('/').toStdString();
        w->tvDir->setCurrentItem(n);
        QCoreApplication::processEvents();
    }
    void SelectRow(const QString &suffix)
    {
        for (int i = 0; i < w->lbFiles->count(); ++i)
            if (w->lbFiles->item(i)->text().endsWith(suffix)) {
                w->lbFiles->setCurrentRow(i);
                QCoreApplication::processEvents();
                return;
            }
        FAIL() << "no row ending in " << suffix.toStdString() << ": " << Items(w->lbFiles).join(',').toStdString();
    }
    void Shot(const QString &name)
    {
        const QString dir = qEnvironmentVariable("ZORVAK_SHOT_DIR");
        if (!dir.isEmpty())
            w->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
    }

    // "Unlock names..." answered with an address and a password.
    void Unlock(const QString &email, const QString &password, std::optional<int> nextAnswer = std::nullopt)
    {
        env.dialogs().AnswerModal([email, password](QObject *dialog) {
            auto *unlock = qobject_cast<TfrmUnlockNames *>(dialog);
            if (!unlock)
                return int(mrCancel);
            unlock->edEmail->setText(email);
            unlock->edPassword->setText(password);
            return int(mrOk);
        });
        if (nextAnswer)
            env.dialogs().Answer(*nextAnswer);
        w->UnlockNames1->trigger();
    }
    int RowStartingWith(const QString &start) const
    {
        for (int i = 0; i < w->lbFiles->count(); ++i)
            if (w->lbFiles->item(i)->text().startsWith(start))
                return i;
        return -1;
    }
    QList<int> ShownRows() const
    {
        QList<int> rows;
        for (int i = 0; i < w->lbFiles->count(); ++i) {
            EXPECT_EQ(w->lbFiles->isRowHidden(i), w->Pane->gridFiles->isRowHidden(i)) << "row " << i;
            if (!w->lbFiles->isRowHidden(i))
                rows << i;
        }
        return rows;
    }

    QByteArray before;
    std::unique_ptr<TfrmMain> w;
};

const QString kAlice = QStringLiteral("alice.demo@hotmail.com");
const QString kPassword = QStringLiteral("zorvak-demo");

bool ShowsPicture(const QLabel *image)
{
    if (image->movie())
        return image->movie()->isValid() && !image->movie()->currentPixmap().isNull();
    return !image->pixmap().isNull();
}

} // namespace

TEST_F(DemoWindow, TreeFileListPreviewAndWink)
{
    Shot(QStringLiteral("1-start"));
    // Both Windows users, each with its Messenger user and its content folders with their icons;
    // Alice's My Received Files beside her Messenger user, her History below it.
    EXPECT_EQ(w->CountNodesAtLevel(1), 3);
    EXPECT_NE(Node({"Alice", "My Received Files"}), nullptr);
    EXPECT_NE(Node({"Alice", kAliceId, "History"}), nullptr);
    for (const auto &[user, id] : {std::pair{QStringLiteral("Alice"), kAliceId}, std::pair{QStringLiteral("Bob"), kBobId}}) {
        ASSERT_NE(Node({user}), nullptr) << user.toStdString();
        EXPECT_FALSE(Node({user})->icon(0).isNull());
        ASSERT_NE(Node({user, id}), nullptr);
        EXPECT_FALSE(Node({user, id})->icon(0).isNull());
        EXPECT_TRUE(Node({user, id})->isExpanded());
    }
    for (const char *folder : {"CustomEmoticons", "UserTile", "Backgrounds", "Winks3", "DeluxeDisplayPictures",
                               "DynamicBackgrounds", "VoiceClips"}) {
        QTreeWidgetItem *n = Node({"Alice", kAliceId, folder});
        ASSERT_NE(n, nullptr) << folder;
        EXPECT_FALSE(n->icon(0).isNull()) << folder;
    }
    // A folder without a picture keeps the picture's room: its row is laid out like the others.
    ASSERT_NE(Node({"Alice", kAliceId, "MapFile"}), nullptr);
    EXPECT_TRUE(Node({"Alice", kAliceId, "MapFile"})->icon(0).isNull());
    EXPECT_EQ(w->tvDir->visualItemRect(Node({"Alice", kAliceId, "MapFile"})).height(),
              w->tvDir->visualItemRect(Node({"Alice", kAliceId, "Winks3"})).height());
    ASSERT_NE(Node({"Bob", kBobId, "CustomEmoticons"}), nullptr);
    // The captions are readable in the tree as the window opens: the ID and the folder names
    // are not cut by the width of the folder side.
    const QFontMetrics metrics(w->tvDir->font());
    const QRect idRect = w->tvDir->visualItemRect(Node({"Alice", kAliceId, "DeluxeDisplayPictures"}));
    EXPECT_LE(idRect.left() + 20 + metrics.horizontalAdvance(QStringLiteral("DeluxeDisplayPictures")),
              w->tvDir->viewport()->width())
        << "tree " << w->tvDir->viewport()->width() << " wide";

    // Custom emoticons: every row has its extension, the first is previewed.
    Select({"Alice", kAliceId, "CustomEmoticons"});
    const QStringList emoticons = Items(w->lbFiles);
    ASSERT_GE(emoticons.size(), 5) << emoticons.join(',').toStdString();
    for (const QString &row : emoticons)
        EXPECT_TRUE(row.contains('.')) << row.toStdString();
    EXPECT_EQ(w->lbFiles->currentRow(), 0);
    EXPECT_TRUE(w->lbTotalFiles->text().endsWith(QStringLiteral("files total")));
    Shot(QStringLiteral("2-emoticons"));
    for (const QString &kind : {QStringLiteral(".png"), QStringLiteral(".gif"), QStringLiteral(".jpg")}) {
        SelectRow(kind);
        EXPECT_TRUE(ShowsPicture(w->Image1)) << kind.toStdString();
        Shot(QStringLiteral("3-emoticon") + kind);
    }

    // A display picture.
    Select({"Alice", kAliceId, "UserTile"});
    ASSERT_GT(w->lbFiles->count(), 0);
    EXPECT_TRUE(ShowsPicture(w->Image1));
    Shot(QStringLiteral("4-usertile"));

    // A wink: its cabinet is listed and its movie shown as an information card.
    Select({"Alice", kAliceId, "Winks3"});
    ASSERT_GT(w->lbFiles->count(), 0);
    EXPECT_TRUE(Items(w->lbFiles).first().endsWith(QStringLiteral(".cab")));
    EXPECT_TRUE(w->lbCab->isVisible());
    const QStringList entries = Items(w->lbCab);
    EXPECT_EQ(entries.size(), 2) << entries.join(',').toStdString();
    EXPECT_TRUE(w->Flash1->isVisible());
    EXPECT_FALSE(w->Flash1->text().isEmpty());
    Shot(QStringLiteral("5-wink"));
    for (int i = 0; i < w->lbCab->count(); ++i)
        if (!w->lbCab->item(i)->text().endsWith(QStringLiteral(".swf"))) {
            w->lbCab->setCurrentRow(i);
            QCoreApplication::processEvents();
            EXPECT_TRUE(ShowsPicture(w->Image1)) << w->lbCab->item(i)->text().toStdString();
            EXPECT_FALSE(w->Flash1->isVisible());
            Shot(QStringLiteral("6-wink-thumbnail"));
        }
    // A non-cabinet afterwards hides the cabinet list again.
    Select({"Alice", kAliceId, "Backgrounds"});
    EXPECT_FALSE(w->lbCab->isVisible());
    EXPECT_TRUE(ShowsPicture(w->Image1));
    Shot(QStringLiteral("7-backgrounds"));

    // The same window in French.
    w->French1->trigger();
    EXPECT_EQ(CurrentLanguage().Get(QStringLiteral("_ID")), QStringLiteral("FR"));
    EXPECT_EQ(w->labelFolderList->text(), CurrentLanguage().Get(QStringLiteral("FolderList")));
    Select({"Alice", kAliceId, "CustomEmoticons"});
    EXPECT_FALSE(w->lbTotalFiles->text().contains(QStringLiteral("files total")));
    // The longer captions still fit: the window widens rather than cutting a button or the tree.
    for (QPushButton *button : {w->btOpen, w->btOpenWith, w->btSaveAs, w->btSaveFolder, w->btExplore}) {
        EXPECT_GE(button->width(), button->sizeHint().width()) << button->objectName().toStdString();
        EXPECT_LE(button->mapTo(w.get(), QPoint(button->width(), 0)).x(), w->width()) << button->objectName().toStdString();
    }
    EXPECT_GE(w->tvDir->width(), 230);
    Shot(QStringLiteral("8-french"));
}

TEST_F(DemoWindow, ThumbnailsShareTheListsSelectionPreviewAndButtons)
{
    TThumbnailView *grid = w->Pane->gridFiles;
    Select({"Alice", kAliceId, "CustomEmoticons"});
    SelectRow(QStringLiteral(".png"));
    const int pngRow = w->lbFiles->currentRow();
    const QString pngHint = w->labelPreview->toolTip();
    ASSERT_TRUE(ShowsPicture(w->Image1));
    QTest::qWait(100);
    EXPECT_EQ(grid->ThumbnailCount(), 0) << "nothing is made for the list";

    w->Thumbnails1->trigger();
    EXPECT_TRUE(w->Thumbnails1->isChecked());
    EXPECT_TRUE(grid->isVisible());
    EXPECT_FALSE(w->lbFiles->isVisible());
    EXPECT_TRUE(w->Pane->tbThumbSize->isVisible());
    EXPECT_EQ(grid->currentIndex().row(), pngRow) << "the same row stays selected";
    EXPECT_EQ(w->labelPreview->toolTip(), pngHint) << "and previewed";
    EXPECT_TRUE(ShowsPicture(w->Image1));

    // Every picture row gets its thumbnail, no larger than the size chosen.
    QList<int> pictures;
    for (int i = 0; i < w->lbFiles->count(); ++i)
        if (grid->RowAt(i).kind == pkPicture)
            pictures << i;
    ASSERT_GE(pictures.size(), 4);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return std::all_of(pictures.begin(), pictures.end(), [&](int row) { return !grid->Thumbnail(row).isNull()
            || w->Pane->FileNames().at(row).endsWith(QStringLiteral(".tif")); });
    }, 10000));
    for (int row : pictures) {
        const QImage picture = grid->Thumbnail(row);
        EXPECT_LE(std::max(picture.width(), picture.height()), 96) << row;
    }
    Shot(QStringLiteral("9-thumbnails"));

    // A click on another thumbnail previews it as a click in the list does; the buttons act on it.
    int gifRow = -1;
    for (int i = 0; i < w->lbFiles->count() && gifRow < 0; ++i)
        if (w->Pane->FileNames().at(i).endsWith(QStringLiteral(".gif")))
            gifRow = i;
    ASSERT_GE(gifRow, 0);
    const QModelIndex gif = grid->model()->index(gifRow, 0);
    grid->scrollTo(gif);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(gif).center());
    EXPECT_EQ(w->lbFiles->currentRow(), gifRow);
    EXPECT_NE(w->labelPreview->toolTip(), pngHint);
    EXPECT_TRUE(w->labelPreview->toolTip().contains(w->Pane->DiskNames().at(gifRow)));
    w->btSaveAs->click(); // the save dialog is cancelled
    ASSERT_FALSE(env.dialogs().calls.empty());
    EXPECT_EQ(env.dialogs().calls.back().kind, DialogCall::Save);
    EXPECT_TRUE(env.dialogs().calls.back().text.endsWith(w->Pane->FileNames().at(gifRow)));

    // Ctrl + wheel makes them larger; the slider follows and the size is kept.
    const QPoint at = grid->visualRect(gif).center();
    QWheelEvent wheel(at, grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->viewport(), &wheel);
    EXPECT_EQ(grid->ThumbSize(), 112);
    EXPECT_EQ(w->Pane->tbThumbSize->value(), 112);
    EXPECT_TRUE(ReadFile(SettingsFilePath()).contains("ThumbnailSize=112"));
    // A touchpad's half steps add up to one.
    for (int half = 0; half < 2; ++half) {
        QWheelEvent small(at, grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 60), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid->viewport(), &small);
        EXPECT_EQ(grid->ThumbSize(), half == 0 ? 112 : 128);
    }
    // The emoticons are small: however large the cells, a 19 px one is shown at twice its size.
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->Thumbnail(gifRow).size() == QSize(38, 38); }, 10000));

    // Another folder drops the work of the one before: only its own rows get pictures.
    Select({"Alice", kAliceId, "UserTile"});
    Select({"Alice", kAliceId, "Winks3"});
    ASSERT_TRUE(w->Pane->tbThumbSize->isVisible());
    QTest::qWait(300);
    EXPECT_LE(grid->ThumbnailCount(), w->lbFiles->count());
    // A wink shows the still picture of its cabinet.
    ASSERT_GT(w->lbFiles->count(), 0);
    ASSERT_EQ(grid->RowAt(0).kind, pkCabinet);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !grid->Thumbnail(0).isNull(); }, 10000));
    EXPECT_TRUE(w->lbCab->isVisible());

    // Back to the list: the row chosen in the grid is still the current one.
    w->lbFiles->setCurrentRow(w->lbFiles->count() - 1);
    const int last = w->lbFiles->currentRow();
    w->List1->trigger();
    EXPECT_TRUE(w->lbFiles->isVisible());
    EXPECT_FALSE(grid->isVisible());
    EXPECT_FALSE(w->Pane->tbThumbSize->isVisible());
    EXPECT_EQ(w->lbFiles->currentRow(), last);
    EXPECT_TRUE(ReadFile(SettingsFilePath()).contains("FileView=List"));
    EXPECT_TRUE(env.dialogs().calls.size() == 1u) << "no dialog besides the save dialog";
}

TEST_F(DemoWindow, ViewSettingIsReadByTheNextWindow)
{
    EXPECT_FALSE(w->Pane->Thumbnails()) << "the list by default";
    w->Thumbnails1->trigger();
    w->Pane->tbThumbSize->setValue(160);
    w.reset();
    ResetSettings();
    const QByteArray kept = ReadFile(SettingsFilePath());
    EXPECT_TRUE(kept.contains("FileView=Thumbnails")) << kept.constData();
    w = std::make_unique<TfrmMain>();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    EXPECT_TRUE(w->Pane->Thumbnails());
    EXPECT_TRUE(w->Thumbnails1->isChecked());
    EXPECT_TRUE(w->Pane->gridFiles->isVisible());
    EXPECT_FALSE(w->lbFiles->isVisible());
    EXPECT_EQ(w->Pane->ThumbSize(), 160);
    EXPECT_EQ(w->Pane->tbThumbSize->value(), 160);
}

TEST_F(DemoWindow, NamesAndShortcutsAfterUnlockingWithTheRightCredentials)
{
    Select({"Alice", kAliceId, "CustomEmoticons"});
    EXPECT_TRUE(w->Pane->barNames->isVisible()) << "the offer, without any dialog";
    EXPECT_TRUE(env.dialogs().calls.empty());
    const QStringList fileNames = w->Pane->FileNames();
    EXPECT_EQ(Items(w->lbFiles), fileNames) << "file names until unlocked";

    Unlock(kAlice, kPassword);
    ASSERT_EQ(env.dialogs().calls.size(), 1u) << env.dialogs().Messages().join('|').toStdString();
    EXPECT_EQ(env.dialogs().calls[0].dialogName, QStringLiteral("TfrmUnlockNames"));
    EXPECT_FALSE(w->Pane->barNames->isVisible());

    const int smile = RowStartingWith(QStringLiteral("Blinking smile  (wink)   "));
    ASSERT_GE(smile, 0) << Items(w->lbFiles).join('|').toStdString();
    EXPECT_EQ(w->lbFiles->item(smile)->text(), QStringLiteral("Blinking smile  (wink)   ") + fileNames.at(smile));
    EXPECT_TRUE(fileNames.at(smile).endsWith(QStringLiteral(".gif")));
    EXPECT_EQ(w->Pane->gridFiles->RowAt(smile).caption, QStringLiteral("Blinking smile  (wink)"));
    EXPECT_EQ(w->Pane->gridFiles->RowAt(smile).detail, fileNames.at(smile));
    EXPECT_GE(RowStartingWith(QStringLiteral("Heart & <Soul>  <3   ")), 0);
    // Files no map names keep their file names.
    for (int i = 0; i < fileNames.size(); ++i) {
        if (fileNames.at(i).endsWith(QStringLiteral(".ico")) || fileNames.at(i).endsWith(QStringLiteral(".cur"))) {
            EXPECT_EQ(w->lbFiles->item(i)->text(), fileNames.at(i));
        }
    }

    // The named row still opens, previews and saves as its file.
    w->lbFiles->setCurrentRow(smile);
    QCoreApplication::processEvents();
    EXPECT_TRUE(ShowsPicture(w->Image1));
    w->btSaveAs->click();
    EXPECT_TRUE(env.dialogs().calls.back().text.endsWith(fileNames.at(smile)));

    // The other content folders of the same user are named without asking again; a wink has no
    // shortcut; voice clips have no map and keep their file names.
    env.dialogs().ClearCalls();
    Select({"Alice", kAliceId, "Winks3"});
    EXPECT_GE(RowStartingWith(QStringLiteral("Dancing <Daisy>   ")), 0) << Items(w->lbFiles).join('|').toStdString();
    Select({"Alice", kAliceId, "VoiceClips"});
    EXPECT_EQ(Items(w->lbFiles), w->Pane->FileNames());
    EXPECT_TRUE(env.dialogs().calls.empty());
    // Another user is not unlocked.
    Select({"Bob", kBobId, "CustomEmoticons"});
    EXPECT_TRUE(w->Pane->barNames->isVisible());
    EXPECT_EQ(Items(w->lbFiles), w->Pane->FileNames());
    // Its offer, closed, stays closed for that user's folders.
    w->Pane->btHideNamesOffer->click();
    EXPECT_FALSE(w->Pane->barNames->isVisible());
    Select({"Bob", kBobId, "UserTile"});
    EXPECT_FALSE(w->Pane->barNames->isVisible());
    // The offer's link unlocks as the menu does.
    Select({"Alice", kAliceId, "UserTile"});
    EXPECT_FALSE(w->Pane->barNames->isVisible()) << "Alice is unlocked";
    w->Pane->SetThumbnails(true);
    EXPECT_FALSE(RowStartingWith(QStringLiteral("Me & my <bike>   ")) < 0) << Items(w->lbFiles).join('|').toStdString();
}

TEST_F(DemoWindow, WrongCredentialsGiveTheBackupsMessagesAndNoNames)
{
    Select({"Alice", kAliceId, "CustomEmoticons"});
    const QStringList rows = Items(w->lbFiles);
    // The error the maps' reading raises with that password, as the backup shows it.
    QString expected;
    try {
        const QString user = UserFolderOf(w->SelectedFolder());
        ReadContentNames(user, kAlice, DpapiCredentials(FindProtectDir(user), QStringLiteral("not-it"), false));
    } catch (const std::exception &e) {
        expected = QString::fromUtf8(e.what());
    }
    ASSERT_FALSE(expected.isEmpty());
    ForgetOpenedMasterKeys();

    Unlock(kAlice, QStringLiteral("not-it"));
    ASSERT_EQ(env.dialogs().calls.size(), 2u);
    EXPECT_EQ(env.dialogs().calls[1].kind, DialogCall::Message);
    EXPECT_EQ(env.dialogs().calls[1].type, TMsgDlgType::mtError);
    EXPECT_EQ(env.dialogs().calls[1].text, expected);
    EXPECT_EQ(Items(w->lbFiles), rows);
    EXPECT_TRUE(w->Pane->barNames->isVisible());

    // An address of another user is questioned as the backup questions it; Cancel reads nothing.
    env.dialogs().ClearCalls();
    Unlock(QStringLiteral("bob.demo@hotmail.com"), kPassword, int(mrCancel));
    ASSERT_EQ(env.dialogs().calls.size(), 2u);
    EXPECT_EQ(env.dialogs().calls[1].text,
              FormatText(Lang("EmailNotMatch"), {QStringLiteral("bob.demo@hotmail.com"), kAliceId}));
    EXPECT_EQ(Items(w->lbFiles), rows);

    // A malformed hash is refused with the conversion error and nothing is read.
    env.dialogs().ClearCalls();
    env.dialogs().AnswerModal([](QObject *dialog) {
        auto *unlock = qobject_cast<TfrmUnlockNames *>(dialog);
        unlock->edEmail->setText(kAlice);
        unlock->edPassword->setText(QStringLiteral("xyz"));
        unlock->chHash->setChecked(true);
        return int(mrOk);
    });
    w->UnlockNames1->trigger();
    ASSERT_EQ(env.dialogs().calls.size(), 2u);
    EXPECT_EQ(env.dialogs().calls[1].type, TMsgDlgType::mtError);
    EXPECT_EQ(Items(w->lbFiles), rows);

    // Cancelling the dialog (asked from the offer's link) reads nothing and says nothing.
    env.dialogs().ClearCalls();
    emit w->Pane->lbNamesOffer->linkActivated(QStringLiteral("unlock"));
    EXPECT_EQ(env.dialogs().calls.size(), 1u);
    EXPECT_EQ(Items(w->lbFiles), rows);

    // A folder that is no Messenger user's: nothing to unlock, and the user is told why.
    env.dialogs().ClearCalls();
    Select({"Alice"});
    w->UnlockNames1->trigger();
    EXPECT_EQ(env.dialogs().Messages(), QStringList{Lang("NamesNeedUserFolder")});
}

TEST_F(DemoWindow, FilterNarrowsBothViewsByFileNameNameOrShortcut)
{
    Select({"Alice", kAliceId, "CustomEmoticons"});
    const int all = w->lbFiles->count();
    // File names narrow before anything is unlocked.
    w->Pane->edFilter->setText(QStringLiteral(".PNG"));
    QList<int> shown = ShownRows();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(w->Pane->FileNames().at(shown[0]).endsWith(QStringLiteral(".png")));
    EXPECT_EQ(w->lbFiles->currentRow(), shown[0]) << "the selection moves to a row still shown";
    EXPECT_TRUE(w->labelPreview->toolTip().contains(w->Pane->DiskNames().at(shown[0])));
    w->Pane->edFilter->setText(QStringLiteral("smile"));
    EXPECT_TRUE(ShownRows().isEmpty()) << "names are not known yet";
    EXPECT_EQ(w->lbFiles->currentRow(), -1);
    EXPECT_FALSE(ShowsPicture(w->Image1)) << "no preview of a row the filter hides";
    w->Pane->edFilter->clear();
    EXPECT_EQ(ShownRows().size(), all);

    Unlock(kAlice, kPassword);
    const int smile = RowStartingWith(QStringLiteral("Blinking smile"));
    ASSERT_GE(smile, 0);
    for (const QString &text : {QStringLiteral("blinking SMILE"), QStringLiteral("(wink)")}) {
        w->Pane->edFilter->setText(text);
        EXPECT_EQ(ShownRows(), QList<int>{smile}) << text.toStdString();
    }
    w->Pane->edFilter->setText(QStringLiteral("&"));   // "Heart & <Soul>", "Grüße 'n' more" shortcut "(&)"
    EXPECT_EQ(ShownRows().size(), 2);
    // The filter stays while other folders are listed, and narrows the grid too.
    w->Thumbnails1->trigger();
    w->Pane->edFilter->setText(QStringLiteral("daisy"));
    Select({"Alice", kAliceId, "Winks3"});
    shown = ShownRows();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(w->lbFiles->item(shown[0])->text().startsWith(QStringLiteral("Dancing <Daisy>")));
    EXPECT_TRUE(w->Pane->gridFiles->isRowHidden(1 - shown[0]));
    EXPECT_EQ(w->lbFiles->currentRow(), shown[0]);
    w->Pane->edFilter->clear();
    EXPECT_EQ(ShownRows().size(), 2);
}
