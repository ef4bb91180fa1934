#include "support/TestProcess.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace zorvak::test {

namespace {
QTemporaryDir *g_sealed = nullptr;

void SetTo(const char *name, const QString &folder)
{
    QDir().mkpath(folder);
    qputenv(name, QFile::encodeName(folder));
}
} // namespace

void PrepareTestProcess()
{
    if (qEnvironmentVariableIsEmpty("ZORVAK_SOURCE_DIR"))
        qputenv("ZORVAK_SOURCE_DIR", ZORVAK_TEST_SOURCE_DIR);
    if (qEnvironmentVariableIsEmpty("ZORVAK_BINARY_DIR"))
        qputenv("ZORVAK_BINARY_DIR", ZORVAK_TEST_BINARY_DIR);

    // Lives until the process ends; removed by the last test's exit.
    static QTemporaryDir sealed(QDir::tempPath() + QStringLiteral("/zorvak-test-home-XXXXXX"));
    if (!sealed.isValid()) {
        std::fprintf(stderr, "cannot make the sealed test folder\n");
        std::exit(2);
    }
    g_sealed = &sealed;
    const QString root = QDir(sealed.path()).canonicalPath();
    SetTo("HOME", root + QStringLiteral("/home"));
    SetTo("XDG_DATA_HOME", root + QStringLiteral("/home/.local/share"));
    SetTo("XDG_CONFIG_HOME", root + QStringLiteral("/home/.config"));
    SetTo("XDG_CACHE_HOME", root + QStringLiteral("/home/.cache"));
    SetTo("XDG_STATE_HOME", root + QStringLiteral("/home/.local/state"));
    const QString runtime = root + QStringLiteral("/runtime");
    SetTo("XDG_RUNTIME_DIR", runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    for (const char *name : {"XDG_DOCUMENTS_DIR", "XDG_PICTURES_DIR", "XDG_MUSIC_DIR", "XDG_DESKTOP_DIR",
                             "XDG_DOWNLOAD_DIR", "APPDATA", "LOCALAPPDATA", "USERPROFILE", "WINEPREFIX"})
        qunsetenv(name);
    // The programs of the build that a test runs keep their work files (the package being
    // installed, a backup's work folder) in a folder of this test process, not in their shared
    // program folder, where tests running at the same time would take each other's files.
    SetTo("ZORVAK_APPDIR", root + QStringLiteral("/appdir"));
    const QStringList names = QProcessEnvironment::systemEnvironment().keys();
    for (const QString &name : names)
        if (name.startsWith(QLatin1String("ZORVAK_SHELL_")))
            qunsetenv(name.toLocal8Bit().constData());
    // The machine's mount table without its Windows volumes (where Messenger data would be
    // found); the other mounts stay, so drive types still come out as on this machine.
    static const QList<QByteArray> windowsFs{"ntfs", "ntfs3", "fuseblk", "vfat", "msdos", "fat", "exfat", "9p", "drvfs"};
    QByteArray table;
    QFile real(QStringLiteral("/proc/self/mountinfo"));
    if (real.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : real.readAll().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            const qsizetype dash = parts.indexOf("-");
            if (dash >= 0 && dash + 1 < parts.size() && windowsFs.contains(parts.at(dash + 1).toLower()))
                continue;
            if (!line.isEmpty())
                table += line + '\n';
        }
    }
    const QString mounts = root + QStringLiteral("/mountinfo");
    QFile sealedTable(mounts);
    if (!sealedTable.open(QIODevice::WriteOnly) || sealedTable.write(table) != table.size()) {
        std::fprintf(stderr, "cannot write the sealed mount table\n");
        std::exit(2);
    }
    sealedTable.close();
    qputenv("ZORVAK_MOUNTINFO", QFile::encodeName(mounts));
}

QString SealedHome()
{
    return g_sealed ? QDir(g_sealed->path()).canonicalPath() + QStringLiteral("/home") : QString();
}

QString SamplesFolder(const QString &sub)
{
    const QString root = qEnvironmentVariable("ZORVAK_SAMPLES_DIR");
    if (root.isEmpty())
        return {};
    const QString folder = QDir::cleanPath(QDir(root).absoluteFilePath(sub));
    return QFileInfo(folder).isDir() ? folder : QString();
}

} // namespace zorvak::test
