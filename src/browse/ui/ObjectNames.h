#pragma once
// The names users gave their objects, as the file pane shows them. The pane only asks: reading
// them (the content maps, opened with the user's credentials) is the desktop program's business,
// which hands the pane its name book.
#include <QString>

#include <optional>

class QWidget;

namespace zorvak {

struct TGivenName {
    QString name;
    QString shortcut; // emoticons: the shortcut typed in a conversation; empty otherwise
};

class TObjectNames {
public:
    virtual ~TObjectNames() = default;
    // True when the names of the user folder (browse/FolderChoice.h: UserFolderOf) were read.
    virtual bool Unlocked(const QString &userFolder) const = 0;
    // The name of the file `diskName` listed in `folder`, when one is known.
    virtual std::optional<TGivenName> NameOf(const QString &folder, const QString &diskName) const = 0;
    // Asks the user what it takes to read the user folder's names (through the dialog service) and
    // reads them. True when names were read.
    virtual bool Unlock(const QString &userFolder, QWidget *owner) = 0;
};

} // namespace zorvak
