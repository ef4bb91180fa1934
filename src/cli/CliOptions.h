#pragma once
// Option parsing for verbs: QCommandLineParser with the CLI's conventions. "--opt value" and
// "--opt=value" both work, "--" ends the options, and wrong usage (an unknown option, a missing
// value) is reported as "zorvak-cli VERB: ..." with exit status 2.
#include "cli/CliCommand.h"

#include <QCommandLineParser>

namespace zorvak::cli {

// Parses the verb's arguments. On wrong usage prints it and returns false; `*status` is then 2.
inline bool ParseVerbOptions(QCommandLineParser &parser, const char *verb, const QStringList &args, int *status)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (parser.parse(QStringList{QString::fromLatin1(verb)} + args))
        return true;
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
        *status = UsageError(verb, QStringLiteral("unexpected argument: --") + unknown.first());
    else
        *status = UsageError(verb, parser.errorText());
    return false;
}

} // namespace zorvak::cli
