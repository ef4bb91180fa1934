#pragma once
// The command line of the desktop program, "zorvak [FILE]": FILE, an MCO package or a cabinet,
// opens the restore window on it (what the file manager does with a package). The text of
// "zorvak --help" is kept here, in the core, so that the manual page is made from the same text.
#include <QString>
#include <QStringList>

namespace zorvak {

struct DesktopCommandLine {
    enum class Action { Run, Help, Version, WrongUsage };
    Action action = Action::Run;
    QString package; // the package to open, absolute; empty for none
    QString error;   // with WrongUsage: what is wrong
};

// Reads the program's arguments (the program's name excluded; the toolkit's own options already
// taken out). "--help"/"-h" and "--version" win over anything else before "--"; "--" ends the
// options; at most one FILE.
DesktopCommandLine ParseDesktopCommandLine(const QStringList &arguments);
// True when the arguments ask for the help or the version, which need no window system.
bool AsksForHelpOrVersion(const QStringList &arguments);

// The text "zorvak --help" prints, line by line: its first line is the synopsis.
QString DesktopUsage();
// One line saying what the program is, for the overall help and the manual pages.
QString DesktopSummary();

} // namespace zorvak
