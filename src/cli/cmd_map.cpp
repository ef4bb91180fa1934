// zorvak-cli map: a Messenger map file decrypted as the backup decrypts it.
#include "backup/DpapiKeyMaterial.h"
#include "backup/MapFileCrypt.h"
#include "cli/CliCommand.h"
#include "common/Exceptions.h"

#include <QFileInfo>

namespace {

using namespace zorvak;
using namespace zorvak::cli;

int Run(const QStringList &args)
{
    if (args.isEmpty() || args.first() != QLatin1String("decrypt"))
        return UsageError("map", QStringLiteral("give decrypt (see zorvak-cli map --help)"));
    QString email, protectDir, password, hash, file;
    bool haveEmail = false, havePassword = false, haveHash = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool option = a == QLatin1String("--email") || a == QLatin1String("--protect-dir")
                            || a == QLatin1String("--password") || a == QLatin1String("--hash");
        if (option && i + 1 >= args.size())
            return UsageError("map", QStringLiteral("%1 needs a value").arg(a));
        if (a == QLatin1String("--email"))
            email = args[++i], haveEmail = true;
        else if (a == QLatin1String("--protect-dir"))
            protectDir = args[++i];
        else if (a == QLatin1String("--password"))
            password = args[++i], havePassword = true;
        else if (a == QLatin1String("--hash"))
            hash = args[++i], haveHash = true;
        else if (a.startsWith(QLatin1String("--")))
            return UsageError("map", QStringLiteral("unknown option %1").arg(a));
        else if (file.isEmpty())
            file = a;
        else
            return UsageError("map", QStringLiteral("give one FILE"));
    }
    if (!haveEmail || file.isEmpty())
        return UsageError("map", QStringLiteral("decrypt needs --email ADDRESS and FILE"));
    if (havePassword == haveHash)
        return UsageError("map", QStringLiteral("give either --password or --hash"));
    try {
        SetDpapiCredentials(protectDir, haveHash ? hash : password, haveHash);
    } catch (const EConvertError &e) {
        return UsageError("map", e.Message());
    }
    if (!QFileInfo(file).isFile()) {
        Err() << "zorvak-cli map: File not found: " << file << "\n";
        return 1;
    }
    Out() << DecryptMapFile(file, email);
    return 0;
}

} // namespace

ZORVAK_CLI_COMMAND("map", "decrypt a Messenger map file",
                   "Usage: zorvak-cli map decrypt --email ADDRESS [--protect-dir DIR] (--password P | --hash HEX) FILE\n"
                   "Prints what the backup reads from the map FILE, as UTF-8. ADDRESS is the e-mail address\n"
                   "exactly as Messenger used it (letter case matters). DIR is the profile's\n"
                   "\"Application Data/Microsoft/Protect\" folder; without it, it is found above FILE.\n"
                   "The password is the Windows account's; HEX is its SHA-1 (40 digits) or NT hash (32).",
                   Run);
