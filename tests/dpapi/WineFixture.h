#pragma once
// A Messenger user folder inside a Wine prefix, its maps protected by a real Wine (WineVectors.h).
#include "WineVectors.h"
#include "common/EmailId.h"
#include "support/TestEnv.h"

#include <QByteArray>
#include <QDir>
#include <QString>

namespace zorvak::test {

inline QByteArray HexBytes(const char *hex) { return QByteArray::fromHex(QByteArray(hex)); }

// Writes "<prefix>/drive_c/users/<windowsUser>/Application Data/Microsoft/MSN Messenger/<ID>/" with
// the Wine-protected maps and the three objects they name, and returns it (no trailing '/'). The
// prefix always has the folder of the Wine user who protected the maps, so a folder put under
// another user of the prefix opens too.
inline QString WriteWineUserFolder(const QString &prefix, const QString &windowsUser)
{
    const QString users = prefix + QStringLiteral("/drive_c/users/");
    QDir().mkpath(users + QString::fromLatin1(wine_vectors::kUser));
    QDir().mkpath(users + QStringLiteral("Public"));
    const QString folder = users + windowsUser + QStringLiteral("/Application Data/Microsoft/MSN Messenger/")
                           + EmailToId(QString::fromLatin1(wine_vectors::kMapEmail));
    for (const wine_vectors::MapFile &map : wine_vectors::kMapFiles)
        WriteFile(folder + QLatin1Char('/') + QString::fromLatin1(map.path), HexBytes(map.hex));
    // The objects: PNG and GIF signatures padded to the sizes the maps give.
    for (const char *name : {"CustomEmoticons/E0.tmp", "CustomEmoticons/E1.tmp"})
        WriteFile(folder + QLatin1Char('/') + QString::fromLatin1(name),
                  QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(name).right(5).repeated(4));
    WriteFile(folder + QStringLiteral("/UserTile/D0.dat"), QByteArray("GIF89a") + QByteArray("D0dat").repeated(4));
    return folder;
}

} // namespace zorvak::test
