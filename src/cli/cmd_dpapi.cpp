// zorvak-cli dpapi: master keys and blobs of a copied Windows profile, decrypted offline.
#include "backup/CryptUtil.h"
#include "backup/Dpapi.h"
#include "backup/DpapiKeyMaterial.h"
#include "cli/CliCommand.h"
#include "common/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>

namespace {

using namespace zorvak;
using namespace zorvak::cli;

// "--name value" options and the remaining positional arguments.
struct Args {
    QMap<QString, QString> options;
    QStringList positional;
    QString error;
};

Args Parse(const QStringList &args, const QStringList &known)
{
    Args parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a.startsWith(QLatin1String("--"))) {
            if (!known.contains(a)) {
                parsed.error = QStringLiteral("unknown option %1").arg(a);
                return parsed;
            }
            if (i + 1 >= args.size()) {
                parsed.error = QStringLiteral("%1 needs a value").arg(a);
                return parsed;
            }
            parsed.options.insert(a, args[++i]);
        } else {
            parsed.positional << a;
        }
    }
    return parsed;
}

// The secret of --password / --hash; sets `error` when neither or both are given.
DpapiSecret SecretOf(const Args &args, QString &error)
{
    const bool password = args.options.contains(QStringLiteral("--password"));
    const bool hash = args.options.contains(QStringLiteral("--hash"));
    if (password == hash) {
        error = QStringLiteral("give either --password or --hash");
        return {};
    }
    if (password)
        return DpapiSecret::FromPassword(args.options.value(QStringLiteral("--password")));
    try {
        return DpapiSecret::FromHashHex(args.options.value(QStringLiteral("--hash")));
    } catch (const Exception &e) {
        error = e.Message();
        return {};
    }
}

QStringList SidFolders(const QString &protectDir, const QString &sid)
{
    const QFileInfo info(protectDir);
    if (info.fileName().startsWith(QLatin1String("S-1-"), Qt::CaseInsensitive) || (!sid.isEmpty() && info.fileName() == sid))
        return {info.absoluteFilePath()};
    QStringList folders;
    const QDir dir(protectDir);
    for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name))
        if (sid.isEmpty() ? name.startsWith(QLatin1String("S-1-"), Qt::CaseInsensitive) : name == sid)
            folders << dir.filePath(name);
    if (folders.isEmpty() && !sid.isEmpty())
        folders << info.absoluteFilePath(); // a folder of master keys under another name
    return folders;
}

int MasterKeys(const QStringList &rawArgs)
{
    const Args args = Parse(rawArgs, {QStringLiteral("--protect-dir"), QStringLiteral("--password"), QStringLiteral("--hash"), QStringLiteral("--sid")});
    if (!args.error.isEmpty())
        return UsageError("dpapi", args.error);
    QString error;
    const DpapiSecret secret = SecretOf(args, error);
    if (!error.isEmpty())
        return UsageError("dpapi", error);
    const QString protectDir = args.options.value(QStringLiteral("--protect-dir"));
    if (protectDir.isEmpty() || !args.positional.isEmpty())
        return UsageError("dpapi", QStringLiteral("masterkey needs --protect-dir DIR and no other arguments"));
    if (!QFileInfo(protectDir).isDir()) {
        Err() << "zorvak-cli dpapi: no folder " << protectDir << "\n";
        return 1;
    }
    const QString sid = args.options.value(QStringLiteral("--sid"));
    int opened = 0, seen = 0;
    for (const QString &folder : SidFolders(protectDir, sid)) {
        const QDir dir(folder);
        const QString folderSid = sid.isEmpty() ? dir.dirName() : sid;
        for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
            if (dpapi::GuidFromText(name).isEmpty())
                continue;
            ++seen;
            QString damage;
            const QByteArray key = dpapi::OpenMasterKeyFile(dir.filePath(name), secret, folderSid, &damage);
            if (!damage.isEmpty())
                Err() << "zorvak-cli dpapi: " << damage << "\n";
            opened += key.isEmpty() ? 0 : 1;
            Out() << name.toLower() << '\t' << folderSid << '\t'
                  << (key.isEmpty() ? QStringLiteral("does not open") : QStringLiteral("opens")) << '\t'
                  << (key.isEmpty() ? QString() : QString::fromLatin1(dpapi::Hash(dpapi::CALG_SHA1, key).toHex())) << '\n';
        }
    }
    if (seen == 0)
        Err() << "zorvak-cli dpapi: no master-key files under " << protectDir << "\n";
    return opened > 0 ? 0 : 1;
}

