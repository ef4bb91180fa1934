#include "backup/KeyValidation.h"

#include "common/unitString.h"
#include "shell/uLanguage.h"

namespace zorvak {

const QStringList &DefaultShortcuts()
{
    static const QStringList list = QStringLiteral(
        ":) :D :d ;) :-O :-o :P :p (H) (h) :@ :S :s :$ :( :'( :| (A) (a) 8o| +o( <:o) |-) *-) :-# :-* ^o) 8-) "
        "(L) (l) (U) (u) (M) (m) (@) (&) (sn) (bah) (S) (*) (#) (R) (r) ({) (}) (K) (k) (F) (f) (W) (w) (O) (o) "
        "(6) (~) (8) (E) (e) (G) (g) (^) (P) (p) (I) (i) (C) (c) (T) (t) (B) (b) (D) (d) (Z) (z) (X) (x) (Y) (y) "
        "(N) (n) :[ (nah) 8-| (tu) (pl) (||) (pi) (so) (au) (ap) (um) (ip) (co) (mp) (brb) (st) (h5) (mo) :^) (li)")
                                      .split(QLatin1Char(' '));
    return list;
}

namespace {
// FormatText removes every "&" of the finished text; a shortcut such as "(&)" must reach the
// message as it is, so the arguments go in after the formatting.
QString FormatKeyText(const QString &templ, const QStringList &arguments)
{
    QVariantList marks;
    for (int i = 0; i < arguments.size(); ++i)
        marks << QString(QChar(0xE000 + i));
    QString text = FormatText(templ, marks);
    for (int i = 0; i < arguments.size(); ++i)
        text.replace(QChar(0xE000 + i), arguments.at(i));
    return text;
}
} // namespace

bool ValidateKeys(const QList<TKeyRow> &rows, TKeyValidationHost &host)
{
    const TLanguage &L = CurrentLanguage();
    const QString hint = L.Get(QStringLiteral("CheckinDupl")) + QStringLiteral("...");
    host.ShowHint(hint);

    for (int i = 0; i < rows.size(); ++i) {
        const int row = i + 1;
        const QString &k = rows.at(i).Key;
        // A question with Yes (edit) and Ignore; true when the user chose to edit.
        auto edit = [&](const QString &text) {
            host.HideHint();
            host.FocusKeyCell(row);
            if (host.Ask(row, text, TMsgDlgType::mtConfirmation, mbYes | mbIgnore) != mrIgnore && host.CanEdit()) {
                host.EditCell(row);
                return true;
            }
            host.ShowHint(hint);
            return false;
        };
        if (k.isEmpty()) {
            if (edit(FormatKeyText(L.Get(QStringLiteral("KeyBlank")), {rows.at(i).Name})))
                return false;
        } else if (k.size() > 7) {
            if (edit(FormatKeyText(L.Get(QStringLiteral("KeyTooLong")), {k})))
                return false;
        }
        if (k.contains(QLatin1Char(' ')) && edit(FormatKeyText(L.Get(QStringLiteral("KeySpace")), {k})))
            return false;
        for (const QString &s : DefaultShortcuts()) {
            if (!k.startsWith(s))
                continue;
            if (k == s) {
                host.HideHint();
                host.FocusKeyCell(row);
                host.Ask(row, FormatKeyText(L.Get(QStringLiteral("KeyExists")), {k}), TMsgDlgType::mtWarning, mbOK);
                if (host.CanEdit()) {
                    host.EditCell(row);
                    return false;
                }
                host.ShowHint(hint);
            } else if (edit(FormatKeyText(L.Get(QStringLiteral("KeyOverlap")), {k, s}))) {
                return false;
            }
        }
    }

    for (int i = 0; i + 1 < rows.size(); ++i) {
        const QString &ki = rows.at(i).Key;
        if (ki.isEmpty())
            continue;
        for (int j = i + 1; j < rows.size(); ++j) {
            const QString &kj = rows.at(j).Key;
            if (kj.isEmpty() || !(ki.startsWith(kj) || kj.startsWith(ki)))
                continue;
            host.HideHint();
            const int r = host.DuplicatePair(i + 1, rows.at(i), j + 1, rows.at(j));
            if (r > 0 && r <= rows.size()) {
                host.FocusKeyCell(r);
                host.EditCell(r);
                return false;
            }
            host.ShowHint(hint);
        }
    }
    host.HideHint();
    return true;
}

} // namespace zorvak
