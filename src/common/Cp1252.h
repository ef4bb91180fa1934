#pragma once
// Windows-1252 ("ANSI") boundaries: folder IDs, data-protection entropy, decrypted map text and
// content.xml are 8-bit Windows-1252.
#include <QByteArray>
#include <QString>

namespace zorvak {

QByteArray ToCp1252(const QString &text);        // characters outside the code page become '?'
QString FromCp1252(const QByteArray &bytes);
bool IsCp1252Encodable(QChar c);
// Decodes UTF-8 when the bytes are valid UTF-8, else Windows-1252.
QString DecodeUtf8OrCp1252(const QByteArray &bytes);

} // namespace zorvak
