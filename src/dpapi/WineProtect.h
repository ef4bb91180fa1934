#pragma once
// Wine's data protection, offline: the blobs that CryptProtectData writes for a program that runs
// under Wine (a Messenger installed in a Wine prefix protects its maps with them).
//
// Such a blob keeps the layout of a Windows blob's opening fields but carries the text
// "Wine Crypt32 ok" where Windows writes its provider GUID, and it needs no password: its key is
// the hash of the Wine user's name (in the ANSI code page, with its terminating zero), a fixed
// text, the blob's salt and the entropy, stretched as CryptDeriveKey stretches a hash. Current
// Wine uses 3DES with SHA-1 and writes both algorithm ids; Wine before that used RC2 with MD5 and
// wrote zeros there (RC2 keys of 128 bits, or 40 bits with 11 zero bytes of salt). The blob ends
// with the hash of the plain text, which tells whether a user name was the right one.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace zorvak::wine {

struct Blob {
    QString description;
    quint32 cipherAlg = 0, cipherBits = 0; // 0 and 0 in the old format
    quint32 hashAlg = 0, hashBits = 0;     // 0 and 0 in the old format
    QByteArray salt, cipherData, fingerprint;

    // nullopt when `data` is not a well-formed Wine blob (its counts, zero fields and the text at
    // the place of the provider GUID are checked as Wine checks them). Bytes after the
    // fingerprint are ignored, as Wine ignores them.
    static std::optional<Blob> Parse(const QByteArray &data);
};

// True when `data` begins as a Wine blob does (a count of 1 and Wine's text), whatever follows.
bool IsWineBlob(const QByteArray &data);
// The first bytes a file must hold for IsWineBlob, after any header of its own.
inline constexpr int kSignatureLength = 20;

// The plain text of `blob` for the Wine user `userName` (bytes, without terminator) and the
// entropy, or nullopt when the fingerprint does not match (another user, other entropy, damaged
// blob) or the algorithms are not Wine's.
std::optional<QByteArray> Decrypt(const Blob &blob, const QByteArray &userName, const QByteArray &entropy);

// The byte forms Wine may have given a user name: the Windows-1252 bytes of the name (the ANSI
// code page of a Western Wine), then its UTF-8 bytes when those differ.
QList<QByteArray> UserNameBytes(const QString &name);

// The Wine user names to try for a file at `path` inside a Wine prefix
// ("<prefix>/drive_c/users/<name>/...", or "drive_c/windows/profiles/<name>" of old Wine): the
// user whose folder holds the path first, then the other users of that prefix, by name (at most
// 64). Empty when the path is in no Wine prefix. Letter case of the folder names is not
// significant (copied prefixes).
QStringList PrefixUserNames(const QString &path);

} // namespace zorvak::wine
