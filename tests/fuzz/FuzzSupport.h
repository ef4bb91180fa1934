#pragma once
// Helpers of the fuzz targets: a check that stops the run with a message (libFuzzer and the
// replay program both treat an abort as a finding), a private scratch folder per process, and a
// listing of every file below a folder.
#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                                      \
    do {                                                                                      \
        if (!(cond)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);    \
            std::abort();                                                                     \
        }                                                                                     \
    } while (0)

namespace zorvak::fuzz {

inline QByteArray Bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A folder of this process, removed at exit; its path is absolute and canonical, without a
// trailing separator.
inline const QString &Scratch()
{
    // Memory-backed when the machine has it: the targets write a file or more per input.
    static const QString base = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryDir dir(base + QStringLiteral("/zorvak-fuzz-XXXXXX"));
    static const QString path = QDir(dir.path()).canonicalPath();
    if (!dir.isValid() || path.isEmpty()) {
        std::fprintf(stderr, "no scratch folder\n");
        std::abort();
    }
    return path;
}

// Every entry below `folder` (files, folders, links; hidden ones too), as absolute paths.
inline QStringList EntriesBelow(const QString &folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    out.sort();
    return out;
}

inline bool WriteAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

} // namespace zorvak::fuzz
