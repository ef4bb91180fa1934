// Browsing benchmark: listing and recognising a folder of 20,000 content files, against
// `file -b --mime-type` on the same files in the same run; scanning a disk of 50 Windows users;
// scanning and listing an ObjectStore account of 5,000 objects.
#include "browse/FolderScan.h"
#include "browse/ObjectStore.h"
#include "browse/Recognition.h"
#include "browse/unitFileFolderUtil.h"
#include "platform/Platform.h"
#include "shell/SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

using namespace zorvak;

namespace {

QByteArray Head(int i)
{
    static const QByteArray heads[] = {
        QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11), QByteArray("GIF89a\x10\x00\x10\x00", 10),
        QByteArray("\x89PNG\r\n\x1a\n", 8),                 QByteArray("MSCF\0\0\0\0", 8),
        QByteArray("CWS\x08\x40\x00\x00\x00", 8),           QByteArray("BM\x36\x00\x00\x00", 6),
        QByteArray("ID3\x03\x00\x00", 6),                   QByteArray("RIFF\x24\x00\x00\x00WAVEfmt ", 16),
        QByteArray("plain text, not content", 23),
    };
    return heads[i % 9];
}

bool Write(const QString &path, const QByteArray &data)
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

struct Result {
    qint64 bestMs = -1;
    int recognised = 0;
};

// What selecting the folder does: list it, filter, recognise every candidate.
Result ListAndRecognise(const QString &folder, int runs)
{
    Result r;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer t;
        t.start();
        const QStringList names = ListFiles(folder);
        int recognised = 0;
        const QString base = WithSeparator(folder);
        for (const QString &name : names)
            if (IsRecognitionCandidate(name) && !RecognizeFile(base + name).isEmpty())
                ++recognised;
        const qint64 ms = t.elapsed();
        r.bestMs = r.bestMs < 0 ? ms : std::min(r.bestMs, ms);
        r.recognised = recognised;
    }
    return r;
}

