#include "restore/RestoreCore.h"
#include "common/PathBytes.h"

#include "common/FileOps.h"
#include "restore/WebServer.h"
#include "shell/uLanguage.h"
#include "shell/unitCustomDlg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <random>

namespace zorvak {

QString PackageStageFolder(const QString &programFolder)
{
    QString folder = programFolder;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + QLatin1String(PackageServeFolderName) + QLatin1Char('/');
}

std::unique_ptr<TPackageStage> TPackageStage::Create(const QString &programFolder, const QString &source, QString *reason)
{
    const QString stageFolder = PackageStageFolder(programFolder);
    QString error;
    auto run = fileops::TRunFolder::Create(stageFolder, &error);
    if (!run) {
        if (reason)
            *reason = error;
        return nullptr;
    }
    std::unique_ptr<TPackageStage> stage(new TPackageStage(stageFolder, std::move(run)));
    if (!CopyPackage(source, stage->CopyPath(), reason))
        return nullptr;
    return stage;
}

TPackageStage::TPackageStage(QString stageFolder, std::unique_ptr<fileops::TRunFolder> run)
    : m_stageFolder(std::move(stageFolder)), m_run(std::move(run))
{
}

TPackageStage::~TPackageStage()
{
    m_run.reset();
    QDir().rmdir(m_stageFolder); // only when empty: another run's copy keeps it
}

QString TPackageStage::Folder() const { return m_run->Path(); }

QString TPackageStage::CopyPath() const { return Folder() + QLatin1String(PackageCopyName); }

QString HostForUrl(const QString &address)
{
    return address.contains(QLatin1Char(':')) && !address.startsWith(QLatin1Char('['))
               ? QLatin1Char('[') + address + QLatin1Char(']')
               : address;
}

QString PackageUrl(const QString &address, int port)
{
    return QStringLiteral("http://") + HostForUrl(address) + QLatin1Char(':') + QString::number(port) + QLatin1Char('/')
           + QLatin1String(PackageCopyName);
}

int PortFromText(const QString &text, bool *replaced)
{
    bool ok = false;
    int port = text.trimmed().toInt(&ok);
    if (!ok)
        port = -1;
    const bool bad = port < 1 || port > 65535;
    if (replaced)
        *replaced = bad;
    return bad ? 79 : port;
}

bool StartWebServer(THTTPServer &server, const QString &ipText, const QString &portText, bool simpleMode,
                    const std::function<void(const QString &portText)> &showPort, TListenSettings *taken)
{
    TListenSettings listen;
    listen.address = ipText;
    bool replaced = false;
    listen.port = PortFromText(portText, &replaced);
    if (replaced && showPort)
        showPort(QStringLiteral("79"));
    if (taken)
        *taken = listen;
    server.Deactivate();
    server.SetBinding(listen.address, listen.port);
    int retries = 0;
    for (;;) {
        QString kind;
        QString text;
        bool unavailable = false;
        try {
            server.Activate();
            return true;
        } catch (const ESocketBindError &e) {
            kind = e.ClassName();
            text = e.Message();
            unavailable = text.contains(QLatin1String("Address and port are already in use")) || e.PortUnavailable();
        } catch (const Exception &e) {
            kind = e.ClassName();
            text = e.Message();
        } catch (const std::exception &e) {
            kind = QStringLiteral("Exception");
            text = QString::fromUtf8(e.what());
        }
        server.Deactivate();
        if (unavailable && simpleMode && retries <= 10) {
            std::mt19937 random(unsigned(std::chrono::system_clock::now().time_since_epoch().count()));
            const int drawn = std::uniform_int_distribution<int>(1, 65534)(random);
            server.SetBinding(listen.address, drawn);
            if (showPort)
                showPort(QString::number(drawn));
            ++retries;
            QThread::msleep(100);
            continue;
        }
        QString message = QStringLiteral("Error activating web server, exception ") + kind + QStringLiteral(":\r") + text;
        if (unavailable)
            message += QStringLiteral("\r\r") + CurrentLanguage().Get(QStringLiteral("PortUsed"));
        LangMessageDlg(message, TMsgDlgType::mtError, mbOK);
        return false;
    }
}

QString ContentInstalledMessage(qint32 result, TMsgDlgType *kind)
{
    *kind = TMsgDlgType::mtError;
    switch (quint32(result)) {
    case 0:
        *kind = TMsgDlgType::mtInformation;
        return CurrentLanguage().Get(QStringLiteral("InstallSuccess"));
    case 0x80004005u:
        return CurrentLanguage().Get(QStringLiteral("InstallError"));
    case 0x8100036Cu:
        return CurrentLanguage().Get(QStringLiteral("InstallError2"));
    case 0x80070057u:
        return QStringLiteral("Error occured.\rProbably because the number of items listed in content.xml exceeds 200.");
    default:
        return QStringLiteral("Error occured. Error code = ") + QString::number(result);
    }
}

bool IsPackageFile(const QString &path)
{
    if (path.isEmpty() || !fileops::IsRegularFile(path))
        return false;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("mco") || suffix == QLatin1String("cab"))
        return true;
    // Opened without blocking and checked again once open, in case the file was replaced by a
    // FIFO in between.
    const int fd = ::open(PathToBytes(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    char head[4] = {};
    const bool package = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::read(fd, head, 4) == 4
                         && QByteArray(head, 4) == QByteArrayLiteral("MSCF");
    ::close(fd);
    return package;
}

QString NextPartFile(const QString &path)
{
    const QFileInfo info(path);
    QString folder = info.path();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot >= 0 ? name.mid(dot) : QString();
    name.chop(qMin<qsizetype>(4, name.size()));
    const qsizetype p = name.indexOf(QLatin1String("-part"), 0, Qt::CaseSensitive) + 1; // 1-based
    if (p < 2)
        return {};
    const QString digits = name.mid(p + 4);
    bool ok = !digits.isEmpty();
    for (QChar c : digits)
        ok = ok && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    const qlonglong n = ok ? digits.toLongLong(&ok) : 0;
    if (!ok)
        return {};
    const QString candidate = folder + name.left(p + 4) + QString::number(n + 1) + ext;
    return QFileInfo(candidate).isFile() ? candidate : QString();
}

bool CopyPackage(const QString &source, const QString &target, QString *reason)
{
    QString error;
    if (!QDir().mkpath(QFileInfo(target).path()))
        error = QStringLiteral("Cannot create folder %1").arg(QFileInfo(target).path());
    else if (fileops::CopyFile(source, target, {fileops::IfExists::Replace, true}, &error))
        return true;
    while (!error.isEmpty() && (error.endsWith(QLatin1Char(' ')) || error.endsWith(QLatin1Char('.'))
                                || error.endsWith(QLatin1Char('\r')) || error.endsWith(QLatin1Char('\n'))))
        error.chop(1);
    if (reason)
        *reason = error;
    return false;
}

} // namespace zorvak
