#pragma once
// The backup of one Messenger user's content, without any window: collection of the ticked
// content types into "~tmp", the content.xml manifests and the MCO packages, split into parts of
// at most 199 items. The backup dialog (uBackup) and "zorvak-cli backup" fill the fields that
// stand for the dialog's controls and call btStartMouseUp; questions and the confirmation step
// leave through TBackupHost.
//
// Files: "~tmp" in AppDir is emptied at each run and receives the copied objects under their
// recognised extensions ("[n]" added when a name is taken); "~tmp/<n>/" is the folder of part n,
// which receives its content.xml and the objects it lists; the part is packed into the output
// file, and part n >= 2 into base + "-part" + n + ext (part 1 is renamed to "-part1" at the end
// when there is more than one part).
#include "backup/MsnMap.h"
#include "shell/DialogService.h"

#include <QString>
#include <array>
#include <functional>

namespace zorvak {

// The questions of a run, so that a host that never asks can answer each one sensibly.
enum class TBackupQuestion { EmailNotMatch, Overwrite, CopyFailed, ViewResult, Notice };

class TBackupHost {
public:
    virtual ~TBackupHost() = default;
    // The run started or ended (the dialog shows its Cancel button meanwhile).
    virtual void RunStateChanged(bool running) { (void)running; }
    // The decrypted map text of the type being collected (shown when the run started with Alt).
    virtual void DecryptedText(const QString &text) { (void)text; }
    // The confirmation step of one content type: -1 cancels the run, otherwise the number of
    // items kept + 1. `items` is the list itself; edits land in it.
    virtual int ConfirmItems(const QString &displayName, const TMsnArr &items, const TDefaultTable &defaults,
                             int previousTotal) = 0;
    // A message through the localized message dialog; returns the button pressed.
    virtual int Ask(TBackupQuestion which, const QString &text, TMsgDlgType type, TMsgDlgButtons buttons);
    // A package was written (its final path, items in it); told after the last part.
    virtual void PackageWritten(const QString &cabinet, int items) { (void)cabinet; (void)items; }
    // "View the file in Windows Explorer?" answered Yes.
    virtual void ShowResult(const QString &file);
};

class TBackupCore {
public:
    explicit TBackupCore(TBackupHost &host);

    // ---- what the dialog's controls hold ----
    QString edDir;                  // the Messenger user folder
    QString edEmail;                // e-mail address as typed (decryption entropy)
    QString edOutput;               // output MCO file
    std::array<bool, 6> Ticked{};   // chEmot, chDp, chBg, chWink, chDdp, chDbg
    bool chConfirm = true;
    bool chSkipDefault = true;
    bool memDecryptedVisible = false;

    // ---- state of a run ----
    std::array<TMsnArr, 6> Items;   // EmotItems, DpItems, BgItems, WinkItems, DdpItems, DbgItems
    qint32 ItemCount = 0;
    qint32 PartCount = 0;
    qint32 ConfirmedTotal = 0;
    bool OutputChosen = false;
    bool CancelRequested = false;
    bool Running() const { return m_running; }

    // Seams: the map decryption (DecryptMapFile) and the cabinet writer (MSZIP, keep existing).
    std::function<QString(const QString &path, const QString &email)> DecryptMap;
    std::function<bool(const QString &folder, const QString &cabinet, bool keepExisting)> PackFolder;

    // The run. Only the Alt state of the mouse release matters. Errors (decryption, map format,
    // input/output) end the run and are raised after its final step. Does nothing when a run is
    // already in progress.
    void btStartMouseUp(bool altHeld);

    // The decrypted content map of a content folder, or an empty text after an error box.
    QString ReadContentMap(const QString &folder, const QString &email);
    void DoBackupContent(TMsnArr &items, const QString &subFolder, const TDefaultTable &defaults,
                         const QString &displayName, const QString &email);
    bool CopyObjects(TMsnArr &items, const QString &subFolder);
    void ConfirmItems(const QString &displayName, const TMsnArr &items, const TDefaultTable &defaults);
    // Writes partDir + "content.xml" and moves the listed objects from "~tmp" into partDir;
    // PartCount grows by the items written. Raises EInOutError when the file cannot be written.
    bool WriteManifest(const QString &partDir);

    QString TmpDir() const;         // AppDir + "~tmp/", or WorkDir when set
    QString WorkDir;                // another work folder (with a trailing '/'), for runs without a window

private:
    void Run(bool altHeld);
    void WriteItems(QByteArray &out, ContentType type, int &position, const QString &partDir);
    QString ItemLine(ContentType type, const TMsnStuff &item) const;
    TBackupHost &m_host;
    bool m_running = false;
};

// The MIME type of a recognised extension (one leading "." is removed; exact, lower case):
// gif, png, jpg, bmp, tif; empty for anything else.
QString MimeTypeOf(const QString &extension);

// The namespace URIs of content.xml.
extern const char *const ContentNamespace;
extern const char *const EmoticonNamespace;
extern const char *const UserTileNamespace;
extern const char *const BackgroundNamespace;
extern const char *const DynamicBackgroundNamespace;
inline constexpr int MaxItemsPerPart = 199;

// Encodes content.xml text as Windows-1252; a character outside the code page becomes a numeric
// character reference ("&#12354;"), so nothing is lost; so is a C1 control character, which the
// code page either lacks or holds only in an unassigned byte.
QByteArray EncodeManifestText(const QString &text);

// True when a file exists at `path`, or the folder of `path` holds a file named (base) + anything
// + (ext), or the folder cannot be listed.
bool OutputExists(const QString &path);
// base + n + ext for the first n = 1, 2, ... that OutputExists does not report.
QString UniqueOutputName(const QString &path);

// What the backup dialog shows for a folder of the tree.
struct TFolderChoice {
    QString dir;                    // the user folder, with a trailing separator
    QString folderId;               // empty when the folder is not a user folder nor inside one
    std::array<bool, 6> ticked{};
};
// A user folder (all digits) ticks every type; a content folder of one ticks the type whose
// folder-name setting equals its name (case-sensitive) and gives the user folder.
TFolderChoice ChooseFolder(const QString &path);

} // namespace zorvak
