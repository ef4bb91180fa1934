#pragma once
// Helpers of the shell's window tests: a Messenger profile tree on disk and the expected
// start-up texts.
#include "shell/SettingsFile.h"
#include "app/uMain.h"
#include "support/TestEnv.h"

#include <QTreeWidget>

namespace zorvak::test {

// Builds <root>/<user>/Application Data/Microsoft/MSN Messenger/<id>/CustomEmoticons/smile.png for
// every id, points the documents folder in use at <root>, and returns <root>.
inline QString BuildProfiles(TestEnv &env, const QStringList &ids, const QString &user = QStringLiteral("alice"))
{
    const QString root = env.path(QStringLiteral("profiles/"));
    for (const QString &id : ids)
        WriteFile(root + user + QStringLiteral("/Application Data/Microsoft/MSN Messenger/") + id
                      + QStringLiteral("/CustomEmoticons/smile.png"),
                  QByteArray("\x89PNG\r\n\x1a\n", 8));
    Settings().docSetDir = root;
    return root;
}

// The automatic scan fills the tree from the profiles that BuildProfiles wrote: the Windows user
// with one node per folder ID.
inline void EnsureScanned(TfrmMain &frm, const QStringList &ids, const QString &user = QStringLiteral("alice"))
{
    frm.Auto1Click();
    EXPECT_EQ(frm.CountNodesAtLevel(1), int(ids.size()));
    if (!ids.isEmpty() && frm.tvDir->topLevelItemCount() > 0) {
        EXPECT_EQ(frm.tvDir->topLevelItem(0)->text(0), user);
    }
}

inline const QString kCannotFindMsnData = QStringLiteral(
    "Sorry, Zorvak could not find where MSN saves its content.\rIt is commonly stored under\r"
    "    C:\\Documents and Settings\\{user}\\Application Data\\Microsoft\\MSN Messenger\\{id}\r"
    "(Windows XP, MSN Messenger 7.5)\r\rPlease use Settings to change the paths to search,\r"
    "   or select Manually select folder from Options\r\r"
    "We would really appreciate if you can tell us where MSN saves them on your computer,\r"
    "   so that we can include those locations in auto scan.\r\r"
    "On Linux it also looks in mounted Windows disks (NTFS and FAT) and in Wine prefixes (~/.wine);\r"
    "   to see what it shows, start it on the demo profile (ZORVAK_DEMO=1 scripts/run.sh in the sources).\r\r"
    "Thank you for trying Zorvak.");
// The notice asks whether to search a disk or folder.
inline const QString kCannotFindMsnDataAsk = kCannotFindMsnData + QStringLiteral("\r\rSearch a disk or folder for it now?");
inline const QString kNoCdrom = QStringLiteral(
    "Sorry. Zorvak cannot be run from a read-only media.\r\rPlease make a new folder anywhere on your "
    "harddrive,\r   copy Zorvak into that folder, and run it from there.");
inline const QString kNotFixedDrive = QStringLiteral(
    "Zorvak is best run from a local harddrive, due to the temporary files\r  it creates at run time.\r\r"
    "To make sure Zorvak works properly, please run Zorvak from a fixed drive.\r\rThank you.");

} // namespace zorvak::test
