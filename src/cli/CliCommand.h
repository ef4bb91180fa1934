#pragma once
// zorvak-cli verbs. Each verb lives in its own cmd_*.cpp and registers itself with
// ZORVAK_CLI_COMMAND. Conventions: results on standard output, one record a line, tab-separated;
// messages on standard error; exit 0 on success, 1 when the operation failed, 2 for wrong usage.
#include <QJsonObject>
#include <QStringList>
#include <QTextStream>
#include <functional>

namespace zorvak::cli {

struct Command {
    const char *name;
    const char *summary;   // one line for the overall help
    const char *usage;     // full help of the verb (printed by "VERB --help")
    std::function<int(const QStringList &args)> run; // args exclude the verb itself
};

void Register(const Command &command);
const QList<Command> &Commands();

QTextStream &Out();
QTextStream &Err();
// A text as a terminal shows it: the carriage returns that the catalogue and the program's error
// texts use as line separators become line feeds ("\r\n" one line feed).
QString TerminalText(const QString &text);
// Prints "zorvak-cli VERB: text" (then a line feed) to standard error, the text's carriage
// returns as line breaks, and returns 1, the failure status. Every error a verb reports goes
// through here or through UsageError.
int PrintError(const char *verb, const QString &text);
// The same for wrong usage; returns 2.
int UsageError(const char *verb, const QString &message);

// Prints one JSON document on standard output (the --json form of a verb's results).
void WriteJson(const QJsonObject &document);

struct Registrar {
    explicit Registrar(const Command &command) { Register(command); }
};

} // namespace zorvak::cli

#define ZORVAK_CLI_CONCAT2(a, b) a##b
#define ZORVAK_CLI_CONCAT(a, b) ZORVAK_CLI_CONCAT2(a, b)
#define ZORVAK_CLI_COMMAND(...) \
    static const ::zorvak::cli::Registrar ZORVAK_CLI_CONCAT(zorvakCliRegistrar_, __LINE__)(::zorvak::cli::Command{__VA_ARGS__})
