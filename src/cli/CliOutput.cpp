// Standard output and error of zorvak-cli, and the one way its verbs report errors.
#include "cli/CliCommand.h"
#include "cli/Progress.h"
#include "common/PathBytes.h"

#include <QJsonDocument>

namespace zorvak::cli {

QTextStream &Out()
{
    static QTextStream out(stdout);
    return out;
}

QTextStream &Err()
{
    static QTextStream err(stderr);
    return err;
}

QString TerminalText(const QString &text)
{
    // Bytes of a name that are not UTF-8 are shown escaped ("caf\xe9"), as they are on disk.
    QString shown = EscapedPath(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

int PrintError(const char *verb, const QString &text)
{
    Progress::ClearCurrent();
    Err() << "zorvak-cli " << verb << ": " << TerminalText(text) << "\n";
    Err().flush();
    return 1;
}

int UsageError(const char *verb, const QString &message)
{
    PrintError(verb, message);
    return 2;
}

void WriteJson(const QJsonObject &document)
{
    Out() << QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented));
    Out().flush();
}

} // namespace zorvak::cli
