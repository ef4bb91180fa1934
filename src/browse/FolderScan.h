#pragma once
// Finding the Messenger data folders: the folder tree as plain data, built without widgets. The
// main window copies it into its tree view; the command-line companion prints it.
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

namespace zorvak {

struct TSettingsValues;

// Icon indices of the folder tree.
enum TTreeIcon : int {
    iconNone = -1,
    iconWindowsUser = 0,
    iconMessengerUser = 1,
    iconEmoticons = 2,
    iconBackgrounds = 3,
    iconWinks = 4,
    iconVoiceClips = 5,
    iconDisplayPictures = 6,
    iconFolder = 7,
};

struct TFolderNode {
    QString caption;
    int icon = iconNone;
    QString folder;                  // as recorded in the main window's FolderMap
    std::vector<TFolderNode> children;
    QString hint;                    // shown when the pointer rests on the node; may be empty
};
using TFolderForest = std::vector<TFolderNode>;

// What a scan reads: the three layout settings, the content sub-folder names, the hide flag.
struct TScanOptions {
    QString appDatDir;               // "Application Data/"
    QString msnDatDir;               // "Microsoft/MSN Messenger/"
    QString subdirEmot, subdirBg, subdirWink, subdirDp, subdirDdp;
    QStringList moreAppDatDirs;      // other Application Data folders tried in each profile too
    bool hideEmpty = true;
    // Conversation histories too (history/HistoryFind.h): a profile's "My Received Files" folder
    // as a node of the Windows user, and each History folder as a "History" node of the Messenger
    // user whose folder ID ends its folder's name, or of the Windows user when none matches.
    bool history = false;
    static TScanOptions From(const TSettingsValues &settings, bool hideEmpty, bool history = false);
};

bool IsAllDigits(const QString &text);
// Icon of a content folder by its name (first rule that holds).
int ContentFolderIcon(const QString &name, const TScanOptions &options);

// Adds the nodes found below `path` to `into`: level 0 Windows users, 1 Messenger users (folder
// IDs), 2 content folders. At level 0 a profile's local application data is searched too: for
// the same layout under "Microsoft/MSN Messenger/" and for the ObjectStore accounts of the later
// versions (see browse/ObjectStore.h), which become Messenger user nodes captioned with their
// e-mail address. `seen`, when given, holds the real paths of Messenger folders already
// scanned at level 0; a user whose Messenger folder is among them is skipped (a profile reached
// twice through links).
void ScanFolders(TFolderForest &into, int level, const QString &path, const TScanOptions &options,
                 QSet<QString> *seen = nullptr);

// Adds a profile's My Received Files folders and History nodes to its Windows user node, as a
// scan with `history` set does (the "Current user" scan, whose node stands for the profile).
void AddProfileHistory(TFolderNode &windowsUser, const QString &profile);
// The same for a folder the user chose ("Manual", a drop): a Messenger user's folder gets the
// History folders of its ID from the profile above it; any other folder those FindHistory finds
// in it (a profile, My Received Files, a per-user or History folder).
void AddChosenHistory(TFolderNode &root, const QString &chosen);

// Where a Windows profile's Application Data folder tells the profiles folder and the
// Application Data folder of its layout: ".../Users/Alice/AppData/Roaming" gives ".../Users/" and
// "AppData/Roaming/"; ".../Documents and Settings/Alice/Application Data" gives
// ".../Documents and Settings/" and "Application Data/". False when the path is too short.
bool SplitAppDataPath(const QString &appData, QString &profiles, QString &appDatDir);

// The same for a local application data folder (LOCALAPPDATA): ".../Users/Alice/AppData/Local"
// gives ".../Users/" and "AppData/Roaming/"; ".../Documents and Settings/Alice/Local Settings/
// Application Data" gives ".../Documents and Settings/" and "Application Data/". Letter case is
// ignored. False for any other path.
bool SplitLocalAppDataPath(const QString &local, QString &profiles, QString &appDatDir);

// The automatic scan: the profiles folder of the settings; when that finds nothing, the one the
// current user's Application Data folder tells (which then replaces docSetDir and appDatDir of
// `settings` for the rest of the run); then the one the local application data folder tells (the
// same way); when that finds nothing either, every Windows volume's
// "Documents and Settings" and "Users" folders and every Wine prefix's "drive_c/users", each with
// both layouts.
TFolderForest AutoScan(TSettingsValues &settings, bool hideEmpty, bool history = false);

// Number of nodes of a forest.
int CountNodes(const TFolderForest &forest);

} // namespace zorvak
