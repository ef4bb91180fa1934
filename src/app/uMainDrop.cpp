// Files dropped on the main window: a package opens the restore window on it, wherever it is
// dropped; a folder dropped on the folder list is added to the list. Anything else is refused
// while it is dragged, so the pointer shows that it cannot be dropped.
#include "browse/ui/FolderTree.h"
#include "restore/RestoreCore.h"
#include "app/uMain.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace zorvak {

namespace {

enum class DropKind { None, Package, Folder };

struct DropPlan {
    DropKind kind = DropKind::None;
    QString path;
};

// What dropping `data` does: only the first local file or folder of the data counts, so that a
// drop never opens a series of windows. A folder counts only over the folder list.
DropPlan PlanDrop(const QMimeData *data, bool overFolderList)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (IsPackageFile(path))
            return {DropKind::Package, QFileInfo(path).absoluteFilePath()};
        if (overFolderList && QFileInfo(path).isDir())
            return {DropKind::Folder, path};
        return {};
    }
    return {};
}

} // namespace

// True when `position` (in `window`'s coordinates) lies on `part`, a control inside it.
static bool Over(const QWidget &window, const QWidget *part, const QPointF &position)
{
    return part && part->rect().contains(part->mapFrom(&window, position.toPoint()));
}

void TfrmMain::dragEnterEvent(QDragEnterEvent *event) { dragMoveEvent(event); }

void TfrmMain::dragMoveEvent(QDragMoveEvent *event)
{
    if (PlanDrop(event->mimeData(), Over(*this, panLeft, event->position())).kind != DropKind::None)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TfrmMain::dropEvent(QDropEvent *event)
{
    const DropPlan plan = PlanDrop(event->mimeData(), Over(*this, panLeft, event->position()));
    if (plan.kind == DropKind::None) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The work runs once the drop is over: a window opened inside the drop would hold the
    // program the file came from until it closes.
    QTimer::singleShot(0, this, [this, plan] {
        Guard([this, &plan] {
            if (plan.kind == DropKind::Package)
                OpenPackage(plan.path);
            else
                Tree->AddFolder(plan.path, Hide1->isChecked());
        });
    });
}

} // namespace zorvak
