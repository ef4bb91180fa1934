#pragma once
// Runs a program of the build (or a peer tool) as a user runs it and collects what it wrote.
#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace zorvak::test {

struct TRunOptions {
    QString workingDirectory;  // empty: the test's own
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QByteArray input;          // written to standard input, which is closed after it
    int timeoutMs = 120000;
};

struct TProgramRun {
    int code = -1;      // the exit code; -1 when the program did not start, crashed or ran too long
    QByteArray output;  // standard output as written
    QString out;        // standard output read as UTF-8
    QString err;        // standard error read as UTF-8
};

TProgramRun RunProgram(const QString &program, const QStringList &args, const TRunOptions &options = {});

} // namespace zorvak::test
