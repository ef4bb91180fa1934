#pragma once
// The search of a disk or folder from the window: the folder is chosen, a small modal window
// follows the walk (folders walked, the folder being listed, places found) and cancels it, and
// the places found are added to the folder list, grouped by the Windows profile they lie in,
// packages under a node of their own. The walk itself is find::Search, on a worker thread.
#include "find/DiskSearch.h"

#include <QDialog>
#include <atomic>
#include <thread>

class QLabel;
class QPushButton;
class QTreeWidgetItem;

namespace zorvak {

class TFolderTree;

class TfrmDiskSearch : public QDialog {
    Q_OBJECT
public:
    TfrmDiskSearch(const QString &folder, QWidget *parent = nullptr);
    ~TfrmDiskSearch() override;

    QLabel *lbFolders = nullptr;
    QLabel *lbCurrent = nullptr;
    QLabel *lbFound = nullptr;
    QPushButton *btCancel = nullptr;

    // The walk's result once the window closed with QDialog::Accepted.
    const find::TSearchResult &Result() const { return m_result; }
    // Cancel, Esc and closing the window: the walk is stopped (it stops within 100 ms) and
    // waited for, then the window closes with QDialog::Rejected.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Start();
    void Finished();
    void ShowProgress(qint64 folders, const QString &current, qint64 found);
    void Stop();

    QString m_folder;
    std::atomic<bool> m_cancel{false};
    std::thread m_worker;
    find::TSearchResult m_result;
};

// Tools → "Search a disk or folder": asks for the folder, runs the window, then adds what was
// found to the folder list (asking first, as "Manual" does, whether to clear the list) and
// remembers the master-key folders for the profiles they belong to.
void SearchDiskOrFolder(TFolderTree &tree, bool hideEmpty, QWidget *parent);
// The package a node of the "Packages" group stands for; empty for any other node.
QString PackageOfNode(const TFolderTree &tree, const QTreeWidgetItem *node);

} // namespace zorvak
