#pragma once
// Reading one history file of Messenger as a stream of entries, in bounded memory whatever the
// file's size:
//
//   <?xml version="1.0"?><?xml-stylesheet type='text/xsl' href='MessageLog.xsl'?>
//   <Log FirstSessionID="1" LastSessionID="3" [LogonName="me@hotmail.com"]>
//     <Message Date=".." Time=".." DateTime="2005-03-01T14:02:03.123Z" SessionID="1">
//       <From><User FriendlyName="Bob"/></From><To><User FriendlyName="Alice"/></To>
//       <Text Style="font-family:Arial; color:#ff0000; ">hello</Text></Message>
//     <Invitation ...><From/><File>a.jpg</File><Application>..</Application><Text/></Invitation>
//     <InvitationResponse ...>, <Join ...><User FriendlyName=".."/><Text>..</Text></Join>, <Leave ...>
//   </Log>
//
// UTF-8 (with or without a byte-order mark) and UTF-16 files are read; control characters that
// XML does not allow, found in UTF-8 files, are read as U+FFFD and reported. Missing attributes
// leave their fields empty; unknown attributes and elements are skipped. A file with a document
// type declaration (and so any entity declaration) is refused before anything is expanded; a file
// whose first element is not Log is refused. A file that ends early (Messenger stopped while
// writing it) yields the entries before the cut, with a warning; one damaged further on yields
// the entries before the damage, and the damage is an error.
#include "history/HistoryEntry.h"

#include <QFile>
#include <QHash>
#include <QStringList>
#include <QXmlStreamReader>
#include <memory>

namespace zorvak::history {

// What became of a file once read (or once reading stopped).
enum class TReadOutcome {
    Complete,  // read to its end (warnings may still have been given)
    Cut,       // ends early: the entries before the cut were read (a warning)
    Damaged,   // not well-formed further on: the entries before the damage were read (an error)
    Refused,   // not read: unreadable, not a history file, a DTD, an unsupported encoding
};

// The longest text of one field kept (characters); the rest is dropped with a warning.
inline constexpr qsizetype kMaxFieldChars = 1 << 20;
// The most bytes read in search of the end of one piece of markup or text.
inline constexpr qsizetype kMaxTokenBytes = 16 << 20;

class THistoryReader {
public:
    explicit THistoryReader(const QString &path);
    // A file already open, or bytes in memory (tests, the fuzz target); read from its position.
    explicit THistoryReader(QIODevice *device);
    ~THistoryReader();
    THistoryReader(const THistoryReader &) = delete;
    THistoryReader &operator=(const THistoryReader &) = delete;

    // The next entry; false at the end of what can be read (then Outcome() tells why).
    bool Next(THistoryEntry &entry);

    TReadOutcome Outcome() const { return m_outcome; }
    // Why the file was refused or where it is cut or damaged (one sentence); empty when complete.
    QString Problem() const { return m_problem; }
    // Problems that did not stop the reading (invalid characters, texts cut to the limit).
    const QStringList &Warnings() const { return m_warnings; }
    // The Log element's LogonName (the user's own address), once the Log element has been read.
    QString LogonName() const { return m_logonName; }
    // Entries returned so far.
    qint64 Count() const { return m_count; }

private:
    void Init();
    bool Feed();
    void Stop(TReadOutcome outcome, const QString &problem);
    void Append(QString &field, QStringView text);
    void Warn(const QString &warning);

    std::unique_ptr<QFile> m_file;
    QIODevice *m_device = nullptr;
    QXmlStreamReader m_xml;
    bool m_sniffed = false;
    bool m_utf16 = false;
    bool m_eof = false;
    bool m_done = false;
    bool m_inLog = false;
    int m_skip = 0;               // depth inside an element of the Log that is not an entry
    qsizetype m_pending = 0;      // bytes given to the parser since it last returned a token
    qint64 m_invalidChars = 0;
    bool m_truncated = false;
    TReadOutcome m_outcome = TReadOutcome::Complete;
    QString m_problem;
    QStringList m_warnings;
    QString m_logonName;
    qint64 m_count = 0;
    QHash<QString, TTextStyle> m_styles; // Style attributes seen and what they gave (a few a file)
    QString m_lastStyle;                 // the last one, most often the next one too
    TTextStyle m_lastParsed;
};

} // namespace zorvak::history
