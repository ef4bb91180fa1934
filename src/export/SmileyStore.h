#pragma once
// Pidgin's custom smileys as its library stores them in a profile folder (~/.purple):
//   smileys.xml     <smileys version="1.0"><profile name="Default"><smiley_set>
//                     <smiley shortcut="(wink)" checksum="<sha1>" filename="<sha1>.gif"/> ...
//                   </smiley_set></profile></smileys>
//   custom_smiley/  the pictures, each named by the lower-case hexadecimal SHA-1 of its bytes and
//                   the extension the library gives its first bytes (gif, jpg, png, tif, bmp, else
//                   "icon").
// Pidgin reads the smiley_set of the first profile only; a shortcut is the key of an entry, and
// one picture has one entry (deleting an entry deletes its file, so two entries never share one).
// An existing store is added to, never rewritten: its document is copied token by token, every
// element, attribute, comment and entry kept, and the new entries are inserted at the end of the
// smiley set Pidgin reads.
#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

namespace zorvak::named {

inline constexpr const char *kSmileyStoreFile = "smileys.xml";
inline constexpr const char *kSmileyStoreBackup = "smileys.xml.bak";
inline constexpr const char *kSmileyFolder = "custom_smiley";
// The largest smileys.xml read (a store of thousands of entries is a few hundred kilobytes).
inline constexpr qint64 kMaxSmileyStoreBytes = 16 << 20;

struct TStoreSmiley {
    QString shortcut;
    QString checksum;
    QString filename;
};

struct TSmileyStore {
    QByteArray document;          // the document as read; empty when there was none
    QList<TStoreSmiley> smileys;  // every smiley element of the document, in order
    QSet<QString> shortcuts;      // theirs
    QSet<QString> checksums;      // theirs, lower case
    QSet<QString> filenames;      // theirs
};

// The store held in `document` (the bytes of a smileys.xml; empty or white space only for a store
// without entries). Empty `error` when it can be added to; otherwise why not (not well-formed, a
// DTD, too big), and nothing should be written over it.
TSmileyStore ParseSmileyStore(const QByteArray &document, QString *error);

// `store`'s document with `added` inserted at the end of the smiley set Pidgin reads (made when the
// document has none); a new document when the store had none. Empty if it could not be made.
QByteArray MergedSmileyStore(const TSmileyStore &store, const QList<TStoreSmiley> &added);

// The extension Pidgin's library gives a picture from its first bytes, without the dot.
QString SmileyExtension(const QByteArray &head);

// True when `shortcut` can stand in the store: not empty, and only characters XML 1.0 carries and
// no other control character.
bool IsStorableShortcut(const QString &shortcut);

} // namespace zorvak::named
