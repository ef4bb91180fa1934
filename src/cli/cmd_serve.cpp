// zorvak-cli serve DIR [--ip ADDRESS] [--port N]: the restore's web server on its own.
#include "cli/CliCommand.h"
#include "cli/VerbOptions.h"
#include "restore/RestoreCore.h"
#include "restore/WebServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <pthread.h>
#include <thread>

namespace {

int Run(const QStringList &args)
{
    using namespace zorvak;
    using namespace zorvak::cli;
    VerbOptions options("serve");
    options.Value(QStringLiteral("ip"), QStringLiteral("ADDRESS"), QStringLiteral("an address"))
        .Value(QStringLiteral("port"), QStringLiteral("N"), QStringLiteral("a port number"));
    if (!options.Parse(args))
        return options.UsageStatus();
    int status = 0;
    const std::optional<QString> dirGiven = options.OnlyArgument(QStringLiteral("give the folder to serve"), &status);
    if (!dirGiven)
        return status;
    const QString dir = *dirGiven;
    const TListenSettings defaults;
    const QString ip = options.IsSet(QStringLiteral("ip")) ? options.Get(QStringLiteral("ip")) : defaults.address;
    const QString port = options.Get(QStringLiteral("port"));
    if (!QFileInfo(dir).isDir())
        return options.Fail(QStringLiteral("no such folder: ") + dir);

    // Ctrl+C and TERM end the loop; they are taken by a thread of their own so that no
    // connection thread is interrupted.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::thread([stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    }).detach();

    THTTPServer server;
    server.SetServedFolder(QDir(dir).absolutePath());
    // The URL of each request, printed on the main thread.
    server.OnCommand = [&server](const QString &method, const QString &path, int code) {
        const QString line = QStringLiteral("http://%1:%2%3\t%4\t%5")
                                 .arg(HostForUrl(server.Address())).arg(server.Port()).arg(path, method).arg(code);
        QMetaObject::invokeMethod(QCoreApplication::instance(), [line] { Out() << line << Qt::endl; },
                                  Qt::QueuedConnection);
    };
    // An explicit port is used as given; without one the restore's default with its fallback.
    const bool simple = port.isEmpty();
    if (!StartWebServer(server, ip, simple ? QString::number(defaults.port) : port, simple, {}))
        return 1;
    Err() << "Serving " << QDir(dir).absolutePath() << " at http://" << HostForUrl(server.Address()) << ":" << server.Port()
          << "/ (Ctrl+C stops)" << Qt::endl;
    QCoreApplication::exec();
    server.Deactivate();
    Out().flush();
    return 0;
}

} // namespace

ZORVAK_CLI_COMMAND("serve", "serve a folder over HTTP as the restore does",
                   "Usage: zorvak-cli serve DIR [--ip ADDRESS] [--port N]\n"
                   "Serves the files of DIR (GET, POST, HEAD; one request per connection) until\n"
                   "interrupted, printing for each request: URL, a tab, the method, a tab, the status.\n"
                   "Without --port it tries port 79 and then drawn ports; --ip defaults to 127.0.0.1.",
                   Run);
