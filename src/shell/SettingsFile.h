#pragma once
// "Zorvak.ini" in AppDir: Windows profile semantics (section and key names without letter case),
// read as UTF-8 or, when not valid UTF-8, Windows-1252; written as UTF-8.
#include "common/ContentTypes.h"
#include "common/unitHash.h"

#include <QList>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <utility>

namespace zorvak {

class TIniFile {
public:
    explicit TIniFile(QString path);
    ~TIniFile();
    const QString &FileName() const { return m_path; }
    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    bool ReadBool(const QString &section, const QString &key, bool def) const;
    // Raises "Unable to write to <path>" when the file cannot be written.
    void WriteString(const QString &section, const QString &key, const QString &value);
    // Several keys in one write of the file.
    void WriteStrings(const QString &section, const QList<std::pair<QString, QString>> &values);
    // Never reports an error.
    void DeleteKey(const QString &section, const QString &key);

private:
    struct Impl;
    QString m_path;
    std::unique_ptr<Impl> d;
};

// Where the main window was left: its geometry (without the frame; empty when none was kept),
// whether it was maximised, and the widths of the folder side and of the file list.
struct TWindowPlacement {
    QRect geometry;
    bool maximized = false;
    int folderWidth = 0;
    int fileListWidth = 0;
    bool Kept() const { return geometry.width() > 0 && geometry.height() > 0; }
};

// Values in use, process-wide. They start as the built-in defaults.
struct TSettingsValues {
    QString docSetDir;
    QString appDatDir;
    QString msnDatDir;
    QString subdirEmot, subdirDp, subdirBg, subdirWink, subdirDdp, subdirDbg;
    // How the main window lists files: as a list (the default) or as thumbnails of this size.
    bool thumbnails = false;
    int thumbnailSize = 96;
    TWindowPlacement window;

    static TSettingsValues Defaults();
    QString &Subdir(ContentType type);
    const QString &Subdir(ContentType type) const;
};

inline constexpr const char *SettingsFileName = "Zorvak.ini";
inline constexpr const char *SettingsSection = "Common";
inline constexpr int kMinThumbnailSize = 48;
inline constexpr int kMaxThumbnailSize = 192;

TSettingsValues &Settings();
THash &EmailById();
QString SettingsFilePath();   // AppDir + "Zorvak.ini"
// The settings-file handle: nullptr until opened. OpenSettingsFile opens it when absent.
TIniFile *SettingsFile();
TIniFile &OpenSettingsFile();
void CloseSettingsFile();
// Back to the built-in defaults, no handle, empty EmailById (a new run; used by tests too).
void ResetSettings();

// Reads the file at start. `applyLanguage` receives the Language value when it is one of the
// four codes (exact comparison); the main window switches the language with it.
void LoadSettings(const std::function<void(const QString &code)> &applyLanguage);
void RememberEmail(const QString &email);
// Writes the current catalogue's _ID to "Language".
void SaveLanguage();
// Writes how the main window lists files ("FileView": "List" or "Thumbnails", "ThumbnailSize").
void SaveFileView(bool thumbnails, int thumbnailSize);
// Writes where the main window was left ("WindowLeft", "WindowTop", "WindowWidth", "WindowHeight",
// "WindowMaximized", "FolderWidth", "FileListWidth"). Files without these keys open the window at
// its first-time placement.
void SaveWindowPlacement(const TWindowPlacement &placement);

} // namespace zorvak
