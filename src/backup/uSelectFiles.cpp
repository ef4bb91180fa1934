#include "backup/uSelectFiles.h"

#include "backup/uDuplicateKey.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/Controls.h"
#include "shell/ReadableText.h"
#include "shell/uLanguage.h"
#include "shell/unitCustomDlg.h"

#include <QDir>
#include <QFile>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cerrno>
#include <cstring>

namespace zorvak {

namespace {

QString SizeText(const QString &path)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale.toString(QFileInfo(path).size());
}

// Moves a file; on failure the system's text for the reason.
bool MoveFile(const QString &from, const QString &to, QString *reason)
{
    if (QFile::exists(to)) {
        *reason = QString::fromLocal8Bit(std::strerror(EEXIST));
        return false;
    }
    QFile file(from);
    if (file.rename(to))
        return true;
    *reason = file.errorString();
    return false;
}
} // namespace

TfrmSelectFiles::TfrmSelectFiles(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("TfrmSelectFiles"));
    // The title bar's close button is greyed (DisableCloseButton).
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    lbIns = NewNamed<QLabel>("lbIns", this);
    lbIns->setWordWrap(true);
    KeepTextReadable(lbIns, QColor(0, 128, 128)); // teal

    sgrid = NewNamed<QTableWidget>("sgrid", 0, 4, this);
    sgrid->verticalHeader()->hide();
    sgrid->verticalHeader()->setDefaultSectionSize(20);
    sgrid->setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the grid; arrows move between cells, F2 (or typing) edits one.
    sgrid->setTabKeyNavigation(false);
    sgrid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                           | QAbstractItemView::AnyKeyPressed);

    labelPreview = NewNamed<QLabel>("labelPreview", this);
    labelPreview->setAlignment(Qt::AlignCenter);
    Image1 = NewNamed<QLabel>("Image1", this);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setMinimumSize(120, 120);
    btRemove = NewNamed<QPushButton>("btRemove", this);
    btDuplicate = NewNamed<QPushButton>("btDuplicate", this);
    btContinue = NewNamed<QPushButton>("btContinue", this);
    QFont bold = btContinue->font();
    bold.setBold(true);
    btContinue->setFont(bold);
    btCancel = NewNamed<QPushButton>("btCancel", this);
    labelTotal = NewNamed<QLabel>("labelTotal", this);
    lbTot = NewNamed<QLabel>("lbTot", this);
    labelTotalContent = NewNamed<QLabel>("labelTotalContent", this);
    lbTotContent = NewNamed<QLabel>("lbTotContent", this);

    panBin = NewNamed<QWidget>("panBin", this);
    labelRemoved = NewNamed<QLabel>("labelRemoved", panBin);
    lbDeleted = NewNamed<QListWidget>("lbDeleted", panBin);
    btRestore = NewNamed<QPushButton>("btRestore", panBin);
    imgDeleted = NewNamed<QLabel>("imgDeleted", panBin);
    imgDeleted->setAlignment(Qt::AlignCenter);
    imgDeleted->setMinimumSize(64, 64);
    auto *bin = new QHBoxLayout(panBin);
    auto *binLeft = new QVBoxLayout;
    binLeft->addWidget(labelRemoved);
    binLeft->addWidget(lbDeleted);
    bin->addLayout(binLeft, 1);
    bin->addWidget(btRestore);
    bin->addWidget(imgDeleted);

    auto *side = new QVBoxLayout;
    side->addWidget(labelPreview);
    side->addWidget(Image1, 1);
    side->addWidget(btRemove);
    side->addWidget(btDuplicate);
    auto *totals = new QGridLayout;
    totals->addWidget(labelTotal, 0, 0);
    totals->addWidget(lbTot, 0, 1);
    totals->addWidget(labelTotalContent, 1, 0);
    totals->addWidget(lbTotContent, 1, 1);
    side->addLayout(totals);
    side->addWidget(btContinue);
    side->addWidget(btCancel);
    auto *middle = new QHBoxLayout;
    middle->addWidget(sgrid, 1);
    middle->addLayout(side);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(lbIns);
    outer->addLayout(middle, 1);
    outer->addWidget(panBin);
    resize(520, 420);

    // FormCreate
    const QString app = Platform::Get().AppDir();
    TmpDir = app + QStringLiteral("~tmp/");
    DeletedDir = app + QStringLiteral("~tmpDeleted/");
    QDir(DeletedDir).removeRecursively();
    QDir().mkpath(DeletedDir);
    RefreshCaptions();
    panBin->hide();

    connect(sgrid, &QTableWidget::currentCellChanged, this, [this] { sgridClick(); });
    connect(sgrid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (!m_filling)
            ColourRow(item->row() + 1);
    });
    connect(btRemove, &QPushButton::clicked, this, &TfrmSelectFiles::btRemoveClick);
    connect(btRestore, &QPushButton::clicked, this, &TfrmSelectFiles::btRestoreClick);
    connect(lbDeleted, &QListWidget::currentRowChanged, this, [this] { lbDeletedClick(); });
    connect(btDuplicate, &QPushButton::clicked, this, &TfrmSelectFiles::btDuplicateClick);
    connect(btContinue, &QPushButton::clicked, this, &TfrmSelectFiles::btContinueClick);
    connect(btCancel, &QPushButton::clicked, this, &TfrmSelectFiles::btCancelClick);
    // Delete on the grid removes the current file (as Alt+R does anywhere); Return continues.
    auto *remove = new QShortcut(QKeySequence(QKeySequence::Delete), sgrid);
    remove->setContext(Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, &TfrmSelectFiles::btRemoveClick);
    SetMainButton(this, btContinue);
}

