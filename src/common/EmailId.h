#pragma once
#include <QString>

namespace zorvak {

// The folder ID under which Messenger keeps the data of an e-mail address: a polynomial hash
// (factor 101) of the address's Windows-1252 bytes, A-Z folded to lower case, kept in 1..2^32.
QString EmailToId(const QString &address);

inline constexpr const char *DefaultMailDomain = "hotmail.com";

} // namespace zorvak
