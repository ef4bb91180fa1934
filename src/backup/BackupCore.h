#pragma once
// The backup of one Messenger user's content (a folder ID's folder, or an ObjectStore account of
// the later versions, see StoreBackup.h), without any window: collection of the ticked
// content types into "~tmp", the content.xml manifests and the MCO packages, split into parts of
// at most 199 items. The backup dialog (uBackup) and "zorvak-cli backup" describe a run with a
// TBackupRequest and call Run; every message and the confirmation step leave through TBackupHost.
//
// Files: "~tmp" in AppDir is emptied at each run and receives the copied objects under their
// recognised extensions ("[n]" added when a name is taken); "~tmp/<n>/" is the folder of part n,
// which receives its content.xml and the objects it lists; the part is packed into the output
// file, and part n >= 2 into base + "-part" + n + ext (part 1 is renamed to "-part1" at the end
// when there is more than one part).
#include "dpapi/DpapiKeyMaterial.h"
#include "backup/MsnMap.h"
#include "shell/DialogService.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>

namespace zorvak {

// What a run is asked to do. The backup dialog fills it from its controls, "zorvak-cli backup"
// from its options.
struct TBackupRequest {
    QString folder;                     // the Messenger user folder
    QString email;                      // e-mail address as typed (decryption entropy)
    QString output;                     // output MCO file
    std::array<bool, 6> types{};        // the content types to back up, by ContentType
    bool confirm = true;                // show each type's items for confirmation
    bool skipDefault = true;            // leave Messenger's own default content out
    bool outputChosen = false;          // chosen in the save dialog, which asked about replacing it
    bool showDecrypted = false;         // hand each decrypted map to the host
    DpapiKeyMaterial key;               // what opens the protected maps
    QString workDir;                    // the work folder (with a trailing '/'); empty: AppDir + "~tmp/"
};

// What a run did.
struct TBackupResult {
    QStringList packages;               // the packages written, under their final names
    QStringList failed;                 // the parts that could not be written
    int items = 0;                      // the items collected, then the items written into parts
    int confirmed = 0;                  // the items kept by the confirmation steps
    bool outputChecked = false;         // the run got past the question about an existing output
};

// What a run is busy with, for its progress.
enum class TBackupStage {
    Collecting, // copying one content type's objects (done/total: content types; name: the type's name)
    Packing,    // writing the packages (done/total: items; name: the package being written)
    Idle,       // between steps, and before each message and confirmation: nothing to show
};

// The messages of a run, so that a host that never asks can answer each one sensibly.
enum class TBackupQuestion {
    EmailNotMatch, // the address does not give the folder's ID (OK / Cancel)
    Overwrite,     // the output file exists (Yes / Cancel)
    CopyFailed,    // an object could not be copied (OK / Cancel)
    ViewResult,    // the final report, asking to show the result (Yes / No)
    Notice,        // a warning that the run goes on after (map entries left out)
    Information,   // a content type has nothing to back up
    Error,         // a step failed (map, work folder, content.xml, packing)
};

class TBackupHost {
public:
    virtual ~TBackupHost() = default;
    // The run started or ended (the dialog shows its Cancel button meanwhile).
    virtual void RunStateChanged(bool running) { (void)running; }
    // The decrypted map text of the type being collected (when the request asks for it).
    virtual void DecryptedText(const QString &text) { (void)text; }
    // The confirmation step of one content type: the number of items kept, or nothing when the
    // run is cancelled. `items` is the list itself; edits land in it.
    virtual std::optional<int> ConfirmItems(ContentType type, const QString &displayName, const TMsnArr &items,
                                            const TDefaultTable &defaults, int previousTotal) = 0;
    // A message through the localized message dialog; returns the button pressed.
    virtual int Ask(TBackupQuestion which, const QString &text, TMsgDlgType type, TMsgDlgButtons buttons);
    // A message in the plain message box (application title, one OK).
    virtual void Tell(const QString &text);
    // A package was written (its final path, items in it); told after the last part.
    virtual void PackageWritten(const QString &cabinet, int items) { (void)cabinet; (void)items; }
    // "View the file in Windows Explorer?" answered Yes.
    virtual void ShowResult(const QString &file);
    // The progress of the run.
    virtual void Progress(TBackupStage stage, int done, int total, const QString &name)
    {
        (void)stage, (void)done, (void)total, (void)name;
    }
    // Called between the steps of a run, often: lets the host's events run (the desktop's
    // messages); true when a cancel was asked.
    virtual bool Poll() { return false; }
};

class TBackupCore {
public:
    explicit TBackupCore(TBackupHost &host);

