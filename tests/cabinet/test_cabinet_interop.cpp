// Our cabinets against four independent readers (cabextract, gcab, 7z, bsdtar), and cabinets made
// by gcab read by us. A missing tool skips locally but fails when CI is set.
#include "cabinet/cabfiles.h"
#include "CabTestUtil.h"

#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {

using Files = QMap<QString, QByteArray>; // path inside the cabinet ('/') -> bytes

struct Tool {
    const char *name;
    // arguments of the listing and of the extraction; %C = cabinet, %O = output folder
    QStringList list;
    QStringList extract;
};

const QList<Tool> &Tools()
{
    static const QList<Tool> tools = {
        {"cabextract", {QStringLiteral("-l"), QStringLiteral("%C")}, {QStringLiteral("-q"), QStringLiteral("-d"), QStringLiteral("%O"), QStringLiteral("%C")}},
        {"gcab", {QStringLiteral("-t"), QStringLiteral("%C")}, {QStringLiteral("-x"), QStringLiteral("-C"), QStringLiteral("%O"), QStringLiteral("%C")}},
        {"7z", {QStringLiteral("l"), QStringLiteral("-slt"), QStringLiteral("%C")}, {QStringLiteral("x"), QStringLiteral("-y"), QStringLiteral("-o%O"), QStringLiteral("%C")}},
        {"bsdtar", {QStringLiteral("-tf"), QStringLiteral("%C")}, {QStringLiteral("-xf"), QStringLiteral("%C"), QStringLiteral("-C"), QStringLiteral("%O")}},
    };
    return tools;
}

// Runs a tool; the exit code, standard output in `out`.
int RunTool(const QString &program, QStringList args, const QString &cabinet, const QString &outDir, QByteArray *out)
{
    for (QString &a : args)
        a.replace(QLatin1String("%C"), cabinet).replace(QLatin1String("%O"), outDir);
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000))
        return -1;
    if (out)
        *out = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Names from each tool's listing, with '/' as separator.
QStringList ParseListing(const char *tool, const QByteArray &output)
{
    QStringList names;
    const QList<QByteArray> lines = output.split('\n');
    const QByteArray t(tool);
    bool body = false;
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (t == "cabextract") {
            if (line.startsWith("-----------+")) {
                body = true;
                continue;
            }
            const int bar = line.lastIndexOf(" | ");
            if (body && bar > 0)
                names << QString::fromUtf8(line.mid(bar + 3));
        } else if (t == "7z") {
            if (line.startsWith("----------"))
                body = true;
            else if (body && line.startsWith("Path = "))
                names << QString::fromUtf8(line.mid(7));
        } else if (!line.isEmpty()) {
            names << QString::fromUtf8(line);
        }
    }
    for (QString &n : names)
        n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    names.sort();
    return names;
}

Files Tree(const QString &folder)
{
    Files out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        out.insert(QDir(folder).relativeFilePath(f), ReadFile(f));
    }
    return out;
}

class Interop : public EnvTest {
protected:
    void SetUp() override
    {
        for (const Tool &t : Tools()) {
            const QString path = QStandardPaths::findExecutable(QLatin1String(t.name));
            if (path.isEmpty()) {
                if (!qEnvironmentVariableIsEmpty("CI"))
                    FAIL() << t.name << " is missing (CI installs cabextract, gcab, p7zip-full, libarchive-tools)";
                GTEST_SKIP() << t.name << " is not installed";
            }
        }
    }

    // Writes the set under src/<set>/ and builds the cabinet; returns the expected extraction.
    Files Build(const QString &cabinet, const QString &set, const QList<QPair<QString, QByteArray>> &files,
                const QString &relPath, TCompressionType type, TLZXMemory memory)
    {
        TCABFile cab;
        cab.CABFile = cabinet;
        cab.CompressionType = type;
        cab.LZXMemory = memory;
        Files expected;
        for (const auto &f : files) {
            const QString path = env.path(QStringLiteral("src/%1/%2").arg(set, f.first));
            if (!QFile::exists(path))
                WriteFile(path, f.second);
            TCABFileEntry &e = cab.CABFileContents.Add();
            e.Name = path;
            e.RelPath = relPath;
            QString inside = relPath;
            if (!inside.isEmpty() && !inside.endsWith(QLatin1Char('/')))
                inside += QLatin1Char('/');
            expected.insert(inside + f.first, f.second);
        }
        cab.CreateCabinet();
        return expected;
    }
};