TfrmSelectFiles::~TfrmSelectFiles()
{
    try {
        QDir(DeletedDir).removeRecursively();
    } catch (...) {
    }
}

void TfrmSelectFiles::RefreshCaptions()
{
    lbIns->setText(Lang("ConfirmIns").replace(QLatin1Char('\r'), QLatin1Char('\n')));
    labelPreview->setText(Lang("Preview"));
    btRemove->setText(Lang("Remove"));
    btDuplicate->setText(Lang("btChkDupl"));
    btContinue->setText(Lang("Continue"));
    btContinue->setToolTip(Lang("ContHint"));
    btCancel->setText(Lang("mbCancel"));
    labelTotalContent->setText(WithColon(Lang("TotalContent")));
    labelRemoved->setText(WithColon(Lang("Removed")));
    btRestore->setText(Lang("btRestore"));
    sgrid->setHorizontalHeaderLabels({Lang("Filename"), Lang("KeySequence"), Lang("Name"), Lang("FSizeB")});
    FitColumns();
}

void TfrmSelectFiles::FitColumns()
{
    // The design's widths, or the heading's in the language and font in use when it is wider.
    static constexpr int kWidths[] = {79, 45, 100, 70};
    for (int column = 0; column < 4; ++column)
        sgrid->setColumnWidth(column, std::max(kWidths[column], sgrid->horizontalHeader()->sectionSizeHint(column)));
}

void TfrmSelectFiles::LoadItems(const QString &displayName, const TMsnArr &items, const TDefaultTable &defaults,
                                int previousTotal)
{
    FitColumns();
    if (displayName == Lang("Emot")) {
        sgrid->setColumnHidden(1, false);
        DefaultShortcuts();
    } else {
        sgrid->setColumnHidden(1, true);
        btDuplicate->setEnabled(false);
    }
    if (displayName == Lang("Wink") || displayName == Lang("Ddp"))
        EditableCols.clear();
    else
        EditableCols = {1, 2};
    PreviousTotal = previousTotal;
    setWindowTitle(displayName.isEmpty() ? Lang("tiConfirm") : WithColon(Lang("tiConfirm")) + QLatin1Char(' ') + displayName);
    labelTotal->setText(WithColon(displayName));
    Items = items;
    Defaults = defaults;
    FillGrid();
}

int TfrmSelectFiles::RowCount() const { return sgrid->rowCount() + 1; }
bool TfrmSelectFiles::ColumnVisible(int col) const { return !sgrid->isColumnHidden(col); }

