// zorvak-cli history on the demo profile: the listing, the four exports and the exit statuses.
#include "support/Programs.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {

class HistoryCli : public DemoProfileTest {
protected:
    QString history;
    void SetUp() override
    {
        DemoProfileTest::SetUp();
        history = demo + "/Documents and Settings/Alice/My Documents/My Received Files/alice.demo" + kAliceId + "/History";
    }
    static TProgramRun Cli(const QStringList &args) { return RunCli(QStringList{"history"} + args); }
};

} // namespace

TEST_F(HistoryCli, ListsAliceConversations)
{
    const TProgramRun list = Cli({"list", demo});
    ASSERT_EQ(list.code, 0) << list.err.toStdString();
    const QStringList lines = list.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << list.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith("bob.demo3225867861\tbob.demo@hotmail.com\t4\t2005-03-01T14:02:03.120Z\t2005-03-02T09:16:05.000Z\t"));
    EXPECT_TRUE(lines[1].contains("\tcarol.demo@live.fr\t2\t2006-07-14T20:00:00.000Z\t2006-07-14T20:05:00.000Z\t")) << lines[1].toStdString();
    EXPECT_TRUE(list.err.contains("warning: the file ends early")) << list.err.toStdString();

    const QJsonObject json = JsonObjectOf(Cli({"list", history, "--json"}).out);
    const QJsonObject folder = json.value("histories").toArray().at(0).toObject();
    EXPECT_EQ(folder.value("userAddress").toString(), kAliceEmail);
    EXPECT_EQ(folder.value("messengerFolder").toString(), alice);
    EXPECT_EQ(folder.value("conversations").toArray().at(1).toObject().value("outcome").toString(), "cut");
    EXPECT_TRUE(json.value("ok").toBool());
}

TEST_F(HistoryCli, ExportsEveryFormat)
{
    const TProgramRun pidgin = Cli({"export", demo, env.path("pidgin"), "--format", "pidgin"});
    ASSERT_EQ(pidgin.code, 0) << pidgin.err.toStdString();
    const QString account = env.path("pidgin") + "/msn/alice.demo@hotmail.com/";
    EXPECT_EQ(QDir(account + "bob.demo@hotmail.com").entryList(QDir::Files),
              (QStringList{"2005-03-01.140203+0000UTC.html", "2005-03-02.091500+0000UTC.html"}));
    EXPECT_EQ(QDir(account + "carol.demo@live.fr").entryList(QDir::Files), QStringList{"2006-07-14.200000+0000UTC.html"});
    const TProgramRun other = Cli({"export", history, env.path("pidgin2"), "--format=pidgin", "--account", "Me@Example.org"});
    EXPECT_EQ(other.code, 0);
    EXPECT_TRUE(QFileInfo::exists(env.path("pidgin2") + "/msn/me@example.org/bob.demo@hotmail.com"));

    for (const char *format : {"json", "text", "html"}) {
        const QString out = env.path(format);
        const TProgramRun run = Cli({"export", demo, out, "--format", format});
        EXPECT_EQ(run.code, 0) << format << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("ends early")) << format;
        for (const QString &line : run.out.split('\n', Qt::SkipEmptyParts))
            EXPECT_TRUE(QFileInfo(line).isFile()) << line.toStdString();
    }
    const QString text = QString::fromUtf8(ReadFile(env.path("text") + "/" + QDir(env.path("text")).entryList({"carol*"}).value(0)));
    EXPECT_TRUE(text.contains(QString::fromUtf8("[2006-07-14 20:00:00] Carol \u2600: Bonsoir Alice ! \u041f\u0440\u0438\u0432\u0435\u0442! \u4f60\u597d \U0001F389\n")))
        << text.toStdString();
    EXPECT_TRUE(QFileInfo::exists(env.path("html") + "/index.html"));
}

TEST_F(HistoryCli, ExitStatuses)
{
    // A refused file among good ones: the others are written, the status is 1.
    const QString copy = env.path("copy/History");
    QDir().mkpath(copy);
    for (const QString &name : QDir(history).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(history + "/" + name, copy + "/" + name));
    ASSERT_TRUE(WriteFile(copy + "/evil1.xml", "<?xml version=\"1.0\"?><!DOCTYPE Log [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><Log>&x;</Log>"));
    const TProgramRun run = Cli({"export", copy, env.path("out"), "--format", "json"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains("evil1.xml: the file holds a document type declaration")) << run.err.toStdString();
    EXPECT_TRUE(ReadFile(env.path("out/history.json")).contains("bob.demo@hotmail.com"));
    EXPECT_FALSE(ReadFile(env.path("out/history.json")).contains("root:"));
    EXPECT_EQ(Cli({"list", copy}).code, 1);

    EXPECT_EQ(Cli({"export", demo, env.path("o1")}).code, 2) << "no --format";
    EXPECT_EQ(Cli({"export", demo, env.path("o1"), "--format", "pdf"}).code, 2);
    EXPECT_EQ(Cli({"show", demo}).code, 2);
    EXPECT_EQ(Cli({"list", env.path("nothing-here")}).code, 1);
    EXPECT_EQ(Cli({"export", demo, history + "/out", "--format", "text"}).code, 1);
    EXPECT_FALSE(QFileInfo::exists(history + "/out"));
}
