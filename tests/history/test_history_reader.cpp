// The history reader: every element kind and style property, times with and without DateTime,
// encodings, cut, damaged and hostile files, and memory that stays bounded on a large file.
#include "history/HistoryReader.h"
#include "support/TestEnv.h"

#include <QBuffer>
#include <QStringDecoder>
#include <QStringEncoder>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace zorvak;
using namespace zorvak::history;
using namespace zorvak::test;

namespace {

const QByteArray kHead = "<?xml version=\"1.0\"?>\r\n<?xml-stylesheet type='text/xsl' href='MessageLog.xsl'?>\r\n";

struct TRead {
    QList<THistoryEntry> entries;
    TReadOutcome outcome;
    QString problem;
    QStringList warnings;
    QString logon;
};

TRead ReadBytes(const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    THistoryReader reader(&buffer);
    TRead r;
    THistoryEntry e;
    while (reader.Next(e))
        r.entries << e;
    EXPECT_FALSE(reader.Next(e)) << "stays at its end";
    r.outcome = reader.Outcome();
    r.problem = reader.Problem();
    r.warnings = reader.Warnings();
    r.logon = reader.LogonName();
    return r;
}

QDateTime Utc(const char *iso) { return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODateWithMs); }

} // namespace

TEST(HistoryReader, EveryKindWithItsFields)
{
    const QByteArray doc = kHead + R"(<Log FirstSessionID="7" LastSessionID="8" LogonName="me@hotmail.com" Extra="x">)"
        R"(<Message Date="1/3/2005" Time="15:02:03" DateTime="2005-03-01T14:02:03.123Z" SessionID="7" Unknown="1">)"
        R"(<From><User FriendlyName="Bob &amp; co"/></From><To><User FriendlyName="Me"/><User FriendlyName="Carol"/></To>)"
        R"(<Text Style="behavior:url(x); font-family:&quot;Comic Sans MS&quot;, serif; color:#F0a; font-weight:bold; font-style:italic; text-decoration:underline">a &lt;b&gt; &#x1F600;
line two</Text><Extra><Text>not this</Text></Extra></Message>)"
        R"(<Unknown><Message><Text>skipped</Text></Message></Unknown>)"
        R"(<Invitation DateTime="2005-03-01T14:05:00Z" SessionID="8"><From><User FriendlyName="Bob"/></From><File>a.jpg</File>)"
        R"(<Application>File transfer</Application><Text Style="color:red">Bob sends a.jpg</Text></Invitation>)"
        R"(<InvitationResponse DateTime="2005-03-01T14:05:01.5Z" SessionID="8"><From><User FriendlyName="Me"/></From><File>C:\a.jpg</File><Text>ok</Text></InvitationResponse>)"
        R"(<Join DateTime="2005-03-01T14:06:00.000Z" SessionID="8"><User FriendlyName="Dave"/><Text>Dave has joined</Text></Join>)"
        R"(<Leave DateTime="2005-03-01T14:07:00.000Z" SessionID="8"><User FriendlyName="Dave"/><Text>Dave has left</Text></Leave>)"
        "</Log>\r\n";
    const TRead r = ReadBytes(doc);
    ASSERT_EQ(r.outcome, TReadOutcome::Complete) << r.problem.toStdString();
    ASSERT_EQ(r.entries.size(), 5);
    EXPECT_EQ(r.logon, "me@hotmail.com");
    const THistoryEntry &m = r.entries[0];
    EXPECT_EQ(m.kind, TEntryKind::Message);
    EXPECT_EQ(m.time, Utc("2005-03-01T14:02:03.123Z"));
    EXPECT_FALSE(m.localTime);
    EXPECT_EQ(m.session, 7);
    EXPECT_EQ(m.from, "Bob & co");
    EXPECT_EQ(m.to, (QStringList{"Me", "Carol"}));
    EXPECT_EQ(m.text, QString::fromUtf8("a <b> \U0001F600\nline two"));
    EXPECT_EQ(m.style, (TTextStyle{"Comic Sans MS", "#ff00aa", true, true, true}));
    EXPECT_EQ(r.entries[1].kind, TEntryKind::Invitation);
    EXPECT_EQ(r.entries[1].file, "a.jpg");
    EXPECT_EQ(r.entries[1].application, "File transfer");
    EXPECT_EQ(r.entries[1].style.color, "") << "named colours are not carried over";
    EXPECT_EQ(r.entries[2].kind, TEntryKind::InvitationResponse);
    EXPECT_EQ(r.entries[2].time, Utc("2005-03-01T14:05:01.500Z"));
    EXPECT_EQ(r.entries[3].kind, TEntryKind::Join);
    EXPECT_EQ(r.entries[3].user, "Dave");
    EXPECT_TRUE(r.entries[3].from.isEmpty());
    EXPECT_EQ(r.entries[4].kind, TEntryKind::Leave);
    EXPECT_EQ(r.entries[4].text, "Dave has left");
}

