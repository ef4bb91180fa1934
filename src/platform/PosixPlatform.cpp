#include "platform/Platform.h"

#include "common/ProcessService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTextStream>
#include <QUrl>

namespace zorvak {

namespace {
struct MountEntry {
    QString mountPoint;
    QString fsType;
    QString source;
};

// Octal escapes of /proc/self/mountinfo ("\040" for a blank).
QString UnescapeMount(const QString &s)
{
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s.at(i) == QLatin1Char('\\') && i + 3 < s.size()) {
            bool ok = false;
            const int code = s.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(QChar(code));
                i += 3;
                continue;
            }
        }
        out.append(s.at(i));
    }
    return out;
}

QList<MountEntry> Mounts()
{
    QList<MountEntry> mounts;
    // ZORVAK_MOUNTINFO names another table in the same format: the tests give an empty one so
    // that the disks of the machine they run on play no part.
    const QString table = qEnvironmentVariable("ZORVAK_MOUNTINFO");
    QFile f(table.isEmpty() ? QStringLiteral("/proc/self/mountinfo") : table);
    if (!f.open(QIODevice::ReadOnly))
        return mounts;
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (const QByteArray &line : lines) {
        // id parent major:minor root mountpoint options [optional...] - fstype source superoptions
        const QStringList parts = QString::fromUtf8(line).split(QLatin1Char(' '));
        const qsizetype dash = parts.indexOf(QStringLiteral("-"));
        if (parts.size() < 5 || dash < 0 || dash + 2 >= parts.size())
            continue;
        mounts.append({UnescapeMount(parts.at(4)), parts.at(dash + 1), UnescapeMount(parts.at(dash + 2))});
    }
    return mounts;
}

bool DeviceIsRemovable(const QString &source)
{
    if (!source.startsWith(QLatin1String("/dev/")))
        return false;
    QString dev = QFileInfo(source).canonicalFilePath();
    if (dev.isEmpty())
        dev = source;
    QString name = QFileInfo(dev).fileName();
    // A partition's removable flag sits on its disk: /sys/class/block/sdb1/.. is sdb.
    for (int up = 0; up < 2 && !name.isEmpty(); ++up) {
        QFile flag(QStringLiteral("/sys/class/block/%1/removable").arg(name));
        if (flag.open(QIODevice::ReadOnly))
            return flag.readAll().trimmed() == "1";
        const QString parent = QFileInfo(QStringLiteral("/sys/class/block/%1/..").arg(name)).canonicalFilePath();
        name = QFileInfo(parent).fileName();
    }
    return false;
}

QString DriveOfLetter(const QString &prefix, QChar letter)
{
    const QString link = prefix + QStringLiteral("/dosdevices/") + letter.toLower() + QLatin1Char(':');
    const QString target = QFileInfo(link).canonicalFilePath();
    if (!target.isEmpty())
        return target;
    if (letter.toLower() == QLatin1Char('c'))
        return prefix + QStringLiteral("/drive_c");
    return {};
}
} // namespace

Platform &Platform::Get()
{
    return TProcessService<Platform>::Get([] { return std::make_unique<PosixPlatform>(); });
}

std::unique_ptr<Platform> Platform::Set(std::unique_ptr<Platform> platform)
{
    return TProcessService<Platform>::Replace(std::move(platform));
}

