// Conversations in the main window over the demo profile: the History node lists them, one is
// shown by sessions with local times, the filter box searches it, Save as and Save folder as
// export it; hostile and cut files show what can be read and say what is wrong.
#include "HistoryFixtures.h"
#include "app/uMain.h"
#include "browse/ui/FilePane.h"
#include "common/unitString.h"
#include "history/ui/ConversationView.h"
#include "history/ui/HistoryPane.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "support/Programs.h"
#include "../integration/WindowQueries.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QLocale>
#include <QThread>
#include <QTreeWidget>
#include <ctime>

using namespace zorvak;
using namespace zorvak::test;

namespace {

bool WaitFor(const std::function<bool()> &done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return done();
}

class HistoryWindow : public DemoProfileTest {
protected:
    void SetUp() override
    {
        // A zone of its own, half an hour off any whole hour, so that local times cannot pass for UTC.
        oldZone = qgetenv("TZ");
        qputenv("TZ", "IST-5:30");
        tzset();
        DemoProfileTest::SetUp();
        if (HasFatalFailure())
            return;
        Settings().docSetDir = demo + "/Documents and Settings/";
        before = TreeChecksum(demo);
        w = std::make_unique<TfrmMain>();
        w->Auto1Click();
    }
    void TearDown() override
    {
        w.reset();
        if (!demo.isEmpty()) {
            EXPECT_EQ(TreeChecksum(demo), before) << "nothing is written into the profile";
        }
        qputenv("TZ", oldZone);
        tzset();
    }
    void Select(const QStringList &path)
    {
        QTreeWidgetItem *node = NodeByCaptions(w->tvDir, path);
        ASSERT_NE(node, nullptr) << path.join('/').toStdString();
        w->tvDir->setCurrentItem(node);
    }
    history::TConversationView &View() const { return *w->Pane->lvConversation; }
    QStringList ShownRows() const
    {
        QStringList rows;
        const auto *model = View().List()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            rows << model->index(row, 0).data().toString();
        return rows;
    }
    void ShowRow(int row)
    {
        w->lbFiles->setCurrentRow(row);
        ASSERT_TRUE(WaitFor([this] { return View().Loaded(); }));
    }
    static QString Day(const char *utc)
    {
        return QLocale().toString(QDateTime::fromString(QString::fromLatin1(utc), Qt::ISODateWithMs).toLocalTime().date(),
                                  QLocale::LongFormat);
    }

