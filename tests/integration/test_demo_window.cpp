// The main window over the demo profile, as a user sees it: the start-up scan finds both demo
// users through the Application Data folder, content folders list their files under recognised
// names, pictures preview, a wink lists its cabinet. With ZORVAK_SHOT_DIR set, every step is also
// saved as a picture of the window there.
#include "browse/uMainBrowse.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "shell/uMain.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMovie>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace zorvak;
using namespace zorvak::test;

namespace {

const QString kAliceId = QStringLiteral("1596456324");
const QString kBobId = QStringLiteral("3225867861");

class DemoWindow : public EnvTest {
protected:
    void SetUp() override
    {
        demo = env.path(QStringLiteral("demo"));
        QProcess gen;
        gen.start(QStringLiteral(ZORVAK_DEMO_PROFILE_PATH), {demo});
        ASSERT_TRUE(gen.waitForFinished(120000));
        ASSERT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().toStdString();
        // Nothing at the built-in documents folder: the Application Data folder leads to the profiles.
        Settings().docSetDir = env.path(QStringLiteral("no-such-folder/"));
        env.platform().appData = demo + QStringLiteral("/Documents and Settings/Alice/Application Data");
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

    QTreeWidgetItem *Node(const QStringList &path) const
    {
        for (int i = 0; i < browse::NodeCount(w->tvDir); ++i) {
            QTreeWidgetItem *n = browse::NodeAt(w->tvDir, i);
            QStringList captions;
            for (QTreeWidgetItem *p = n; p; p = p->parent())
                captions.prepend(p->text(0));
            if (captions == path)
                return n;
        }
        return nullptr;
    }
    QStringList Items(const QListWidget *list) const
    {
        QStringList rows;
        for (int i = 0; i < list->count(); ++i)
            rows << list->item(i)->text();
        return rows;
    }
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

    QString demo;
    QByteArray before;
    std::unique_ptr<TfrmMain> w;
};

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
    // Both Windows users, each with its Messenger user and its content folders with their icons.
    EXPECT_EQ(w->CountNodesAtLevel(1), 2);
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
