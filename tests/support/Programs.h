#pragma once
// The programs of this build that tests run as a user runs them, the JSON they print, and the
// demo profile they run over.
#include "support/RunProgram.h"
#include "support/TestEnv.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace zorvak::test {

QString CliProgram();         // zorvak-cli of this build
QString DemoProfileProgram(); // the tool that writes the demo profile

// zorvak-cli with `args`; standard input is closed at once, so it never waits for a password.
TProgramRun RunCli(const QStringList &args, const TRunOptions &options = {});

// `commandLine` (program first) run on a pseudo-terminal (util-linux "script"), so that its
// standard error is a terminal; `out` holds everything the terminal received. Callers skip when
// HasTerminalRunner() is false.
bool HasTerminalRunner();
TProgramRun RunOnTerminal(const QStringList &commandLine, const TRunOptions &options = {});

// The JSON object a program printed; text that is no JSON object fails the calling test.
QJsonObject JsonObjectOf(const QString &text);

// A fixture with a fresh demo profile in env.path("demo"): its Application Data folder and the
// Messenger folder of its user Alice.
class DemoProfileTest : public EnvTest {
protected:
    void SetUp() override; // fails the test when the profile cannot be written
    QString demo;          // the profile's root
    QString appData;       // .../Documents and Settings/Alice/Application Data
    QString alice;         // Alice's Messenger user folder, without a trailing '/'
    inline static const QString kAliceEmail = QStringLiteral("alice.demo@hotmail.com");
    inline static const QString kDemoPassword = QStringLiteral("zorvak-demo");
    // The names of Alice's and Bob's Messenger user folders.
    inline static const QString kAliceId = QStringLiteral("1596456324");
    inline static const QString kBobId = QStringLiteral("3225867861");
};

} // namespace zorvak::test
