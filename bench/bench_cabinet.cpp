// Cabinet benchmark: creation (MSZIP, LZX) and extraction on about 50 MB of generated mixed
// content, measured in the same run against `gcab -c -z` (creation) and `cabextract` (extraction).
//
//   bench_cabinet [--megabytes N] [--runs R] [--keep DIR]
//
// Content: JPEG pictures of noise (do not compress), text (word soup with markup) and BMP bitmaps
// of flat shapes (compress well), in about equal shares. Each timing is the best of R runs.
#include "cabinet/cabfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

using namespace zorvak;

namespace {

QRandomGenerator rng(20261209);

void WriteText(const QString &path, qint64 bytes)
{
    static const char *const words[] = {
        "the", "of", "and", "to", "in", "a", "is", "that", "for", "it", "as", "was", "with", "be", "by",
        "on", "not", "he", "this", "are", "or", "his", "from", "at", "which", "but", "have", "an", "had",
        "they", "you", "were", "their", "one", "all", "we", "can", "her", "has", "there", "been", "if",
        "more", "when", "will", "would", "who", "so", "no", "emoticon", "background", "picture", "wink",
        "messenger", "contact", "display", "folder", "package", "content", "shortcut", "friendly",
        "conversation", "signature", "animation", "install", "backup", "restore", "cabinet", "window"};
    const int n = int(sizeof words / sizeof *words);
    QByteArray text;
    text.reserve(int(bytes) + 64);
    int line = 0;
    while (text.size() < bytes) {
        if (line == 0)
            text += "<item id=\"" + QByteArray::number(rng.bounded(100000)) + "\" type=\"" + words[rng.bounded(n)] + "\">";
        // Zipf-like: small indexes far more often
        const double u = rng.generateDouble();
        const int w = std::min(n - 1, int(n * u * u * u));
        text += words[w];
        text += (++line % 14 == 0) ? "</item>\n" : " ";
        if (line % 14 == 0)
            line = 0;
    }
    text.truncate(int(bytes));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text);
}

void WriteJpeg(const QString &path, int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto *row = reinterpret_cast<quint32 *>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            row[x] = rng.generate() | 0xFF000000u;
    }
    img.save(path, "JPEG", 92);
}

void WriteBmp(const QString &path, int w, int h)
{
    QImage img(w, h, QImage::Format_RGB888);
    img.fill(QColor::fromRgb(rng.generate()));
    QPainter p(&img);
    for (int i = 0; i < 40; ++i) {
        p.setBrush(QColor::fromRgb(rng.generate()));
        p.setPen(Qt::NoPen);
        const int x = int(rng.bounded(w)), y = int(rng.bounded(h));
        if (i % 2)
            p.drawEllipse(x, y, int(rng.bounded(w / 3)) + 5, int(rng.bounded(h / 3)) + 5);
        else
            p.drawRect(x, y, int(rng.bounded(w / 3)) + 5, int(rng.bounded(h / 3)) + 5);
    }
    p.end();
    img.save(path, "BMP");
}

qint64 FolderBytes(const QString &dir)
{
    qint64 n = 0;
    for (const QFileInfo &fi : QDir(dir).entryInfoList(QDir::Files))
        n += fi.size();
    return n;
}

struct Timing {
    double wall = 1e30; // seconds, best run
    double cpu = 1e30;  // user + system seconds of this process and its children, best run
};

