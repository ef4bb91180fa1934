// The controls that ask for the address, the Windows account's password or hash and the
// master-key folder, as the backup, names unlock and named-export windows share them.
#include "dpapi/WineFixture.h"
#include "common/unitString.h"
#include "backup/CredentialControls.h"
#include "backup/uBackup.h"
#include "common/EmailId.h"
#include "backup/NameUnlock.h"
#include "common/Exceptions.h"
#include "export/uNamedExport.h"
#include "shell/uLanguage.h"
#include "support/TestEnv.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

using namespace zorvak;
using namespace zorvak::test;

namespace {

QString S(const char *text) { return QString::fromUtf8(text); }

// One window of each kind, seen through the controls they share.
struct Window {
    const char *name;
    std::function<std::unique_ptr<QDialog>()> make;
};

TCredentialControls &Controls(QDialog &window)
{
    if (auto *backup = qobject_cast<TfrmBackup *>(&window))
        return *backup;
    if (auto *unlock = qobject_cast<TfrmUnlockNames *>(&window))
        return *unlock;
    return *qobject_cast<TfrmNamedExport *>(&window);
}

std::vector<Window> Windows()
{
    return {{"backup", [] { return std::make_unique<TfrmBackup>(); }},
            {"unlock", [] { return std::make_unique<TfrmUnlockNames>(); }},
            {"named export", [] { return std::make_unique<TfrmNamedExport>(); }}};
}

// The widgets of `wanted` in the order Tab visits them in `window`.
std::vector<QWidget *> TabOrder(QWidget *window, const std::vector<QWidget *> &wanted)
{
    std::vector<QWidget *> order;
    QWidget *w = window->nextInFocusChain();
    for (int guard = 0; w != window && guard < 1000; ++guard, w = w->nextInFocusChain())
        if (std::find(wanted.begin(), wanted.end(), w) != wanted.end())
            order.push_back(w);
    return order;
}

class CredentialControls : public EnvTest {};

struct LanguageGuard {
    ~LanguageGuard() { SetCurrentLanguage(LoadEnglish()); }
};

} // namespace

TEST_F(CredentialControls, AreTheSameInEveryWindow)
{
    LanguageGuard english;
    for (const Window &kind : Windows()) {
        SCOPED_TRACE(kind.name);
        SetCurrentLanguage(LoadEnglish());
        const std::unique_ptr<QDialog> window = kind.make();
        TCredentialControls &c = Controls(*window);
        EXPECT_EQ(c.labelPassword->text(), S("Windows account &password of this profile"));
        EXPECT_EQ(c.chHash->text(), S("Hash (SHA-1 or NT, hex)"));
        EXPECT_EQ(c.labelProtectDir->text(), S("&Master-key folder (Microsoft/Protect)"));
        EXPECT_EQ(c.edPassword->echoMode(), QLineEdit::Password);
        EXPECT_FALSE(c.edDir->isEnabled());
        // Each label's mnemonic takes the focus to its field.
        EXPECT_EQ(c.labelEmail->buddy(), c.edEmail);
        EXPECT_EQ(c.labelPassword->buddy(), c.edPassword);
        EXPECT_EQ(c.labelProtectDir->buddy(), c.edProtectDir);
        // The labels follow the language in every window, not only in the named export.
        SetCurrentLanguage(LoadFrench());
        if (auto *backup = qobject_cast<TfrmBackup *>(window.get()))
            backup->RefreshCaptions();
        else if (auto *unlock = qobject_cast<TfrmUnlockNames *>(window.get()))
            unlock->RefreshCaptions();
        else
            qobject_cast<TfrmNamedExport *>(window.get())->RefreshCaptions();
        EXPECT_EQ(c.labelPassword->text(), S("Mot de &passe du compte Windows de ce profil"));
        EXPECT_EQ(c.labelProtectDir->text(), S("Dossier des clés &maîtres (Microsoft/Protect)"));
        // Tab goes from the address through the secret to the master-key folder and its button.
        const std::vector<QWidget *> expected{c.edEmail, c.edPassword, c.chHash, c.edProtectDir, c.btBrowseProtect};
        EXPECT_EQ(TabOrder(window.get(), expected), expected);
    }
}

TEST_F(CredentialControls, TurnTheSecretIntoKeyMaterial)
{
    for (const Window &kind : Windows()) {
        SCOPED_TRACE(kind.name);
        const std::unique_ptr<QDialog> window = kind.make();
        TCredentialControls &c = Controls(*window);
        c.edProtectDir->setText(S("/p/Microsoft/Protect"));
        c.edPassword->setText(S("secret"));
        DpapiKeyMaterial key = c.Key();
        EXPECT_EQ(key.protectDir, S("/p/Microsoft/Protect"));
        EXPECT_EQ(key.secret, DpapiSecret::FromPassword(S("secret")));
        // The same text read as a hash is refused, not taken as a password.
        c.chHash->setChecked(true);
        EXPECT_THROW(c.Key(), EConvertError);
        c.edPassword->setText(S("0x3b13f1ba6f8e68ab82c83eb6702e6d40"));
        key = c.Key();
        EXPECT_EQ(key.secret.kind(), DpapiSecret::NtHash);
        // The window forgets the password it was given.
        c.ForgetPassword();
        EXPECT_TRUE(c.edPassword->text().isEmpty());
    }
}

