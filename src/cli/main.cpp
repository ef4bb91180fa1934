// zorvak-cli: the command-line companion.
#include "cli/CliCommand.h"
#include "cli/ManPage.h"
#include "common/DesktopCommandLine.h"
#include "common/PathBytes.h"
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

// The parts of the overall help, shared with the manual page.
const char *const kSynopsis = "zorvak-cli VERB [ARGUMENTS...]";
const char *const kIntro = "The command-line companion of Zorvak: find, show, save, back up and install\n"
                           "Messenger content without a window.";
const char *const kOptions = "  --help      this text (VERB --help or help VERB: the verb's own)\n"
                             "  --version   the program's version\n"
                             "  --quiet     (every verb) no progress line on standard error";
const char *const kRules = "In every verb, --NAME=VALUE is the same as --NAME VALUE, options may follow the other\n"
                           "arguments, and \"--\" ends the options (give a file named \"-x\" after it). Paths may be\n"
                           "relative to the current folder. A progress line shows only on a terminal (not with\n"
                           "TERM=dumb); errors start with \"zorvak-cli VERB:\".";
const char *const kExitStatus = "0 success, 1 failure (the operation could not be done), 2 wrong usage.";

void PrintHelp()
{
    Out() << "Usage: " << kSynopsis << "\n" << kIntro << "\n\nVerbs:\n";
    for (const Command &c : Registry())
        Out() << "  " << QString::fromLatin1(c.name).leftJustified(12) << c.summary << "\n";
    Out() << "\nOptions:\n" << kOptions << "\n\n" << kRules << "\n";
}

// The manual page of "zorvak-cli" or "zorvak", from the texts their --help prints; empty for
// another name. Build-time output, not in the help.
QString ManPageOf(const QString &program)
{
    using Block = ManSection::Block;
    ManPageText page;
    page.program = program;
    page.version = QStringLiteral(ZORVAK_VERSION);
    if (program == QLatin1String("zorvak-cli")) {
        page.summary = QStringLiteral("the command-line companion of Zorvak");
        page.synopsis = QString::fromLatin1(kSynopsis);
        page.sections.append({QStringLiteral("DESCRIPTION"),
                              {Block{{}, {}, QString::fromLatin1(kIntro) + QStringLiteral("\n\n") + QString::fromLatin1(kRules)}}});
        ManSection verbs{QStringLiteral("VERBS"), {}};
        for (const Command &c : Registry())
            verbs.blocks.append(Block{QString::fromLatin1(c.name), QString::fromLatin1(c.summary), QString::fromUtf8(c.usage)});
        page.sections.append(verbs);
        page.sections.append({QStringLiteral("OPTIONS"), {Block{{}, {}, QString::fromLatin1(kOptions)}}});
        page.sections.append({QStringLiteral("EXIT STATUS"), {Block{{}, QString::fromLatin1(kExitStatus), {}}}});
        page.sections.append({QStringLiteral("SEE ALSO"), {Block{{}, QStringLiteral("zorvak(1)"), {}}}});
    } else if (program == QLatin1String("zorvak")) {
        const QString usage = zorvak::DesktopUsage();
        page.summary = zorvak::DesktopSummary();
        page.synopsis = usage.section(QLatin1Char('\n'), 0, 0).mid(QStringLiteral("Usage: ").size());
        page.sections.append({QStringLiteral("DESCRIPTION"), {Block{{}, {}, usage.section(QLatin1Char('\n'), 1)}}});
        page.sections.append({QStringLiteral("SEE ALSO"), {Block{{}, QStringLiteral("zorvak-cli(1)"), {}}}});
    } else {
        return {};
    }
    return RenderManPage(page);
}

const Command *Find(const QString &verb)
{
    for (const Command &c : Registry())
        if (verb == QLatin1String(c.name))
            return &c;
    return nullptr;
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

    // Arguments byte for byte: a path that is not UTF-8 still names its file.
    QStringList args = zorvak::ArgumentsFromBytes(argc, argv);
    int rc = 0;
    if (args.isEmpty()) {
        PrintHelp();
        rc = 2;
    } else if ((args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")
                || args.first() == QLatin1String("help")) && args.size() == 1) {
        PrintHelp();
    } else if (args.first() == QLatin1String("help")) {
        const Command *found = Find(args.at(1));
        if (!found || args.size() > 2)
            rc = UsageError("help", found ? QStringLiteral("unexpected argument: ") + args.at(2)
                                          : QStringLiteral("unknown verb %1 (see zorvak-cli --help)").arg(args.at(1)));
        else
            Out() << found->usage << "\n";
    } else if (args.first() == QLatin1String("--manpage") && args.size() == 2) {
        const QString page = ManPageOf(args.at(1));
        if (page.isEmpty())
            rc = UsageError("--manpage", QStringLiteral("no manual page for ") + args.at(1));
        Out() << page;
    } else if (args.first() == QLatin1String("--version")) {
        Out() << "zorvak-cli " << ZORVAK_VERSION << "\n";
    } else {
        const QString verb = args.takeFirst();
        const Command *found = Find(verb);
        if (found)
            zorvak::DialogService::Set(std::make_unique<zorvak::BatchDialogService>(QStringLiteral("zorvak-cli ") + verb));
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
