#include "restore/MessengerContentInstallerLibrary_TLB.h"

#include "restore/ContentLibrary.h"

#include "common/RunFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <QUrl>

#include <httplib.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace zorvak {

struct TMessengerContentInstaller::Job {
    quint64 serial = 0;
    std::thread worker;
    std::atomic<bool> cancel{false};
    std::mutex clientMutex;
    httplib::Client *client = nullptr;

    // Fetches the package into `file`; false when the download failed.
    bool Download(const QString &url, QFile &file)
    {
        const QUrl u(url);
        if (u.scheme() != QLatin1String("http") || u.host().isEmpty())
            return false;
        httplib::Client cli(u.host().toStdString(), u.port(80));
        cli.set_connection_timeout(5, 0);
        cli.set_read_timeout(30, 0);
        cli.set_keep_alive(false);
        {
            std::lock_guard<std::mutex> lock(clientMutex);
            if (cancel.load())
                return false;
            client = &cli;
        }
        struct Release {
            Job *job;
            ~Release()
            {
                std::lock_guard<std::mutex> lock(job->clientMutex);
                job->client = nullptr;
            }
        } release{this};
        std::string path = u.path(QUrl::FullyEncoded).toStdString();
        if (path.empty())
            path = "/";
        if (u.hasQuery())
            path += "?" + u.query(QUrl::FullyEncoded).toStdString();
        const httplib::Result head = cli.Head(path);
        if (!head || head->status != 200 || cancel.load())
            return false;
        bool written = true;
        const httplib::Result get = cli.Get(path, [&](const char *data, size_t length) {
            written = written && file.write(data, qint64(length)) == qint64(length);
            return written && !cancel.load();
        });
        if (!get || get->status != 200 || !written || !file.flush())
            return false;
        if (head->has_header("Content-Length")
            && head->get_header_value("Content-Length") != std::to_string(file.size()))
            return false;
        return true;
    }
};

TMessengerContentInstaller::TMessengerContentInstaller(QObject *owner)
    : QObject(owner), LibraryFolder(TContentLibrary::DefaultFolder())
{
}

TMessengerContentInstaller::~TMessengerContentInstaller() { Disconnect(); }

bool TMessengerContentInstaller::Busy() const { return m_job != nullptr; }

void TMessengerContentInstaller::InstallFromUrl(const QString &url)
{
    if (m_job)
        throw EOleSysError(QStringLiteral("An installation is already in progress."));
    if (!QDir().mkpath(LibraryFolder))
        throw EOleSysError(QStringLiteral("Cannot create the content library folder \"%1\".").arg(LibraryFolder));
    auto library = std::make_shared<TContentLibrary>(LibraryFolder, TContentLibrary::SubdirsInUse());
    auto job = std::make_shared<Job>();
    job->serial = ++m_serial;
    m_job = job;
    Job *j = job.get();
    const quint64 serial = job->serial;
    job->worker = std::thread([this, j, serial, url, library] {
        qint32 result;
        // The download lies in a folder of this run, which a later run removes should this one
        // be killed.
        std::unique_ptr<fileops::TRunFolder> run = fileops::TRunFolder::Create(fileops::PrivateTempBase());
        std::unique_ptr<QFile> package;
        bool opened;
        if (run) {
            package = std::make_unique<QFile>(run->Path() + QStringLiteral("package.mco"));
            opened = package->open(QIODevice::WriteOnly | QIODevice::NewOnly);
        } else { // no private folder for temporary files: a temporary file of the system's kind
            auto temporary = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/zorvak-download-XXXXXX.mco"));
            opened = temporary->open();
            package = std::move(temporary);
        }
        if (!opened || !j->Download(url, *package)) {
            result = DownloadFailed;
        } else {
            package->flush();
            const auto waiting = [this, serial] {
                QMetaObject::invokeMethod(this, [this, serial] {
                    if (m_job && m_job->serial == serial && OnWaiting)
                        OnWaiting(this);
                }, Qt::QueuedConnection);
            };
            result = library->InstallPackage(package->fileName(), &j->cancel, waiting);
        }
        package.reset();
        run.reset();
        if (!j->cancel.load())
            QMetaObject::invokeMethod(this, [this, serial, result] { Completed(serial, result); }, Qt::QueuedConnection);
    });
}

void TMessengerContentInstaller::Completed(quint64 serial, qint32 result)
{
    if (!m_job || m_job->serial != serial)
        return; // an installation that was abandoned
    if (m_job->worker.joinable())
        m_job->worker.join();
    m_job.reset();
    if (OnContentInstalled)
        OnContentInstalled(this, result);
}

void TMessengerContentInstaller::Disconnect()
{
    if (!m_job)
        return;
    {
        std::lock_guard<std::mutex> lock(m_job->clientMutex);
        m_job->cancel = true;
        if (m_job->client)
            m_job->client->stop();
    }
    if (m_job->worker.joinable())
        m_job->worker.join();
    m_job.reset();
}

} // namespace zorvak
