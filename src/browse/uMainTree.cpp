// The folder tree of the main window: scans, hiding and pruning, the folder menu, Open Folder.
#include "browse/BrowseState.h"
#include "browse/FolderScan.h"
#include "browse/unitFileFolderUtil.h"
#include "browse/unitOpenFolderDialog.h"
#include "browse/uMainBrowse.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "shell/uMain.h"
#include "shell/unitCustomDlg.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QSvgRenderer>
#include <QTreeWidget>

static void InitBrowseResources() { Q_INIT_RESOURCE(browse); }

namespace zorvak {

namespace browse {

int AbsoluteIndex(const QTreeWidget *tree, const QTreeWidgetItem *node)
{
    if (!node)
        return -1;
    int index = 0;
    bool found = false;
    std::function<void(const QTreeWidgetItem *)> walk = [&](const QTreeWidgetItem *item) {
        if (found)
            return;
        if (item == node) {
            found = true;
            return;
        }
        ++index;
        for (int i = 0; i < item->childCount() && !found; ++i)
            walk(item->child(i));
    };
    for (int i = 0; i < tree->topLevelItemCount() && !found; ++i)
        walk(tree->topLevelItem(i));
    return found ? index : -1;
}

QTreeWidgetItem *NodeAt(const QTreeWidget *tree, int index)
{
    int left = index;
    QTreeWidgetItem *result = nullptr;
    std::function<void(QTreeWidgetItem *)> walk = [&](QTreeWidgetItem *item) {
        if (result)
            return;
        if (left-- == 0) {
            result = item;
            return;
        }
        for (int i = 0; i < item->childCount() && !result; ++i)
            walk(item->child(i));
    };
    for (int i = 0; i < tree->topLevelItemCount() && !result; ++i)
        walk(tree->topLevelItem(i));
    return result;
}

int NodeCount(const QTreeWidget *tree)
{
    int n = 0;
    std::function<void(const QTreeWidgetItem *)> walk = [&](const QTreeWidgetItem *item) {
        ++n;
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i));
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i));
    return n;
}

namespace {
void AddNodes(TfrmMain &w, QTreeWidgetItem *parent, const TFolderForest &forest, int &next)
{
    for (const TFolderNode &node : forest) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(w.tvDir);
        item->setText(0, node.caption);
        if (node.icon >= 0 && node.icon < w.ImageList1.size())
            item->setIcon(0, w.ImageList1.at(node.icon));
        item->setData(0, Qt::UserRole, node.icon);
        w.FolderMap.SetValue(QString::number(next++), node.folder);
        AddNodes(w, item, node.children, next);
    }
}
} // namespace

void AddForest(TfrmMain &w, QTreeWidgetItem *parent, const TFolderForest &forest)
{
    int next = NodeCount(w.tvDir);
    AddNodes(w, parent, forest, next);
}

void ExpandAndSelectFirst(TfrmMain &w)
{
    w.tvDir->expandAll();
    if (w.tvDir->topLevelItemCount() > 0)
        w.tvDir->setCurrentItem(w.tvDir->topLevelItem(0));
}

TFolderNode Snapshot(const TfrmMain &w, const QTreeWidgetItem *node)
{
    TFolderNode out;
    out.caption = node->text(0);
    out.icon = node->data(0, Qt::UserRole).toInt();
    out.folder = w.FolderMap.GetValue(QString::number(AbsoluteIndex(w.tvDir, node)));
    for (int i = 0; i < node->childCount(); ++i)
        out.children.push_back(Snapshot(w, node->child(i)));
    return out;
}

void PruneEmptyFolders(TfrmMain &w, QTreeWidgetItem *node)
{
    for (int i = 0; i < node->childCount();) {
        QTreeWidgetItem *child = node->child(i);
        PruneEmptyFolders(w, child);
        if (i < node->childCount() && node->child(i) == child)
            ++i;
    }
    if (node->childCount() > 0)
        return;
    const int index = AbsoluteIndex(w.tvDir, node);
    if (CountFiles(w.FolderMap.GetValue(QString::number(index))) != 0)
        return;
    const int n = NodeCount(w.tvDir);
    for (int k = index; k <= n - 1; ++k)
        w.FolderMap.SetValue(QString::number(k), k + 1 <= n - 1 ? w.FolderMap.GetValue(QString::number(k + 1)) : QString());
    w.FolderMap.Remove(QString::number(n - 1));
    delete node;
}

void HandFolderToTree(TfrmMain &w, const QString &folder, const QString &caption)
{
    w.ClearFolderList();
    TFolderNode root{caption, iconFolder, folder, {}};
    ScanFolders(root.children, 2, folder, TScanOptions::From(Settings(), w.Hide1->isChecked()));
    AddForest(w, nullptr, {root});
    ExpandAndSelectFirst(w);
    HideStatusHint();
}

TTreeCommand::TTreeCommand(TfrmMain &w) : m_w(w), m_acquired(!w.Browse->TreeBusy)
{
    if (m_acquired)
        w.Browse->TreeBusy = true;
}

TTreeCommand::~TTreeCommand()
{
    if (m_acquired)
        m_w.Browse->TreeBusy = false;
}

void SetHint(QWidget *widget, const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    widget->setToolTip(shown);
}

} // namespace browse

using namespace browse;

