#include "browse/FolderExport.h"

#include "browse/Recognition.h"
#include "browse/unitFileFolderUtil.h"
#include "platform/Platform.h"
#include "shell/DialogService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvak {

namespace {
QString SystemError(int code) { return QString::fromLocal8Bit(std::strerror(code)); }
} // namespace

bool CopyFileReplacing(const QString &source, const QString &target, QString *error)
{
    const QByteArray src = QFile::encodeName(source);
    const QByteArray dst = QFile::encodeName(target);
    struct stat s, t;
    if (::stat(src.constData(), &s) != 0) {
        if (error)
            *error = SystemError(errno);
        return false;
    }
    if (::stat(dst.constData(), &t) == 0 && s.st_dev == t.st_dev && s.st_ino == t.st_ino)
        return true; // the same file: nothing to do, and nothing to lose
    const int in = ::open(src.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        if (error)
            *error = SystemError(errno);
        return false;
    }
    const int out = ::open(dst.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) {
        const int code = errno;
        ::close(in);
        if (error)
            *error = SystemError(code);
        return false;
    }
    char buffer[65536];
    bool ok = true;
    int code = 0;
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            code = errno;
            break;
        }
        if (n == 0)
            break;
        ssize_t done = 0;
        while (done < n) {
            const ssize_t w = ::write(out, buffer + done, size_t(n - done));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                ok = false;
                code = errno;
                break;
            }
            done += w;
        }
        if (!ok)
            break;
    }
    ::close(in);
    if (::close(out) != 0 && ok) {
        ok = false;
        code = errno;
    }
    if (!ok && error)
        *error = SystemError(code);
    return ok;
}

bool TFolderSaver::SaveFolderTree(const TFolderNode &node, const QString &target)
{
    if (Cancelled)
        return false;
    bool result = true;
    QDir().mkpath(target);
    const QString dest = WithSeparator(target);
    const QStringList files = ListFiles(node.folder, QString(), false, false, true);
    for (const QString &p : files) {
        QString t = dest + QFileInfo(p).fileName();
        const QString x = RecognizeFile(p);
        if (x.isEmpty() && KnownOnly)
            continue;
        if (!x.isEmpty())
            t = dest + ReplaceExtension(QFileInfo(p).fileName(), x);
        if (QFileInfo::exists(t) && !OverwriteAll) {
            const int answer = AskOverwrite ? AskOverwrite(t) : mrNo;
            if (answer == mrYesToAll) {
                OverwriteAll = true;
            } else if (answer == mrCancel) {
                Cancelled = true;
                return false;
            } else if (answer != mrYes) {
                continue;
            }
        }
        if (CopyFileReplacing(p, t))
            ++Copied;
        else
            result = false;
    }
    for (const TFolderNode &child : node.children) {
        if (!result)
            break;
        result = SaveFolderTree(child, dest + child.caption);
    }
    return result;
}

namespace {
// The canonical form of a path whose end may not exist yet: its longest existing beginning made
// canonical, followed by the rest.
QString Resolved(const QString &path)
{
    QString head = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString tail;
    while (!head.isEmpty() && !QFileInfo::exists(head)) {
        const qsizetype cut = head.lastIndexOf(QLatin1Char('/'));
        if (cut <= 0)
            return QDir::cleanPath(path);
        tail.prepend(head.mid(cut));
        head.truncate(cut);
    }
    return QFileInfo(head).canonicalFilePath() + tail;
}
} // namespace

bool IsSameOrInside(const QString &path, const QString &folder)
{
    if (folder.isEmpty())
        return false;
    const QString p = Resolved(path);
    const QString f = Resolved(folder);
    return p == f || p.startsWith(WithSeparator(f));
}

TFolderNode FolderTreeOf(const QString &folder)
{
    QString f = folder;
    while (f.size() > 1 && f.endsWith(QLatin1Char('/')))
        f.chop(1);
    TFolderNode node{QFileInfo(f).fileName(), iconFolder, f, {}};
    for (const QString &e : ListFolders(f, QString(), false, true)) {
        // Links to folders are not followed: a profile's junctions would loop.
        const QString sub = e.left(e.size() - 1);
        if (!QFileInfo(sub).isSymLink())
            node.children.push_back(FolderTreeOf(sub));
    }
    return node;
}

} // namespace zorvak
