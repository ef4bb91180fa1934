#pragma once
// Windows DPAPI (user scope) structures and cryptography, offline: master-key files, CREDHIST,
// blobs, and the key derivations that join them. Used by CryptUtil's offline UnprotectBytes, the
// "zorvak-cli dpapi" verb and the test-support protect direction. Every value is little-endian
// on disk; GUIDs are in Microsoft's mixed-endian binary form.
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "dpapi/DpapiKeyMaterial.h"

namespace zorvak::dpapi {

enum AlgId : quint32 {
    CALG_3DES = 0x6603,
    CALG_AES_128 = 0x660e,
    CALG_AES_192 = 0x660f,
    CALG_AES_256 = 0x6610,
    CALG_SHA1 = 0x8004,
    CALG_HMAC = 0x8009, // in master keys and CREDHIST: HMAC-SHA-1
    CALG_SHA_256 = 0x800c,
    CALG_SHA_384 = 0x800d,
    CALG_SHA_512 = 0x800e,
};

// Digest and block lengths of a hash ALG_ID; 0 when not supported.
int DigestLength(quint32 hashAlg);
int HashBlockLength(quint32 hashAlg);
// Key and block lengths of a cipher ALG_ID; 0 when not supported.
int CipherKeyLength(quint32 cipherAlg);
int CipherBlockLength(quint32 cipherAlg);

QByteArray Hash(quint32 hashAlg, const QByteArray &data);
QByteArray Hmac(quint32 hashAlg, const QByteArray &key, const QByteArray &message);
// DPAPI's PBKDF2: each round's HMAC is taken over the running XOR accumulator.
QByteArray DpapiPbkdf2(quint32 hashAlg, const QByteArray &key, const QByteArray &salt, quint32 rounds, int length);
// CBC without padding; empty on a length that is not a whole number of blocks or a bad key.
QByteArray CbcDecrypt(quint32 cipherAlg, const QByteArray &key, const QByteArray &iv, const QByteArray &data);
QByteArray CbcEncrypt(quint32 cipherAlg, const QByteArray &key, const QByteArray &iv, const QByteArray &data);
bool ConstantTimeEqual(const QByteArray &a, const QByteArray &b);
QByteArray RandomBytes(int count);

QByteArray Utf16Le(const QString &text);       // no terminator
QString GuidToText(const QByteArray &bytes);    // 16 bytes -> "9fb6442f-626a-...", lower case
QByteArray GuidFromText(const QString &text);   // the inverse; empty when malformed
QByteArray SidToBinary(const QString &sid);     // "S-1-5-21-..." -> SID structure; empty when malformed
QString SidFromBinary(const QByteArray &sid);

// Password hashes: SHA-1 or NT (MD4) of the UTF-16LE password.
QByteArray Sha1PasswordHash(const QString &password);
QByteArray NtPasswordHash(const QString &password);
// Windows 10 1607+ domain accounts: the "secure cred key" derived from the NT hash.
QByteArray SecureCredKey(const QByteArray &ntHash, const QString &sid);
// HMAC-SHA1(pwHash, UTF-16LE(SID) + NUL).
QByteArray PreKey(const QByteArray &passwordHash, const QString &sid);

// The most PBKDF2 rounds a master key or CREDHIST entry may ask for. Windows writes a few
// thousand to a few hundred thousand; a larger count comes from a damaged file and would keep the
// derivation busy for minutes, so it is refused when read.
inline constexpr quint32 MaxKeyRounds = 1000000;

// One MasterKey structure (the master-key or backup-key section of a master-key file).
struct MasterKey {
    quint32 version = 2;
    QByteArray salt;      // 16 bytes
    quint32 rounds = 0;
    quint32 hashAlg = 0;
    quint32 cipherAlg = 0;
    QByteArray encrypted;

