// zorvak-cli id EMAIL...: the Messenger folder ID of each address.
#include "common/EmailId.h"
#include "cli/CliCommand.h"
#include "cli/VerbOptions.h"

namespace {
int Run(const QStringList &args)
{
    using namespace zorvak::cli;
    VerbOptions options("id");
    if (!options.Parse(args))
        return options.UsageStatus();
    const QStringList emails = options.Positional();
    if (emails.isEmpty())
        return options.Usage(QStringLiteral("give at least one e-mail address"));
    for (const QString &email : emails)
        Out() << zorvak::EmailToId(email) << '\t' << email << '\n';
    return 0;
}
} // namespace

ZORVAK_CLI_COMMAND("id", "folder ID of e-mail addresses",
                   "Usage: zorvak-cli id EMAIL...\n"
                   "Prints the Messenger folder ID of each address: ID, a tab, the address.",
                   Run);
