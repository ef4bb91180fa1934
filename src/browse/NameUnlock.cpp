#include "browse/NameUnlock.h"

#include "backup/BackupCore.h"
#include "browse/EmailId.h"
#include "browse/uMainBrowse.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/DialogService.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "shell/unitCustomDlg.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zorvak {

namespace {
// The last element of a folder path, with or without its final separator.
QString LastElement(const QString &path) { return QFileInfo(QDir::cleanPath(path)).fileName(); }
} // namespace

TfrmUnlockNames::TfrmUnlockNames(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("TfrmUnlockNames"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    if (owner)
        setPalette(owner->palette());
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
    label(labelDir, "labelDir");
    edit(edDir, "edDir");
    edDir->setEnabled(false);
    label(labelEmail, "labelEmail");
    edit(edEmail, "edEmail");
    label(labelId, "labelId");
    label(lbId, "lbId");
    label(lbDecryptIns, "lbDecryptIns");
    QPalette teal = lbDecryptIns->palette();
    teal.setColor(QPalette::WindowText, QColor(0, 128, 128));
    lbDecryptIns->setPalette(teal);
    label(labelPassword, "labelPassword");
    edit(edPassword, "edPassword");
    edPassword->setEchoMode(QLineEdit::Password);
    chHash = new QCheckBox(this);
    chHash->setObjectName(QStringLiteral("chHash"));
    label(labelProtectDir, "labelProtectDir");
    edit(edProtectDir, "edProtectDir");
    button(btBrowseProtect, "btBrowseProtect");
    btBrowseProtect->setText(QStringLiteral("..."));
    button(btOK, "btOK");
    btOK->setDefault(true);
    button(btCancel, "btCancel");

    auto *form = new QGridLayout;
    int r = 0;
    form->addWidget(labelDir, r++, 0, 1, 3);
    form->addWidget(edDir, r++, 0, 1, 3);
    auto *emailHead = new QHBoxLayout;
    emailHead->addWidget(labelEmail);
    emailHead->addSpacing(12);
    emailHead->addWidget(lbDecryptIns);
    emailHead->addStretch();
    form->addLayout(emailHead, r++, 0, 1, 3);
    form->addWidget(edEmail, r, 0, 1, 2);
    auto *id = new QHBoxLayout;
    id->addWidget(labelId);
    id->addSpacing(6);
    id->addWidget(lbId);
    form->addLayout(id, r++, 2);
    form->addWidget(labelPassword, r++, 0, 1, 3);
    form->addWidget(edPassword, r, 0, 1, 2);
    form->addWidget(chHash, r++, 2);
    form->addWidget(labelProtectDir, r++, 0, 1, 3);
    form->addWidget(edProtectDir, r, 0, 1, 2);
    form->addWidget(btBrowseProtect, r++, 2, Qt::AlignLeft);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btOK);
    buttons->addWidget(btCancel);
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(form);
    outer->addLayout(buttons);
    RefreshCaptions();

    connect(edEmail, &QLineEdit::textChanged, this, [this] { lbId->setText(EmailToId(edEmail->text())); });
    connect(edEmail, &QLineEdit::editingFinished, this, [this] { edEmailExit(); });
    connect(btBrowseProtect, &QPushButton::clicked, this, [this] {
        const QString folder = DialogService::Get().BrowseForFolder(labelProtectDir->text(), edProtectDir->text());
        if (!folder.isEmpty())
            edProtectDir->setText(folder);
    });
    connect(btOK, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(btCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

TfrmUnlockNames::~TfrmUnlockNames()
{
    try {
        edPassword->clear();
    } catch (...) {
    }
}

void TfrmUnlockNames::RefreshCaptions()
{
    setWindowTitle(StripAmpersands(Lang("UnlockNames")));
    labelDir->setText(Lang("DirOfId"));
    labelEmail->setText(Lang("Email4decrypting"));
    labelId->setText(Lang("PassportId") + QLatin1Char(':'));
    lbDecryptIns->setText(Lang("DecryptIns"));
    browse::SetHint(lbDecryptIns, StripAmpersands(Lang("DecryptInsHint")));
    // The Windows account of the copied profile, worded as the backup window words it.
    labelPassword->setText(QStringLiteral("Windows account password of this profile"));
    chHash->setText(QStringLiteral("Hash (SHA-1 or NT, hex)"));
    labelProtectDir->setText(QStringLiteral("Master-key folder (Microsoft/Protect)"));
    btOK->setText(Lang("mbOK"));
    btCancel->setText(Lang("mbCancel"));
}

void TfrmUnlockNames::SetFolder(const QString &userFolder)
{
    edDir->setText(userFolder);
    QString email = EmailById().GetValue(LastElement(userFolder));
    if (email.isEmpty())
        email = QLatin1Char('@') + QString::fromLatin1(DefaultMailDomain);
    edEmail->setText(email);
    lbId->setText(EmailToId(edEmail->text()));
    edProtectDir->setText(FindProtectDir(userFolder));
}

void TfrmUnlockNames::edEmailExit()
{
    if (!edEmail->text().contains(QLatin1Char('@')))
        edEmail->setText(edEmail->text() + QLatin1Char('@') + QString::fromLatin1(DefaultMailDomain));
}

QString TfrmUnlockNames::Email() const { return edEmail->text(); }

DpapiKeyMaterial TfrmUnlockNames::Key() const
{
    return DpapiCredentials(edProtectDir->text(), edPassword->text(), chHash->isChecked());
}

QString TNameBook::UserFolderOf(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    const TFolderChoice choice = ChooseFolder(folder);
    return choice.folderId.isEmpty() ? QString() : WithSeparator(QDir::cleanPath(choice.dir));
}

bool TNameBook::ContentTypeOf(const QString &folder, ContentType &type)
{
    const QString name = QFileInfo(QDir::cleanPath(folder)).fileName();
    for (const ContentTypeInfo &info : ContentTypes)
        if (Settings().Subdir(info.type) == name) {
            type = info.type;
            return true;
        }
    return false;
}

bool TNameBook::HasMaps(const QString &userFolder)
{
    const QDir user(userFolder);
    for (const ContentTypeInfo &info : ContentTypes)
        if (QFileInfo(QDir(user.filePath(Settings().Subdir(info.type))).filePath(QStringLiteral("map.dat"))).isFile())
            return true;
    return false;
}

QString TNameBook::Key(const QString &userFolder) { return WithSeparator(QDir::cleanPath(userFolder)); }

bool TNameBook::Unlocked(const QString &userFolder) const
{
    return !userFolder.isEmpty() && m_names.contains(Key(userFolder));
}

const TObjectName *TNameBook::Find(const QString &folder, const QString &diskName) const
{
    if (m_names.isEmpty())
        return nullptr;
    const QString user = UserFolderOf(folder);
    const auto names = user.isEmpty() ? m_names.cend() : m_names.constFind(Key(user));
    ContentType type;
    if (names == m_names.cend() || !ContentTypeOf(folder, type))
        return nullptr;
    // Only a content folder right inside the user folder holds the objects its map names.
    if (Key(QFileInfo(QDir::cleanPath(folder)).path()) != Key(user))
        return nullptr;
    return names->Find(type, diskName);
}

void TNameBook::Keep(const QString &userFolder, TContentNames names) { m_names.insert(Key(userFolder), std::move(names)); }

bool TNameBook::Unlock(const QString &userFolder, QWidget *owner)
{
    TfrmUnlockNames dialog(owner);
    dialog.SetFolder(userFolder);
    if (DialogService::Get().ShowModal(&dialog) != mrOk)
        return false;
    dialog.edEmailExit();
    const QString email = dialog.Email();
    // As in the backup: an address that does not give the folder's ID cannot open its maps.
    const QString folderName = LastElement(userFolder);
    if (EmailToId(email) != folderName
        && LangMessageDlg(FormatText(Lang("EmailNotMatch"), {email, folderName}), TMsgDlgType::mtWarning,
                          mbOK | mbCancel)
               != mrOk)
        return false;
    struct Forget {
        ~Forget() { ForgetOpenedMasterKeys(); } // the keys opened for this reading go with it
    } forget;
    TContentNames names = ReadContentNames(userFolder, email, dialog.Key());
    for (const QString &problem : names.Problems)
        LangMessageDlg(problem, TMsgDlgType::mtError, mbOK);
    if (names.TypesRead.isEmpty())
        return false;
    Keep(userFolder, std::move(names));
    return true;
}

QString NamedRowText(const TObjectName *object, const QString &fileName)
{
    if (!object || object->name.isEmpty())
        return fileName;
    QString text = object->name + QStringLiteral("  ");
    if (!object->shortcut.isEmpty())
        text += object->shortcut + QStringLiteral("   ");
    else
        text += QLatin1Char(' ');
    return text + fileName;
}

} // namespace zorvak
