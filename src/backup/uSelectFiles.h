#pragma once
// TfrmSelectFiles: the confirmation of one content type's collected objects before packing. One
// grid row per object whose copy is in "~tmp"; Remove moves the copy to "~tmpDeleted" (so the
// manifest writer no longer finds it) and Restore moves it back; shortcuts and names are edited
// in the grid and written back into the shared list on Continue.
#include "backup/KeyValidation.h"
#include "backup/MsnMap.h"

#include <QDialog>
#include <QSet>

class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;
class QWidget;

namespace zorvak {

class TfrmSelectFiles final : public QDialog, private TKeyValidationHost {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmSelectFiles)
public:
    explicit TfrmSelectFiles(QWidget *owner = nullptr);
    ~TfrmSelectFiles() override;

    void LoadItems(const QString &displayName, const TMsnArr &items, const TDefaultTable &defaults, int previousTotal);
    void FillGrid();
    void DeleteRow(int row);
    bool ValidateKeys();
    static bool IsAltDown();

    // Handlers.
    void sgridClick();
    void btRemoveClick();
    void btRestoreClick();
    void lbDeletedClick();
    void btDuplicateClick();
    void btContinueClick();
    void btCancelClick();

    // Rows as the grid counts them: the title row plus the data rows.
    int RowCount() const;
    QString Cell(int col, int row) const;   // row 1 = first data row
    void SetCell(int col, int row, const QString &text);
    bool ColumnVisible(int col) const;

    QLabel *lbIns = nullptr;
    QTableWidget *sgrid = nullptr;
    QLabel *labelPreview = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *btRemove = nullptr;
    QPushButton *btDuplicate = nullptr;
    QPushButton *btContinue = nullptr;
    QPushButton *btCancel = nullptr;
    QLabel *labelTotal = nullptr;
    QLabel *lbTot = nullptr;
    QLabel *labelTotalContent = nullptr;
    QLabel *lbTotContent = nullptr;
    QWidget *panBin = nullptr;
    QLabel *labelRemoved = nullptr;
    QListWidget *lbDeleted = nullptr;
    QPushButton *btRestore = nullptr;
    QLabel *imgDeleted = nullptr;

    QString TmpDir;
    QString DeletedDir;
    TMsnArr Items;
    TDefaultTable Defaults;
    QSet<int> EditableCols;
    qint32 PreviousTotal = 0;

protected:
    // The close button is greyed: the window closes through its buttons only.
    void closeEvent(QCloseEvent *event) override;

public slots:
    void done(int result) override;
    void reject() override; // Escape cancels like the Cancel button

private:
    void RefreshCaptions();
    void FitColumns();
    void UpdateTotals();
    void ColourRow(int row);
    void AddRow(const QString &file, const TMsnStuff *item);
    int Message(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons);
    // TKeyValidationHost
    void ShowHint(const QString &text) override;
    void HideHint() override;
    void FocusKeyCell(int row) override;
    int Ask(int row, const QString &text, TMsgDlgType type, TMsgDlgButtons buttons) override;
    void EditCell(int row) override;
    int DuplicatePair(int row1, const TKeyRow &first, int row2, const TKeyRow &second) override;
    bool m_filling = false;
};

} // namespace zorvak
