#pragma once
// The restore's window-independent steps: the listen address and port, the start of the web
// server with its port fallback, where the package copy goes, the message for an installer
// result and the rule that finds the next part of a split backup.
#include "common/RunFolder.h"
#include "shell/DialogService.h"

#include <QString>
#include <functional>
#include <memory>

namespace zorvak {

class THTTPServer;

// Listen address and port ("127.0.0.1", 79 at start). The program's run keeps one value (the
// main window holds it and hands it to each restore dialog); it is never saved.
struct TListenSettings {
    QString address = QStringLiteral("127.0.0.1");
    int port = 79;
};

// The package copies: each install run copies its package into a folder of its own below
// "<programFolder>~tmpToInstall/" that holds only the copy ("~tmpToInstall.mco"), serves that
// folder alone (so neither the rest of the program folder nor another run's package is ever
// served) and removes only its own folder. Copies left by runs that were killed are removed by
// the next run.
inline constexpr const char *PackageCopyName = "~tmpToInstall.mco";
inline constexpr const char *PackageServeFolderName = "~tmpToInstall";
QString PackageStageFolder(const QString &programFolder);

class TPackageStage {
public:
    // Copies `source` into a new run folder; null on failure with the system's text in `reason`
    // (as CopyPackage gives it).
    static std::unique_ptr<TPackageStage> Create(const QString &programFolder, const QString &source, QString *reason);
    // Removes the copy and its folder, and the stage folder when no other run uses it.
    ~TPackageStage();
    TPackageStage(const TPackageStage &) = delete;
    TPackageStage &operator=(const TPackageStage &) = delete;

    QString Folder() const;    // the folder to serve, with a trailing separator
    QString CopyPath() const;  // Folder() + PackageCopyName

private:
    TPackageStage(QString stageFolder, std::unique_ptr<fileops::TRunFolder> run);
    QString m_stageFolder;
    std::unique_ptr<fileops::TRunFolder> m_run;
};

// An address as the host part of a URL: "[...]" around an IPv6 address.
QString HostForUrl(const QString &address);
// The URL of the package copy served at `address`:`port` ("[...]" around an IPv6 address).
QString PackageUrl(const QString &address, int port);

// The port of a port field: text that is not an integer, or a value outside 1..65535, gives 79.
int PortFromText(const QString &text, bool *replaced = nullptr);

// Binds and activates the server as the restore dialog does. `ipText`, `portText`: the fields as
// typed. In simple mode a port that is busy (or refused for lack of privileges) is replaced by a
// drawn one, up to 11 times, 100 ms apart. `showPort` receives every port text the field must
// show (79 for an invalid one, each drawn port). `taken` (when given) receives the address and
// port taken from the fields, which the run keeps (a drawn port is not kept). On failure shows
// the error message (with the PortUsed hint when the port was unavailable) and returns false;
// the server is stopped then.
bool StartWebServer(THTTPServer &server, const QString &ipText, const QString &portText, bool simpleMode,
                    const std::function<void(const QString &portText)> &showPort, TListenSettings *taken = nullptr);

// The message and kind for an installer result code.
QString ContentInstalledMessage(qint32 result, TMsgDlgType *kind);

// The next part of a split backup: "x-part1.mco" -> "x-part2.mco" when that file exists; else
// empty.
QString NextPartFile(const QString &path);

// True for a file the restore takes as a package: a regular file named *.mco or *.cab (in any
// case), or one that starts with the cabinet signature "MSCF". A folder, a FIFO or a device is
// none, and none of them is opened (a FIFO would block the reading).
bool IsPackageFile(const QString &path);

// Copies `source` to `target` (its folder is made when missing), replacing it once the copy is
// complete. On failure returns false and sets `reason` to the system's text (without trailing
// blanks, line breaks and dots).
bool CopyPackage(const QString &source, const QString &target, QString *reason);

} // namespace zorvak
