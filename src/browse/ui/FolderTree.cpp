#include "browse/ui/FolderTree.h"
#include "history/ui/HistoryPane.h"
#include "common/PathBytes.h"

#include "browse/CachedPictures.h"
#include "browse/FolderExport.h"
#include "browse/ObjectStore.h"
#include "browse/unitFileFolderUtil.h"
#include "browse/unitOpenFolderDialog.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/Controls.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "shell/unitCustomDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QVBoxLayout>
#include <QFileInfo>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QSvgRenderer>
#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidget>
#include <functional>

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

bool EndsWithFolders(const QStringList &parts, const QStringList &tail)
{
    if (parts.size() < tail.size() + 2) // a profiles folder and a user folder above
        return false;
    for (int i = 0; i < tail.size(); ++i)
        if (parts.at(parts.size() - tail.size() + i).compare(tail.at(i), Qt::CaseInsensitive) != 0)
            return false;
    return true;
}
} // namespace

QString ProfileOfUserFolder(const QString &folder)
{
    QStringList parts = folder.split(QLatin1Char('/'));
    while (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    int drop = 0;
    if (EndsWithFolders(parts, {QStringLiteral("AppData"), QStringLiteral("Roaming")}))
        drop = 2;
    else if (EndsWithFolders(parts, {QStringLiteral("Application Data")}))
        drop = 1;
    return QStringList(parts.mid(0, parts.size() - drop)).join(QLatin1Char('/')) + QLatin1Char('/');
}

TFolderTree::TFolderTree(QObject *parent) : QObject(parent) { setObjectName(QStringLiteral("FolderTree")); }

void TFolderTree::CreateControls(QSplitter *splitter)
{
    panLeft = NewNamed<QWidget>("panLeft", splitter);
    auto *left = new QVBoxLayout(panLeft);
    left->setContentsMargins(0, 0, 0, 0);
    auto *folderHead = new QHBoxLayout;
    labelFolderList = NewNamed<QLabel>("labelFolderList", panLeft);
    QFont bold = labelFolderList->font();
    bold.setBold(true);
    labelFolderList->setFont(bold);
    btSelectFolder = NewNamed<QPushButton>("btSelectFolder", panLeft);
    btSelectFolder->setLayoutDirection(Qt::RightToLeft); // glyph on the right
    btSelectFolder->setIcon(ThemedIcon("go-down", "down"));
    folderHead->addWidget(labelFolderList);
    folderHead->addStretch();
    folderHead->addWidget(btSelectFolder);
    left->addLayout(folderHead);
    tvDir = NewNamed<QTreeWidget>("tvDir", panLeft);
    tvDir->setHeaderHidden(true);
    tvDir->setEditTriggers(QAbstractItemView::NoEditTriggers);
    left->addWidget(tvDir, 1);
    btBackup = NewNamed<QPushButton>("btBackup", panLeft);
    btBackup->setFont(bold);
    btExplore = NewNamed<QPushButton>("btExplore", panLeft);
    auto *row = new QHBoxLayout;
    row->addWidget(btBackup);
    row->addWidget(btExplore);
    left->addLayout(row);
    chKnownOnly = NewNamed<QCheckBox>("chKnownOnly", panLeft);
    chKnownOnly->setChecked(true);
    left->addWidget(chKnownOnly);
    btSaveFolder = NewNamed<QPushButton>("btSaveFolder", panLeft);
    left->addWidget(btSaveFolder);
}

void TFolderTree::RefreshCaptions()
{
    labelFolderList->setText(Lang("FolderList"));
    btBackup->setText(Lang("btBackup"));
    btBackup->setToolTip(StripAmpersands(Lang("Backup")));
    btExplore->setText(Lang("btExploreFolder"));
    chKnownOnly->setText(Lang("KnownOnly"));
    btSaveFolder->setText(Lang("btSaveFolder") + QStringLiteral("..."));
    btSaveFolder->setToolTip(Lang("SaveFolderHint").replace(QLatin1Char('\r'), QLatin1Char('\n')));
    btSelectFolder->setText(Lang("SelectFolder"));
    // Fit btSelectFolder to its caption, keeping its right edge on the tree's right edge.
    QLabel measure(btSelectFolder->text());
    measure.setFont(QApplication::font());
    btSelectFolder->setFixedWidth(measure.sizeHint().width() + 5 + 19);
}

int TFolderTree::NamesWidth()
{
    if (tvDir->topLevelItemCount() == 0)
        return 0;
    // The rows' widths, their indentation included, the frame, and the scroll bar when it shows.
    const int scrollBar = tvDir->verticalScrollBar()->isVisible() ? tvDir->verticalScrollBar()->sizeHint().width() : 0;
    // The column's width fitted to its rows (the view measures the expanded ones), then stretched
    // to the view again.
    QHeaderView *header = tvDir->header();
    const bool stretch = header->stretchLastSection();
    header->setStretchLastSection(false);
    tvDir->resizeColumnToContents(0);
    const int names = tvDir->columnWidth(0);
    header->setStretchLastSection(stretch);
    return names + 2 * tvDir->frameWidth() + scrollBar + 4;
}

void TFolderTree::LoadIcons()
{
    InitBrowseResources();
    if (!dynamic_cast<TTreeIconDelegate *>(tvDir->itemDelegate()))
        tvDir->setItemDelegate(new TTreeIconDelegate(tvDir));
    Icons.clear();
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
        Icons.append(icon);
    }
}

