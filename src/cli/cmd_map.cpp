// zorvak-cli map: a Messenger map file decrypted as the backup decrypts it.
#include "dpapi/CryptUtil.h"
#include "dpapi/DpapiKeyMaterial.h"
#include "dpapi/MapFileCrypt.h"
#include "cli/CliCommand.h"
#include "cli/CliSecrets.h"
#include "cli/VerbOptions.h"
#include "common/Exceptions.h"

#include <QFileInfo>

namespace {

using namespace zorvak;
using namespace zorvak::cli;

int Run(const QStringList &args)
{
    if (args.isEmpty() || args.first() != QLatin1String("decrypt"))
        return UsageError("map", QStringLiteral("give decrypt (see zorvak-cli map --help)"));
    VerbOptions options("map");
    options.Value(QStringLiteral("email"), QStringLiteral("ADDRESS"), QStringLiteral("an e-mail address"));
    AddKeyOptions(options);
    if (!options.Parse(args.mid(1)))
        return options.UsageStatus();
    const QStringList positional = options.Positional();
    if (positional.size() > 1)
        return options.Usage(QStringLiteral("give one FILE"));
    const QString file = positional.value(0);
    if (!options.IsSet(QStringLiteral("email")) || file.isEmpty())
        return options.Usage(QStringLiteral("decrypt needs --email ADDRESS and FILE"));
    if (!QFileInfo(file).isFile())
        return options.Fail(QStringLiteral("File not found: ") + file);
    // The same key material value that the backup window hands to its run.
    int status = 0;
    const std::optional<DpapiKeyMaterial> key = KeyOrReport(options, &status, IsWineMapFile(file));
    if (!key)
        return status;
    Out() << DecryptMapFile(file, options.Get(QStringLiteral("email")), *key);
    ForgetOpenedMasterKeys();
    return 0;
}

} // namespace

ZORVAK_CLI_COMMAND("map", "decrypt a Messenger map file",
                   "Usage: zorvak-cli map decrypt --email ADDRESS [--protect-dir DIR] [--password-file F | --hash-file F] FILE\n"
                   "Prints what the backup reads from the map FILE, as UTF-8. ADDRESS is the e-mail address\n"
                   "exactly as Messenger used it (letter case matters). DIR is the profile's\n"
                   "\"Application Data/Microsoft/Protect\" folder; without it, it is found above FILE.\n"
                   "The Windows account's secret (none for a map that Wine protected), one of:\n"
                   ZORVAK_CLI_SECRET_OPTIONS_HELP,
                   Run);
