// The settings, welcome and About dialogs, driven as the user would.
#include "ShellFixture.h"

#include "common/unitString.h"
#include "shell/ProductInfo.h"
#include "app/uAbout.h"
#include "shell/uLanguage.h"
#include "app/uSettings.h"
#include "app/uWelcome.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {
const QString kSection = QStringLiteral("Common");

QString IniValue(const QString &key)
{
    return TIniFile(SettingsFilePath()).ReadString(kSection, key, QStringLiteral("<absent>"));
}

int Finished(TfrmSettings &dlg)
{
    int count = 0;
    QObject::connect(&dlg, &QDialog::finished, &dlg, [&count] { ++count; });
    dlg.btOk->click();
    return count;
}

// Opens the settings with their documents folder row ticked and pointing at a new folder, which it
// returns.
QString TickNewDocumentsFolder(TfrmSettings &dlg, const TestEnv &env)
{
    const QString docs = env.path(QStringLiteral("docs"));
    QDir().mkpath(docs);
    dlg.LoadValues();
    dlg.chDocSet->setChecked(true);
    dlg.edDocSet->setText(docs);
    return docs;
}
} // namespace

TEST_F(EnvTest, SettingsWithoutAFileShowTheValuesInUse)
{
    LoadSettings({});
    TfrmSettings dlg;
    dlg.LoadValues();
    EXPECT_EQ(dlg.objectName(), QStringLiteral("TfrmSettings"));
    for (QCheckBox *c : {dlg.chDocSet, dlg.chAppDat, dlg.chMsnDat, dlg.chChangeSubfolders})
        EXPECT_FALSE(c->isChecked()) << c->objectName().toStdString();
    for (QWidget *w : std::initializer_list<QWidget *>{dlg.edDocSet, dlg.btRestoreDocSet, dlg.edMsnDat, dlg.edEmot,
                                                       dlg.edDBg})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_EQ(dlg.edDocSet->text(), QStringLiteral("/mnt/c/Documents and Settings/"));
    EXPECT_EQ(dlg.edAppDat->text(), QStringLiteral("Application Data/"));
    EXPECT_EQ(dlg.edMsnDat->text(), QStringLiteral("Microsoft/MSN Messenger/"));
    EXPECT_EQ(dlg.edWink->text(), QStringLiteral("Winks3"));
    EXPECT_EQ(dlg.EdDdp->text(), QStringLiteral("DeluxeDisplayPictures"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Settings"));
    EXPECT_EQ(dlg.btOk->text(), QStringLiteral("OK"));
    EXPECT_EQ(dlg.lbIns2->text(),
              QStringLiteral("Changes to the above will make \"Auto scan\" to show the following into Folder List"));
    EXPECT_EQ(dlg.chChangeSubfolders->text(), QStringLiteral("Change the folder names under MSN data directory"));
    dlg.chDocSet->setChecked(true);
    EXPECT_TRUE(dlg.edDocSet->isEnabled());
    EXPECT_TRUE(dlg.btRestoreDocSet->isEnabled());
}

TEST_F(EnvTest, SettingsOkRefusesAMissingFolderAndKeepsTheDialogOpen)
{
    TfrmSettings dlg;
    dlg.LoadValues();
    dlg.chDocSet->setChecked(true);
    const QString missing = env.path(QStringLiteral("no/such/folder"));
    dlg.edDocSet->setText(missing);
    EXPECT_EQ(Finished(dlg), 0);
    ASSERT_EQ(env.dialogs().calls.size(), 1u);
    EXPECT_EQ(env.dialogs().calls[0].text, QStringLiteral("Directory not found:\r   ") + missing);
    EXPECT_EQ(env.dialogs().calls[0].type, TMsgDlgType::mtError);
    EXPECT_EQ(dlg.edDocSet->text(), missing);
    EXPECT_FALSE(QFile::exists(SettingsFilePath()));

    // The message names the folder exactly as typed, "&" and "%" included.
    const QString odd = env.path(QStringLiteral("Tom & Jerry 100%"));
    dlg.edDocSet->setText(odd);
    EXPECT_EQ(Finished(dlg), 0);
    ASSERT_EQ(env.dialogs().calls.size(), 2u);
    EXPECT_EQ(env.dialogs().calls[1].text, QStringLiteral("Directory not found:\r   ") + odd);
}

TEST_F(EnvTest, SettingsOkWithAnUntickedMissingDocumentsFolderSaves)
{
    // The built-in default names a Windows disk mount that is usually absent (here: surely absent);
    // leaving its row unticked must not stop the other settings from being saved.
    LoadSettings({});
    const QString absent = env.path(QStringLiteral("unmounted/Documents and Settings/"));
    Settings().docSetDir = absent;
    TfrmSettings dlg;
    dlg.LoadValues();
    ASSERT_FALSE(dlg.chDocSet->isChecked());
    dlg.chChangeSubfolders->setChecked(true);
    dlg.edWink->setText(QStringLiteral("Winks4"));
    EXPECT_EQ(Finished(dlg), 1);
    ASSERT_EQ(env.dialogs().calls.size(), 1u);
    EXPECT_EQ(env.dialogs().calls[0].type, TMsgDlgType::mtInformation);
    EXPECT_EQ(IniValue(QStringLiteral("subdirWink")), QStringLiteral("Winks4"));
    EXPECT_EQ(IniValue(QStringLiteral("docSetDir")), QStringLiteral("<absent>"));
    EXPECT_EQ(Settings().docSetDir, absent);

    // Ticking the row brings the check back.
    TfrmSettings again;
    again.LoadValues();
    again.chDocSet->setChecked(true);
    EXPECT_EQ(Finished(again), 0);
    EXPECT_EQ(env.dialogs().calls.back().type, TMsgDlgType::mtError);
}

TEST_F(EnvTest, SettingsOkAppliesAndStoresTheValues)
{
    TfrmSettings dlg;
    const QString docs = TickNewDocumentsFolder(dlg, env);
    dlg.chMsnDat->setChecked(true);
    dlg.edMsnDat->setText(QString());
    dlg.chChangeSubfolders->setChecked(true);
    dlg.edWink->setText(QStringLiteral("Winks4"));
    EXPECT_EQ(Finished(dlg), 1);
    EXPECT_EQ(dlg.result(), int(QDialog::Accepted));
    ASSERT_EQ(env.dialogs().calls.size(), 1u);
    EXPECT_EQ(env.dialogs().calls[0].text,
              QStringLiteral("Settings saved.\rPlease use the Auto scan to scan your hard-drive for Messenger content."));
    EXPECT_EQ(env.dialogs().calls[0].type, TMsgDlgType::mtInformation);
    EXPECT_EQ(Settings().docSetDir, docs + QLatin1Char('/'));
    EXPECT_EQ(Settings().msnDatDir, QStringLiteral("/"));
    EXPECT_EQ(Settings().subdirWink, QStringLiteral("Winks4"));
    EXPECT_EQ(IniValue(QStringLiteral("docSetDir")), docs) << "stored as typed";
    EXPECT_EQ(IniValue(QStringLiteral("appDatDir")), QStringLiteral("<absent>"));
    EXPECT_EQ(IniValue(QStringLiteral("msnDatDir")), QString());
    EXPECT_EQ(IniValue(QStringLiteral("ChangeMsnSubfolders")), QStringLiteral("True"));
    EXPECT_EQ(IniValue(QStringLiteral("subdirWink")), QStringLiteral("Winks4"));
    EXPECT_EQ(IniValue(QStringLiteral("subdirDbg")), QStringLiteral("DynamicBackgrounds"));

    // Next opening: the stored row is ticked and shows the text as typed; unticking deletes the key
    // but the value in use keeps the override; unticking the sub-folders keeps the edited names in
    // use and removes every sub-folder key.
    TfrmSettings again;
    again.LoadValues();
    EXPECT_TRUE(again.chDocSet->isChecked());
    EXPECT_EQ(again.edDocSet->text(), docs);
    EXPECT_TRUE(again.chChangeSubfolders->isChecked());
    EXPECT_TRUE(again.edWink->isEnabled());
    again.edDocSet->setText(QStringLiteral("/typed/over"));
    again.btRestoreDocSetClick();
    EXPECT_EQ(again.edDocSet->text(), docs) << "the value shown at opening, not the default";
    again.chDocSet->setChecked(false);
    again.edWink->setText(QStringLiteral("Winks5"));
    again.chChangeSubfolders->setChecked(false);
    EXPECT_EQ(Finished(again), 1);
    EXPECT_EQ(IniValue(QStringLiteral("docSetDir")), QStringLiteral("<absent>"));
    EXPECT_EQ(Settings().docSetDir, docs + QLatin1Char('/'));
    EXPECT_EQ(Settings().subdirWink, QStringLiteral("Winks5"));
    for (const char *key : {"ChangeMsnSubfolders", "subdirEmot", "subdirWink", "subdirDbg"})
        EXPECT_EQ(IniValue(QString::fromLatin1(key)), QStringLiteral("<absent>")) << key;
}

TEST_F(EnvTest, SettingsWriteFailureIsReportedWithTheFixedText)
{
    env.platform().appDir = QStringLiteral("/proc/zorvak-no-such-folder/");
    TfrmSettings dlg;
    const QString docs = TickNewDocumentsFolder(dlg, env);
    EXPECT_EQ(Finished(dlg), 1) << "the dialog still closes";
    ASSERT_EQ(env.dialogs().calls.size(), 1u);
    EXPECT_EQ(env.dialogs().calls[0].text,
              QStringLiteral("An internal error occured.\rSettings might have been applied but have not been saved.\r\r"
                             "Exception Exception: Unable to write to /proc/zorvak-no-such-folder/Zorvak.ini"));
    EXPECT_EQ(env.dialogs().calls[0].title, QStringLiteral("Error"));
    EXPECT_EQ(Settings().docSetDir, docs + QLatin1Char('/')) << "applied before the write failed";
}

TEST_F(EnvTest, MainWindowOpensSettingsAndAboutModally)
{
    TfrmMain frm;
    QString shownDocSet;
    env.dialogs().AnswerModal([&](QObject *d) {
        shownDocSet = d->findChild<QLineEdit *>(QStringLiteral("edDocSet"))->text();
        return int(mrCancel);
    });
    frm.Settings1->trigger();
    env.dialogs().AnswerModal([](QObject *) { return int(mrOk); });
    frm.About1->trigger();
    ASSERT_EQ(env.dialogs().calls.size(), 2u);
    EXPECT_EQ(env.dialogs().calls[0].dialogName, QStringLiteral("TfrmSettings"));
    EXPECT_EQ(shownDocSet, Settings().docSetDir);
    EXPECT_EQ(env.dialogs().calls[1].dialogName, QStringLiteral("TfrmAbout"));
    EXPECT_FALSE(QFile::exists(SettingsFilePath())) << "Cancel writes nothing";
}

TEST_F(EnvTest, WelcomeSwitchesBothWindowsAndStoresTheLanguage)
{
    TfrmMain frm;
    frm.Spanish1->trigger();
    TfrmWelcome dlg(&frm);
    EXPECT_EQ(dlg.cbLang->count(), 3);
    EXPECT_EQ(dlg.cbLang->itemText(0), QStringLiteral("English"));
    EXPECT_EQ(dlg.cbLang->itemText(1), QStringLiteral("Français"));
    EXPECT_EQ(dlg.cbLang->itemText(2), QStringLiteral("Italiano"));
    EXPECT_EQ(dlg.cbLang->currentIndex(), 0) << "English is selected whatever the language in use";

    dlg.cbLang->setCurrentIndex(1);
    const auto fr = LoadFrench();
    EXPECT_EQ(dlg.windowTitle(), fr->Get(QStringLiteral("Welcome")));
    EXPECT_EQ(dlg.labelLang->text(), StripAmpersands(fr->Get(QStringLiteral("Language"))));
    EXPECT_EQ(dlg.btCancel->text(), fr->Get(QStringLiteral("mbCancel")));
    EXPECT_EQ(dlg.lbWelcome->text(),
              StripAmpersands(fr->Get(QStringLiteral("FirstTimer"))).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    EXPECT_EQ(frm.Tools1->title(), fr->Get(QStringLiteral("Tools")));
    EXPECT_TRUE(frm.French1->isChecked());
    // The whole explanation is shown: the label, and the window, grow with a longer text.
    EXPECT_GE(dlg.lbWelcome->height(), dlg.lbWelcome->heightForWidth(dlg.lbWelcome->width()));
    EXPECT_EQ(dlg.height(), 245 + dlg.lbWelcome->height() - 121);
    EXPECT_EQ(IniValue(QStringLiteral("Language")), QStringLiteral("FR"));

    dlg.cbLang->setCurrentIndex(0);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Welcome to Zorvak"));
    EXPECT_GE(dlg.lbWelcome->height(), dlg.lbWelcome->heightForWidth(dlg.lbWelcome->width()));
    EXPECT_EQ(frm.Tools1->title(), QStringLiteral("&Tools"));
    EXPECT_EQ(IniValue(QStringLiteral("Language")), QStringLiteral("EN"));
}

TEST_F(EnvTest, WelcomeOkAndCancelResults)
{
    TfrmMain frm;
    TfrmWelcome ok(&frm);
    ok.btOk->click();
    EXPECT_EQ(ok.result(), int(mrOk));
    TfrmWelcome cancel(&frm);
    cancel.btCancel->click();
    EXPECT_EQ(cancel.result(), int(QDialog::Rejected));
}

namespace {
void ClickLink(QLabel *link)
{
    const QPointF at(2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, link->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, link->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(link, &press);
    QCoreApplication::sendEvent(link, &release);
}

// Version the executable lacks.
class NoVersionPlatform : public FakePlatform {
public:
    QString Version() override { return {}; }
};
} // namespace

TEST_F(EnvTest, AboutInEnglishHidesTheTranslatorAndShrinks)
{
    TfrmAbout dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("About Zorvak"));
    EXPECT_LT(dlg.height(), 339);
    EXPECT_TRUE(dlg.lbTranslatedBy->isHidden());
    EXPECT_EQ(dlg.lbVer->text(), QStringLiteral("version 2.1.0 - Freeware"));
    EXPECT_EQ(dlg.lbDate->text(), QStringLiteral("12 May 2007"));
    EXPECT_EQ(dlg.lbLastMod->text(), QStringLiteral("Last modified:"));
    EXPECT_EQ(dlg.lbDate->x(), dlg.lbLastMod->x() + dlg.lbLastMod->width() + 4);
    EXPECT_EQ(dlg.lnkWeb->x(), dlg.labelWebsite->x() + dlg.labelWebsite->width() + 6);
    EXPECT_EQ(dlg.lbUseContactForm->x(), dlg.lnkEmail->x() + dlg.lnkEmail->width() + 6);
    EXPECT_EQ(dlg.lbEmailIns->x(), dlg.lnkEmail->x());
    EXPECT_EQ(dlg.panBottom->y() + dlg.panBottom->height(), dlg.height());

    ClickLink(dlg.lnkWeb);
    ClickLink(dlg.lnkEmail);
    dlg.lnkWeb->setText(QStringLiteral("zorvak.example.org"));
    ClickLink(dlg.lnkWeb);
    EXPECT_EQ(env.platform().openedUrls,
              (QStringList{QString::fromLatin1(ProductWebsite),
                           QStringLiteral("mailto:") + QString::fromLatin1(ProductEmail) + QStringLiteral("?subject=About Zorvak"),
                           QStringLiteral("http://zorvak.example.org")}));
}

TEST_F(EnvTest, AboutInOtherLanguagesShowsTheTranslatorAndGrows)
{
    for (const char *code : {"FR", "IT", "SP"}) {
        SetCurrentLanguage(LoadLanguage(QString::fromLatin1(code)));
        TfrmAbout dlg;
        EXPECT_FALSE(dlg.lbTranslatedBy->isHidden()) << code;
        EXPECT_EQ(dlg.lbTranslatedBy->text(), CurrentLanguage().Get(QStringLiteral("TranslatedBy")));
        EXPECT_GE(dlg.height(), 339 + dlg.lbTranslatedBy->height() - 15) << code;
        // The version line and the date in the language (May, the fifth month).
        EXPECT_EQ(dlg.lbVer->text(), FormatText(Lang("AboutVersion"), {QStringLiteral("2.1.0")})) << code;
        EXPECT_EQ(dlg.lbDate->text(),
                  QStringLiteral("12 ") + Lang("Months").split(QLatin1Char('\r')).value(4) + QStringLiteral(" 2007"));
        EXPECT_EQ(dlg.panBottom->y() + dlg.panBottom->height(), dlg.height());
        // Every line of the bottom panel is inside the window, whatever the translation's length.
        for (QWidget *w : {static_cast<QWidget *>(dlg.lbUseContactForm), static_cast<QWidget *>(dlg.lbEmailIns),
                           static_cast<QWidget *>(dlg.btOK)})
            EXPECT_LE(w->x() + w->width() + 12, dlg.width()) << code << ' ' << w->objectName().toStdString();
        EXPECT_EQ(dlg.panBottom->width(), dlg.width()) << code;
    }
}

TEST_F(EnvTest, AboutLinesNeverOverlapWhateverTheDesktopsFont)
{
    struct RestoreFont {
        QFont before = QApplication::font();
        ~RestoreFont() { QApplication::setFont(before); SetCurrentLanguage(LoadEnglish()); }
    } restore;
    for (qreal points : {restore.before.pointSizeF(), 16.0}) {
        QFont desktop = restore.before;
        desktop.setPointSizeF(points);
        QApplication::setFont(desktop);
        for (const char *code : {"EN", "FR"}) {
            SCOPED_TRACE(std::string(code) + " at " + std::to_string(points));
            SetCurrentLanguage(LoadLanguage(QString::fromLatin1(code)));
            TfrmAbout dlg;
            EXPECT_EQ(dlg.lbDesc->font().pointSizeF(), points); // the desktop's font, not the design's 8
            EXPECT_GT(dlg.lbName->font().pointSizeF(), points);
            EXPECT_TRUE(dlg.lbName->font().bold());
            QList<QWidget *> lines{dlg.btOK};
            for (QLabel *l : dlg.findChildren<QLabel *>())
                if (!l->isHidden() && (!l->text().isEmpty() || !l->pixmap().isNull()))
                    lines << l;
            for (QWidget *a : lines) {
                const QRect ra(a->mapTo(&dlg, QPoint()), a->size());
                EXPECT_TRUE(dlg.rect().contains(ra)) << a->objectName().toStdString();
                for (QWidget *b : lines) {
                    const QRect rb(b->mapTo(&dlg, QPoint()), b->size());
                    EXPECT_TRUE(a == b || !ra.intersects(rb)) << a->objectName().toStdString() << " on " << b->objectName().toStdString();
                }
            }
        }
    }
}

TEST_F(EnvTest, AboutByAndNoticeLinesAreWholeInEveryLanguage)
{
    // Each language words the line with its maker in its own sentence; nothing English is glued on.
    const struct {
        const char *code;
        QString by, notice;
    } expected[] = {
        {"EN", QStringLiteral("by the Zorvak team"), QStringLiteral("Free software for your own Messenger content")},
        {"FR", QStringLiteral("par l'\u00e9quipe Zorvak"), QStringLiteral("Logiciel libre pour votre propre contenu Messenger")},
        {"IT", QStringLiteral("a cura del team di Zorvak"), QStringLiteral("Software libero per i vostri contenuti di Messenger")},
        {"SP", QStringLiteral("por el equipo de Zorvak"), QStringLiteral("Software libre para su propio contenido de Messenger")},
    };
    for (const auto &e : expected) {
        SetCurrentLanguage(LoadLanguage(QString::fromLatin1(e.code)));
        TfrmAbout dlg;
        EXPECT_EQ(dlg.lbBy->text(), e.by) << e.code;
        EXPECT_EQ(dlg.lbNotice->text(), e.notice) << e.code;
        EXPECT_LE(dlg.lbNotice->x() + dlg.lbNotice->width(), dlg.width()) << e.code;
        EXPECT_LE(dlg.lbBy->x() + dlg.lbBy->width(), dlg.width()) << e.code;
    }
    SetCurrentLanguage(LoadEnglish());
}

TEST_F(EnvTest, AboutThanksLabelsFlowAndWrap)
{
    TfrmMain frm;
    TfrmAbout dlg;
    dlg.ensurePolished();
    // The main window's hint display time holds in every window.
    for (QLabel *l : dlg.ThanksLabels)
        EXPECT_EQ(l->toolTipDuration(), 6000) << l->objectName().toStdString();
    const QStringList lines = CurrentLanguage().Get(QStringLiteral("arrayThanks")).split(QLatin1Char('\r'));
    ASSERT_EQ(lines.size(), 20);
    ASSERT_EQ(dlg.ThanksLabels.size(), 10);
    EXPECT_EQ(dlg.ThanksLabels.first(), dlg.lbThx);
    const int margin = dlg.width() - 2 * dlg.lbThx->x();
    for (int i = 0; i < 10; ++i) {
        QLabel *l = dlg.ThanksLabels[i];
        EXPECT_EQ(l->text(), lines[2 * i] + (i == 9 ? QStringLiteral(".") : QStringLiteral(",")));
        EXPECT_EQ(l->toolTip(), lines[2 * i + 1]);
        if (i == 0)
            continue;
        QLabel *prev = dlg.ThanksLabels[i - 1];
        if (l->y() == prev->y()) {
            EXPECT_EQ(l->x(), prev->x() + prev->width() + 5);
            EXPECT_LE(l->x() + l->width(), margin);
        } else {
            EXPECT_EQ(l->x(), dlg.lbThx->x());
            EXPECT_EQ(l->y(), prev->y() + prev->height() + 1);
            EXPECT_GT(prev->x() + prev->width() + 5 + l->width(), margin) << "wrapped only when it did not fit";
        }
    }
}

TEST_F(EnvTest, AboutWithoutAVersionRecord)
{
    auto previous = Platform::Set(std::make_unique<NoVersionPlatform>());
    TfrmAbout dlg;
    EXPECT_EQ(dlg.lbVer->text(), QStringLiteral("version  - Freeware"));
    Platform::Set(std::move(previous));
}