QString TFolderTree::FolderOf(const QTreeWidgetItem *node) const
{
    if (!node)
        return {};
    return FolderMap.GetValue(QString::number(AbsoluteIndex(tvDir, node)));
}

QString TFolderTree::SelectedFolder() const { return WithSeparator(FolderOf(tvDir->currentItem())); }

int TFolderTree::CountNodesAtLevel(int level) const
{
    int count = 0;
    std::function<void(QTreeWidgetItem *, int)> walk = [&](QTreeWidgetItem *item, int depth) {
        if (depth == level)
            ++count;
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i), depth + 1);
    };
    for (int i = 0; i < tvDir->topLevelItemCount(); ++i)
        walk(tvDir->topLevelItem(i), 0);
    return count;
}

QTreeWidgetItem *TFolderTree::FindCaption(const QString &caption) const
{
    const int count = NodeCount(tvDir);
    for (int i = 0; i < count; ++i)
        if (QTreeWidgetItem *node = NodeAt(tvDir, i); node && node->text(0) == caption)
            return node;
    return nullptr;
}

QStringList TFolderTree::Profiles() const
{
    QStringList profiles;
    for (int i = 0; i < tvDir->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *root = tvDir->topLevelItem(i);
        if (root->data(0, Qt::UserRole).toInt() != iconWindowsUser)
            continue;
        const QString profile = ProfileOfUserFolder(FolderOf(root));
        if (!profiles.contains(profile))
            profiles.append(profile);
    }
    profiles.sort(Qt::CaseInsensitive);
    return profiles;
}

void TFolderTree::AddNodes(QTreeWidgetItem *parent, const TFolderForest &forest, int &next)
{
    for (const TFolderNode &node : forest) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tvDir);
        item->setText(0, node.caption);
        if (node.icon >= 0 && node.icon < Icons.size())
            item->setIcon(0, Icons.at(node.icon));
        item->setData(0, Qt::UserRole, node.icon);
        if (!node.hint.isEmpty())
            item->setToolTip(0, node.hint);
        else if (const QString email = EmailById().GetValue(node.caption); !email.isEmpty()) {
            item->setToolTip(0, email); // a Passport ID node: its address
            item->setData(0, Qt::AccessibleDescriptionRole, email);
        }
        FolderMap.SetValue(QString::number(next++), node.folder);
        AddNodes(item, node.children, next);
    }
}

void TFolderTree::AddForest(QTreeWidgetItem *parent, const TFolderForest &forest)
{
    // The new nodes come last in the walk: a new root, or the children of the last node.
    int next = NodeCount(tvDir);
    AddNodes(parent, forest, next);
}

void TFolderTree::ExpandAndSelectFirst()
{
    tvDir->expandAll();
    if (tvDir->topLevelItemCount() > 0)
        tvDir->setCurrentItem(tvDir->topLevelItem(0));
}

TFolderNode TFolderTree::Snapshot(const QTreeWidgetItem *node) const
{
    TFolderNode out;
    out.caption = node->text(0);
    out.icon = node->data(0, Qt::UserRole).toInt();
    out.folder = FolderOf(node);
    out.hint = node->toolTip(0);
    for (int i = 0; i < node->childCount(); ++i)
        out.children.push_back(Snapshot(node->child(i)));
    return out;
}

void TFolderTree::RemoveNode(QTreeWidgetItem *node)
{
    const int index = AbsoluteIndex(tvDir, node);
    if (index < 0 || node->childCount() > 0)
        return;
    const int n = NodeCount(tvDir);
    for (int k = index; k <= n - 1; ++k)
        FolderMap.SetValue(QString::number(k), k + 1 <= n - 1 ? FolderMap.GetValue(QString::number(k + 1)) : QString());
    FolderMap.Remove(QString::number(n - 1));
    delete node;
}

