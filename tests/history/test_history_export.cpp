// Finding history folders and whose they are, and the four exports read back as their readers
// read them.
#include "HistoryFixtures.h"
#include "history/HistoryExport.h"
#include "browse/FolderScan.h"
#include "history/HistoryFind.h"

#include <QDir>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::history;
using namespace zorvak::test;

namespace {

QString Id(const char *address) { return EmailToId(QString::fromUtf8(address)); }

QStringList FilesBelow(const QString &folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(folder).relativeFilePath(it.next());
    out.sort();
    return out;
}

class HistoryExport : public EnvTest {
protected:
    QString profiles, profile, history, bobFile, carolFile;
    void SetUp() override
    {
        profiles = env.path("profiles");
        profile = profiles + "/Alice";
        history = MakeHistoryFolder(profile, "My Documents", "alice");
        QDir().mkpath(profile + "/Application Data/Microsoft/MSN Messenger/" + Id("alice@hotmail.com") + "/CustomEmoticons");
        bobFile = history + "/bob" + Id("bob@msn.com") + ".xml";
        carolFile = history + "/carol12.xml";
        ASSERT_TRUE(WriteFile(bobFile, HistoryLog(
            HistoryMessage("2005-03-01T14:02:03.120Z", 1, "Alice", "Bob", "Hi &lt;b&gt;Bob&lt;/b&gt; &lt;script&gt;alert(1)&lt;/script&gt;",
                           "font-family:Arial&quot; onmouseover=&quot;x; color:#ff0000; font-weight:bold; ")
            + HistoryMessage("2005-03-01T14:03:00.000Z", 1, "Bob", "Alice", "two\r\nlines")
            + "<Join DateTime=\"2005-03-01T14:04:00.000Z\" SessionID=\"1\"><User FriendlyName=\"Dave\"/><Text>Dave has joined</Text></Join>"
            + HistoryMessage("2005-03-02T08:00:00.000Z", 2, "Bob", "Alice", "\xE4\xBD\xA0\xE5\xA5\xBD \xF0\x9F\x8E\x89"))));
        QByteArray carol = HistoryLog(HistoryMessage("2006-01-01T00:00:00.000Z", 5, "Carol", "Alice", "hey")
                                      + HistoryMessage("2006-01-01T00:01:00.000Z", 5, "Carol", "Alice", "cut here"));
        carol.chop(30);
        ASSERT_TRUE(WriteFile(carolFile, carol));
        ASSERT_TRUE(WriteFile(history + "/mallory1.xml", "<?xml version=\"1.0\"?><!DOCTYPE Log [<!ENTITY a \"x\">]><Log/>"));
    }
    THistoryExportResult Export(THistoryFormat format, const QString &out, const QString &source = QString(), int threads = 0)
    {
        THistoryExportRequest request;
        request.source = source.isEmpty() ? profiles : source;
        request.output = out;
        request.format = format;
        request.threads = threads;
        return RunHistoryExport(request);
    }
};

} // namespace

TEST(HistoryNames, AddressesRecoveredFromFolderIds)
{
    struct Case { QString name; QStringList known; QString local, id, address; };
    const QString bobLive = Id("bob2@live.fr");
    const Case cases[] = {
        {"alice.demo1596456324", {}, "alice.demo", "1596456324", "alice.demo@hotmail.com"},
        {"bob2" + bobLive, {}, "bob2", bobLive, "bob2@live.fr"},                  // a local part ending in a digit
        {"eve" + Id("eve@example.org"), {}, "eve", Id("eve@example.org"), ""},    // not a common domain
        {"eve" + Id("eve@example.org"), {Id("eve@example.org")}, "eve", Id("eve@example.org"), ""},
        {"me@example.org", {}, "me", Id("me@example.org"), "me@example.org"},     // older versions: the address
        {"nodigits", {}, "nodigits", "", ""},
    };
    for (const Case &c : cases) {
        const TNameParts p = SplitName(c.name, c.known);
        EXPECT_EQ(p.localPart, c.local) << c.name.toStdString();
        EXPECT_EQ(p.id, c.id) << c.name.toStdString();
        EXPECT_EQ(p.address, c.address) << c.name.toStdString();
    }
    EXPECT_TRUE(CommonMailDomains().contains("hotmail.co.uk"));
    EXPECT_TRUE(CommonMailDomains().contains("passport.com"));
}

