#include "common/DesktopCommandLine.h"

#include <QFileInfo>

namespace zorvak {

namespace {
bool IsHelp(const QString &a) { return a == QLatin1String("--help") || a == QLatin1String("-h"); }
bool IsVersion(const QString &a) { return a == QLatin1String("--version"); }
} // namespace

bool AsksForHelpOrVersion(const QStringList &arguments)
{
    for (const QString &a : arguments) {
        if (a == QLatin1String("--"))
            return false;
        if (IsHelp(a) || IsVersion(a))
            return true;
    }
    return false;
}

DesktopCommandLine ParseDesktopCommandLine(const QStringList &arguments)
{
    DesktopCommandLine line;
    QStringList files;
    bool optionsEnded = false;
    for (const QString &a : arguments) {
        if (!optionsEnded && a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && IsHelp(a)) {
            line.action = DesktopCommandLine::Action::Help;
            return line;
        } else if (!optionsEnded && IsVersion(a)) {
            line.action = DesktopCommandLine::Action::Version;
            return line;
        } else if (!optionsEnded && a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            if (line.error.isEmpty())
                line.error = QStringLiteral("unknown option: ") + a.section(QLatin1Char('='), 0, 0);
        } else {
            files << a;
        }
    }
    if (line.error.isEmpty() && files.size() > 1)
        line.error = QStringLiteral("unexpected argument: ") + files.at(1);
    if (!line.error.isEmpty()) {
        line.action = DesktopCommandLine::Action::WrongUsage;
        return line;
    }
    if (!files.isEmpty() && !files.first().isEmpty())
        line.package = QFileInfo(files.first()).absoluteFilePath();
    return line;
}

QString DesktopSummary()
{
    return QStringLiteral("find, show, save, back up and re-install the content of old Messenger profiles");
}

QString DesktopUsage()
{
    return QStringLiteral(
        "Usage: zorvak [FILE]\n"
        "Finds the personal content that old Messenger versions keep on disk (custom emoticons,\n"
        "display pictures, backgrounds, winks, voice clips), shows it, saves it, backs it up into\n"
        "MCO packages and installs such packages again.\n"
        "FILE, an MCO package or a cabinet, opens the restore window on it, as Tools > Restore\n"
        "does; a package dropped on the main window does the same, and a folder dropped on the\n"
        "folder list is added to it as \"Manual\" adds one.\n"
        "Options:\n"
        "  --help      this text\n"
        "  --version   the program's version\n"
        "  --          ends the options (give a file named \"-x\" after it)\n"
        "The command line companion, zorvak-cli, does the same work without a window.");
}

} // namespace zorvak
