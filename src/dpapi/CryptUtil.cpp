#include "dpapi/CryptUtil.h"
#include "common/PathBytes.h"

#include "dpapi/Dpapi.h"
#include "dpapi/DpapiKeyMaterial.h"
#include "dpapi/DpapiMasterKeyCache.h"
#include "dpapi/WineProtect.h"
#include "common/Cp1252.h"
#include "common/Exceptions.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

// Offline DPAPI (Linux): the work of CryptUnprotectData for a user-scope blob, from a copied
// profile's master-key files and the account's password. A Windows build calls the real service
// behind the same declaration.

namespace zorvak {

namespace {

const QString kKeyNotValid = QStringLiteral("Key not valid for use in specified state.");
const QString kInvalidData = QStringLiteral("The data is invalid.");

[[noreturn]] void Fail(const QString &reason) { throw Exception(QStringLiteral("Failed to decrypt. ") + reason); }

bool IsSidName(const QString &name) { return name.startsWith(QLatin1String("S-1-"), Qt::CaseInsensitive); }

// The "<SID>" folders to search: the folder itself when it is one, else its "S-1-…" children.
QStringList SidFolders(const QString &protectDir)
{
    const QFileInfo info(protectDir);
    if (!fsys::IsDir(protectDir))
        return {};
    if (IsSidName(info.fileName()))
        return {info.absoluteFilePath()};
    QStringList folders;
    const QDir dir(protectDir);
    QStringList names;
    fsys::Entries(protectDir, names);
    for (const QString &name : std::as_const(names))
        if (IsSidName(name) && fsys::IsDir(dir.filePath(name)))
            folders.append(dir.filePath(name));
    return folders;
}

// The file named by the GUID in the folder, compared without regard to case.
QString MasterKeyPath(const QString &sidFolder, const QString &guid)
{
    const QDir dir(sidFolder);
    if (fsys::IsFile(dir.filePath(guid)))
        return dir.filePath(guid);
    QStringList names;
    fsys::Entries(sidFolder, names);
    for (const QString &name : std::as_const(names))
        if (name.compare(guid, Qt::CaseInsensitive) == 0 && fsys::IsFile(dir.filePath(name)))
            return dir.filePath(name);
    return {};
}

QByteArray ReadAll(const QString &path) { return fsys::ReadAll(path); }

// The password hashes to try on a master key, in the order its policy suggests.
QList<QByteArray> CandidateHashes(const QByteArray &sha1, const QByteArray &nt, quint32 policy, const QString &sid)
{
    QList<QByteArray> hashes;
    if (policy & dpapi::PolicySha1) {
        if (!sha1.isEmpty())
            hashes << sha1;
        if (!nt.isEmpty())
            hashes << nt;
    } else {
        if (!nt.isEmpty())
            hashes << nt;
        if (!sha1.isEmpty())
            hashes << sha1;
    }
    if (!nt.isEmpty() && !(policy & dpapi::PolicySha1))
        hashes << dpapi::SecureCredKey(nt, sid); // domain accounts of Windows 10 1607 and later
    return hashes;
}

QByteArray TryHashes(const dpapi::MasterKey &mk, const QList<QByteArray> &hashes, const QString &sid)
{
    for (const QByteArray &hash : hashes) {
        const QByteArray key = mk.Decrypt(dpapi::PreKey(hash, sid));
        if (!key.isEmpty())
            return key;
    }
    return {};
}

} // namespace

namespace dpapi {

// Opens the master-key file with the secret: directly, then with each older password that the
// CREDHIST chain beside the SID folder gives up. Empty when nothing opens it.
QByteArray OpenMasterKeyFile(const QString &path, const DpapiSecret &secret, const QString &sidOverride, QString *error)
{
    const QFileInfo info(path);
    const auto damaged = [&](const QString &reason) {
        if (error)
            *error = reason;
        return QByteArray();
    };
    const std::optional<MasterKeyFile> file = MasterKeyFile::Parse(ReadAll(path));
    const std::optional<MasterKey> mk = file ? file->masterKey() : std::nullopt;
    if (!mk)
        return damaged(QStringLiteral("The master key %1 is damaged.").arg(info.fileName()));
    const QString sid = sidOverride.isEmpty() ? info.dir().dirName() : sidOverride;
    QByteArray key = TryHashes(*mk, CandidateHashes(secret.sha1(), secret.ntHash(), file->policy, sid), sid);
    if (!key.isEmpty())
        return key;

    // Keys made under an earlier password: each CREDHIST entry, newest first, holds the hashes of
    // the password before it, encrypted under the pre-key of the password after it. The walk
    // starts at the first entry the secret opens.
    QDir protect = info.dir();
    protect.cdUp();
    const QString credhistPath = protect.filePath(QStringLiteral("CREDHIST"));
    const std::optional<QList<CredhistEntry>> entries = ParseCredhist(ReadAll(credhistPath));
    if (!entries)
        return fsys::Exists(credhistPath)
                   ? damaged(QStringLiteral("The password history %1 is damaged.").arg(QDir::toNativeSeparators(credhistPath)))
                   : QByteArray();
    QList<QByteArray> newer;
    if (!secret.sha1().isEmpty())
        newer << secret.sha1();
    if (!secret.ntHash().isEmpty())
        newer << secret.ntHash();
    for (const CredhistEntry &entry : *entries) {
        std::optional<CredhistEntry::Hashes> older;
        for (const QByteArray &hash : newer)
            if ((older = entry.Decrypt(PreKey(hash, sid))))
                break;
        if (!older)
            continue; // the secret is an older password: its entry lies further back
        key = TryHashes(*mk, CandidateHashes(older->sha1, older->nt, file->policy, sid), sid);
        if (!key.isEmpty())
            return key;
        newer = {older->sha1, older->nt};
    }
    return {};
}

} // namespace dpapi

namespace {
// The master-key cache holds the keys of one key material at a time: a digest of the material
// they were opened with is remembered here (never the secret itself), and the first use of other
// material empties the cache, so that a wrong password never reaches a key that the right one
// opened earlier.
QByteArray &CacheOwner()
{
    static QByteArray digest;
    return digest;
}

QByteArray DigestOf(const DpapiKeyMaterial &material)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(material.protectDir.toUtf8());
    hash.addData(QByteArray(1, '\0'));
    hash.addData(QByteArray::number(int(material.secret.kind())));
    hash.addData(material.secret.sha1());
    hash.addData(material.secret.ntHash());
    hash.addData(material.secret.wineUsers().join(QChar(u'\0')).toUtf8());
    return hash.result();
}

void UseCacheFor(const DpapiKeyMaterial &material)
{
    const QByteArray digest = DigestOf(material);
    QByteArray &owner = CacheOwner();
    if (owner == digest)
        return;
    if (!owner.isEmpty())
        DpapiMasterKeyCache::Clear();
    owner = digest;
}
} // namespace

