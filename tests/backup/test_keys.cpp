// Shortcut validation through the confirmation grid and the duplicate-key window.
#include "backup/KeyValidation.h"
#include "backup/uDuplicateKey.h"
#include "test_select_files_grid.h"

#include "common/Exceptions.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {
QString S(const char *text) { return QString::fromUtf8(text); }

class KeysTest : public GridTest {
protected:
    bool Editing(TfrmSelectFiles &d, int row)
    {
        bool editorOpen = false;
        for (const QLineEdit *e : d.sgrid->findChildren<QLineEdit *>())
            editorOpen = editorOpen || e->isVisible();
        return editorOpen && d.sgrid->currentRow() == row - 1 && d.sgrid->currentColumn() == 1;
    }
};
} // namespace

TEST(DefaultShortcuts, HundredAndOneEntriesInOrder)
{
    const QStringList &list = DefaultShortcuts();
    ASSERT_EQ(list.size(), 101);
    EXPECT_EQ(list.first(), S(":)"));
    EXPECT_EQ(list.last(), S("(li)"));
    EXPECT_TRUE(list.contains(S("(&)")));
    int longest = 0;
    for (const QString &s : list)
        longest = std::max(longest, int(s.size()));
    EXPECT_EQ(longest, 5);
}

TEST_F(KeysTest, PerRowQuestionsEditOrIgnore)
{
    Item(S("blank.gif"), QString(), S("Nameless"));
    Item(S("long.gif"), S("12345678"), S("Long"));
    Item(S("seven.gif"), S("7654321"), S("Seven"));
    Item(S("space.gif"), S("a b"), S("Space"));
    Item(S("over.gif"), S(":)x"), S("Overlap"));
    Item(S("fine.gif"), S(":-)"), S("Fine"));
    Item(S("hi.gif"), S("(Hi)"), S("Hi"));
    auto d = Open("Emot");
    for (int i = 0; i < 4; ++i)
        env.dialogs().Answer(mrIgnore);
    EXPECT_TRUE(d->ValidateKeys());
    EXPECT_EQ(env.dialogs().Messages(),
              (QStringList{S("The key for Nameless is blank.\r\rEdit this key?"),
                           S("The key 12345678 is too long (more than 7 characters).\r\rEdit this key?"),
                           S("The key \"a b\" contains space.\r\rEdit this key?"),
                           S("The key :)x may not be useful because :) is a default shortcut.\r\rEdit this key?")}));
    for (const DialogCall &c : env.dialogs().calls) {
        EXPECT_EQ(c.type, TMsgDlgType::mtConfirmation);
        EXPECT_EQ(c.buttons, TMsgDlgButtons(mbYes | mbIgnore));
        EXPECT_EQ(c.captions, (QStringList{S("Yes"), S("Ignore")}));
    }

    // Yes opens the editor on the offending cell and ends the check.
    env.dialogs().ClearCalls();
    env.dialogs().Answer(mrIgnore);
    env.dialogs().Answer(mrYes);
    EXPECT_FALSE(d->ValidateKeys());
    EXPECT_EQ(env.dialogs().calls.size(), 2u);
    EXPECT_TRUE(Editing(*d, 2));
}

TEST_F(KeysTest, ADefaultShortcutCannotBeIgnored)
{
    Item(S("smile.gif"), S(":)"), S("Smile"));
    Item(S("amp.gif"), S("(&)"), S("Amp"));
    auto d = Open("Emot");
    env.dialogs().Answer(mrOk);
    EXPECT_FALSE(d->ValidateKeys());
    ASSERT_EQ(env.dialogs().calls.size(), 1u);
    EXPECT_EQ(env.dialogs().calls.at(0).text, S("The key :) cannot be used because it is a default shortcut."));
    EXPECT_EQ(env.dialogs().calls.at(0).type, TMsgDlgType::mtWarning);
    EXPECT_EQ(env.dialogs().calls.at(0).buttons, TMsgDlgButtons(mbOK));
    EXPECT_TRUE(Editing(*d, 1));

    d->SetCell(1, 1, S("smile"));
    env.dialogs().ClearCalls();
    EXPECT_FALSE(d->ValidateKeys());
    EXPECT_EQ(env.dialogs().Messages(),
              QStringList{S("The key (&) cannot be used because it is a default shortcut.")});
}

TEST_F(KeysTest, DuplicateKeysMustBeEditedOverlappingKeysMayBeIgnored)
{
    Item(S("one.gif"), S("abc"), S("One"));
    Item(S("two.gif"), S("zz"), S("Two"));
    Item(S("three.gif"), S("abc"), S("Three"));
    auto d = Open("Emot");
    QString title;
    bool ignoreShown = true;
    QString left, right;
    env.dialogs().AnswerModal([&](QObject *o) {
        auto *w = qobject_cast<TfrmDuplicateKey *>(o);
        title = w->windowTitle();
        ignoreShown = !w->btIgnore->isHidden();
        left = w->lbInfo1->text();
        right = w->lbInfo2->text();
        w->btEdit2->click();
        return w->result();
    });
    EXPECT_FALSE(d->ValidateKeys());
    EXPECT_EQ(env.dialogs().calls.back().dialogName, S("TfrmDuplicateKey"));
    EXPECT_EQ(title, S("Duplicate Keys"));
    EXPECT_FALSE(ignoreShown);
    EXPECT_EQ(left, S("Filename = one.gif\nKey = abc\nName = One"));
    EXPECT_EQ(right, S("Filename = three.gif\nKey = abc\nName = Three"));
    EXPECT_TRUE(Editing(*d, 3));

    d->SetCell(1, 3, S("ab"));
    env.dialogs().AnswerModal([&](QObject *o) {
        auto *w = qobject_cast<TfrmDuplicateKey *>(o);
        title = w->windowTitle();
        ignoreShown = !w->btIgnore->isHidden();
        w->btIgnore->click();
        return w->result();
    });
    d->btDuplicateClick();
    EXPECT_EQ(title, S("Overlapping Keys"));
    EXPECT_TRUE(ignoreShown);
    EXPECT_EQ(env.dialogs().Messages(), QStringList{S("No duplicate keys found.")});
}

TEST_F(KeysTest, ContinueStaysOpenWhileAKeyIsToBeEdited)
{
    Item(S("a.gif"), QString(), S("Blank"));
    auto d = Open("Emot");
    env.dialogs().Answer(mrYes);
    d->btContinueClick();
    EXPECT_EQ(Result(*d), 0); // still open
    env.dialogs().Answer(mrIgnore);
    d->btContinueClick();
    EXPECT_EQ(Result(*d), 2);
}

TEST(DuplicateKeyWindow, AThirdEntryIsAnInternalError)
{
    TestEnv env;
    TfrmDuplicateKey w;
    w.AddEntry(1, S("/none/a.gif"), S("A"), S("k"));
    w.AddEntry(2, S("/none/b.gif"), S("B"), S("k"));
    try {
        w.AddEntry(3, S("/none/c.gif"), S("C"), S("k"));
        FAIL();
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), S("Internal error: Already set 2 duplicate keys."));
    }
    w.reject(); // no Ignore for equal keys: Escape does nothing
    EXPECT_EQ(w.result(), 0);
}
