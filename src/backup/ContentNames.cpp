#include "backup/ContentNames.h"
#include "common/PathBytes.h"

#include "backup/BackupCore.h"
#include "dpapi/MapFileCrypt.h"
#include "backup/MsnMap.h"
#include "common/FileOps.h"
#include "shell/SettingsFile.h"

#include <QDir>
#include <QFileInfo>

namespace zorvak {

QString ReadContentMapText(const QString &contentFolder, const QString &email, const DpapiKeyMaterial &key,
                           const TMapDecrypter &decrypt, QString &error)
{
    error.clear();
    const QDir folder(contentFolder);
    const QString mapDat = folder.filePath(QStringLiteral("map.dat"));
    if (!fsys::IsFile(mapDat)) {
        error = QStringLiteral("File not found:\r") + mapDat;
        return {};
    }
    const QString pointer = decrypt(mapDat, email, key);
    const QString location = MsnObjectLocation(pointer);
    if (location.isEmpty()) {
        error = QStringLiteral("Failed to find \"Location\" in MSN Object XML:\r") + pointer;
        return {};
    }
    // The maps live in "MapFile" beside the content folders.
    const QString mapFolder = QFileInfo(folder.absolutePath()).absolutePath() + QStringLiteral("/MapFile/");
    const QString found = IsSafeObjectName(location) ? FindObjectFile(mapFolder, location) : QString();
    if (found.isEmpty() || !fileops::IsRegularFile(found)) {
        error = QStringLiteral("Failed to find map file:\r") + mapFolder + location;
        return {};
    }
    return decrypt(found, email, key);
}

void TContentNames::Add(const TObjectName &object)
{
    const QString key = QLatin1String(InfoOf(object.type).code) + QLatin1Char('/') + object.file.toCaseFolded();
    if (const auto it = m_index.constFind(key); it != m_index.cend()) {
        m_all[*it] = object;
        return;
    }
    m_index.insert(key, m_all.size());
    m_all.append(object);
}

const TObjectName *TContentNames::Find(ContentType type, const QString &file) const
{
    const auto it = m_index.constFind(QLatin1String(InfoOf(type).code) + QLatin1Char('/') + file.toCaseFolded());
    return it == m_index.cend() ? nullptr : &m_all[*it];
}

TContentNames ReadContentNames(const QString &userFolder, const QString &email, const DpapiKeyMaterial &key,
                               const TMapDecrypter &decrypt)
{
    TContentNames names;
    const QDir user(userFolder);
    for (const ContentTypeInfo &info : ContentTypes) {
        const QString folder = user.filePath(Settings().Subdir(info.type));
        if (!fsys::IsFile(QDir(folder).filePath(QStringLiteral("map.dat"))))
            continue;
        QString error;
        const QString map = ReadContentMapText(folder, email, key, decrypt, error);
        if (!error.isEmpty()) {
            names.Problems << error;
            continue;
        }
        // Every entry counts here, Messenger's own default content too.
        const TMsnArr items = ParseContentMap(info.type, map, /*skipDefault=*/false);
        for (const TMsnStuff &item : *items)
            if (!item.Location.isEmpty())
                names.Add({info.type, item.Location, UnescapeXml(item.Name), UnescapeXml(item.Key)});
        names.TypesRead << info.type;
    }
    return names;
}

TContentNames ReadContentNames(const QString &userFolder, const QString &email, const DpapiKeyMaterial &key)
{
    return ReadContentNames(userFolder, email, key, &DecryptMapFile);
}

} // namespace zorvak
