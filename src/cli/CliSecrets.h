#pragma once
// The Windows account's secret for the verbs that decrypt (backup, map decrypt, dpapi masterkey,
// dpapi unprotect), and the option parsing those verbs share.
//
// A password given with --password is visible to every local user in the process list, so it is
// kept for scripts and test fixtures only. --password-file FILE (or "-" for standard input) and
// --hash-file FILE read it from a file instead; with none of the four options and a terminal on
// standard input, the password is asked for without echo.
#include "backup/DpapiKeyMaterial.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

// The lines of --help that describe the secret options (a literal, to join the verbs' usage texts).
#define ZORVAK_CLI_SECRET_OPTIONS_HELP \
    "  --password P        the Windows account's password; visible to other users of this computer\n" \
    "                      in the process list, so meant for scripts and test fixtures\n" \
    "  --password-file F   reads the password from the first line of F (\"-\": standard input)\n" \
    "  --hash HEX          its SHA-1 (40 hex digits) or NT hash (32); visible like --password\n" \
    "  --hash-file F       reads the hash from the first line of F (\"-\": standard input)\n" \
    "  With none of these and a terminal on standard input, the password is asked for (not shown).\n"

namespace zorvak::cli {

// Parses the arguments of a verb (without the verb itself). Returns the error text of wrong
// usage ("unknown option --x", a missing value, ...), empty when the arguments parse.
// "--opt=value" and "--" work as usual.
QString ParseVerbOptions(QCommandLineParser &parser, const QStringList &args);

// Adds --password, --password-file, --hash and --hash-file.
void AddSecretOptions(QCommandLineParser &parser);


struct SecretResult {
    std::optional<DpapiSecret> secret; // set on success
    QString error;                     // otherwise: what went wrong
    int exitCode = 0;                  // 2 for wrong usage, 1 when a file could not be read
};

// The secret that the options of `parser` give (see the top of this file).
SecretResult ReadSecret(const QCommandLineParser &parser);

// The first line of a secret file ("-": standard input), without its line break. False with
// `error` set when it cannot be read.
bool ReadSecretFile(const QString &path, QString *text, QString *error);

// True when standard input is a terminal.
bool StdinIsTerminal();

// Writes `prompt` to standard error and reads one line from standard input with the terminal's
// echo turned off (and restored). Nothing when standard input ends first.
std::optional<QString> PromptWithoutEcho(const QString &prompt);

} // namespace zorvak::cli
