#include "history/Conversation.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <memory>

namespace zorvak::history {

std::optional<THistoryFolder> HistoryFolderAt(const QString &folder)
{
    const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (QFileInfo(clean).fileName().compare(QLatin1String("History"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    // Any folder may be called History: one is taken for Messenger's when it holds history files
    // or lies in a My Received Files folder.
    for (THistoryFolder &found : FindHistory(clean))
        if (QDir::cleanPath(found.folder) == clean && (!found.files.isEmpty() || !found.receivedFiles.isEmpty()))
            return std::move(found);
    return std::nullopt;
}

QDate LocalDay(const THistoryEntry &entry)
{
    if (!entry.time.isValid())
        return {};
    return entry.localTime ? entry.time.date() : entry.time.toLocalTime().date();
}

QString LocalClock(const THistoryEntry &entry)
{
    if (!entry.time.isValid())
        return {};
    const QDateTime shown = entry.localTime ? entry.time : entry.time.toLocalTime();
    return shown.toString(QStringLiteral("HH:mm:ss"));
}

QString EntryWho(const THistoryEntry &entry)
{
    if (entry.kind == TEntryKind::Join || entry.kind == TEntryKind::Leave)
        return entry.user.isEmpty() ? entry.from : entry.user;
    return entry.from;
}

QString EntryText(const THistoryEntry &entry)
{
    if (!entry.text.isEmpty())
        return entry.text;
    return entry.file.isEmpty() ? entry.application : entry.file;
}

bool EntryMatches(const THistoryEntry &entry, const QString &filter)
{
    if (filter.isEmpty())
        return true;
    for (const QString *field : {&entry.text, &entry.from, &entry.file, &entry.user, &entry.application})
        if (field->contains(filter, Qt::CaseInsensitive))
            return true;
    return false;
}

void TConversation::Clear()
{
    std::vector<THistoryEntry>().swap(m_entries); // the memory of the conversation shown before goes
    std::vector<int>().swap(m_rows);
    m_appended.clear();
    m_lastShown = -1;
}

int TConversation::Append(std::vector<THistoryEntry> &&batch)
{
    ShowAppended();
    const size_t from = m_entries.size();
    if (m_entries.empty())
        m_entries = std::move(batch);
    else
        m_entries.insert(m_entries.end(), std::make_move_iterator(batch.begin()), std::make_move_iterator(batch.end()));
    AddRows(from, m_appended);
    return int(m_appended.size());
}

void TConversation::ShowAppended()
{
    m_rows.insert(m_rows.end(), m_appended.begin(), m_appended.end());
    m_appended.clear();
}

void TConversation::SetFilter(const QString &filter)
{
    m_filter = filter;
    m_rows.clear();
    m_appended.clear();
    m_lastShown = -1;
    AddRows(0, m_rows);
}

void TConversation::AddRows(size_t from, std::vector<int> &rows)
{
    for (size_t i = from; i < m_entries.size(); ++i) {
        const THistoryEntry &entry = m_entries[i];
        if (!EntryMatches(entry, m_filter))
            continue;
        // A date row opens each session and each new day.
        bool opens = m_lastShown < 0;
        if (!opens) {
            const THistoryEntry &last = m_entries[size_t(m_lastShown)];
            opens = last.session != entry.session || LocalDay(last) != LocalDay(entry);
        }
        if (opens)
            rows.push_back(-int(i) - 1);
        rows.push_back(int(i));
        m_lastShown = int(i);
    }
}

int TConversation::RowOfEntry(int entry) const
{
    const auto found = std::lower_bound(m_rows.begin(), m_rows.end(), entry,
                                        [](int row, int wanted) { return (row < 0 ? -row - 1 : row) < wanted; });
    for (auto it = found; it != m_rows.end() && (*it < 0 ? -*it - 1 : *it) == entry; ++it)
        if (*it >= 0)
            return int(it - m_rows.begin());
    return -1;
}

void TBackgroundJob::Start(TJob job)
{
    Stop();
    m_stop = false;
    m_running = true;
    const int generation = ++m_generation;
    TPost post = [this, generation](std::function<void()> work) {
        QMetaObject::invokeMethod(this, [this, generation, work = std::move(work)] {
            if (generation == m_generation && !m_stop)
                work();
        }, Qt::QueuedConnection);
    };
    m_thread = std::thread([this, job = std::move(job), post = std::move(post)] { job(m_stop, post); });
}

void TBackgroundJob::Stop()
{
    m_stop = true;
    ++m_generation;
    m_running = false;
    if (m_thread.joinable())
        m_thread.join();
}

void StartReading(TBackgroundJob &job, const QString &path, TConversationFeed feed)
{
    job.Start([path, feed = std::move(feed), &job](const std::atomic_bool &stop, const TBackgroundJob::TPost &post) {
        THistoryReader reader(path);
        auto batch = std::make_shared<std::vector<THistoryEntry>>();
        size_t wanted = kFirstBatch;
        THistoryEntry entry;
        const auto send = [&] {
            post([feed, batch] { feed.batch(std::move(*batch)); });
            batch = std::make_shared<std::vector<THistoryEntry>>();
            wanted = std::min<size_t>(wanted * 2, kLargestBatch);
            batch->reserve(wanted);
        };
        batch->reserve(wanted);
        while (!stop && reader.Next(entry)) {
            batch->push_back(std::move(entry));
            entry = THistoryEntry();
            if (batch->size() >= wanted)
                send();
        }
        if (stop)
            return;
        if (!batch->empty())
            send();
        post([feed, &job, outcome = reader.Outcome(), problem = reader.Problem(), warnings = reader.Warnings()] {
            job.Done();
            feed.done(outcome, problem, warnings);
        });
    });
}

} // namespace zorvak::history
