#pragma once
// File names made from names people typed. A name given to an emoticon or a picture is any text
// at all (slashes, "..", control characters, Windows device names, hundreds of characters); the
// files written under such names must open on every common file system (ext4, NTFS, FAT, APFS)
// and must never leave the folder they are written into.
#include <QSet>
#include <QString>

namespace zorvak::named {

// The longest file name written, extension and clash number included: in characters (UTF-16
// units, as Windows counts them) and in bytes of UTF-8 (as Linux file systems count them).
inline constexpr int kMaxNameChars = 120;
inline constexpr int kMaxNameBytes = 240;

// The longest word a smiley theme reader takes (file names and shortcuts alike), in bytes of UTF-8.
inline constexpr int kThemeWordBytes = 63;

// How one caller's names are made safe. The characters Windows refuses, control and
// bidirectional-control characters and Windows' device names are treated alike for every caller;
// the options are what callers differ in.
struct TSafeNameRules {
    enum class Leading { Drop, Mark, Keep };
    // The names of a smiley theme's pictures, which the theme file gives as the first word of a
    // line: spaces become "_", and a name that would read as a section, a comment, a hidden line
    // or a header line ("Name=", "Description=", "Icon=", "Author=", any letter case) gets a
    // leading "_".
    bool noSpaces = false;
    // A leading dot or space: dropped; the first dot made "_" and spaces dropped (a name never
    // hides); or kept as it is (a file saved under the name it has).
    Leading leading = Leading::Drop;
    bool markDeviceBefore = false; // a device name gets "_" before it ("_CON.png") rather than after ("CON_.png")
    bool limitLength = true;       // cut to kMaxNameChars and maxBytes
    int maxBytes = kMaxNameBytes;  // the longest name in bytes of UTF-8, extension included
};

// The rules of the file names a smiley theme lists: one word of at most kThemeWordBytes bytes.
inline constexpr TSafeNameRules kThemeNameRules{true, TSafeNameRules::Leading::Drop, false, true, kThemeWordBytes};

// `name` made safe as the stem of a file name whose extension has `reserveChars` characters and
// `reserveBytes` bytes: control, line-separator and bidirectional-control characters (U+200E,
// U+200F, U+202A-U+202E, U+2066-U+2069), lone surrogates and the characters Windows refuses
// (< > : " / \ | ? *) become "_"; leading dots and spaces are treated as the rules say and
// trailing dots and spaces go; a Windows device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9,
// LPT0-9, with or without an extension) is marked with "_"; the result is cut on a character
// boundary to the limits above and the rules' maxBytes (when the rules limit it) and is in Unicode
// normal form C. Empty when nothing usable is left.
QString SafeStem(const QString &name, const TSafeNameRules &rules = {}, int reserveChars = 0, int reserveBytes = 0);

// The names already used in one output folder, compared as file systems that ignore letter case
// compare them.
class TNameSet {
public:
    // A safe, unused file name "<stem><ext>" for `name` (`fallback` when `name` leaves nothing
    // usable), numbered "<stem> (2)<ext>", "<stem> (3)<ext>", ... ("_2" without spaces) when taken;
    // the name returned is recorded as used. `ext` is ".png" and the like: lower-case letters and
    // digits after one dot, anything else is dropped.
    QString Claim(const QString &name, const QString &ext, const QString &fallback, const TSafeNameRules &rules = {});
    bool Contains(const QString &fileName) const { return m_used.contains(Key(fileName)); }
    void Insert(const QString &fileName) { m_used.insert(Key(fileName)); }

private:
    static QString Key(const QString &fileName);
    QSet<QString> m_used;
};

// True when `fileName` could be written by Claim: the checks above, for tests and the fuzz target.
bool IsSafeFileName(const QString &fileName, const TSafeNameRules &rules = {});

} // namespace zorvak::named
