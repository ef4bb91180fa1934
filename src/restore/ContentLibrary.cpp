#include "restore/ContentLibrary.h"

#include "cabinet/cabfiles.h"
#include "common/ContentXml.h"
#include "common/FileOps.h"
#include "common/RunFolder.h"
#include "common/unitString.h"
#include "shell/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <algorithm>
#include <iterator>
#include <optional>

namespace zorvak {

namespace {

struct PackageItem {
    QString type;
    QString file;
    QString name;
    QString shortcut;
};

// Names the library keeps for itself at its root; a folder made from a package's item type
// never takes one of them.
const char *const kIndexName = "index.tsv";
// Held while an installation reads, extends and writes the index. Hidden: no folder made from an
// item type starts with a dot.
const char *const kLockName = ".index.lock";

bool IsReservedName(const QString &name)
{
    return name.compare(QLatin1String(kIndexName), Qt::CaseInsensitive) == 0;
}

// A name from a package made safe as one file name by the library's rules; empty when nothing
// usable is left.
QString LibraryName(const QString &name) { return named::SafeStem(name, kLibraryNameRules); }

bool SameContent(const QString &a, const QString &b)
{
    QFile fa(a), fb(b);
    if (fa.size() != fb.size() || !fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return false;
    while (!fa.atEnd())
        if (fa.read(1 << 16) != fb.read(1 << 16))
            return false;
    return true;
}

// The file an item names inside the unpacked package: either separator, compared without
// letter case as Messenger's file system does; never outside the package's folder.
QString FindPackageFile(const QString &root, QString file)
{
    file.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (file.isEmpty())
        return {};
    const QString path = QDir::cleanPath(root + QLatin1Char('/') + file);
    if (!path.startsWith(root + QLatin1Char('/')))
        return {};
    if (QFileInfo(path).isFile())
        return path;
    const QFileInfo info(path);
    const QDir dir(info.path());
    for (const QString &candidate : dir.entryList(QDir::Files | QDir::Hidden))
        if (candidate.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return dir.filePath(candidate);
    return {};
}

// The index's fields are TAB-separated lines: the separators and the backslash are escaped.
const TEscape kIndexEscapes[] = {
    {u'\\', QLatin1String("\\\\")},
    {u'\t', QLatin1String("\\t")},
    {u'\n', QLatin1String("\\n")},
    {u'\r', QLatin1String("\\r")},
};

QString Escape(const QString &s) { return EscapeChars(s, kIndexEscapes); }

QString Unescape(const QString &s)
{
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s.at(i) == QLatin1Char('\\') && i + 1 < s.size()) {
            // A backslash before any other character stands for that character.
            const QChar n = s.at(++i);
            const auto found = std::find_if(std::begin(kIndexEscapes), std::end(kIndexEscapes),
                                            [n](const TEscape &e) { return QChar(e.escaped.at(1)) == n; });
            out += found == std::end(kIndexEscapes) ? n : found->plain;
        } else {
            out += s.at(i);
        }
    }
    return out;
}

} // namespace

TContentLibrary::TContentLibrary(QString folder, QMap<ContentType, QString> subdirs)
    : m_folder(std::move(folder)), m_subdirs(std::move(subdirs))
{
    if (!m_folder.endsWith(QLatin1Char('/')))
        m_folder += QLatin1Char('/');
}

QString TContentLibrary::DefaultFolder()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(data) + QStringLiteral("/zorvak/installed/");
}

QMap<ContentType, QString> TContentLibrary::SubdirsInUse()
{
    QMap<ContentType, QString> subdirs;
    for (const ContentTypeInfo &info : ContentTypes)
        subdirs.insert(info.type, Settings().Subdir(info.type));
    return subdirs;
}

QString TContentLibrary::TargetFolderOf(const QString &itemType) const
{
    QString sub;
    if (const contentxml::ItemKind *kind = contentxml::KindNamed(itemType))
        sub = m_subdirs.value(kind->type, QString::fromLatin1(InfoOf(kind->type).defaultSubdir));
    else
        sub = itemType; // a kind this program does not know keeps its own folder
    // The settings may hold a trailing separator; the name must stay one folder of the library.
    sub = fileops::FitFileName(LibraryName(QString(sub).remove(QLatin1Char('/')).remove(QLatin1Char('\\'))));
    if (sub.isEmpty())
        sub = QStringLiteral("Other");
    if (IsReservedName(sub))
        sub.prepend(QLatin1Char('_')); // "index.tsv" is the library's own
    return m_folder + sub + QLatin1Char('/');
}

