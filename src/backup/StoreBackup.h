#pragma once
// The backup's collection from an ObjectStore account (browse/ObjectStore.h). There is no map:
// every ".dt2" object of a kind folder is an item, in the order of its file name. The names and
// shortcuts the owner gave are in the protected ".id2" files, which are not read
// (objstore::ReadMetadata), so items are named by their position ("Emoticon 3") and emoticons
// get generated shortcuts; a wink keeps the name and shortcut of the manifest inside its own
// cabinet when that has them.
#include "backup/MsnMap.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace zorvak {

// What the manifest of a wink's cabinet says about it.
struct TWinkManifest {
    QString name;
    QString shortcut;
};
// Reads the manifest text of a wink's cabinet (its "content.xml"): the first element that
// carries a display name ("displayname", "name" or "friendlyname", any prefix) gives the name,
// and its "keysequence" or "shortcut" the shortcut. Values are trimmed, control characters
// removed and cut at MaxWinkTextLength characters. Nothing for malformed XML, text above
// MaxWinkManifestBytes, or no name. Never raises.
std::optional<TWinkManifest> ParseWinkManifest(const QByteArray &xml);
// The manifest of a wink's cabinet file. The cabinet is listed first: nothing is extracted when
// it holds no "content.xml" at its root, when that file is larger than MaxWinkManifestBytes, or
// when the cabinet's files together exceed MaxWinkCabinetBytes. Extraction goes to a temporary
// folder of its own, removed afterwards; the cabinet itself is only read.
std::optional<TWinkManifest> ReadWinkManifest(const QString &cabinet);
inline constexpr int MaxWinkManifestBytes = 64 * 1024;
inline constexpr qint64 MaxWinkCabinetBytes = 32 * 1024 * 1024;
inline constexpr int MaxWinkTextLength = 256;

// The generated shortcut of the n-th emoticon (n from 1): "[e1]", "[e2]", ... up to seven
// characters, none the beginning of another or of one of Messenger's own shortcuts.
QString GeneratedShortcut(int n);
// The name of the n-th object of a type ("Emoticon 3") in the current language.
QString PositionName(ContentType type, int n);

// The items of one kind folder: Location is the ".dt2" file name, Name the position name (or
// the wink manifest's name), Key the generated shortcut for emoticons (or the wink manifest's).
// Objects whose bytes are not recognised are counted in positions but left out, so that a name
// stays with its object. With `skipDefault`, winks whose manifest name and size are those of one
// of Messenger's own are left out too.
TMsnArr StoreItems(ContentType type, const QString &kindFolder, bool skipDefault);

} // namespace zorvak