// `file` on the same files: one process reading the names from a list.
qint64 FileCommand(const QString &folder, const QString &listFile, int runs, int &lines)
{
    qint64 best = -1;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer t;
        t.start();
        QProcess p;
        p.setWorkingDirectory(folder);
        p.start(QStringLiteral("file"), {QStringLiteral("-b"), QStringLiteral("--mime-type"), QStringLiteral("-f"), listFile});
        p.waitForFinished(-1);
        lines = p.readAllStandardOutput().count('\n');
        const qint64 ms = t.elapsed();
        best = best < 0 ? ms : std::min(best, ms);
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int files = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 20000;
    const int users = argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 50;
    QTemporaryDir dir;

    // 1. One folder of `files` files, as Messenger names them (no extension or ".dat").
    const QString folder = dir.filePath(QStringLiteral("CustomEmoticons"));
    QString names;
    for (int i = 0; i < files; ++i) {
        const QString name = (i % 2 ? QStringLiteral("%1.dat") : QStringLiteral("{%1-ABCD}")).arg(i);
        Write(folder + QLatin1Char('/') + name, Head(i) + QByteArray(200, char(i)));
        names += name + QLatin1Char('\n');
    }
    const QString listFile = dir.filePath(QStringLiteral("names.txt"));
    Write(listFile, names.toUtf8());
    ListAndRecognise(folder, 1); // warm the page cache for both contenders
    const Result ours = ListAndRecognise(folder, 5);
    int lines = 0;
    const qint64 theirs = FileCommand(folder, listFile, 3, lines);
    out << "Listing and recognising " << files << " files: " << ours.bestMs << " ms (" << ours.recognised
        << " recognised)\n";
    out << "file -b --mime-type on the same files: " << theirs << " ms (" << lines << " lines)\n";
    if (ours.bestMs > 0)
        out << "Ratio: " << QString::number(double(theirs) / double(ours.bestMs), 'f', 1) << "x\n";

    // 2. A disk of `users` Windows users, each with two Messenger users and six content folders.
    const QString docSet = dir.filePath(QStringLiteral("Documents and Settings")) + QLatin1Char('/');
    const char *content[] = {"CustomEmoticons", "UserTile", "Backgrounds", "Winks3", "DeluxeDisplayPictures",
                             "DynamicBackgrounds"};
    for (int u = 0; u < users; ++u) {
        const QString messenger = docSet + QStringLiteral("User%1/Application Data/Microsoft/MSN Messenger/").arg(u);
        for (int id = 0; id < 2; ++id) {
            const QString idFolder = messenger + QString::number(100000 + u * 10 + id) + QLatin1Char('/');
            Write(idFolder + QStringLiteral("map.dat"), "x");
            for (const char *c : content)
                for (int f = 0; f < 10; ++f)
                    Write(idFolder + QLatin1String(c) + QStringLiteral("/%1.dat").arg(f), Head(f));
        }
        Write(docSet + QStringLiteral("User%1/ntuser.dat").arg(u), "x");
    }
    TSettingsValues settings = TSettingsValues::Defaults();
    settings.docSetDir = docSet;
    settings.appDatDir = QStringLiteral("Application Data/");
    settings.msnDatDir = QStringLiteral("Microsoft/MSN Messenger/");
    qint64 best = -1;
    int nodes = 0;
    for (int run = 0; run < 5; ++run) {
        TSettingsValues s = settings;
        QElapsedTimer t;
        t.start();
        const TFolderForest roots = AutoScan(s, true);
        const qint64 ms = t.elapsed();
        nodes = CountNodes(roots);
        best = best < 0 ? ms : std::min(best, ms);
    }
    out << "Scanning " << users << " Windows users (hide empty folders on): " << best << " ms (" << nodes
        << " nodes)\n";

    // 3. An ObjectStore account of the later Messenger versions with `objects` objects in one kind
    // folder (a ".dt2" and a ".id2" each): the scan that finds it, then listing and recognising its
    // files as selecting the folder does, and pairing its objects as the backup does.
    const int objects = argc > 3 ? QString::fromLatin1(argv[3]).toInt() : 5000;
    const QString users7 = dir.filePath(QStringLiteral("Users")) + QLatin1Char('/');
    const QString kind = users7 + QStringLiteral("Bench/AppData/Local/Microsoft/Messenger/bench@example.com/ObjectStore/CustomEmoticons/");
    for (int i = 0; i < objects; ++i) {
        const QString base = QString::fromLatin1(QByteArray::number(i).toBase64().leftJustified(27, 'A')) + QLatin1Char('=');
        Write(kind + base + QStringLiteral(".dt2"), Head(i) + QByteArray(200, char(i)));
        Write(kind + base + QStringLiteral(".id2"), QByteArray("\x01\x00\x00\x00\xd0\x8c\x9d\xdf", 8) + QByteArray(120, char(i)));
    }
    qint64 scanBest = -1, listBest = -1, pairBest = -1;
    int storeNodes = 0, listed = 0, paired = 0;
    for (int run = 0; run < 6; ++run) { // the first run warms the page cache and is not counted
        TFolderForest roots;
        QElapsedTimer t;
        t.start();
        ScanFolders(roots, 0, users7, TScanOptions::From(settings, true));
        const qint64 scanMs = t.elapsed();
        t.restart();
        const QStringList names = ListFiles(kind);
        int recognised = 0;
        for (const QString &name : names)
            if (IsRecognitionCandidate(name) && !RecognizeContentFile(kind + name).isEmpty())
                ++recognised;
        const qint64 listMs = t.elapsed();
        t.restart();
        paired = int(objstore::ListObjects(kind).size());
        const qint64 pairMs = t.elapsed();
        storeNodes = CountNodes(roots);
        listed = recognised;
        if (run == 0)
            continue;
        scanBest = scanBest < 0 ? scanMs : std::min(scanBest, scanMs);
        listBest = listBest < 0 ? listMs : std::min(listBest, listMs);
        pairBest = pairBest < 0 ? pairMs : std::min(pairBest, pairMs);
    }
    out << "Scanning a profile with an ObjectStore of " << objects << " objects: " << scanBest << " ms (" << storeNodes
        << " nodes)\n";
    out << "Listing and recognising its " << 2 * objects << " files: " << listBest << " ms (" << listed
        << " recognised)\n";
    out << "Pairing its objects with their metadata: " << pairBest << " ms (" << paired << " objects)\n";
    return 0;
}
