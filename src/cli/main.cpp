// zorvak-cli: the command-line companion.
#include "cli/CliCommand.h"
#include "shell/DialogService.h"

#include <QCoreApplication>
#include <algorithm>

namespace zorvak::cli {

namespace {
QList<Command> &Registry()
{
    static QList<Command> commands;
    return commands;
}

void PrintHelp()
{
    Out() << "Usage: zorvak-cli VERB [ARGUMENTS...]\n"
             "The command-line companion of Zorvak: find, show, save, back up and install\n"
             "Messenger content without a window.\n\n"
             "Verbs:\n";
    for (const Command &c : Registry())
        Out() << "  " << QString::fromLatin1(c.name).leftJustified(12) << c.summary << "\n";
    Out() << "\nOptions:\n  --help      this text (VERB --help: the verb's own)\n"
             "  --version   the program's version\n"
             "\nIn every verb, --NAME=VALUE is the same as --NAME VALUE, options may follow the other\n"
             "arguments, and \"--\" ends the options (give a file named \"-x\" after it).\n";
}

// "--help" or "-h" among a verb's options asks for its help; after "--" it is an argument.
bool AsksForHelp(const QStringList &args)
{
    for (const QString &a : args) {
        if (a == QLatin1String("--"))
            return false;
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return true;
    }
    return false;
}
} // namespace

void Register(const Command &command)
{
    Registry().append(command);
    std::sort(Registry().begin(), Registry().end(),
              [](const Command &a, const Command &b) { return qstrcmp(a.name, b.name) < 0; });
}

const QList<Command> &Commands() { return Registry(); }

} // namespace zorvak::cli

int main(int argc, char *argv[])
{
    using namespace zorvak::cli;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zorvak-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZORVAK_VERSION));
    zorvak::DialogService::Set(std::make_unique<zorvak::BatchDialogService>());

    QStringList args = QCoreApplication::arguments().mid(1);
    int rc = 0;
    if (args.isEmpty()) {
        PrintHelp();
        rc = 2;
    } else if (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")
               || args.first() == QLatin1String("help")) {
        PrintHelp();
    } else if (args.first() == QLatin1String("--version")) {
        Out() << "zorvak-cli " << ZORVAK_VERSION << "\n";
    } else {
        const QString verb = args.takeFirst();
        const Command *found = nullptr;
        for (const Command &c : Commands())
            if (verb == QLatin1String(c.name))
                found = &c;
        if (!found) {
            rc = UsageError(qPrintable(verb), QStringLiteral("unknown verb (see zorvak-cli --help)"));
        } else if (AsksForHelp(args)) {
            Out() << found->usage << "\n";
        } else {
            try {
                rc = found->run(args);
            } catch (const std::exception &e) {
                rc = PrintError(found->name, QString::fromUtf8(e.what()));
            }
        }
    }
    Out().flush();
    Err().flush();
    return rc;
}
