#pragma once
// How the places a disk search found are grouped for the folder list: by the Windows profile
// each one lies in, packages apart.
#include "find/DiskSearch.h"

#include <QString>
#include <vector>

namespace zorvak::find {

// The Windows profile folder that holds `path`: the folder after the deepest "Documents and
// Settings", "Users" or "users" folder (Windows.old, renamed copies such as "Documents and
// Settings.bak" and Wine prefixes included), without a trailing separator. Empty when the path
// lies in no profile, or is the profile folder itself.
QString WindowsProfileOf(const QString &path);

struct TProfileGroup {
    QString profile;                  // empty for the places that lie in no profile
    std::vector<TFoundPlace> places;  // in the order found (sorted by path)
};
struct TFoundGroups {
    std::vector<TProfileGroup> profiles;  // sorted by profile, the group without a profile last
    std::vector<TFoundPlace> packages;
    std::vector<TFoundPlace> masterKeys;  // also among the profiles' places
};
TFoundGroups GroupFoundPlaces(const std::vector<TFoundPlace> &found);

} // namespace zorvak::find
