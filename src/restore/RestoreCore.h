#pragma once
// The restore's window-independent steps: the process-wide listen address and port, the start of
// the web server with its port fallback, the copy of the package, the message for an installer
// result and the rule that finds the next part of a split backup.
#include "shell/DialogService.h"

#include <QString>
#include <functional>

namespace zorvak {

class THTTPServer;

// Listen address and port for the run ("127.0.0.1", 79 at start); never saved.
struct TListenSettings {
    QString address = QStringLiteral("127.0.0.1");
    int port = 79;
};
TListenSettings &ListenSettings();

// "~tmpToInstall.mco"; the first restore dialog of the run puts AppDir in front of it.
QString &PackageCopyPath();
inline constexpr const char *PackageCopyName = "~tmpToInstall.mco";

// The port of a port field: text that is not an integer, or a value outside 1..65535, gives 79.
int PortFromText(const QString &text, bool *replaced = nullptr);

// Binds and activates the server as the restore dialog does. `ipText`, `portText`: the fields as
// typed. In simple mode a port that is busy (or refused for lack of privileges) is replaced by a
// drawn one, up to 11 times, 100 ms apart. `showPort` receives every port text the field must
// show (79 for an invalid one, each drawn port). On failure shows the error message (with the
// PortUsed hint when the port was unavailable) and returns false; the server is stopped then.
bool StartWebServer(THTTPServer &server, const QString &ipText, const QString &portText, bool simpleMode,
                    const std::function<void(const QString &portText)> &showPort);

// The message and kind for an installer result code.
QString ContentInstalledMessage(qint32 result, TMsgDlgType *kind);

// The next part of a split backup: "x-part1.mco" -> "x-part2.mco" when that file exists; else
// empty.
QString NextPartFile(const QString &path);

// Copies `source` to `target`, replacing it. On failure returns false and sets `reason` to the
// system's text (without trailing blanks, line breaks and dots).
bool CopyPackage(const QString &source, const QString &target, QString *reason);

} // namespace zorvak
