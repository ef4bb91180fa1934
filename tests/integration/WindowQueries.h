#pragma once
// What the main window shows, read the way the window tests compare it: tree nodes by their
// captions, list rows as text.
#include "browse/ui/FolderTree.h"

#include <QListWidget>
#include <QStringList>
#include <QTreeWidget>

namespace zorvak::test {

// The first node, in tree order, whose captions from its root down are `path`; nullptr if none.
inline QTreeWidgetItem *NodeByCaptions(const QTreeWidget *tree, const QStringList &path)
{
    for (int i = 0; i < browse::NodeCount(tree); ++i) {
        QTreeWidgetItem *n = browse::NodeAt(tree, i);
        QStringList captions;
        for (QTreeWidgetItem *p = n; p; p = p->parent())
            captions.prepend(p->text(0));
        if (captions == path)
            return n;
    }
    return nullptr;
}

// The texts of a list's rows, in the list's order.
inline QStringList RowTexts(const QListWidget *list)
{
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

} // namespace zorvak::test
