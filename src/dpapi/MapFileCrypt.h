#pragma once
// A Messenger map file on disk to its plain text.
#include "dpapi/DpapiKeyMaterial.h"

#include <QString>

namespace zorvak {

// When no file exists at `path`: "File not found: \r" + path in an error box (OK) through the
// message dialog, and an empty result. Otherwise the file less its first two bytes is
// unprotected with the e-mail address as typed and the key material (UnprotectBytes: raises its
// errors), the payload is taken up to its first NUL and decoded with Base64ToWide. The master-key
// folder, unless the key material names one, is the one of the profile that holds the file
// (FindProtectDir). A map that Wine protected is opened with the Wine user names of the prefix that
// holds `path` (UnprotectWineBytes), whatever the key material.
QString DecryptMapFile(const QString &path, const QString &email, const DpapiKeyMaterial &key);

// True when the map file at `path` holds a blob that Wine wrote (only its first bytes are read).
bool IsWineMapFile(const QString &path);
// True when the Messenger user folder has map files and every one of them ("map.dat" of its
// content folders, the maps in "MapFile") was protected by Wine: then no password is needed
// (WineKeyMaterial). A folder copied from Windows into Wine may hold both kinds: that one needs
// the Windows password for its other maps.
bool AllMapsProtectedByWine(const QString &userFolder);
// The user folder holds a map file (a content folder's map.dat or one of MapFile/).
bool HasMapFiles(const QString &userFolder);

} // namespace zorvak
