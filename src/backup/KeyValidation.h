#pragma once
// Checks of custom-emoticon shortcuts before they are packed: blank, too long, with a space,
// equal to or beginning with one of Messenger's own shortcuts, and equal to or overlapping with
// another row's shortcut. The checks ask through a host: the confirmation grid asks the user,
// the command-line companion prints warnings.
#include "shell/DialogService.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zorvak {

// Messenger's own shortcuts (101 entries, in their fixed order).
const QStringList &DefaultShortcuts();

// One grid row as displayed (entities already turned back into characters).
struct TKeyRow {
    QString File;  // file name in "~tmp"
    QString Key;
    QString Name;
};

class TKeyValidationHost {
public:
    virtual ~TKeyValidationHost() = default;
    virtual void ShowHint(const QString &text) = 0;
    virtual void HideHint() = 0;
    // Makes the shortcut cell of a grid row (1 = first data row) current.
    virtual void FocusKeyCell(int row) = 0;
    // A question or warning about one row; returns the button pressed (mrYes = edit, mrIgnore).
    virtual int Ask(int row, const QString &text, TMsgDlgType type, TMsgDlgButtons buttons) = 0;
    // Opens the shortcut cell's editor of a row.
    virtual void EditCell(int row) = 0;
    // Two rows whose shortcuts are equal or overlap; returns the row to edit, or -1 to ignore.
    virtual int DuplicatePair(int row1, const TKeyRow &first, int row2, const TKeyRow &second) = 0;
    // False when nothing can be edited: a shortcut equal to a default one is then reported and
    // the check goes on instead of stopping.
    virtual bool CanEdit() const { return true; }
};

// rows[i] is grid row i + 1. True when every check passed or was ignored; false when the user
// chose to edit a shortcut (the host has then opened that cell's editor).
bool ValidateKeys(const QList<TKeyRow> &rows, TKeyValidationHost &host);

} // namespace zorvak
