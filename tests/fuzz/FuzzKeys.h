#pragma once
// The account secrets the DPAPI targets open their inputs with; the corpus generator makes its
// master keys, CREDHIST files and blobs under the same ones, so seeds decrypt all the way.
#include "dpapi/Dpapi.h"

namespace zorvak::fuzz {

inline QString FuzzSid() { return QStringLiteral("S-1-5-21-1-2-3-1001"); }
inline QByteArray FuzzPasswordHash() { return QByteArray(20, '\x5a'); }
inline QByteArray FuzzPreKey()
{
    static const QByteArray key = dpapi::PreKey(FuzzPasswordHash(), FuzzSid());
    return key;
}
inline QByteArray FuzzMasterKey() { return QByteArray(64, '\x11'); }
inline QByteArray FuzzEntropy() { return QByteArrayLiteral("someone@example.com"); }

} // namespace zorvak::fuzz
