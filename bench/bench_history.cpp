// History benchmark: 500,000 messages in 200 conversation files (about 150 MB), listed and
// exported to each format, against "xmllint --stream --noout" over the same files in the same
// run (one xmllint process given every file, as one export is one process given the folder).
// Each operation runs in a child process of its own, so that its peak resident memory is its own
// (wait4's ru_maxrss); times are wall-clock and CPU (user and system) time of that process, median
// of the runs. The exports use a thread a core (the machine's load is printed: on a busy machine
// the wall times say little, the CPU times compare the work).
//   bench_history [RUNS [CONVERSATIONS]]   (3 runs, 200 conversations by default)
#include "history/HistoryExport.h"
#include "history/HistoryFind.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace zorvak;
using namespace zorvak::history;

namespace {

int kConversations = 200; // a second argument makes fewer, for quick trials
constexpr int kMessagesEach = 2500;

// The files, written in pieces: nothing of their size is held in memory.
qint64 MakeHistory(const QString &folder)
{
    QDir().mkpath(folder);
    qint64 bytes = 0;
    const char *words[] = {"hello", "how", "are", "you", "today", "fine", "thanks", "see", "the", "photos", "later",
                           "tonight", "caf\xC3\xA9", "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "\xF0\x9F\x98\x80", "&amp;", "&lt;b&gt;"};
    for (int c = 0; c < kConversations; ++c) {
        QFile f(QStringLiteral("%1/contact%2x%3.xml").arg(folder).arg(c).arg(1000000 + c));
        if (!f.open(QIODevice::WriteOnly))
            std::abort();
        QByteArray out = "<?xml version=\"1.0\"?>\r\n<?xml-stylesheet type='text/xsl' href='MessageLog.xsl'?>\r\n"
                         "<Log FirstSessionID=\"1\" LastSessionID=\"50\">";
        qint64 seconds = 1110000000 + qint64(c) * 86400;
        for (int m = 0; m < kMessagesEach; ++m) {
            const int session = 1 + m / 50;
            seconds += (m % 50 == 0) ? 86400 : 7 + (m * 13) % 60;
            const QDateTime t = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
            const bool mine = m % 2 == 0;
            QByteArray text;
            for (int w = 0; w < 6 + (m * 7) % 14; ++w)
                text += QByteArray(words[(m + w * 5) % std::size(words)]) + ' ';
            out += "<Message Date=\"" + t.toString(QStringLiteral("M/d/yyyy")).toLatin1() + "\" Time=\""
                   + t.toString(QStringLiteral("h:mm:ss AP")).toLatin1() + "\" DateTime=\""
                   + t.toString(Qt::ISODateWithMs).toLatin1() + "\" SessionID=\"" + QByteArray::number(session)
                   + "\"><From><User FriendlyName=\"" + (mine ? "Alice \xE2\x9C\xBF" : "Contact number ") + QByteArray::number(c)
                   + "\"/></From><To><User FriendlyName=\"" + (mine ? "Contact number " : "Alice \xE2\x9C\xBF")
                   + "\"/></To><Text Style=\"font-family:Segoe UI; color:#" + (mine ? "000000" : "0000ff")
                   + "; \">" + text.trimmed() + "</Text></Message>";
            if (out.size() > (1 << 20)) {
                f.write(out);
                out.clear();
            }
        }
        out += "</Log>\r\n";
        f.write(out);
        bytes += f.size();
    }
    return bytes;
}

struct TMeasure {
    double ms = 0;
    double cpuMs = 0; // user and system time of the child
    long maxRssKb = 0;
    int status = 0;
};

// `work` in a child process: its wall time, peak memory and exit status.
TMeasure InChild(const std::function<int()> &work)
{
    std::fflush(nullptr); // the child must not print what the parent has buffered
    QElapsedTimer timer;
    timer.start();
    const pid_t pid = fork();
    if (pid == 0) {
        const int status = work();
        std::fflush(nullptr);
        _exit(status);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return {double(timer.nsecsElapsed()) / 1e6, ms(usage.ru_utime) + ms(usage.ru_stime), usage.ru_maxrss,
            WIFEXITED(status) ? WEXITSTATUS(status) : 99};
}

TMeasure Xmllint(const QStringList &files)
{
    return InChild([&files] {
        std::vector<QByteArray> args{"xmllint", "--stream", "--noout"};
        for (const QString &f : files)
            args.push_back(QFile::encodeName(f));
        std::vector<char *> argv;
        for (QByteArray &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execvp("xmllint", argv.data());
        return 127;
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    if (argc > 2)
        kConversations = std::clamp(std::atoi(argv[2]), 1, 200);
    QTemporaryDir dir;
    const QString history = dir.path() + QStringLiteral("/Alice/My Documents/My Received Files/alice1596456324/History");
    QElapsedTimer made;
    made.start();
    const qint64 bytes = MakeHistory(history);
    QStringList files;
    for (const QString &name : QDir(history).entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name))
        files << history + u'/' + name;
    std::printf("%d conversations, %d messages, %.1f MB written in %lld ms\n", kConversations, kConversations * kMessagesEach,
                double(bytes) / 1e6, static_cast<long long>(made.elapsed()));

    struct TOp {
        const char *name;
        std::function<TMeasure(int run)> measure;
        std::vector<TMeasure> results;
    };
    const auto exportTo = [&](THistoryFormat format, int threads = 0) {
        return [&, format, threads](int run) {
            return InChild([&, format, threads, run] {
                THistoryExportRequest request;
                request.source = history;
                request.output = dir.path() + QStringLiteral("/out-%1-%2-%3").arg(FormatName(format)).arg(threads).arg(run);
                request.format = format;
                request.threads = threads;
                const THistoryExportResult r = RunHistoryExport(request);
                qint64 entries = 0;
                for (const TExportedConversation &c : r.conversations)
                    entries += c.entries;
                return r.Ok() && entries == qint64(kConversations) * kMessagesEach ? 0 : 1;
            });
        };
    };
    std::vector<TOp> ops;
    ops.push_back({"xmllint --stream --noout", [&](int) { return Xmllint(files); }, {}});
    ops.push_back({"list (every file read)", [&](int) {
                       return InChild([&] {
                           qint64 messages = 0;
                           for (const THistoryFolder &f : FindHistory(history))
                               for (const THistoryFile &file : f.files)
                                   messages += Summarize(file).messages;
                           return messages == qint64(kConversations) * kMessagesEach ? 0 : 1;
                       });
                   }, {}});
    ops.push_back({"export json", exportTo(THistoryFormat::Json), {}});
    ops.push_back({"export json, one thread", exportTo(THistoryFormat::Json, 1), {}});
    ops.push_back({"export text", exportTo(THistoryFormat::Text), {}});
    ops.push_back({"export pidgin", exportTo(THistoryFormat::Pidgin), {}});
    ops.push_back({"export html", exportTo(THistoryFormat::Html), {}});
    // Interleaved, so that a busy moment of the machine is shared by all.
    for (int run = 0; run < runs; ++run)
        for (TOp &op : ops) {
            op.results.push_back(op.measure(run));
            if (op.results.back().status != 0)
                std::printf("%s: failed (status %d)\n", op.name, op.results.back().status);
        }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    double xmllint = 0, xmllintCpu = 0;
    std::printf("%-26s %10s %10s %10s %8s %12s %8s %10s\n", "operation", "median ms", "best ms", "worst ms", "x xmllint",
                "CPU ms", "x xmllint", "peak MB");
    for (const TOp &op : ops) {
        std::vector<double> ms, cpu;
        long rss = 0;
        for (const TMeasure &m : op.results) {
            ms.push_back(m.ms);
            cpu.push_back(m.cpuMs);
            rss = std::max(rss, m.maxRssKb);
        }
        const double med = median(ms), medCpu = median(cpu);
        if (xmllint == 0) {
            xmllint = med;
            xmllintCpu = medCpu;
        }
        std::printf("%-26s %10.0f %10.0f %10.0f %8.2f %12.0f %8.2f %10.1f\n", op.name, med, *std::min_element(ms.begin(), ms.end()),
                    *std::max_element(ms.begin(), ms.end()), med / xmllint, medCpu, medCpu / xmllintCpu, double(rss) / 1024.0);
    }
    double load[3] = {};
    getloadavg(load, 3);
    std::printf("%d cores; load average %.2f %.2f %.2f\n", QThread::idealThreadCount(), load[0], load[1], load[2]);
    std::printf("goals: json, text and pidgin at most 2x xmllint (wall); peak memory under 64 MB\n");
    return 0;
}
