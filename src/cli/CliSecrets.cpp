#include "cli/CliSecrets.h"

#include "common/Exceptions.h"

#include <QFile>
#include <cstdio>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace zorvak::cli {

namespace {
const QString kPassword = QStringLiteral("password");
const QString kPasswordFile = QStringLiteral("password-file");
const QString kHash = QStringLiteral("hash");
const QString kHashFile = QStringLiteral("hash-file");
const QString kProtectDir = QStringLiteral("protect-dir");

QString FirstLine(const QByteArray &data)
{
    qsizetype end = data.size();
    for (qsizetype i = 0; i < data.size(); ++i)
        if (data.at(i) == '\n' || data.at(i) == '\r') {
            end = i;
            break;
        }
    return QString::fromUtf8(data.left(end));
}
} // namespace

void AddSecretOptions(VerbOptions &options)
{
    const QString file = QStringLiteral("a file (\"-\": standard input)");
    options.Value(kPassword, QStringLiteral("P"), QStringLiteral("a password"))
        .Value(kPasswordFile, QStringLiteral("FILE"), file)
        .Value(kHash, QStringLiteral("HEX"), QStringLiteral("a hash"))
        .Value(kHashFile, QStringLiteral("FILE"), file);
}

void AddKeyOptions(VerbOptions &options)
{
    options.Value(kProtectDir, QStringLiteral("DIR"), QStringLiteral("a folder"));
    AddSecretOptions(options);
}

SecretResult ReadSecret(const VerbOptions &options)
{
    SecretResult result;
    int given = 0;
    for (const QString &name : {kPassword, kPasswordFile, kHash, kHashFile})
        given += options.IsSet(name) ? 1 : 0;
    if (given > 1 || (given == 0 && !StdinIsTerminal())) {
        result.error = QStringLiteral("give either --password or --hash (or --password-file, --hash-file)");
        result.exitCode = 2;
        return result;
    }
    QString text;
    bool isHash = options.IsSet(kHash) || options.IsSet(kHashFile);
    if (options.IsSet(kPassword) || options.IsSet(kHash)) {
        text = options.Get(isHash ? kHash : kPassword);
    } else if (options.IsSet(kPasswordFile) || options.IsSet(kHashFile)) {
        if (!ReadSecretFile(options.Get(isHash ? kHashFile : kPasswordFile), &text, &result.error)) {
            result.exitCode = 1;
            return result;
        }
    } else {
        const std::optional<QString> typed = PromptWithoutEcho(QStringLiteral("Windows password: "));
        if (!typed) {
            result.error = QStringLiteral("no password was typed");
            result.exitCode = 2;
            return result;
        }
        text = *typed;
    }
    try {
        result.secret = isHash ? DpapiSecret::FromHashHex(text) : DpapiSecret::FromPassword(text);
    } catch (const EConvertError &e) {
        result.error = e.Message();
        result.exitCode = 2;
    }
    return result;
}

std::optional<DpapiSecret> SecretOrReport(const VerbOptions &options, int *status)
{
    const SecretResult result = ReadSecret(options);
    if (!result.secret)
        *status = result.exitCode == 2 ? options.Usage(result.error) : options.Fail(result.error);
    return result.secret;
}

std::optional<DpapiKeyMaterial> KeyOrReport(const VerbOptions &options, int *status, bool wineMaps)
{
    bool given = false;
    for (const QString &name : {kPassword, kPasswordFile, kHash, kHashFile})
        given = given || options.IsSet(name);
    if (wineMaps && !given)
        return WineKeyMaterial();
    const std::optional<DpapiSecret> secret = SecretOrReport(options, status);
    if (!secret)
        return std::nullopt;
    DpapiKeyMaterial key;
    key.protectDir = options.Get(kProtectDir);
    key.secret = *secret;
    return key;
}

bool ReadSecretFile(const QString &path, QString *text, QString *error)
{
    QFile file;
    const bool open = path == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                   : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!open) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    // One line is all a secret needs; reading stops there (standard input may stay open).
    const QByteArray line = file.readLine(64 * 1024);
    *text = FirstLine(line);
    return true;
}

bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }

std::optional<QString> PromptWithoutEcho(const QString &prompt)
{
    termios saved{};
    const bool terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        quiet.c_lflag |= ECHONL;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    // The prompt comes once the echo is off, so that nothing typed after it is shown.
    std::fputs(prompt.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    std::string line;
    bool ended = true;
    for (int c; (c = std::fgetc(stdin)) != EOF;) {
        ended = false;
        if (c == '\n')
            break;
        line.push_back(char(c));
    }
    if (terminal)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    if (ended)
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QString::fromStdString(line);
}

} // namespace zorvak::cli
