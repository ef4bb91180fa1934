#include "export/uNamedExport.h"

#include "backup/BackupCore.h"
#include "backup/DpapiKeyMaterial.h"
#include "browse/FolderScan.h"
#include "browse/uMainBrowse.h"
#include "common/Exceptions.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/DialogService.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "shell/uMain.h"
#include "shell/unitCustomDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zorvak {

TfrmNamedExport::TfrmNamedExport(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmNamedExport"));
    auto label = [this](QLabel *&l, const char *name) {
        l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
    };
    auto edit = [this](QLineEdit *&e, const char *name) {
        e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
    };
    auto button = [this](QPushButton *&b, const char *name) {
        b = new QPushButton(this);
        b->setObjectName(QString::fromLatin1(name));
    };
    auto check = [this](QCheckBox *&c, const char *name) {
        c = new QCheckBox(this);
        c->setObjectName(QString::fromLatin1(name));
    };
    label(labelDir, "labelDir");
    edit(edDir, "edDir");
    edDir->setEnabled(false);
    label(labelEmail, "labelEmail");
    edit(edEmail, "edEmail");
    label(labelPassword, "labelPassword");
    edit(edPassword, "edPassword");
    edPassword->setEchoMode(QLineEdit::Password);
    check(chHash, "chHash");
    label(labelProtectDir, "labelProtectDir");
    edit(edProtectDir, "edProtectDir");
    button(btBrowseProtect, "btBrowseProtect");
    btBrowseProtect->setText(QStringLiteral("..."));
    label(labelFormat, "labelFormat");
    cbFormat = new QComboBox(this);
    cbFormat->setObjectName(QStringLiteral("cbFormat"));
    label(labelOutput, "labelOutput");
    edit(edOutput, "edOutput");
    button(btBrowseOutput, "btBrowseOutput");
    btBrowseOutput->setText(QStringLiteral("..."));
    check(chIncludeDefault, "chIncludeDefault");
    button(btExport, "btExport");
    btExport->setDefault(true);
    button(btClose, "btClose");

    auto *form = new QGridLayout;
    int r = 0;
    form->addWidget(labelDir, r++, 0, 1, 3);
    form->addWidget(edDir, r++, 0, 1, 3);
    form->addWidget(labelEmail, r++, 0, 1, 3);
    form->addWidget(edEmail, r++, 0, 1, 3);
    form->addWidget(labelPassword, r++, 0, 1, 3);
    form->addWidget(edPassword, r, 0, 1, 2);
    form->addWidget(chHash, r++, 2);
    form->addWidget(labelProtectDir, r++, 0, 1, 3);
    form->addWidget(edProtectDir, r, 0, 1, 2);
    form->addWidget(btBrowseProtect, r++, 2, Qt::AlignLeft);
    form->addWidget(labelFormat, r++, 0, 1, 3);
    form->addWidget(cbFormat, r++, 0, 1, 3);
    form->addWidget(labelOutput, r++, 0, 1, 3);
    form->addWidget(edOutput, r, 0, 1, 2);
    form->addWidget(btBrowseOutput, r++, 2, Qt::AlignLeft);
    form->addWidget(chIncludeDefault, r++, 0, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btExport);
    buttons->addStretch();
    buttons->addWidget(btClose);
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(form);
    outer->addLayout(buttons);

    RefreshCaptions();
    connect(btBrowseOutput, &QPushButton::clicked, this, [this] { btBrowseOutputClick(); });
    connect(btBrowseProtect, &QPushButton::clicked, this, [this] { btBrowseProtectClick(); });
    connect(btExport, &QPushButton::clicked, this, [this] { btExportClick(); });
    connect(btClose, &QPushButton::clicked, this, [this] { close(); });
}

TfrmNamedExport::~TfrmNamedExport()
{
    // The password and the master keys opened with it are forgotten with the window.
    try {
        edPassword->clear();
        ForgetOpenedMasterKeys();
    } catch (...) {
    }
}

