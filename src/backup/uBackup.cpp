#include "backup/uBackup.h"
#include "browse/FolderChoice.h"

#include "dpapi/DpapiKeyMaterial.h"
#include "backup/uSelectFiles.h"
#include "common/EmailId.h"
#include "browse/FolderScan.h"
#include "browse/ui/FolderTree.h"
#include "browse/ui/uMainBrowse.h"
#include "common/Exceptions.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "shell/Controls.h"
#include "shell/unitCustomDlg.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zorvak {

TfrmBackup::TfrmBackup(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("TfrmBackup"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    auto *form = new QGridLayout;
    int r = 0;
    CreateCredentialControls(this, form, r, {});
    gbItems = NewNamed<QGroupBox>("gbItems", this);
    auto *items = new QGridLayout(gbItems);
    // One box a content type, in the order of ContentType (TypeBoxes), two a row.
    const std::array<QCheckBox **, 6> typeBoxes{&chEmot, &chDp, &chBg, &chWink, &chDdp, &chDbg};
    static constexpr std::array<const char *, 6> typeBoxNames{"chEmot", "chDp", "chBg", "chWink", "chDdp", "chDbg"};
    for (size_t i = 0; i < typeBoxes.size(); ++i) {
        *typeBoxes[i] = NewNamed<QCheckBox>(typeBoxNames[i], gbItems);
        items->addWidget(*typeBoxes[i], int(i / 2), int(i % 2));
    }
    labelOutput = NewNamed<QLabel>("labelOutput", this);
    edOutput = NewNamed<QLineEdit>("edOutput", this);
    btBrowseSave = NewNamed<QPushButton>("btBrowseSave", this);
    btBrowseSave->setIcon(ThemedIcon("document-save", "save"));
    chConfirm = NewNamed<QCheckBox>("chConfirm", this);
    chConfirm->setChecked(true);
    chSkipDefault = NewNamed<QCheckBox>("chSkipDefault", this);
    chSkipDefault->setChecked(true);
    btStart = NewNamed<QPushButton>("btStart", this);
    QFont bold = btStart->font();
    bold.setBold(true);
    btStart->setFont(bold);
    btCancel = NewNamed<QPushButton>("btCancel", this);
    btCancel->hide();
    btClose = NewNamed<QPushButton>("btClose", this);
    memDecrypted = NewNamed<QPlainTextEdit>("memDecrypted", this);
    memDecrypted->setReadOnly(true);
    memDecrypted->setTabStopDistance(memDecrypted->fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 4);
    memDecrypted->hide();

    form->addWidget(gbItems, r++, 0, 1, 3);
    form->addWidget(labelOutput, r++, 0, 1, 3);
    form->addWidget(edOutput, r, 0, 1, 2);
    form->addWidget(btBrowseSave, r++, 2, Qt::AlignLeft);
    form->addWidget(chConfirm, r++, 0, 1, 3);
    form->addWidget(chSkipDefault, r++, 0, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btStart);
    buttons->addWidget(btCancel);
    buttons->addStretch();
    buttons->addWidget(btClose);
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(form);
    outer->addLayout(buttons);
    outer->addWidget(memDecrypted, 1);

    // FormCreate
    edOutput->setText(UniqueOutputName(Platform::Get().UserOutputDir() + QStringLiteral("Backup.mco")));
    RefreshCaptions();
    OutputChosen = false;

    connect(btBrowseSave, &QPushButton::clicked, this, [this] { btBrowseSaveClick(); });
    connect(btClose, &QPushButton::clicked, this, [this] { btCloseClick(); });
    connect(btCancel, &QPushButton::clicked, this, [this] { btCancelClick(); });
    connect(btStart, &QPushButton::clicked, this, [this] {
        try {
            btStartClick();
        } catch (const std::exception &e) {
            ShowException(e);
        }
    });
    memDecrypted->installEventFilter(this);
    SetMainButton(this, btStart);
    FitWindowWidth(this, {edOutput});
}

void TfrmBackup::SetFolder(const QString &path)
{
    const TFolderChoice choice = FillCredentialControls(path);
    const std::array<QCheckBox *, 6> boxes = TypeBoxes();
    for (size_t i = 0; i < boxes.size(); ++i)
        if (choice.ticked[i])
            boxes[i]->setChecked(true);
    // An ObjectStore account is known by its address and has no protected map: no Windows secret
    // is asked for.
    StoreFolder = choice.store;
    if (StoreFolder)
        edProtectDir->clear();
    EnableSecrets(!StoreFolder);
    RefreshCaptions();
    FitWindowWidth(this, {edOutput});
}

void TfrmBackup::RefreshCaptions()
{
    setWindowTitle(Lang("tiBackup"));
    CaptionCredentialControls();
    // An ObjectStore account's items come named by position: the note tells why, under the address.
    PlaceNoteUnderAddress(StoreFolder);
    if (StoreFolder) {
        lbDecryptIns->setText(Lang("StoreNamesNotRead"));
        browse::SetHint(lbDecryptIns, QString());
    }
    gbItems->setTitle(Lang("SelectItems"));
    const std::array<QCheckBox *, 6> boxes = TypeBoxes();
    for (const ContentTypeInfo &info : ContentTypes)
        boxes[size_t(info.type)]->setText(Lang(info.code));
    labelOutput->setText(Lang("OutputCab"));
    labelOutput->setBuddy(edOutput);
    SetAccessible(btBrowseSave, Lang("BrowseFile"), StripAmpersands(Lang("OutputCab")));
    chConfirm->setText(Lang("chConfirm"));
    chSkipDefault->setText(Lang("SkipDefault"));
    chSkipDefault->setToolTip(Lang("SkipDefaultHint"));
    btStart->setText(Lang("btBackup"));
    btCancel->setText(Lang("mbCancel"));
    btClose->setText(Lang("Close"));
}

void TfrmBackup::btBrowseSaveClick()
{
    QString start = edOutput->text();
    while (!start.isEmpty() && !QFileInfo(start).isDir()) {
        const qsizetype cut = start.lastIndexOf(QLatin1Char('/'));
        start = cut < 0 ? QString() : start.left(cut);
    }
    const QString proposal = WithSeparator(start.isEmpty() ? QStringLiteral(".") : start)
                             + QFileInfo(edOutput->text()).fileName();
    const QString chosen = DialogService::Get().GetSaveFileName(
        StripAmpersands(Lang("OutputCab")), proposal, QStringLiteral("MCO file (*.mco);;CAB file (*.cab)"), nullptr);
    if (chosen.isEmpty())
        return;
    QString out = chosen;
    const QString tail = out.right(4).toLower();
    if (tail != QLatin1String(".mco") && tail != QLatin1String(".cab")) {
        out += QStringLiteral(".mco");
        // The save dialog asked about the name as typed; the completed name is asked about here.
        if (QFileInfo::exists(out)
            && LangMessageDlg(FormatText(Lang("Overwrite"), {out}), TMsgDlgType::mtConfirmation, mbYes | mbCancel)
                   != mrYes)
            return;
    }
    edOutput->setText(out);
    OutputChosen = true;
}

void TfrmBackup::btCloseClick() { close(); }

void TfrmBackup::closeEvent(QCloseEvent *event)
{
    if (Core.Running()) {
        m_cancelAsked = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
void TfrmBackup::btCancelClick() { m_cancelAsked = true; }

void TfrmBackup::reject()
{
    if (Core.Running()) {
        m_cancelAsked = true;
        return;
    }
    QDialog::reject();
}

TBackupRequest TfrmBackup::MakeRequest(bool altHeld) const
{
    TBackupRequest request;
    request.folder = edDir->text();
    request.email = edEmail->text();
    request.output = edOutput->text();
    const std::array<QCheckBox *, 6> boxes = TypeBoxes();
    for (size_t i = 0; i < boxes.size(); ++i)
        request.types[i] = boxes[i]->isChecked();
    request.confirm = chConfirm->isChecked();
    request.skipDefault = chSkipDefault->isChecked();
    request.outputChosen = OutputChosen;
    request.showDecrypted = altHeld || !memDecrypted->isHidden();
    if (!StoreFolder)
        request.key = Key();
    return request;
}

void TfrmBackup::btStartClick()
{
    btStartMouseUp(Platform::Get().AltHeld() ? Qt::AltModifier : Qt::NoModifier);
}

void TfrmBackup::btStartMouseUp(Qt::KeyboardModifiers shift)
{
    if (Core.Running())
        return;
    const bool alt = shift.testFlag(Qt::AltModifier);
    if (alt)
        memDecrypted->show();
    const TBackupRequest request = MakeRequest(alt);
    struct Sync {
        TfrmBackup *w;
        ~Sync()
        {
            // The run completes the folder with a separator; a choice from the save dialog
            // counts for one run that got past the question about an existing output.
            w->edDir->setText(w->Core.Request.folder);
            if (w->Core.Result().outputChecked)
                w->OutputChosen = false;
        }
    } sync{this};
    Core.Run(request);
    KeepEmailForSession();
}

void TfrmBackup::RunStateChanged(bool running)
{
    if (running)
        m_cancelAsked = false;
    btCancel->setVisible(running);
}

void TfrmBackup::Progress(TBackupStage stage, int, int, const QString &name)
{
    switch (stage) {
    case TBackupStage::Collecting: ShowStatusHint(FormatText(Lang("Retrieving"), {name}), -1, -1, 0); break;
    case TBackupStage::Packing: ShowStatusHint(Lang("GeneratingCab"), -1, -1, 0); break;
    case TBackupStage::Idle: HideStatusHint(); break;
    }
}

bool TfrmBackup::Poll()
{
    QCoreApplication::processEvents();
    return m_cancelAsked;
}

// The map text exactly as decrypted (TABs included, so that a copy of it is the real map).
void TfrmBackup::DecryptedText(const QString &text) { memDecrypted->setPlainText(text); }

std::optional<int> TfrmBackup::ConfirmItems(ContentType, const QString &displayName, const TMsnArr &items,
                                            const TDefaultTable &defaults, int previousTotal)
{
    TfrmSelectFiles dialog(this);
    dialog.LoadItems(displayName, items, defaults, previousTotal);
    // The grid ends with -1 (Cancel) or its row count, which counts the heading row.
    const int result = DialogService::Get().ShowModal(&dialog);
    if (result == -1)
        return std::nullopt;
    return result - 1;
}

bool TfrmBackup::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == memDecrypted && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_A && key->modifiers() == Qt::ControlModifier) {
            memDecrypted->selectAll();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ShowBackupDialog(QWidget *owner, TFolderTree &tree)
{
    QTreeWidget *tvDir = tree.tvDir;
    QTreeWidgetItem *node = tvDir->currentItem();
    if (!node) {
        PlainMessageBox(Lang("MustSelectFolder"));
        return;
    }
    QString text = node->text(0);
    if (!IsAllDigits(text) && node->parent())
        text = node->parent()->text(0);
    // An ObjectStore account is named by its address; ChooseFolder knows it by its folders.
    const bool store = ChooseFolder(tree.FolderMap.GetValue(QString::number(browse::AbsoluteIndex(tvDir, node)))).store;
    if (!IsAllDigits(text) && !store) {
        PlainMessageBox(FormatText(Lang("SelectFolder4backup"), {node->text(0)}));
        return;
    }
    TfrmBackup dialog(owner);
    dialog.SetFolder(tree.FolderOf(node));
    DialogService::Get().ShowModal(&dialog);
}

} // namespace zorvak
