// The confirmation grid: rows, removal and restoration, edits written back, totals, results.
#include "test_select_files_grid.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {
QString S(const char *text) { return QString::fromUtf8(text); }
} // namespace

TEST_F(GridTest, RowsForCopiedObjectsOnlyWithColumnsByType)
{
    Item(S("a.gif"), S("&lt;3"), S("It&#39;s &amp; more"), 20559);
    items->append({S("k"), S("absent"), S("gone.gif"), {}, {}, S("D")});
    Item(S("b.gif"), S("b"), S("B"));
    auto emot = Open("Emot", {}, 5);
    EXPECT_EQ(emot->windowTitle(), S("Backup Confirmation: Custom Emoticons"));
    ASSERT_EQ(emot->RowCount(), 3);
    EXPECT_EQ(emot->Cell(0, 1), S("a.gif"));
    EXPECT_EQ(emot->Cell(1, 1), S("<3"));
    EXPECT_EQ(emot->Cell(2, 1), S("It's & more"));
    EXPECT_EQ(emot->Cell(3, 1), S("20,559"));
    EXPECT_EQ(emot->Cell(0, 2), S("b.gif"));
    // The design's widths, wider where a heading needs it (a larger desktop font, another language).
    EXPECT_GE(emot->sgrid->columnWidth(0), 79);
    EXPECT_GE(emot->sgrid->columnWidth(1), 45);
    for (int column = 0; column < 4; ++column)
        EXPECT_GE(emot->sgrid->columnWidth(column), emot->sgrid->horizontalHeader()->sectionSizeHint(column)) << column;
    EXPECT_EQ(emot->lbTot->text(), S("2"));
    EXPECT_EQ(emot->lbTotContent->text(), S("7"));
    EXPECT_TRUE(emot->btDuplicate->isEnabled());
    EXPECT_TRUE(emot->sgrid->item(0, 1)->flags() & Qt::ItemIsEditable);

    auto winks = Open("Wink");
    EXPECT_TRUE(winks->sgrid->isColumnHidden(1));
    EXPECT_FALSE(winks->btDuplicate->isEnabled());
    EXPECT_FALSE(winks->sgrid->item(0, 2)->flags() & Qt::ItemIsEditable);
    auto pictures = Open("Dp");
    EXPECT_TRUE(pictures->sgrid->isColumnHidden(1));
    EXPECT_TRUE(pictures->sgrid->item(0, 2)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(pictures->ValidateKeys()); // nothing to check without the key column
}

TEST_F(GridTest, DefaultContentIsGreen)
{
    Item(S("daisy.gif"), {}, S("Orange Daisy"), 20559);
    Item(S("other.gif"), {}, S("Orange Daisy"), 20560);
    auto d = Open("Dp", DefaultDp());
    EXPECT_EQ(d->sgrid->item(0, 2)->foreground().color(), QColor(0, 128, 0));
    EXPECT_NE(d->sgrid->item(1, 2)->foreground().color(), QColor(0, 128, 0));
}

TEST_F(GridTest, RemoveAndRestoreMoveTheCopyAndForgetUnsavedEdits)
{
    Item(S("a.gif"), S("a"), S("Alpha"));
    Item(S("b.gif"), S("b"), S("Beta"));
    auto d = Open("Emot");
    EXPECT_TRUE(d->panBin->isHidden());
    EXPECT_TRUE(QFileInfo(env.appDir() + S("~tmpDeleted")).isDir());
    d->SetCell(2, 1, S("Edited"));
    d->sgrid->setCurrentCell(0, 0);
    d->btRemoveClick();
    EXPECT_FALSE(QFileInfo::exists(tmp + S("a.gif")));
    EXPECT_TRUE(QFileInfo::exists(env.appDir() + S("~tmpDeleted/a.gif")));
    EXPECT_FALSE(d->panBin->isHidden());
    EXPECT_EQ(d->lbDeleted->item(0)->text(), S("a.gif"));
    EXPECT_EQ(d->RowCount(), 2);
    EXPECT_EQ(d->lbTot->text(), S("1"));
    d->sgrid->setCurrentCell(0, 0);
    d->btRemoveClick();
    EXPECT_EQ(d->lbDeleted->item(0)->text(), S("b.gif")); // newest first

    d->lbDeleted->setCurrentRow(1);
    d->btRestoreClick();
    EXPECT_TRUE(QFileInfo::exists(tmp + S("a.gif")));
    EXPECT_EQ(d->RowCount(), 2);
    EXPECT_EQ(d->Cell(0, 1), S("a.gif"));
    EXPECT_EQ(d->Cell(2, 1), S("Alpha"));
    EXPECT_EQ(d->lbDeleted->count(), 1);
    EXPECT_EQ(d->lbTot->text(), S("1"));

    // A restore onto a name that is taken again fails with the system's reason.
    WriteFile(tmp + S("b.gif"), "new");
    d->lbDeleted->setCurrentRow(0);
    d->btRestoreClick();
    ASSERT_EQ(env.dialogs().Messages().size(), 1);
    EXPECT_TRUE(env.dialogs().Messages().at(0).startsWith(S("Error moving file: ")));
    EXPECT_EQ(d->lbDeleted->count(), 1);
    d->btCancelClick();
    EXPECT_FALSE(QFileInfo::exists(env.appDir() + S("~tmpDeleted"))); // gone for good when closed
}

TEST_F(GridTest, ContinueWritesEditsBackEscaped)
{
    Item(S("a.gif"), S("a1"), S("It&#39;s"));
    Item(S("b.gif"), S("b1"), S("Beta"));
    Item(S("c.gif"), S("c1"), S("Gamma"));
    auto d = Open("Emot");
    d->SetCell(1, 2, S("<3"));
    d->SetCell(2, 2, S("A & B"));
    // Rows out of list order: the search wraps around to find c.gif after b.gif... then a.gif.
    d->sgrid->setCurrentCell(0, 0);
    d->btRemoveClick();
    d->lbDeleted->setCurrentRow(0);
    d->btRestoreClick();
    d->btContinueClick();
    EXPECT_EQ(Result(*d), 4);
    EXPECT_EQ(items->at(0).Name, S("It&apos;s"));
    EXPECT_EQ(items->at(1).Key, S("&lt;3"));
    EXPECT_EQ(items->at(1).Name, S("A &amp; B"));
    EXPECT_EQ(items->at(2).Name, S("Gamma"));
    EXPECT_TRUE(env.dialogs().Messages().isEmpty());
}

TEST_F(GridTest, ARowMissingFromTheListIsReportedAndTheOthersWrittenBack)
{
    Item(S("a.gif"), S("a1"), S("A"));
    Item(S("b.gif"), S("b1"), S("B"));
    auto d = Open("Emot");
    d->SetCell(2, 2, S("New B"));
    (*items)[0].Location = S("renamed.gif");
    d->btContinueClick();
    EXPECT_EQ(env.dialogs().Messages(),
              QStringList{S("Unexpected error:\rThe filename \"a.gif\" not found in memory.\r"
                            "You may want to retry the backup later.")});
    EXPECT_EQ(items->at(1).Name, S("New B"));
    EXPECT_EQ(Result(*d), 3);
}

TEST_F(GridTest, RemovingEveryRowGivesOneAndCancelGivesMinusOne)
{
    Item(S("a.gif"), S("a1"), S("A"));
    auto d = Open("Emot");
    d->sgrid->setCurrentCell(0, 0);
    d->btRemoveClick();
    d->btContinueClick();
    EXPECT_EQ(Result(*d), 1);

    auto c = Open("Emot");
    c->reject(); // Escape cancels like the button
    EXPECT_EQ(Result(*c), -1);
}

TEST_F(GridTest, AltContinueSkipsValidation)
{
    Item(S("a.gif"), QString(), S("Blank"));
    Item(S("b.gif"), S("x"), S("X"));
    Item(S("c.gif"), S("x"), S("X again"));
    env.platform().altHeld = true;
    auto d = Open("Emot");
    d->btContinueClick();
    EXPECT_EQ(Result(*d), 4);
    EXPECT_TRUE(env.dialogs().calls.empty());
}
