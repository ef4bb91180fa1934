// The demo profile's Windows 7 user Dave, whose Messenger keeps its content in the ObjectStore
// layout: found by the scan and by "Which is my folder?", listed and previewed, backed up through
// the window and through zorvak-cli without any secret, the packages accepted by three other
// readers and installed again through the local installer with every object intact. Nothing is
// ever written into the profile.
#include "backup/uBackup.h"
#include "backup/uSelectFiles.h"
#include "common/EmailId.h"
#include "browse/Recognition.h"
#include "browse/ui/uMainBrowse.h"
#include "browse/ui/uSelectEmail.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "app/uMain.h"
#include "restore/HttpProbe.h"
#include "support/Programs.h"
#include "WindowQueries.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

using namespace zorvak;
using namespace zorvak::test;

namespace {

const QString kDave = QStringLiteral("dave.demo@hotmail.com");

using Result = TProgramRun;

Result Exec(const QString &program, const QStringList &args, const QString &workDir = QString())
{
    TRunOptions options;
    options.workingDirectory = workDir;
    options.timeoutMs = 180000;
    return RunProgram(program, args, options);
}

Result Cli(const QStringList &args, const QString &workDir = QString()) { return Exec(CliProgram(), args, workDir); }

QByteArray Sha1(const QByteArray &data) { return QCryptographicHash::hash(data, QCryptographicHash::Sha1); }

// The SHA-1 of every ".dt2" object of the given kind folders of Dave's store.
QSet<QByteArray> Objects(const QString &store, const QStringList &kinds)
{
    QSet<QByteArray> sums;
    for (const QString &kind : kinds)
        for (const QString &name : QDir(store + kind).entryList({QStringLiteral("*.dt2")}, QDir::Files))
            sums.insert(Sha1(ReadFile(store + kind + QLatin1Char('/') + name)));
    return sums;
}

class DaveDemo : public EnvTest {
protected:
    QString demo, account, store, out;
    QByteArray before;

    void SetUp() override
    {
        demo = env.path(QStringLiteral("demo"));
        const Result gen = Exec(DemoProfileProgram(), {demo});
        ASSERT_EQ(gen.code, 0) << gen.err.toStdString();
        EXPECT_TRUE(gen.out.contains(demo + QStringLiteral("/Users/Dave/AppData/Roaming\t") + kDave + QLatin1Char('\t')
                                     + EmailToId(kDave)))
            << gen.out.toStdString();
        account = demo + QStringLiteral("/Users/Dave/AppData/Local/Microsoft/Messenger/") + kDave + QLatin1Char('/');
        store = account + QStringLiteral("ObjectStore/");
        out = env.path(QStringLiteral("out/"));
        QDir().mkpath(out);
        before = TreeChecksum(demo);
    }
    void TearDown() override { EXPECT_EQ(TreeChecksum(demo), before) << "nothing is written into the profile"; }

    // The package is a cabinet three other readers accept; its content.xml lists every file.
    void CheckPackage(const QString &mco, int items)
    {
        EXPECT_EQ(Exec(QStringLiteral("cabextract"), {QStringLiteral("-t"), mco}).code, 0);
        EXPECT_EQ(Exec(QStringLiteral("7z"), {QStringLiteral("t"), mco}).code, 0);
        const QString unpacked = env.path(QStringLiteral("unpacked-") + QFileInfo(mco).baseName());
        QDir().mkpath(unpacked);
        EXPECT_EQ(Exec(QStringLiteral("bsdtar"), {QStringLiteral("-xf"), mco, QStringLiteral("-C"), unpacked}).code, 0);
        const QString xml = QString::fromLatin1(ReadFile(unpacked + QStringLiteral("/content.xml")));
        EXPECT_EQ(xml.count(QStringLiteral("<item ")), items) << xml.toStdString();
        EXPECT_EQ(QDir(unpacked).entryList(QDir::Files).size(), items + 1);
        for (const QString &file : QDir(unpacked).entryList(QDir::Files)) {
            EXPECT_FALSE(file.endsWith(QStringLiteral(".dt2")) || file.endsWith(QStringLiteral(".id2"))) << file.toStdString();
            if (file != QStringLiteral("content.xml")) {
                EXPECT_TRUE(xml.contains(QStringLiteral("file=\"") + file + QLatin1Char('"'))) << file.toStdString();
            }
        }
    }

