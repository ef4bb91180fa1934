// The localized message dialog: titles and captions from the catalogue, the fixed button order,
// and the real Qt dialog driven by keys, clicks and its close box.
#include "common/Exceptions.h"
#include "app/QtDialogService.h"
#include "shell/uLanguage.h"
#include "shell/unitCustomDlg.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace zorvak;
using test::EnvTest;

TEST_F(EnvTest, LangMessageDlgTakesTitleAndCaptionsFromTheCatalogue)
{
    SetCurrentLanguage(LoadFrench());
    env.dialogs().Answer(mrNo);
    EXPECT_EQ(LangMessageDlg(QStringLiteral("a\rb"), TMsgDlgType::mtConfirmation, mbNo | mbYes), mrNo);
    LangMessageDlg(QStringLiteral("x"), TMsgDlgType::mtError, mbOK);
    LangMessageDlg(QStringLiteral("x"), TMsgDlgType::mtCustom, mbOK);
    ASSERT_EQ(env.dialogs().calls.size(), 3u);
    EXPECT_EQ(env.dialogs().calls[0].title, QStringLiteral("Confirmation"));
    EXPECT_EQ(env.dialogs().calls[0].captions, (QStringList{QStringLiteral("Oui"), QStringLiteral("Non")}));
    EXPECT_EQ(env.dialogs().calls[0].text, QStringLiteral("a\rb"));
    EXPECT_EQ(env.dialogs().calls[1].title, QStringLiteral("Erreur"));
    EXPECT_EQ(env.dialogs().calls[1].captions, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(env.dialogs().calls[2].title, QString()) << "no catalogue entry for the custom kind";

    SetCurrentLanguage(LoadEnglish());
    env.dialogs().ClearCalls();
    LangMessageDlg(QStringLiteral("?"), TMsgDlgType::mtConfirmation, mbYesToAll | mbCancel | mbNo | mbYes);
    EXPECT_EQ(env.dialogs().calls[0].captions, (QStringList{QStringLiteral("Yes"), QStringLiteral("No"),
                                                            QStringLiteral("Cancel"), QStringLiteral("Yes To All")}));
}

namespace {
// Runs a real message dialog modally and lets `act` drive it once it is shown.
int RunForm(TMessageForm &form, const std::function<void(TMessageForm &)> &act)
{
    QTimer::singleShot(0, &form, [&form, act] {
        EXPECT_TRUE(form.isVisible());
        act(form);
    });
    // If the dialog did not close, give up after a while instead of hanging.
    bool stuck = false;
    QTimer::singleShot(3000, &form, [&form, &stuck] {
        stuck = true;
        form.done(QDialog::Rejected);
    });
    const int result = form.Run();
    EXPECT_FALSE(stuck) << "the dialog did not close";
    return result;
}

void Key(QWidget *w, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
}

QStringList Texts(const QList<QPushButton *> &buttons)
{
    QStringList texts;
    for (QPushButton *b : buttons)
        texts << b->text();
    return texts;
}
} // namespace

TEST_F(EnvTest, EveryEscapedErrorIsShownOneWay)
{
    // Whatever the language and whatever was thrown: the application title, a stop icon, one
    // untranslated "OK", the error's own text; the action is abandoned where it threw.
    SetCurrentLanguage(LoadFrench());
    int reached = 0;
    EXPECT_FALSE(RunShowingErrors([&] {
        throw EInOutError(QStringLiteral("Disk full."));
        ++reached;
    }));
    EXPECT_FALSE(RunShowingErrors([] { throw std::runtime_error("Caf\xc3\xa9 closed"); }));
    EXPECT_FALSE(RunShowingErrors([] { throw 42; }));
    EXPECT_TRUE(RunShowingErrors([&] { ++reached; }));
    ShowException(EConvertError(QStringLiteral("'x' is not a valid integer value")));
    EXPECT_EQ(reached, 1);
    ASSERT_EQ(env.dialogs().calls.size(), 4u);
    const QStringList texts{QStringLiteral("Disk full."), QStringLiteral("Caf\u00e9 closed"),
                            QStringLiteral("Unknown error."), QStringLiteral("'x' is not a valid integer value")};
    for (size_t i = 0; i < 4; ++i) {
        const auto &call = env.dialogs().calls[i];
        EXPECT_EQ(call.text, texts.at(qsizetype(i)));
        EXPECT_EQ(call.title, QStringLiteral("Zorvak 2.1"));
        EXPECT_EQ(call.type, TMsgDlgType::mtError);
        EXPECT_EQ(call.captions, QStringList{QStringLiteral("OK")});
    }
    SetCurrentLanguage(LoadEnglish());
}

TEST(QtMessageDialog, ButtonsInTheFixedOrderWithTheirCaptions)
{
    TMessageForm form(QStringLiteral("Confirmation"), QStringLiteral("Overwrite?"), TMsgDlgType::mtConfirmation,
                      mbYesToAll | mbCancel | mbNo | mbYes,
                      {QStringLiteral("Oui"), QString(), QStringLiteral("Annuler")});
    EXPECT_EQ(Texts(form.DisplayButtons()), (QStringList{QStringLiteral("Oui"), QStringLiteral("No"),
                                                         QStringLiteral("Annuler"), QStringLiteral("Yes To All")}));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Confirmation"));
    EXPECT_EQ(form.icon(), QMessageBox::Question);
    const int result = RunForm(form, [](TMessageForm &f) {
        const QList<QPushButton *> b = f.DisplayButtons();
        for (int i = 1; i < b.size(); ++i)
            EXPECT_LT(b[i - 1]->geometry().x(), b[i]->geometry().x()) << "shown left to right";
        b.last()->click();
    });
    EXPECT_EQ(result, mrYesToAll);
}

TEST(QtMessageDialog, EnterEscapeAndCloseBox)
{
    struct Case {
        TMsgDlgButtons buttons;
        int key; // 0: the close box
        int expected;
    } cases[] = {
        {mbYes | mbNo, Qt::Key_Escape, mrNo},
        {mbOK, Qt::Key_Escape, mrOk},
        {mbOK | mbCancel, Qt::Key_Escape, mrCancel},
        {mbYes | mbNo | mbCancel, Qt::Key_Escape, mrCancel},
        {mbYes | mbNo, Qt::Key_Return, mrYes},
        {mbOK | mbCancel, Qt::Key_Return, mrOk},
        {mbYes | mbCancel, Qt::Key_Return, mrYes},
        {mbYes | mbNo, 0, mrCancel},
        {mbOK, 0, mrCancel},
    };
    for (const Case &c : cases) {
        TMessageForm form(QStringLiteral("t"), QStringLiteral("m"), TMsgDlgType::mtWarning, c.buttons, {});
        const int result = RunForm(form, [&c](TMessageForm &f) {
            if (c.key)
                Key(&f, c.key);
            else
                f.close();
        });
        EXPECT_EQ(result, c.expected) << "buttons " << c.buttons << " key " << c.key;
    }
}

TEST(QtMessageDialog, HelpDoesNotCloseAndEscapeWithoutACancelButtonDoesNothing)
{
    TMessageForm form(QStringLiteral("t"), QStringLiteral("m"), TMsgDlgType::mtInformation, mbYes | mbYesToAll | mbHelp,
                      {});
    const int result = RunForm(form, [](TMessageForm &f) {
        f.DisplayButtons().last()->click(); // Help
        Key(&f, Qt::Key_Escape);
        EXPECT_TRUE(f.isVisible());
        f.DisplayButtons().at(1)->click();
    });
    EXPECT_EQ(result, mrYesToAll);
}

TEST(QtMessageDialog, CarriageReturnsAreLineBreaksAndKindsHaveIcons)
{
    TMessageForm form(QStringLiteral(""), QStringLiteral("one\rtwo\r\nthree <b>"), TMsgDlgType::mtError, mbOK, {});
    EXPECT_EQ(form.text(), QStringLiteral("one\ntwo\nthree <b>"));
    EXPECT_EQ(form.textFormat(), Qt::PlainText);
    EXPECT_EQ(form.icon(), QMessageBox::Critical);
    EXPECT_EQ(form.windowTitle(), QString());
    EXPECT_EQ(TMessageForm(QString(), QString(), TMsgDlgType::mtWarning, mbOK, {}).icon(), QMessageBox::Warning);
    EXPECT_EQ(TMessageForm(QString(), QString(), TMsgDlgType::mtInformation, mbOK, {}).icon(),
              QMessageBox::Information);
    EXPECT_EQ(TMessageForm(QString(), QString(), TMsgDlgType::mtCustom, mbOK, {}).icon(), QMessageBox::NoIcon);
}

TEST(QtMessageDialog, ServiceShowsMessagesAndThePlainBoxModally)
{
    QtDialogService service;
    auto pressWhenShown = [](int key, QString *title, QStringList *buttons) {
        QTimer::singleShot(0, [=] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *form = qobject_cast<TMessageForm *>(w);
                if (form && form->isVisible()) {
                    *title = form->windowTitle();
                    *buttons = Texts(form->DisplayButtons());
                    Key(form, key);
                }
            }
        });
    };
    QString title;
    QStringList buttons;
    pressWhenShown(Qt::Key_Escape, &title, &buttons);
    EXPECT_EQ(service.MessageDlg(QStringLiteral("Aviso"), QStringLiteral("m"), TMsgDlgType::mtWarning, mbOK | mbCancel,
                                 {QStringLiteral("OK"), QStringLiteral("Cancelar")}),
              mrCancel);
    EXPECT_EQ(title, QStringLiteral("Aviso"));
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("OK"), QStringLiteral("Cancelar")}));

    pressWhenShown(Qt::Key_Return, &title, &buttons);
    service.PlainMessage(QStringLiteral("Nothing found"));
    EXPECT_EQ(title, QStringLiteral("Zorvak 2.1"));
    EXPECT_EQ(buttons, QStringList{QStringLiteral("OK")});
}

namespace {
// A desktop with its own button-box convention.
class LayoutStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int layout = QDialogButtonBox::GnomeLayout;
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == QStyle::SH_DialogButtonLayout)
            return layout;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
} // namespace

TEST(QtMessageDialog, FixedOrderWhateverTheDesktopConvention)
{
    const QString previous = QApplication::style()->name();
    for (int layout : {QDialogButtonBox::WinLayout, QDialogButtonBox::MacLayout, QDialogButtonBox::KdeLayout,
                       QDialogButtonBox::GnomeLayout, QDialogButtonBox::AndroidLayout}) {
        auto *style = new LayoutStyle(QStyleFactory::create(previous));
        style->layout = layout;
        QApplication::setStyle(style);
        TMessageForm form(QStringLiteral("t"), QStringLiteral("m"), TMsgDlgType::mtConfirmation,
                          mbYes | mbNo | mbCancel | mbYesToAll, {});
        form.show();
        const QList<QPushButton *> b = form.DisplayButtons();
        ASSERT_EQ(b.size(), 4);
        for (int i = 1; i < b.size(); ++i)
            EXPECT_LT(b[i - 1]->geometry().x(), b[i]->geometry().x()) << "layout " << layout;
    }
    QApplication::setStyle(previous);
}
