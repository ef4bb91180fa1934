// File names made from the names people gave their objects: safe on every file system, never
// leaving their folder, never meeting each other.
#include "export/NamedExport.h"
#include "export/NamedWriters.h"
#include "browse/FolderExport.h"
#include "common/SafeName.h"
#include "restore/ContentLibrary.h"

#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace zorvak::named;

namespace {
QString S(const char *text) { return QString::fromUtf8(text); }
}

TEST(SafeName, HostileNamesBecomeOneHarmlessComponent)
{
    const struct { QString in, out; } cases[] = {
        {S("Blinking smile"), S("Blinking smile")},
        {S("../../etc/passwd"), S("_.._etc_passwd")},
        {S("a/b"), S("a_b")},
        {S("a\\b"), S("a_b")},
        {S("C:evil"), S("C_evil")},
        {S("<3 \"hi\" | why? *"), S("_3 _hi_ _ why_ _")},
        {S("trailing. . ."), S("trailing")},
        {S("  spaced  "), S("spaced")},
        {S(".hidden"), S("hidden")},
        {S("..."), QString()},
        {S(". "), QString()},
        {S("tab\there\nnew\rline\x01\x7f"), S("tab_here_new_line__")},
        {QString(QChar(0x2028)) + S("x") + QChar(0x0085), S("_x_")},
        {S("CON"), S("CON_")},
        {S("con.txt"), S("con_.txt")},
        {S("Nul"), S("Nul_")},
        {S("COM1"), S("COM1_")},
        {S("lpt9.x.y"), S("lpt9_.x.y")},
        {S("COM\u00b9"), S("COM\u00b9_")},
        {S("CONSOLE"), S("CONSOLE")},
        {S("COM10"), S("COM10")},
        {S("CON."), S("CON_")},
        {S("Caf\u0065\u0301"), S("Caf\u00e9")},         // decomposed: written composed
        {QString(QChar(0xD800)) + S("x"), S("_x")},      // a lone surrogate
        {S("\U0001F600 smile"), S("\U0001F600 smile")},  // a pair stays
        {S("gpj\u202Eexe.png"), S("gpj_exe.png")},        // direction marks: what shows is what is there
        {S("\u200E\u200Fa\u202A\u202B\u202C\u202Db\u2066\u2067\u2068\u2069"), S("__a____b____")},
        {S("\u200D\u2060a\u206A"), S("\u200D\u2060a\u206A")}, // other format characters stay
    };
    for (const auto &c : cases) {
        EXPECT_EQ(SafeStem(c.in), c.out) << c.in.toStdString();
        if (!c.out.isEmpty()) {
            EXPECT_TRUE(IsSafeFileName(c.out)) << c.out.toStdString();
        }
    }
}

TEST(SafeName, SavesAndTheLibraryTreatWindowsNamesAsExportsDo)
{
    // A save keeps what a disk name may hold (leading dots and spaces); the library never hides
    // an object; both mark device names in front.
    const struct { QString in, save, library; } cases[] = {
        {S("a<b>c:d|e?f*g\"h"), S("a_b_c_d_e_f_g_h"), S("a_b_c_d_e_f_g_h")},
        {S("CON.png"), S("_CON.png"), S("_CON.png")},
        {S("com0"), S("_com0"), S("_com0")},
        {S(".hidden"), S(".hidden"), S("_hidden")},
        {S("  x"), S("  x"), S("x")},
        {S("name. ."), S("name"), S("name")},
        {S("tab\tx"), S("tab_x"), S("tab_x")},
        {S("..."), S("_"), QString()},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(zorvak::SafeFileName(c.in), c.save) << c.in.toStdString();
        EXPECT_EQ(SafeStem(c.in, zorvak::kLibraryNameRules), c.library) << c.in.toStdString();
        EXPECT_TRUE(IsSafeFileName(c.save, zorvak::kSaveAsNameRules)) << c.save.toStdString();
        if (!c.library.isEmpty()) {
            EXPECT_TRUE(IsSafeFileName(c.library, zorvak::kLibraryNameRules)) << c.library.toStdString();
        }
    }
}

TEST(SafeName, LongNamesAreCutOnCharacterBoundariesWithinBothLimits)
{
    // 300 ASCII characters: the character limit bites.
    const QString ascii = SafeStem(QString(300, u'a'), {}, 4, 4);
    EXPECT_EQ(ascii.size(), kMaxNameChars - 4);
    // 200 two-byte characters: 116 fit both limits (232 bytes).
    const QString accented = SafeStem(QString(200, QChar(0x00E9)), {}, 4, 4);
    EXPECT_EQ(accented.size(), 116);
    EXPECT_LE(accented.toUtf8().size(), kMaxNameBytes - 4);
    // Three-byte characters: the byte limit bites (78 of them are 234 bytes).
    const QString cjk = SafeStem(QString(200, QChar(0x4E2D)), {}, 4, 4);
    EXPECT_EQ(cjk.size(), 78);
    // Surrogate pairs: an odd character budget never splits one.
    QString emoji;
    for (int i = 0; i < 100; ++i)
        emoji += S("\U0001F600");
    const QString cut = SafeStem(emoji, {}, 5, 5);
    EXPECT_EQ(cut.size(), 114);
    EXPECT_FALSE(cut.back().isHighSurrogate());
    EXPECT_EQ(QString::fromUtf8(cut.toUtf8()), cut);
    // A cut that ends in dots or spaces loses them.
    const QString dotted = SafeStem(QString(115, u'a') + S(". . . . . . . tail"), {}, 4, 4);
    EXPECT_EQ(dotted, QString(115, u'a'));
}