QString TfrmSelectFiles::Cell(int col, int row) const
{
    const QTableWidgetItem *item = sgrid->item(row - 1, col);
    return item ? item->text() : QString();
}

void TfrmSelectFiles::SetCell(int col, int row, const QString &text)
{
    QTableWidgetItem *item = sgrid->item(row - 1, col);
    if (!item) {
        item = new QTableWidgetItem;
        sgrid->setItem(row - 1, col, item);
    }
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (EditableCols.contains(col))
        flags |= Qt::ItemIsEditable;
    item->setFlags(flags);
    if (col == 3)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    item->setText(text);
}

void TfrmSelectFiles::AddRow(const QString &file, const TMsnStuff *item)
{
    m_filling = true;
    const int row = sgrid->rowCount() + 1;
    sgrid->setRowCount(row);
    SetCell(0, row, file);
    SetCell(1, row, item && ColumnVisible(1) ? UnescapeXml(item->Key) : QString());
    SetCell(2, row, item && ColumnVisible(2) ? UnescapeXml(item->Name) : QString());
    SetCell(3, row, SizeText(TmpDir + file));
    m_filling = false;
    ColourRow(row);
}

void TfrmSelectFiles::FillGrid()
{
    sgrid->setRowCount(0);
    for (const TMsnStuff &item : *Items)
        if (!item.Location.isEmpty() && QFileInfo(TmpDir + item.Location).isFile())
            AddRow(item.Location, &item);
    UpdateTotals();
}

// Default content is drawn in green (the selection colours still win for the selected row).
void TfrmSelectFiles::ColourRow(int row)
{
    if (Defaults.isEmpty() || row < 1 || row >= RowCount())
        return;
    bool isDefault = false;
    try {
        isDefault = IsDefaultContent(Cell(2, row), StrToInt(DigitsOnly(Cell(3, row))), Defaults);
    } catch (...) {
    }
    m_filling = true;
    for (int col = 0; col < 4; ++col)
        if (QTableWidgetItem *item = sgrid->item(row - 1, col))
            item->setForeground(isDefault ? QBrush(ReadableColour(sgrid->palette(), QColor(0, 128, 0), QPalette::Base))
                                          : QBrush());
    m_filling = false;
}

void TfrmSelectFiles::UpdateTotals()
{
    lbTot->setText(QString::number(RowCount() - 1));
    lbTotContent->setText(QString::number(RowCount() - 1 + PreviousTotal));
}

void TfrmSelectFiles::DeleteRow(int row) { sgrid->removeRow(row - 1); }

void TfrmSelectFiles::sgridClick()
{
    const int row = sgrid->currentRow() + 1;
    if (row >= 1)
        PreviewInto(TmpDir + Cell(0, row), Image1);
}

int TfrmSelectFiles::Message(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons)
{
    QStringList captions;
    for (const ButtonKind &b : ButtonKinds)
        if (buttons & b.button)
            captions << QString::fromLatin1(b.standardCaption);
    return DialogService::Get().MessageDlg(QGuiApplication::applicationDisplayName(), text, type, buttons, captions);
}

void TfrmSelectFiles::btRemoveClick()
{
    const int row = sgrid->currentRow() + 1;
    if (row < 1)
        return;
    const QString f = Cell(0, row);
    QString reason;
    if (MoveFile(TmpDir + f, DeletedDir + f, &reason)) {
        lbDeleted->insertItem(0, f);
        DeleteRow(row);
        if (panBin->isHidden()) {
            panBin->show();
            resize(width(), height() + panBin->sizeHint().height());
        }
        lbDeleted->setCurrentRow(0);
        lbDeletedClick();
    } else {
        Message(QStringLiteral("Error moving file ") + f + QStringLiteral(":\r") + reason, TMsgDlgType::mtError, mbOK);
    }
    UpdateTotals();
    sgridClick();
}

void TfrmSelectFiles::lbDeletedClick()
{
    if (QListWidgetItem *item = lbDeleted->currentItem())
        PreviewInto(DeletedDir + item->text(), imgDeleted);
}

