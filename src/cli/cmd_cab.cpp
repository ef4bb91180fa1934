// zorvak-cli cab: list, extract, create and test Microsoft Cabinet files.
#include "cabinet/cabfiles.h"
#include "cli/CliCommand.h"
#include "common/PathBytes.h"
#include "cli/Progress.h"
#include "cli/VerbOptions.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QSet>
#include <memory>

namespace {
using namespace zorvak;
using namespace zorvak::cli;

// An input/output error of the cabinet component, printed as the program's error boxes are.
void PrintIoError(TCABFile *, const QString &message)
{
    Progress::ClearCurrent();
    Err() << "zorvak-cli cab: " << message << Qt::endl;
}

// Prints the cabinet component's last error, if there is one, after the cabinet's name; returns
// `status`.
int Report(const TCABFile &cab, int status)
{
    if (!cab.LastError().isEmpty())
        Err() << "zorvak-cli cab: " << EscapedPath(cab.CABFile) << ": " << EscapedPath(cab.LastError()) << "\n";
    return status;
}

// The flags of the actions that read a cabinet.
struct ReadingFlags {
    bool json = false;
    bool quiet = false;
};

int List(TCABFile &cab, const QStringList &, ReadingFlags flags)
{
    cab.ListContents();
    if (!cab.LastError().isEmpty())
        return Report(cab, 1);
    const QString timeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    QJsonArray files;
    for (int i = 0; i < cab.CABFileContents.Count(); ++i) {
        const TCABFileEntry &e = cab.CABFileContents[i];
        if (flags.json)
            files.append(QJsonObject{{QStringLiteral("name"), e.Name},
                                     {QStringLiteral("size"), e.Size},
                                     {QStringLiteral("time"), e.DateTime.toString(timeFormat)}});
        else
            Out() << e.Name << '\t' << e.Size << '\t' << e.DateTime.toString(timeFormat) << '\n';
    }
    if (flags.json)
        WriteJson({{QStringLiteral("cabinet"), DisplayPath(cab.CABFile)}, {QStringLiteral("files"), files}});
    return 0;
}

int Extract(TCABFile &cab, const QStringList &names, ReadingFlags flags)
{
    cab.TargetPath = names.at(1);
    cab.OnIOError = PrintIoError;
    Progress progress(Progress::Wanted(flags.quiet));
    if (progress.Shown()) {
        // The number of files comes from the cabinet's file table, read before the extraction.
        TCABFile listing;
        listing.CABFile = cab.CABFile;
        listing.ListContents();
        const int total = listing.CABFileContents.Count();
        auto seen = std::make_shared<QSet<QString>>();
        cab.OnDecompressProgress = [&progress, total, seen](TCABFile *, const QString &name, qint32, qint32) {
            seen->insert(name);
            progress.Update(seen->size(), total, name);
        };
    }
    const bool ok = cab.ExtractAll();
    progress.Clear();
    return Report(cab, ok ? 0 : 1);
}

int Test(TCABFile &cab, const QStringList &, ReadingFlags) { return cab.TestAll() ? 0 : Report(cab, 1); }

// The actions that read a cabinet: they take names and no options ("--" allowed before them),
// the cabinet first.
const struct ReadingAction {
    const char *name;
    qsizetype names;
    const char *wrongCount; // the usage error when the number of names differs
    const char *flag; // the action's own flag ("json", "quiet"), or none
    int (*run)(TCABFile &cab, const QStringList &names, ReadingFlags flags);
} kReadingActions[] = {
    {"list", 1, "list takes one cabinet", "json", List},
    {"extract", 2, "extract takes a cabinet and a folder", "quiet", Extract},
    {"test", 1, "test takes one cabinet", nullptr, Test},
};

int RunReadingAction(const ReadingAction &action, const QStringList &args)
{
    VerbOptions options("cab");
    if (action.flag)
        options.Flag(QString::fromLatin1(action.flag));
    if (!options.Parse(args))
        return options.UsageStatus();
    ReadingFlags flags;
    if (action.flag) {
        const bool set = options.IsSet(QString::fromLatin1(action.flag));
        flags.json = set && qstrcmp(action.flag, "json") == 0;
        flags.quiet = set && qstrcmp(action.flag, "quiet") == 0;
    }
    const QStringList names = options.Positional();
    if (names.size() != action.names)
        return options.Usage(QString::fromLatin1(action.wrongCount));
    TCABFile cab;
    cab.CABFile = names.first();
    return action.run(cab, names, flags);
}

int Create(const QStringList &argsIn)
{
    VerbOptions options("cab");
    options.Value(QStringLiteral("compression"), QStringLiteral("TYPE"), QStringLiteral("none, mszip or lzx:15..21"))
        .Value(QStringLiteral("relpath"), QStringLiteral("R"), QStringLiteral("a path"))
        .Flag(QStringLiteral("quiet"));
    if (!options.Parse(argsIn))
        return options.UsageStatus();
    QStringList files = options.Positional();
    if (files.isEmpty())
        return options.Usage(QStringLiteral("create takes an output cabinet and files"));
    TCABFile cab;
    cab.CABFile = files.takeFirst();
    cab.OnIOError = PrintIoError;
    const QString relPath = options.Get(QStringLiteral("relpath"));
    if (options.IsSet(QStringLiteral("compression"))) {
        const QString v = options.Get(QStringLiteral("compression"));
        if (v == QLatin1String("none")) {
            cab.CompressionType = typNone;
        } else if (v == QLatin1String("mszip")) {
            cab.CompressionType = typMSZIP;
        } else if (v.startsWith(QLatin1String("lzx:"))) {
            bool ok = false;
            const int bits = v.mid(4).toInt(&ok);
            if (!ok || bits < 15 || bits > 21)
                return options.Usage(QStringLiteral("LZX window bits are 15..21"));
            cab.CompressionType = typLZX;
            cab.LZXMemory = TLZXMemory(bits - 15);
        } else {
            return options.Usage(QStringLiteral("compression is none, mszip or lzx:15..21"));
        }
    }
    if (files.isEmpty())
        return options.Usage(QStringLiteral("create needs at least one file"));
    for (const QString &f : files) {
        TCABFileEntry &e = cab.CABFileContents.Add();
        e.Name = f;
        e.RelPath = relPath;
    }
    Progress progress(Progress::Wanted(options.IsSet(QStringLiteral("quiet"))));
    if (progress.Shown()) {
        // The writer reports the bytes it has consumed; the files are read one after the other,
        // so the sizes before each file tell which one is being packed.
        auto ends = std::make_shared<QList<qint64>>();
        qint64 end = 0;
        for (const QString &f : files)
            ends->append(end += qMax<qint64>(fsys::Size(f), 0));
        cab.OnCompressProgress = [&progress, ends, files](TCABFile *, qint32 consumed, qint32) {
            qsizetype i = 0;
            while (i + 1 < ends->size() && ends->at(i) <= consumed)
                ++i;
            const bool all = consumed >= ends->last();
            progress.Update(all ? ends->size() : i, ends->size(), DisplayPath(QFileInfo(files.at(i)).fileName()));
        };
        progress.Update(0, files.size(), DisplayPath(QFileInfo(files.first()).fileName()));
    }
    cab.CreateCabinet(); // failures throw ECABFileError: reported with exit status 1
    return 0;
}

int Run(const QStringList &argsIn)
{
    QStringList args = argsIn;
    if (args.isEmpty())
        return UsageError("cab", QStringLiteral("give list, extract, create or test"));
    const QString sub = args.takeFirst();
    if (sub == QLatin1String("create"))
        return Create(args);
    for (const ReadingAction &action : kReadingActions)
        if (sub == QLatin1String(action.name))
            return RunReadingAction(action, args);
    return UsageError("cab", QStringLiteral("unknown action %1").arg(sub));
}
} // namespace

ZORVAK_CLI_COMMAND("cab", "list, extract, create and test cabinet files",
                   "Usage: zorvak-cli cab list FILE [--json]\n"
                   "         name, size and date (YYYY-MM-DD HH:MM:SS) of each file, tab-separated;\n"
                   "         --json: one JSON document, {\"cabinet\": FILE, \"files\": [{\"name\", \"size\", \"time\"}]}\n"
                   "       zorvak-cli cab extract FILE DIR [--quiet]\n"
                   "         writes every file below DIR (existing files are replaced)\n"
                   "       zorvak-cli cab create OUT [--compression none|mszip|lzx:15..21] [--relpath R] [--quiet] FILE...\n"
                   "         builds OUT from the files, stored under R (default mszip, root)\n"
                   "       zorvak-cli cab test FILE\n"
                   "         exit 0 when every file decodes and every checksum holds\n"
                   "On a terminal, extract and create show their progress on standard error (done/total and\n"
                   "the current file); --quiet leaves it out.",
                   Run);