TEST(HistoryReader, LocalTimesWhenDateTimeIsMissing)
{
    struct Case { const char *date, *time, *expected; };
    const Case cases[] = {
        {"3/1/2005", "2:02:03 PM", "2005-03-01T14:02:03"},   // month first with slashes
        {"25/12/2005", "12:30:00 AM", "2005-12-25T00:30:00"}, // a first number above 12 is the day
        {"01.03.2005", "23:59:59", "2005-03-01T23:59:59"},
        {"2005-03-01", "09:05", "2005-03-01T09:05:00"},
        {"2005/3/1", "\xE4\xB8\x8B\xE5\x8D\x88 2:02:03", "2005-03-01T14:02:03"},
        {"1-3-05", "7:00:00 p.m.", "2005-03-01T19:00:00"},
    };
    for (const Case &c : cases) {
        const TRead r = ReadBytes(kHead + QByteArray("<Log><Message Date=\"") + c.date + "\" Time=\"" + c.time
                                  + "\" SessionID=\"1\"><Text>x</Text></Message></Log>");
        ASSERT_EQ(r.entries.size(), 1) << c.date;
        EXPECT_TRUE(r.entries[0].localTime) << c.date;
        EXPECT_EQ(IsoTime(r.entries[0]), QString::fromLatin1(c.expected) + ".000") << c.date << " " << c.time;
    }
    const TRead none = ReadBytes(kHead + "<Log><Message><Text>x</Text></Message></Log>");
    ASSERT_EQ(none.entries.size(), 1);
    EXPECT_FALSE(none.entries[0].time.isValid());
}

TEST(HistoryReader, EncodingsAndLineEnds)
{
    const QString body = QString::fromUtf8("<Log>\r\n<Message DateTime=\"2005-03-01T14:02:03.000Z\"><Text>\xC3\xA9t\xC3\xA9 \xE4\xBD\xA0\xE5\xA5\xBD\r\nok</Text></Message>\r\n</Log>\r\n");
    QStringEncoder utf16le(QStringEncoder::Utf16LE), utf16be(QStringEncoder::Utf16BE);
    const QByteArray docs[] = {
        "\xEF\xBB\xBF" + kHead + body.toUtf8(),
        QByteArray("\xFF\xFE", 2) + QByteArray(utf16le(QString::fromUtf8("<?xml version=\"1.0\" encoding=\"UTF-16\"?>") + body)),
        QByteArray("\xFE\xFF", 2) + QByteArray(utf16be(QString::fromUtf8("<?xml version=\"1.0\" encoding=\"UTF-16\"?>") + body)),
    };
    for (const QByteArray &doc : docs) {
        const TRead r = ReadBytes(doc);
        EXPECT_EQ(r.outcome, TReadOutcome::Complete) << r.problem.toStdString();
        ASSERT_EQ(r.entries.size(), 1);
        EXPECT_EQ(r.entries[0].text, QString::fromUtf8("\xC3\xA9t\xC3\xA9 \xE4\xBD\xA0\xE5\xA5\xBD\nok"));
    }
    // Control characters in a UTF-8 file: read as U+FFFD, reported, the file read on.
    const TRead control = ReadBytes(kHead + "<Log><Message><Text>a\x01" "b</Text></Message><Message><Text>c</Text></Message></Log>");
    EXPECT_EQ(control.outcome, TReadOutcome::Complete);
    ASSERT_EQ(control.entries.size(), 2);
    EXPECT_EQ(control.entries[0].text, QString::fromUtf8("a\xEF\xBF\xBD" "b"));
    EXPECT_EQ(control.warnings.size(), 1);
    // Every one counted, wherever it falls (tabs and line breaks are no such characters).
    QByteArray many;
    for (int i = 0; i < 40; ++i)
        many += QByteArray(i % 11, 'x') + (i % 3 ? "\x1F" : "\x01") + "\t\n";
    const TRead counted = ReadBytes(kHead + "<Log><Message><Text>" + many + "</Text></Message></Log>");
    ASSERT_EQ(counted.warnings.size(), 1);
    EXPECT_TRUE(counted.warnings[0].startsWith("40 characters")) << counted.warnings[0].toStdString();
}

TEST(HistoryReader, NamesCompareButForCase)
{
    struct Case { QString name; const char *expected; bool same; };
    const Case cases[] = {
        {"Message", "Message", true}, {"MESSAGE", "Message", true}, {"message", "Message", true},
        {"Messages", "Message", false}, {"Messagf", "Message", false}, {"@", "`", false}, {"[x", "{x", false},
        {QString::fromUtf8("Me\xC5\xBF\xC5\xBF" "age"), "Message", true}, // long s folds to s, as Qt compares
    };
    for (const Case &c : cases) {
        EXPECT_EQ(NameIs(c.name, QLatin1StringView(c.expected)), c.same) << c.name.toStdString();
        EXPECT_EQ(c.name.compare(QLatin1StringView(c.expected), Qt::CaseInsensitive) == 0, c.same) << c.name.toStdString();
    }
}

