#include "backup/CredentialControls.h"
#include "browse/FolderChoice.h"

#include "backup/BackupCore.h"
#include "common/EmailId.h"
#include "browse/ui/uMainBrowse.h"
#include "dpapi/MapFileCrypt.h"
#include "common/unitString.h"
#include "shell/Controls.h"
#include "shell/ReadableText.h"
#include "shell/DialogService.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <algorithm>

namespace zorvak {

namespace {
// The ID of a complete address (a name, "@" and a domain with a dot); a dash while it is typed.
QString IdOfTyped(const QString &email)
{
    static const QRegularExpression complete(QStringLiteral("^[^@\\s]+@[^@\\s.]+(\\.[^@\\s.]+)+$"));
    return complete.match(email.trimmed()).hasMatch() ? EmailToId(email.trimmed()) : QStringLiteral("\u2014");
}
} // namespace

void TCredentialControls::CreateCredentialControls(QWidget *parent, QGridLayout *form, int &row, Options options)
{
    // Created in tab order.
    labelDir = NewNamed<QLabel>("labelDir", parent);
    edDir = NewNamed<QLineEdit>("edDir", parent);
    edDir->setEnabled(false);
    labelEmail = NewNamed<QLabel>("labelEmail", parent);
    edEmail = NewNamed<QLineEdit>("edEmail", parent);
    if (options.withId) {
        labelId = NewNamed<QLabel>("labelId", parent);
        lbId = NewNamed<QLabel>("lbId", parent);
        lbDecryptIns = NewNamed<QLabel>("lbDecryptIns", parent);
        KeepTextReadable(lbDecryptIns, QColor(0, 128, 128)); // teal
    }
    labelPassword = NewNamed<QLabel>("labelPassword", parent);
    edPassword = NewNamed<QLineEdit>("edPassword", parent);
    edPassword->setEchoMode(QLineEdit::Password);
    chHash = NewNamed<QCheckBox>("chHash", parent);
    labelProtectDir = NewNamed<QLabel>("labelProtectDir", parent);
    edProtectDir = NewNamed<QLineEdit>("edProtectDir", parent);
    btBrowseProtect = NewNamed<QPushButton>("btBrowseProtect", parent);
    btBrowseProtect->setText(QStringLiteral("..."));
    labelEmail->setBuddy(edEmail);
    labelPassword->setBuddy(edPassword);
    labelProtectDir->setBuddy(edProtectDir);

    m_form = form;
    form->addWidget(labelDir, row++, 0, 1, 3);
    form->addWidget(edDir, row++, 0, 1, 3);
    if (options.withId) {
        auto *emailHead = new QHBoxLayout;
        emailHead->addWidget(labelEmail);
        emailHead->addSpacing(12);
        emailHead->addWidget(lbDecryptIns);
        emailHead->addStretch();
        form->addLayout(emailHead, row++, 0, 1, 3);
        form->addWidget(edEmail, row, 0, 1, 2);
        auto *id = new QHBoxLayout;
        id->addWidget(labelId);
        id->addSpacing(6);
        id->addWidget(lbId);
        form->addLayout(id, row++, 2);
        m_emailHead = emailHead;
        m_noteRow = row++; // the note's row when it goes under the address
    } else {
        form->addWidget(labelEmail, row++, 0, 1, 3);
        form->addWidget(edEmail, row++, 0, 1, 3);
    }
    form->addWidget(labelPassword, row++, 0, 1, 3);
    form->addWidget(edPassword, row, 0, 1, 2);
    form->addWidget(chHash, row++, 2);
    form->addWidget(labelProtectDir, row++, 0, 1, 3);
    form->addWidget(edProtectDir, row, 0, 1, 2);
    form->addWidget(btBrowseProtect, row++, 2, Qt::AlignLeft);

    if (options.withId) {
        QObject::connect(edEmail, &QLineEdit::textChanged, parent, [this] { edEmailChange(); });
        QObject::connect(edEmail, &QLineEdit::editingFinished, parent, [this] { edEmailExit(); });
    }
    QObject::connect(btBrowseProtect, &QPushButton::clicked, parent, [this] { btBrowseProtectClick(); });
}

void TCredentialControls::CaptionCredentialControls()
{
    labelDir->setText(Lang("DirOfId"));
    labelEmail->setText(Lang(NoMaps ? "AccountEmail" : "Email4decrypting"));
    if (lbId) {
        labelId->setText(WithColon(Lang("PassportId")));
        lbDecryptIns->setText(Lang("DecryptIns"));
        browse::SetHint(lbDecryptIns, StripAmpersands(Lang("DecryptInsHint")));
    }
    labelPassword->setText(Lang("WinPassword"));
    edPassword->setPlaceholderText(WineMaps ? Lang("WinePasswordNotNeeded") : QString());
    chHash->setText(Lang("PasswordIsHash"));
    labelProtectDir->setText(Lang("ProtectDir"));
    SetAccessible(btBrowseProtect, Lang("BrowseFolder"), StripAmpersands(Lang("ProtectDir")));
}

void TCredentialControls::FillCredentialControls(const QString &userFolder, const QString &email)
{
    edDir->setText(userFolder);
    if (email.isEmpty() && lbId)
        edEmail->setText(QLatin1Char('@') + QString::fromLatin1(DefaultMailDomain));
    else
        edEmail->setText(email);
    if (lbId)
        lbId->setText(IdOfTyped(edEmail->text()));
    edProtectDir->setText(FindProtectDir(userFolder));
    WineMaps = !userFolder.isEmpty() && AllMapsProtectedByWine(userFolder);
    NoMaps = !userFolder.isEmpty() && !HasMapFiles(userFolder);
    labelEmail->setText(Lang(NoMaps ? "AccountEmail" : "Email4decrypting"));
    edPassword->setPlaceholderText(WineMaps ? Lang("WinePasswordNotNeeded") : QString());
}

TFolderChoice TCredentialControls::FillCredentialControls(const QString &path)
{
    TFolderChoice choice = ChooseFolder(path);
    FillCredentialControls(choice.dir, choice.store ? choice.email : EmailById().GetValue(choice.folderId));
    return choice;
}

void TCredentialControls::EnableSecrets(bool on)
{
    for (QWidget *w : std::initializer_list<QWidget *>{labelPassword, edPassword, chHash, labelProtectDir,
                                                        edProtectDir, btBrowseProtect})
        w->setEnabled(on);
}

void TCredentialControls::PlaceNoteUnderAddress(bool under)
{
    if (!lbDecryptIns || lbDecryptIns->wordWrap() == under)
        return;
    lbDecryptIns->setWordWrap(under);
    if (under) {
        m_emailHead->removeWidget(lbDecryptIns);
        m_form->addWidget(lbDecryptIns, m_noteRow, 0, 1, 3);
    } else {
        m_form->removeWidget(lbDecryptIns);
        m_emailHead->insertWidget(2, lbDecryptIns);
    }
}

void TCredentialControls::FitWindowWidth(QWidget *window, const QList<QLineEdit *> &paths) const
{
    if (!window->layout())
        return;
    const QMargins margins = window->layout()->contentsMargins();
    // The backup's address row: its label and the note on decryption side by side.
    QLabel label(Lang("Email4decrypting"));
    label.setFont(labelEmail->font());
    QLabel note(Lang("DecryptIns"));
    note.setFont(labelEmail->font());
    const int spacing = std::max(0, m_form->horizontalSpacing());
    int width = label.sizeHint().width() + 12 + note.sizeHint().width() + 2 * spacing + margins.left() + margins.right();
    // Each path whole (the rest of its row as the window lays it out), within 90 % of the screen.
    const int room = window->screen() ? window->screen()->availableGeometry().width() * 9 / 10 : 800;
    const int natural = window->sizeHint().width();
    for (QLineEdit *box : QList<QLineEdit *>{edDir, edProtectDir} + paths) {
        const int whole = box->fontMetrics().horizontalAdvance(box->text()) + 2 * box->fontMetrics().averageCharWidth()
                          + natural - box->sizeHint().width();
        width = std::max(width, std::min(whole, room));
    }
    window->resize(std::max(width, natural), window->sizeHint().height());
}

QString TCredentialControls::Email() const { return edEmail->text(); }

DpapiKeyMaterial TCredentialControls::Key() const
{
    if (WineMaps && edPassword->text().isEmpty())
        return WineKeyMaterial();
    return DpapiCredentials(edProtectDir->text(), edPassword->text(), chHash->isChecked());
}

TCredentialControls::~TCredentialControls()
{
    try {
        if (edPassword)
            ForgetPassword();
        ForgetOpenedMasterKeys();
    } catch (...) {
    }
}

void TCredentialControls::ForgetPassword() { edPassword->clear(); }

void TCredentialControls::KeepEmailForSession() const
{
    const QString id = QFileInfo(QDir::cleanPath(edDir->text())).fileName();
    const QString email = edEmail->text().trimmed();
    if (!id.isEmpty() && !email.isEmpty() && EmailToId(email) == id)
        EmailById().SetValue(id, email);
}

void TCredentialControls::edEmailChange()
{
    if (lbId)
        lbId->setText(IdOfTyped(edEmail->text()));
}

void TCredentialControls::edEmailExit()
{
    if (!edEmail->text().contains(QLatin1Char('@')))
        edEmail->setText(edEmail->text() + QLatin1Char('@') + QString::fromLatin1(DefaultMailDomain));
}

void TCredentialControls::btBrowseProtectClick()
{
    const QString folder = DialogService::Get().BrowseForFolder(StripAmpersands(labelProtectDir->text()), edProtectDir->text());
    if (!folder.isEmpty())
        edProtectDir->setText(folder);
}

} // namespace zorvak