TEST(SafeName, ThemeNamesHaveNoSpaceAndNoLeadingMarkup)
{
    const TSafeNameRules theme{true};
    EXPECT_EQ(SafeStem(S("Blinking smile"), theme), S("Blinking_smile"));
    EXPECT_EQ(SafeStem(S("a\u00a0b\u3000c"), theme), S("a_b_c"));
    EXPECT_EQ(SafeStem(S("!hidden"), theme), S("_hidden"));
    EXPECT_EQ(SafeStem(S("#comment"), theme), S("_comment"));
    EXPECT_EQ(SafeStem(S("[default]"), theme), S("_default]"));
    EXPECT_FALSE(IsSafeFileName(S("a b.png"), theme));
    EXPECT_TRUE(IsSafeFileName(S("a b.png")));
    // A stem the theme reader would take for a header line, in any letter case.
    for (const char *header : {"Name=x", "nAME=", "Description=d", "ICON=i", "author=a"}) {
        EXPECT_EQ(SafeStem(S(header), theme), u'_' + S(header)) << header;
        EXPECT_FALSE(IsSafeFileName(S(header) + S(".png"), theme)) << header;
        EXPECT_TRUE(IsSafeFileName(S(header) + S(".png"))) << header;
    }
    EXPECT_EQ(SafeStem(S("Named=x"), theme), S("Named=x"));
    EXPECT_EQ(SafeStem(S("Name x"), theme), S("Name_x"));
    // At most 63 bytes with the extension, cut between characters; clashes numbered within them.
    TNameSet set;
    const QString cjk(30, QChar(0x4E2D)); // 90 bytes
    const QString first = set.Claim(cjk, S(".png"), S(""), kThemeNameRules);
    const QString second = set.Claim(cjk, S(".png"), S(""), kThemeNameRules);
    EXPECT_EQ(first, QString(19, QChar(0x4E2D)) + S(".png")); // 57 + 4 bytes
    EXPECT_EQ(second, QString(19, QChar(0x4E2D)) + S("_2.png"));
    EXPECT_EQ(second.toUtf8().size(), 63);
    EXPECT_TRUE(IsSafeFileName(second, kThemeNameRules));
    EXPECT_FALSE(IsSafeFileName(QString(20, QChar(0x4E2D)) + S(".png"), kThemeNameRules));
}

TEST(SafeName, ClashesAreNumberedIgnoringCaseAndNormalForm)
{
    TNameSet set;
    EXPECT_EQ(set.Claim(S("Same"), S(".png"), S("F1")), S("Same.png"));
    EXPECT_EQ(set.Claim(S("same"), S(".png"), S("F2")), S("same (2).png"));
    EXPECT_EQ(set.Claim(S("SAME"), S(".png"), S("F3")), S("SAME (3).png"));
    EXPECT_EQ(set.Claim(S("Same"), S(".gif"), S("F4")), S("Same.gif")); // another extension is another name
    EXPECT_EQ(set.Claim(S("Caf\u00e9"), S(".png"), S("F5")), S("Caf\u00e9.png"));
    EXPECT_EQ(set.Claim(S("Cafe\u0301"), S(".png"), S("F6")), S("Caf\u00e9 (2).png"));
    // Nothing usable: the fallback, then a placeholder.
    EXPECT_EQ(set.Claim(S("..."), S(".png"), S("44273E45A3B9")), S("44273E45A3B9.png"));
    EXPECT_EQ(set.Claim(S("/"), S(".png"), S("")), S("_.png"));
    // An extension that is not a plain one is dropped rather than trusted.
    EXPECT_EQ(set.Claim(S("x"), S("./../y"), S("")), S("x"));
    // Numbered names stay within the limits.
    TNameSet theme;
    const QString longName(300, u'n');
    const QString first = theme.Claim(longName, S(".gif"), S(""), {true});
    const QString second = theme.Claim(longName, S(".gif"), S(""), {true});
    EXPECT_EQ(first.size(), kMaxNameChars);
    EXPECT_LE(second.size(), kMaxNameChars);
    EXPECT_TRUE(second.endsWith(S("_2.gif")));
    EXPECT_TRUE(IsSafeFileName(second, {true}));
    // Names already in the folder are never handed out.
    TNameSet existing;
    existing.Insert(S("index.TSV"));
    EXPECT_EQ(existing.Claim(S("index"), S(".tsv"), S("")), S("index (2).tsv"));
}

TEST(NamedExportText, TsvValuesKeepOneLineAndOneColumn)
{
    EXPECT_EQ(TsvValue(S("a\tb\nc\rd\\e")), S("a\\tb\\nc\\rd\\\\e"));
    EXPECT_EQ(TsvValue(S("plain")), S("plain"));
    EXPECT_EQ(FormatByName(S("pidgin")), TNamedFormat::Pidgin);
    EXPECT_EQ(FormatByName(S("HTML")), std::nullopt);
}

TEST(NamedExportText, PageTakesCharactersXmlRefuses)
{
    TNamedExportResult result;
    TExportedObject o;
    o.file = S("Emoticons/a_b.png");
    o.name = S("a\x01" "b") + QChar(0xDC00) + S("\U0001F600");
    o.shortcut = S("]]><x>&\x1f");
    result.objects << o;
    const QByteArray page = IndexHtml(result, S("me\x02@example.com"));
    ASSERT_FALSE(page.isEmpty());
    QXmlStreamReader xml(page);
    QStringList spans;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QStringLiteral("span"))
            spans << xml.readElementText();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(spans.value(0), S("a\uFFFDb\uFFFD\U0001F600"));
    EXPECT_EQ(spans.value(1), S("]]><x>&\uFFFD"));
}