    // nullopt when the section is too short or asks for more than MaxKeyRounds rounds.
    static std::optional<MasterKey> Parse(const QByteArray &section);
    QByteArray Serialize() const;
    // The 64-byte master key, or empty when the HMAC check fails (wrong pre-key).
    QByteArray Decrypt(const QByteArray &preKey) const;
};

enum MasterKeyPolicy : quint32 { PolicyLocalBackup = 0x1, PolicyNoBackup = 0x2, PolicySha1 = 0x4 };

struct MasterKeyFile {
    quint32 version = 2;
    QString guid;         // lower-case text, from the header
    quint32 policy = 0;
    QByteArray masterKeySection, backupKeySection, credhistSection, domainKeySection;

    static std::optional<MasterKeyFile> Parse(const QByteArray &data);
    QByteArray Serialize() const;
    std::optional<MasterKey> masterKey() const { return MasterKey::Parse(masterKeySection); }
    // GUID text of the CREDHIST entry named by the CREDHIST section; empty when absent.
    QString credhistGuid() const;
};

// One entry of the CREDHIST file: an older password's hashes under the next newer password.
struct CredhistEntry {
    quint32 version = 1;
    quint32 hashAlg = CALG_HMAC;
    quint32 rounds = 0;
    quint32 cipherAlg = CALG_3DES;
    quint32 sha1Length = 20;
    quint32 ntLength = 20;
    QByteArray salt;      // 16 bytes
    QByteArray sid;       // binary SID
    QByteArray encrypted;
    QString guid;         // from the entry's footer

    struct Hashes { QByteArray sha1, nt; };
    // The older password's hashes, decrypted with the newer password's pre-key; nullopt when the
    // padding check fails.
    std::optional<Hashes> Decrypt(const QByteArray &preKey) const;
};
// The entries of a CREDHIST file, newest first; nullopt when the file is malformed (an entry
// asking for more than MaxKeyRounds rounds included).
std::optional<QList<CredhistEntry>> ParseCredhist(const QByteArray &data);

// A blob's description as stored: UTF-16LE up to its terminating zero.
QString DescriptionText(const QByteArray &utf16le);

// A DPAPI blob (what CryptProtectData returns).
struct Blob {
    quint32 version = 1;
    QByteArray provider;  // 16 bytes
    quint32 masterKeyVersion = 1;
    QString masterKeyGuid;
    quint32 flags = 0;
    QString description;
    quint32 cipherAlg = 0, cipherBits = 0;
    QByteArray salt, strong;
    quint32 hashAlg = 0, hashBits = 0;
    QByteArray hmacNonce, cipherData, sign;
    QByteArray signedRegion; // from the master-key version through the cipher data

    // nullopt when the bytes are not a well-formed version-1 blob. Bytes after the sign are
    // ignored (they are not covered by it).
    static std::optional<Blob> Parse(const QByteArray &data);
};

QByteArray ProviderGuid();

// The two session-key constructions: Xp (SHA-1 blobs: entropy in the outer hash) and Hmac
// (RFC 2104, SHA-2 blobs). `mkHash` is SHA-1 of the 64-byte master key.
enum class SessionKind { Xp, Hmac };
QByteArray SessionKey(SessionKind kind, quint32 hashAlg, const QByteArray &mkHash, const QByteArray &salt,
                      const QByteArray &entropy, const QByteArray &signedData = QByteArray());
// CryptDeriveKey's expansion of a session key to `keyLength` bytes.
QByteArray DeriveCipherKey(quint32 hashAlg, const QByteArray &sessionKey, int keyLength);

// The plaintext of the blob under the 64-byte master key and entropy, or nullopt when the sign
// does not match (wrong entropy, wrong master key, damaged blob) or the padding is bad.
std::optional<QByteArray> DecryptBlob(const Blob &blob, const QByteArray &masterKey, const QByteArray &entropy);

// Opens a master-key file with the account's secret: directly, then through the CREDHIST chain of
// the Protect folder above it (keys made under an earlier password). The SID is the name of the
// file's folder unless given. Returns the 64-byte master key, or empty when it does not open.
// When it does not open because the master-key file or the CREDHIST file beside it is damaged
// (malformed, or asking for more than MaxKeyRounds rounds), `error` receives why.
QByteArray OpenMasterKeyFile(const QString &path, const DpapiSecret &secret, const QString &sid = QString(),
                             QString *error = nullptr);

} // namespace zorvak::dpapi