TEST_F(CredentialControls, BrowseForTheMasterKeyFolder)
{
    QDir().mkpath(env.path(S("chosen")));
    for (const Window &kind : Windows()) {
        SCOPED_TRACE(kind.name);
        env.dialogs().ClearCalls();
        const std::unique_ptr<QDialog> window = kind.make();
        TCredentialControls &c = Controls(*window);
        c.edProtectDir->setText(S("/before"));
        c.btBrowseProtect->click(); // cancelled: the folder stays
        EXPECT_EQ(c.edProtectDir->text(), S("/before"));
        env.dialogs().AnswerPath(env.path(S("chosen")));
        c.btBrowseProtect->click();
        EXPECT_EQ(c.edProtectDir->text(), env.path(S("chosen")));
        ASSERT_EQ(env.dialogs().calls.size(), 2u);
        EXPECT_EQ(env.dialogs().calls[0].kind, DialogCall::Folder);
        EXPECT_EQ(env.dialogs().calls[0].title, StripAmpersands(c.labelProtectDir->text()));
        EXPECT_EQ(env.dialogs().calls[0].text, S("/before"));
        // A window that needs no secret (an account without protected maps) can switch them off.
        c.EnableSecrets(false);
        for (QWidget *w : std::initializer_list<QWidget *>{c.edPassword, c.chHash, c.edProtectDir, c.btBrowseProtect})
            EXPECT_FALSE(w->isEnabled());
        EXPECT_TRUE(c.edEmail->isEnabled());
    }
}

TEST_F(CredentialControls, CompleteTheAddressOnlyWithTheIdRow)
{
    // The backup and the names unlock need an address: a bare name gets the default domain and
    // the ID follows every change.
    TfrmUnlockNames unlock;
    unlock.FillCredentialControls(env.path(S("user/")), QString());
    EXPECT_EQ(unlock.edEmail->text(), S("@hotmail.com"));
    unlock.edEmail->setText(S("bob"));
    EXPECT_EQ(unlock.lbId->text(), S("\u2014")); // no ID for an address not yet complete
    emit unlock.edEmail->editingFinished();
    EXPECT_EQ(unlock.edEmail->text(), S("bob@hotmail.com"));
    EXPECT_EQ(unlock.lbId->text(), EmailToId(S("bob@hotmail.com")));

    // The named export takes an empty address as "no decryption": nothing is added to it, and a
    // bad hash does not matter then.
    TfrmNamedExport named;
    named.FillCredentialControls(env.path(S("user/")), QString());
    EXPECT_TRUE(named.edEmail->text().isEmpty());
    EXPECT_EQ(named.lbId, nullptr);
    named.edEmail->setText(S("bob"));
    emit named.edEmail->editingFinished();
    EXPECT_EQ(named.edEmail->text(), S("bob"));
    named.edEmail->clear();
    named.chHash->setChecked(true);
    named.edPassword->setText(S("not hex"));
    EXPECT_NO_THROW(named.MakeRequest());
    named.edEmail->setText(S(" bob@hotmail.com "));
    EXPECT_THROW(named.MakeRequest(), EConvertError);
}

TEST_F(CredentialControls, MapsProtectedByWineNeedNoPassword)
{
    LanguageGuard english;
    SetCurrentLanguage(LoadEnglish());
    const QString wine = WriteWineUserFolder(env.path(S("prefix")), S("dana"));
    for (const Window &kind : Windows()) {
        SCOPED_TRACE(kind.name);
        const std::unique_ptr<QDialog> window = kind.make();
        TCredentialControls &c = Controls(*window);
        c.FillCredentialControls(wine, QString::fromLatin1(wine_vectors::kMapEmail));
        EXPECT_EQ(c.edPassword->placeholderText(), S("Not needed: Wine protected the map files of this folder"));
        EXPECT_EQ(c.Key(), WineKeyMaterial());
        // A password typed anyway is taken (it opens Wine's maps too); a Windows folder asks again.
        c.edPassword->setText(S("pw"));
        EXPECT_EQ(c.Key().secret, DpapiSecret::FromPassword(S("pw")));
        c.FillCredentialControls(env.path(S("windows/123")), QString());
        EXPECT_TRUE(c.edPassword->placeholderText().isEmpty());
        c.edPassword->clear();
        EXPECT_EQ(c.Key().secret, DpapiSecret::FromPassword(QString()));
    }
}