    QByteArray oldZone;
    QByteArray before;
    std::unique_ptr<TfrmMain> w;
};

TEST_F(HistoryWindow, ListsShowsFiltersAndSavesConversations)
{
    EXPECT_NE(NodeByCaptions(w->tvDir, {"Alice", "My Received Files"}), nullptr);
    Select({"Alice", kAliceId, "History"});
    ASSERT_TRUE(w->Pane->HistoryShown());
    EXPECT_TRUE(w->Pane->lvConversation->isVisibleTo(w.get()) || !w->isVisible());
    EXPECT_EQ(w->Pane->edFilter->placeholderText(), Lang("HistoryFilterHint"));
    // The rows: the recovered address with the file's name, the messages and the first and last day.
    ASSERT_TRUE(WaitFor([this] { return !RowTexts(w->lbFiles).join("").contains(" reading..."); }));
    const QString march1 = QLocale().toString(QDate(2005, 3, 1), QLocale::ShortFormat);
    const QString march2 = QLocale().toString(QDate(2005, 3, 2), QLocale::ShortFormat);
    const QString july14 = QLocale().toString(QDate(2006, 7, 15), QLocale::ShortFormat); // 20:00Z is past midnight here
    EXPECT_EQ(RowTexts(w->lbFiles),
              QStringList({FormatText(Lang("HistoryRow"), {"bob.demo@hotmail.com (bob.demo" + kBobId + ")", 4, march1, march2}),
                           FormatText(Lang("HistoryRow"), {"carol.demo@live.fr (carol.demo" + EmailToId("carol.demo@live.fr") + ")",
                                                           2, july14, july14})}));

    // The first conversation: a date row before each session, local times, names, text as written.
    ShowRow(0);
    EXPECT_FALSE(View().Notice()->isVisibleTo(w.get()));
    const QStringList rows = ShownRows();
    ASSERT_EQ(rows.size(), 8) << rows.join('\n').toStdString();
    EXPECT_EQ(rows[0], Day("2005-03-01T14:02:03.120Z"));
    EXPECT_EQ(rows[1], QString::fromUtf8("19:32:03 Alice \u273F: Hi Bob! Are you there?"));
    EXPECT_EQ(rows[3], QString::fromUtf8("19:33:10 Alice \u273F: Is <b>this</b> bold? <script>alert(\"no\")</script> & so on"));
    EXPECT_EQ(rows[4], Day("2005-03-02T09:15:00.250Z"));
    EXPECT_TRUE(rows[5].startsWith("14:45:00 Bob (at work) sends holiday.jpg")) << rows[5].toStdString();
    const history::TConversation &shown = View().Model().Conversation();
    EXPECT_EQ(shown.Entry(2).style.color, "#0000ff");
    EXPECT_TRUE(shown.Entry(2).style.bold);

    // The filter box searches the conversation; the session's date stays above what it keeps.
    w->findChild<QAction *>("FindFilter1")->trigger();
    w->Pane->edFilter->setText("BEACH");
    EXPECT_EQ(ShownRows(), QStringList({rows[4], rows[7]}));
    w->Pane->edFilter->clear();
    EXPECT_EQ(ShownRows(), rows);

    // Save as: the format, then the folder; the conversation lands in a folder named after it.
    env.dialogs().Answer(mrOk); // the third button: Text
    env.dialogs().AnswerPath(env.path("out"));
    w->btSaveAsClick();
    const QString text = QString::fromUtf8(ReadFile(env.path("out/bob.demo@hotmail.com/bob.demo" + kBobId + ".txt")));
    EXPECT_TRUE(text.contains("[2005-03-01 14:02:03] Alice \u273F: Hi Bob! Are you there?\n")) << text.toStdString();
    const DialogCall &format = env.dialogs().calls.at(0);
    EXPECT_EQ(format.captions, QStringList({"HTML", "Pidgin", Lang("HistoryText"), "JSON", Lang("mbCancel")}));
    EXPECT_EQ(env.dialogs().Messages().last(),
              FormatText(Lang("HistoryExported"), {1, env.path("out/bob.demo@hotmail.com")}));
    EXPECT_EQ(env.platform().openedUrls.value(env.platform().openedUrls.size() - 1), env.path("out/bob.demo@hotmail.com"));

    // A folder that is neither empty nor an export of ours is refused, and left as it was.
    WriteFile(env.path("taken/bob.demo@hotmail.com/notes.txt"), "mine");
    env.dialogs().Answer(mrAll); // JSON
    env.dialogs().AnswerPath(env.path("taken"));
    w->btSaveAsClick();
    EXPECT_EQ(env.dialogs().calls.back().type, TMsgDlgType::mtError);
    EXPECT_EQ(QDir(env.path("taken/bob.demo@hotmail.com")).entryList(QDir::Files), QStringList{"notes.txt"});

    // Save folder as on the History node: every conversation, as pages.
    env.dialogs().Answer(mrYes); // HTML
    env.dialogs().AnswerPath(env.path("pages"));
    w->btSaveFolderClick();
    EXPECT_TRUE(QFileInfo::exists(env.path("pages/History/index.html")));
    // A cut file is a warning: the export is done, and the file is named.
    EXPECT_EQ(env.dialogs().calls.back().type, TMsgDlgType::mtInformation);
    EXPECT_TRUE(env.dialogs().calls.back().text.contains(Lang("HistoryProblems") + "\rcarol.demo"));

    // The cut file: what precedes the cut, and the notice.
    ShowRow(1);
    EXPECT_TRUE(View().Notice()->isVisibleTo(w.get()) || !w->isVisible());
    EXPECT_FALSE(View().Notice()->isHidden());
    EXPECT_TRUE(View().Notice()->text().startsWith(FormatText(Lang("HistoryCut"), {""}).trimmed()));
    EXPECT_EQ(View().Model().Conversation().EntryCount(), 4);

    // Back to a folder of files: the file list and the picture preview return.
    Select({"Alice", kAliceId});
    EXPECT_FALSE(w->Pane->HistoryShown());
    EXPECT_EQ(View().Model().Conversation().EntryCount(), 0) << "the conversation shown before is let go";
    EXPECT_EQ(w->Pane->edFilter->placeholderText(), Lang("FilterHint"));

    // The current user's scan finds them too.
    env.platform().appData = appData;
    w->Current1Click();
    EXPECT_NE(NodeByCaptions(w->tvDir, {"Current user", "My Received Files"}), nullptr);
    Select({"Current user", kAliceId, "History"});
    EXPECT_EQ(w->lbFiles->count(), 2);

    // And "Manual" on Alice's Messenger folder: her History folder beside its content folders.
    env.dialogs().AnswerPath(WithSeparator(WithSeparator(appData) + Settings().msnDatDir) + kAliceId);
    env.dialogs().Answer(mrYes);
    w->Manual1Click();
    ASSERT_EQ(w->tvDir->topLevelItemCount(), 1);
    QTreeWidgetItem *history = nullptr;
    for (int i = 0; i < w->tvDir->topLevelItem(0)->childCount(); ++i)
        if (w->tvDir->topLevelItem(0)->child(i)->text(0).startsWith("History"))
            history = w->tvDir->topLevelItem(0)->child(i);
    ASSERT_NE(history, nullptr);
    w->tvDir->setCurrentItem(history);
    EXPECT_EQ(w->lbFiles->count(), 2);
}

TEST_F(HistoryWindow, HostileFilesAreToldNeverFatal)
{
    const QString folder = MakeHistoryFolder(env.path("eve/Documents and Settings/Eve"), "My Documents", "eve");
    WriteFile(folder + "/dtd1.xml", "<?xml version=\"1.0\"?><!DOCTYPE Log [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
                                    "<Log>&b;</Log>");
    WriteFile(folder + "/junk2.xml", QByteArray("\xff\xfe\x00\x01garbage\x00\x00<<<", 17));
    QByteArray cut = HistoryLog(HistoryMessage("2004-01-02T03:04:05.000Z", 1, "Eve", "Mallory", "first")
                                + HistoryMessage("2004-01-02T03:05:05.000Z", 1, "Mallory", "Eve", "<b>second</b> &amp; more"));
    cut.chop(30);
    WriteFile(folder + "/cut3.xml", cut);
    Settings().docSetDir = env.path("eve/Documents and Settings/");
    w->Auto1Click();
    Select({"Eve", "History (eve@hotmail.com)"});
    ASSERT_TRUE(w->Pane->HistoryShown());
    ASSERT_EQ(w->lbFiles->count(), 3);
    ASSERT_TRUE(WaitFor([this] { return !RowTexts(w->lbFiles).join("").contains(" reading..."); }));
    for (int row : {1, 2}) { // the DTD, the junk (files by name)
        ShowRow(row);
        EXPECT_EQ(View().Model().Conversation().EntryCount(), 0);
        EXPECT_FALSE(View().Notice()->isHidden()) << row;
    }
    ShowRow(0);
    EXPECT_EQ(ShownRows().mid(1, 1), QStringList{"08:34:05 Eve: first"});
    EXPECT_FALSE(View().Notice()->isHidden());
}

} // namespace
