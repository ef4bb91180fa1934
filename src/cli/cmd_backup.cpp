// zorvak-cli backup: the backup run without questions. No confirmation grid: the shortcuts of
// custom emoticons are checked as the grid checks them and problems are printed as warnings.
#include "backup/BackupCore.h"
#include "backup/DpapiKeyMaterial.h"
#include "backup/KeyValidation.h"
#include "cli/CliCommand.h"
#include "common/Exceptions.h"
#include "platform/Platform.h"
#include "shell/uLanguage.h"

#include <QDir>
#include <QFileInfo>
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

void Warn(const QString &text) { Err() << "zorvak-cli backup: warning: " << OneLine(text) << "\n"; }

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
    int packages = 0;
    int ConfirmItems(const QString &displayName, const TMsnArr &items, const TDefaultTable &, int) override
    {
        QList<TKeyRow> rows;
        for (const TMsnStuff &item : *items)
            if (QFileInfo(tmp + item.Location).isFile())
                rows.append({item.Location, UnescapeXml(item.Key), UnescapeXml(item.Name)});
        if (displayName == CurrentLanguage().Get(QStringLiteral("Emot"))) {
            WarningKeyHost keys;
            ValidateKeys(rows, keys);
        }
        return int(rows.size()) + 1;
    }
    int Ask(TBackupQuestion which, const QString &text, TMsgDlgType, TMsgDlgButtons) override
    {
        switch (which) {
        case TBackupQuestion::EmailNotMatch:
        case TBackupQuestion::CopyFailed:
            Warn(text);
            return mrOk;
        case TBackupQuestion::Overwrite: return mrYes;
        case TBackupQuestion::ViewResult: return mrNo;
        case TBackupQuestion::Notice: break;
        }
        Warn(text);
        return mrOk;
    }
    void PackageWritten(const QString &cabinet, int items) override
    {
        Out() << cabinet << '\t' << items << '\n';
        ++packages;
    }
    void ShowResult(const QString &) override {}
};

int Run(const QStringList &args)
{
    QString folder, email, password, hash, protectDir, types, out;
    bool haveEmail = false, havePassword = false, haveHash = false, haveTypes = false, includeDefault = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool valued = a == QLatin1String("--email") || a == QLatin1String("--password")
                            || a == QLatin1String("--hash") || a == QLatin1String("--protect-dir")
                            || a == QLatin1String("--types") || a == QLatin1String("--out");
        if (valued && i + 1 >= args.size())
            return UsageError("backup", QStringLiteral("%1 needs a value").arg(a));
        if (a == QLatin1String("--email"))
            email = args[++i], haveEmail = true;
        else if (a == QLatin1String("--password"))
            password = args[++i], havePassword = true;
        else if (a == QLatin1String("--hash"))
            hash = args[++i], haveHash = true;
        else if (a == QLatin1String("--protect-dir"))
            protectDir = args[++i];
        else if (a == QLatin1String("--types"))
            types = args[++i], haveTypes = true;
        else if (a == QLatin1String("--out"))
            out = args[++i];
        else if (a == QLatin1String("--include-default"))
            includeDefault = true;
        else if (a.startsWith(QLatin1String("--")))
            return UsageError("backup", QStringLiteral("unknown option %1").arg(a));
        else if (folder.isEmpty())
            folder = a;
        else
            return UsageError("backup", QStringLiteral("give one USERFOLDER"));
    }
    if (folder.isEmpty() || !haveEmail)
        return UsageError("backup", QStringLiteral("give USERFOLDER and --email ADDRESS"));
    if (havePassword == haveHash)
        return UsageError("backup", QStringLiteral("give either --password or --hash"));
    if (!QFileInfo(folder).isDir()) {
        Err() << "zorvak-cli backup: not a folder: " << folder << "\n";
        return 1;
    }
    try {
        SetDpapiCredentials(protectDir, haveHash ? hash : password, haveHash);
    } catch (const EConvertError &e) {
        return UsageError("backup", e.Message());
    }

    // A work folder of this run's own, so that runs at the same time do not meet.
    QTemporaryDir work;
    if (!work.isValid()) {
        Err() << "zorvak-cli backup: cannot create a temporary folder\n";
        return 1;
    }
    CliHost host;
    TBackupCore core(host);
    core.WorkDir = work.path() + QStringLiteral("/~tmp/");
    host.tmp = core.TmpDir();
    const TFolderChoice choice = ChooseFolder(QFileInfo(folder).absoluteFilePath() + QLatin1Char('/'));
    core.edDir = choice.dir;
    core.Ticked = choice.ticked;
    if (haveTypes) {
        core.Ticked.fill(false);
        for (const QString &code : types.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const ContentTypeInfo *info = FindContentType(code.trimmed());
            if (!info)
                return UsageError("backup", QStringLiteral("unknown content type %1").arg(code));
            core.Ticked[size_t(info->type)] = true;
        }
    }
    core.edEmail = email;
    core.edOutput = out.isEmpty() ? UniqueOutputName(QDir::currentPath() + QStringLiteral("/Backup.mco"))
                                  : QFileInfo(out).absoluteFilePath();
    core.OutputChosen = !out.isEmpty();
    core.chConfirm = true; // the key checks, printed as warnings
    core.chSkipDefault = !includeDefault;
    struct Cleanup {
        ~Cleanup() { ClearDpapiKeyMaterial(); }
    } cleanup;
    core.btStartMouseUp(false);
    return host.packages > 0 ? 0 : 1;
}

} // namespace

ZORVAK_CLI_COMMAND(
    "backup", "back up a Messenger user's content into MCO packages",
    "Usage: zorvak-cli backup USERFOLDER --email ADDRESS (--password P | --hash HEX) [--protect-dir DIR]\n"
    "                         [--types Emot,Dp,Bg,Wink,Ddp,Dbg] [--include-default] [--out FILE]\n"
    "Backs up the content of a Messenger user folder (a folder ID, or one content folder of it) as\n"
    "the backup window does, without questions: no confirmation grid, shortcut problems printed as\n"
    "warnings. Prints each package written and its number of items, tab-separated. A backup of more\n"
    "than 199 items is split into FILE-part1, -part2, ... ADDRESS is the e-mail address exactly as\n"
    "Messenger used it; P is the Windows account's password, HEX its SHA-1 or NT hash; DIR the\n"
    "profile's \"Application Data/Microsoft/Protect\" folder (found above USERFOLDER when not given).\n"
    "--include-default keeps Messenger's default content. FILE defaults to BackupN.mco in the\n"
    "current folder (the first free N); an existing FILE is replaced.\n"
    "Exit status: 0 when a package was written, 1 when none was, 2 for wrong usage.",
    Run);
