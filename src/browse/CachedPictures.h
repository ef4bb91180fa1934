#pragma once
// The contacts' display pictures that Messenger caches: MSN 7.5 keeps them as "*.bin" files in
// the Internet Explorer cache ("Content.IE5" below the Temporary Internet Files folder), which are
// copied out into a scratch folder; Windows Live Messenger keeps them in
// "Temp/MessengerCache/" below the user's Local Settings folder, which is shown where it is.
#include <QString>

namespace zorvak {

// The name under which `fileName` is copied into `folder`: the name itself when free, else
// name + "[k]" + extension for the first free k = 1, 2, 3...
QString NumberedCopyName(const QString &folder, const QString &fileName);

// The entry of `folder` named `name` without regard to letter case (Windows volumes mounted here
// keep "desktop.ini" or "Desktop.ini" as they were written); `name` itself when none exists.
QString FindEntryIgnoringCase(const QString &folder, const QString &name);

struct TCacheCollection {
    bool ok = false;            // false: the cache folder was not found (message already shown)
    QString scratch;            // AppDir + "~tmpCache"
    int copied = 0;
};

// Collects the MSN 7.5 cached pictures of the Internet Explorer cache `tif` into
// AppDir + "~tmpCache", keeping their times. The cache itself is only read: nothing in it is
// moved, renamed or rewritten. Shows its own error messages (an empty `tif`: the folder is not
// known). `appDir` ends with the separator.
TCacheCollection CollectMsn75Cache(const QString &appDir, const QString &tif);

// The Windows Live Messenger cache folder below the Local Settings folder `localSettings`
// (ending with the separator), or empty after showing the error message.
QString FindWlmCache(const QString &localSettings);

// Where a Windows profile keeps its Internet Explorer cache and its Local Settings folder:
// "<profile>/Local Settings/Temporary Internet Files" and "<profile>/Local Settings" on XP,
// "<profile>/AppData/Local/Microsoft/Windows/Temporary Internet Files" and
// "<profile>/AppData/Local" from Vista on (chosen when "AppData/Local" exists). Existing folder
// names are matched without regard to letter case.
struct TProfileCaches {
    QString internetCache;
    QString localSettings;
};
TProfileCaches ProfileCaches(const QString &profile);

} // namespace zorvak