namespace {
// A node without a picture keeps the room of one, so its caption lines up with its siblings'.
class TTreeIconDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->features & QStyleOptionViewItem::HasDecoration)
            return;
        QPixmap blank(option->decorationSize.isValid() ? option->decorationSize : QSize(16, 16));
        blank.fill(Qt::transparent);
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->icon = QIcon(blank);
    }
};
} // namespace

void TfrmMain::LoadTreeIcons()
{
    InitBrowseResources();
    if (!dynamic_cast<TTreeIconDelegate *>(tvDir->itemDelegate()))
        tvDir->setItemDelegate(new TTreeIconDelegate(tvDir));
    ImageList1.clear();
    for (int i = 0; i < 8; ++i) {
        QSvgRenderer svg(QStringLiteral(":/browse/icons/tree%1.svg").arg(i));
        QIcon icon;
        for (int size : {16, 32}) {
            QPixmap pixmap(size, size);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            svg.render(&painter);
            painter.end();
            icon.addPixmap(pixmap);
        }
        ImageList1.append(icon);
    }
}

void TfrmMain::btSelectFolderClick()
{
    popupSelectFolder->popup(btSelectFolder->mapToGlobal(QPoint(0, btSelectFolder->height() - 1)));
}

void TfrmMain::tvDirKeyDown(int key)
{
    if (key == Qt::Key_F4)
        Hide1->trigger();
}

void TfrmMain::btExploreClick()
{
    QTreeWidgetItem *node = tvDir->currentItem();
    if (!node) {
        PlainMessageBox(Lang("PleaseSelectFolder"));
        return;
    }
    Platform::Get().OpenUrl(FolderMap.GetValue(QString::number(AbsoluteIndex(tvDir, node))));
}

void TfrmMain::ClearFolderList()
{
    tvDir->clear();
    FolderMap.Clear();
    lbFiles->clear();
    Browse->DiskNames.clear();
    labelFileList->setToolTip(QString());
    btExplore->setToolTip(QString());
}

QString TfrmMain::SelectedFolder() const
{
    return WithSeparator(FolderMap.GetValue(QString::number(AbsoluteIndex(tvDir, tvDir->currentItem()))));
}

void TfrmMain::Auto1Click()
{
    TTreeCommand command(*this);
    if (!command)
        return;
    ClearFolderList();
    const TFolderForest roots = AutoScan(Settings(), Hide1->isChecked());
    AddForest(*this, nullptr, roots);
    ExpandAndSelectFirst(*this);
}

void TfrmMain::Current1Click()
{
    TTreeCommand command(*this);
    if (!command)
        return;
    QString appData = Platform::Get().AppDataFolder();
    if (appData.isEmpty()) {
        LangMessageDlg(QStringLiteral("Cannot find the environment variable %APPDATA%,\rnor the registry value "
                                      "...\\User Shell Folders\\AppData.\r\rWe would appreciate if you can let us "
                                      "know about this error, and your Windows version."),
                       TMsgDlgType::mtError, mbOK);
        return;
    }
    appData = WithSeparator(appData);
    ClearFolderList();
    TFolderNode root{QStringLiteral("Current user"), iconWindowsUser, appData, {}};
    const QString messenger = appData + Settings().msnDatDir;
    const bool found = QFileInfo(messenger).isDir();
    if (found)
        ScanFolders(root.children, 1, messenger, TScanOptions::From(Settings(), Hide1->isChecked()));
    AddForest(*this, nullptr, {root});
    if (!found)
        PlainMessageBox(FormatText(Lang("MsnDatDirNotFound"), {Settings().msnDatDir, appData, Lang("MsnDatDir")}));
    ExpandAndSelectFirst(*this);
}

void TfrmMain::Manual1Click()
{
    TTreeCommand command(*this);
    if (!command)
        return;
    const QString chosen = BrowseForFolder(Lang("PleaseSelectMsnDatDir"), QStringLiteral("\\My Documents"));
    if (chosen.isEmpty())
        return;
    if (LangMessageDlg(Lang("ClearFolderListConfirmation"), TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes)
        ClearFolderList();
    QString trimmed = chosen;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    const QString caption = QFileInfo(trimmed).fileName().isEmpty() ? trimmed : QFileInfo(trimmed).fileName();
    TFolderNode root{caption, iconFolder, chosen, {}};
    ScanFolders(root.children, 2, chosen, TScanOptions::From(Settings(), Hide1->isChecked()));
    AddForest(*this, nullptr, {root});
    ExpandAndSelectFirst(*this);
}

void TfrmMain::Hide1Click()
{
    if (!Hide1->isChecked()) {
        LangMessageDlg(Lang("HideEffect"), TMsgDlgType::mtInformation, mbOK);
        return;
    }
    if (tvDir->topLevelItemCount() == 0)
        return;
    TTreeCommand command(*this);
    if (!command)
        return;
    ShowStatusHint(Lang("RemovingEmpty") + QStringLiteral("..."), -1, -1, 0);
    try {
        for (int i = 0; i < tvDir->topLevelItemCount();) {
            QTreeWidgetItem *root = tvDir->topLevelItem(i);
            PruneEmptyFolders(*this, root);
            if (i < tvDir->topLevelItemCount() && tvDir->topLevelItem(i) == root)
                ++i;
        }
    } catch (...) {
        HideStatusHint();
        throw;
    }
    HideStatusHint();
}

} // namespace zorvak
