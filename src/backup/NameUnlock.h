#pragma once
// The names and shortcuts users gave their objects, shown in the main window's file list.
//
// They live only in the encrypted content maps, so they are read when the user unlocks a user
// folder: TfrmUnlockNames asks for the e-mail address and the Windows account's password (or hash)
// as the backup window does, TNameBook reads the maps with ReadContentNames and keeps the names of
// each unlocked user folder for the rest of the run. The address and the password are used for
// that one reading and forgotten; nothing is written anywhere.
#include "backup/ContentNames.h"
#include "backup/CredentialControls.h"
#include "browse/ui/ObjectNames.h"

#include <QDialog>
#include <QHash>

class QPushButton;

namespace zorvak {

class TfrmUnlockNames final : public QDialog, public TCredentialControls {
    Q_OBJECT
public:
    explicit TfrmUnlockNames(QWidget *owner = nullptr);

    // The user folder whose maps are read: its address when the settings know it, its master-key
    // folder when one is found above it.
    void SetFolder(const QString &userFolder);
    void RefreshCaptions();

    // The address, password and master-key folder (Email, Key): TCredentialControls.
    QPushButton *btOK = nullptr;
    QPushButton *btCancel = nullptr;
};

// The names of the user folders unlocked during the run, read from their content maps.
class TNameBook final : public TObjectNames {
public:
    // The content type whose folder `folder` is (by the sub-folder names of the settings).
    static bool ContentTypeOf(const QString &folder, ContentType &type);

    bool Unlocked(const QString &userFolder) const override;
    // The entry of the file `diskName` listed in `folder`, when its user folder is unlocked and its
    // map names it; else nullptr.
    const TObjectName *Find(const QString &folder, const QString &diskName) const;
    std::optional<TGivenName> NameOf(const QString &folder, const QString &diskName) const override;
    // Asks for the address and the password through the dialog service and reads the maps of
    // `userFolder`. The questions and messages are the backup's: an address that does not give
    // the folder's ID is confirmed first, a map that cannot be found is reported, and decryption
    // errors (wrong address or password) are raised. True when names were read.
    bool Unlock(const QString &userFolder, QWidget *owner) override;
    // Keeps names read by other means (tests).
    void Keep(const QString &userFolder, TContentNames names);

private:
    static QString Key(const QString &userFolder);
    QHash<QString, TContentNames> m_names;
};

} // namespace zorvak
