#pragma once
// Helpers of the cabinet tests: content generators, a minimal reader of the tables we write,
// and the folder of the shared sample cabinets.
#include "cabinet/cabfiles.h"
#include "support/TestEnv.h"
#include "support/TestProcess.h"

#include <QByteArray>
#include <QDir>
#include <QRandomGenerator>
#include <QString>

namespace zorvak::test {

// The sample cabinets of ZORVAK_SAMPLES_DIR; tests using them start with
// ZORVAK_REQUIRE_SAMPLES("cabinets").
inline QString SamplesDir() { return SamplesFolder(QStringLiteral("cabinets")); }
inline QString Sample(const char *name) { return SamplesDir() + QLatin1Char('/') + QLatin1String(name); }

// Compressible text with some repetition far apart (so large windows matter).
inline QByteArray TextData(int size, quint32 seed)
{
    QRandomGenerator rng(seed);
    static const char *const words[] = {"emoticon", "wink", "the", "of", "picture", "background", "and",
                                        "display", "a", "folder", "<item/>", "\r\n", "content", "to"};
    QByteArray out;
    while (out.size() < size)
        out += words[rng.bounded(int(sizeof words / sizeof *words))] + QByteArray(" ");
    out.truncate(size);
    return out;
}
inline QByteArray RandomData(int size, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray out(size, '\0');
    for (int i = 0; i < size; ++i)
        out[i] = char(rng.generate());
    return out;
}

inline quint32 LE32(const QByteArray &b, int at)
{
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16
           | quint32(uchar(b[at + 3])) << 24;
}
inline quint16 LE16(const QByteArray &b, int at) { return quint16(uchar(b[at]) | uchar(b[at + 1]) << 8); }

// The tables of a cabinet without reserved areas (the ones our writer makes).
struct CabTables {
    struct Folder { quint32 start; quint16 blocks; quint16 type; };
    struct File { quint32 size, offset; quint16 folder, date, time, attribs; QByteArray name; int nameAt; };
    quint32 cbCabinet = 0, coffFiles = 0;
    quint16 flags = 0, setId = 0, iCabinet = 0, version = 0;
    std::vector<Folder> folders;
    std::vector<File> files;
};
inline CabTables ReadTables(const QByteArray &b)
{
    CabTables t;
    t.cbCabinet = LE32(b, 8);
    t.coffFiles = LE32(b, 16);
    t.version = LE16(b, 24);
    const int nf = LE16(b, 26), nfi = LE16(b, 28);
    t.flags = LE16(b, 30);
    t.setId = LE16(b, 32);
    t.iCabinet = LE16(b, 34);
    for (int i = 0; i < nf; ++i)
        t.folders.push_back({LE32(b, 36 + 8 * i), LE16(b, 40 + 8 * i), LE16(b, 42 + 8 * i)});
    int at = int(t.coffFiles);
    for (int i = 0; i < nfi; ++i) {
        CabTables::File f{LE32(b, at), LE32(b, at + 4), LE16(b, at + 8), LE16(b, at + 10), LE16(b, at + 12),
                          LE16(b, at + 14), QByteArray(), at + 16};
        f.name = QByteArray(b.constData() + at + 16);
        at += 16 + f.name.size() + 1;
        t.files.push_back(f);
    }
    return t;
}

} // namespace zorvak::test
