// content.xml: the exact lines of every item kind, the encoding, the 199-item limit of a part.
#include "backup/BackupCore.h"
#include "test_run_profile.h"

#include <QDir>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {
QString S(const char *text) { return QString::fromUtf8(text); }

struct NoHost : TBackupHost {
    std::optional<int> ConfirmItems(ContentType, const QString &, const TMsnArr &, const TDefaultTable &, int) override
    {
        return std::nullopt;
    }
};

class ManifestTest : public EnvTest {
protected:
    NoHost host;
    TBackupCore core{host};
    QString tmp = env.appDir() + S("~tmp/");
    QString part = env.appDir() + S("~tmp/1/");
    void SetUp() override
    {
        QDir().mkpath(part);
        core.Request.output = S("/out/Backup3.mco");
    }
    // An item whose object file lies in "~tmp".
    TMsnStuff Add(ContentType type, TMsnStuff item)
    {
        WriteFile(tmp + item.Location, "x");
        core.Request.types[size_t(type)] = true;
        core.Items[size_t(type)]->append(item);
        return item;
    }
    QStringList Lines()
    {
        const QByteArray data = ReadFile(part + S("content.xml"));
        EXPECT_TRUE(data.endsWith("\r\n"));
        QStringList lines = FromCp1252(data).split(S("\r\n"));
        lines.removeLast();
        return lines;
    }
    static QString FromCp1252(const QByteArray &b) { return QString::fromLatin1(b); }
};
} // namespace

TEST_F(ManifestTest, EveryKindLineByLine)
{
    Add(ContentType::Dbg, {{}, S("Koi &amp; Pond"), S("k.cab"), {}, S("ST=="), {}});
    Add(ContentType::Emot, {S("&lt;3"), S("A &amp; B"), S("e.gif"), S("image/gif"), {}, S("D")});
    Add(ContentType::Emot, {S(":x"), S("Flash"), S("f.swf"), QString(), {}, S("P")});
    Add(ContentType::Dp, {{}, S("Me"), S("d.png"), S("image/png"), S("s1"), {}});
    Add(ContentType::Bg, {{}, S("Sea"), S("b.jpg"), S("image/jpeg"), {}, {}});
    Add(ContentType::Wink, {{}, S("W"), S("w&1.cab"), {}, S("a&b"), {}});
    Add(ContentType::Ddp, {{}, S("D"), S("p.cab"), {}, S("pp"), {}});
    int written = 0;
    EXPECT_TRUE(core.WriteManifest(part, written));
    EXPECT_EQ(written, 7);
    const QStringList expected{
        S("<?xml version=\"1.0\" encoding=\"windows-1252\" ?>"),
        S("<package xmlns=\"http://messenger.msn.com/messengercontent/1.0\" version=\"1.0\" type=\"theme\">"),
        S("<item xmlns:emoticon=\"http://messenger.msn.com/emoticon/1.0\" contentid=\"e.gif\" contenttype=\"D\" "
          "type=\"emoticon\" emoticon:namespaceprefix=\"Backup3\" mimetype=\"image/gif\" file=\"e.gif\" "
          "emoticon:displayname=\"A &amp; B\" emoticon:keysequence=\"&lt;3\" />"),
        S("<item xmlns:emoticon=\"http://messenger.msn.com/emoticon/1.0\" contentid=\"f.swf\" contenttype=\"P\" "
          "type=\"emoticon\" emoticon:namespaceprefix=\"Backup3\" mimetype=\"\" file=\"f.swf\" "
          "emoticon:displayname=\"Flash\" emoticon:keysequence=\":x\" />"),
        S("<item xmlns:usertile=\"http://messenger.msn.com/usertile/1.0\" contentid=\"d.png\" contenttype=\"P\" "
          "usertile:version=\"1.0\" type=\"usertile\" mimetype=\"image/png\" file=\"d.png\" usertile:default=\"false\" "
          "usertile:displayname=\"Me\" />"),
        S("<item xmlns:background=\"http://messenger.msn.com/background/1.0\" contentid=\"b.jpg\" contenttype=\"P\" "
          "background:version=\"1.0\" type=\"background\" mimetype=\"image/jpeg\" file=\"b.jpg\" "
          "background:displayname=\"Sea\" />"),
        // File names and stamps are escaped like every other value.
        S("<item contentid=\"w&amp;1.cab\" type=\"wink\" contenttype=\"P\" mimetype=\"application/messengercontent\" "
          "file=\"w&amp;1.cab\" stamp=\"a&amp;b\" />"),
        S("<item contentid=\"p.cab\" type=\"dynamicpicture\" contenttype=\"P\" mimetype=\"application/messengercontent\" "
          "file=\"p.cab\" stamp=\"pp\" />"),
        S("<item xmlns:dynamicbackground=\"http://messenger.msn.com/dynamicbackground/2.0\" contentid=\"k.cab\" "
          "type=\"dynamicbackground\" contenttype=\"P\" mimetype=\"application/messengercontent\" "
          "dynamicbackground:displayname=\"Koi &amp; Pond\" dynamicbackground:locationURL=\"\" "
          "dynamicbackground:default=\"false\" file=\"k.cab\" stamp=\"ST==\" />"),
        S("</package>"),
    };
    EXPECT_EQ(Lines(), expected);
    // The listed objects moved into the part folder.
    EXPECT_TRUE(QFileInfo::exists(part + S("w&1.cab")));
    EXPECT_FALSE(QFileInfo::exists(tmp + S("e.gif")));
    EXPECT_EQ(QDir(tmp).entryList(QDir::Files).size(), 0);
}

