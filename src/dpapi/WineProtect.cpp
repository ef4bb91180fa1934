#include "dpapi/WineProtect.h"

#include "dpapi/Dpapi.h"
#include "common/ByteOrder.h"
#include "common/Cp1252.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>

// The RC2 of the old format is only in OpenSSL's low-level interface (its EVP form needs the
// legacy provider loaded); the low-level calls are deprecated, not removed.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rc2.h>

#include <limits>

namespace zorvak::wine {

namespace {

const QByteArray kMagic("Wine Crypt32 ok\0", 16);
const QByteArray kSecret("I'm hunting wabbits");

constexpr quint32 CALG_RC2 = 0x6602;
constexpr quint32 CALG_MD5 = 0x8003;
constexpr int kMaxUsers = 64;

// A length-prefixed field; a length beyond the data fails the reader.
QByteArray Sized(byteorder::LeReader &r)
{
    quint32 n = 0;
    QByteArray b;
    if (r.U32(n))
        r.Bytes(n > quint32(std::numeric_limits<qsizetype>::max()) ? qsizetype(-1) : qsizetype(n), b);
    return b;
}

quint32 U32(byteorder::LeReader &r)
{
    quint32 v = 0;
    r.U32(v);
    return v;
}

const EVP_MD *Md(quint32 hashAlg)
{
    switch (hashAlg) {
    case dpapi::CALG_SHA1:
        return EVP_sha1();
    case 0:
    case CALG_MD5:
        return EVP_md5();
    default:
        return nullptr;
    }
}

QByteArray Digest(const EVP_MD *md, const QByteArray &data)
{
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned len = 0;
    if (EVP_Digest(data.constData(), size_t(data.size()), out, &len, md, nullptr) != 1)
        return {};
    return QByteArray(reinterpret_cast<const char *>(out), int(len));
}

// CryptDeriveKey: the hash itself when it is long enough, else SHA/MD5 of the hash XORed into
// 64 bytes of 0x36, then of 0x5c, the two joined.
QByteArray Stretch(const EVP_MD *md, const QByteArray &hash, int length)
{
    if (hash.size() >= length)
        return hash.left(length);
    QByteArray inner(64, '\x36'), outer(64, '\x5c');
    for (int i = 0; i < hash.size(); ++i) {
        inner[i] = char(inner[i] ^ hash[i]);
        outer[i] = char(outer[i] ^ hash[i]);
    }
    return (Digest(md, inner) + Digest(md, outer)).left(length);
}

QByteArray Rc2CbcDecrypt(const QByteArray &key, int effectiveBits, const QByteArray &data)
{
    RC2_KEY schedule;
    RC2_set_key(&schedule, int(key.size()), reinterpret_cast<const unsigned char *>(key.constData()), effectiveBits);
    unsigned char iv[8] = {};
    QByteArray out(data.size(), '\0');
    RC2_cbc_encrypt(reinterpret_cast<const unsigned char *>(data.constData()), reinterpret_cast<unsigned char *>(out.data()),
                    long(data.size()), &schedule, iv, RC2_DECRYPT);
    OPENSSL_cleanse(&schedule, sizeof schedule);
    return out;
}

// The plain text less its padding, when the padding is whole (1 to 8 bytes of its own length).
std::optional<QByteArray> Unpad(QByteArray plain)
{
    if (plain.isEmpty())
        return std::nullopt;
    const int pad = uchar(plain.back());
    if (pad < 1 || pad > 8 || pad > plain.size())
        return std::nullopt;
    for (int i = 1; i <= pad; ++i)
        if (uchar(plain[plain.size() - i]) != pad)
            return std::nullopt;
    plain.chop(pad);
    return plain;
}

bool SameName(const QString &a, const char *b) { return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

// The child folder of `folder` named `name`, letter case aside; empty when none.
QString ChildFolder(const QString &folder, const char *name)
{
    const QDir dir(folder);
    for (const QString &entry : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        if (SameName(entry, name))
            return dir.filePath(entry);
    return {};
}

} // namespace

std::optional<Blob> Blob::Parse(const QByteArray &data)
{
    byteorder::LeReader r(data);
    Blob b;
    QByteArray info0, info1, data0, description;
    const quint32 count0 = U32(r);
    r.Bytes(16, info0);
    const quint32 count1 = U32(r);
    r.Bytes(16, info1);
    const quint32 null0 = U32(r);
    description = Sized(r);
    b.cipherAlg = U32(r);
    b.cipherBits = U32(r);
    data0 = Sized(r);
    const quint32 null1 = U32(r);
    b.hashAlg = U32(r);
    b.hashBits = U32(r);
    b.salt = Sized(r);
    b.cipherData = Sized(r);
    b.fingerprint = Sized(r);
    if (!r.ok() || count0 != 1 || count1 != 1 || null0 != 0 || null1 != 0 || info0 != kMagic)
        return std::nullopt;
    b.description = dpapi::DescriptionText(description);
    return b;
}

bool IsWineBlob(const QByteArray &data)
{
    return data.size() >= kSignatureLength && qFromLittleEndian<quint32>(data.constData()) == 1
           && data.mid(4, kMagic.size()) == kMagic;
}

std::optional<QByteArray> Decrypt(const Blob &blob, const QByteArray &userName, const QByteArray &entropy)
{
    const EVP_MD *md = Md(blob.hashAlg);
    const bool des3 = blob.cipherAlg == dpapi::CALG_3DES;
    const bool rc2 = blob.cipherAlg == 0 || blob.cipherAlg == CALG_RC2;
    if (!md || (!des3 && !rc2) || blob.cipherData.isEmpty() || blob.cipherData.size() % 8 != 0)
        return std::nullopt;
    const QByteArray fingerprint = Digest(md, userName + QByteArray(1, '\0') + kSecret + blob.salt + entropy);

    // RC2 keys: the length the blob names, else the 128 bits of the strong provider that old Wine
    // used by default, then the 40 bits of the base provider.
    QList<int> keyBits;
    if (des3)
        keyBits << 192;
    else if (blob.cipherBits)
        keyBits << int(blob.cipherBits);
    else
        keyBits << 128 << 40;
    for (int bits : keyBits) {
        if (rc2 && (bits < 40 || bits > 128 || bits % 8))
            return std::nullopt;
        QByteArray key = Stretch(md, fingerprint, bits / 8);
        QByteArray plain;
        if (des3) {
            plain = dpapi::CbcDecrypt(dpapi::CALG_3DES, key, QByteArray(8, '\0'), blob.cipherData);
        } else {
            if (bits == 40)
                key.append(QByteArray(11, '\0')); // the base provider's zero salt
            plain = Rc2CbcDecrypt(key, bits, blob.cipherData);
        }
        OPENSSL_cleanse(key.data(), size_t(key.size()));
        std::optional<QByteArray> text = Unpad(plain);
        if (!plain.isEmpty())
            OPENSSL_cleanse(plain.data(), size_t(plain.size()));
        if (text && dpapi::ConstantTimeEqual(Digest(md, *text), blob.fingerprint))
            return text;
    }
    return std::nullopt;
}

QList<QByteArray> UserNameBytes(const QString &name)
{
    QList<QByteArray> forms;
    bool latin = true;
    for (QChar c : name)
        latin = latin && IsCp1252Encodable(c);
    if (latin)
        forms << ToCp1252(name);
    const QByteArray utf8 = name.toUtf8();
    if (!forms.contains(utf8))
        forms << utf8;
    return forms;
}

QStringList PrefixUserNames(const QString &path)
{
    if (path.isEmpty())
        return {};
    // Walk up to the prefix's folder of user profiles ("drive_c/users", or "drive_c/windows/profiles"
    // of old Wine), noting the folder met just below it.
    QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString below, driveC;
    for (;;) {
        const QFileInfo info(folder);
        const QString parent = info.absolutePath();
        const QString grandParent = QFileInfo(parent).absolutePath();
        if ((SameName(info.fileName(), "users") && SameName(QFileInfo(parent).fileName(), "drive_c"))
            || (SameName(info.fileName(), "profiles") && SameName(QFileInfo(parent).fileName(), "windows")
                && SameName(QFileInfo(grandParent).fileName(), "drive_c"))) {
            driveC = SameName(info.fileName(), "users") ? parent : grandParent;
            break;
        }
        // A path elsewhere in the prefix's drive_c: every user of it.
        if (SameName(info.fileName(), "drive_c") && info.isDir()) {
            driveC = folder;
            below.clear();
            break;
        }
        if (parent == folder || parent.isEmpty())
            return {};
        below = info.fileName();
        folder = parent;
    }
    QStringList names;
    if (!below.isEmpty())
        names << below;
    const QString windows = ChildFolder(driveC, "windows");
    for (const QString &profiles : {ChildFolder(driveC, "users"), windows.isEmpty() ? QString() : ChildFolder(windows, "profiles")}) {
        if (profiles.isEmpty())
            continue;
        const QDir::Filters dirs = QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
        for (const QString &entry : QDir(profiles).entryList(dirs, QDir::Name)) {
            if (names.size() >= kMaxUsers)
                break;
            if (!names.contains(entry))
                names << entry;
        }
    }
    return names;
}

} // namespace zorvak::wine
