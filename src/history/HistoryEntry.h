#pragma once
// One entry of a Messenger conversation history, as plain values: what the reader yields, what the
// window shows and what the exports write.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace zorvak::history {

enum class TEntryKind { Message, Invitation, InvitationResponse, Join, Leave };

// "message", "invitation", "invitationResponse", "join", "leave".
QString KindName(TEntryKind kind);
// Is `name` `expected` but for case (as QStringView::compare with Qt::CaseInsensitive)?
bool NameIs(QStringView name, QLatin1StringView expected);
// The element name of a kind ("Message", ...); nullopt for any other element.
std::optional<TEntryKind> KindOfElement(QStringView element);

// The style properties of a text that are carried over; anything else of the Style attribute is
// dropped. `color` is "#rrggbb" (lower case) or empty; `fontFamily` holds only letters, digits,
// spaces, "-" and "_" (a stylesheet or a page can take it as it is).
struct TTextStyle {
    QString fontFamily;
    QString color;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const TTextStyle &) const = default;
};

// Parses a Style attribute ("font-family:Arial; color:#ff0000; font-weight:bold; ...").
TTextStyle ParseStyle(QStringView style);

struct THistoryEntry {
    TEntryKind kind = TEntryKind::Message;
    // UTC, from the DateTime attribute. Without one, the Date and Time attributes read in the
    // writer's local time: then `localTime` is set and `time` holds that wall-clock reading (its
    // zone unknown) marked as UTC (Qt::UTC). Invalid when neither gives a time.
    QDateTime time;
    bool localTime = false;
    qint64 session = 0;           // SessionID; 0 when missing
    QString from;                 // the sender's friendly name; empty when none (join, leave...)
    QStringList to;               // the receivers' friendly names
    QString text;                 // plain text, line breaks as "\n"
    TTextStyle style;
    QString file;                 // invitations: the file offered
    QString application;          // invitations: the application or call
    QString user;                 // join and leave: who joined or left
};

// "YYYY-MM-DDTHH:MM:SS.mmmZ" for a UTC time, without the "Z" for a local one; empty when unknown.
QString IsoTime(const THistoryEntry &entry);
// "YYYY-MM-DD HH:MM:SS" (UTC, or the local reading); "unknown time" when unknown.
QString PlainTime(const QDateTime &time);

} // namespace zorvak::history