TEST_F(ManifestTest, UntickedTypesAndMissingFilesAreLeftOut)
{
    Add(ContentType::Emot, {S("k"), S("n"), S("here.gif"), S("image/gif"), {}, S("D")});
    core.Items[0]->append({S("k2"), S("n2"), S("removed.gif"), S("image/gif"), {}, S("D")});
    Add(ContentType::Bg, {{}, S("Sea"), S("b.jpg"), S("image/jpeg"), {}, {}});
    core.Request.types[size_t(ContentType::Bg)] = false;
    int written = 0;
    core.WriteManifest(part, written);
    EXPECT_EQ(written, 1);
    EXPECT_EQ(Lines().size(), 4);
    EXPECT_TRUE(QFileInfo::exists(tmp + S("b.jpg")));
}

TEST_F(ManifestTest, OutsideTheCodePageAndAHostileOutputNameStayWellFormed)
{
    core.Request.output = S("/out/Tom & \"Jerry\" <1>.mco");
    Add(ContentType::Emot, {S("&lt;3"), S("Smile \u263A \U0001F600 caf\u00E9 \u20AC"), S("e.gif"), S("image/gif"), {}, S("D")});
    int written = 0;
    core.WriteManifest(part, written);
    const QByteArray data = ReadFile(part + S("content.xml"));
    EXPECT_TRUE(data.contains("emoticon:namespaceprefix=\"Tom &amp; &quot;Jerry&quot; &lt;1&gt;\""));
    EXPECT_TRUE(data.contains("emoticon:displayname=\"Smile &#9786; &#128512; caf\xE9 \x80\""));
    EXPECT_EQ(EncodeManifestText(S("\u0081\u0090\u00A0\u0152")), QByteArray("&#129;&#144;\xA0\x8C"));
    // A reader of the declared encoding gets every character back.
    QXmlStreamReader xml(data);
    QString name, prefix;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("item")) {
            name = xml.attributes().value(S("emoticon:displayname")).toString();
            prefix = xml.attributes().value(S("emoticon:namespaceprefix")).toString();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(name, S("Smile \u263A \U0001F600 caf\u00E9 \u20AC"));
    EXPECT_EQ(prefix, S("Tom & \"Jerry\" <1>"));
}

TEST_F(ManifestTest, AtMost199ItemsAPartAndTheNextPartContinues)
{
    for (int i = 0; i < 150; ++i)
        Add(ContentType::Emot, {S("k%1").arg(i), S("n"), S("e%1.gif").arg(i), S("image/gif"), {}, S("D")});
    for (int i = 0; i < 100; ++i)
        Add(ContentType::Dp, {{}, S("n"), S("d%1.png").arg(i), S("image/png"), {}, {}});
    int written = 0;
    core.WriteManifest(part, written);
    EXPECT_EQ(written, 199);
    const QString part2 = env.appDir() + S("~tmp/2/");
    QDir().mkpath(part2);
    core.WriteManifest(part2, written);
    EXPECT_EQ(written, 51);
    EXPECT_TRUE(QFileInfo::exists(part + S("d48.png")));
    EXPECT_TRUE(QFileInfo::exists(part2 + S("d49.png")));
}

TEST(MimeTypeOf, KnownExtensionsExactAndLowerCase)
{
    const std::pair<const char *, const char *> known[] = {
        {".gif", "image/gif"}, {"png", "image/png"}, {".jpg", "image/jpeg"}, {".bmp", "image/bmp"}, {".tif", "image/tiff"}};
    for (const auto &[extension, mimeType] : known)
        EXPECT_EQ(MimeTypeOf(S(extension)), S(mimeType)) << extension;
    for (const char *unknown : {".PNG", ".swf", "..gif"})
        EXPECT_EQ(MimeTypeOf(S(unknown)), QString()) << unknown;
}
