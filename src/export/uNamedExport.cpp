#include "export/uNamedExport.h"
#include "browse/FolderChoice.h"

#include "backup/BackupCore.h"
#include "dpapi/DpapiKeyMaterial.h"
#include "browse/FolderScan.h"
#include "browse/ui/FolderTree.h"
#include "browse/ui/uMainBrowse.h"
#include "common/Exceptions.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/Controls.h"
#include "shell/DialogService.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
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
    auto *form = new QGridLayout;
    int r = 0;
    CreateCredentialControls(this, form, r, {.withId = false});
    labelFormat = NewNamed<QLabel>("labelFormat", this);
    cbFormat = NewNamed<QComboBox>("cbFormat", this);
    labelOutput = NewNamed<QLabel>("labelOutput", this);
    edOutput = NewNamed<QLineEdit>("edOutput", this);
    btBrowseOutput = NewNamed<QPushButton>("btBrowseOutput", this);
    btBrowseOutput->setText(QStringLiteral("..."));
    chIncludeDefault = NewNamed<QCheckBox>("chIncludeDefault", this);
    btExport = NewNamed<QPushButton>("btExport", this);
    btExport->setDefault(true);
    btClose = NewNamed<QPushButton>("btClose", this);

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

    labelOutput->setBuddy(edOutput);
    labelFormat->setBuddy(cbFormat);
    SetMainButton(this, btExport);
    RefreshCaptions();
    connect(btBrowseOutput, &QPushButton::clicked, this, [this] { btBrowseOutputClick(); });
    connect(btExport, &QPushButton::clicked, this, [this] { btExportClick(); });
    connect(btClose, &QPushButton::clicked, this, [this] { close(); });
    FitWindowWidth(this, {edOutput}); // the backup's width and layout
}

void TfrmNamedExport::RefreshCaptions()
{
    setWindowTitle(StripAmpersands(Lang("ExportNamed")));
    CaptionCredentialControls();
    labelFormat->setText(Lang("NamedFormat"));
    const int current = qMax(0, cbFormat->currentIndex());
    cbFormat->clear();
    cbFormat->addItems(Lang("NamedFormats").split(u'\r').mid(0, 4));
    cbFormat->setCurrentIndex(current);
    labelOutput->setText(Lang("NamedOutput"));
    SetAccessible(btBrowseOutput, Lang("BrowseFolder"), StripAmpersands(Lang("NamedOutput")));
    chIncludeDefault->setText(Lang("NamedIncludeDefault"));
    btExport->setText(Lang("btExport"));
    btClose->setText(Lang("Close"));
}

void TfrmNamedExport::SetFolder(const QString &path)
{
    const TFolderChoice choice = FillCredentialControls(path);
    const QString id = choice.folderId.isEmpty() ? QFileInfo(QDir::cleanPath(choice.dir)).fileName() : choice.folderId;
    edOutput->setText(Platform::Get().AppDir() + QStringLiteral("Named-") + id);
    FitWindowWidth(this, {edOutput});
}

void TfrmNamedExport::btBrowseOutputClick()
{
    const QString folder = DialogService::Get().BrowseForFolder(StripAmpersands(labelOutput->text()), edOutput->text());
    if (!folder.isEmpty())
        edOutput->setText(folder);
}

named::TNamedExportRequest TfrmNamedExport::MakeRequest() const
{
    named::TNamedExportRequest request;
    request.userFolder = edDir->text();
    request.output = edOutput->text().trimmed();
    request.format = named::TNamedFormat(qBound(0, cbFormat->currentIndex(), 3));
    request.includeDefault = chIncludeDefault->isChecked();
    request.email = Email().trimmed();
    if (!request.email.isEmpty())
        request.key = Key();
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
        text += QStringLiteral("\r\r")
                + FormatText(Lang(result.format == named::TNamedFormat::PidginSmileys ? "NamedLeftOutStore" : "NamedLeftOut"),
                             {int(result.leftOut.size())});
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
        KeepEmailForSession();
        LangMessageDlg(ResultText(*LastResult), LastResult->Ok() ? TMsgDlgType::mtInformation : TMsgDlgType::mtWarning,
                       mbOK);
    });
}

} // namespace zorvak

namespace zorvak {

void ShowNamedExportDialog(QWidget *owner, TFolderTree &tree)
{
    QTreeWidget *tvDir = tree.tvDir;
    QTreeWidgetItem *node = tvDir->currentItem();
    QString text = node ? node->text(0) : QString();
    if (node && !IsAllDigits(text) && node->parent())
        text = node->parent()->text(0);
    if (!node || !IsAllDigits(text)) {
        PlainMessageBox(Lang("SelectFolder4named"));
        return;
    }
    TfrmNamedExport dialog(owner);
    dialog.SetFolder(tree.FolderMap.GetValue(QString::number(browse::AbsoluteIndex(tvDir, node))));
    DialogService::Get().ShowModal(&dialog);
}

} // namespace zorvak
