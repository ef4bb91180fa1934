#include "find/ui/uDiskSearch.h"

#include "browse/FolderScan.h"
#include "browse/ui/FolderTree.h"
#include "common/unitString.h"
#include "dpapi/DpapiKeyMaterial.h"
#include "find/FoundGroups.h"
#include "shell/Controls.h"
#include "shell/DialogService.h"
#include "shell/unitCustomDlg.h"
#include "shell/uLanguage.h"
#include "shell/SettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zorvak {

TfrmDiskSearch::TfrmDiskSearch(const QString &folder, QWidget *parent) : QDialog(parent), m_folder(folder)
{
    setObjectName(QStringLiteral("TfrmDiskSearch"));
    setWindowTitle(StripAmpersands(Lang("SearchDisk")));
    lbFolders = NewNamed<QLabel>("lbFolders", this);
    lbCurrent = NewNamed<QLabel>("lbCurrent", this);
    lbCurrent->setMinimumWidth(420);
    lbCurrent->setTextFormat(Qt::PlainText);
    lbCurrent->setWordWrap(true);
    lbFound = NewNamed<QLabel>("lbFound", this);
    btCancel = NewNamed<QPushButton>("btCancel", Lang("mbCancel"), this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lbFolders);
    layout->addWidget(lbCurrent);
    layout->addWidget(lbFound);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btCancel);
    layout->addLayout(buttons);
    connect(btCancel, &QPushButton::clicked, this, &TfrmDiskSearch::reject);
    ShowProgress(0, folder, 0);
}

TfrmDiskSearch::~TfrmDiskSearch() { Stop(); }

void TfrmDiskSearch::Stop()
{
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
}

void TfrmDiskSearch::ShowProgress(qint64 folders, const QString &current, qint64 found)
{
    lbFolders->setText(FormatText(Lang("SearchDiskFolders"), {QString::number(folders)}));
    lbCurrent->setText(current);
    lbFound->setText(FormatText(Lang("SearchDiskFound"), {QString::number(found)}));
}

void TfrmDiskSearch::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Start();
}

void TfrmDiskSearch::Start()
{
    if (m_worker.joinable() || m_cancel)
        return;
    m_worker = std::thread([this] {
        find::TSearchOptions options;
        options.cancel = &m_cancel;
        // Posted to the window's thread; those still queued when the window goes are dropped.
        options.onProgress = [this](const find::TSearchProgress &p) {
            QMetaObject::invokeMethod(
                this, [this, folders = p.folders, current = p.currentFolder, found = p.found] {
                    ShowProgress(folders, current, found);
                },
                Qt::QueuedConnection);
        };
        find::TSearchResult result = find::Search({m_folder}, options);
        m_result = std::move(result);
        QMetaObject::invokeMethod(this, [this] { Finished(); }, Qt::QueuedConnection);
    });
}

void TfrmDiskSearch::Finished()
{
    if (m_worker.joinable())
        m_worker.join();
    if (m_result.cancelled || m_cancel)
        QDialog::reject();
    else
        accept();
}

void TfrmDiskSearch::reject()
{
    Stop();
    m_result = {};
    QDialog::reject();
}

QString PackageOfNode(const TFolderTree &tree, const QTreeWidgetItem *node)
{
    // Packages are the only nodes that stand for a file.
    if (!node || !node->parent())
        return {};
    const QString path = tree.FolderOf(node);
    return QFileInfo(path).isFile() ? path : QString();
}

namespace {
QString Relative(const QString &base, const QString &path)
{
    const QString relative = QDir(base).relativeFilePath(path);
    return relative.isEmpty() || relative == QStringLiteral(".") ? QFileInfo(path).fileName() : relative;
}

TFolderNode PlaceNode(const find::TFoundPlace &place, const QString &base, const TScanOptions &scan)
{
    const int icon = place.kind == find::TPlaceKind::MessengerUser || place.kind == find::TPlaceKind::ObjectStoreAccount
        ? iconMessengerUser : iconFolder;
    TFolderNode node{Relative(base, place.path), icon, place.path, {}, place.path};
    if (place.kind != find::TPlaceKind::MasterKeys)
        ScanFolders(node.children, 2, place.path, scan);
    return node;
}
} // namespace

void SearchDiskOrFolder(TFolderTree &tree, bool hideEmpty, QWidget *parent)
{
    TFolderTree::TCommand command(tree);
    if (!command)
        return;
    const QString chosen = DialogService::Get().BrowseForFolder(StripAmpersands(Lang("SearchDiskPrompt")), QString());
    if (chosen.isEmpty())
        return;
    TfrmDiskSearch window(chosen, parent);
    if (DialogService::Get().ShowModal(&window) != QDialog::Accepted)
        return;
    const find::TFoundGroups groups = find::GroupFoundPlaces(window.Result().found);
    if (groups.profiles.empty() && groups.packages.empty()) {
        LangMessageDlg(FormatText(Lang("SearchDiskNothing"), {chosen}), TMsgDlgType::mtInformation, mbOK);
        return;
    }
    for (const find::TFoundPlace &keys : groups.masterKeys)
        RememberProtectDir(find::WindowsProfileOf(keys.path), QFileInfo(keys.path).absolutePath());
    if (LangMessageDlg(Lang("ClearFolderListConfirmation"), TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes)
        tree.Clear();

    const TScanOptions scan = TScanOptions::From(Settings(), hideEmpty);
    TFolderForest forest;
    for (const find::TProfileGroup &group : groups.profiles) {
        if (group.profile.isEmpty()) {
            for (const find::TFoundPlace &place : group.places)
                forest.push_back(PlaceNode(place, QFileInfo(place.path).absolutePath(), scan));
            continue;
        }
        TFolderNode profile{QFileInfo(group.profile).fileName(), iconWindowsUser, group.profile, {}, group.profile};
        for (const find::TFoundPlace &place : group.places)
            profile.children.push_back(PlaceNode(place, group.profile, scan));
        forest.push_back(std::move(profile));
    }
    if (!groups.packages.empty()) {
        TFolderNode packages{Lang("FoundPackages"), iconFolder, chosen, {}, {}};
        for (const find::TFoundPlace &package : groups.packages)
            packages.children.push_back({QFileInfo(package.path).fileName(), iconNone, package.path, {}, package.path});
        forest.push_back(std::move(packages));
    }
    tree.AddForest(nullptr, forest);
    tree.ExpandAndSelectFirst();
}

} // namespace zorvak
