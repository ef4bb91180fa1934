#pragma once
// Finding Messenger's conversation histories on a copied disk, and telling whose they are.
//
// Messenger kept them, when the user turned history on, in the user's "My Received Files" folder:
//   <profile>/My Documents/My Received Files/<folder>/History/   (Windows XP)
//   <profile>/Documents/My Received Files/<folder>/History/      (Vista and later)
// <folder> is the user's e-mail local part followed by the user's folder ID (the ID that names the
// Messenger data folder ".../MSN Messenger/<ID>"), and each contact's file is
// "<contact local part><contact ID>.xml". Older versions used the plain e-mail addresses instead.
// An address is recovered from a local part and an ID when the ID is the folder ID of
// "<local part>@<domain>" for one of Messenger's common domains (CommonMailDomains).
#include "history/HistoryEntry.h"
#include "history/HistoryReader.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

namespace zorvak::history {

// The e-mail domains Messenger accounts commonly had: hotmail.com, msn.com, live.com,
// passport.com and the regional hotmail.* and live.* domains.
const QStringList &CommonMailDomains();

// "<local part>@<domain>" whose folder ID is `id`, the domain one of CommonMailDomains(); empty
// when none.
QString RecoverAddress(const QString &localPart, const QString &id);

// A folder or file name "<local part><ID>" (or a plain address) taken apart.
struct TNameParts {
    QString localPart;
    QString id;        // empty when it cannot be told
    QString address;   // empty when it cannot be recovered
};
// `knownIds` are folder IDs the name may end with (the Messenger user folders of the profile);
// the first that ends it wins. Otherwise every split into a local part and a number is tried
// against the common domains; when none gives an address, the ID is the longest number (of at
// most ten digits, below 2^32) that ends the name.
TNameParts SplitName(const QString &name, const QStringList &knownIds = {});

// One contact's history file.
struct THistoryFile {
    QString path;            // absolute
    QString contact;         // the file name without ".xml"
    QString contactId;       // the contact's folder ID when it can be told
    QString contactAddress;  // recovered; empty when unknown
};

// One History folder and whose it is.
struct THistoryFolder {
    QString folder;           // the History folder, absolute
    QString userFolder;       // the folder that holds it (in My Received Files), absolute
    QString userName;         // that folder's name: "<local part><ID>" or an address
    QString userId;           // the user's folder ID when it can be told
    QString userAddress;      // recovered from the name; empty when unknown (see LogonName)
    QString profile;          // the Windows profile above it; empty when the path does not tell
    QString receivedFiles;    // the "My Received Files" folder above it; empty when not known
    QString messengerFolder;  // the profile's Messenger data folder of the same ID; empty when none
    QList<THistoryFile> files; // by name
};

// The history folders below `path`: a profiles folder, a Windows profile, a My Received Files
// folder, a user's folder in it, a History folder, or one history file (then `files` holds only
// it). Each folder once, in path order; nothing when there is none.
std::vector<THistoryFolder> FindHistory(const QString &path);

// The history folders of one Windows profile (what a scan adds to each profile it visits).
std::vector<THistoryFolder> HistoryOfProfile(const QString &profile);

// The "My Received Files" folders of a profile (below its documents folders); absolute.
QStringList ReceivedFilesFolders(const QString &profile);

// What the listing shows of one conversation, read in one pass over its file.
struct TConversationSummary {
    THistoryFile file;
    qint64 entries = 0;
    qint64 messages = 0;      // entries of kind Message
    qint64 sessions = 0;      // runs of entries with the same SessionID
    QDateTime first, last;    // earliest and latest time; invalid when none
    bool localTime = false;   // some times are the writer's local time (no DateTime)
    QString logonName;
    TReadOutcome outcome = TReadOutcome::Complete;
    QString problem;
    QStringList warnings;
};
TConversationSummary Summarize(const THistoryFile &file);

// The user's own address for a folder: the recovered one, else the first LogonName of its files
// (the summaries given), else empty.
QString OwnAddress(const THistoryFolder &folder, const QList<TConversationSummary> &summaries = {});

} // namespace zorvak::history
