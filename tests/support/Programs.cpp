#include "support/Programs.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QStandardPaths>

namespace zorvak::test {

QString CliProgram() { return QStringLiteral(ZORVAK_TEST_CLI); }

QString DemoProfileProgram() { return QStringLiteral(ZORVAK_TEST_DEMO_PROFILE); }

TProgramRun RunCli(const QStringList &args, const TRunOptions &options)
{
    return RunProgram(CliProgram(), args, options);
}

bool HasTerminalRunner() { return !QStandardPaths::findExecutable(QStringLiteral("script")).isEmpty(); }

TProgramRun RunOnTerminal(const QStringList &commandLine, const TRunOptions &options)
{
    // One shell word per argument, quotes inside it included.
    QStringList quoted;
    for (const QString &a : commandLine)
        quoted << QLatin1Char('\'') + QString(a).replace(QLatin1String("'"), QLatin1String("'\\''")) + QLatin1Char('\'');
    return RunProgram(QStringLiteral("script"),
                      {QStringLiteral("-qec"), quoted.join(QLatin1Char(' ')), QStringLiteral("/dev/null")}, options);
}

QJsonObject JsonObjectOf(const QString &text)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError)
        ADD_FAILURE() << "no JSON (" << error.errorString().toStdString() << "):\n" << text.toStdString();
    else if (!document.isObject())
        ADD_FAILURE() << "JSON, but no object:\n" << text.toStdString();
    return document.object();
}

void DemoProfileTest::SetUp()
{
    demo = env.path(QStringLiteral("demo"));
    const TProgramRun made = RunProgram(DemoProfileProgram(), {demo});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    appData = demo + QStringLiteral("/Documents and Settings/Alice/Application Data");
    alice = appData + QStringLiteral("/Microsoft/MSN Messenger/") + kAliceId;
}

} // namespace zorvak::test
