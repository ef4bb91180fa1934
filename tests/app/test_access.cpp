// Every window without the mouse and in every language: Return presses each dialog's main button,
// Tab leaves every grid, buttons drawn as a glyph or an icon have a name for screen readers, every
// visible text comes from the catalogue of the language in use, and no two menus of the menu bar
// share a mnemonic.
#include "app/uAbout.h"
#include "app/uMain.h"
#include "app/uSettings.h"
#include "app/uWelcome.h"
#include "backup/NameUnlock.h"
#include "backup/uBackup.h"
#include "backup/uDuplicateKey.h"
#include "backup/uSelectFiles.h"
#include "browse/ui/uOpenWith.h"
#include "browse/ui/uSelectEmail.h"
#include "common/unitString.h"
#include "export/uNamedExport.h"
#include "restore/uRestore.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "shell/Controls.h"
#include "support/TestEnv.h"
#include "ShellFixture.h"
#include "browse/ui/FilePane.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QAbstractItemView>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <QSlider>
#include <QListWidget>
#include <QLineEdit>
#include <QCheckBox>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {

QString S(const char *text) { return QString::fromUtf8(text); }

struct Window {
    const char *name;
    std::function<std::unique_ptr<QWidget>(TfrmMain &main)> make;
    const char *mainButton; // the dialog's main action; nullptr for the main window
};

// Every window of the program, made in the language in use; the main window is the test's.
const std::vector<Window> &Windows()
{
    static const std::vector<Window> windows{
        {"main", [](TfrmMain &) { return std::unique_ptr<QWidget>(); }, nullptr}, // the test's own
        {"backup", [](TfrmMain &m) { return std::make_unique<TfrmBackup>(&m); }, "btStart"},
        {"confirmation", [](TfrmMain &m) { return std::make_unique<TfrmSelectFiles>(&m); }, "btContinue"},
        {"duplicate key", [](TfrmMain &m) { return std::make_unique<TfrmDuplicateKey>(&m); }, "btEdit1"},
        {"unlock names", [](TfrmMain &m) { return std::make_unique<TfrmUnlockNames>(&m); }, "btOK"},
        {"export with names", [](TfrmMain &m) { return std::make_unique<TfrmNamedExport>(&m); }, "btExport"},
        {"restore", [](TfrmMain &m) { return std::make_unique<TfrmRestore>(&m); }, "btStart"},
        {"settings", [](TfrmMain &m) { return std::make_unique<TfrmSettings>(&m); }, "btOk"},
        {"welcome", [](TfrmMain &m) { return std::make_unique<TfrmWelcome>(&m); }, "btOk"},
        {"about", [](TfrmMain &m) { return std::make_unique<TfrmAbout>(&m); }, "btOK"},  // names and a version
        {"open with", [](TfrmMain &m) { return std::make_unique<TfrmOpenWith>(S("/tmp/x.png"), &m); }, "btOk"},
        {"select e-mail", [](TfrmMain &m) { return std::make_unique<TfrmSelectEmail>(&m); }, "btOk"},
    };
    return windows;
}

struct LanguageGuard {
    ~LanguageGuard() { SetCurrentLanguage(LoadEnglish()); }
};

// The texts a user reads on a window: titles, captions, menus, headers, tooltips of glyphs.
QStringList VisibleTexts(QWidget *window)
{
    QStringList texts{window->windowTitle()};
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->isHidden() && !qobject_cast<QMenu *>(w))
            continue;
        if (auto *label = qobject_cast<QLabel *>(w); label && label->textFormat() != Qt::RichText)
            texts << label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            texts << button->text();
        else if (auto *group = qobject_cast<QGroupBox *>(w))
            texts << group->title();
        else if (auto *tabs = qobject_cast<QTabWidget *>(w))
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
        else if (auto *menu = qobject_cast<QMenu *>(w)) {
            texts << menu->title();
            for (QAction *a : menu->actions())
                texts << a->text();
        } else if (auto *table = qobject_cast<QTableWidget *>(w))
            for (int c = 0; c < table->columnCount(); ++c)
                if (QTableWidgetItem *h = table->horizontalHeaderItem(c))
                    texts << h->text();
    }
    return texts;
}

