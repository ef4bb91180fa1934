#pragma once
// TMessengerContentInstaller: the content installer the restore hands a package URL to.
//
// InstallFromUrl returns at once. A worker thread then fetches the URL over HTTP (HEAD, then
// GET), checks the package and installs it into the local content library (TContentLibrary);
// the result code reaches OnContentInstalled on the thread that owns the installer (the main
// thread), through its event loop (OnWaiting before it when another installation holds the
// library and this one waits its turn): 0 on success, DownloadFailed when the package could not be
// fetched, InstallFailed or TooManyItems when the package was refused.
#include "common/Exceptions.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace zorvak {

// The installer cannot take the call (one installation at a time; a library that cannot be
// created).
ZORVAK_EXCEPTION_CLASS(EOleSysError)

class TMessengerContentInstaller;
using TMessengerContentInstallerOnContentInstalled =
    std::function<void(TMessengerContentInstaller *ASender, qint32 lhrResult)>;

class TMessengerContentInstaller : public QObject {
    Q_OBJECT
public:
    explicit TMessengerContentInstaller(QObject *owner = nullptr);
    ~TMessengerContentInstaller() override; // disconnects

    // Starts an installation from an http:// URL and returns at once. Raises EOleSysError when
    // an installation is still running or the library folder cannot be created.
    void InstallFromUrl(const QString &url);
    TMessengerContentInstallerOnContentInstalled OnContentInstalled;
    // Another installation holds the content library: this one waits for it (called once, on
    // the owner's thread, before OnContentInstalled).
    std::function<void(TMessengerContentInstaller *ASender)> OnWaiting;

    // Where packages are installed; TContentLibrary::DefaultFolder() unless set.
    QString LibraryFolder;
    bool Busy() const;
    // Abandons a running installation (its download is cut, its event never comes) and waits
    // for the worker to end.
    void Disconnect();

private:
    void Completed(quint64 serial, qint32 result);
    struct Job;
    quint64 m_serial = 0;
    std::shared_ptr<Job> m_job;
};

} // namespace zorvak
