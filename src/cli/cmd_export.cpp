// zorvak-cli export FOLDER DEST: "Save folder as" without questions.
#include "browse/FolderExport.h"
#include "cli/CliCommand.h"
#include "platform/Platform.h"
#include "shell/DialogService.h"

#include <QFileInfo>

namespace {
int Run(const QStringList &args)
{
    using namespace zorvak;
    using namespace zorvak::cli;
    QStringList positional;
    bool all = false;
    bool overwrite = false;
    for (const QString &a : args) {
        if (a == QLatin1String("--all"))
            all = true;
        else if (a == QLatin1String("--overwrite"))
            overwrite = true;
        else if (a.startsWith(QLatin1String("--")))
            return UsageError("export", QStringLiteral("unknown option: ") + a);
        else
            positional << a;
    }
    if (positional.size() != 2)
        return UsageError("export", QStringLiteral("give a folder and a destination"));
    if (!QFileInfo(positional.at(0)).isDir()) {
        Err() << "zorvak-cli export: not a folder: " << positional.at(0) << "\n";
        return 1;
    }
    const TFolderNode tree = FolderTreeOf(positional.at(0));
    TFolderSaver saver;
    saver.KnownOnly = !all;
    saver.AskOverwrite = [overwrite](const QString &) { return overwrite ? int(mrYes) : int(mrNo); };
    const QString target = WithSeparator(positional.at(1)) + tree.caption;
    if (IsSameOrInside(target, tree.folder)) {
        Err() << "zorvak-cli export: a folder cannot be saved into itself: " << target << "\n";
        return 1;
    }
    const bool ok = saver.SaveFolderTree(tree, target);
    Out() << saver.Copied << '\t' << target << '\n';
    if (!ok)
        Err() << "zorvak-cli export: some files could not be copied\n";
    return ok ? 0 : 1;
}
} // namespace

ZORVAK_CLI_COMMAND("export", "copy a folder out under recognised extensions",
                   "Usage: zorvak-cli export FOLDER DEST [--all] [--overwrite]\n"
                   "Copies FOLDER with every folder below it to DEST/<name of FOLDER>, giving each\n"
                   "recognised file its extension. Unrecognised files are left out unless --all.\n"
                   "Existing files are skipped unless --overwrite. Prints the number of files copied,\n"
                   "a tab, and the target folder. Exit status 1 when a copy failed.",
                   Run);
