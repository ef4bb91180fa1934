// zorvak-cli recognize FILE...: the recognised extension of each file.
#include "browse/Recognition.h"
#include "cli/CliCommand.h"
#include "cli/VerbOptions.h"

namespace {
int Run(const QStringList &args)
{
    using namespace zorvak::cli;
    VerbOptions options("recognize");
    if (!options.Parse(args))
        return options.UsageStatus();
    const QStringList files = options.Positional();
    if (files.isEmpty())
        return options.Usage(QStringLiteral("give at least one file"));
    for (const QString &file : files) {
        const QString ext = zorvak::RecognizeFile(file);
        Out() << (ext.isEmpty() ? QStringLiteral("-") : ext) << '\t' << file << '\n';
    }
    return 0;
}
} // namespace

ZORVAK_CLI_COMMAND("recognize", "kind of content files by their first bytes",
                   "Usage: zorvak-cli recognize FILE...\n"
                   "Prints, for each file, the extension its first bytes tell (\".jpg\", \".gif\", ...)\n"
                   "or \"-\" when the file is not recognised or cannot be read, a tab, and the path.",
                   Run);
