#include "dpapi/DpapiKeyMaterial.h"
#include "common/PathBytes.h"

#include "dpapi/Dpapi.h"
#include "common/Exceptions.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

namespace zorvak {

namespace {
// The child of `folder` whose name equals `name` without regard to case; empty when none.
QString ChildFolder(const QString &folder, const QString &name)
{
    const QDir dir(folder);
    if (fsys::IsDir(dir.filePath(name)))
        return dir.filePath(name);
    QStringList entries;
    fsys::Entries(folder, entries);
    for (const QString &entry : std::as_const(entries))
        if (entry.compare(name, Qt::CaseInsensitive) == 0 && fsys::IsDir(dir.filePath(entry)))
            return dir.filePath(entry);
    return {};
}
} // namespace

DpapiSecret DpapiSecret::FromPassword(const QString &password)
{
    DpapiSecret secret;
    secret.m_kind = Password;
    secret.m_password = password;
    return secret;
}

DpapiSecret DpapiSecret::ForWine(const QStringList &userNames)
{
    DpapiSecret secret;
    secret.m_kind = Wine;
    secret.m_users = userNames;
    return secret;
}

DpapiSecret DpapiSecret::FromHashHex(const QString &hex)
{
    QString digits = hex.trimmed();
    if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        digits = digits.mid(2);
    bool valid = (digits.size() == 40 || digits.size() == 32);
    for (QChar c : digits)
        valid = valid && ((c >= u'0' && c <= u'9') || (c.toLower() >= u'a' && c.toLower() <= u'f'));
    if (!valid)
        throw EConvertError(QStringLiteral("'%1' is not a password hash: give 40 hex digits (SHA-1) or 32 (NT hash).")
                                .arg(hex));
    return FromHash(QByteArray::fromHex(digits.toLatin1()));
}

DpapiSecret DpapiSecret::FromHash(const QByteArray &hash)
{
    if (hash.size() != 20 && hash.size() != 16)
        throw EConvertError(QStringLiteral("A password hash has 20 bytes (SHA-1) or 16 bytes (NT hash), not %1.")
                                .arg(hash.size()));
    DpapiSecret secret;
    secret.m_kind = hash.size() == 20 ? Sha1Hash : NtHash;
    secret.m_hash = hash;
    return secret;
}

QByteArray DpapiSecret::sha1() const
{
    if (m_kind == Password)
        return dpapi::Sha1PasswordHash(m_password);
    return m_kind == Sha1Hash ? m_hash : QByteArray();
}

QByteArray DpapiSecret::ntHash() const
{
    if (m_kind == Password)
        return dpapi::NtPasswordHash(m_password);
    return m_kind == NtHash ? m_hash : QByteArray();
}

bool DpapiSecret::operator==(const DpapiSecret &other) const
{
    return m_kind == other.m_kind && m_password == other.m_password && m_hash == other.m_hash && m_users == other.m_users;
}

DpapiKeyMaterial DpapiCredentials(const QString &protectDir, const QString &passwordOrHash, bool isHash)
{
    DpapiKeyMaterial material;
    material.protectDir = protectDir;
    material.secret = isHash ? DpapiSecret::FromHashHex(passwordOrHash) : DpapiSecret::FromPassword(passwordOrHash);
    return material;
}

namespace {
QMutex g_rememberedLock;
QHash<QString, QString> &Remembered()
{
    static QHash<QString, QString> remembered; // cleaned profile folder -> master-key folder
    return remembered;
}
QString RememberedProtectDir(QString folder)
{
    QMutexLocker lock(&g_rememberedLock);
    for (;;) {
        const auto it = Remembered().constFind(folder);
        if (it != Remembered().constEnd())
            return *it;
        const QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder || parent.isEmpty())
            return {};
        folder = parent;
    }
}
} // namespace

void RememberProtectDir(const QString &profile, const QString &protectDir)
{
    if (profile.isEmpty() || protectDir.isEmpty())
        return;
    QMutexLocker lock(&g_rememberedLock);
    Remembered().insert(QDir::cleanPath(QFileInfo(profile).absoluteFilePath()), QDir::cleanPath(protectDir));
}

DpapiKeyMaterial WineKeyMaterial(const QStringList &userNames)
{
    DpapiKeyMaterial material;
    material.secret = DpapiSecret::ForWine(userNames);
    return material;
}

QString FindProtectDir(const QString &path)
{
    if (path.isEmpty())
        return {};
    QString folder = QFileInfo(path).absoluteFilePath();
    for (;;) {
        const QString microsoft = ChildFolder(folder, QStringLiteral("Microsoft"));
        if (!microsoft.isEmpty()) {
            const QString protect = ChildFolder(microsoft, QStringLiteral("Protect"));
            if (!protect.isEmpty())
                return QDir::cleanPath(protect);
        }
        const QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder || parent.isEmpty())
            return RememberedProtectDir(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
        folder = parent;
    }
}

} // namespace zorvak
