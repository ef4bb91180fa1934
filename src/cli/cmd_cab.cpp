// zorvak-cli cab: list, extract, create and test Microsoft Cabinet files.
#include "cabinet/cabfiles.h"
#include "cli/CliCommand.h"
#include "cli/CliOptions.h"

namespace {
using namespace zorvak;
using namespace zorvak::cli;

// An input/output error of the cabinet component, printed as the program's error boxes are.
void PrintIoError(TCABFile *, const QString &message) { Err() << "Error: " << message << Qt::endl; }

// The positional arguments of an action without options ("--" allowed before names).
bool Positional(const QStringList &argsIn, QStringList *args, int *status)
{
    QCommandLineParser parser;
    if (!ParseVerbOptions(parser, "cab", argsIn, status))
        return false;
    *args = parser.positionalArguments();
    return true;
}

int List(const QStringList &argsIn)
{
    QStringList args;
    int status = 0;
    if (!Positional(argsIn, &args, &status))
        return status;
    if (args.size() != 1)
        return UsageError("cab", QStringLiteral("list takes one cabinet"));
    TCABFile cab;
    cab.CABFile = args.at(0);
    cab.ListContents();
    if (!cab.LastError().isEmpty()) {
        Err() << "zorvak-cli cab: " << args.at(0) << ": " << cab.LastError() << "\n";
        return 1;
    }
    for (int i = 0; i < cab.CABFileContents.Count(); ++i) {
        const TCABFileEntry &e = cab.CABFileContents[i];
        Out() << e.Name << '\t' << e.Size << '\t' << e.DateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << '\n';
    }
    return 0;
}

int Extract(const QStringList &argsIn)
{
    QStringList args;
    int status = 0;
    if (!Positional(argsIn, &args, &status))
        return status;
    if (args.size() != 2)
        return UsageError("cab", QStringLiteral("extract takes a cabinet and a folder"));
    TCABFile cab;
    cab.CABFile = args.at(0);
    cab.TargetPath = args.at(1);
    cab.OnIOError = PrintIoError;
    const bool ok = cab.ExtractAll();
    if (!cab.LastError().isEmpty())
        Err() << "zorvak-cli cab: " << args.at(0) << ": " << cab.LastError() << "\n";
    return ok ? 0 : 1;
}

int Test(const QStringList &argsIn)
{
    QStringList args;
    int status = 0;
    if (!Positional(argsIn, &args, &status))
        return status;
    if (args.size() != 1)
        return UsageError("cab", QStringLiteral("test takes one cabinet"));
    TCABFile cab;
    cab.CABFile = args.at(0);
    if (!cab.TestAll()) {
        Err() << "zorvak-cli cab: " << args.at(0) << ": " << cab.LastError() << "\n";
        return 1;
    }
    return 0;
}

int Create(const QStringList &argsIn)
{
    QCommandLineParser parser;
    const QCommandLineOption compressionOption(QStringLiteral("compression"), QString(), QStringLiteral("TYPE"));
    const QCommandLineOption relPathOption(QStringLiteral("relpath"), QString(), QStringLiteral("R"));
    parser.addOptions({compressionOption, relPathOption});
    int status = 0;
    if (!ParseVerbOptions(parser, "cab", argsIn, &status))
        return status;
    QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return UsageError("cab", QStringLiteral("create takes an output cabinet and files"));
    TCABFile cab;
    cab.CABFile = files.takeFirst();
    cab.OnIOError = PrintIoError;
    const QString relPath = parser.value(relPathOption);
    if (parser.isSet(compressionOption)) {
        const QString v = parser.value(compressionOption);
        if (v == QLatin1String("none")) {
            cab.CompressionType = typNone;
        } else if (v == QLatin1String("mszip")) {
            cab.CompressionType = typMSZIP;
        } else if (v.startsWith(QLatin1String("lzx:"))) {
            bool ok = false;
            const int bits = v.mid(4).toInt(&ok);
            if (!ok || bits < 15 || bits > 21)
                return UsageError("cab", QStringLiteral("LZX window bits are 15..21"));
            cab.CompressionType = typLZX;
            cab.LZXMemory = TLZXMemory(bits - 15);
        } else {
            return UsageError("cab", QStringLiteral("compression is none, mszip or lzx:15..21"));
        }
    }
    if (files.isEmpty())
        return UsageError("cab", QStringLiteral("create needs at least one file"));
    for (const QString &f : files) {
        TCABFileEntry &e = cab.CABFileContents.Add();
        e.Name = f;
        e.RelPath = relPath;
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
    if (sub == QLatin1String("list"))
        return List(args);
    if (sub == QLatin1String("extract"))
        return Extract(args);
    if (sub == QLatin1String("create"))
        return Create(args);
    if (sub == QLatin1String("test"))
        return Test(args);
    return UsageError("cab", QStringLiteral("unknown action %1").arg(sub));
}
} // namespace

ZORVAK_CLI_COMMAND("cab", "list, extract, create and test cabinet files",
                   "Usage: zorvak-cli cab list FILE\n"
                   "         name, size and date (YYYY-MM-DD HH:MM:SS) of each file, tab-separated\n"
                   "       zorvak-cli cab extract FILE DIR\n"
                   "         writes every file below DIR (existing files are replaced)\n"
                   "       zorvak-cli cab create OUT [--compression none|mszip|lzx:15..21] [--relpath R] FILE...\n"
                   "         builds OUT from the files, stored under R (default mszip, root)\n"
                   "       zorvak-cli cab test FILE\n"
                   "         exit 0 when every file decodes and every checksum holds",
                   Run);
