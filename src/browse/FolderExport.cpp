#include "browse/FolderExport.h"
#include "common/PathBytes.h"

#include "browse/Recognition.h"
#include "browse/unitFileFolderUtil.h"
#include "common/FileOps.h"
#include "platform/Platform.h"
#include "shell/DialogService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace zorvak {

bool TFolderSaver::SaveFolderTree(const TFolderNode &node, const QString &target)
{
    if (Cancelled)
        return false;
    bool result = true;
    if (!fsys::MakePath(target)) {
        Failed << EscapedPath(target) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    const QString dest = WithSeparator(target);
    const QStringList files = ListFiles(node.folder, QString(), false, false, true);
    for (const QString &p : files) {
        const QString x = RecognizeContentFile(p);
        if (x.isEmpty() && KnownOnly)
            continue;
        const QString name = DisplayPath(QFileInfo(p).fileName());
        const QString t = dest + SafeFileName(x.isEmpty() ? name : ReplaceExtension(name, x));
        if (fsys::Exists(t) && !OverwriteAll) {
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
        // The question above was answered: an existing target is replaced, once the copy is whole.
        QString reason;
        if (fileops::CopyFile(p, t, {fileops::IfExists::Replace, true}, &reason)) {
            ++Copied;
        } else {
            Failed << EscapedPath(p) + QStringLiteral(": ") + reason;
            result = false;
        }
    }
    for (const TFolderNode &child : node.children) {
        if (!result)
            break;
        result = SaveFolderTree(child, dest + SafeFileName(DisplayPath(child.caption)));
    }
    return result;
}

QString SafeFileName(const QString &name)
{
    const QString safe = named::SafeStem(name, kSaveAsNameRules);
    return safe.isEmpty() ? QStringLiteral("_") : safe;
}

TFolderNode FolderTreeOf(const QString &folder)
{
    QString f = folder;
    while (f.size() > 1 && f.endsWith(QLatin1Char('/')))
        f.chop(1);
    TFolderNode node{DisplayPath(QFileInfo(f).fileName()), iconFolder, f, {}, {}};
    for (const QString &e : ListFolders(f, QString(), false, true)) {
        // Links to folders are not followed: a profile's junctions would loop.
        const QString sub = e.left(e.size() - 1);
        if (!fsys::IsSymLink(sub))
            node.children.push_back(FolderTreeOf(sub));
    }
    return node;
}

} // namespace zorvak
