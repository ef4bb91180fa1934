#pragma once
// Exporting conversation histories to where people read chats today.
//   Json    OUT/history.json: {"conversations":[{"file","contact","contactAddress","messages":[
//           {"kind","time","session","from","to","text"}]}]}, in file order
//   Pidgin  Pidgin's log layout: OUT/msn/<account>/<buddy>/YYYY-MM-DD.HHMMSS+0000UTC.html, one
//           file per session, named by its first time; the whole header is the first line (Pidgin
//           skips up to the first line break), then one line per entry
//   Text    one UTF-8 ".txt" per conversation, "[YYYY-MM-DD HH:MM:SS] Name: text" (UTC)
//   Html    OUT/index.html and one page per conversation: text escaped, no script, only the
//           font family, colour, weight, italic and underline of each text kept
// Times are UTC; a time only known as the writer's local reading is written as it is.
//
// The source is only read. The output folder must not lie inside the source nor hold it, and must
// be missing, empty or an earlier history export (whose files are then replaced). For Pidgin, an
// existing folder of any other kind (Pidgin's own logs folder) is taken too: files are only added
// there, never replaced (a session whose name is taken gets the next free second).
// Each file is written under a temporary name and renamed once complete. Conversations are
// exported side by side on several threads; what is written is the same, byte for byte, as one
// thread would write.
#include "history/HistoryFind.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace zorvak::history {

enum class THistoryFormat { Json, Pidgin, Text, Html };
QString FormatName(THistoryFormat format);            // "json", "pidgin", "text", "html"
std::optional<THistoryFormat> FormatByName(const QString &name);

// Marks a folder as made by a history export; it lists the files written.
inline constexpr const char *kHistoryMarkerFile = ".zorvak-history-export";

struct THistoryExportRequest {
    QString source;   // what FindHistory takes
    QString output;
    THistoryFormat format = THistoryFormat::Json;
    QString account;  // Pidgin: the account folder; empty: the user's address or folder name
    int threads = 0;  // conversations exported side by side; 0: one a core (at most 8)
};

struct TExportedConversation {
    QString file;              // relative to the source ("/"-separated)
    QString contact;
    QString contactAddress;
    qint64 entries = 0;
    qint64 messages = 0;
    QDateTime first, last;
    TReadOutcome outcome = TReadOutcome::Complete;
    QString problem;
    QStringList warnings;
    QStringList written;       // relative to the output folder
};

struct THistoryExportResult {
    QString output;            // absolute
    THistoryFormat format = THistoryFormat::Json;
    QList<TExportedConversation> conversations;   // every file found, in order
    QStringList failures;      // files that could not be written, with the reason
    bool merged = false;       // Pidgin: written into a folder that was not ours
    // Files refused or damaged (their problem is an error, not a warning).
    int Unreadable() const;
    bool Ok() const { return failures.isEmpty() && Unreadable() == 0; }
};

using THistoryProgress = std::function<void(int done, int total, const QString &current)>;

// The reason an output folder is refused; empty when it may be used.
QString HistoryOutputRefusal(const QString &source, const QString &output, THistoryFormat format);

// Runs the export. No history found or a refused output folder raises Exception before anything
// is written; a file that cannot be read or written is recorded and the rest goes on.
THistoryExportResult RunHistoryExport(const THistoryExportRequest &request, const THistoryProgress &progress = {});

// Pidgin's file-name escaping: ASCII letters, digits and "@-_.#" kept, every other byte of the
// UTF-8 form as "%xx"; "." and ".." (and the empty name) get their dots escaped too.
QString PidginEscape(const QString &name);
// "YYYY-MM-DD.HHMMSS+0000UTC.html" for a UTC time.
QString PidginLogName(const QDateTime &utc);

} // namespace zorvak::history
