// zorvak-cli export FOLDER DEST: "Save folder as" without questions; with --named, the export of
// a user folder's objects under their own names (cmd_export_named.cpp).
#include "browse/FolderExport.h"
#include "cli/CliCommand.h"
#include "cli/CliSecrets.h"
#include "cli/ExportNamed.h"
#include "cli/VerbOptions.h"
#include "common/PathBytes.h"
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
    AddNamedExportOptions(options);
    if (!options.Parse(args))
        return options.UsageStatus();
    if (options.IsSet(QStringLiteral("named")))
        return RunNamedExportVerb(options);
    for (const QString &name : NamedExportOnlyOptions())
        if (options.IsSet(name))
            return options.Usage(QStringLiteral("--%1 goes with --named only").arg(name));
    const QStringList positional = options.Positional();
    const bool all = options.IsSet(QStringLiteral("all"));
    const bool overwrite = options.IsSet(QStringLiteral("overwrite"));
    if (positional.size() != 2)
        return options.Usage(QStringLiteral("give a folder and a destination"));
    if (!fsys::IsDir(positional.at(0)))
        return PrintError("export", QStringLiteral("not a folder: ") + positional.at(0));
    const TFolderNode tree = FolderTreeOf(positional.at(0));
    TFolderSaver saver;
    saver.KnownOnly = !all;
    saver.AskOverwrite = [overwrite](const QString &) { return overwrite ? int(mrYes) : int(mrNo); };
    const QString target = WithSeparator(positional.at(1)) + tree.caption;
    if (IsSameOrInside(target, tree.folder))
        return PrintError("export", QStringLiteral("a folder cannot be saved into itself: ") + target);
    const bool ok = saver.SaveFolderTree(tree, target);
    Out() << saver.Copied << '\t' << DisplayPath(target) << '\n';
    Out().flush();
    for (const QString &failure : std::as_const(saver.Failed))
        PrintError("export", QStringLiteral("cannot copy ") + failure);
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
                   "a tab, and the target folder. Exit status 1 when a copy failed.\n"
                   "\n"
                   "Usage: zorvak-cli export USERFOLDER OUT --named [--email ADDRESS [--password-file F | ...]]\n"
                   "                         [--protect-dir DIR] [--format folder|pidgin|html|pidgin-smileys]\n"
                   "                         [--types LIST] [--include-default] [--json] [--quiet]\n"
                   "Usage: zorvak-cli export USERFOLDER --named --format pidgin-smileys --merge-into DIR [...]\n"
                   "Writes every object of a Messenger user folder once into OUT under the name its map gives\n"
                   "it (the maps are decrypted as the backup decrypts them; without --email, objects are named\n"
                   "by their file names). Formats: folder (one sub-folder per content type, index.tsv),\n"
                   "pidgin (a smiley theme folder of the custom emoticons and its .tar.gz; shortcuts that the\n"
                   "theme reader cannot take are left out and told), html (index.html showing every object)\n"
                   "and pidgin-smileys (Pidgin's custom smileys: smileys.xml and custom_smiley/, the pictures\n"
                   "named by their SHA-1). --merge-into DIR adds the custom smileys to the store in DIR (such\n"
                   "as ~/.purple, with Pidgin closed) instead: no entry of it is changed or dropped, a shortcut\n"
                   "or a picture it already has is left out and told, and the previous smileys.xml is kept as\n"
                   "smileys.xml.bak. OUT must not lie in USERFOLDER, and must be missing, empty or an earlier\n"
                   "export with names (whose files are then replaced). Prints one line per object: type, file,\n"
                   "name, shortcut, tab-separated (TAB, CR, LF and backslash escaped as \\t \\r \\n \\\\), then\n"
                   "for pidgin \"archive\", a tab and the .tar.gz, for pidgin-smileys \"store\" and \"backup\"\n"
                   "with their files; --json prints one JSON document instead. LIST: Emot,Dp,Bg,Wink,Ddp,Dbg\n"
                   "(pidgin and pidgin-smileys take Emot only). Messenger's default content is left out unless\n"
                   "--include-default. On a terminal the objects written so far show on standard error; --quiet\n"
                   "leaves that out. The Windows account's secret, one of:\n"
                   ZORVAK_CLI_SECRET_OPTIONS_HELP
                   "Exit status: 0 when every object was written, 1 when something failed (a wrong password\n"
                   "included), 2 for wrong usage.",
                   Run);