TEST_F(HistoryExport, FoundFromEveryKindOfPath)
{
    // A Vista profile beside it, with a history but no Messenger folder.
    const QString vista = MakeHistoryFolder(profiles + "/Zoe", "Documents", "zoe");
    ASSERT_TRUE(WriteFile(vista + "/x1.xml", HistoryLog("")));
    const QString user = QFileInfo(history).absolutePath();
    const QString received = QFileInfo(user).absolutePath();
    // Each also as a path ending with a separator, as shells complete folder names.
    for (const QString &path : {profile, received, user, history, history + "/", user + "/"}) {
        const std::vector<THistoryFolder> found = FindHistory(path);
        ASSERT_EQ(found.size(), 1u) << path.toStdString();
        const THistoryFolder &f = found.front();
        EXPECT_EQ(f.folder, history);
        EXPECT_EQ(f.userAddress, "alice@hotmail.com");
        EXPECT_EQ(f.messengerFolder, profile + "/Application Data/Microsoft/MSN Messenger/" + Id("alice@hotmail.com"));
        ASSERT_EQ(f.files.size(), 3);
        EXPECT_EQ(f.files[0].contactAddress, "bob@msn.com");
        EXPECT_EQ(f.files[1].contact, "carol12");
        EXPECT_TRUE(f.files[1].contactAddress.isEmpty());
    }
    const std::vector<THistoryFolder> all = FindHistory(profiles);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].profile, profiles + "/Zoe");
    EXPECT_TRUE(all[1].messengerFolder.isEmpty());
    const std::vector<THistoryFolder> one = FindHistory(bobFile);
    ASSERT_EQ(one.size(), 1u);
    ASSERT_EQ(one.front().files.size(), 1);
    EXPECT_EQ(one.front().files[0].path, bobFile);
    EXPECT_TRUE(FindHistory(env.path("nothing")).empty());

    const TConversationSummary s = Summarize(one.front().files[0]);
    EXPECT_EQ(s.messages, 3);
    EXPECT_EQ(s.entries, 4);
    EXPECT_EQ(s.sessions, 2);
    EXPECT_EQ(PlainTime(s.first), "2005-03-01 14:02:03");
    EXPECT_EQ(PlainTime(s.last), "2005-03-02 08:00:00");
}

