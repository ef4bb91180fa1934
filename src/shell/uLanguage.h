#pragma once
// The text catalogue: key -> text, keys compared without letter case.
#include "common/unitHash.h"

#include <memory>

namespace zorvak {

class TLanguage {
public:
    // Raises "Lang['key'] not exists." for a missing key or an empty text.
    QString Get(const QString &key) const;
    // Raises "Lang['key'] already exists." when the key already has a non-empty text.
    void Add(const QString &key, const QString &text);
    const THash &Table() const { return m_table; }

private:
    THash m_table;
};

// The four catalogue builders (170 entries each, in table order).
std::unique_ptr<TLanguage> LoadEnglish();
std::unique_ptr<TLanguage> LoadFrench();
std::unique_ptr<TLanguage> LoadItalian();
std::unique_ptr<TLanguage> LoadSpanish();
// Builds the catalogue of a language code ("EN", "FR", "IT", "SP"; exact); nullptr for others.
std::unique_ptr<TLanguage> LoadLanguage(const QString &code);

// The catalogue in use. English until another is made current.
TLanguage &CurrentLanguage();
void SetCurrentLanguage(std::unique_ptr<TLanguage> language);
// The text of `key` in the catalogue in use.
inline QString Lang(const char *key) { return CurrentLanguage().Get(QString::fromLatin1(key)); }
// "Label:" as the language in use writes it (French puts a no-break space before the colon).
inline QString WithColon(const QString &label) { return label + Lang("Colon"); }

} // namespace zorvak