QString WithSeparator(const QString &path)
{
    if (path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

QString PosixPlatform::AppDir()
{
    if (!m_appDir.isEmpty())
        return m_appDir;
    const QString forced = qEnvironmentVariable("ZORVAK_APPDIR");
    if (!forced.isEmpty()) {
        QDir().mkpath(forced);
        m_appDir = WithSeparator(QDir(forced).absolutePath());
        m_appDirIsProgramFolder = true;
    } else {
        const QString exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
        m_appDir = ChooseAppDir(exeDir);
        m_appDirIsProgramFolder = !exeDir.isEmpty() && m_appDir == WithSeparator(exeDir);
    }
    return m_appDir;
}

QString PosixPlatform::UserOutputDir()
{
    const QString app = AppDir();
    return ChooseUserOutputDir(app, m_appDirIsProgramFolder);
}

QString Platform::UserOutputDir() { return ChooseUserOutputDir(AppDir(), true); }

QString Platform::ChooseUserOutputDir(const QString &appDir, bool programFolder)
{
    if (programFolder && !appDir.isEmpty() && QFileInfo(appDir).isDir()) {
        QTemporaryFile probe(WithSeparator(appDir) + QStringLiteral("zorvak-probe-XXXXXX"));
        if (probe.open())
            return WithSeparator(appDir);
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return WithSeparator(documents);
    return WithSeparator(QDir::homePath());
}

namespace {
// The folder of an installed program, as the package and "cmake --install" lay it out: PREFIX/bin
// beside PREFIX/share/applications holding the program's desktop entry. Nothing is written there,
// whoever runs the program (root could write anywhere).
bool IsInstalledProgramFolder(const QString &exeDir)
{
    const QDir bin(exeDir);
    return bin.dirName() == QLatin1String("bin")
           && QFileInfo::exists(bin.absoluteFilePath(QStringLiteral("../share/applications/org.zorvak.Zorvak.desktop")));
}
} // namespace

QString PosixPlatform::ChooseAppDir(const QString &exeDir)
{
    // Writable means a file can really be made there (permissions, read-only media, ACLs).
    if (!exeDir.isEmpty() && QFileInfo(exeDir).isDir() && !IsInstalledProgramFolder(exeDir)) {
        QTemporaryFile probe(WithSeparator(exeDir) + QStringLiteral("zorvak-probe-XXXXXX"));
        if (probe.open())
            return WithSeparator(exeDir);
    }
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || QDir::isRelativePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    const QString dir = data + QStringLiteral("/zorvak");
    QDir().mkpath(dir);
    return WithSeparator(dir);
}

DriveType PosixPlatform::DriveTypeOf(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return DriveType::NoRootDir;
    MountEntry best;
    for (const MountEntry &m : Mounts()) {
        const bool covers = canonical == m.mountPoint || m.mountPoint == QLatin1String("/")
            || canonical.startsWith(WithSeparator(m.mountPoint));
        if (covers && m.mountPoint.size() >= best.mountPoint.size())
            best = m;
    }
    if (best.mountPoint.isEmpty())
        return DriveType::Unknown;
    const QString fs = best.fsType.toLower();
    if (fs == QLatin1String("iso9660") || fs == QLatin1String("udf"))
        return DriveType::CdRom;
    static const QStringList remote{QStringLiteral("nfs"), QStringLiteral("nfs4"), QStringLiteral("cifs"),
                                    QStringLiteral("smb3"), QStringLiteral("smbfs"), QStringLiteral("fuse.sshfs"),
                                    QStringLiteral("sshfs"), QStringLiteral("ceph"), QStringLiteral("glusterfs"),
                                    QStringLiteral("afs"), QStringLiteral("9p"), QStringLiteral("fuse.rclone"),
                                    QStringLiteral("davfs"), QStringLiteral("fuse.davfs2")};
    if (remote.contains(fs))
        return DriveType::Remote;
    if (fs == QLatin1String("tmpfs") || fs == QLatin1String("ramfs"))
        return DriveType::RamDisk;
    if (DeviceIsRemovable(best.source))
        return DriveType::Removable;
    return DriveType::Fixed;
}

bool PosixPlatform::OpenUrl(const QString &urlOrPath)
{
    return QProcess::startDetached(QStringLiteral("xdg-open"), {urlOrPath});
}

bool PosixPlatform::ShowInFileManager(const QString &filePath)
{
    const QString uri = QUrl::fromLocalFile(QFileInfo(filePath).absoluteFilePath()).toString();
    const bool ok = QProcess::execute(QStringLiteral("dbus-send"),
                                      {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                                       QStringLiteral("--dest=org.freedesktop.FileManager1"),
                                       QStringLiteral("/org/freedesktop/FileManager1"),
                                       QStringLiteral("org.freedesktop.FileManager1.ShowItems"),
                                       QStringLiteral("array:string:") + uri, QStringLiteral("string:")})
        == 0;
    return ok || OpenUrl(QFileInfo(filePath).absolutePath());
}

bool PosixPlatform::StartProgram(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

QString PosixPlatform::ShellFolder(const QString &name)
{
    if (name.compare(QLatin1String("AppData"), Qt::CaseInsensitive) == 0) {
        const QString env = qEnvironmentVariable("APPDATA");
        if (!env.isEmpty())
            return env;
    }
    if (name.compare(QLatin1String("Local AppData"), Qt::CaseInsensitive) == 0) {
        const QString env = qEnvironmentVariable("LOCALAPPDATA");
        if (!env.isEmpty())
            return env;
    }
    const QString envName = name.toUpper().replace(QLatin1Char(' '), QLatin1Char('_'));
    const QString fromEnv = qEnvironmentVariable((QStringLiteral("ZORVAK_SHELL_") + envName).toUtf8().constData());
    if (!fromEnv.isEmpty())
        return fromEnv;
    for (const QString &prefix : WinePrefixes()) {
        const QString value = WineShellFolder(prefix, name);
        if (!value.isEmpty())
            return value;
    }
    return {};
}

QString PosixPlatform::AppDataFolder() { return ShellFolder(QStringLiteral("AppData")); }

QString PosixPlatform::WineShellFolder(const QString &prefix, const QString &name)
{
    QFile reg(prefix + QStringLiteral("/user.reg"));
    if (!reg.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = QString::fromUtf8(reg.readAll()).split(QLatin1Char('\n'));
    QString section;
    QString expanded, unexpanded;
    const QString wanted = QLatin1Char('"') + name + QStringLiteral("\"=");
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            section = line.section(QLatin1Char(']'), 0, 0).mid(1).toLower();
            continue;
        }
        if (!line.startsWith(wanted, Qt::CaseInsensitive))
            continue;
        QString value = line.mid(wanted.size());
        if (value.startsWith(QLatin1String("str(2):")))
            value = value.mid(7);
        if (!value.startsWith(QLatin1Char('"')))
            continue;
        value = value.mid(1, value.size() - 2).replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
        if (section.endsWith(QLatin1String("explorer\\\\shell folders")))
            expanded = value;
        else if (section.endsWith(QLatin1String("explorer\\\\user shell folders")))
            unexpanded = value;
    }
    QString value = expanded.isEmpty() ? unexpanded : expanded;
    if (value.isEmpty())
        return {};
    const QString user = qEnvironmentVariable("USER", QStringLiteral("user"));
    value.replace(QStringLiteral("%USERPROFILE%"), QStringLiteral("C:\\users\\") + user, Qt::CaseInsensitive);
    if (value.size() < 2 || value.at(1) != QLatin1Char(':'))
        return {};
    const QString drive = DriveOfLetter(prefix, value.at(0));
    if (drive.isEmpty())
        return {};
    QString rest = value.mid(2);
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::cleanPath(drive + QLatin1Char('/') + rest);
}

QStringList PosixPlatform::WindowsVolumes()
{
    QStringList roots;
    static const QStringList windowsFs{QStringLiteral("ntfs"), QStringLiteral("ntfs3"), QStringLiteral("fuseblk"),
                                       QStringLiteral("vfat"), QStringLiteral("msdos"), QStringLiteral("fat"),
                                       QStringLiteral("exfat"), QStringLiteral("9p"), QStringLiteral("drvfs")};
    for (const MountEntry &m : Mounts())
        if (windowsFs.contains(m.fsType.toLower()) && !roots.contains(m.mountPoint))
            roots.append(m.mountPoint);
    return roots;
}

QStringList PosixPlatform::WinePrefixes()
{
    QStringList prefixes;
    auto add = [&prefixes](const QString &p) {
        if (!p.isEmpty() && QFileInfo(p + QStringLiteral("/drive_c")).isDir() && !prefixes.contains(p))
            prefixes.append(QDir::cleanPath(p));
    };
    add(qEnvironmentVariable("WINEPREFIX"));
    add(QDir::homePath() + QStringLiteral("/.wine"));
    const QDir many(QDir::homePath() + QStringLiteral("/.local/share/wineprefixes"));
    for (const QString &d : many.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        add(many.filePath(d));
    return prefixes;
}

bool PosixPlatform::MoveToTrash(const QString &path) { return QFile::moveToTrash(path); }

bool PosixPlatform::AltHeld() { return false; }

QString PosixPlatform::Version() { return QStringLiteral(ZORVAK_VERSION); }

QDateTime PosixPlatform::ExecutableModified()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).lastModified();
}

} // namespace zorvak
