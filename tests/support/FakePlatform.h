#pragma once
// The platform double: every answer is a field a test sets, every request is recorded.
#include "platform/Platform.h"

#include <QMap>

namespace zorvak::test {

class FakePlatform : public Platform {
public:
    QString appDir;                        // with the trailing separator
    DriveType driveType = DriveType::Fixed;
    QMap<QString, QString> shellFolders;   // "AppData", "Cache", "Local Settings"
    QString appData;                       // what AppDataFolder returns
    QStringList windowsVolumes;
    QStringList winePrefixes;
    QString defaultOpenCommand;
    QList<AppInfo> apps;
    bool altHeld = false;
    bool trashSucceeds = true;

    QStringList openedUrls;                // OpenUrl requests
    QStringList shownInFileManager;        // ShowInFileManager requests
    QList<QStringList> startedPrograms;    // program followed by its arguments
    QList<QStringList> launchedApps;       // app id, file
    QStringList trashed;

    QString AppDir() override { return appDir; }
    DriveType DriveTypeOf(const QString &) override { return driveType; }
    bool OpenUrl(const QString &url) override { openedUrls << url; return true; }
    bool ShowInFileManager(const QString &file) override { shownInFileManager << file; return true; }
    bool StartProgram(const QString &program, const QStringList &arguments) override;
    QString DefaultOpenCommand(const QString &) override { return defaultOpenCommand; }
    QList<AppInfo> AppsForFile(const QString &) override { return apps; }
    bool LaunchApp(const QString &appId, const QString &file) override { launchedApps << QStringList{appId, file}; return true; }
    QString ShellFolder(const QString &name) override { return shellFolders.value(name); }
    QString AppDataFolder() override { return appData; }
    QStringList WindowsVolumes() override { return windowsVolumes; }
    QStringList WinePrefixes() override { return winePrefixes; }
    bool MoveToTrash(const QString &path) override;
    bool AltHeld() override { return altHeld; }
    QString Version() override { return QStringLiteral("2.1.0"); }
    QDateTime ExecutableModified() override { return QDateTime(QDate(2007, 5, 12), QTime(10, 30)); }
};

} // namespace zorvak::test