TEST_F(Interop, EveryReaderListsAndExtractsOurCabinetsByteForByte)
{
    QList<QPair<QString, QByteArray>> many;
    for (int i = 0; i < 120; ++i)
        many.push_back({QStringLiteral("item%1.dat").arg(i, 3, 10, QLatin1Char('0')),
                        i % 3 ? TextData(i * 37, quint32(i)) : RandomData(i * 11, quint32(i))});
    const QList<QPair<QString, QByteArray>> big = {
        {QStringLiteral("a.txt"), TextData(700000, 1)},
        {QStringLiteral("b.jpg"), RandomData(500000, 2)},
        {QStringLiteral("c.bmp"), TextData(1100000, 3) + QByteArray(200000, '\0')},
        {QStringLiteral("d.txt"), TextData(40000, 4)},
    };
    struct Set {
        const char *name;
        QList<QPair<QString, QByteArray>> files;
        QString relPath;
    };
    const QList<Set> sets = {
        {"one", {{QStringLiteral("content.xml"), TextData(50000, 5)}}, QString()},
        {"empty", {{QStringLiteral("empty.txt"), QByteArray()}}, QString()},
        {"many", many, QString()},
        {"folders", big, QString()},
        {"relpath", {{QStringLiteral("x.png"), RandomData(3000, 6)}, {QStringLiteral("e"), QByteArray()},
                     {QStringLiteral("y.txt"), TextData(90000, 7)}}, QStringLiteral("sub/dir")},
    };
    struct Config { const char *name; TCompressionType type; TLZXMemory memory; };
    const QList<Config> configs = {{"none", typNone, lzxLowest}, {"mszip", typMSZIP, lzxLowest},
                                   {"lzx15", typLZX, lzxLowest}, {"lzx16", typLZX, lzxLower},
                                   {"lzx17", typLZX, lzxLow}, {"lzx18", typLZX, lzxMedium},
                                   {"lzx19", typLZX, lzxHigh}, {"lzx20", typLZX, lzxHigher},
                                   {"lzx21", typLZX, lzxHighest}};
    for (const Config &c : configs) {
        for (const Set &s : sets) {
            const QString id = QStringLiteral("%1-%2").arg(QLatin1String(c.name), QLatin1String(s.name));
            const QString cabinet = env.path(id + QStringLiteral(".cab"));
            const Files expected = Build(cabinet, QLatin1String(s.name), s.files, s.relPath, c.type, c.memory);
            QStringList names = expected.keys();
            names.sort();
            for (const Tool &t : Tools()) {
                const QString what = id + QLatin1Char(' ') + QLatin1String(t.name);
                QByteArray listing;
                EXPECT_EQ(RunTool(QLatin1String(t.name), t.list, cabinet, QString(), &listing), 0) << qPrintable(what);
                EXPECT_EQ(ParseListing(t.name, listing), names) << qPrintable(what);
                const QString out = env.path(QStringLiteral("out/") + id + QLatin1Char('-') + QLatin1String(t.name));
                QDir().mkpath(out);
                EXPECT_EQ(RunTool(QLatin1String(t.name), t.extract, cabinet, out, nullptr), 0) << qPrintable(what);
                EXPECT_TRUE(Tree(out) == expected) << qPrintable(what);
                QDir(out).removeRecursively();
            }
            if (QLatin1String(s.name) == QLatin1String("folders")) {
                QByteArray slt;
                RunTool(QStringLiteral("7z"), {QStringLiteral("l"), QStringLiteral("-slt"), QStringLiteral("%C")}, cabinet, QString(), &slt);
                EXPECT_TRUE(slt.contains("Blocks = 4")) << qPrintable(id); // a | b | c | d: four folders
            }
        }
    }
}

