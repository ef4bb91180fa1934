#include "backup/NameUnlock.h"
#include "browse/FolderChoice.h"

#include "backup/BackupCore.h"
#include "common/EmailId.h"
#include "browse/ui/uMainBrowse.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/Controls.h"
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
    auto *form = new QGridLayout;
    int r = 0;
    CreateCredentialControls(this, form, r, {});
    btOK = NewNamed<QPushButton>("btOK", this);
    btOK->setDefault(true);
    btCancel = NewNamed<QPushButton>("btCancel", this);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btOK);
    buttons->addWidget(btCancel);
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(form);
    outer->addLayout(buttons);
    SetMainButton(this, btOK);
    RefreshCaptions();

    connect(btOK, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(btCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TfrmUnlockNames::RefreshCaptions()
{
    setWindowTitle(StripAmpersands(Lang("UnlockNames")));
    CaptionCredentialControls();
    btOK->setText(Lang("mbOK"));
    btCancel->setText(Lang("mbCancel"));
}

void TfrmUnlockNames::SetFolder(const QString &userFolder)
{
    FillCredentialControls(userFolder, EmailById().GetValue(LastElement(userFolder)));
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

std::optional<TGivenName> TNameBook::NameOf(const QString &folder, const QString &diskName) const
{
    const TObjectName *object = Find(folder, diskName);
    if (!object || object->name.isEmpty())
        return std::nullopt;
    return TGivenName{object->name, object->shortcut};
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
    dialog.KeepEmailForSession();
    return true;
}

} // namespace zorvak
