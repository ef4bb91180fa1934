#pragma once
// Messenger content maps and Messenger objects.
//
// Every content folder of a Messenger user (CustomEmoticons, UserTile, Backgrounds, ...) keeps its
// objects under meaningless file names. What each file is, and what the user called it, is written
// in an encrypted map: "map.dat" of the content folder is a single Messenger object whose
// "Location" attribute names the content map in the user's "MapFile" folder. Once decrypted a map
// is plain text in one of three layouts (TAB = character 9, LF = character 10):
//
//   emoticons         Key TAB Name TAB object TAB, repeated; line breaks play no part
//   display pictures  Name TAB object TAB, repeated
//   line maps         one record a line: Name TAB object TAB anything LF  (Bg, Wink, Ddp, Dbg)
//
// A Messenger object is an element "<msnobj name="value" ... />". Only "Location", "contenttype",
// "Size" and "stamp" are read. Names and shortcuts are held XML-escaped from the moment they are
// read until they are written into content.xml; only the confirmation grid shows them unescaped.
#include "common/ContentTypes.h"
#include "common/unitHash.h"

#include <QList>
#include <QStringList>
#include <QString>
#include <memory>

namespace zorvak {

// One content object during a backup.
struct TMsnStuff {
    QString Key;         // emoticon shortcut, XML-escaped; empty for the other types
    QString Name;        // display name, XML-escaped
    QString Location;    // file name in the content folder; after copying, the name of the copy in "~tmp"
    QString MimeType;    // set by the copy step
    QString Stamp;       // "stamp" attribute (not for emoticons)
    QString ContentType; // emoticons: "contenttype" attribute, "D" when empty or absent
};

// The list of one content type. Shared by reference: the confirmation dialog edits the very list
// that the backup later writes out.
using TMsnList = QList<TMsnStuff>;
using TMsnArr = std::shared_ptr<TMsnList>;
inline TMsnArr NewMsnArr() { return std::make_shared<TMsnList>(); }

// An object of Messenger's own default content, recognised by name and size in bytes.
struct TDefaultContent {
    QString Name;
    qint32 Size;
};
using TDefaultTable = QList<TDefaultContent>;

const TDefaultTable &DefaultDp();
const TDefaultTable &DefaultBg();
const TDefaultTable &DefaultDbg();
const TDefaultTable &DefaultWink();
// The default table of a content type (empty for Emot and Ddp).
const TDefaultTable &DefaultsOf(ContentType type);

// True when an entry has exactly this name (case-sensitive) and this size.
bool IsDefaultContent(const QString &name, qint32 size, const TDefaultTable &defaults);

// "&" "\"" "'" ">" "<" become entities (in this order); carriage returns are removed.
QString XmlEscapeValue(const QString &text);
// The grid's escaping: "&" "<" ">" "\"" "'" become entities (in this order).
QString EscapeXml(const QString &text);
// "&lt;" "&gt;" "&quot;" "&#39;" "&apos;" and last "&amp;" become characters again.
QString UnescapeXml(const QString &text);

// Adds the attributes of one "<msnobj ... />" element to `table` (names without letter case, a
// later attribute replacing an earlier one). Raises Exception "Invalid data. xmlStr is too short."
// or "Invalid data. Unexpected XML tag." on a malformed element.
void ParseMsnObject(const QString &xml, THash &table);
// The "Location" attribute of an element, with the same checks and errors.
QString MsnObjectLocation(const QString &xml);

// True when an object's "Location" names a file of the content folder itself: not empty, not "."
// nor "..", no "..", "/" or "\\" anywhere, no drive letter ("C:"). Anything else could reach a
// file outside the folder (the work folder's neighbours, the settings, earlier packages).
bool IsSafeObjectName(const QString &location);

// The three layouts. Each returns a new list; a malformed map raises Exception with the map
// error texts, a "Size" that is not a whole number raises EConvertError. With `skipDefault` the
// entries of `defaults` are left out. An entry whose "Location" is given and is not a safe object
// name is left out too, so that no later step (copy, manifest, confirmation grid, removal) ever
// sees it; its raw "Location" is added to `dropped` when given.
TMsnArr ParseEmoticonMap(const QString &map, QStringList *dropped = nullptr);
TMsnArr ParsePictureMap(const QString &map, const TDefaultTable &defaults, bool skipDefault,
                        QStringList *dropped = nullptr);
TMsnArr ParseLineMap(const QString &map, const TDefaultTable &defaults, bool skipDefault,
                     QStringList *dropped = nullptr);

// The parser of a content type.
TMsnArr ParseContentMap(ContentType type, const QString &map, bool skipDefault, QStringList *dropped = nullptr);

// Delphi's StrToInt: a whole decimal number, else EConvertError "'s' is not a valid integer value".
qint32 StrToInt(const QString &text);

// Error texts of the map layouts.
extern const char *const kTabNotFoundEndOfData;
extern const char *const kLinefeedNotFound;
extern const char *const kTabNotFoundFormat;

} // namespace zorvak