TEST_F(Interop, CabinetsMadeByGcabReadBack)
{
    QList<QPair<QString, QByteArray>> files = {{QStringLiteral("content.xml"), TextData(70000, 8)},
                                               {QStringLiteral("pic.png"), RandomData(40000, 9)},
                                               {QStringLiteral("empty.txt"), QByteArray()}};
    const QString src = env.path(QStringLiteral("gsrc"));
    QStringList names;
    for (const auto &f : files) {
        WriteFile(src + QLatin1Char('/') + f.first, f.second);
        names << f.first;
    }
    for (const QStringList &mode : {QStringList{QStringLiteral("-c")}, QStringList{QStringLiteral("-c"), QStringLiteral("-z")}}) {
        const QString cabinet = env.path(QStringLiteral("gcab%1.cab").arg(mode.size()));
        QProcess p;
        p.setWorkingDirectory(src);
        p.start(QStringLiteral("gcab"), mode + QStringList{cabinet} + names);
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0);

        TCABFile cab;
        cab.CABFile = cabinet;
        cab.ListContents();
        ASSERT_EQ(cab.CABFileContents.Count(), 3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(cab.CABFileContents[i].Name, files[i].first);
            EXPECT_EQ(cab.CABFileContents[i].Size, files[i].second.size());
            EXPECT_EQ(cab.CABFileContents[i].DateTime.date(), QFileInfo(src + QLatin1Char('/') + files[i].first).lastModified().date());
        }
        cab.TargetPath = env.path(QStringLiteral("gout%1").arg(mode.size()));
        ASSERT_TRUE(cab.ExtractAll()) << qPrintable(cab.LastError());
        for (const auto &f : files)
            EXPECT_EQ(ReadFile(cab.TargetPath + QLatin1Char('/') + f.first), f.second);
    }
}

} // namespace

namespace {

// zorvak-cli cab: output compared as text, exit codes as documented.
class CabCli : public EnvTest {
protected:
    int Cli(const QStringList &args, QByteArray *out = nullptr)
    {
        QProcess p;
        p.start(QStringLiteral(ZORVAK_CLI_PATH), QStringList{QStringLiteral("cab")} + args);
        if (!p.waitForFinished(120000))
            return -1;
        if (out)
            *out = p.readAllStandardOutput();
        return p.exitCode();
    }
};

TEST_F(CabCli, ListExtractCreateTest)
{
    ZORVAK_REQUIRE_SAMPLES("cabinets");
    QByteArray out;
    ASSERT_EQ(Cli({QStringLiteral("list"), Sample("dir.cab")}, &out), 0);
    EXPECT_EQ(out, QByteArray("plain.c\t77\t1997-03-12 11:13:52\n1\\2\\3\\4.c\t74\t1997-03-12 11:15:14\n"));
    EXPECT_EQ(Cli({QStringLiteral("list"), Sample("bad_signature.cab")}), 1);
    EXPECT_EQ(Cli({QStringLiteral("test"), Sample("mszip_lzx_qtm.cab")}), 0);
    EXPECT_EQ(Cli({QStringLiteral("test"), Sample("cve-2015-4470-mszip-over-read.cab")}), 1);
    EXPECT_EQ(Cli({QStringLiteral("create"), env.path(QStringLiteral("x.cab")), QStringLiteral("--compression"), QStringLiteral("lzx:22"),
                   Sample("dir.cab")}), 2);
    EXPECT_EQ(Cli({QStringLiteral("create"), env.path(QStringLiteral("x.cab")), env.path(QStringLiteral("missing"))}), 1);

    WriteFile(env.path(QStringLiteral("in/a.txt")), TextData(40000, 1));
    WriteFile(env.path(QStringLiteral("in/b.bin")), RandomData(1000, 2));
    ASSERT_EQ(Cli({QStringLiteral("create"), env.path(QStringLiteral("x.cab")), QStringLiteral("--compression"), QStringLiteral("lzx:21"),
                   QStringLiteral("--relpath"), QStringLiteral("pkg"), env.path(QStringLiteral("in/a.txt")), env.path(QStringLiteral("in/b.bin"))}), 0);
    ASSERT_EQ(Cli({QStringLiteral("list"), env.path(QStringLiteral("x.cab"))}, &out), 0);
    const QList<QByteArray> lines = out.split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("pkg\\a.txt\t40000\t")) << lines[0].constData();
    EXPECT_TRUE(lines[1].startsWith("pkg\\b.bin\t1000\t")) << lines[1].constData();
    EXPECT_EQ(Cli({QStringLiteral("test"), env.path(QStringLiteral("x.cab"))}), 0);
    ASSERT_EQ(Cli({QStringLiteral("extract"), env.path(QStringLiteral("x.cab")), env.path(QStringLiteral("out"))}), 0);
    EXPECT_EQ(ReadFile(env.path(QStringLiteral("out/pkg/a.txt"))), ReadFile(env.path(QStringLiteral("in/a.txt"))));

