#pragma once
// Content recognition by signature: the kind of a Messenger content file is decided from its
// first bytes, since Messenger stores content without useful extensions.
#include <QByteArray>
#include <QString>

namespace zorvak {

enum class TPreviewKind { pkPicture, pkSound, pkFlash, pkCabinet, pkOther };
using enum TPreviewKind;

// The lower-case extension (".jpg", ".gif", ...) of the file's kind, or the empty text when the
// file is not recognised or cannot be read. Reads at most the first fifteen bytes (a RIFF wave carries its mark at byte 8); never raises.
QString RecognizeFile(const QString &path);
// The same decision for bytes already read (the first bytes of a file).
QString RecognizeBytes(const QByteArray &head);
// The metadata file of an object of the later Messenger versions ("<name>.id2", letter case
// ignored): protected data, never content, whatever its first bytes look like.
bool IsContentMetadata(const QString &fileName);
// RecognizeFile for a file of a content folder: empty for a metadata file.
QString RecognizeContentFile(const QString &path);
// Preview kind of an extension; a missing leading dot is added; the comparison is exact.
TPreviewKind PreviewKind(const QString &extension);
// File-name filter of "Only show recognized files": "map.dat" never; ".dat", ".bin", ".dt2" (the
// object files of the later Messenger versions) and names without an extension yes; any other
// extension no. Letter case is ignored.
bool IsRecognitionCandidate(const QString &fileName);
// The display name of a recognised file: the part after the last dot replaced by `extension`,
// or `extension` appended to a name without a dot.
QString ReplaceExtension(const QString &fileName, const QString &extension);
// The extension of a file name including its dot ("a.b.jpg" -> ".jpg"), empty without a dot.
QString ExtractFileExt(const QString &fileName);

} // namespace zorvak