QString TContentLibrary::PlaceObject(const QString &source, const QString &folder, const QString &name, bool *created)
{
    *created = false;
    QString ext = QFileInfo(source).suffix().toLower();
    if (ext.isEmpty())
        ext = QMimeDatabase().mimeTypeForFile(source, QMimeDatabase::MatchContent).preferredSuffix();
    const QString dot = ext.isEmpty() ? QString() : QLatin1Char('.') + ext;
    if (!QDir().mkpath(folder))
        return {};
    for (int n = 1;; ++n) {
        // The whole name within the file system's limit in bytes, the number and extension kept.
        const QString tail = (n == 1 ? QString() : QStringLiteral(" (%1)").arg(n)) + dot;
        const QString stem = fileops::FitFileName(name, fileops::kMaxNameBytes - int(tail.toUtf8().size()));
        const QString target = folder + stem + tail;
        if (QFileInfo::exists(target)) {
            if (SameContent(source, target))
                return target; // the same object installed before
            continue;
        }
        if (!fileops::CopyFile(source, target, {fileops::IfExists::Refuse, true})) {
            if (QFileInfo::exists(target))
                continue; // taken meanwhile: the next number
            return {};
        }
        *created = true;
        return target;
    }
}

bool TContentLibrary::PrepareIndex()
{
    m_lastError.clear();
    if (!QDir().mkpath(m_folder)) {
        m_lastError = QStringLiteral("Cannot create the content library %1").arg(m_folder);
        return false;
    }
    const QString index = m_folder + QLatin1String(kIndexName);
    const QFileInfo info(index);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (info.isFile() && !info.isSymLink())
        return true;
    // Something else holds the index's name (a folder an older version made from an item type
    // "index.tsv"): move it aside under the name such a type gets now, then the index can be
    // written again.
    if (info.isDir() && !info.isSymLink()) {
        for (int n = 1; n < 1000; ++n) {
            const QString aside = m_folder + QLatin1Char('_') + QLatin1String(kIndexName)
                                  + (n == 1 ? QString() : QStringLiteral(" (%1)").arg(n));
            if (QFileInfo::exists(aside) || QFileInfo(aside).isSymLink())
                continue;
            if (QDir().rename(index, aside))
                return true;
            break;
        }
    }
    m_lastError = QStringLiteral("The index of the content library cannot be written: %1 is not a file").arg(index);
    return false;
}

