#include "restore/MimeTable.h"

#include <QFileInfo>
#include <QMimeDatabase>

namespace zorvak {

TMimeTable::TMimeTable()
{
    const QList<QMimeType> all = QMimeDatabase().allMimeTypes();
    for (const QMimeType &type : all) {
        const QString preferred = type.preferredSuffix().toLower();
        if (!preferred.isEmpty())
            m_types.insert(preferred, type.name());
    }
    for (const QMimeType &type : all)
        for (const QString &suffix : type.suffixes()) {
            const QString key = suffix.toLower();
            if (!key.contains(QLatin1Char('.')) && !m_types.contains(key))
                m_types.insert(key, type.name());
        }
}

QString TMimeTable::Lookup(const QString &extension) const { return m_types.value(extension); }

const TMimeTable &MimeTable()
{
    static const TMimeTable table;
    return table;
}

QString GetMimeType(const QString &fileName)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    const QString type = ext.isEmpty() ? QString() : MimeTable().Lookup(ext);
    return type.isEmpty() ? QStringLiteral("application/octet-stream") : type;
}

} // namespace zorvak
