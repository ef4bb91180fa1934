#pragma once
// The named export: every object of a Messenger user folder written once, under the name the
// user gave it, for today's programs.
//
// The objects are the recognised files of the user's content folders (map.dat and files of no
// known kind are not objects); their names and shortcuts come from the content maps
// (ReadContentNames), so the maps are decrypted with the key material of a backup and raise the
// same errors. Without key material, and for a content folder without a map, objects are named by
// their file names and the result says so. Four layouts:
//   Folder  one sub-folder per content type, "<name>.<ext>" in each, and index.tsv
//   Pidgin  a smiley theme: a folder with the custom emoticons and a "theme" file, and the same
//           folder as "<folder>.tar.gz", which smiley-theme lists install when it is dropped on them
//   Html    the Folder layout with index.html instead of index.tsv: every object shown with its
//           name, shortcut and type, grouped by type, no script
//   PidginSmileys  the custom emoticons as Pidgin's own custom smileys: "smileys.xml" and the
//           pictures in "custom_smiley/", each named by the SHA-1 of its bytes (SmileyStore.h); with
//           mergeInto, added to an existing store (a profile folder such as ~/.purple)
// The user folder is only read. The output folder must not lie inside it (nor, for a Passport ID
// folder, inside the Messenger folder that holds it), and must be missing,
// empty, or a folder an earlier named export made (it holds the marker file below); the files that
// earlier export wrote are then replaced, anything else in it is kept. A merge into a store instead
// needs an existing folder, changes and drops none of its entries, and writes no marker.
#include "backup/ContentNames.h"
#include "dpapi/DpapiKeyMaterial.h"
#include "common/ContentTypes.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

namespace zorvak::named {

enum class TNamedFormat { Folder, Pidgin, Html, PidginSmileys };
// "folder", "pidgin", "html", "pidgin-smileys"; FormatByName is nullopt for anything else.
QString FormatName(TNamedFormat format);
std::optional<TNamedFormat> FormatByName(const QString &name);

// The name of the file in the output folder that marks it as a named export's (it lists the
// files that export wrote).
inline constexpr const char *kMarkerFile = ".zorvak-named-export";

struct TNamedExportRequest {
    QString userFolder;
    QString output;
    TNamedFormat format = TNamedFormat::Folder;
    std::array<bool, 6> types{true, true, true, true, true, true}; // Pidgin*: custom emoticons only, whatever is ticked
    bool includeDefault = false;   // Messenger's own default content (recognised by name and size)
    // Key material: without it the maps are not read and objects keep their file names.
    QString email;
    std::optional<DpapiKeyMaterial> key;
    TMapDecrypter decrypt;         // empty: the maps' own decryption
    // PidginSmileys: add to the store in this folder (which must exist) instead of writing a new
    // one into `output`, which is then not used.
    QString mergeInto;
};

struct TExportedObject {
    ContentType type = ContentType::Emot;
    QString file;       // the file written, relative to the output folder, "/"-separated
    QString name;       // the object's name: the map's, or its original file name
    QString shortcut;   // emoticons with a map: the shortcut
    QString original;   // its file name in its content folder
    bool named = false; // the name comes from a map
    qint64 size = 0;
    QDateTime modified; // kept on the written file
    bool reused = false; // PidginSmileys: the store already held this very file, which was kept
};

// An object written nowhere, and why.
struct TLeftOut {
    ContentType type = ContentType::Emot;
    QString original;
    QString name;
    QString shortcut;
    QString reason;
};

struct TNamedExportResult {
    QString output;                 // absolute
    TNamedFormat format = TNamedFormat::Folder;
    QString archive;                // Pidgin: the .tar.gz written; empty otherwise
    QString theme;                  // Pidgin: the theme folder, relative to output
    QList<TExportedObject> objects; // in the order written
    QString store;                  // PidginSmileys: the smileys.xml written (absolute); empty if none
    QString storeBackup;            // PidginSmileys: the previous smileys.xml kept as smileys.xml.bak
    QList<TLeftOut> leftOut;        // Pidgin*: shortcuts a theme or a store cannot take
    int defaultsLeftOut = 0;        // Messenger's default content left out
    bool credentials = false;       // key material was given
    QList<ContentType> unnamedTypes; // exported types whose objects are named by their file names
    QStringList problems;           // maps that could not be read (their objects keep file names)
    QStringList failures;           // files that could not be written
    bool Ok() const { return failures.isEmpty(); }
};

// done objects of total, the one being written (its original file name); called before each
// object and once at the end with done == total and an empty name.
using TProgress = std::function<void(int done, int total, const QString &current)>;

// Runs the export. A refused output folder or a failed decryption raises Exception (the
// decryption errors are the backup's) before anything is written; a file that cannot be written
// is recorded in failures and the rest goes on.
TNamedExportResult RunNamedExport(const TNamedExportRequest &request, const TProgress &progress = {});

// The reasons an output folder is refused (empty when it may be used).
QString OutputRefusal(const QString &userFolder, const QString &output);
// The reasons a folder is refused as the store to merge into (empty when it may be used).
QString MergeRefusal(const QString &userFolder, const QString &folder);

// The escaping of index.tsv's values: backslash, TAB, CR and LF as \\ \t \r \n.
QString TsvValue(const QString &text);

} // namespace zorvak::named
