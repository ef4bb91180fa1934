#pragma once
// TCredentialControls: the controls of the windows that open a user folder's protected maps (the
// backup, the names unlock, the export with names). They ask for the user folder (shown, not
// edited), the e-mail address, the Windows account's password or its hash, and the master-key
// folder, and turn what was typed into the address and the key material of the decryption.
//
// A window derives from it after QDialog, so that the controls keep the member names tests and
// handlers use (edEmail, edPassword, chHash, ...), and calls CreateCredentialControls once, first,
// in its constructor: the controls then come first in the tab order, in the order below.
#include "dpapi/DpapiKeyMaterial.h"

#include <QList>
#include <QString>

class QCheckBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace zorvak {

struct TFolderChoice;

class TCredentialControls {
public:
    // withId: the address row shows the ID the address gives and the decryption note, and an
    // address typed without a domain is completed with the default one when the box is left.
    // Without it an empty address stays empty (the window's "no decryption").
    struct Options {
        bool withId = true;
    };

    // Creates the controls on `parent` and lays them out in `form` (three columns) from `row`,
    // which is moved past them. Connects the address box and the master-key folder's button.
    void CreateCredentialControls(QWidget *parent, QGridLayout *form, int &row, Options options);
    // The texts of the controls in the current language.
    void CaptionCredentialControls();
    // The user folder, its known address (empty: only the default domain, with the ID row) and the
    // master-key folder found above the user folder.
    void FillCredentialControls(const QString &userFolder, const QString &email);
    // The same for `path` as ChooseFolder sees it (a user folder or an ObjectStore account, or a
    // content folder of one): the address the settings know for its ID, or the account's own.
    TFolderChoice FillCredentialControls(const QString &path);
    // The password, hash and master-key folder boxes (an account without protected maps needs none).
    void EnableSecrets(bool on);
    // With the ID row: the note beside the address's label, or (a longer one, as an ObjectStore
    // account's) wrapped under the address box.
    void PlaceNoteUnderAddress(bool under);
    // Gives `window` the width every window of these controls has in the language in use (that of
    // the backup's address row), or more where a path box needs it to show its whole path (within
    // 90 % of the screen). `paths`: further path boxes of the window.
    void FitWindowWidth(QWidget *window, const QList<QLineEdit *> &paths = {}) const;

    // The address as typed.
    QString Email() const;
    // What opens the maps; raises EConvertError when the hash box is ticked and the text is no hash.
    // With the password box empty and every map of the folder protected by Wine: WineKeyMaterial().
    DpapiKeyMaterial Key() const;
    // Clears the password box.
    void ForgetPassword();
    // The address typed, when it gives the user folder's ID, is proposed by the next window on
    // that folder in this session (kept in memory only: the saved list stays the user's to grow).
    void KeepEmailForSession() const;

    // Completes an address typed without a domain with the default one (windows with the ID row).
    void edEmailExit();
    void edEmailChange();
    void btBrowseProtectClick();

    QLabel *labelDir = nullptr;
    QLineEdit *edDir = nullptr;         // the user folder; shown disabled
    QLabel *labelEmail = nullptr;
    QLineEdit *edEmail = nullptr;
    QLabel *labelId = nullptr;          // only with the ID row
    QLabel *lbId = nullptr;             // only with the ID row
    QLabel *lbDecryptIns = nullptr;     // only with the ID row
    QLabel *labelPassword = nullptr;
    QLineEdit *edPassword = nullptr;    // masked; lives in memory for the window's life only
    QCheckBox *chHash = nullptr;        // the password box holds an SHA-1 or NT hash in hex
    QLabel *labelProtectDir = nullptr;
    QLineEdit *edProtectDir = nullptr;  // master-key folder found for the user folder
    QPushButton *btBrowseProtect = nullptr;
    // Every map of the user folder was protected by Wine: no password is needed (the password box
    // says so while it is empty).
    bool WineMaps = false;
    // The user folder holds no map file (an ObjectStore account, or maps gone): the address only
    // names the account, and its label says so.
    bool NoMaps = false;

protected:
    TCredentialControls() = default;
    // The password and the master keys opened with it are forgotten with the window. The window
    // derives from QDialog first (as a QObject must), so this runs before its controls are deleted.
    ~TCredentialControls();
    TCredentialControls(const TCredentialControls &) = delete;
    TCredentialControls &operator=(const TCredentialControls &) = delete;

private:
    QGridLayout *m_form = nullptr;
    QHBoxLayout *m_emailHead = nullptr;
    int m_noteRow = -1;
};

} // namespace zorvak