    // Installs a package through the local installer (copied, served over HTTP, fetched) into a
    // library of its own; returns the SHA-1 of every object installed and its index.
    QSet<QByteArray> Reinstall(const QString &mco, QString *index)
    {
        const QString library = env.path(QStringLiteral("library-") + QFileInfo(mco).baseName());
        // A port of its own: the tests of this program may run at the same time.
        const Result r = Cli({QStringLiteral("install"), mco, QStringLiteral("--library"), library,
                              QStringLiteral("--port"), QString::number(FreePort())});
        EXPECT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
        QSet<QByteArray> sums;
        for (QDirIterator it(library, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            const QString path = it.next();
            if (QFileInfo(path).fileName() == QStringLiteral("index.tsv"))
                *index = QString::fromUtf8(ReadFile(path));
            else
                sums.insert(Sha1(ReadFile(path)));
        }
        return sums;
    }
};

} // namespace

TEST_F(DaveDemo, CliScanBackupAndReinstallWithoutASecret)
{
    // The scan, given the Users folder, shows Dave's account with its content folders.
    const Result scan = Cli({QStringLiteral("scan"), QStringLiteral("--docset"), demo + QStringLiteral("/Users")});
    ASSERT_EQ(scan.code, 0) << scan.err.toStdString();
    EXPECT_TRUE(scan.out.startsWith(QStringLiteral("Dave\t0\t"))) << scan.out.toStdString();
    EXPECT_TRUE(scan.out.contains(QStringLiteral("\t") + kDave + QStringLiteral("\t1\t") + account + QLatin1Char('\n')))
        << scan.out.toStdString();
    for (const auto &[kind, icon] : {std::pair{"CustomEmoticons", 2}, std::pair{"UserTile", 6}, std::pair{"WebcamDDP", 6},
                                     std::pair{"Winks3", 4}, std::pair{"Backgrounds", 3}, std::pair{"DynamicBackgrounds", 3}})
        EXPECT_TRUE(scan.out.contains(QStringLiteral("\t\t%1\t%2\t%3%1/\n").arg(QLatin1String(kind)).arg(icon).arg(store)))
            << kind << "\n" << scan.out.toStdString();
    // The same from the whole profile folder of Windows XP and later: "Documents and Settings"
    // finds the other users, "Users" finds Dave; an APPDATA of Dave's finds him too.
    EXPECT_FALSE(Cli({QStringLiteral("scan"), QStringLiteral("--docset"), demo + QStringLiteral("/Documents and Settings")})
                     .out.contains(kDave));
    EXPECT_TRUE(Cli({QStringLiteral("scan"), QStringLiteral("--appdata"), demo + QStringLiteral("/Users/Dave/AppData/Roaming")})
                    .out.contains(kDave));

    // Export writes every object under its recognised extension, metadata never.
    const Result exported = Cli({QStringLiteral("export"), store, out + QStringLiteral("export")});
    ASSERT_EQ(exported.code, 0) << exported.err.toStdString();
    QStringList files;
    for (QDirIterator it(out + QStringLiteral("export"), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << it.next();
    EXPECT_EQ(files.size(), 11 + 2) << files.join('\n').toStdString(); // eleven objects, two wink thumbnails
    EXPECT_EQ(files.filter(QStringLiteral(".id2")).size() + files.filter(QStringLiteral(".dt2")).size(), 0);
    EXPECT_GE(files.filter(QStringLiteral("+")).size(), 1);
    EXPECT_EQ(files.filter(QStringLiteral("=.")).size(), files.size());

    // The backup: no --email, no secret; every kind, one package.
    const Result backup = Cli({QStringLiteral("backup"), account, QStringLiteral("--out"), out + QStringLiteral("Dave.mco")});
    ASSERT_EQ(backup.code, 0) << backup.err.toStdString();
    EXPECT_EQ(backup.out, out + QStringLiteral("Dave.mco\t11\n"));
    EXPECT_TRUE(backup.err.contains(QStringLiteral("not read; the objects are named by position"))) << backup.err.toStdString();
    EXPECT_EQ(backup.err.count(QLatin1Char('\n')), 1) << backup.err.toStdString(); // the note; no key warning
    CheckPackage(out + QStringLiteral("Dave.mco"), 11);

    QString index;
    const QSet<QByteArray> installed = Reinstall(out + QStringLiteral("Dave.mco"), &index);
    const QSet<QByteArray> originals = Objects(store, {QStringLiteral("CustomEmoticons"), QStringLiteral("UserTile"),
                                                       QStringLiteral("WebcamDDP"), QStringLiteral("Winks3"),
                                                       QStringLiteral("Backgrounds"), QStringLiteral("DynamicBackgrounds")});
    EXPECT_EQ(originals.size(), 11);
    EXPECT_EQ(installed, originals);
    EXPECT_TRUE(index.contains(QStringLiteral("\tEmoticon 1\t[e1]\n"))) << index.toStdString();
    EXPECT_TRUE(index.contains(QStringLiteral("\tEmoticon 3\t[e3]\n")));
    EXPECT_TRUE(index.contains(QStringLiteral("Display picture 2")));

    // A kind folder alone backs up that kind; an --email given is taken as it is.
    const Result winks = Cli({QStringLiteral("backup"), store + QStringLiteral("Winks3"), QStringLiteral("--email"), kDave,
                              QStringLiteral("--out"), out + QStringLiteral("Winks.mco")});
    ASSERT_EQ(winks.code, 0) << winks.err.toStdString();
    EXPECT_EQ(winks.out, out + QStringLiteral("Winks.mco\t2\n"));
}

TEST_F(DaveDemo, WindowFindsListsAndBacksUpTheAccount)
{
    Settings().docSetDir = demo + QStringLiteral("/Users/");
    auto w = std::make_unique<TfrmMain>();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    w->StartupChecks(); // one Messenger user: no welcome
    EXPECT_TRUE(env.dialogs().calls.empty());
    auto node = [&](const QStringList &path) { return NodeByCaptions(w->tvDir, path); };
    auto rows = [&] { return RowTexts(w->lbFiles); };

    // The tree: Dave, his account by its address with its folder ID in the hint, usual icons.
    QTreeWidgetItem *accountNode = node({QStringLiteral("Dave"), kDave});
    ASSERT_NE(accountNode, nullptr);
    EXPECT_TRUE(accountNode->toolTip(0).contains(EmailToId(kDave))) << accountNode->toolTip(0).toStdString();
    EXPECT_FALSE(accountNode->icon(0).isNull());
    for (const char *kind : {"CustomEmoticons", "UserTile", "WebcamDDP", "Winks3", "Backgrounds", "DynamicBackgrounds"}) {
        QTreeWidgetItem *n = node({QStringLiteral("Dave"), kDave, QLatin1String(kind)});
        ASSERT_NE(n, nullptr) << kind;
        EXPECT_FALSE(n->icon(0).isNull()) << kind;
    }

    // The file list: objects under their recognised extensions, metadata only with everything.
    w->tvDir->setCurrentItem(node({QStringLiteral("Dave"), kDave, QStringLiteral("CustomEmoticons")}));
    QCoreApplication::processEvents();
    QStringList emoticons = rows();
    emoticons.sort();
    ASSERT_EQ(emoticons.size(), 3) << emoticons.join(',').toStdString();
    for (const QString &row : emoticons)
        EXPECT_TRUE(row.endsWith(QStringLiteral(".png")) || row.endsWith(QStringLiteral(".gif")) || row.endsWith(QStringLiteral(".jpg")))
            << row.toStdString();
    // Save as proposes the object's own name with its recognised extension ("+" and "=" kept)
    // and writes the object's bytes exactly.
    w->lbFiles->setCurrentRow(0);
    QCoreApplication::processEvents();
    const QString row = w->lbFiles->item(0)->text();
    const QString savedAs = out + QStringLiteral("saved") + QFileInfo(row).suffix().prepend(QLatin1Char('.'));
    env.dialogs().ClearCalls();
    env.dialogs().AnswerPath(savedAs);
    w->btSaveAsClick();
    ASSERT_FALSE(env.dialogs().calls.empty());
    EXPECT_EQ(env.dialogs().calls.front().kind, DialogCall::Save);
    EXPECT_TRUE(env.dialogs().calls.front().text.endsWith(QLatin1Char('/') + row)) << env.dialogs().calls.front().text.toStdString();
    EXPECT_TRUE(row.contains(QStringLiteral("=."))) << row.toStdString();
    EXPECT_EQ(ReadFile(savedAs), ReadFile(store + QStringLiteral("CustomEmoticons/") + QFileInfo(row).completeBaseName()
                                           + QStringLiteral(".dt2")));
    env.dialogs().ClearCalls();
    w->chOnlyRecognized->setChecked(false);
    w->tvDir->setCurrentItem(node({QStringLiteral("Dave"), kDave}));
    w->tvDir->setCurrentItem(node({QStringLiteral("Dave"), kDave, QStringLiteral("CustomEmoticons")}));
    QCoreApplication::processEvents();
    EXPECT_EQ(rows().filter(QStringLiteral(".id2")).size(), 3) << rows().join(',').toStdString();
    EXPECT_EQ(rows().filter(QStringLiteral(".dt2")).size(), 0);
    w->chOnlyRecognized->setChecked(true);

    // A wink previews through its cabinet; its thumbnail is no row of its own.
    w->tvDir->setCurrentItem(node({QStringLiteral("Dave"), kDave, QStringLiteral("Winks3")}));
    QCoreApplication::processEvents();
    EXPECT_EQ(rows().size(), 2) << rows().join(',').toStdString();
    for (const QString &row : rows())
        EXPECT_TRUE(row.endsWith(QStringLiteral(".cab"))) << row.toStdString();
    EXPECT_TRUE(w->lbCab->isVisible());

    // "Which is my folder?" knows the account by its address.
    w->tvDir->setCurrentItem(node({QStringLiteral("Dave")}));
    env.dialogs().AnswerModal([](QObject *d) {
        auto *dlg = qobject_cast<TfrmSelectEmail *>(d);
        if (!dlg)
            return int(mrCancel);
        dlg->cbEmail->setEditText(kDave);
        dlg->btOk->click();
        return dlg->result();
    });
    w->CalcId1Click();
    EXPECT_EQ(w->tvDir->currentItem(), accountNode)
        << w->tvDir->currentItem()->text(0).toStdString() << " | " << env.dialogs().Messages().join('|').toStdString();

    // The backup from the emoticons folder: the address from the folder, no secret asked for,
    // the note about names, the confirmation grid with names by position and generated shortcuts
    // that pass its checks.
    w->tvDir->setCurrentItem(node({QStringLiteral("Dave"), kDave, QStringLiteral("CustomEmoticons")}));
    QStringList gridNames, gridKeys;
    env.dialogs().AnswerModal([&](QObject *o) {
        auto *d = qobject_cast<TfrmBackup *>(o);
        if (!d) {
            ADD_FAILURE() << "the backup window was expected";
            return int(mrCancel);
        }
        EXPECT_EQ(d->edEmail->text(), kDave);
        EXPECT_EQ(d->edDir->text(), account);
        EXPECT_FALSE(d->edPassword->isEnabled());
        EXPECT_TRUE(d->lbDecryptIns->text().contains(QStringLiteral("named by position")));
        // No map file: the address names the account; the note wraps under it rather than
        // widening the window.
        EXPECT_EQ(d->labelEmail->text(), QStringLiteral("Account &e-mail address"));
        d->show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(d->lbDecryptIns->wordWrap());
        EXPECT_GT(d->lbDecryptIns->y(), d->edEmail->y());
        EXPECT_LT(d->width(), d->labelEmail->width() + d->lbDecryptIns->fontMetrics().horizontalAdvance(d->lbDecryptIns->text()));
        EXPECT_TRUE(d->chEmot->isChecked());
        EXPECT_FALSE(d->chDp->isChecked());
        d->edOutput->setText(out + QStringLiteral("DaveWindow.mco"));
        d->btStartMouseUp(Qt::NoModifier);
        return int(mrOk);
    });
    env.dialogs().AnswerModal([&](QObject *o) {
        auto *grid = qobject_cast<TfrmSelectFiles *>(o);
        if (!grid) {
            ADD_FAILURE() << "the confirmation grid was expected";
            return -1;
        }
        for (int r = 0; r < grid->sgrid->rowCount(); ++r) {
            gridKeys << grid->sgrid->item(r, 1)->text();
            gridNames << grid->sgrid->item(r, 2)->text();
        }
        grid->btContinueClick();
        return grid->result();
    });
    env.dialogs().Answer(mrNo); // the report
    w->Backup1Click();
    EXPECT_TRUE(env.dialogs().AllAnswered());
    EXPECT_EQ(gridNames, (QStringList{QStringLiteral("Emoticon 1"), QStringLiteral("Emoticon 2"), QStringLiteral("Emoticon 3")}));
    EXPECT_EQ(gridKeys, (QStringList{QStringLiteral("[e1]"), QStringLiteral("[e2]"), QStringLiteral("[e3]")}));
    const QStringList messages = env.dialogs().Messages();
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(messages.last().startsWith(QStringLiteral("Packed 3 files + content.xml into DaveWindow.mco"))) << messages.join('|').toStdString();

    // "Current user" from Dave's APPDATA: his profile's local folder holds the account, so no
    // message says that the Messenger folder is missing.
    env.dialogs().ClearCalls();
    env.platform().appData = demo + QStringLiteral("/Users/Dave/AppData/Roaming");
    w->Current1Click();
    EXPECT_TRUE(env.dialogs().calls.empty()) << env.dialogs().Messages().join('|').toStdString();
    ASSERT_NE(node({QStringLiteral("Current user"), kDave, QStringLiteral("Winks3")}), nullptr);
    w.reset();

    CheckPackage(out + QStringLiteral("DaveWindow.mco"), 3);
    QString index;
    EXPECT_EQ(Reinstall(out + QStringLiteral("DaveWindow.mco"), &index), Objects(store, {QStringLiteral("CustomEmoticons")}));
    EXPECT_TRUE(index.contains(QStringLiteral("\tEmoticon 2\t[e2]\n"))) << index.toStdString();
}
