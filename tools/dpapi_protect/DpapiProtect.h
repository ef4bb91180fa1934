#pragma once
// The protect direction of Windows DPAPI (user scope), for test fixtures and the demo profile
// only: master-key files, CREDHIST files, Preferred files and blobs laid out as Windows writes
// them, and Messenger map files protected with an e-mail address.
#include "dpapi/Dpapi.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace zorvak::dpapi::protect {

// Xp: 3DES + SHA-1, 4000 rounds (Windows XP). Modern: AES-256 + SHA-512, 8000 rounds (Windows 8+).
enum class Flavour { Xp, Modern };

struct MasterKeyParams {
    QString sid;
    QByteArray passwordHash;      // SHA-1 (local account, policy 5) or NT hash (give policy 0)
    Flavour flavour = Flavour::Xp;
    quint32 rounds = 0;           // 0: the flavour's usual count
    quint32 policy = PolicyLocalBackup | PolicySha1;
    QString guid;                 // empty: a random one
    QByteArray masterKey;         // empty: 64 random bytes
    QString credhistGuid;         // empty: no CREDHIST section
};

struct MadeMasterKey {
    QString guid;
    QByteArray masterKey; // the 64 plain bytes
    QByteArray file;      // the master-key file
};

MadeMasterKey MakeMasterKeyFile(const MasterKeyParams &params);

// A blob of `plaintext` under the master key, with the entropy bytes (empty: none).
QByteArray MakeBlob(const QByteArray &masterKey, const QString &masterKeyGuid, const QByteArray &plaintext,
                    const QByteArray &entropy, Flavour flavour, const QString &description = QString());

// The 24-byte Preferred file: the GUID of the key for new protections and its expiry.
QByteArray MakePreferred(const QString &guid, const QDateTime &expiry);

// A CREDHIST file for the password history `hashes` (SHA-1 hashes with their NT hashes, oldest
// first, the current password last). Entry i (1-based) holds the hashes of password i-1 under
// password i. guids[i] is the GUID that a master key made under password i names (guids[0]
// is the first footer's, the others the entries').
struct PasswordHashes {
    QByteArray sha1, nt;
    static PasswordHashes Of(const QString &password);
};
struct MadeCredhist {
    QByteArray file;
    QStringList guids;
};
MadeCredhist MakeCredhist(const QList<PasswordHashes> &history, const QString &sid, quint32 rounds = 4000);

// A Messenger map file: two leading bytes, then a blob whose payload is the Base64 text of the
// UTF-16LE `text` with its terminator, NUL-terminated. The entropy is the address as
// Windows-1252 bytes.
QByteArray MakeMapFile(const QString &text, const QString &email, const QByteArray &masterKey,
                       const QString &masterKeyGuid, Flavour flavour);

// A random GUID in text form.
QString RandomGuid();

} // namespace zorvak::dpapi::protect
