// The --json forms of zorvak-cli over the demo profile: the same content as the tab-separated
// lines, as one document a script can parse; and the backup's progress on a terminal.
#include "support/Programs.h"

#include <QJsonArray>
#include <functional>

using namespace zorvak::test;

namespace {

using Result = TProgramRun;

Result Cli(const QStringList &args) { return RunCli(args); }

QJsonObject Document(const Result &r) { return JsonObjectOf(r.out); }

class DemoJson : public DemoProfileTest {
protected:
    QStringList BackupArgs(const QString &out) const
    {
        return {"backup", alice, "--email", kAliceEmail, "--password", kDemoPassword, "--out", out};
    }
};

} // namespace

TEST_F(DemoJson, ScanTreeAsTheLinesShowIt)
{
    const Result lines = Cli({"scan", "--appdata", appData});
    ASSERT_EQ(lines.code, 0) << lines.err.toStdString();
    const Result json = Cli({"scan", "--appdata", appData, "--json"});
    ASSERT_EQ(json.code, 0) << json.err.toStdString();
    // The document written back as the lines (depth as tabs) is the tab-separated output.
    QString rebuilt;
    int nodes = 0;
    std::function<void(const QJsonArray &, int)> walk = [&](const QJsonArray &list, int depth) {
        for (const QJsonValue &v : list) {
            const QJsonObject n = v.toObject();
            ASSERT_TRUE(n.value("icon").isDouble());
            rebuilt += QString(depth, '\t') + n.value("caption").toString() + '\t'
                       + QString::number(n.value("icon").toInt()) + '\t' + n.value("folder").toString() + '\n';
            ++nodes;
            walk(n.value("children").toArray(), depth + 1);
        }
    };
    walk(Document(json).value("folders").toArray(), 0);
    EXPECT_GT(nodes, 10);
    EXPECT_EQ(rebuilt, lines.out);

    // Nothing found: an empty list, and still the failure status and its message.
    const Result none = Cli({"scan", "--json", "--docset", env.path("nothing"), "--appdata", "Application Data"});
    EXPECT_EQ(none.code, 1);
    EXPECT_EQ(Document(none).value("folders").toArray().size(), 0);
    EXPECT_TRUE(none.err.contains("no Messenger data folder found"));
}

TEST_F(DemoJson, BackupAndItsCabinetListing)
{
    const QString first = env.path("first.mco");
    const Result lines = Cli(BackupArgs(first));
    ASSERT_EQ(lines.code, 0) << lines.err.toStdString();
    const QString second = env.path("second.mco");
    const Result json = Cli(BackupArgs(second) << "--json");
    ASSERT_EQ(json.code, 0) << json.err.toStdString();
    // The warnings stay on standard error, the same in both forms.
    EXPECT_EQ(json.err, lines.err);
    const QJsonObject backup = Document(json);
    const QJsonArray packages = backup.value("packages").toArray();
    ASSERT_EQ(packages.size(), 1) << json.out.toStdString();
    EXPECT_EQ(packages.at(0).toObject().value("file").toString(), second);
    EXPECT_EQ(QString::number(packages.at(0).toObject().value("items").toInt()),
              lines.out.section('\t', 1).trimmed());
    EXPECT_EQ(backup.value("failed").toArray().size(), 0);

    // cab list: the same names, sizes and times as the lines.
    const Result listed = Cli({"cab", "list", second});
    ASSERT_EQ(listed.code, 0);
    const Result listedJson = Cli({"cab", "list", "--json", second});
    ASSERT_EQ(listedJson.code, 0) << listedJson.err.toStdString();
    const QJsonObject cabinet = Document(listedJson);
    EXPECT_EQ(cabinet.value("cabinet").toString(), second);
    QString rebuilt;
    for (const QJsonValue &v : cabinet.value("files").toArray()) {
        const QJsonObject f = v.toObject();
        rebuilt += f.value("name").toString() + '\t' + QString::number(f.value("size").toInt()) + '\t'
                   + f.value("time").toString() + '\n';
    }
    EXPECT_EQ(rebuilt, listed.out);
    EXPECT_TRUE(rebuilt.contains("content.xml\t"));
    EXPECT_EQ(Cli({"cab", "list", "--json", env.path("none.mco")}).code, 1);
    EXPECT_EQ(Cli({"cab", "test", "--json", second}).code, 2) << "only list takes --json";

    // A backup that cannot write its package: a failure, reported in the document too.
    const Result failed = Cli(BackupArgs(env.path("missing/folder/x.mco")) << "--json");
    EXPECT_EQ(failed.code, 1);
    const QJsonObject failedDoc = Document(failed);
    EXPECT_EQ(failedDoc.value("packages").toArray().size(), 0);
    EXPECT_EQ(failedDoc.value("failed").toArray().size(), 1) << failed.out.toStdString() << failed.err.toStdString();
}

TEST_F(DemoJson, BackupShowsItsProgressOnATerminalOnly)
{
    const Result plain = Cli(BackupArgs(env.path("plain.mco")));
    ASSERT_EQ(plain.code, 0);
    EXPECT_FALSE(plain.err.contains('\r'));
    const int items = plain.out.section('\t', 1).trimmed().toInt();
    ASSERT_GT(items, 0);
    if (!HasTerminalRunner())
        GTEST_SKIP() << "no 'script' to give the program a terminal";
    const Result shown = RunOnTerminal(QStringList{CliProgram()} + BackupArgs(env.path("shown.mco")));
    ASSERT_EQ(shown.code, 0) << shown.out.toStdString();
    EXPECT_TRUE(shown.out.contains(QStringLiteral("\r%1/%1 shown.mco\x1b[K").arg(items))) << shown.out.toStdString();
    // The package line comes after the cleared progress, at the start of its own line.
    EXPECT_TRUE(shown.out.contains("\r\x1b[K" + env.path("shown.mco") + "\t")) << shown.out.toStdString();
}
