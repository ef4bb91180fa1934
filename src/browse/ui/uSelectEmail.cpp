#include "browse/ui/uSelectEmail.h"

#include "common/EmailId.h"
#include "browse/ui/FolderTree.h"
#include "shell/Controls.h"
#include "shell/DialogService.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "shell/unitCustomDlg.h"
#include "common/unitString.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zorvak {

TfrmSelectEmail::TfrmSelectEmail(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmSelectEmail"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowTitleHint);
    resize(434, 177);
    QPalette pal = palette();
    if (!IsDarkPalette(pal)) {
        pal.setColor(QPalette::Window, QColor(241, 241, 239));
        setPalette(pal);
    }

    auto *layout = new QVBoxLayout(this);
    lbPleaseEnterEmail = NewNamed<QLabel>("lbPleaseEnterEmail", this);
    lbPleaseEnterEmail->setWordWrap(true);
    layout->addWidget(lbPleaseEnterEmail);
    cbEmail = NewNamed<QComboBox>("cbEmail", this);
    cbEmail->setEditable(true);
    cbEmail->setInsertPolicy(QComboBox::NoInsert);
    layout->addWidget(cbEmail);
    auto *idRow = new QHBoxLayout;
    labelId = new QLabel(QStringLiteral("ID = "), this);
    lbId = NewNamed<QLabel>("lbId", this);
    lbId->setTextInteractionFlags(Qt::TextSelectableByMouse);
    idRow->addWidget(labelId);
    idRow->addWidget(lbId, 1);
    layout->addLayout(idRow);
    labelOkToSelect = NewNamed<QLabel>("labelOkToSelect", this);
    layout->addWidget(labelOkToSelect);
    auto *buttons = new QHBoxLayout;
    btOk = NewNamed<QPushButton>("btOk", this);
    btClose = NewNamed<QPushButton>("btClose", this);
    buttons->addStretch();
    buttons->addWidget(btOk);
    buttons->addWidget(btClose);
    layout->addLayout(buttons);

    // The addresses remembered from earlier lookups, sorted, without repeats
    lbId->clear();
    QStringList known;
    const THash &emails = EmailById();
    for (int i = 0; i < emails.Count(); ++i) {
        const QString address = emails.GetValue(emails.KeyAt(i));
        if (!address.isEmpty() && !known.contains(address))
            known.append(address);
    }
    known.sort(Qt::CaseInsensitive);
    cbEmail->addItems(known);
    // The known addresses are offered in the list; none of them is taken for the user.
    cbEmail->setCurrentIndex(-1);
    cbEmail->setEditText(QString());
    if (known.isEmpty()) {
        cbEmail->setEditText(QLatin1Char('@') + QLatin1String(DefaultMailDomain));
        cbEmail->lineEdit()->selectAll();
    }
    RefreshCaptions();

    connect(cbEmail, &QComboBox::editTextChanged, this, [this] { cbEmailChange(); });
    connect(btOk, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(btClose, &QPushButton::clicked, this, [this] { done(mrCancel); });
    SetMainButton(this, btOk);
    cbEmail->installEventFilter(this);
    cbEmail->lineEdit()->installEventFilter(this);
}

void TfrmSelectEmail::RefreshCaptions()
{
    const TLanguage &L = CurrentLanguage();
    setWindowTitle(L.Get(QStringLiteral("tiCalcId")));
    lbPleaseEnterEmail->setText(L.Get(QStringLiteral("PleaseEnterEmail")));
    labelOkToSelect->setText(L.Get(QStringLiteral("OkToSelect")));
    btOk->setText(L.Get(QStringLiteral("mbOK")));
    btClose->setText(L.Get(QStringLiteral("Close")));
}

void TfrmSelectEmail::cbEmailChange()
{
    // An empty combo box shows its current text; the edit text is what counts.
    lbId->setText(EmailToId(cbEmail->currentText()));
}

void TfrmSelectEmail::cbEmailExit()
{
    const QString text = cbEmail->currentText();
    if (!text.contains(QLatin1Char('@')))
        cbEmail->setEditText(text + QLatin1Char('@') + QLatin1String(DefaultMailDomain));
}

void TfrmSelectEmail::done(int result)
{
    // Leaving the combo box completes the address before the caller reads it.
    // The dialog's focus child, not hasFocus(): the window may not be the active one yet. Before
    // its first activation it has no focus child at all, and the box, first in the tab order, is
    // where typing goes.
    const QWidget *focused = focusWidget();
    if (!focused || focused == cbEmail || focused == cbEmail->lineEdit() || !isVisible())
        cbEmailExit();
    btOk->setFocus();
    QDialog::done(result);
}

bool TfrmSelectEmail::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cbEmail || watched == cbEmail->lineEdit()) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                btOk->click();
                return true;
            }
            if (key == Qt::Key_Escape) {
                btClose->click();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut && watched == cbEmail->lineEdit()
                   && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
            // Dropping the list down does not leave the combo box.
            cbEmailExit();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmSelectEmail::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (cbEmail->count() > 0)
        QTimer::singleShot(0, this, [this] {
            if (isVisible() && cbEmail->count() > 0)
                cbEmail->showPopup();
        });
}

void SelectFolderOfAddress(TFolderTree &tree, QWidget *owner)
{
    TfrmSelectEmail dialog(owner);
    if (DialogService::Get().ShowModal(&dialog) != mrOk)
        return;
    const QString address = dialog.cbEmail->currentText();
    const QString id = EmailToId(address);
    QTreeWidgetItem *found = tree.FindCaption(id);
    // The later Messenger versions name an account's folder by its address instead.
    const int count = browse::NodeCount(tree.View());
    for (int i = 0; i < count && !found; ++i) {
        QTreeWidgetItem *node = browse::NodeAt(tree.View(), i);
        if (node && node->data(0, Qt::UserRole).toInt() == iconMessengerUser
            && node->text(0).compare(address, Qt::CaseInsensitive) == 0)
            found = node;
    }
    if (!found) {
        PlainMessageBox(FormatText(CurrentLanguage().Get(QStringLiteral("IdNotFound")), {id}));
        return;
    }
    try {
        RememberEmail(address);
    } catch (...) {
    }
    tree.View()->setCurrentItem(found);
    tree.View()->setFocus();
}

} // namespace zorvak
