// The conversation view: a history file of 50,000 messages shown in the window's conversation
// list (offscreen platform), timed from the call that a click makes to the first painted screen,
// to the whole file in the list, and to the last screen painted after a jump to the end.
//   bench_history_view [RUNS [MESSAGES]]   (5 runs, 50,000 messages by default)
#include "history/ui/ConversationView.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QListView>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

using namespace zorvak::history;

namespace {

void MakeFile(const QString &path, int messages)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        std::abort();
    const char *words[] = {"hello", "how", "are", "you", "today", "fine", "thanks", "see", "the", "photos", "later",
                           "tonight", "caf\xC3\xA9", "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "\xF0\x9F\x98\x80", "&amp;"};
    QByteArray out = "<?xml version=\"1.0\"?>\r\n<?xml-stylesheet type='text/xsl' href='MessageLog.xsl'?>\r\n"
                     "<Log FirstSessionID=\"1\" LastSessionID=\"1000\">";
    qint64 seconds = 1110000000;
    for (int m = 0; m < messages; ++m) {
        seconds += (m % 50 == 0) ? 86400 : 7 + (m * 13) % 60;
        const QDateTime t = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
        const bool mine = m % 2 == 0;
        QByteArray text;
        // Now and then a long text that wraps over several lines.
        for (int w = 0; w < 6 + (m * 7) % 14 + (m % 17 == 0 ? 60 : 0); ++w)
            text += QByteArray(words[(m + w * 5) % std::size(words)]) + ' ';
        out += "<Message Date=\"x\" Time=\"y\" DateTime=\"" + t.toString(Qt::ISODateWithMs).toLatin1() + "\" SessionID=\""
               + QByteArray::number(1 + m / 50) + "\"><From><User FriendlyName=\"" + (mine ? "Alice" : "Bob")
               + "\"/></From><To><User FriendlyName=\"" + (mine ? "Bob" : "Alice") + "\"/></To><Text Style=\"font-family:Segoe UI; color:#"
               + (mine ? "000000" : "0000ff") + "; \">" + text.trimmed() + "</Text></Message>";
    }
    out += "</Log>\r\n";
    f.write(out);
}

// Notes the first paint of the list's viewport once it has rows.
class TPaintWatch : public QObject {
public:
    TPaintWatch(QListView *list) : m_list(list) { list->viewport()->installEventFilter(this); }
    bool painted = false;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_list->model()->rowCount() > 0)
            painted = true;
        return false;
    }

private:
    QListView *m_list;
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const int messages = argc > 2 ? std::max(1, atoi(argv[2])) : 50000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bob3225867861.xml"));
    MakeFile(path, messages);
    std::printf("conversation view: %d messages, %.1f MB file, %d runs\n", messages, QFile(path).size() / 1e6, runs);

    TConversationView view(nullptr);
    view.resize(900, 700);
    view.show();
    QApplication::processEvents();
    std::vector<double> first, whole, end;
    for (int run = 0; run < runs; ++run) {
        view.Clear();
        QApplication::processEvents();
        TPaintWatch watch(view.List());
        QElapsedTimer timer;
        timer.start();
        double startedAt = 0;
        auto c = QObject::connect(&view, &TConversationView::started, [&] { startedAt = timer.nsecsElapsed() / 1e6; });
        view.Show(path);
        while (!watch.painted)
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
        first.push_back(timer.nsecsElapsed() / 1e6);
        QObject::disconnect(c);
        std::printf("  run %d: first rows in the model after %.1f ms\n", run + 1, startedAt);
        while (!view.Loaded())
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
        whole.push_back(timer.nsecsElapsed() / 1e6);
        // The end of the conversation, once every row is laid out.
        watch.painted = false;
        view.List()->scrollToBottom();
        int last = -1;
        while (true) {
            QApplication::processEvents();
            const int max = view.List()->verticalScrollBar()->maximum();
            if (max == last && watch.painted)
                break;
            last = max;
            view.List()->scrollToBottom();
            watch.painted = false;
            view.List()->viewport()->repaint();
        }
        end.push_back(timer.nsecsElapsed() / 1e6);
        if (view.Model().Conversation().EntryCount() != messages)
            std::fprintf(stderr, "read %lld of %d messages\n", qint64(view.Model().Conversation().EntryCount()), messages);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("first screen painted  %8.1f ms (median)\n", Median(first));
    std::printf("whole file in list    %8.1f ms\n", Median(whole));
    std::printf("last screen painted   %8.1f ms (every row laid out)\n", Median(end));
    std::printf("peak resident memory  %8.1f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