void TFolderTree::PruneEmptyFolders(QTreeWidgetItem *node)
{
    for (int i = 0; i < node->childCount();) {
        QTreeWidgetItem *child = node->child(i);
        PruneEmptyFolders(child);
        if (i < node->childCount() && node->child(i) == child)
            ++i;
    }
    // A folder that cannot be listed (count -1) stays: it is not known to be empty.
    if (node->childCount() > 0 || CountEntries(FolderOf(node)) != 0)
        return;
    RemoveNode(node);
}

void TFolderTree::Clear()
{
    tvDir->clear();
    FolderMap.Clear();
    emit cleared();
}

void TFolderTree::ShowFolder(const QString &folder, const QString &caption, bool hideEmpty)
{
    Clear();
    TFolderNode root{caption, iconFolder, folder, {}, {}};
    ScanFolders(root.children, 2, folder, TScanOptions::From(Settings(), hideEmpty));
    AddForest(nullptr, {root});
    ExpandAndSelectFirst();
    HideStatusHint();
}

void TFolderTree::AutoScan(bool hideEmpty)
{
    TCommand command(*this);
    if (!command)
        return;
    Clear();
    AddForest(nullptr, zorvak::AutoScan(Settings(), hideEmpty, true));
    ExpandAndSelectFirst();
}

void TFolderTree::ScanCurrentUser(bool hideEmpty)
{
    TCommand command(*this);
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
    Clear();
    TFolderNode root{QStringLiteral("Current user"), iconWindowsUser, appData, {}, {}};
    const QString messenger = appData + Settings().msnDatDir;
    bool found = QFileInfo(messenger).isDir();
    const TScanOptions options = TScanOptions::From(Settings(), hideEmpty);
    if (found)
        ScanFolders(root.children, 1, messenger, options);
    // The accounts of the later versions: below LOCALAPPDATA, or the profile's own local folder.
    QStringList locals;
    if (const QString local = Platform::Get().ShellFolder(QStringLiteral("Local AppData")); !local.isEmpty())
        locals << local;
    for (const QString &layout : objstore::LocalAppDataLayouts())
        if (const QString local = objstore::ResolveFolder(ProfileOfUserFolder(appData), layout); !local.isEmpty())
            locals << local;
    for (TFolderNode &account : objstore::AccountNodesBelow(locals, options)) {
        root.children.push_back(std::move(account));
        found = true;
    }
    // The profile's conversations: My Received Files and its History folders.
    AddProfileHistory(root, ProfileOfUserFolder(appData));
    AddForest(nullptr, {root});
    if (!found)
        PlainMessageBox(FormatText(Lang("MsnDatDirNotFound"), {Settings().msnDatDir, appData, Lang("MsnDatDir")}));
    ExpandAndSelectFirst();
}

void TFolderTree::ScanChosenFolder(bool hideEmpty)
{
    TCommand command(*this);
    if (!command)
        return;
    const QString chosen = BrowseForFolder(Lang("PleaseSelectMsnDatDir"), QStringLiteral("\\My Documents"));
    if (chosen.isEmpty())
        return;
    AddChosen(chosen, hideEmpty);
}

void TFolderTree::AddFolder(const QString &folder, bool hideEmpty)
{
    TCommand command(*this);
    if (!command || !QFileInfo(folder).isDir())
        return;
    AddChosen(QFileInfo(folder).absoluteFilePath(), hideEmpty);
}

