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
// (FindProtectDir).
QString DecryptMapFile(const QString &path, const QString &email, const DpapiKeyMaterial &key);

} // namespace zorvak
