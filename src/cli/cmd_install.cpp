// zorvak-cli install PACKAGE [--library DIR] [--all-parts]: the restore path without a window.
#include "cli/CliCommand.h"
#include "cli/Progress.h"
#include "cli/VerbOptions.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "restore/ContentLibrary.h"
#include "restore/MessengerContentInstallerLibrary_TLB.h"
#include "restore/RestoreCore.h"
#include "restore/WebServer.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

namespace {

using namespace zorvak;
using namespace zorvak::cli;

QString OneLine(QString text) { return text.replace(QLatin1Char('\r'), QLatin1Char(' ')); }

// Copies, serves and installs one package; returns the installer's code, or 1 for a failure
// before the installer was reached.
qint32 InstallOne(const QString &package, const QString &library, const TListenSettings &listen, bool *reached)
{
    *reached = false;
    // The copy is this run's own, in its own folder served under its own port; it goes when
    // the stage does.
    QString reason;
    const std::unique_ptr<TPackageStage> stage = TPackageStage::Create(Platform::Get().AppDir(), package, &reason);
    if (!stage)
        return PrintError("install", QStringLiteral("Failed to copy file to program directory: ") + reason);
    THTTPServer server;
    server.SetServedFolder(stage->Folder());
    if (!StartWebServer(server, listen.address, QString::number(listen.port), true, {}))
        return 1;
    TMessengerContentInstaller installer;
    if (!library.isEmpty())
        installer.LibraryFolder = library;
    QEventLoop loop;
    qint32 result = 0;
    installer.OnContentInstalled = [&](TMessengerContentInstaller *, qint32 code) {
        result = code;
        loop.quit();
    };
    installer.OnWaiting = [&installer](TMessengerContentInstaller *) {
        Err() << "zorvak-cli install: waiting for another installation into " << TerminalText(installer.LibraryFolder)
              << " to finish\n";
        Err().flush();
    };
    const QString url = PackageUrl(listen.address, server.Port());
    try {
        installer.InstallFromUrl(url);
    } catch (const Exception &e) {
        PrintError("install", QStringLiteral("Error %1: %2").arg(e.ClassName(), e.Message()));
        server.Deactivate();
        return 1;
    }
    *reached = true;
    loop.exec();
    server.Deactivate();
    return result;
}

int Run(const QStringList &args)
{
    VerbOptions options("install");
    options.Value(QStringLiteral("library"), QStringLiteral("DIR"), QStringLiteral("a folder"))
        .Value(QStringLiteral("port"), QStringLiteral("N"), QStringLiteral("a port number"))
        .Flag(QStringLiteral("all-parts"))
        .Flag(QStringLiteral("quiet"));
    if (!options.Parse(args))
        return options.UsageStatus();
    int status = 0;
    const std::optional<QString> packageGiven = options.OnlyArgument(QStringLiteral("give the package to install"), &status);
    if (!packageGiven)
        return status;
    const QString package = *packageGiven;
    const QString library = options.Get(QStringLiteral("library"));
    const bool allParts = options.IsSet(QStringLiteral("all-parts"));
    TListenSettings listen;
    if (options.IsSet(QStringLiteral("port")))
        listen.port = PortFromText(options.Get(QStringLiteral("port")));

    LoadSettings([](const QString &code) {
        if (auto language = LoadLanguage(code))
            SetCurrentLanguage(std::move(language));
    });
    // With several parts, the progress counts the parts installed; the parts are the files that
    // follow the package by name (at most as many as a backup can write, so a folder that
    // somehow names itself again cannot make the count run forever).
    Progress progress(allParts && Progress::Wanted(options.IsSet(QStringLiteral("quiet"))));
    int parts = 1;
    if (progress.Shown())
        for (QString next = NextPartFile(QFileInfo(package).absoluteFilePath()); !next.isEmpty() && parts < 10000;
             next = NextPartFile(next))
            ++parts;
    int installed = 0;
    for (QString file = QFileInfo(package).absoluteFilePath(); !file.isEmpty();) {
        if (parts > 1)
            progress.Update(installed, qMax(parts, installed + 1), QFileInfo(file).fileName());
        if (!QFileInfo(file).isFile()) {
            progress.Clear();
            return PrintError("install", OneLine(FormatText(CurrentLanguage().Get(QStringLiteral("FileNotFound")), {file})));
        }
        bool reached = false;
        const qint32 code = InstallOne(file, library, listen, &reached);
        progress.Clear();
        if (!reached)
            return 1;
        ++installed;
        TMsgDlgType kind;
        Out() << file << '\t' << code << '\t' << OneLine(ContentInstalledMessage(code, &kind)) << Qt::endl;
        if (code != InstallOk)
            return 1;
        const QString next = NextPartFile(file);
        if (!next.isEmpty() && !allParts)
            Err() << "Next part: " << next << " (--all-parts installs it)\n";
        file = allParts ? next : QString();
    }
    return 0;
}

} // namespace

ZORVAK_CLI_COMMAND("install", "install a CAB/MCO package into the local content library",
                   "Usage: zorvak-cli install PACKAGE [--library DIR] [--all-parts] [--port N] [--quiet]\n"
                   "Copies PACKAGE into a folder of its own beside the program, serves it on the loopback address and installs it\n"
                   "from that URL into the content library (default $XDG_DATA_HOME/zorvak/installed/).\n"
                   "Prints: package, a tab, the result code, a tab, the result message.\n"
                   "--all-parts goes on with the next \"-part\" file of a split backup; on a terminal, the parts\n"
                   "installed so far show on standard error (--quiet leaves that out).\n"
                   "--port: the first port tried (default 79; a busy one is replaced by a drawn one).",
                   Run);
