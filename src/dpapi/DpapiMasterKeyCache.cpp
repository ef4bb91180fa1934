#include "dpapi/DpapiMasterKeyCache.h"

#include <QHash>
#include <openssl/crypto.h>

namespace zorvak::DpapiMasterKeyCache {

namespace {
QHash<QString, QByteArray> &Keys()
{
    static QHash<QString, QByteArray> keys;
    return keys;
}
QString Id(const QString &sidFolder, const QString &guid) { return sidFolder + QLatin1Char('|') + guid.toLower(); }
} // namespace

QByteArray Find(const QString &sidFolder, const QString &guid) { return Keys().value(Id(sidFolder, guid)); }

void Store(const QString &sidFolder, const QString &guid, const QByteArray &masterKey)
{
    Keys().insert(Id(sidFolder, guid), masterKey);
}

void Clear()
{
    for (QByteArray &key : Keys()) {
        key.detach();
        OPENSSL_cleanse(key.data(), size_t(key.size()));
    }
    Keys().clear();
}

} // namespace zorvak::DpapiMasterKeyCache
