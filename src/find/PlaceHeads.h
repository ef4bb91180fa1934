#pragma once
// What the disk search reads of a file it must identify: only the first bytes. A package is a
// Microsoft cabinet whose file table names "content.xml"; a conversation file is an XML document
// whose root element is "Log". Both decisions take bytes already read (or a reader of parts of
// the file), so they never read more than they need and never write.
#include <QByteArray>
#include <QtGlobal>
#include <functional>

namespace zorvak::find {

// Reads up to `length` bytes at `offset` into `into`; returns how many were read (fewer at the
// end of the file), or -1 on an error.
using TReadAt = std::function<qint64(qint64 offset, char *into, qint64 length)>;

// The most of a cabinet's file table that is read: a package holds a few hundred files at most.
inline constexpr qint64 kMaxFileTableBytes = 256 * 1024;
// The first bytes of a file that decide whether it is a conversation file.
inline constexpr int kConversationHeadBytes = 4096;

// Whether the file is a cabinet ("MSCF" header) holding a file named "content.xml" (letter case
// ignored) at its root. Reads the 36-byte header, then the file table where the header places it
// (at most kMaxFileTableBytes of it); `size` is the file's size (the table must begin inside it).
bool IsPackageCabinet(const TReadAt &read, qint64 size);
// The same for a whole file held in memory.
bool IsPackageCabinet(const QByteArray &file);

// Whether `head` (the first bytes of a file) begins an XML document whose root element is "Log":
// a conversation file. Whatever comes after the root element's start tag is not looked at.
bool IsConversationHead(const QByteArray &head);

} // namespace zorvak::find
