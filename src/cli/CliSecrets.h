#pragma once
// The Windows account's secret for the verbs that decrypt (backup, map decrypt, dpapi masterkey,
// dpapi unprotect): the options that give it, added to a verb's VerbOptions, and their reading.
//
// A password given with --password is visible to every local user in the process list, so it is
// kept for scripts and test fixtures only. --password-file FILE (or "-" for standard input) and
// --hash-file FILE read it from a file instead; with none of the four options and a terminal on
// standard input, the password is asked for without echo.
#include "dpapi/DpapiKeyMaterial.h"
#include "cli/VerbOptions.h"

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
    "  With none of these and a terminal on standard input, the password is asked for (not shown).\n" \
    "  Maps that Wine protected need none of them: the user names of their Wine prefix open them.\n"

namespace zorvak::cli {

// Adds --password, --password-file, --hash and --hash-file to a verb's options.
void AddSecretOptions(VerbOptions &options);
// Adds --protect-dir DIR (the profile's "Application Data/Microsoft/Protect" folder) and the
// secret options: what the verbs that decrypt a file need.
void AddKeyOptions(VerbOptions &options);

struct SecretResult {
    std::optional<DpapiSecret> secret; // set on success
    QString error;                     // otherwise: what went wrong
    int exitCode = 0;                  // 2 for wrong usage, 1 when a file could not be read
};

// The secret that the parsed `options` give (see the top of this file).
SecretResult ReadSecret(const VerbOptions &options);

// The same for a verb: a failure is reported as "zorvak-cli VERB: ..." and `*status` set to its
// exit status (2 for wrong usage, 1 when a file could not be read); nothing is returned then.
std::optional<DpapiSecret> SecretOrReport(const VerbOptions &options, int *status);
// The key material of options added by AddKeyOptions: --protect-dir (empty when not given) and
// the secret, reported like SecretOrReport when it cannot be had. When `wineMaps` (the maps to open
// were all protected by Wine) and no secret option is given, WineKeyMaterial(): nothing is asked.
std::optional<DpapiKeyMaterial> KeyOrReport(const VerbOptions &options, int *status, bool wineMaps = false);

// The first line of a secret file ("-": standard input), without its line break. False with
// `error` set when it cannot be read.
bool ReadSecretFile(const QString &path, QString *text, QString *error);

// True when standard input is a terminal.
bool StdinIsTerminal();

// Writes `prompt` to standard error and reads one line from standard input with the terminal's
// echo turned off (and restored). Nothing when standard input ends first.
std::optional<QString> PromptWithoutEcho(const QString &prompt);

} // namespace zorvak::cli
