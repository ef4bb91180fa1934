#pragma once
// Master keys opened during this run, by master-key folder and GUID. Memory only.
#include <QByteArray>
#include <QString>

namespace zorvak::DpapiMasterKeyCache {

QByteArray Find(const QString &sidFolder, const QString &guid); // empty when not cached
void Store(const QString &sidFolder, const QString &guid, const QByteArray &masterKey);
void Clear();

} // namespace zorvak::DpapiMasterKeyCache
