#pragma once
// Key material of the offline data protection (Linux): a value that the callers who know it (the
// backup dialog, "zorvak-cli backup" / "dpapi" / "map") fill and hand to the decryption.
//
// Usage:
//     zorvak::DpapiKeyMaterial key;
//     key.protectDir = zorvak::FindProtectDir(messengerUserFolder);  // optional, see below
//     key.secret = zorvak::DpapiSecret::FromPassword(password);     // or FromHashHex(hex)
//     zorvak::UnprotectBytes(blob, email, key);
//
// Maps that Wine protected need no password: zorvak::WineKeyMaterial() is their key material
// (AllMapsProtectedByWine and IsWineMapFile in MapFileCrypt.h tell when it is enough), and any
// other material opens them too.
//
// Nothing of it is kept process-wide. Master keys opened with a material are kept in memory
// (never written anywhere) while the same material is in use; the first use of different
// material, or ForgetOpenedMasterKeys(), forgets them.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zorvak {

// The Windows account's secret: the password itself (an empty password is a valid one), or a
// ready hash of it: SHA-1 of the UTF-16LE password (20 bytes, local accounts) or the NT hash
// (16 bytes, MD4, domain accounts). Or no secret at all for maps that Wine protected (a Messenger
// run under Wine): Wine's blobs are opened with the Wine user's name, which is taken from the
// Wine prefix that holds the file (wine::PrefixUserNames), after any names given here.
class DpapiSecret {
public:
    enum Kind { None, Password, Sha1Hash, NtHash, Wine };
    DpapiSecret() = default;
    static DpapiSecret FromPassword(const QString &password);
    // Wine's blobs, no password; `userNames` are tried before the prefix's own.
    static DpapiSecret ForWine(const QStringList &userNames = {});
    // 40 hex digits: SHA-1; 32: NT hash. An optional "0x" prefix is allowed. Anything else
    // raises EConvertError.
    static DpapiSecret FromHashHex(const QString &hex);
    static DpapiSecret FromHash(const QByteArray &hash); // 20 or 16 bytes, else EConvertError

    Kind kind() const { return m_kind; }
    bool isSet() const { return m_kind != None; }
    // A password or a hash: what opens Windows blobs (a Wine secret opens only Wine's).
    bool opensWindowsBlobs() const { return m_kind != None && m_kind != Wine; }
    // The Wine user names given with ForWine.
    QStringList wineUsers() const { return m_kind == Wine ? m_users : QStringList(); }
    // The SHA-1 password hash, when known (a password, or a SHA-1 hash given).
    QByteArray sha1() const;
    // The NT password hash, when known (a password, or an NT hash given).
    QByteArray ntHash() const;
    bool operator==(const DpapiSecret &other) const;

private:
    Kind m_kind = None;
    QString m_password;
    QByteArray m_hash;
    QStringList m_users;
};

struct DpapiKeyMaterial {
    // "<Application Data>/Microsoft/Protect" (every "S-1-…" folder in it is tried) or one
    // "<SID>" folder inside it. Empty: found from the file being decrypted (see UnprotectBytes).
    QString protectDir;
    DpapiSecret secret;
    bool operator==(const DpapiKeyMaterial &other) const
    {
        return protectDir == other.protectDir && secret == other.secret;
    }
};

// The material of maps protected by Wine: no password, no master-key folder.
DpapiKeyMaterial WineKeyMaterial(const QStringList &userNames = {});

// Convenience: the material of a password, or (isHash) of a hash in hex (EConvertError when it is
// not one); protectDir may be empty.
DpapiKeyMaterial DpapiCredentials(const QString &protectDir, const QString &passwordOrHash, bool isHash);

// Forgets the master keys opened so far (the backup window calls it when it closes).
void ForgetOpenedMasterKeys();

// The master-key folder "<Application Data>/Microsoft/Protect" of the Windows profile that holds
// `path` (a Messenger user folder, a content folder, a map file...): walks up from the path to the
// first ancestor that has a "Microsoft/Protect" folder (the Application Data folder). Empty when
// there is none. Letter case of "Microsoft" and "Protect" is not significant (copied profiles).
// When no ancestor has one, a master-key folder remembered for a folder above `path` (a disk
// search found it) is taken: "Protect" in "AppData/Roaming" serves a profile's "AppData/Local".
QString FindProtectDir(const QString &path);
// Remembers `protectDir` (a "Protect" folder or one "<SID>" folder in it) as the master-key folder
// of everything below `profile`, for the rest of the run.
void RememberProtectDir(const QString &profile, const QString &protectDir);

} // namespace zorvak
