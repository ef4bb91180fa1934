#pragma once
// One conversation as the window shows it: its entries in file order, the rows shown (a date row
// before each session and each new day, then the entries; a filter keeps the entries that hold
// its text), and the reading of its file on a thread of its own, handed over in batches.
#include "history/HistoryEntry.h"
#include "history/HistoryFind.h"
#include "history/HistoryReader.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

namespace zorvak::history {

// The History folder `folder` is, with its files; nothing for any other folder (decided without
// reading below it unless its name is "History").
std::optional<THistoryFolder> HistoryFolderAt(const QString &folder);

// The calendar day of an entry in the local time zone (a local reading as it is); invalid when
// its time is unknown.
QDate LocalDay(const THistoryEntry &entry);
// "HH:mm:ss" in the local time zone (a local reading as it is); empty when unknown.
QString LocalClock(const THistoryEntry &entry);
// Who an entry is from: the sender, or who joined or left.
QString EntryWho(const THistoryEntry &entry);
// What an entry says: its text, or the file offered when it has no text.
QString EntryText(const THistoryEntry &entry);
// Whether the sender, the text, the file or who joined holds `filter` (letter case ignored); an
// empty filter holds everywhere.
bool EntryMatches(const THistoryEntry &entry, const QString &filter);

class TConversation {
public:
    void Clear();
    // Adds entries at the end. The rows they add (returned: how many) come after the rows shown
    // once ShowAppended is called; until then RowCount does not count them.
    int Append(std::vector<THistoryEntry> &&batch);
    void ShowAppended();
    // Shows only the entries that match (EntryMatches), each session's or day's row before them.
    void SetFilter(const QString &filter);
    const QString &Filter() const { return m_filter; }

    int RowCount() const { return int(m_rows.size()); }
    bool IsDateRow(int row) const { return m_rows[size_t(row)] < 0; }
    // The entry of a row; for a date row, the first entry of the session or day it opens.
    int EntryIndex(int row) const { const int r = m_rows[size_t(row)]; return r < 0 ? -r - 1 : r; }
    const THistoryEntry &Entry(int row) const { return m_entries[size_t(EntryIndex(row))]; }
    qint64 EntryCount() const { return qint64(m_entries.size()); }
    // The row of an entry when shown; -1 otherwise.
    int RowOfEntry(int entry) const;

private:
    void AddRows(size_t from, std::vector<int> &rows);
    std::vector<THistoryEntry> m_entries;
    std::vector<int> m_rows;   // entry index, or -1 - index for the date row before it
    std::vector<int> m_appended; // rows of the entries appended last, not shown yet
    QString m_filter;
    int m_lastShown = -1;      // the last entry shown
};

// Work on a thread of its own. The job receives a flag that tells it to stop, and `post`, which
// runs a function on the owner's thread; what is posted after Stop() or a new Start() is dropped.
class TBackgroundJob : public QObject {
public:
    using TPost = std::function<void(std::function<void()>)>;
    using TJob = std::function<void(const std::atomic_bool &stop, const TPost &post)>;
    explicit TBackgroundJob(QObject *parent = nullptr) : QObject(parent) {}
    ~TBackgroundJob() override { Stop(); }
    // Stops a job still running, then starts this one.
    void Start(TJob job);
    // Tells the job to stop and waits for its thread.
    void Stop();
    // Whether a job was started and has not posted its last function yet.
    bool Running() const { return m_running; }
    // Marks the job done (its last posted function calls it).
    void Done() { m_running = false; }

private:
    std::thread m_thread;
    std::atomic_bool m_stop{false};
    int m_generation = 0;
    bool m_running = false;
};

// Reads one history file into batches: a first small one (the first screen, at once), then larger
// ones. `batch` and `done` run on the owner's thread.
struct TConversationFeed {
    std::function<void(std::vector<THistoryEntry> &&batch)> batch;
    std::function<void(TReadOutcome outcome, const QString &problem, const QStringList &warnings)> done;
};
void StartReading(TBackgroundJob &job, const QString &path, TConversationFeed feed);

// The first batch, then each batch twice the one before, up to the last size.
inline constexpr int kFirstBatch = 200;
inline constexpr int kLargestBatch = 16384;

} // namespace zorvak::history