void ForgetOpenedMasterKeys()
{
    CacheOwner().clear();
    DpapiMasterKeyCache::Clear();
}

QByteArray UnprotectBytes(const QByteArray &data, const QString &entropy, const DpapiKeyMaterial &key,
                          const QString &fallbackProtectDir)
{
    return UnprotectBytesRaw(data, ToCp1252(entropy), key, fallbackProtectDir);
}

QByteArray UnprotectBytesRaw(const QByteArray &data, const QByteArray &entropyBytes, const DpapiKeyMaterial &material,
                             const QString &fallbackProtectDir)
{
    if (wine::IsWineBlob(data))
        return UnprotectWineBytes(data, entropyBytes, material, fallbackProtectDir);
    const QString protectDir = material.protectDir.isEmpty() ? fallbackProtectDir : material.protectDir;
    if (!material.secret.opensWindowsBlobs())
        Fail(QStringLiteral("No Windows password is set for the profile%1.")
                 .arg(protectDir.isEmpty() ? QString() : QStringLiteral(" of ") + QDir::toNativeSeparators(protectDir)));
    UseCacheFor(material);

    const std::optional<dpapi::Blob> blob = dpapi::Blob::Parse(data);
    if (!blob)
        Fail(kInvalidData);
    if (blob->flags & 0x4)
        Fail(QStringLiteral("The data was protected for the local machine, not for a user; that is not supported."));
    if (!blob->strong.isEmpty())
        Fail(QStringLiteral("The data was protected with an additional password; that is not supported."));

    QString damage; // why a master key that was found could not be opened
    for (const QString &sidFolder : SidFolders(protectDir)) {
        QByteArray key = DpapiMasterKeyCache::Find(sidFolder, blob->masterKeyGuid);
        if (key.isEmpty()) {
            const QString path = MasterKeyPath(sidFolder, blob->masterKeyGuid);
            if (path.isEmpty())
                continue;
            QString error;
            key = dpapi::OpenMasterKeyFile(path, material.secret, QString(), &error);
            if (key.isEmpty()) {
                if (damage.isEmpty())
                    damage = error;
                continue;
            }
            DpapiMasterKeyCache::Store(sidFolder, blob->masterKeyGuid, key);
        }
        const std::optional<QByteArray> plain = dpapi::DecryptBlob(*blob, key, entropyBytes);
        if (!plain)
            Fail(kInvalidData);
        return *plain;
    }
    Fail(damage.isEmpty() ? kKeyNotValid : damage);
}

QByteArray UnprotectWineBytes(const QByteArray &data, const QByteArray &entropy, const DpapiKeyMaterial &material,
                              const QString &origin)
{
    const std::optional<wine::Blob> blob = wine::Blob::Parse(data);
    if (!blob)
        Fail(kInvalidData);
    QStringList names = material.secret.wineUsers();
    for (const QString &name : wine::PrefixUserNames(origin))
        if (!names.contains(name))
            names << name;
    if (names.isEmpty())
        Fail(QStringLiteral("The data was protected by Wine, and no Wine user name is known for it: "
                            "the file is not in the users folder of a Wine prefix."));
    for (const QString &name : std::as_const(names))
        for (const QByteArray &bytes : wine::UserNameBytes(name))
            if (std::optional<QByteArray> plain = wine::Decrypt(*blob, bytes, entropy))
                return *plain;
    Fail(kInvalidData);
}

} // namespace zorvak
