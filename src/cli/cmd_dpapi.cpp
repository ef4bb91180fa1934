// zorvak-cli dpapi: master keys and blobs of a copied Windows profile, decrypted offline.
#include "dpapi/CryptUtil.h"
#include "dpapi/Dpapi.h"
#include "dpapi/DpapiKeyMaterial.h"
#include "dpapi/WineProtect.h"
#include "cli/CliCommand.h"
#include "cli/CliSecrets.h"
#include "cli/VerbOptions.h"
#include "common/Cp1252.h"
#include "common/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

namespace {

using namespace zorvak;
using namespace zorvak::cli;

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

int MasterKeys(const QStringList &args)
{
    VerbOptions options("dpapi");
    options.Value(QStringLiteral("sid"), QStringLiteral("SID"), QStringLiteral("a SID"));
    AddKeyOptions(options);
    if (!options.Parse(args))
        return options.UsageStatus();
    const QString protectDir = options.Get(QStringLiteral("protect-dir"));
    if (protectDir.isEmpty() || !options.Positional().isEmpty())
        return options.Usage(QStringLiteral("masterkey needs --protect-dir DIR and no other arguments"));
    int failed = 0;
    const std::optional<DpapiSecret> found = SecretOrReport(options, &failed);
    if (!found)
        return failed;
    const DpapiSecret secret = *found;
    if (!QFileInfo(protectDir).isDir())
        return options.Fail(QStringLiteral("no folder ") + protectDir);
    const QString sid = options.Get(QStringLiteral("sid"));
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

int Unprotect(const QStringList &args)
{
    VerbOptions options("dpapi");
    options.Value(QStringLiteral("entropy"), QStringLiteral("TEXT"), QStringLiteral("a text"))
        .Value(QStringLiteral("entropy-hex"), QStringLiteral("HEX"), QStringLiteral("hex digits"));
    AddKeyOptions(options);
    if (!options.Parse(args))
        return options.UsageStatus();
    if (options.Positional().size() != 1)
        return options.Usage(QStringLiteral("unprotect needs one FILE"));
    const bool textEntropy = options.IsSet(QStringLiteral("entropy"));
    if (textEntropy && options.IsSet(QStringLiteral("entropy-hex")))
        return options.Usage(QStringLiteral("give --entropy or --entropy-hex, not both"));
    QByteArray entropy; // none
    if (options.IsSet(QStringLiteral("entropy-hex"))) {
        const QString hex = options.Get(QStringLiteral("entropy-hex"));
        entropy = QByteArray::fromHex(hex.toLatin1());
        if (entropy.toHex() != hex.toLower().toLatin1())
            return options.Usage(QStringLiteral("--entropy-hex takes an even number of hex digits"));
    }
    QFile file(options.Positional().first());
    const bool readable = file.open(QIODevice::ReadOnly);
    const QByteArray blob = readable ? file.readAll() : QByteArray();
    // A blob that Wine wrote needs no secret; the user names of its Wine prefix open it.
    const bool wineBlob = wine::IsWineBlob(blob);
    int failed = 0;
    const std::optional<DpapiKeyMaterial> material = KeyOrReport(options, &failed, wineBlob);
    if (!material)
        return failed;
    if (!readable)
        return options.Fail(QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString()));
    if (textEntropy)
        entropy = ToCp1252(options.Get(QStringLiteral("entropy")));
    const QByteArray plain = wineBlob ? UnprotectWineBytes(blob, entropy, *material, QFileInfo(file).absoluteFilePath())
                                      : UnprotectBytesRaw(blob, entropy, *material,
                                                          FindProtectDir(QFileInfo(file).absolutePath()));
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
                   "  zorvak-cli dpapi masterkey --protect-dir DIR [--password-file F | --hash-file F] [--sid SID]\n"
                   "  zorvak-cli dpapi unprotect [--protect-dir DIR] [--password-file F | --hash-file F]\n"
                   "                             [--entropy TEXT | --entropy-hex HEX] FILE\n"
                   "DIR is a profile's \"Application Data/Microsoft/Protect\" folder or one of its SID folders.\n"
                   "The Windows account's secret, one of:\n" ZORVAK_CLI_SECRET_OPTIONS_HELP
                   "masterkey: one line per master-key file: GUID, SID, \"opens\" or \"does not open\", and\n"
                   "  the SHA-1 of the master key when it opens. Exit 1 when none opens.\n"
                   "unprotect: the plaintext of the blob FILE on standard output. The entropy TEXT is taken\n"
                   "  as Windows-1252 bytes. Without --protect-dir the folder is found above FILE. A blob that\n"
                   "  Wine wrote needs no secret: the user names of the Wine prefix holding FILE open it.",
                   Run);
