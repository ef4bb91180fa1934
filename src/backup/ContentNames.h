#pragma once
// The names and shortcuts a user gave the objects of a Messenger user folder.
//
// Messenger keeps them only in the encrypted content maps: "map.dat" of each content folder points
// to the map in the user's "MapFile" folder, which lists each object's file with its name (and, for
// emoticons, its shortcut). The backup reads the same maps; this is the reading without the backup
// around it, for the named export and the main window's names.
#include "dpapi/DpapiKeyMaterial.h"
#include "common/ContentTypes.h"

#include <QHash>
#include <QList>
#include <QString>
#include <functional>

namespace zorvak {

// Turns a protected map file into its text (DecryptMapFile, or a test's stand-in).
using TMapDecrypter = std::function<QString(const QString &path, const QString &email, const DpapiKeyMaterial &key)>;

// The decrypted content map of one content folder. On failure the result is empty and `error`
// holds the message the backup shows ("File not found:\r..." and the like). Decryption errors are
// raised as the decrypter raises them.
QString ReadContentMapText(const QString &contentFolder, const QString &email, const DpapiKeyMaterial &key,
                           const TMapDecrypter &decrypt, QString &error);

// One named object of a content folder.
struct TObjectName {
    ContentType type = ContentType::Emot;
    QString file;      // the object's file name in its content folder, as the map spells it
    QString name;      // the name the user gave it (plain text, not escaped)
    QString shortcut;  // emoticons: the shortcut typed in a conversation; empty otherwise
};

// The names of a user folder, by content type.
class TContentNames {
public:
    // Adds the objects of one content type; a later entry for the same file replaces an earlier one.
    void Add(const TObjectName &object);
    // The entry of the object `file` of `type` (letter case ignored, as Windows does), or nullptr.
    const TObjectName *Find(ContentType type, const QString &file) const;
    // Every entry, in the order the maps list them, types in their usual order.
    const QList<TObjectName> &All() const { return m_all; }
    bool IsEmpty() const { return m_all.isEmpty(); }
    // The content types whose map was read.
    QList<ContentType> TypesRead;
    // One message per content folder whose map could not be read (missing map, broken pointer);
    // those types keep their file names.
    QStringList Problems;

private:
    QList<TObjectName> m_all;
    QHash<QString, qsizetype> m_index;
};

// Reads the maps of every content folder of `userFolder` (the sub-folder names of the settings)
// that holds a "map.dat". Content folders without one are left out silently. Map layout errors
// and decryption errors (wrong address, wrong password) are raised with the backup's texts;
// entries whose file name could leave the folder are dropped as the backup drops them.
TContentNames ReadContentNames(const QString &userFolder, const QString &email, const DpapiKeyMaterial &key,
                               const TMapDecrypter &decrypt);
TContentNames ReadContentNames(const QString &userFolder, const QString &email, const DpapiKeyMaterial &key);

} // namespace zorvak
