#pragma once
// The output folder of an export: missing, empty or made by an earlier export of the same kind,
// never inside the source nor holding it. An export marks its folder with a marker file: a header
// line naming the kind of export, then every file written (relative to the folder, "/"-separated,
// one a line), added as each is written so that a run cut short is still recognised. The next
// export into that folder first removes what the marker lists.
#include <QByteArray>
#include <QFile>
#include <QString>

namespace zorvak::exportfolder {

// The kind of export a marker stands for: its file name in the folder and its first line.
struct TMarkerKind {
    const char *fileName;   // ".zorvak-...-export"
    QByteArray header;      // "zorvak ... export\n"
};

// Is `path` the folder `folder` or a path inside it (links resolved as far as they exist)?
bool IsSameOrInside(const QString &path, const QString &folder);

// Does `folder` hold the marker of an export of this kind (a regular file with its header)?
bool HasMarker(const QString &folder, const TMarkerKind &kind);

enum class TOutputState {
    Missing,    // nothing there yet
    Empty,      // an empty folder
    Ours,       // a folder an earlier export of this kind made
    Other,      // a folder holding anything else
    NotFolder,  // a file or anything but a folder
};
TOutputState OutputState(const QString &output, const TMarkerKind &kind);

// Removes the files an earlier export listed in its marker (plain relative paths inside the
// output folder only, never through a link), the folders they leave empty, and the marker.
void RemoveEarlierExport(const QString &output, const TMarkerKind &kind);

// The marker of the export being written, extended as each file is written.
class TMarker {
public:
    TMarker() = default;
    TMarker(const QString &output, const TMarkerKind &kind) { Open(output, kind); }
    // Starts the marker (replacing any); IsOpen tells whether it could be written.
    void Open(const QString &output, const TMarkerKind &kind);
    bool IsOpen() const { return m_file.isOpen(); }
    void Add(const QString &relative);

private:
    QFile m_file;
};

} // namespace zorvak::exportfolder