void TfrmSelectFiles::btRestoreClick()
{
    QListWidgetItem *selected = lbDeleted->currentItem();
    if (!selected)
        return;
    const QString f = selected->text();
    QString reason;
    if (MoveFile(DeletedDir + f, TmpDir + f, &reason)) {
        const TMsnStuff *found = nullptr;
        for (const TMsnStuff &item : *Items)
            if (item.Location == f) {
                found = &item;
                break;
            }
        AddRow(f, found);
        sgrid->setCurrentCell(sgrid->rowCount() - 1, 0);
        delete lbDeleted->takeItem(lbDeleted->row(selected));
        imgDeleted->clear();
    } else {
        Message(QStringLiteral("Error moving file: ") + reason, TMsgDlgType::mtError, mbOK);
    }
    UpdateTotals();
}

bool TfrmSelectFiles::IsAltDown() { return Platform::Get().AltHeld(); }

bool TfrmSelectFiles::ValidateKeys()
{
    if (!ColumnVisible(1))
        return true;
    QList<TKeyRow> rows;
    for (int row = 1; row < RowCount(); ++row)
        rows.append({Cell(0, row), Cell(1, row), Cell(2, row)});
    return zorvak::ValidateKeys(rows, *this);
}

void TfrmSelectFiles::btDuplicateClick()
{
    if (ValidateKeys())
        Message(Lang("NoDupl"), TMsgDlgType::mtInformation, mbOK);
    sgrid->setFocus();
}

void TfrmSelectFiles::btContinueClick()
{
    if (!IsAltDown() && !ValidateKeys()) {
        sgrid->setFocus();
        return;
    }
    // Write back: the search starts where the previous row's item was found and wraps.
    const qsizetype count = Items->size();
    qsizetype start = 0;
    for (int row = 1; row < RowCount(); ++row) {
        const QString f = Cell(0, row);
        qsizetype found = -1;
        for (qsizetype k = 0; k < count; ++k) {
            const qsizetype i = (start + k) % count;
            if ((*Items)[i].Location == f) {
                found = i;
                break;
            }
        }
        if (found < 0) {
            Message(QStringLiteral("Unexpected error:\rThe filename \"") + f + QStringLiteral("\" not found in memory.\r")
                        + QStringLiteral("You may want to retry the backup later."),
                    TMsgDlgType::mtError, mbOK);
            continue;
        }
        start = found;
        TMsnStuff &item = (*Items)[found];
        if (ColumnVisible(2))
            item.Name = EscapeXml(Cell(2, row));
        if (ColumnVisible(1))
            item.Key = EscapeXml(Cell(1, row));
    }
    done(RowCount());
}

void TfrmSelectFiles::btCancelClick() { done(-1); }
void TfrmSelectFiles::reject() { btCancelClick(); }

void TfrmSelectFiles::done(int result)
{
    QDir(DeletedDir).removeRecursively(); // FormClose: the removed copies are gone for good
    QDialog::done(result);
}

void TfrmSelectFiles::ShowHint(const QString &text) { ShowStatusHint(text, -1, -1, 0); }
void TfrmSelectFiles::HideHint() { HideStatusHint(); }
void TfrmSelectFiles::FocusKeyCell(int row) { sgrid->setCurrentCell(row - 1, 1); }

int TfrmSelectFiles::Ask(int, const QString &text, TMsgDlgType type, TMsgDlgButtons buttons)
{
    return Message(text, type, buttons);
}

void TfrmSelectFiles::EditCell(int row)
{
    sgrid->setCurrentCell(row - 1, 1);
    if (QTableWidgetItem *item = sgrid->item(row - 1, 1))
        sgrid->editItem(item);
}

int TfrmSelectFiles::DuplicatePair(int row1, const TKeyRow &first, int row2, const TKeyRow &second)
{
    TfrmDuplicateKey dialog(this);
    dialog.AddEntry(row1, TmpDir + first.File, first.Name, first.Key);
    dialog.AddEntry(row2, TmpDir + second.File, second.Name, second.Key);
    return DialogService::Get().ShowModal(&dialog);
}

void TfrmSelectFiles::closeEvent(QCloseEvent *event) { event->ignore(); }

} // namespace zorvak
