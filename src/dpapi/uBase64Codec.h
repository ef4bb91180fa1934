#pragma once
// Base64 text of a decrypted map file to the UTF-16 text it carries.
#include <QByteArray>
#include <QString>

namespace zorvak {

// Strict RFC 4648 Base64 (standard alphabet, "=" filler only at the end, nothing else accepted
// anywhere, length a multiple of 4) decoded and read as little-endian UTF-16 up to the first
// U+0000 unit; a last odd byte is ignored. Invalid input gives an empty text; never raises.
QString Base64ToWide(const QByteArray &text);

} // namespace zorvak
