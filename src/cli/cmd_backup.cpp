// zorvak-cli backup: the backup run without questions. No confirmation grid: the shortcuts of
// custom emoticons are checked as the grid checks them and problems are printed as warnings.
#include "backup/BackupCore.h"
#include "common/PathBytes.h"
#include "browse/FolderChoice.h"
#include "dpapi/CryptUtil.h"
#include "dpapi/DpapiKeyMaterial.h"
#include "dpapi/MapFileCrypt.h"
#include "backup/KeyValidation.h"
#include "cli/CliCommand.h"
#include "cli/CliSecrets.h"
#include "cli/Progress.h"
#include "cli/VerbOptions.h"
#include "common/Exceptions.h"
#include "platform/Platform.h"
#include "shell/uLanguage.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>

namespace {

using namespace zorvak;
using namespace zorvak::cli;

QString OneLine(QString text)
{
    text.replace(QStringLiteral("\r\r"), QStringLiteral(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

void Warn(const QString &text)
{
    Progress::ClearCurrent();
    Err() << "zorvak-cli backup: warning: " << OneLine(text) << "\n";
}

// Key problems become warnings; nothing is edited.
class WarningKeyHost : public TKeyValidationHost {
public:
    void ShowHint(const QString &) override {}
    void HideHint() override {}
    void FocusKeyCell(int) override {}
    int Ask(int, const QString &text, TMsgDlgType, TMsgDlgButtons) override
    {
        Warn(text);
        return mrIgnore;
    }
    void EditCell(int) override {}
    int DuplicatePair(int, const TKeyRow &a, int, const TKeyRow &b) override
    {
        Warn(QStringLiteral("%1: the shortcut %2 of %3 and %4 of %5")
                 .arg(a.Key == b.Key ? CurrentLanguage().Get(QStringLiteral("tiDuplicateKey"))
                                     : CurrentLanguage().Get(QStringLiteral("tiOverlapKey")),
                      a.Key, a.File, b.Key, b.File));
        return -1;
    }
    bool CanEdit() const override { return false; }
};

class CliHost : public TBackupHost {
public:
    QString tmp;
    bool json = false;
    QJsonArray packages;  // the packages written: {"file", "items"}
    int confirmed = 0;    // the items kept by the confirmation steps, for the progress
    cli::Progress *progress = nullptr; // the progress line, when it is shown
    std::optional<int> ConfirmItems(ContentType type, const QString &displayName, const TMsnArr &items,
                                    const TDefaultTable &, int) override
    {
        QList<TKeyRow> rows;
        for (const TMsnStuff &item : *items)
            if (QFileInfo(tmp + item.Location).isFile())
                rows.append({item.Location, UnescapeXml(item.Key), UnescapeXml(item.Name)});
        if (type == ContentType::Emot) {
            WarningKeyHost keys;
            ValidateKeys(rows, keys);
        }
        confirmed += int(rows.size());
        // Nothing is packed yet: the line tells which content type has been collected.
        if (progress)
            progress->Update(0, confirmed, displayName);
        return int(rows.size());
    }
    // While packing, the line counts the items packed and names the package being written.
    void Progress(TBackupStage stage, int done, int total, const QString &name) override
    {
        if (progress && stage == TBackupStage::Packing)
            progress->Update(done, total, QFileInfo(name).fileName());
    }
    int Ask(TBackupQuestion which, const QString &text, TMsgDlgType type, TMsgDlgButtons buttons) override
    {
        switch (which) {
        case TBackupQuestion::EmailNotMatch:
        case TBackupQuestion::CopyFailed:
            Warn(text);
            return mrOk;
        case TBackupQuestion::Overwrite: return mrYes;
        case TBackupQuestion::ViewResult: return mrNo;
        case TBackupQuestion::Notice: break;
        case TBackupQuestion::Information:
        case TBackupQuestion::Error: return TBackupHost::Ask(which, text, type, buttons);
        }
        Warn(text);
        return mrOk;
    }
    void PackageWritten(const QString &cabinet, int items) override
    {
        cli::Progress::ClearCurrent();
        if (!json)
            Out() << cabinet << '\t' << items << '\n';
        packages.append(QJsonObject{{QStringLiteral("file"), cabinet}, {QStringLiteral("items"), items}});
    }
    void ShowResult(const QString &) override {}
};

int Run(const QStringList &args)
{
    VerbOptions options("backup");
    options.Value(QStringLiteral("email"), QStringLiteral("ADDRESS"), QStringLiteral("an e-mail address"))
        .Value(QStringLiteral("types"), QStringLiteral("LIST"), QStringLiteral("a list of content types"))
        .Value(QStringLiteral("out"), QStringLiteral("FILE"), QStringLiteral("a file"))
        .Flag(QStringLiteral("include-default"))
        .Flag(QStringLiteral("json"))
        .Flag(QStringLiteral("quiet"));
    AddKeyOptions(options);
    if (!options.Parse(args))
        return options.UsageStatus();
    const QStringList positional = options.Positional();
    if (positional.size() > 1)
        return options.Usage(QStringLiteral("give one USERFOLDER"));
    const QString folder = positional.value(0);
    const bool typesGiven = options.IsSet(QStringLiteral("types"));
    // An ObjectStore account needs no secret, and its folder's name is its address.
    const TFolderChoice choice = ChooseFolder(QFileInfo(folder).absoluteFilePath() + QLatin1Char('/'));
    if (folder.isEmpty() || (!options.IsSet(QStringLiteral("email")) && !choice.store))
        return options.Usage(QStringLiteral("give USERFOLDER and --email ADDRESS"));
    std::array<bool, 6> types{};
    if (typesGiven) {
        for (const QString &code : options.Get(QStringLiteral("types")).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const ContentTypeInfo *info = FindContentType(code.trimmed());
            if (!info)
                return options.Usage(QStringLiteral("unknown content type %1").arg(code));
            types[size_t(info->type)] = true;
        }
    }
    if (!fsys::IsDir(folder))
        return options.Fail(QStringLiteral("not a folder: ") + folder);
    int status = 0;
    std::optional<DpapiKeyMaterial> key = DpapiKeyMaterial();
    if (!choice.store)
        key = KeyOrReport(options, &status, AllMapsProtectedByWine(choice.dir));
    if (!key)
        return status;
    if (choice.store)
        Warn(CurrentLanguage().Get(QStringLiteral("StoreNamesNotRead")));

    // A work folder of this run's own, so that runs at the same time do not meet.
    QTemporaryDir work;
    if (!work.isValid())
        return options.Fail(QStringLiteral("cannot create a temporary folder"));
    CliHost host;
    host.json = options.IsSet(QStringLiteral("json"));
    TBackupCore core(host);
    Progress progress(Progress::Wanted(options.IsSet(QStringLiteral("quiet"))));
    if (progress.Shown())
        host.progress = &progress;
    TBackupRequest request;
    request.workDir = work.path() + QStringLiteral("/~tmp/");
    host.tmp = request.workDir;
    request.folder = choice.dir;
    request.types = typesGiven ? types : choice.ticked;
    request.email = options.IsSet(QStringLiteral("email")) ? options.Get(QStringLiteral("email")) : choice.email;
    const QString out = options.Get(QStringLiteral("out"));
    request.output = out.isEmpty() ? UniqueOutputName(QDir::currentPath() + QStringLiteral("/Backup.mco"))
                                   : QFileInfo(out).absoluteFilePath();
    request.outputChosen = !out.isEmpty();
    request.confirm = true; // the key checks, printed as warnings
    request.skipDefault = !options.IsSet(QStringLiteral("include-default"));
    request.key = *key;
    struct Cleanup {
        ~Cleanup() { ForgetOpenedMasterKeys(); }
    } cleanup;
    const TBackupResult result = core.Run(request);
    progress.Clear();
    if (host.json)
        WriteJson({{QStringLiteral("packages"), host.packages},
                   {QStringLiteral("failed"), QJsonArray::fromStringList(result.failed)}});
    // Success only when every part was packed.
    return !result.packages.isEmpty() && result.failed.isEmpty() ? 0 : 1;
}

} // namespace

ZORVAK_CLI_COMMAND(
    "backup", "back up a Messenger user's content into MCO packages",
    "Usage: zorvak-cli backup USERFOLDER --email ADDRESS [--password-file F | --hash-file F] [--protect-dir DIR]\n"
    "                         [--types Emot,Dp,Bg,Wink,Ddp,Dbg] [--include-default] [--out FILE] [--json] [--quiet]\n"
    "Backs up the content of a Messenger user folder (a folder ID, or one content folder of it) as\n"
    "the backup window does, without questions: no confirmation grid, shortcut problems printed as\n"
    "warnings. Prints each package written and its number of items, tab-separated. A backup of more\n"
    "than 199 items is split into FILE-part1, -part2, ... ADDRESS is the e-mail address exactly as\n"
    "Messenger used it; DIR the profile's \"Application Data/Microsoft/Protect\" folder (found above\n"
    "USERFOLDER when not given). The Windows account's secret, one of:\n"
    ZORVAK_CLI_SECRET_OPTIONS_HELP
    "USERFOLDER may also be an account folder of the later Messenger versions (named by its\n"
    "address, holding ObjectStore), its ObjectStore folder or one of its kind folders: then no\n"
    "secret is needed, ADDRESS defaults to the account folder's name, and the objects are named\n"
    "by position (their own names are not read).\n"
    "--include-default keeps Messenger's default content. FILE defaults to BackupN.mco in the\n"
    "current folder (the first free N); an existing FILE is replaced. --json prints one JSON document\n"
    "instead of the lines: {\"packages\": [{\"file\", \"items\"}], \"failed\": [the packages not written]}.\n"
    "On a terminal the items packed so far show on standard error; --quiet leaves that out.\n"
    "Exit status: 0 when every package was written, 1 when one could not be, 2 for wrong usage.",
    Run);
