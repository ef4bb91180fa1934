// zorvak-cli scan: the tree of Messenger data folders the automatic scan finds.
#include "browse/FolderScan.h"
#include "cli/CliCommand.h"
#include "platform/Platform.h"
#include "shell/SettingsFile.h"

#include <QDir>
#include <functional>

namespace {
int Run(const QStringList &args)
{
    using namespace zorvak;
    using namespace zorvak::cli;
    TSettingsValues &settings = Settings();
    bool hide = true;
    bool docSetGiven = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        auto value = [&](QString &into) {
            if (i + 1 >= args.size())
                return false;
            into = WithSeparator(args.at(++i));
            return true;
        };
        if (a == QLatin1String("--docset")) {
            if (!value(settings.docSetDir))
                return UsageError("scan", QStringLiteral("--docset needs a folder"));
            docSetGiven = true;
        } else if (a == QLatin1String("--appdata")) {
            if (!value(settings.appDatDir))
                return UsageError("scan", QStringLiteral("--appdata needs a folder"));
        } else if (a == QLatin1String("--msndat")) {
            if (!value(settings.msnDatDir))
                return UsageError("scan", QStringLiteral("--msndat needs a folder"));
        } else if (a == QLatin1String("--show-empty")) {
            hide = false;
        } else {
            return UsageError("scan", QStringLiteral("unknown argument: ") + a);
        }
    }
    // A whole path to an Application Data folder, as APPDATA holds it, tells the profiles folder
    // too: ".../Documents and Settings/Alice/Application Data" scans ".../Documents and Settings/"
    // with "Application Data/" (an explicit --docset still wins).
    if (QDir::isAbsolutePath(settings.appDatDir)) {
        QString profiles, appDat;
        if (!SplitAppDataPath(settings.appDatDir, profiles, appDat))
            return UsageError("scan", QStringLiteral("--appdata: not an Application Data folder: ") + settings.appDatDir);
        if (!docSetGiven)
            settings.docSetDir = profiles;
        settings.appDatDir = appDat;
    }
    const TFolderForest roots = AutoScan(settings, hide);
    std::function<void(const TFolderForest &, int)> print = [&](const TFolderForest &nodes, int depth) {
        for (const TFolderNode &n : nodes) {
            Out() << QString(depth, QLatin1Char('\t')) << n.caption << '\t' << n.icon << '\t' << n.folder << '\n';
            print(n.children, depth + 1);
        }
    };
    print(roots, 0);
    if (roots.empty()) {
        Err() << "zorvak-cli scan: no Messenger data folder found\n";
        return 1;
    }
    return 0;
}
} // namespace

ZORVAK_CLI_COMMAND("scan", "find the Messenger data folders",
                   "Usage: zorvak-cli scan [--docset DIR] [--appdata DIR] [--msndat DIR] [--show-empty]\n"
                   "Runs the automatic scan and prints the folder tree, one node a line: the depth as\n"
                   "leading tabs, the caption, a tab, the icon index (-1 for none), a tab, the folder.\n"
                   "--docset, --appdata and --msndat replace the profiles folder, the Application Data\n"
                   "folder and the Messenger folder (relative to a profile). --appdata also takes the\n"
                   "whole path of an Application Data folder, as APPDATA holds it; that path names the\n"
                   "profiles folder too, unless --docset is given. --show-empty keeps the folders that\n"
                   "hold no files. Exit status 1 when nothing is found.",
                   Run);
