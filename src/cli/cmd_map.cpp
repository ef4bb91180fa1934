// zorvak-cli map: a Messenger map file decrypted as the backup decrypts it.
#include "backup/CryptUtil.h"
#include "backup/DpapiKeyMaterial.h"
#include "backup/MapFileCrypt.h"
#include "cli/CliCommand.h"
#include "cli/CliSecrets.h"
#include "common/Exceptions.h"

#include <QFileInfo>

namespace {

using namespace zorvak;
using namespace zorvak::cli;

int Run(const QStringList &args)
{
    if (args.isEmpty() || args.first() != QLatin1String("decrypt"))
        return UsageError("map", QStringLiteral("give decrypt (see zorvak-cli map --help)"));
    QCommandLineParser parser;
    const QCommandLineOption emailOption(QStringLiteral("email"), QString(), QStringLiteral("ADDRESS"));
    const QCommandLineOption protectOption(QStringLiteral("protect-dir"), QString(), QStringLiteral("DIR"));
    parser.addOptions({emailOption, protectOption});
    AddSecretOptions(parser);
    const QString usage = ParseVerbOptions(parser, args.mid(1));
    if (!usage.isEmpty())
        return UsageError("map", usage);
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return UsageError("map", QStringLiteral("give one FILE"));
    const QString file = positional.value(0);
    if (!parser.isSet(emailOption) || file.isEmpty())
        return UsageError("map", QStringLiteral("decrypt needs --email ADDRESS and FILE"));
    if (!QFileInfo(file).isFile()) {
        Err() << "zorvak-cli map: File not found: " << file << "\n";
        return 1;
    }
    const SecretResult secret = ReadSecret(parser);
    if (!secret.secret) {
        if (secret.exitCode == 2)
            return UsageError("map", secret.error);
        Err() << "zorvak-cli map: " << secret.error << "\n";
        return secret.exitCode;
    }
    // The same key material value that the backup window hands to its run.
    DpapiKeyMaterial key;
    key.protectDir = parser.value(protectOption);
    key.secret = *secret.secret;
    Out() << DecryptMapFile(file, parser.value(emailOption), key);
    ForgetOpenedMasterKeys();
    return 0;
}

} // namespace

ZORVAK_CLI_COMMAND("map", "decrypt a Messenger map file",
                   "Usage: zorvak-cli map decrypt --email ADDRESS [--protect-dir DIR] [--password-file F | --hash-file F] FILE\n"
                   "Prints what the backup reads from the map FILE, as UTF-8. ADDRESS is the e-mail address\n"
                   "exactly as Messenger used it (letter case matters). DIR is the profile's\n"
                   "\"Application Data/Microsoft/Protect\" folder; without it, it is found above FILE.\n"
                   "The Windows account's secret, one of:\n" ZORVAK_CLI_SECRET_OPTIONS_HELP,
                   Run);