    QByteArray damaged = ReadFile(env.path(QStringLiteral("x.cab")));
    damaged[damaged.size() - 7] = char(damaged[damaged.size() - 7] ^ 0x10);
    WriteFile(env.path(QStringLiteral("bad.cab")), damaged);
    EXPECT_EQ(Cli({QStringLiteral("test"), env.path(QStringLiteral("bad.cab"))}), 1);
    EXPECT_EQ(Cli({QStringLiteral("extract"), env.path(QStringLiteral("bad.cab")), env.path(QStringLiteral("out2"))}), 1);
}

// Options as "--opt=value" too, anywhere after the action; "--" lets a name begin with "-";
// an unknown option or a missing value is wrong usage (status 2).
TEST_F(CabCli, OptionsTakeEitherFormAndDashDashEndsThem)
{
    WriteFile(env.path(QStringLiteral("in/-dash.txt")), TextData(3000, 3));
    WriteFile(env.path(QStringLiteral("in/b.txt")), TextData(2000, 4));
    const QString oldCurrent = QDir::currentPath();
    QDir::setCurrent(env.path(QStringLiteral("in"))); // the child runs here: names relative to it
    const int created = Cli({QStringLiteral("create"), env.path(QStringLiteral("y.cab")), QStringLiteral("b.txt"),
                             QStringLiteral("--compression=none"), QStringLiteral("--relpath=r"), QStringLiteral("--"),
                             QStringLiteral("-dash.txt")});
    QDir::setCurrent(oldCurrent);
    ASSERT_EQ(created, 0);
    QByteArray out;
    ASSERT_EQ(Cli({QStringLiteral("list"), QStringLiteral("--"), env.path(QStringLiteral("y.cab"))}, &out), 0);
    EXPECT_TRUE(out.startsWith("r\\b.txt\t2000\t")) << out.constData();
    EXPECT_TRUE(out.contains("\nr\\-dash.txt\t3000\t")) << out.constData();
    const QByteArray cab = ReadFile(env.path(QStringLiteral("y.cab")));
    EXPECT_EQ(LE16(cab, 36 + 6), 0); // stored: the folder's compression code is 0

    EXPECT_EQ(Cli({QStringLiteral("list"), QStringLiteral("--bogus"), env.path(QStringLiteral("y.cab"))}), 2);
    EXPECT_EQ(Cli({QStringLiteral("create"), env.path(QStringLiteral("z.cab")), QStringLiteral("b.txt"), QStringLiteral("--compression")}), 2);
    EXPECT_EQ(Cli({QStringLiteral("extract"), env.path(QStringLiteral("y.cab")), QStringLiteral("--to=x")}), 2);
    EXPECT_FALSE(QFileInfo::exists(env.path(QStringLiteral("z.cab"))));
}

} // namespace
