#pragma once
// The data-protection call behind map-file decryption.
//
// On Windows this is CryptUnprotectData of the signed-in account. On Linux there is no such
// service, so the call decrypts the Windows DPAPI blob offline from a copied profile: the
// master-key files of "<Application Data>/Microsoft/Protect/<SID>/", the CREDHIST file beside them,
// and the Windows account's password (or its SHA-1 / NT hash), which callers pass in as a
// DpapiKeyMaterial value.
#include "dpapi/DpapiKeyMaterial.h"

#include <QByteArray>
#include <QString>

namespace zorvak {

// Unprotects `data` with `entropy` (the text as Windows-1252 bytes without terminator; an empty
// text is an empty entropy). Raises zorvak::Exception "Failed to decrypt. " followed by the
// reason, with the system's texts where the real service has one:
//   "Key not valid for use in specified state."  wrong password, missing master key
//   "The data is invalid."                        wrong entropy, damaged or truncated blob
// and a text of its own when the key material holds no password / hash (a Wine blob needs none). The master-key folder is
// the key material's; when it names none, `fallbackProtectDir` (DecryptMapFile passes the one found
// from the map file's own path).
QByteArray UnprotectBytes(const QByteArray &data, const QString &entropy, const DpapiKeyMaterial &key,
                          const QString &fallbackProtectDir = QString());

// The same with the entropy as raw bytes (for tools: the map files' entropy is always a text).
QByteArray UnprotectBytesRaw(const QByteArray &data, const QByteArray &entropy, const DpapiKeyMaterial &key,
                             const QString &fallbackProtectDir = QString());

// Both take a blob that Wine wrote (wine::IsWineBlob) to UnprotectWineBytes, with the fallback
// folder as its origin, whatever the key material.

// A blob that Wine's CryptProtectData wrote: no password is needed. It is tried with the Wine
// user names of the key material (DpapiSecret::ForWine), then with those of the Wine prefix that
// holds `origin` (the file it was read from: wine::PrefixUserNames). Raises "Failed to decrypt.
// The data is invalid." when none opens it (wrong entropy, damaged blob, a user name not tried),
// and a text of its own when no user name is known at all.
QByteArray UnprotectWineBytes(const QByteArray &data, const QByteArray &entropy, const DpapiKeyMaterial &key,
                              const QString &origin);

} // namespace zorvak
