#pragma once
// Every operating-system service the program uses, behind one replaceable interface.
// One instance per process (Platform::Get()); tests install a double with Platform::Set().
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>

namespace zorvak {

enum class DriveType { Unknown, NoRootDir, Removable, Fixed, Remote, CdRom, RamDisk };

class Platform {
public:
    virtual ~Platform() = default;

    static Platform &Get();
    // Takes ownership; returns the previous instance so a test can put it back.
    static std::unique_ptr<Platform> Set(std::unique_ptr<Platform> platform);

    // Folder of the program's settings and temporary files, ending with the native separator.
    virtual QString AppDir() = 0;
    virtual DriveType DriveTypeOf(const QString &path) = 0;
    // The folder that the defaults for the user's own output propose (the backup's package, the
    // restore's package browser): AppDir when the program keeps its files in its own folder and
    // files can be made there (a build, a copy run from a folder of its own); otherwise, as for
    // an installed program, the user's documents folder. Ends with the separator.
    virtual QString UserOutputDir();
    // That choice: `appDir` when it is the program's own folder and files can be made in it, else
    // the documents folder (the home folder when there is none).
    static QString ChooseUserOutputDir(const QString &appDir, bool programFolder);

    // Shell "open" of a file, folder ("explore"), web or mail link.
    virtual bool OpenUrl(const QString &urlOrPath) = 0;
    // Shows the file manager with the file selected.
    virtual bool ShowInFileManager(const QString &filePath) = 0;
    // Starts a program with arguments, detached.
    virtual bool StartProgram(const QString &program, const QStringList &arguments) = 0;

    // The executable of the default application for the file's MIME type; empty when none.
    virtual QString DefaultOpenCommand(const QString &filePath) = 0;
    struct AppInfo { QString id; QString name; QString executable; };
    // Applications registered for the file's MIME type (default first).
    virtual QList<AppInfo> AppsForFile(const QString &filePath) = 0;
    virtual bool LaunchApp(const QString &appId, const QString &filePath) = 0;

    // Shell folders of the current (Windows) user: "AppData", "Cache", "Local Settings".
    // Empty when unknown.
    virtual QString ShellFolder(const QString &name) = 0;
    // The APPDATA environment value, else the AppData shell folder.
    virtual QString AppDataFolder() = 0;
    // Root folders of mounted NTFS/FAT/exFAT volumes.
    virtual QStringList WindowsVolumes() = 0;
    // Wine prefixes found on this machine ($WINEPREFIX, ~/.wine, ~/.local/share/wineprefixes/*).
    virtual QStringList WinePrefixes() = 0;

    virtual bool MoveToTrash(const QString &path) = 0;
    virtual bool AltHeld() = 0;
    virtual QString Version() = 0;
    virtual QDateTime ExecutableModified() = 0;
};

// The Linux implementation (QtCore only). The desktop program subclasses it for the services
// that need the window system.
class PosixPlatform : public Platform {
public:
    QString AppDir() override;
    // The documents folder when AppDir is the user data folder taken in place of the program's.
    QString UserOutputDir() override;
    DriveType DriveTypeOf(const QString &path) override;
    bool OpenUrl(const QString &urlOrPath) override;
    bool ShowInFileManager(const QString &filePath) override;
    bool StartProgram(const QString &program, const QStringList &arguments) override;
    QString DefaultOpenCommand(const QString &filePath) override;
    QList<AppInfo> AppsForFile(const QString &filePath) override;
    bool LaunchApp(const QString &appId, const QString &filePath) override;
    QString ShellFolder(const QString &name) override;
    QString AppDataFolder() override;
    QStringList WindowsVolumes() override;
    QStringList WinePrefixes() override;
    bool MoveToTrash(const QString &path) override;
    bool AltHeld() override;
    QString Version() override;
    QDateTime ExecutableModified() override;

    // The executable's folder when files can be made in it; otherwise $XDG_DATA_HOME/zorvak/
    // (~/.local/share/zorvak/ when unset), created. Ends with the separator.
    static QString ChooseAppDir(const QString &exeDir);
    // Reads a value of "User Shell Folders" from a Wine prefix's user.reg, mapped to a Linux path.
    static QString WineShellFolder(const QString &prefix, const QString &name);

private:
    QString m_appDir;
    bool m_appDirIsProgramFolder = false; // the executable's folder, or one given by ZORVAK_APPDIR
};

// Adds the native separator when missing.
QString WithSeparator(const QString &path);

} // namespace zorvak