qint32 TContentLibrary::InstallPackage(const QString &packageFile, const std::atomic<bool> *cancel,
                                      const std::function<void()> &onWait)
{
    m_lastError.clear();
    // The package is unpacked in a folder of this run, which a later run removes should this
    // one be killed; without a private folder for temporary files, in a temporary folder of the
    // system's kind.
    const std::unique_ptr<fileops::TRunFolder> run = fileops::TRunFolder::Create(fileops::PrivateTempBase());
    std::optional<QTemporaryDir> fallback;
    QString workPath;
    if (run) {
        workPath = run->Path() + QStringLiteral("unpacked");
        if (!QDir().mkdir(workPath))
            return InstallFailed;
    } else {
        fallback.emplace(QDir::tempPath() + QStringLiteral("/zorvak-install-XXXXXX"));
        if (!fallback->isValid())
            return InstallFailed;
        workPath = fallback->path();
    }
    const QString root = QDir(workPath).canonicalPath();
    TCABFile cab;
    cab.CABFile = packageFile;
    cab.TargetPath = root + QLatin1Char('/');
    if (!cab.ExtractAll())
        return InstallFailed;

    QString manifest;
    for (const QString &f : QDir(root).entryList(QDir::Files | QDir::Hidden))
        if (f.compare(QLatin1String("content.xml"), Qt::CaseInsensitive) == 0)
            manifest = root + QLatin1Char('/') + f;
    QFile mf(manifest);
    if (manifest.isEmpty() || !mf.open(QIODevice::ReadOnly))
        return InstallFailed;

    QXmlStreamReader xml(&mf);
    QList<PackageItem> items;
    bool packageRoot = false;
    int depth = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            if (depth == 1)
                packageRoot = xml.name() == QLatin1String("package")
                              && xml.namespaceUri() == QLatin1String(contentxml::PackageNamespace);
            if (depth == 2 && xml.name() == QLatin1String("item")) {
                PackageItem item;
                for (const QXmlStreamAttribute &a : xml.attributes()) {
                    const auto n = a.name();
                    if (n == QLatin1String(contentxml::AttrType) && a.prefix().isEmpty())
                        item.type = a.value().toString();
                    else if (n == QLatin1String(contentxml::AttrFile) && a.prefix().isEmpty())
                        item.file = a.value().toString();
                    else if (n == QLatin1String(contentxml::AttrDisplayName))
                        item.name = a.value().toString();
                    else if (n == QLatin1String(contentxml::AttrKeySequence))
                        item.shortcut = a.value().toString();
                }
                items.append(item);
            }
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    if (xml.hasError() || !packageRoot)
        return InstallFailed;
    if (items.size() > MaxPackageItems)
        return TooManyItems;

    // One installation at a time from the reading of the index to its writing, so that none
    // loses another's lines or takes the name another is writing.
    if (!QDir().mkpath(m_folder)) {
        m_lastError = QStringLiteral("Cannot create the content library %1").arg(m_folder);
        return InstallFailed;
    }
    QString lockError;
    const std::unique_ptr<fileops::TFileLock> lock
        = fileops::TFileLock::Acquire(m_folder + QLatin1String(kLockName), onWait, cancel, &lockError);
    if (!lock) {
        if (!lockError.isEmpty())
            m_lastError = QStringLiteral("The content library cannot be locked: %1").arg(lockError);
        return InstallFailed;
    }
    // The index must be writable before anything is copied.
    if (!PrepareIndex())
        return InstallFailed;
    QList<TLibraryEntry> index = ReadIndex();
    QStringList created; // objects this installation added, removed again if the index fails
    qint32 result = InstallOk;
    for (const PackageItem &item : items) {
        if (cancel && cancel->load()) {
            result = InstallFailed;
            break;
        }
        const QString source = FindPackageFile(root, item.file);
        if (source.isEmpty()) {
            result = InstallFailed;
            break;
        }
        QString name = LibraryName(item.name);
        if (name.isEmpty())
            name = LibraryName(QFileInfo(QString(item.file).replace(QLatin1Char('\\'), QLatin1Char('/'))).completeBaseName());
        if (name.isEmpty())
            name = QStringLiteral("object");
        bool isNew = false;
        const QString placed = PlaceObject(source, TargetFolderOf(item.type), name, &isNew);
        if (placed.isEmpty()) {
            result = InstallFailed;
            break;
        }
        if (isNew)
            created << placed;
        TLibraryEntry entry{placed.mid(m_folder.size()), item.type, item.name, item.shortcut};
        bool replaced = false;
        for (TLibraryEntry &e : index)
            if (e.file == entry.file) {
                e = entry;
                replaced = true;
            }
        if (!replaced)
            index.append(entry);
    }
    if (!WriteIndex(index)) {
        // Objects the index does not know would be lost to the library: take them back.
        for (const QString &file : std::as_const(created))
            QFile::remove(file);
        m_lastError = QStringLiteral("The index of the content library cannot be written: %1")
                          .arg(m_folder + QLatin1String(kIndexName));
        result = InstallFailed;
    }
    return result;
}

QList<TLibraryEntry> TContentLibrary::ReadIndex() const
{
    QList<TLibraryEntry> entries;
    QFile f(m_folder + QLatin1String(kIndexName));
    if (!fileops::IsRegularFile(f.fileName()) || !f.open(QIODevice::ReadOnly))
        return entries;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split('\t');
        TLibraryEntry e;
        e.file = Unescape(QString::fromUtf8(fields.value(0)));
        e.type = Unescape(QString::fromUtf8(fields.value(1)));
        e.name = Unescape(QString::fromUtf8(fields.value(2)));
        e.shortcut = Unescape(QString::fromUtf8(fields.value(3)));
        entries.append(e);
    }
    return entries;
}

bool TContentLibrary::WriteIndex(const QList<TLibraryEntry> &entries) const
{
    QDir().mkpath(m_folder);
    QSaveFile f(m_folder + QLatin1String(kIndexName)); // written whole or not at all
    if (!f.open(QIODevice::WriteOnly))
        return false;
    for (const TLibraryEntry &e : entries)
        f.write((Escape(e.file) + QLatin1Char('\t') + Escape(e.type) + QLatin1Char('\t') + Escape(e.name)
                 + QLatin1Char('\t') + Escape(e.shortcut) + QLatin1Char('\n'))
                    .toUtf8());
    return f.commit();
}

} // namespace zorvak
