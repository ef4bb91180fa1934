// zorvak-cli export FOLDER DEST: "Save folder as" without questions.
#include "browse/FolderExport.h"
#include "cli/CliCommand.h"
#include "cli/VerbOptions.h"
#include "platform/Platform.h"
#include "shell/DialogService.h"

#include <QFileInfo>

namespace {
int Run(const QStringList &args)
{
    using namespace zorvak;
    using namespace zorvak::cli;
    VerbOptions options("export");
    options.Flag(QStringLiteral("all")).Flag(QStringLiteral("overwrite"));
    if (!options.Parse(args))
        return options.UsageStatus();
    const QStringList positional = options.Positional();
    const bool all = options.IsSet(QStringLiteral("all"));
    const bool overwrite = options.IsSet(QStringLiteral("overwrite"));
    if (positional.size() != 2)
        return options.Usage(QStringLiteral("give a folder and a destination"));
    if (!QFileInfo(positional.at(0)).isDir())
        return PrintError("export", QStringLiteral("not a folder: ") + positional.at(0));
    const TFolderNode tree = FolderTreeOf(positional.at(0));
    TFolderSaver saver;
    saver.KnownOnly = !all;
    saver.AskOverwrite = [overwrite](const QString &) { return overwrite ? int(mrYes) : int(mrNo); };
    const QString target = WithSeparator(positional.at(1)) + tree.caption;
    if (IsSameOrInside(target, tree.folder))
        return PrintError("export", QStringLiteral("a folder cannot be saved into itself: ") + target);
    const bool ok = saver.SaveFolderTree(tree, target);
    Out() << saver.Copied << '\t' << target << '\n';
    if (!ok)
        PrintError("export", QStringLiteral("some files could not be copied"));
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