void TfrmNamedExport::RefreshCaptions()
{
    setWindowTitle(StripAmpersands(Lang("ExportNamed")));
    labelDir->setText(Lang("DirOfId"));
    labelEmail->setText(Lang("Email4decrypting"));
    labelPassword->setText(Lang("WinPassword"));
    chHash->setText(Lang("PasswordIsHash"));
    labelProtectDir->setText(Lang("ProtectDir"));
    labelFormat->setText(Lang("NamedFormat"));
    const int current = qMax(0, cbFormat->currentIndex());
    cbFormat->clear();
    cbFormat->addItems(Lang("NamedFormats").split(u'\r').mid(0, 3));
    cbFormat->setCurrentIndex(current);
    labelOutput->setText(Lang("NamedOutput"));
    chIncludeDefault->setText(Lang("NamedIncludeDefault"));
    btExport->setText(Lang("btExport"));
    btClose->setText(Lang("Close"));
}

void TfrmNamedExport::SetFolder(const QString &path)
{
    const TFolderChoice choice = ChooseFolder(path);
    edDir->setText(choice.dir);
    edEmail->setText(EmailById().GetValue(choice.folderId));
    edProtectDir->setText(FindProtectDir(choice.dir));
    const QString id = choice.folderId.isEmpty() ? QFileInfo(QDir::cleanPath(choice.dir)).fileName() : choice.folderId;
    edOutput->setText(Platform::Get().AppDir() + QStringLiteral("Named-") + id);
}

void TfrmNamedExport::btBrowseOutputClick()
{
    const QString folder = DialogService::Get().BrowseForFolder(labelOutput->text(), edOutput->text());
    if (!folder.isEmpty())
        edOutput->setText(folder);
}

void TfrmNamedExport::btBrowseProtectClick()
{
    const QString folder = DialogService::Get().BrowseForFolder(labelProtectDir->text(), edProtectDir->text());
    if (!folder.isEmpty())
        edProtectDir->setText(folder);
}

named::TNamedExportRequest TfrmNamedExport::MakeRequest() const
{
    named::TNamedExportRequest request;
    request.userFolder = edDir->text();
    request.output = edOutput->text().trimmed();
    request.format = named::TNamedFormat(qBound(0, cbFormat->currentIndex(), 2));
    request.includeDefault = chIncludeDefault->isChecked();
    request.email = edEmail->text().trimmed();
    if (!request.email.isEmpty())
        request.key = DpapiCredentials(edProtectDir->text(), edPassword->text(), chHash->isChecked());
    return request;
}

QString TfrmNamedExport::ResultText(const named::TNamedExportResult &result)
{
    QString text = FormatText(Lang("NamedDone"), {int(result.objects.size())}) + QStringLiteral("\r   ") + result.output;
    if (!result.credentials)
        text += QStringLiteral("\r\r") + Lang("NamedByFileName");
    else if (!result.unnamedTypes.isEmpty())
        text += QStringLiteral("\r\r") + Lang("NamedNoMap");
    if (!result.leftOut.isEmpty())
        text += QStringLiteral("\r\r") + FormatText(Lang("NamedLeftOut"), {int(result.leftOut.size())});
    if (!result.failures.isEmpty())
        text += QStringLiteral("\r\r") + Lang("NamedFailed") + QStringLiteral("\r   ")
                + result.failures.mid(0, 10).join(QStringLiteral("\r   "));
    return text;
}

void TfrmNamedExport::btExportClick()
{
    LastResult.reset();
    RunShowingErrors([this] {
        const named::TNamedExportRequest request = MakeRequest();
        LastResult = named::RunNamedExport(request);
        LangMessageDlg(ResultText(*LastResult), LastResult->Ok() ? TMsgDlgType::mtInformation : TMsgDlgType::mtWarning,
                       mbOK);
    });
}

} // namespace zorvak

namespace zorvak {

void TfrmMain::ExportNamed1Click()
{
    QTreeWidgetItem *node = tvDir->currentItem();
    QString text = node ? node->text(0) : QString();
    if (node && !IsAllDigits(text) && node->parent())
        text = node->parent()->text(0);
    if (!node || !IsAllDigits(text)) {
        PlainMessageBox(Lang("SelectFolder4named"));
        return;
    }
    TfrmNamedExport dialog(this);
    dialog.SetFolder(FolderMap.GetValue(QString::number(browse::AbsoluteIndex(tvDir, node))));
    DialogService::Get().ShowModal(&dialog);
}

} // namespace zorvak
