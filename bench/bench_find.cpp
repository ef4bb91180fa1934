// Disk search benchmark: a tree of 1,000,000 files in 100,000 folders (made here, deleted at the
// end), walked on a warm cache by `zorvak-cli find` and by `find TREE -name x` in turns, then by
// `zorvak-cli find --any-name` and `find TREE -type f -size +35c` in turns. Wall time and peak
// resident memory (wait4) of each process; the best and the median of the rounds.
//
//   bench_find [FILES] [FOLDERS] [ROUNDS] [PARENT]   (defaults 1000000 100000 3 and the temp folder)
#include "cabinet/cabfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace zorvak;

namespace {

struct Run {
    double seconds = 0;
    long peakKiB = 0;
    int status = -1;
};

// One program run with its output thrown away; time and peak memory from wait4.
Run Measure(const std::vector<QByteArray> &argv)
{
    std::vector<char *> args;
    for (const QByteArray &a : argv)
        args.push_back(const_cast<char *>(a.constData()));
    args.push_back(nullptr);
    QElapsedTimer t;
    t.start();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    Run r;
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    r.seconds = double(t.nsecsElapsed()) / 1e9;
    r.peakKiB = usage.ru_maxrss;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

bool WriteAt(int folder, const char *name, const QByteArray &data)
{
    const int fd = ::openat(folder, name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, data.constData(), size_t(data.size())) == data.size();
    return ::close(fd) == 0 && ok;
}

// Folders in a 20-ary tree (folder i's parent is (i - 1) / 20, so about five levels), files
// spread over them round robin, each 48 bytes; every 10,000th folder (every tenth of a smaller
// tree) holds a Messenger user folder and a package. Returns the number of places planted.
int MakeTree(const QString &root, int files, int folders, const QByteArray &package)
{
    std::vector<QByteArray> paths(static_cast<size_t>(folders));
    paths[0] = QFile::encodeName(root);
    ::mkdir(paths[0].constData(), 0755);
    for (int i = 1; i < folders; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/folder %05d", i);
        paths[size_t(i)] = paths[size_t((i - 1) / 20)] + name;
        ::mkdir(paths[size_t(i)].constData(), 0755);
    }
    const QByteArray content = QByteArray("some bytes that are not Messenger data at all.").leftJustified(48, '.');
    int planted = 0;
    const int step = std::clamp(folders / 10, 2, 10000);
    for (int folder = 0; folder < folders; ++folder) {
        const int fd = ::open(paths[size_t(folder)].constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (int f = folder; f < files; f += folders) {
            char name[32];
            std::snprintf(name, sizeof name, "file%07d.dat", f);
            WriteAt(fd, name, content);
        }
        if (folder % step == step / 2) {
            ::mkdirat(fd, "1596456324", 0755);
            ::mkdirat(fd, "1596456324/CustomEmoticons", 0755);
            WriteAt(fd, "Pack.mco", package);
            planted += 2;
        }
        ::close(fd);
    }
    return planted;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Pair {
    std::vector<double> ours, theirs;
    long oursPeak = 0, theirsPeak = 0;
};

void Report(const char *what, const char *reference, const Pair &p)
{
    const double best = *std::min_element(p.ours.begin(), p.ours.end());
    const double bestRef = *std::min_element(p.theirs.begin(), p.theirs.end());
    std::printf("%-28s best %7.3f s  median %7.3f s  peak %6.1f MB\n", what, best, Median(p.ours), p.oursPeak / 1024.0);
    std::printf("%-28s best %7.3f s  median %7.3f s  peak %6.1f MB\n", reference, bestRef, Median(p.theirs),
                p.theirsPeak / 1024.0);
    std::printf("%-28s %.2f (best), %.2f (median)\n\n", "ratio ours / reference", best / bestRef,
                Median(p.ours) / Median(p.theirs));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int folders = argc > 2 ? std::max(1, std::atoi(argv[2])) : 100000;
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    QTemporaryDir work(argc > 4 ? QString::fromLocal8Bit(argv[4]) + "/bench_find-XXXXXX" : QDir::tempPath() + "/bench_find-XXXXXX");
    if (!work.isValid())
        return 1;
    const QString tree = work.path() + "/tree";

    TCABFile cab;
    cab.CABFile = work.path() + "/pack.mco";
    QFile xml(work.path() + "/content.xml");
    xml.open(QIODevice::WriteOnly);
    xml.write("<?xml version=\"1.0\"?><package/>");
    xml.close();
    cab.CABFileContents.Add().Name = xml.fileName();
    cab.CreateCabinet();
    QFile packageFile(cab.CABFile);
    packageFile.open(QIODevice::ReadOnly);

    QElapsedTimer made;
    made.start();
    const int planted = MakeTree(tree, files, folders, packageFile.readAll());
    std::printf("tree: %d files in %d folders (+%d places planted), made in %.1f s\n\n", files, folders, planted,
                made.elapsed() / 1000.0);
    std::fflush(stdout);

    const QByteArray cli = ZORVAK_CLI;
    const QByteArray root = QFile::encodeName(tree);
    const std::vector<QByteArray> ours{cli, "find", "--quiet", root};
    const std::vector<QByteArray> oursAny{cli, "find", "--quiet", "--any-name", root};
    const std::vector<QByteArray> theirs{"find", root, "-name", "x"};
    const std::vector<QByteArray> theirsSize{"find", root, "-type", "f", "-size", "+35c"};

    // The check that the walk is whole: every planted place found.
    const QByteArray check = "\"" + cli + "\" find --quiet \"" + root + "\" | wc -l";
    if (FILE *p = ::popen(check.constData(), "r")) {
        int lines = 0;
        if (std::fscanf(p, "%d", &lines) == 1)
            std::printf("places found: %d (planted %d)\n\n", lines, planted);
        ::pclose(p);
    }

    auto alternate = [&](const std::vector<QByteArray> &a, const std::vector<QByteArray> &b) {
        Measure(a); // warm-up of both, not counted
        Measure(b);
        Pair p;
        for (int round = 0; round < rounds; ++round) {
            const Run x = Measure(a);
            const Run y = Measure(b);
            if (x.status != 0 || y.status != 0)
                std::printf("(exit status %d / %d)\n", x.status, y.status);
            p.ours.push_back(x.seconds);
            p.theirs.push_back(y.seconds);
            p.oursPeak = std::max(p.oursPeak, x.peakKiB);
            p.theirsPeak = std::max(p.theirsPeak, y.peakKiB);
        }
        return p;
    };
    Report("zorvak-cli find", "find TREE -name x", alternate(ours, theirs));
    std::fflush(stdout);
    Report("zorvak-cli find --any-name", "find -type f -size +35c", alternate(oursAny, theirsSize));
    std::fflush(stdout);

    QElapsedTimer removed;
    removed.start();
    Measure({"rm", "-rf", root});
    std::printf("tree deleted in %.1f s\n", removed.elapsed() / 1000.0);
    return 0;
}
