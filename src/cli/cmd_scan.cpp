// zorvak-cli scan: the tree of Messenger data folders the automatic scan finds.
#include "browse/FolderScan.h"
#include "cli/CliCommand.h"
#include "cli/VerbOptions.h"
#include "common/PathBytes.h"
#include "platform/Platform.h"
#include "shell/SettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <functional>

namespace {
int Run(const QStringList &args)
{
    using namespace zorvak;
    using namespace zorvak::cli;
    VerbOptions options("scan");
    const QString folder = QStringLiteral("a folder");
    options.Value(QStringLiteral("docset"), QStringLiteral("DIR"), folder)
        .Value(QStringLiteral("appdata"), QStringLiteral("DIR"), folder)
        .Value(QStringLiteral("msndat"), QStringLiteral("DIR"), folder)
        .Flag(QStringLiteral("show-empty"))
        .Flag(QStringLiteral("json"));
    if (!options.Parse(args))
        return options.UsageStatus();
    if (!options.Positional().isEmpty())
        return options.Usage(QStringLiteral("unknown argument: ") + options.Positional().first());

    TSettingsValues &settings = Settings();
    const bool hide = !options.IsSet(QStringLiteral("show-empty"));
    const bool docSetGiven = options.IsSet(QStringLiteral("docset"));
    const struct {
        const char *option;
        QString &into;
    } folders[] = {{"docset", settings.docSetDir}, {"appdata", settings.appDatDir}, {"msndat", settings.msnDatDir}};
    for (const auto &f : folders)
        if (options.IsSet(QString::fromLatin1(f.option)))
            f.into = WithSeparator(options.Get(QString::fromLatin1(f.option)));
    // The profiles folder may be given relative to the current folder; so may an Application Data
    // folder without --docset, when it is there (with --docset, or when no such folder is here, a
    // relative --appdata names the folder inside each profile).
    if (docSetGiven)
        settings.docSetDir = WithSeparator(QDir::current().absoluteFilePath(settings.docSetDir));
    if (!docSetGiven && options.IsSet(QStringLiteral("appdata")) && QDir::isRelativePath(settings.appDatDir)
        && QFileInfo(settings.appDatDir).isDir())
        settings.appDatDir = WithSeparator(QDir::current().absoluteFilePath(settings.appDatDir));
    // A whole path to an Application Data folder, as APPDATA holds it, tells the profiles folder
    // too: ".../Documents and Settings/Alice/Application Data" scans ".../Documents and Settings/"
    // with "Application Data/" (an explicit --docset still wins).
    if (QDir::isAbsolutePath(settings.appDatDir)) {
        QString profiles, appDat;
        if (!SplitAppDataPath(settings.appDatDir, profiles, appDat))
            return options.Usage(QStringLiteral("--appdata: not an Application Data folder: ") + settings.appDatDir);
        if (!docSetGiven)
            settings.docSetDir = profiles;
        settings.appDatDir = appDat;
    }
    const TFolderForest roots = AutoScan(settings, hide, true);
    if (options.IsSet(QStringLiteral("json"))) {
        std::function<QJsonArray(const TFolderForest &)> nodes = [&](const TFolderForest &forest) {
            QJsonArray list;
            for (const TFolderNode &n : forest)
                list.append(QJsonObject{{QStringLiteral("caption"), n.caption},
                                        {QStringLiteral("icon"), n.icon},
                                        {QStringLiteral("folder"), DisplayPath(n.folder)},
                                        {QStringLiteral("children"), nodes(n.children)}});
            return list;
        };
        WriteJson({{QStringLiteral("folders"), nodes(roots)}});
    } else {
        std::function<void(const TFolderForest &, int)> print = [&](const TFolderForest &nodes, int depth) {
            for (const TFolderNode &n : nodes) {
                Out() << QString(depth, QLatin1Char('\t')) << n.caption << '\t' << n.icon << '\t' << DisplayPath(n.folder) << '\n';
                print(n.children, depth + 1);
            }
        };
        print(roots, 0);
    }
    if (roots.empty()) {
        return PrintError("scan", QStringLiteral("no Messenger data folder found"));
    }
    return 0;
}
} // namespace

ZORVAK_CLI_COMMAND("scan", "find the Messenger data folders",
                   "Usage: zorvak-cli scan [--docset DIR] [--appdata DIR] [--msndat DIR] [--show-empty] [--json]\n"
                   "Runs the automatic scan and prints the folder tree, one node a line: the depth as\n"
                   "leading tabs, the caption, a tab, the icon index (-1 for none), a tab, the folder.\n"
                   "--docset, --appdata and --msndat replace the profiles folder, the Application Data\n"
                   "folder and the Messenger folder (relative to a profile). --appdata also takes the\n"
                   "path of an Application Data folder, as APPDATA holds it (or relative to the current\n"
                   "folder, without --docset); that path names the profiles folder too, unless --docset\n"
                   "is given. --show-empty keeps the folders that\n"
                   "hold no files. The accounts of the later Messenger versions (ObjectStore, below each\n"
                   "profile's local application data) show as Messenger users captioned with their address.\n"
                   "A profile's \"My Received Files\" folder shows under its Windows user, and each conversation\n"
                   "history in it as a \"History\" node of the Messenger user whose folder ID ends the\n"
                   "history's folder name (\"History (NAME)\" under the Windows user when none does).\n"
                   "--json prints one JSON document instead: {\"folders\": [...]}, each node an\n"
                   "object with \"caption\", \"icon\", \"folder\" and its \"children\". Exit status 1 when\n"
                   "nothing is found.",
                   Run);
