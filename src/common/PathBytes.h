#pragma once
// Names on disk are bytes. A name that is valid UTF-8 is held as its text; a byte that is not part
// of a valid UTF-8 sequence (a Windows-1252 "caf\xe9" from an old FAT disk or a Windows archive) is
// held as the lone surrogate U+DC80..U+DCFF of that byte, so every name found on disk can be given
// back to the system exactly as it was read. Qt's own file classes cannot take such names (they
// encode paths as UTF-8 and replace what is not): every file operation on a name that came from a
// listing goes through the functions below.
#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>

namespace zorvak {

// Bytes of a name or path as the system gives them, to the text that keeps them.
QString PathFromBytes(const QByteArray &bytes);
// The exact bytes again: every U+DC80..U+DCFF becomes its byte, everything else UTF-8.
QByteArray PathToBytes(const QString &path);
// Does the text hold a byte that is not valid UTF-8?
bool HasRawBytes(const QString &path);
// The name for a person or a file format: raw bytes read as Windows-1252 ("caf\xe9" -> "café").
QString DisplayPath(const QString &path);
// The name in a report, raw bytes shown escaped ("caf\xe9"): says exactly what is on disk.
QString EscapedPath(const QString &path);
// The program's arguments (argv without the program), each kept byte for byte.
QStringList ArgumentsFromBytes(int argc, char *argv[]);

namespace fsys {

// stat(2) through the name's bytes (links followed). False when the path does not exist.
bool IsDir(const QString &path);
bool IsFile(const QString &path);          // a regular file
bool Exists(const QString &path);          // anything, a dangling link included
bool IsSymLink(const QString &path);
qint64 Size(const QString &path);          // -1 when it cannot be stat'ed
QDateTime Modified(const QString &path);   // invalid when it cannot be stat'ed
// The path with links and "." / ".." resolved, empty when it does not exist.
QString Canonical(const QString &path);
// Creates the folder and every missing folder above it; true when it exists as a folder after.
bool MakePath(const QString &path);
bool Remove(const QString &path);          // a file or link, never a folder
bool Rename(const QString &from, const QString &to);
// Opens `file` on the path's bytes (QFile::open on the descriptor, which the QFile then owns).
// ReadOnly, WriteOnly (created, truncated unless Append) and ReadWrite are taken; `error`
// receives the system's reason.
bool Open(QFile &file, const QString &path, QIODevice::OpenMode mode, QString *error = nullptr);
// The whole file, or nothing (with `ok` false) when it cannot be read.
QByteArray ReadAll(const QString &path, bool *ok = nullptr);
// Names in a folder ("." and ".." left out), sorted by their bytes; false when it cannot be read.
bool Entries(const QString &folder, QStringList &names);

} // namespace fsys
} // namespace zorvak
