#include "backup/CryptUtil.h"

#include "backup/DpapiKeyMaterial.h"
#include "common/Exceptions.h"

namespace zorvak {

QByteArray UnprotectBytes(const QByteArray &data, const QString &entropy)
{
    return UnprotectBytes(data, entropy, QString());
}

QByteArray UnprotectBytes(const QByteArray &data, const QString &entropy, const QString &fallbackProtectDir)
{
    Q_UNUSED(data);
    Q_UNUSED(entropy);
    const DpapiKeyMaterial material = CurrentDpapiKeyMaterial();
    const QString protectDir = material.protectDir.isEmpty() ? fallbackProtectDir : material.protectDir;
    if (!material.secret.isSet())
        throw Exception(QStringLiteral("Failed to decrypt. No Windows password is set for the profile%1.")
                            .arg(protectDir.isEmpty() ? QString() : QStringLiteral(" of ") + protectDir));
    // The offline decryption follows in the next change.
    throw Exception(QStringLiteral("Failed to decrypt. Key not valid for use in specified state."));
}

} // namespace zorvak