double CpuSeconds()
{
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage u{};
        getrusage(who, &u);
        total += double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

void Measure(Timing &t, const std::function<void()> &setup, const std::function<void()> &work)
{
    if (setup)
        setup();
    const double cpu0 = CpuSeconds();
    QElapsedTimer timer;
    timer.start();
    work();
    t.wall = std::min(t.wall, timer.nsecsElapsed() / 1e9);
    t.cpu = std::min(t.cpu, CpuSeconds() - cpu0);
}

bool Run(const QString &program, const QStringList &args, const QString &cwd = QString())
{
    QProcess p;
    if (!cwd.isEmpty())
        p.setWorkingDirectory(cwd);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed\n", qPrintable(program));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    int megabytes = 50, runs = 3;
    QString keep;
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--megabytes"))
            megabytes = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--runs"))
            runs = std::max(1, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--keep"))
            keep = args[i + 1];
    }
    QTemporaryDir tmp;
    const QString work = keep.isEmpty() ? tmp.path() : keep;
    const QString src = work + QStringLiteral("/content");
    QDir().mkpath(src);

    // ---- content: a third pictures, a third text, a third bitmaps ----
    const qint64 share = qint64(megabytes) * 1024 * 1024 / 3;
    int n = 0;
    for (qint64 done = 0; done < share; ++n) {
        const QString p = src + QStringLiteral("/picture%1.jpg").arg(n);
        WriteJpeg(p, 300 + int(rng.bounded(500)), 200 + int(rng.bounded(400)));
        done += QFileInfo(p).size();
    }
    for (qint64 done = 0; done < share; ++n) {
        const qint64 size = 2000 + rng.bounded(600000);
        WriteText(src + QStringLiteral("/text%1.xml").arg(n), size);
        done += size;
    }
    for (qint64 done = 0; done < share; ++n) {
        const QString p = src + QStringLiteral("/bitmap%1.bmp").arg(n);
        WriteBmp(p, 96 + int(rng.bounded(600)), 96 + int(rng.bounded(500)));
        done += QFileInfo(p).size();
    }
    const qint64 input = FolderBytes(src);
    QStringList names = QDir(src).entryList(QDir::Files, QDir::Name);
    std::printf("content: %d files, %.1f MB (pictures, text, bitmaps); best of %d runs\n", int(names.size()),
                input / 1048576.0, runs);

    auto create = [&](const QString &out, TCompressionType type, TLZXMemory mem) {
        TCABFile cab;
        cab.CABFile = out;
        cab.CompressionType = type;
        cab.LZXMemory = mem;
        cab.CABFileContents.AddFiles(src + QStringLiteral("/*.*"));
        cab.CreateCabinet();
    };
    const QString oursMszip = work + QStringLiteral("/ours-mszip.cab");
    const QString oursLzx = work + QStringLiteral("/ours-lzx21.cab");
    const QString gcabCab = work + QStringLiteral("/gcab.cab");
    const QString outDir = work + QStringLiteral("/out");
    auto cleanOut = [&] { QDir(outDir).removeRecursively(); QDir().mkpath(outDir); };

    Timing tOursZip, tGcab, tOursLzx, tOursNone, tOursX, tCabextract, tOursXLzx, tCabextractLzx;
    const auto extractOurs = [&](const QString &cabinet) {
        TCABFile cab;
        cab.CABFile = cabinet;
        cab.TargetPath = outDir;
        if (!cab.ExtractAll())
            std::fprintf(stderr, "extraction failed: %s\n", qPrintable(cab.LastError()));
    };
    const auto extractCabextract = [&](const QString &cabinet) {
        Run(QStringLiteral("cabextract"), {QStringLiteral("-q"), QStringLiteral("-d"), outDir, cabinet});
    };
    Measure(tOursLzx, nullptr, [&] { create(oursLzx, typLZX, lzxHighest); });
    // the competitors alternate within each round, so a busy moment hurts both alike
    for (int r = 0; r < runs; ++r) {
        Measure(tOursZip, nullptr, [&] { create(oursMszip, typMSZIP, lzxLowest); });
        Measure(tGcab, [&] { QFile::remove(gcabCab); },
                [&] { Run(QStringLiteral("gcab"), QStringList{QStringLiteral("-c"), QStringLiteral("-z"), gcabCab} + names, src); });
        Measure(tOursNone, nullptr, [&] { create(work + QStringLiteral("/ours-none.cab"), typNone, lzxLowest); });
        Measure(tOursX, cleanOut, [&] { extractOurs(oursMszip); });
        Measure(tCabextract, cleanOut, [&] { extractCabextract(oursMszip); });
        Measure(tOursXLzx, cleanOut, [&] { extractOurs(oursLzx); });
        Measure(tCabextractLzx, cleanOut, [&] { extractCabextract(oursLzx); });
    }
    cleanOut();
    extractOurs(oursMszip);
    const qint64 extracted = FolderBytes(outDir);
    cleanOut();
    extractOurs(oursLzx);
    const qint64 extractedLzx = FolderBytes(outDir);

    const auto mb = [](const QString &f) { return QFileInfo(f).size() / 1048576.0; };
    std::printf("\n| operation | wall (s) | CPU (s) | size (MB) | of input |\n|---|---:|---:|---:|---:|\n");
    const auto row = [&](const char *what, const Timing &t, const QString &file) {
        if (file.isEmpty())
            std::printf("| %s | %.2f | %.2f | | |\n", what, t.wall, t.cpu);
        else
            std::printf("| %s | %.2f | %.2f | %.2f | %.3f |\n", what, t.wall, t.cpu, mb(file), mb(file) * 1048576.0 / input);
    };
    row("create MSZIP, ours", tOursZip, oursMszip);
    row("create MSZIP, `gcab -c -z`", tGcab, gcabCab);
    row("create LZX 21, ours (one run)", tOursLzx, oursLzx);
    row("create stored, ours", tOursNone, work + QStringLiteral("/ours-none.cab"));
    row("extract MSZIP cabinet, ours", tOursX, QString());
    row("extract MSZIP cabinet, `cabextract`", tCabextract, QString());
    row("extract LZX 21 cabinet, ours", tOursXLzx, QString());
    row("extract LZX 21 cabinet, `cabextract`", tCabextractLzx, QString());
    std::printf("\ncreation ours/gcab: wall %.2f, CPU %.2f (target <= 1.20); size %.3f (target <= 1)\n",
                tOursZip.wall / tGcab.wall, tOursZip.cpu / tGcab.cpu,
                double(QFileInfo(oursMszip).size()) / double(QFileInfo(gcabCab).size()));
    std::printf("extraction ours/cabextract: wall %.2f, CPU %.2f (target <= 1.20)\n", tOursX.wall / tCabextract.wall,
                tOursX.cpu / tCabextract.cpu);
    std::printf("LZX 21 / MSZIP size: %.3f (target < 1)\n", double(QFileInfo(oursLzx).size()) / double(QFileInfo(oursMszip).size()));
    const bool same = extracted == input && extractedLzx == input;
    std::printf("extracted bytes %s input\n", same ? "equal" : "DIFFER from");
    return same ? 0 : 1;
}
