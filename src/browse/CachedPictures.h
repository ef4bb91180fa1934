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

// Collects the MSN 7.5 cached pictures into AppDir + "~tmpCache": parks the cache's two
// Desktop.ini files in AppDir while it works and always puts them back. Shows its own error
// messages. `appDir` ends with the separator.
TCacheCollection CollectMsn75Cache(const QString &appDir);

// The Windows Live Messenger cache folder (ending with the separator), or empty after showing
// the error message.
QString FindWlmCache();

} // namespace zorvak