TEST(HistoryReader, CutDamagedAndHostileFiles)
{
    const QByteArray two = "<Message SessionID=\"1\"><Text>one</Text></Message><Message SessionID=\"1\"><Text>two</Text></Message>";
    struct Case { const char *what; QByteArray doc; TReadOutcome outcome; int entries; };
    const Case cases[] = {
        {"cut in a text", kHead + "<Log>" + two + "<Message><Text>thr", TReadOutcome::Cut, 2},
        {"cut in a tag", kHead + "<Log>" + two + "<Mess", TReadOutcome::Cut, 2},
        {"cut before the Log", kHead.left(10), TReadOutcome::Cut, 0},
        {"empty", "", TReadOutcome::Cut, 0},
        {"damaged", kHead + "<Log>" + two + "<Message><Text>x</From></Message></Log>", TReadOutcome::Damaged, 2},
        {"entity reference", kHead + "<Log>" + two + "<Message><Text>&nbsp;</Text></Message></Log>", TReadOutcome::Damaged, 2},
        {"invalid character reference", kHead + "<Log>" + two + "<Message><Text>&#1;</Text></Message></Log>", TReadOutcome::Damaged, 2},
        {"internal entities", "<?xml version=\"1.0\"?><!DOCTYPE Log [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;\">]>"
                              "<Log><Message><Text>&b;&b;&b;</Text></Message></Log>", TReadOutcome::Refused, 0},
        {"external entity", "<?xml version=\"1.0\"?><!DOCTYPE Log SYSTEM \"file:///etc/passwd\"><Log>" + two + "</Log>",
         TReadOutcome::Refused, 0},
        {"not a history", kHead + "<html><Message/></html>", TReadOutcome::Refused, 0},
        {"not XML", "\x89PNG\r\n\x1a\n", TReadOutcome::Refused, 0},
        {"unsupported encoding", "<?xml version=\"1.0\" encoding=\"x-unknown\"?><Log>" + two + "</Log>", TReadOutcome::Refused, 0},
        {"after the Log", kHead + "<Log>" + two + "</Log><Log>" + two + "</Log>", TReadOutcome::Complete, 2},
    };
    for (const Case &c : cases) {
        const TRead r = ReadBytes(c.doc);
        EXPECT_EQ(r.outcome, c.outcome) << c.what << ": " << r.problem.toStdString();
        EXPECT_EQ(r.entries.size(), c.entries) << c.what;
        EXPECT_EQ(r.problem.isEmpty(), c.outcome == TReadOutcome::Complete) << c.what;
        for (const THistoryEntry &e : r.entries)
            EXPECT_FALSE(e.text.contains("aaaa")) << c.what;
    }
}

TEST(HistoryReader, LargeFilesInBoundedMemory)
{
    TestEnv env;
    const QString path = env.path("big.xml");
    // About 100 MB of messages, then a text of 40 MB without markup.
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kHead + "<Log>");
        QByteArray block;
        for (int i = 0; i < 1000; ++i)
            block += "<Message DateTime=\"2005-03-01T14:02:03.000Z\" SessionID=\"1\"><From><User FriendlyName=\"Bob\"/></From>"
                     "<To><User FriendlyName=\"Me\"/></To><Text Style=\"font-family:Arial; color:#000000; \">"
                     "Some ordinary line of chat, neither long nor short.</Text></Message>\r\n";
        while (f.size() < 100 * 1024 * 1024)
            f.write(block);
        f.write("<Message><Text>");
        const QByteArray filler(1024 * 1024, 'x');
        for (int i = 0; i < 40; ++i)
            f.write(filler);
        f.write("</Text></Message></Log>");
    }
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    THistoryReader reader(path);
    THistoryEntry e;
    qint64 n = 0;
    qsizetype longest = 0;
    while (reader.Next(e)) {
        ++n;
        longest = std::max(longest, e.text.size());
    }
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_GT(n, 300000);
    EXPECT_LE(longest, kMaxFieldChars);
    EXPECT_NE(reader.Outcome(), TReadOutcome::Refused) << reader.Problem().toStdString();
    // Peak resident memory grew by less than 64 MB (ru_maxrss is in kilobytes). Under
    // AddressSanitizer freed memory stays in quarantine, so the resident size tells nothing there.
#ifndef __SANITIZE_ADDRESS__
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << after.ru_maxrss << " kB";
#endif
    QFile::remove(path);
}
