#pragma once
#include <atomic>
#include <thread>
// Fixture builders for the browsing tests: content files of every recognised kind, Flash
// movies, and a synthetic disk of Windows profiles with Messenger data folders.
#include "browse/FolderScan.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace zorvak::test {

// The first bytes of a file of the given extension (".jpg" JFIF, ".gif", ".png", ...), padded.
QByteArray KindBytes(const char *extension);
// Real decodable pictures.
QByteArray PngPicture(int width, int height);
QByteArray JpegPicture(int width, int height);
QByteArray GifPicture(int frames);   // 1x1, `frames` frames
// A Flash movie header: width x height pixels, rate, frame count; "CWS" compressed or "FWS".
QByteArray SwfMovie(bool compressed, int width, int height, double rate, int frames, int version = 8);

// A cabinet made by gcab (an independent implementation) holding the given files, compressed.
QByteArray GcabCabinet(const QString &workFolder, const QList<QPair<QString, QByteArray>> &files);

// The tree as text: one node a line, depth as leading tabs, "caption icon", children sorted by
// caption (the file system's listing order is not fixed).
QString TreeText(const TFolderForest &forest);

// A disk with Windows profiles below root + "DS/":
//   Alice (Application Data/Microsoft/MSN Messenger):
//     <idAlice>: map.dat, CustomEmoticons (a.dat JPEG, b PNG, b.dat GIF, map.dat, notes.txt),
//                UserTile (pic.png), Backgrounds (empty), MapFile (x), DynamicBackgrounds (files
//                only in a sub-folder), VoiceClips (v.dat MP3), Winks3 (w.dat SWF)
//     22222222: a file, no sub-folder;  33333333: files only in a sub-folder's sub-folder
//     12a45: a file and a sub-folder (never shown);  44444444: empty
//   Bob: <idBob>: CustomEmoticons (e.dat GIF)
//   Carol: an empty Messenger folder;  "All Users": no Messenger folder
struct TSyntheticDisk {
    QString root;        // ends with '/'
    QString docSet;      // root + "DS/"
    QString idAlice;     // folder IDs of alice@hotmail.com and bob@example.com
    QString idBob;
    QString Messenger(const QString &user) const;   // docSet + user + "/Application Data/Microsoft/MSN Messenger/"
};
TSyntheticDisk MakeSyntheticDisk(const QString &root);

// Writes a file by the bytes of its path (which need not be UTF-8), making missing folders.
void WriteRawFile(const QByteArray &path, const QByteArray &data);
// Removes a folder tree by its bytes (QTemporaryDir cannot remove names that are not UTF-8).
void RemoveRawTree(const QByteArray &path);

// A FIFO that nothing may open for reading. A watcher thread keeps trying to open its writing end
// without blocking; that succeeds only while a reader has it open, so a reader that would block
// for ever is released at once (it reads end-of-file) and the fault is recorded instead of
// hanging the suite.
class TFifoWatch {
public:
    explicit TFifoWatch(const QString &path);   // makes the FIFO
    ~TFifoWatch();                              // removes it
    bool Opened() const { return m_opened.load(); }

private:
    QByteArray m_path;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_opened{false};
    std::thread m_thread;
};

} // namespace zorvak::test