void TFolderTree::AddChosen(const QString &chosen, bool hideEmpty)
{
    if (LangMessageDlg(Lang("ClearFolderListConfirmation"), TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes)
        Clear();
    QString trimmed = chosen;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    const QString caption = QFileInfo(trimmed).fileName().isEmpty() ? trimmed : QFileInfo(trimmed).fileName();
    TFolderNode root{caption, iconFolder, chosen, {}, {}};
    ScanFolders(root.children, 2, chosen, TScanOptions::From(Settings(), hideEmpty));
    AddChosenHistory(root, chosen);
    AddForest(nullptr, {root});
    ExpandAndSelectFirst();
}

void TFolderTree::PruneAllEmptyFolders()
{
    if (tvDir->topLevelItemCount() == 0)
        return;
    TCommand command(*this);
    if (!command)
        return;
    ShowStatusHint(Lang("RemovingEmpty") + QStringLiteral("..."), -1, -1, 0);
    try {
        for (int i = 0; i < tvDir->topLevelItemCount();) {
            QTreeWidgetItem *root = tvDir->topLevelItem(i);
            PruneEmptyFolders(root);
            if (i < tvDir->topLevelItemCount() && tvDir->topLevelItem(i) == root)
                ++i;
        }
    } catch (...) {
        HideStatusHint();
        throw;
    }
    HideStatusHint();
}

std::optional<QString> TFolderTree::CacheFolder(const QString &shellName, bool internetCache) const
{
    const QString configured = Platform::Get().ShellFolder(shellName);
    if (!configured.isEmpty())
        return configured;
    const QStringList profiles = Profiles();
    QString profile;
    if (profiles.size() == 1) {
        profile = profiles.first();
    } else {
        for (const QString &candidate : profiles) {
            const QString user = QFileInfo(QDir::cleanPath(candidate)).fileName();
            const int answer = LangMessageDlg(FormatText(Lang("UseProfileCache"), {user, candidate}),
                                              TMsgDlgType::mtConfirmation, mbYes | mbNo | mbCancel);
            if (answer == mrYes) {
                profile = candidate;
                break;
            }
            if (answer != mrNo)
                return std::nullopt;
        }
    }
    if (profile.isEmpty())
        return QString();
    const TProfileCaches caches = ProfileCaches(profile);
    return internetCache ? caches.internetCache : caches.localSettings;
}

void TFolderTree::ShowCachedMsn75(const QString &appDir, bool hideEmpty)
{
    TCommand command(*this);
    if (!command)
        return;
    const std::optional<QString> tif = CacheFolder(QStringLiteral("Cache"), true);
    if (!tif)
        return;
    const TCacheCollection cache = CollectMsn75Cache(appDir, *tif);
    if (!cache.ok) {
        HideStatusHint();
        return;
    }
    ShowFolder(cache.scratch, QStringLiteral("MSN 7.5 Cache"), hideEmpty);
}

void TFolderTree::ShowCachedWlm(bool hideEmpty)
{
    TCommand command(*this);
    if (!command)
        return;
    const std::optional<QString> localSettings = CacheFolder(QStringLiteral("Local Settings"), false);
    if (!localSettings)
        return;
    const QString folder = FindWlmCache(*localSettings);
    if (folder.isEmpty())
        return;
    ShowFolder(folder, QStringLiteral("WLM Cache"), hideEmpty);
}

void TFolderTree::ExploreSelected() const
{
    QTreeWidgetItem *node = tvDir->currentItem();
    if (!node) {
        PlainMessageBox(Lang("PleaseSelectFolder"));
        return;
    }
    Platform::Get().OpenUrl(FolderOf(node));
}

void TFolderTree::SaveSelectedFolder()
{
    QTreeWidgetItem *node = tvDir->currentItem();
    if (!node) {
        PlainMessageBox(Lang("PleaseSelectFolder"));
        return;
    }
    const QString caption = node->text(0);
    if (history::HistoryFolderAt(FolderOf(node))) {
        // Conversations are exported to a format people read them in, not copied as they are.
        history::SaveConversations(FolderOf(node), caption);
        return;
    }
    const QString prompt = FormatText(Lang("SaveFolderTo"), {QLatin1Char('"') + caption + QLatin1Char('"')});
    const QString chosen = BrowseForFolder(prompt, QStringLiteral("\\My Documents"));
    if (chosen.isEmpty())
        return;
    const QString target = WithSeparator(chosen) + caption;
    if (IsSameOrInside(target, FolderOf(node))) {
        // The copy would go into the folder being saved, a Messenger folder.
        PlainMessageBox(QStringLiteral("A folder cannot be saved into itself:\r   ") + target);
        return;
    }
    // The copy works on a snapshot of the node and the nodes below it, so that the tree may
    // change while the copy keeps the window responsive.
    const TFolderNode snapshot = Snapshot(node);
    TFolderSaver saver;
    saver.KnownOnly = chKnownOnly->isChecked();
    saver.AskOverwrite = [](const QString &destination) {
        return LangMessageDlg(FormatText(Lang("FileExistsConfirmation"), {destination}), TMsgDlgType::mtConfirmation,
                              mbYes | mbNo | mbCancel | mbYesToAll);
    };
    saver.Reset();
    ShowStatusHint(Lang("CopyingFiles") + QStringLiteral("..."), -1, -1, 0);
    try {
        saver.SaveFolderTree(snapshot, target);
    } catch (...) {
        HideStatusHint();
        throw;
    }
    HideStatusHint();
    QString report = FormatText(Lang("NFilesCopied"), {saver.Copied});
    if (!saver.Failed.isEmpty())
        report += QStringLiteral("\r\r") + FormatText(Lang("NFilesNotCopied"), {int(saver.Failed.size())})
                  + QLatin1Char('\r') + saver.Failed.join(QLatin1Char('\r'));
    PlainMessageBox(report);
    if (saver.Copied > 0)
        Platform::Get().OpenUrl(target);
}

} // namespace zorvak
