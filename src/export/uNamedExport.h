#pragma once
// TfrmNamedExport: the export with names of one Messenger user folder. The window collects the
// key material (e-mail address, the Windows account's password or hash, the master-key folder),
// the format and the output folder, runs the named export and tells what was written through the
// dialog service.
#include "backup/CredentialControls.h"
#include "export/NamedExport.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace zorvak {

class TFolderTree;

// The menu's export with names: its window on the user folder selected in `tree`, or the message
// saying why the selection is not one.
void ShowNamedExportDialog(QWidget *owner, TFolderTree &tree);

class TfrmNamedExport final : public QDialog, public TCredentialControls {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmNamedExport)
public:
    explicit TfrmNamedExport(QWidget *owner = nullptr);

    // The user folder (a folder ID, or a content folder of one).
    void SetFolder(const QString &path);
    void RefreshCaptions();

    // Handlers.
    void btBrowseOutputClick();
    // Runs the export; errors (a wrong password, a refused output folder) are shown, not raised.
    void btExportClick();

    // What the controls ask for.
    named::TNamedExportRequest MakeRequest() const;
    // The text shown once an export has run.
    static QString ResultText(const named::TNamedExportResult &result);

    // The user folder, address, Windows account and master-key folder: TCredentialControls, without
    // the ID row. An empty address means no decryption: objects keep their file names.
    QLabel *labelFormat = nullptr;
    QComboBox *cbFormat = nullptr;      // in the order of TNamedFormat
    QLabel *labelOutput = nullptr;
    QLineEdit *edOutput = nullptr;
    QPushButton *btBrowseOutput = nullptr;
    QCheckBox *chIncludeDefault = nullptr;
    QPushButton *btExport = nullptr;
    QPushButton *btClose = nullptr;

    // The result of the last export that ran.
    std::optional<named::TNamedExportResult> LastResult;
};

} // namespace zorvak