    // ---- state of a run ----
    TBackupRequest Request;         // the request of the current (or last) run
    std::array<TMsnArr, 6> Items;   // EmotItems, DpItems, BgItems, WinkItems, DdpItems, DbgItems
    bool Running() const { return m_running; }
    // What the current (or last) run did, also when it ended by an error.
    const TBackupResult &Result() const { return m_result; }

    // Seams: the map decryption (DecryptMapFile) and the cabinet writer (MSZIP, keep existing).
    std::function<QString(const QString &path, const QString &email, const DpapiKeyMaterial &key)> DecryptMap;
    std::function<bool(const QString &folder, const QString &cabinet, bool keepExisting)> PackFolder;

    // The run. Errors (decryption, map format, input/output) end the run and are raised after its
    // final step. Does nothing (and returns the last result) when a run is already in progress.
    TBackupResult Run(const TBackupRequest &request);

    // The decrypted content map of a content folder, or an empty text after an error message.
    QString ReadContentMap(const QString &folder);
    // Collects the items of one content type (and has them confirmed) from the run's folder.
    void DoBackupContent(ContentType type);
    // True while the run's folder is an ObjectStore account.
    bool StoreRun() const { return m_store; }
    bool CopyObjects(TMsnArr &items, const QString &subFolder);
    void ConfirmItems(ContentType type, const TMsnArr &items);
    // Writes partDir + "content.xml" and moves the listed objects (at most MaxItemsPerPart, from
    // where the previous part stopped) from the work folder into partDir; `written` is the number
    // of items. Raises EInOutError when the file cannot be written.
    bool WriteManifest(const QString &partDir, int &written);

    QString TmpDir() const;         // the request's work folder, or AppDir + "~tmp/"

private:
    void RunSteps();
    // The two layouts of DoBackupContent: a folder whose map names its objects, and an ObjectStore
    // account, whose objects have no map and are named by position.
    void DoBackupMapped(ContentType type, const QString &displayName);
    void DoBackupStore(ContentType type, const QString &displayName);
    // Copies the type's items into the work folder, then asks for their confirmation.
    void CollectAndConfirm(ContentType type, TMsnArr &items, const QString &subFolder);
    // Polls the host; true when the run is cancelled (by the host or by an answer).
    bool Cancelled();
    void Idle() { m_host.Progress(TBackupStage::Idle, 0, 0, {}); }
    void PackParts();
    // Part n into `cabinet`: the items it holds (0: none were left), or -1 when the run ends here.
    int PackPart(int n, const QString &cabinet, int total);
    // Renames part 1 when there are several, tells the host each package and shows the report.
    void Report(int parts);
    void WriteItems(QByteArray &out, ContentType type, int &position, const QString &partDir, int &written);
    QString ItemLine(ContentType type, const TMsnStuff &item) const;
    TBackupHost &m_host;
    TBackupResult m_result;
    QList<QPair<QString, int>> m_packed; // the parts packed by the run: cabinet, items
    bool m_cancelled = false;
    bool m_running = false;
    bool m_store = false;
};

// The file of `folder` named `name`; on a file system that tells letter case apart, the one file
// whose name equals `name` without regard to case when there is exactly one (Windows ignores
// case, so maps name objects in any case). Empty when there is none or several.
QString FindObjectFile(const QString &folder, const QString &name);

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

} // namespace zorvak
