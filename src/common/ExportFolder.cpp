#include "common/ExportFolder.h"

#include "common/FileOps.h"
#include "common/PathBytes.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

namespace zorvak::exportfolder {

namespace {

// The canonical form of a path whose end may not exist yet: its longest existing beginning made
// canonical, followed by the rest.
QString Resolved(const QString &path)
{
    QString head = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString tail;
    while (!head.isEmpty() && !fsys::Exists(head)) {
        const qsizetype cut = head.lastIndexOf(QLatin1Char('/'));
        if (cut <= 0)
            return QDir::cleanPath(path);
        tail.prepend(head.mid(cut));
        head.truncate(cut);
    }
    return fsys::Canonical(head) + tail;
}

QString MarkerPath(const QString &folder, const TMarkerKind &kind) { return QDir(folder).filePath(QLatin1String(kind.fileName)); }

} // namespace

bool IsSameOrInside(const QString &path, const QString &folder)
{
    if (folder.isEmpty())
        return false;
    const QString p = Resolved(path);
    const QString f = Resolved(folder);
    return p == f || p.startsWith(f.endsWith(u'/') ? f : f + u'/');
}

bool HasMarker(const QString &folder, const TMarkerKind &kind)
{
    QFile marker(MarkerPath(folder, kind));
    if (!fileops::IsRegularFile(marker.fileName()) || !marker.open(QIODevice::ReadOnly))
        return false;
    return marker.read(kind.header.size()) == kind.header;
}

TOutputState OutputState(const QString &output, const TMarkerKind &kind)
{
    const QFileInfo info(output);
    if (!info.exists() && !info.isSymLink())
        return TOutputState::Missing;
    if (!info.isDir())
        return TOutputState::NotFolder;
    if (QDir(output).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        return TOutputState::Empty;
    return HasMarker(output, kind) ? TOutputState::Ours : TOutputState::Other;
}

void RemoveEarlierExport(const QString &output, const TMarkerKind &kind)
{
    QFile marker(MarkerPath(output, kind));
    if (!fileops::IsRegularFile(marker.fileName()) || !marker.open(QIODevice::ReadOnly))
        return;
    const QByteArray data = marker.readAll();
    marker.close();
    if (!data.startsWith(kind.header))
        return;
    const QString root = QFileInfo(output).canonicalFilePath();
    if (root.isEmpty())
        return;
    QStringList folders;
    for (const QByteArray &line : data.mid(kind.header.size()).split('\n')) {
        const QString relative = QString::fromUtf8(line);
        const QStringList parts = relative.split(u'/');
        if (relative.isEmpty() || relative.startsWith(u'/') || relative.contains(u'\\') || parts.contains(QStringLiteral(".."))
            || parts.contains(QStringLiteral(".")) || parts.contains(QString()))
            continue;
        const QFileInfo info(root + u'/' + relative);
        if (info.isSymLink() || !info.isFile())
            continue;
        // The folder holding it, links resolved, must be the output folder or inside it.
        const QString parent = QFileInfo(info.absolutePath()).canonicalFilePath();
        if (parent != root && !parent.startsWith(root + u'/'))
            continue;
        QFile::remove(parent + u'/' + info.fileName());
        // Every folder between the file and the output folder.
        for (QString f = parent; f != root && f.startsWith(root + u'/'); f = QFileInfo(f).absolutePath())
            if (!folders.contains(f))
                folders << f;
    }
    // Deepest first, so that a folder emptied by removing its sub-folders goes too.
    std::sort(folders.begin(), folders.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (const QString &folder : folders)
        QDir().rmdir(folder); // only when empty
    QFile::remove(marker.fileName());
}

void TMarker::Open(const QString &output, const TMarkerKind &kind)
{
    if (m_file.isOpen())
        m_file.close();
    m_file.setFileName(MarkerPath(output, kind));
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        m_file.write(kind.header);
    m_file.flush();
}

void TMarker::Add(const QString &relative)
{
    if (!m_file.isOpen())
        return;
    m_file.write(relative.toUtf8() + '\n');
    m_file.flush();
}

} // namespace zorvak::exportfolder