// A text needs no catalogue when it holds no word: numbers, paths, glyphs, addresses, web
// addresses, abbreviations (ID, IP).
bool LanguageNeutral(const QString &text)
{
    static const QRegularExpression word(S("\\p{Ll}\\p{L}|\\p{L}\\p{Ll}|\\p{Lu}{4,}"));
    static const QRegularExpression data(
        S("^[\\w.+-]+@[\\w.-]+$|^/|^\\w:\\\\|^[\\w.-]+\\.(png|gif|mco|cab)$|^https?://[\\w.-]+/?$"));
    return !word.match(text).hasMatch() || data.match(text).hasMatch();
}

// The text as compared: no accelerator marks, line breaks alike, no closing comma or full stop.
QString Plain(QString text)
{
    text = StripAmpersands(text);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text = text.trimmed();
    while (text.endsWith(QLatin1Char(',')) || text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

// `text` is the catalogue's `entry` with each "%s" or "%d" filled in.
bool Fills(const QString &entry, const QString &text)
{
    if (!entry.contains(QLatin1Char('%')))
        return false;
    QString pattern = QRegularExpression::escape(entry);
    pattern.replace(S("\\%s"), S(".*")).replace(S("\\%d"), S("\\d+")); // "%" is escaped
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(text).hasMatch();
}

} // namespace

TEST(Access, ReturnPressesEachDialogsMainButtonAndTabLeavesEveryGrid)
{
    TestEnv env;
    TfrmMain main;
    for (const Window &kind : Windows()) {
        if (!kind.mainButton)
            continue;
        SCOPED_TRACE(kind.name);
        const std::unique_ptr<QWidget> window = kind.make(main);
        window->show();
        QList<QPushButton *> defaults;
        for (QPushButton *b : window->findChildren<QPushButton *>()) {
            if (b->isDefault())
                defaults << b;
            if (b->objectName() != QLatin1String(kind.mainButton)) {
                EXPECT_FALSE(b->autoDefault()) << b->objectName().toStdString();
            }
        }
        ASSERT_EQ(defaults.size(), 1);
        EXPECT_EQ(defaults.first()->objectName(), QLatin1String(kind.mainButton));
        for (QAbstractItemView *grid : window->findChildren<QAbstractItemView *>()) {
            EXPECT_FALSE(grid->tabKeyNavigation()) << grid->objectName().toStdString();
            if (!grid->isVisible() || !grid->isEnabled())
                continue;
            grid->setFocus();
            QTest::keyClick(grid, Qt::Key_Tab);
            EXPECT_NE(window->focusWidget(), grid) << grid->objectName().toStdString();
        }
    }
}

TEST(Access, GlyphAndIconButtonsHaveANameForScreenReaders)
{
    TestEnv env;
    TfrmMain main;
    static const QRegularExpression word(S("\\p{L}"));
    for (const Window &kind : Windows()) {
        SCOPED_TRACE(kind.name);
        const std::unique_ptr<QWidget> made = kind.make(main);
        QWidget *window = made ? made.get() : &main;
        for (QAbstractButton *b : window->findChildren<QAbstractButton *>()) {
            // Qt's own parts (a line edit's clear button, a tab bar's arrows) are Qt's to name.
            if (qobject_cast<QLineEdit *>(b->parentWidget()) || qobject_cast<QAbstractScrollArea *>(b->parentWidget())
                || b->objectName().startsWith(QLatin1String("qt_")))
                continue;
            if (!word.match(b->text()).hasMatch()) {
                EXPECT_FALSE(b->accessibleName().isEmpty()) << b->objectName().toStdString();
            }
            // An icon is drawn for the screen's scale: at 2x with twice the pixels each way, not
            // the 1x picture enlarged (a themed or vector icon; the test runs without a theme).
            if (!b->icon().isNull()) {
                const QImage one = b->icon().pixmap(b->iconSize(), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
                const QImage two = b->icon().pixmap(b->iconSize(), 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
                EXPECT_EQ(two.size(), b->iconSize() * 2) << b->objectName().toStdString();
                EXPECT_NE(two, one.scaled(one.size() * 2)) << b->objectName().toStdString();
            }
        }
    }
    // A Passport ID node says its address in its tooltip and to screen readers.
    EmailById().SetValue(S("1596456324"), S("someone@example.com"));
    auto *node = new QTreeWidgetItem(main.tvDir, QStringList{S("1596456324")});
    main.tvDir->setCurrentItem(node);
    EXPECT_EQ(node->toolTip(0), S("someone@example.com"));
    EXPECT_EQ(node->data(0, Qt::AccessibleDescriptionRole).toString(), S("someone@example.com"));
    // The main window's controls whose text does not name them.
    for (const char *name : {"edFilter", "tbThumbSize", "Image1", "btHideNamesOffer"}) {
        auto *w = main.findChild<QWidget *>(QLatin1String(name));
        ASSERT_TRUE(w) << name;
        EXPECT_FALSE(w->accessibleName().isEmpty()) << name;
    }
}

TEST(Access, EveryVisibleTextComesFromTheCatalogueAndMenuBarMnemonicsDiffer)
{
    LanguageGuard english;
    TestEnv env;
    for (const char *code : {"EN", "FR", "IT", "SP"}) {
        SCOPED_TRACE(code);
        TfrmMain main; // reads the saved language: the one under test is chosen after it
        SetCurrentLanguage(LoadLanguage(QLatin1String(code)));
        main.RefreshCaptions();
        QStringList catalogue;
        const THash &table = CurrentLanguage().Table();
        for (int i = 0; i < table.Count(); ++i)
            catalogue << Plain(table.GetValue(table.KeyAt(i)));
        for (const Window &kind : Windows()) {
            SCOPED_TRACE(kind.name);
            const std::unique_ptr<QWidget> made = kind.make(main);
            QWidget *window = made ? made.get() : &main;
            for (const QString &shown : VisibleTexts(window)) {
                // French puts a no-break space before a colon, added ones too.
                if (QLatin1String(code) == QLatin1String("FR") && shown.trimmed().endsWith(u':')) {
                    EXPECT_TRUE(shown.trimmed().endsWith(u"\u00A0:")) << shown.toStdString();
                }
                QString text = Plain(shown);
                // The languages are named in their own language, in every language.
                static const QStringList languages{S("English"), S("Fran\u00e7ais"), S("Italiano"), S("Espa\u00f1ol")};
                if (text.isEmpty() || LanguageNeutral(text) || languages.contains(text))
                    continue;
                // A caption is a catalogue text, maybe with "...", ":" or a count added, or a
                // line of one, or a text whose placeholders were filled; a date's words (its
                // month) are a line of one.
                static const QRegularExpression number(S("\\d+"));
                if (QString words = QString(text).remove(number).trimmed(); words.size() < text.size() && !words.isEmpty()
                    && !words.contains(QLatin1Char(' ')))
                    text = Plain(words);
                const bool found = std::any_of(catalogue.cbegin(), catalogue.cend(), [&text](const QString &entry) {
                    const QString head = entry.left(entry.indexOf(u'%')).trimmed();
                    return !entry.isEmpty()
                           && (entry.contains(text) || text.contains(entry) || Fills(entry, text)
                               || (head.size() >= 12 && text.startsWith(head)));
                });
                EXPECT_TRUE(found) << shown.toStdString();
            }
        }
        // Alt+letter opens one menu only.
        QStringList letters;
        for (QAction *menu : main.menuBar()->actions()) {
            const QString title = menu->text();
            const qsizetype amp = title.indexOf(QLatin1Char('&'));
            ASSERT_GE(amp, 0) << title.toStdString();
            letters << title.mid(amp + 1, 1).toLower();
        }
        QStringList unique = letters;
        unique.removeDuplicates();
        EXPECT_EQ(unique.size(), letters.size()) << letters.join(QLatin1Char(' ')).toStdString();
    }
}

TEST(Access, LabelsStayReadableOnADarkDesktop)
{
    LanguageGuard english;
    TestEnv env;
    struct RestorePalette {
        QPalette before = QApplication::palette();
        ~RestorePalette() { QApplication::setPalette(before); }
    } restore;
    QPalette dark;
    for (auto [role, colour] : std::initializer_list<std::pair<QPalette::ColorRole, QColor>>{
             {QPalette::Window, QColor(45, 45, 48)}, {QPalette::WindowText, QColor(230, 230, 230)},
             {QPalette::Base, QColor(30, 30, 30)}, {QPalette::AlternateBase, QColor(40, 40, 40)},
             {QPalette::Text, QColor(230, 230, 230)}, {QPalette::Button, QColor(55, 55, 58)},
             {QPalette::ButtonText, QColor(230, 230, 230)}, {QPalette::Highlight, QColor(38, 110, 190)},
             {QPalette::HighlightedText, QColor(255, 255, 255)}, {QPalette::ToolTipBase, QColor(60, 60, 60)},
             {QPalette::ToolTipText, QColor(230, 230, 230)}, {QPalette::Link, QColor(120, 180, 255)},
             {QPalette::PlaceholderText, QColor(160, 160, 160)}})
        dark.setColor(role, colour);
    QApplication::setPalette(dark);

    TfrmMain main; // reads the saved language: the one wanted is chosen after it
    SetCurrentLanguage(LoadLanguage(qEnvironmentVariable("ZORVAK_SHOT_LANG", S("EN"))));
    main.RefreshCaptions();
    TfrmBackup backup(&main);
    TfrmSelectFiles confirmation(&main);
    const QString tmp = env.appDir() + S("~tmp/");
    QDir().mkpath(tmp);
    TMsnArr items = NewMsnArr();
    for (const char *file : {"E0.gif", "E1.gif"}) {
        WriteFile(tmp + QLatin1String(file), QByteArray("GIF89a").leftJustified(64, 'x'));
        items->append({S("(k)"), S("Smile"), QLatin1String(file), S("image/gif"), {}, S("D")});
    }
    confirmation.LoadItems(Lang("Emot"), items, {}, 0);
    TfrmSettings settings(&main);
    TfrmAbout about(&main); // its links, credits and thanks too
    for (QWidget *window : std::initializer_list<QWidget *>{&main, &backup, &confirmation, &settings, &about}) {
        SCOPED_TRACE(window->objectName().toStdString());
        for (QLabel *label : window->findChildren<QLabel *>()) {
            if (label->text().isEmpty())
                continue;
            const QPalette p = label->palette();
            const double ratio = ContrastRatio(p.color(QPalette::Active, label->foregroundRole()),
                                               p.color(QPalette::Active, label->backgroundRole()));
            EXPECT_GE(ratio, 4.5) << label->objectName().toStdString();
        }
    }
    // The green of default content on the grid's base.
    EXPECT_GE(ContrastRatio(ReadableColour(dark, QColor(0, 128, 0), QPalette::Base), dark.color(QPalette::Base)), 4.5);
    EXPECT_EQ(ReadableColour(QPalette(QColor(240, 240, 240)), QColor(0, 128, 0)), QColor(0, 128, 0)); // light: as designed

    // For the record: the windows as a user sees them (ZORVAK_SHOT_DIR set by hand).
    const QString shots = qEnvironmentVariable("ZORVAK_SHOT_DIR");
    if (!shots.isEmpty()) {
        main.resize(900, 600);
        for (QWidget *window : std::initializer_list<QWidget *>{&main, &backup, &confirmation, &settings, &about}) {
            window->show();
            if (!QTest::qWaitForWindowExposed(window))
                continue;
            window->grab().save(shots + QLatin1Char('/') + window->objectName() + QStringLiteral(".png"));
        }
    }
}

// After each change of the view and after each dialog closes, the focus is on a control the user
// sees and can use. A dialog is shown for real, so that the main window loses and regains the
// activation as on a desktop.
TEST(Access, FocusStaysOnAShownControlAfterEachChange)
{
    TestEnv env;
    const QString root = BuildProfiles(env, {S("1596456324")});
    const QString emoticons = root + S("alice/Application Data/Microsoft/MSN Messenger/1596456324/CustomEmoticons/");
    WriteFile(emoticons + S("map.dat"), "not a map"); // the names notice shows
    for (const char *name : {"E0.dat", "E1.dat"}) {
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::red);
        ASSERT_TRUE(picture.save(emoticons + QLatin1String(name), "PNG"));
    }
    TfrmMain main;
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    main.Auto1Click();
    QTreeWidgetItem *folder = main.tvDir->topLevelItem(0);
    ASSERT_TRUE(folder);
    while (folder->childCount() > 0)
        folder = folder->child(0);
    main.tvDir->setCurrentItem(folder);
    ASSERT_GT(main.lbFiles->count(), 0) << folder->text(0).toStdString();
    // A modal window: shown, made active, closed.
    const auto answerShown = [&env] {
        env.dialogs().AnswerModal([](QObject *dialog) {
            auto *window = qobject_cast<QWidget *>(dialog);
            window->show();
            window->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(window));
            window->hide();
            return int(mrCancel);
        });
    };
    struct Change {
        const char *name;
        QWidget *focus;  // the control that has the focus before the change
        std::function<void()> make;
    };
    const std::vector<Change> changes{
        {"thumbnails", main.lbFiles, [&] { QTest::keyClick(&main, Qt::Key_2, Qt::ControlModifier); }},
        {"list, from the size slider", main.Pane->tbThumbSize, [&] { QTest::keyClick(&main, Qt::Key_1, Qt::ControlModifier); }},
        {"names notice closed", main.Pane->btHideNamesOffer, [&] { QTest::keyClick(main.Pane->btHideNamesOffer, Qt::Key_Space); }},
        {"file list emptied by the filter", main.btOpenWith, [&] { main.Pane->edFilter->setText(S("nothing-matches")); }},
        {"settings", main.lbFiles, [&] { answerShown(); QTest::keyClick(&main, Qt::Key_Comma, Qt::ControlModifier); }},
        {"about", main.tvDir, [&] { answerShown(); main.About1->trigger(); }},
        {"backup", main.btBackup, [&] { answerShown(); QTest::keyClick(&main, Qt::Key_F6); }},
        {"restore", main.tvDir, [&] { answerShown(); QTest::keyClick(&main, Qt::Key_F7); }},
        {"export with names", main.tvDir, [&] { answerShown(); main.ExportNamed1->trigger(); }},
        {"open with", main.btOpenWith, [&] { answerShown(); QTest::keyClick(main.btOpenWith, Qt::Key_Space); }},
        {"names notice's link, the dialog cancelled", main.tvDir, [&] { answerShown(); main.UnlockNames1->trigger(); }},
    };
    for (const Change &change : changes) {
        SCOPED_TRACE(change.name);
        main.Pane->edFilter->clear();
        main.tvDir->setCurrentItem(folder);
        if (change.focus == main.Pane->tbThumbSize)
            main.Thumbnails1->trigger();
        if (change.focus == main.Pane->btHideNamesOffer)
            main.Pane->barNames->show();
        ASSERT_TRUE(change.focus->isVisible());
        change.focus->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), change.focus);
        change.make();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main, 2000)); // given back by the window itself
        QWidget *focus = QApplication::focusWidget();
        ASSERT_TRUE(focus);
        EXPECT_TRUE(focus->isVisible() && focus->isEnabled()) << focus->objectName().toStdString();
        EXPECT_TRUE(env.dialogs().AllAnswered());
    }
}
