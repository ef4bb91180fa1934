#pragma once
// Copying files: the one helper every copy of the program goes through. Only regular files are
// read (a FIFO or device node is refused at once instead of blocking), a copy onto the source
// itself does nothing, the target is either refused when it exists or replaced only once the new
// copy is complete, and the modification time can be kept.
#include <QString>

namespace zorvak::fileops {

enum class IfExists {
    Refuse,   // an existing target makes the copy fail ("File exists"); nothing is touched. The
              // copy is written beside the target and takes its name only when complete, and
              // only if no file took that name meanwhile.
    Replace,  // the copy is written beside the target and renamed over it when complete
};

struct CopyOptions {
    IfExists ifExists = IfExists::Refuse;
    bool keepTime = true;   // the copy gets the source's modification (and access) time
};

// Copies `source` to `target`. On failure `error` (when given) receives the system's reason and
// no partial target is left: the bytes go to a hidden name beside the target (".NAME.~copy-*"),
// which gets the final name only once complete. Copying a file onto itself succeeds without doing anything when
// replacing is allowed.
bool CopyFile(const QString &source, const QString &target, CopyOptions options, QString *error = nullptr);

// True for a regular file (symbolic links followed); false for folders, FIFOs, devices, sockets
// and missing paths.
bool IsRegularFile(const QString &path);

// The longest name a file system takes for one path component, in bytes of the name as stored
// (UTF-8 here), whatever the number of characters.
inline constexpr int kMaxNameBytes = 255;

// `name` cut to at most `maxBytes` bytes of UTF-8 on a character boundary (a surrogate pair or a
// multi-byte sequence is never split), keeping its extension (the part from the last dot, when it
// is shorter than the limit). A name that fits is returned as it is.
QString FitFileName(const QString &name, int maxBytes = kMaxNameBytes);

} // namespace zorvak::fileops