TEST_F(HistoryExport, JsonInFileOrder)
{
    const QString out = env.path("out");
    const THistoryExportResult r = Export(THistoryFormat::Json, out);
    EXPECT_FALSE(r.Ok()) << "the DTD file is refused";
    EXPECT_EQ(r.Unreadable(), 1);
    ASSERT_EQ(r.conversations.size(), 3);
    EXPECT_EQ(r.conversations[1].outcome, TReadOutcome::Cut);
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(ReadFile(out + "/history.json"), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonArray conversations = doc.object().value("conversations").toArray();
    ASSERT_EQ(conversations.size(), 2) << "the cut file with its entries, the refused one left out";
    const QJsonObject bob = conversations[0].toObject();
    EXPECT_EQ(bob.value("file").toString(), "Alice/My Documents/My Received Files/" + QFileInfo(QFileInfo(history).absolutePath()).fileName()
                                                + "/History/" + QFileInfo(bobFile).fileName());
    EXPECT_EQ(bob.value("contact").toString(), QFileInfo(bobFile).completeBaseName());
    EXPECT_EQ(bob.value("contactAddress").toString(), "bob@msn.com");
    EXPECT_TRUE(conversations[1].toObject().value("contactAddress").isNull());
    const QJsonArray messages = bob.value("messages").toArray();
    ASSERT_EQ(messages.size(), 4);
    EXPECT_EQ(messages[0].toObject(), (QJsonObject{{"kind", "message"}, {"time", "2005-03-01T14:02:03.120Z"}, {"session", 1},
                                                    {"from", "Alice"}, {"to", QJsonArray{"Bob"}},
                                                    {"text", "Hi <b>Bob</b> <script>alert(1)</script>"}}));
    EXPECT_EQ(messages[1].toObject().value("text").toString(), "two\nlines");
    EXPECT_EQ(messages[2].toObject().value("kind").toString(), "join");
    EXPECT_TRUE(messages[2].toObject().value("from").isNull());
    EXPECT_EQ(messages[3].toObject().value("text").toString(), QString::fromUtf8("\xE4\xBD\xA0\xE5\xA5\xBD \xF0\x9F\x8E\x89"));
}

TEST_F(HistoryExport, PidginLogsReadAsPidginReadsThem)
{
    const QString out = env.path("purple");
    // An existing log of the same second is kept: the session goes to the next free second.
    const QString account = out + "/msn/alice@hotmail.com/bob@msn.com/";
    ASSERT_TRUE(WriteFile(account + "2005-03-01.140203+0000UTC.html", "theirs"));
    ASSERT_TRUE(WriteFile(out + "/msn/other/x.html", "theirs too"));
    const THistoryExportResult r = Export(THistoryFormat::Pidgin, out);
    EXPECT_TRUE(r.merged);
    EXPECT_EQ(ReadFile(account + "2005-03-01.140203+0000UTC.html"), "theirs");
    EXPECT_FALSE(QFileInfo::exists(out + "/.zorvak-history-export")) << "nothing of ours in a folder that is not ours";
    const QStringList sessions = QDir(account).entryList({"*.html"}, QDir::Files, QDir::Name);
    ASSERT_EQ(sessions, (QStringList{"2005-03-01.140203+0000UTC.html", "2005-03-01.140204+0000UTC.html",
                                     "2005-03-02.080000+0000UTC.html"}));
    const QByteArray log = ReadFile(account + sessions[1]);
    // Pidgin drops everything up to the first line break: that line is the whole header.
    const qsizetype firstBreak = log.indexOf('\n');
    EXPECT_TRUE(log.left(firstBreak).startsWith("<html><head>"));
    EXPECT_TRUE(log.left(firstBreak).contains("<title>Conversation with bob@msn.com at Tue 01 Mar 2005 14:02:03 UTC on alice@hotmail.com (msn)</title>"));
    const QList<QByteArray> lines = log.mid(firstBreak + 1).trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].contains("(14:02:03)")) << lines[0].constData();
    EXPECT_TRUE(lines[0].contains("<font face=\"Arial onmouseoverx\" color=\"#ff0000\"><b>Hi &lt;b&gt;Bob&lt;/b&gt; &lt;script&gt;"));
    EXPECT_TRUE(lines[1].contains("two<br/>lines"));
    EXPECT_TRUE(lines[2].contains("(14:04:00)</font><b> Dave has joined</b>"));
    EXPECT_EQ(lines[3], "</body></html>");
    // The contact without an address is named by its file; the account by --account when given.
    EXPECT_TRUE(QFileInfo::exists(out + "/msn/alice@hotmail.com/carol12/2006-01-01.000000+0000UTC.html"));
    EXPECT_EQ(PidginEscape(".."), "%2e%2e");
    EXPECT_EQ(PidginEscape("a/b c\xC3\xA9"), "a%2fb%20c%c3%a9");
}

