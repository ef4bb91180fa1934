#include "support/RunProgram.h"

#include <QProcess>

namespace zorvak::test {

TProgramRun RunProgram(const QString &program, const QStringList &args, const TRunOptions &options)
{
    QProcess p;
    p.setWorkingDirectory(options.workingDirectory);
    p.setProcessEnvironment(options.environment);
    p.start(program, args);
    // A program that reads standard input sees its end instead of waiting for the time limit.
    p.write(options.input);
    p.closeWriteChannel();
    TProgramRun r;
    if (!p.waitForFinished(options.timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    if (p.exitStatus() == QProcess::NormalExit)
        r.code = p.exitCode();
    r.output = p.readAllStandardOutput();
    r.out = QString::fromUtf8(r.output);
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace zorvak::test