int Unprotect(const QStringList &rawArgs)
{
    const Args args = Parse(rawArgs, {QStringLiteral("--protect-dir"), QStringLiteral("--password"), QStringLiteral("--hash"),
                                              QStringLiteral("--entropy"), QStringLiteral("--entropy-hex")});
    if (!args.error.isEmpty())
        return UsageError("dpapi", args.error);
    QString error;
    const DpapiSecret secret = SecretOf(args, error);
    if (!error.isEmpty())
        return UsageError("dpapi", error);
    if (args.positional.size() != 1)
        return UsageError("dpapi", QStringLiteral("unprotect needs one FILE"));
    if (args.options.contains(QStringLiteral("--entropy")) && args.options.contains(QStringLiteral("--entropy-hex")))
        return UsageError("dpapi", QStringLiteral("give --entropy or --entropy-hex, not both"));
    QByteArray entropy; // none
    if (args.options.contains(QStringLiteral("--entropy-hex"))) {
        const QString hex = args.options.value(QStringLiteral("--entropy-hex"));
        entropy = QByteArray::fromHex(hex.toLatin1());
        if (entropy.toHex() != hex.toLower().toLatin1())
            return UsageError("dpapi", QStringLiteral("--entropy-hex takes an even number of hex digits"));
    }
    QFile file(args.positional.first());
    if (!file.open(QIODevice::ReadOnly)) {
        Err() << "zorvak-cli dpapi: cannot read " << file.fileName() << ": " << file.errorString() << "\n";
        return 1;
    }
    const QByteArray blob = file.readAll();
    DpapiKeyMaterial material;
    material.protectDir = args.options.value(QStringLiteral("--protect-dir"));
    material.secret = secret;
    SetDpapiKeyMaterial(material);
    const QString fallback = FindProtectDir(QFileInfo(file).absolutePath());
    const QByteArray plain = args.options.contains(QStringLiteral("--entropy"))
                                 ? UnprotectBytes(blob, args.options.value(QStringLiteral("--entropy")), fallback)
                                 : UnprotectBytesRaw(blob, entropy, fallback);
    Out().flush();
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || out.write(plain) != plain.size())
        return 1;
    out.flush();
    return 0;
}

int Run(const QStringList &args)
{
    if (args.isEmpty())
        return UsageError("dpapi", QStringLiteral("give masterkey or unprotect (see zorvak-cli dpapi --help)"));
    const QString action = args.first();
    if (action == QLatin1String("masterkey"))
        return MasterKeys(args.mid(1));
    if (action == QLatin1String("unprotect"))
        return Unprotect(args.mid(1));
    return UsageError("dpapi", QStringLiteral("unknown action %1").arg(action));
}

} // namespace

ZORVAK_CLI_COMMAND("dpapi", "open master keys, unprotect Windows DPAPI blobs offline",
                   "Usage:\n"
                   "  zorvak-cli dpapi masterkey --protect-dir DIR (--password P | --hash HEX) [--sid SID]\n"
                   "  zorvak-cli dpapi unprotect [--protect-dir DIR] (--password P | --hash HEX)\n"
                   "                             [--entropy TEXT | --entropy-hex HEX] FILE\n"
                   "DIR is a profile's \"Application Data/Microsoft/Protect\" folder or one of its SID folders.\n"
                   "The password is the Windows account's; HEX is its SHA-1 (40 digits) or NT hash (32).\n"
                   "masterkey: one line per master-key file: GUID, SID, \"opens\" or \"does not open\", and\n"
                   "  the SHA-1 of the master key when it opens. Exit 1 when none opens.\n"
                   "unprotect: the plaintext of the blob FILE on standard output. The entropy TEXT is taken\n"
                   "  as Windows-1252 bytes. Without --protect-dir the folder is found above FILE.",
                   Run);