TEST_F(HistoryExport, HtmlAndTextPages)
{
    const QString html = env.path("html");
    Export(THistoryFormat::Html, html);
    EXPECT_EQ(FilesBelow(html), (QStringList{".zorvak-history-export", QFileInfo(bobFile).completeBaseName() + ".html", "carol12.html", "index.html"}));
    const QRegularExpression event("<[^>]*\\son[a-z]+\\s*=", QRegularExpression::CaseInsensitiveOption);
    for (const QString &page : QDir(html).entryList({"*.html"})) {
        const QString text = QString::fromUtf8(ReadFile(html + "/" + page));
        EXPECT_FALSE(text.contains("<script", Qt::CaseInsensitive)) << page.toStdString();
        EXPECT_FALSE(event.match(text).hasMatch()) << page.toStdString();
    }
    const QString bobPage = QString::fromUtf8(ReadFile(html + "/" + QFileInfo(bobFile).completeBaseName() + ".html"));
    EXPECT_TRUE(bobPage.contains("<span style=\"font-family:&#39;Arial onmouseoverx&#39;;color:#ff0000;font-weight:bold;\">Hi &lt;b&gt;Bob"));
    const QString index = QString::fromUtf8(ReadFile(html + "/index.html"));
    EXPECT_TRUE(index.contains("bob@msn.com</td><td>3</td><td>2005-03-01 14:02:03</td><td>2005-03-02 08:00:00</td>"));
    EXPECT_TRUE(index.contains("mallory1")) << "the refused file is listed with its problem";

    const QString text = env.path("text");
    Export(THistoryFormat::Text, text);
    EXPECT_EQ(QString::fromUtf8(ReadFile(text + "/" + QFileInfo(bobFile).completeBaseName() + ".txt")),
              QString::fromUtf8("[2005-03-01 14:02:03] Alice: Hi <b>Bob</b> <script>alert(1)</script>\n"
                                "[2005-03-01 14:03:00] Bob: two\nlines\n"
                                "[2005-03-01 14:04:00] Dave has joined\n"
                                "[2005-03-02 08:00:00] Bob: \xE4\xBD\xA0\xE5\xA5\xBD \xF0\x9F\x8E\x89\n"));
}

TEST_F(HistoryExport, SideBySideWritesWhatOneThreadWrites)
{
    // More conversations than threads; one whose JSON is too large to wait in memory; two files
    // of the same contact (the older naming too), whose sessions meet in one Pidgin folder.
    QByteArray big;
    for (int i = 0; i < 4000; ++i)
        big += HistoryMessage(QByteArray("2007-05-01T10:").append(QByteArray::number(10 + i / 100)).append(':')
                                  .append(QByteArray::number(10 + i % 50)).append(".000Z").constData(),
                              1 + i / 700, "Alice", "Zed", "a longer line of text that is written four thousand times &amp; more");
    ASSERT_TRUE(WriteFile(history + "/zed" + Id("zed@hotmail.com") + ".xml", HistoryLog(big)));
    const QByteArray sameSecond = HistoryMessage("2005-03-01T14:02:03.500Z", 9, "Bob", "Alice", "same second");
    ASSERT_TRUE(WriteFile(history + "/bob@msn.com.xml", HistoryLog(sameSecond)));
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(WriteFile(history + QString("/c%1x%2.xml").arg(i).arg(1000 + i),
                              HistoryLog(HistoryMessage("2008-01-01T00:00:00.000Z", i, "C", "Alice", "hi"))));
    for (THistoryFormat format : {THistoryFormat::Json, THistoryFormat::Text, THistoryFormat::Pidgin, THistoryFormat::Html}) {
        const QString name = FormatName(format);
        const QString one = env.path("one-" + name), many = env.path("many-" + name);
        const THistoryExportResult a = Export(format, one, QString(), 1);
        const THistoryExportResult b = Export(format, many, QString(), 4);
        EXPECT_EQ(a.failures, b.failures) << name.toStdString();
        ASSERT_EQ(a.conversations.size(), 11) << name.toStdString();
        ASSERT_EQ(a.conversations.size(), b.conversations.size());
        for (qsizetype i = 0; i < a.conversations.size(); ++i) {
            EXPECT_EQ(a.conversations[i].file, b.conversations[i].file);
            EXPECT_EQ(a.conversations[i].entries, b.conversations[i].entries);
            EXPECT_EQ(a.conversations[i].written, b.conversations[i].written);
        }
        const QStringList files = FilesBelow(one);
        ASSERT_EQ(files, FilesBelow(many)) << name.toStdString();
        for (const QString &file : files) {
            EXPECT_FALSE(file.endsWith(".part")) << file.toStdString();
            EXPECT_EQ(ReadFile(one + "/" + file), ReadFile(many + "/" + file)) << file.toStdString();
        }
        if (format == THistoryFormat::Json) {
            EXPECT_GT(ReadFile(one + "/history.json").size(), 1 << 19);
            const QJsonArray conversations = QJsonDocument::fromJson(ReadFile(many + "/history.json")).object().value("conversations").toArray();
            ASSERT_EQ(conversations.size(), 10);
            EXPECT_EQ(conversations[9].toObject().value("messages").toArray().size(), 4000);
        }
        if (format == THistoryFormat::Pidgin) {
            EXPECT_TRUE(files.contains("msn/alice@hotmail.com/bob@msn.com/2005-03-01.140204+0000UTC.html"));
        }
    }
}

TEST_F(HistoryExport, OutputFolderRules)
{
    const QString out = env.path("out");
    ASSERT_TRUE(WriteFile(out + "/mine.txt", "x"));
    EXPECT_TRUE(ErrorOf([&] { Export(THistoryFormat::Json, out); }).contains("not empty"));
    EXPECT_TRUE(ErrorOf([&] { Export(THistoryFormat::Text, history + "/out"); }).contains("inside"));
    EXPECT_TRUE(ErrorOf([&] { Export(THistoryFormat::Pidgin, profile, history); }).contains("hold"));
    EXPECT_TRUE(ErrorOf([&] { Export(THistoryFormat::Json, env.path("o2"), env.path("none")); }).contains("No Messenger history"));
    EXPECT_FALSE(QFileInfo::exists(history + "/out"));

    // An earlier export of ours is replaced; what someone added there is kept.
    const QString again = env.path("again");
    Export(THistoryFormat::Text, again);
    ASSERT_TRUE(WriteFile(again + "/notes.md", "mine"));
    QFile::remove(carolFile);
    Export(THistoryFormat::Text, again);
    EXPECT_EQ(FilesBelow(again), (QStringList{".zorvak-history-export", QFileInfo(bobFile).completeBaseName() + ".txt", "notes.md"}));
}

TEST_F(HistoryExport, ScanShowsHistoryUnderItsUser)
{
    const QString zoe = MakeHistoryFolder(profiles + "/Zoe", "Documents", "zoe");
    ASSERT_TRUE(WriteFile(zoe + "/x1.xml", HistoryLog("")));
    TScanOptions o;
    o.appDatDir = "Application Data/";
    o.msnDatDir = "Microsoft/MSN Messenger/";
    o.hideEmpty = false;
    o.history = true;
    TFolderForest forest;
    ScanFolders(forest, 0, profiles, o);
    ASSERT_EQ(forest.size(), 2u);
    const TFolderNode &alice = forest[0];
    ASSERT_EQ(alice.children.size(), 2u);
    EXPECT_EQ(alice.children[0].caption, Id("alice@hotmail.com"));
    EXPECT_EQ(alice.children[0].children.back().caption, "History");
    EXPECT_EQ(alice.children[0].children.back().folder, history + "/");
    EXPECT_EQ(alice.children[0].children.back().hint, "alice@hotmail.com");
    EXPECT_EQ(alice.children[1].caption, "My Received Files");
    // No Messenger folder in Zoe's profile: the history hangs under the Windows user.
    ASSERT_EQ(forest[1].children.size(), 2u);
    EXPECT_EQ(forest[1].children[0].caption, "History (zoe@hotmail.com)");

    o.history = false;
    TFolderForest without;
    ScanFolders(without, 0, profiles, o);
    EXPECT_EQ(without.size(), 1u);
    EXPECT_EQ(without[0].children.size(), 1u);
}
