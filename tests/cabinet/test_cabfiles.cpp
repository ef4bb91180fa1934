// TCABFile: reading real cabinets, extracting safely, creating cabinets that read back exactly.
#include "cabinet/CabFormat.h"
#include "cabinet/CabinetTasks.h"
#include "cabinet/cabcodecs.h"
#include "cabinet/cabfiles.h"
#include "common/FileOps.h"
#include "CabTestUtil.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

#include <sys/resource.h>
#include <sys/stat.h>
#include <utime.h>

using namespace zorvak;
using namespace zorvak::test;

namespace {

class CabTest : public EnvTest {
protected:
    QString P(const QString &rel) const { return env.path(rel); }
    QString P(const char *rel) const { return env.path(QLatin1String(rel)); }

    // Files of a folder (relative path -> bytes), hidden ones included.
    static QMap<QString, QByteArray> Tree(const QString &folder)
    {
        QMap<QString, QByteArray> out;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            out.insert(QDir(folder).relativeFilePath(f), ReadFile(f));
        }
        return out;
    }

    // Every file and folder below `root` (relative path -> "<folder>", "<link> target" or the
    // file's bytes), symbolic links not followed, leaving out what lies below `skip`.
    static QMap<QString, QByteArray> Snapshot(const QString &root, const QString &skip = QString())
    {
        QMap<QString, QByteArray> out;
        QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (!skip.isEmpty() && (path == skip || path.startsWith(skip + QLatin1Char('/'))))
                continue;
            const QFileInfo info(path);
            const QString rel = QDir(root).relativeFilePath(path);
            if (info.isSymLink())
                out.insert(rel, "<link> " + info.symLinkTarget().toUtf8());
            else if (info.isDir())
                out.insert(rel, "<folder>");
            else
                out.insert(rel, ReadFile(path));
        }
        return out;
    }

    // Builds a cabinet from (name, data) pairs written under src/.
    void Make(const QString &cabinet, const QList<QPair<QString, QByteArray>> &files, TCompressionType type,
              TLZXMemory memory = lzxLowest, const QString &relPath = QString())
    {
        TCABFile cab;
        cab.CABFile = cabinet;
        cab.CompressionType = type;
        cab.LZXMemory = memory;
        for (const auto &f : files) {
            const QString path = P(QStringLiteral("src/") + f.first);
            ASSERT_TRUE(WriteFile(path, f.second));
            TCABFileEntry &e = cab.CABFileContents.Add();
            e.Name = path;
            e.RelPath = relPath;
        }
        ASSERT_TRUE(cab.CreateCabinet());
    }
};

TEST_F(CabTest, DefaultsCodesAndFixedVersion)
{
    TCABFile cab;
    EXPECT_EQ(cab.CompressionType, typMSZIP);
    EXPECT_EQ(cab.LZXMemory, lzxLowest);
    EXPECT_EQ(cab.CABFileContents.Count(), 0);
    cab.SetVersion(QStringLiteral("9.9"));
    EXPECT_EQ(cab.Version(), QStringLiteral("1.4.0.3"));
    EXPECT_EQ(CompressionCode(typLZX, lzxMedium), 0x1203);
    EXPECT_EQ(CompressionCode(typLZX, lzxLowest), 0x0F03);
    EXPECT_EQ(CompressionCode(typLZX, lzxHighest), 0x1503);
    EXPECT_EQ(CompressionCode(typNone, lzxHighest), 0);
    EXPECT_EQ(CompressionCode(typMSZIP, lzxHigh), 1);
    EXPECT_EQ(CABErrorText(4), QStringLiteral("Could not create a temporary file"));
    EXPECT_EQ(CABErrorText(9), QStringLiteral("Unknown error"));
    EXPECT_EQ(CABErrorText(-1), QStringLiteral("Unknown error"));
}

TEST_F(CabTest, ChecksumMatchesPublishedVectors)
{
    const auto csum = [](const char *s) {
        const auto n = uint16_t(qstrlen(s));
        return cab::BlockChecksum(reinterpret_cast<const uint8_t *>(s), n, n);
    };
    EXPECT_EQ(csum("abc"), 0x00626260u);
    EXPECT_EQ(csum("hello"), 0x6C696502u);
    EXPECT_EQ(csum("abcdefg"), 0x64010401u);
}

TEST_F(CabTest, NotACabinetMissingOrTruncatedGivesEmptyListAndFalse)
{
    ZORVAK_REQUIRE_SAMPLES("cabinets");
    for (const QString &file : {Sample("bad_signature.cab"), Sample("search_basic.cab"),
                                Sample("partial_shortfile1.cab"), P("missing.cab"), P("")}) {
        TCABFile cab;
        cab.CABFile = file;
        cab.CABFileContents.Add().Name = QStringLiteral("stale");
        cab.ListContents();
        EXPECT_EQ(cab.CABFileContents.Count(), 0) << qPrintable(file);
        cab.TargetPath = P("out");
        EXPECT_FALSE(cab.ExtractAll()) << qPrintable(file);
        EXPECT_FALSE(QDir(P("out")).exists() && !QDir(P("out")).isEmpty());
    }
}

TEST_F(CabTest, ListsNamesSizesDatesAndDecodesNames)
{
    ZORVAK_REQUIRE_SAMPLES("cabinets");
    TCABFile cab;
    cab.CABFile = Sample("dir.cab");
    cab.ListContents();
    ASSERT_EQ(cab.CABFileContents.Count(), 2);
    EXPECT_EQ(cab.CABFileContents[1].Name, QStringLiteral("1\\2\\3\\4.c"));
    EXPECT_EQ(cab.CABFileContents[1].Size, 74);
    EXPECT_EQ(cab.CABFileContents[1].DateTime, QDateTime(QDate(1997, 3, 12), QTime(11, 15, 14), Qt::LocalTime));

    cab.CABFile = Sample("utf8.cab");
    cab.ListContents();
    ASSERT_EQ(cab.CABFileContents.Count(), 1);
    EXPECT_EQ(cab.CABFileContents[0].Name, QString::fromUtf8("t\xC3\xA9st.dat"));

    cab.CABFile = Sample("encoding-latin1.cab"); // no UTF-8 flag: the 8-bit code page
    cab.ListContents();
    ASSERT_EQ(cab.CABFileContents.Count(), 3);
    EXPECT_TRUE(cab.CABFileContents[2].Name.startsWith(QString::fromUtf8("\xC3\xA0\xC3\xA1")));

    cab.CABFile = Sample("test-signed.cab"); // trailing signature after the cabinet, reserve
    cab.ListContents();
    EXPECT_EQ(cab.CABFileContents.Count(), 2);
}

TEST_F(CabTest, ExtractsBelowTargetWithFoldersFromEitherSeparatorAndStoredTime)
{
    ZORVAK_REQUIRE_SAMPLES("cabinets");
    TCABFile cab;
    cab.CABFile = Sample("dir.cab");
    cab.TargetPath = P("T");
    ASSERT_TRUE(cab.ExtractAll());
    EXPECT_EQ(cab.CABFileContents.Count(), 0); // extraction does not fill the list
    const QFileInfo deep(P("T/1/2/3/4.c"));
    ASSERT_TRUE(deep.isFile());
    EXPECT_EQ(deep.size(), 74);
    EXPECT_EQ(deep.lastModified(), QDateTime(QDate(1997, 3, 12), QTime(11, 15, 14), Qt::LocalTime));
    EXPECT_EQ(QFileInfo(P("T/plain.c")).size(), 77);

    // the same name stored with forward slashes
    Make(P("fwd.cab"), {{QStringLiteral("c.gif"), "GIF89a"}}, typNone, lzxLowest, QStringLiteral("a\\b"));
    QByteArray bytes = ReadFile(P("fwd.cab"));
    ASSERT_TRUE(bytes.contains("a\\b\\c.gif"));
    bytes.replace("a\\b\\c.gif", "a/b/c.gif"); // names are outside the checksummed data
    ASSERT_TRUE(WriteFile(P("fwd.cab"), bytes));
    cab.CABFile = P("fwd.cab");
    cab.TargetPath = P("F");
    ASSERT_TRUE(cab.ExtractAll());
    EXPECT_EQ(ReadFile(P("F/a/b/c.gif")), QByteArray("GIF89a"));
    EXPECT_EQ(Tree(P("F")).size(), 1); // no temporary file left behind
}

TEST_F(CabTest, OverwriteIsAskedAndRefusalSkipsOnlyThatFile)
{
    Make(P("two.cab"), {{QStringLiteral("one.txt"), "new one"}, {QStringLiteral("two.txt"), "new two"}}, typMSZIP);
    ASSERT_TRUE(WriteFile(P("T/one.txt"), "old one"));
    ASSERT_TRUE(WriteFile(P("T/two.txt"), "old two"));
    TCABFile cab;
    cab.CABFile = P("two.cab");
    cab.TargetPath = P("T");
    ASSERT_TRUE(cab.ExtractAll()); // no handler: replaced
    EXPECT_EQ(ReadFile(P("T/one.txt")), QByteArray("new one"));

    ASSERT_TRUE(WriteFile(P("T/one.txt"), "old one"));
    ASSERT_TRUE(WriteFile(P("T/two.txt"), "old two"));
    QStringList asked;
    cab.OnOverWriteFile = [&](TCABFile *sender, const QString &name, bool &allow) {
        EXPECT_EQ(sender, &cab);
        EXPECT_TRUE(allow);
        asked << name;
        allow = !name.endsWith(QLatin1String("one.txt"));
    };
    ASSERT_TRUE(cab.ExtractAll());
    EXPECT_EQ(asked, QStringList({P("T/one.txt"), P("T/two.txt")}));
    EXPECT_EQ(ReadFile(P("T/one.txt")), QByteArray("old one"));
    EXPECT_EQ(ReadFile(P("T/two.txt")), QByteArray("new two"));
}

TEST_F(CabTest, ProgressEventsReachTheTotals)
{
    const QByteArray big = TextData(100000, 1);
    TCABFile cab;
    cab.CABFile = P("p.cab");
    ASSERT_TRUE(WriteFile(P("src/big.txt"), big));
    ASSERT_TRUE(WriteFile(P("src/small.txt"), "x"));
    cab.CABFileContents.AddFiles(P("src/*.*"));
    qint32 lastPos = -1, lastTot = -1;
    int calls = 0;
    cab.OnCompressProgress = [&](TCABFile *, qint32 pos, qint32 tot) {
        EXPECT_GT(pos, lastPos);
        lastPos = pos;
        lastTot = tot;
        ++calls;
    };
    ASSERT_TRUE(cab.CreateCabinet());
    EXPECT_EQ(calls, 4); // 100001 bytes = four blocks
    EXPECT_EQ(lastPos, 100001);
    EXPECT_EQ(lastTot, 100001);

    QMap<QString, QPair<qint32, qint32>> seen;
    cab.OnDecompressProgress = [&](TCABFile *, const QString &name, qint32 pos, qint32 tot) { seen[name] = {pos, tot}; };
    cab.TargetPath = P("T");
    ASSERT_TRUE(cab.ExtractAll());
    EXPECT_EQ(seen.value(QStringLiteral("big.txt")), qMakePair(qint32(100000), qint32(100000)));
    EXPECT_EQ(seen.value(QStringLiteral("small.txt")), qMakePair(qint32(1), qint32(1)));
}

TEST_F(CabTest, AddFilesTakesPlainVisibleFilesOfTheMaskFolder)
{
    ASSERT_TRUE(WriteFile(P("d/b.TXT"), "b"));
    ASSERT_TRUE(WriteFile(P("d/a.png"), "a"));
    ASSERT_TRUE(WriteFile(P("d/noext"), "n"));
    ASSERT_TRUE(WriteFile(P("d/.hidden"), "h"));
    ASSERT_TRUE(WriteFile(P("d/sub/inner.txt"), "i"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(P("d/pipe")).constData(), 0600), 0);
    QFile::link(P("d/gone"), P("d/broken"));

    TCABFile cab;
    cab.CABFileContents.AddFiles(P("d/*.*"), QStringLiteral("rel"));
    QStringList names;
    for (int i = 0; i < cab.CABFileContents.Count(); ++i) {
        names << cab.CABFileContents[i].Name;
        EXPECT_EQ(cab.CABFileContents[i].RelPath, QStringLiteral("rel"));
    }
    EXPECT_EQ(names, QStringList({P("d/a.png"), P("d/b.TXT"), P("d/noext")}));

    cab.CABFileContents.Clear();
    cab.CABFileContents.AddFiles(P("d") + QStringLiteral("/*.txt")); // letter case ignored
    ASSERT_EQ(cab.CABFileContents.Count(), 1);
    EXPECT_EQ(cab.CABFileContents[0].Name, P("d/b.TXT"));
    EXPECT_EQ(cab.CABFileContents[0].RelPath, QString());
    cab.CABFileContents.AddFiles(P("nowhere/*.*"));
    EXPECT_EQ(cab.CABFileContents.Count(), 1);
}

TEST_F(CabTest, WriterTablesNamesDatesAttributesAndFolderSplit)
{
    ASSERT_TRUE(WriteFile(P("src/y.png"), RandomData(600000, 2)));
    ASSERT_TRUE(WriteFile(P("src/z.bin"), RandomData(400000, 3)));   // would pass 900000: new folder
    ASSERT_TRUE(WriteFile(P("src/huge.bin"), TextData(1200000, 4))); // alone in its folder
    ASSERT_TRUE(WriteFile(P("src/ro.txt"), "read only"));
    ASSERT_TRUE(WriteFile(P("src/old.txt"), "1970"));
    ASSERT_TRUE(WriteFile(P(QString::fromUtf8("src/\xC3\xA9t\xC3\xA9.txt")), "utf8"));
    ::chmod(QFile::encodeName(P("src/ro.txt")).constData(), 0444);
    struct utimbuf old{100, 100};
    ::utime(QFile::encodeName(P("src/old.txt")).constData(), &old);
    const QDateTime when(QDate(2024, 1, 2), QTime(3, 4, 7), Qt::LocalTime);
    struct utimbuf stamp{time_t(when.toSecsSinceEpoch()), time_t(when.toSecsSinceEpoch())};
    ::utime(QFile::encodeName(P("src/y.png")).constData(), &stamp);

    TCABFile cab;
    cab.CABFile = P("w.cab");
    cab.CompressionType = typLZX;
    cab.LZXMemory = lzxMedium;
    const QStringList order = {QStringLiteral("y.png"), QStringLiteral("z.bin"), QStringLiteral("huge.bin"),
                               QStringLiteral("ro.txt"), QStringLiteral("old.txt"), QString::fromUtf8("\xC3\xA9t\xC3\xA9.txt")};
    const QStringList rel = {QStringLiteral("sub"), QString(), QStringLiteral("a/b/"), QString(), QString(), QString()};
    for (int i = 0; i < order.size(); ++i) {
        TCABFileEntry &e = cab.CABFileContents.Add();
        e.Name = P(QStringLiteral("src/") + order[i]);
        e.RelPath = rel[i];
    }
    ASSERT_TRUE(cab.CreateCabinet());
    const QByteArray b = ReadFile(P("w.cab"));
    const CabTables t = ReadTables(b);
    EXPECT_EQ(b.left(4), QByteArray("MSCF"));
    EXPECT_EQ(t.cbCabinet, quint32(b.size()));
    EXPECT_EQ(t.version, 0x0103);
    EXPECT_EQ(t.setId, 12345);
    EXPECT_EQ(t.iCabinet, 0);
    EXPECT_EQ(t.flags, 0);
    EXPECT_FALSE(b.contains("CAB\0"));
    ASSERT_EQ(t.folders.size(), 4u); // y | z | huge | the small rest
    for (const auto &f : t.folders)
        EXPECT_EQ(f.type, 0x1203);
    ASSERT_EQ(t.files.size(), 6u);
    EXPECT_EQ(t.files[0].name, QByteArray("sub\\y.png"));
    EXPECT_EQ(t.files[1].name, QByteArray("z.bin"));
    EXPECT_EQ(t.files[2].name, QByteArray("a\\b\\huge.bin"));
    EXPECT_EQ((QList<int>{t.files[0].folder, t.files[1].folder, t.files[2].folder, t.files[3].folder}),
              (QList<int>{0, 1, 2, 3}));
    EXPECT_EQ(t.files[4].folder, 3);
    EXPECT_EQ(t.files[4].offset, 9u);
    EXPECT_EQ(t.files[0].date, 0x5822);
    EXPECT_EQ(t.files[0].time, 0x1883); // seconds halved
    EXPECT_EQ(t.files[0].attribs, 0x20);
    EXPECT_EQ(t.files[3].attribs, 0x21);
    EXPECT_EQ(t.files[4].date, (0 << 9) | (1 << 5) | 1); // before 1980: 1980-01-01
    EXPECT_EQ(t.files[5].attribs, 0xA0);
    // every block: a checksum that holds, never zero here
    for (const auto &f : t.folders) {
        int at = int(f.start);
        for (int i = 0; i < f.blocks; ++i) {
            const quint16 cbData = LE16(b, at + 4), cbUncomp = LE16(b, at + 6);
            EXPECT_LE(cbUncomp, 32768);
            const quint32 csum = cab::BlockChecksum(reinterpret_cast<const uint8_t *>(b.constData()) + at + 8, cbData, cbUncomp);
            EXPECT_EQ(LE32(b, at), csum);
            EXPECT_NE(csum, 0u);
            at += 8 + cbData;
        }
    }
    ::chmod(QFile::encodeName(P("src/ro.txt")).constData(), 0644);

    cab.TargetPath = P("T");
    ASSERT_TRUE(cab.ExtractAll());
    EXPECT_EQ(ReadFile(P("T/a/b/huge.bin")), ReadFile(P("src/huge.bin")));
    EXPECT_EQ(ReadFile(P("T/sub/y.png")), ReadFile(P("src/y.png")));
    EXPECT_EQ(QFileInfo(P("T/sub/y.png")).lastModified(), when.addSecs(-1));
}

TEST_F(CabTest, RoundTripEveryCompression)
{
    const QList<QPair<QString, QByteArray>> files = {
        {QStringLiteral("empty.txt"), QByteArray()},
        {QStringLiteral("text.xml"), TextData(300000, 5)},
        {QStringLiteral("noise.jpg"), RandomData(70000, 6)},
        {QStringLiteral("odd.bin"), TextData(32769, 7)},
        {QStringLiteral("runs.bmp"), QByteArray(700000, 'x') + TextData(1000, 8)},
        {QStringLiteral("one.txt"), "1"},
    };
    struct Config { TCompressionType type; TLZXMemory memory; };
    const Config configs[] = {{typNone, lzxLowest}, {typMSZIP, lzxLowest}, {typLZX, lzxLowest}, {typLZX, lzxLower},
                              {typLZX, lzxLow}, {typLZX, lzxMedium}, {typLZX, lzxHigh}, {typLZX, lzxHigher},
                              {typLZX, lzxHighest}};
    qint64 stored = 0, mszip = 0;
    for (const Config &c : configs) {
        const QString name = QStringLiteral("rt%1-%2").arg(int(c.type)).arg(int(c.memory));
        Make(P(name + QStringLiteral(".cab")), files, c.type, c.memory, QStringLiteral("pack"));
        const qint64 size = QFileInfo(P(name + QStringLiteral(".cab"))).size();
        if (c.type == typNone) {
            stored = size;
        } else {
            EXPECT_LT(size, stored / 2) << qPrintable(name); // compressible data shrinks
        }
        if (c.type == typMSZIP)
            mszip = size;
        if (c.memory == lzxHighest) {
            EXPECT_LT(size, mszip);
        }
        TCABFile cab;
        cab.CABFile = P(name + QStringLiteral(".cab"));
        EXPECT_TRUE(cab.TestAll()) << qPrintable(name + cab.LastError());
        cab.TargetPath = P(name);
        ASSERT_TRUE(cab.ExtractAll()) << qPrintable(name + cab.LastError());
        for (const auto &f : files)
            EXPECT_EQ(ReadFile(P(name + QStringLiteral("/pack/") + f.first)), f.second) << qPrintable(name + f.first);
        EXPECT_EQ(Tree(P(name)).size(), files.size());
    }
}

TEST_F(CabTest, CreationFailuresThrowAndLeaveNoCabinet)
{
    TCABFile cab;
    cab.CABFile = P("out.cab");
    try {
        cab.CreateCabinet();
        ADD_FAILURE() << "an empty cabinet was written";
    } catch (const ECABFileError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Could not create cabinet file"));
        EXPECT_EQ(e.ClassName(), QStringLiteral("ECABFileError"));
    }
    EXPECT_FALSE(QFile::exists(P("out.cab")));

    ASSERT_TRUE(WriteFile(P("out.cab"), "previous"));
    ASSERT_TRUE(WriteFile(P("src/ok.txt"), "ok"));
    cab.CABFileContents.Add().Name = P("src/ok.txt");
    cab.CABFileContents.Add().Name = P("src/missing.txt");
    try {
        cab.CreateCabinet();
        ADD_FAILURE() << "a missing source was accepted";
    } catch (const ECABFileError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Failure opening file to be stored in cabinet: ") + P("src/missing.txt"));
    }
    EXPECT_EQ(ReadFile(P("out.cab")), QByteArray("previous"));

    cab.CABFileContents.Clear();
    cab.CABFileContents.Add().Name = P("src/ok.txt");
    cab.CABFileContents[0].RelPath = QString(300, QLatin1Char('r'));
    EXPECT_THROW(cab.CreateCabinet(), ECABFileError); // name over 255 bytes
    EXPECT_EQ(ReadFile(P("out.cab")), QByteArray("previous"));
}

// The disk refuses the cabinet's bytes (here: a file-size limit): the system's report through
// OnIOError (the component shows nothing itself), then ECABFileError; the previous cabinet
// stays as it was.
TEST_F(CabTest, FailedCabinetWriteIsReportedThenRaised)
{
    ASSERT_TRUE(WriteFile(P("src/big.bin"), RandomData(300000, 9)));
    ASSERT_TRUE(WriteFile(P("out.cab"), "previous"));
    TCABFile cab;
    cab.CABFile = P("out.cab");
    cab.CompressionType = typNone;
    cab.CABFileContents.Add().Name = P("src/big.bin");
    QStringList reported;
    cab.OnIOError = [&](TCABFile *sender, const QString &text) {
        EXPECT_EQ(sender, &cab);
        reported << text;
    };

    struct sigaction ignore {}, oldAction {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGXFSZ, &ignore, &oldAction), 0);
    rlimit oldLimit {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    rlimit small = oldLimit;
    small.rlim_cur = 100000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    QString message;
    try {
        cab.CreateCabinet();
    } catch (const ECABFileError &e) {
        message = e.Message();
    }
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    ::sigaction(SIGXFSZ, &oldAction, nullptr);

    EXPECT_EQ(message, QStringLiteral("Could not create cabinet file"));
    EXPECT_EQ(reported, QStringList({QString::fromLocal8Bit(std::strerror(EFBIG))}));
    EXPECT_TRUE(env.dialogs().calls.empty());
    EXPECT_EQ(ReadFile(P("out.cab")), QByteArray("previous"));
}

// Names that climb out of the target or are absolute, in every spelling (either separator, a drive,
// a "/" or "." spelt as overlong UTF-8 in a name flagged as UTF-8), are never written outside it.
// The fixtures are built here; the third-party sample of such names is read too when present.
TEST_F(CabTest, UnsafeNamesAreNeverWrittenOutsideTheTarget)
{
    struct Evil { QByteArray name; bool utf8; };
    const Evil evils[] = {{"..\\..\\evil.txt", false}, {"ok/../../evil.txt", false}, {"/tmp/zorvak-evil.txt", false},
                          {"C:\\evil\\x.txt", false}, {"..", false}, {"\\\\server\\share\\evil.txt", false},
                          {"relative\xc0\xaf..\xc0\xaf..\xc0\xaf" "evil.txt", true},
                          {"\xc0\xaf" "tmp\xc0\xaf" "zorvak-evil.txt", true},
                          {"in\xe0\x80\xaf\xc0\xae\xc0\xae\xe0\x80\xaf..\xe0\x80\xaf" "evil.txt", true}};
    TCABFile cab;
    for (const Evil &evil : evils) {
        const QByteArray placeholder(evil.name.size(), 'n');
        Make(P("evil.cab"), {{QString::fromLatin1(placeholder), "bad"}, {QStringLiteral("good.txt"), "good"}}, typMSZIP);
        QByteArray b = ReadFile(P("evil.cab"));
        const CabTables tables = ReadTables(b);
        ASSERT_EQ(tables.files.front().name, placeholder);
        b.replace(tables.files.front().nameAt, placeholder.size(), evil.name);
        if (evil.utf8) // the attribute that says the name is UTF-8
            b[tables.files.front().nameAt - 2] = char(uchar(b[tables.files.front().nameAt - 2]) | 0x80);
        ASSERT_TRUE(WriteFile(P("evil.cab"), b));
        QDir(P("sandbox")).removeRecursively();
        cab.CABFile = P("evil.cab");
        cab.TargetPath = P("sandbox/in/T");
        cab.ExtractAll();
        const QStringList written = Tree(P("sandbox")).keys();
        EXPECT_TRUE(written.contains(QStringLiteral("in/T/good.txt"))) << evil.name.toHex().constData();
        for (const QString &file : written)
            EXPECT_TRUE(file.startsWith(QStringLiteral("in/T/"))) << qPrintable(file);
        EXPECT_FALSE(QFile::exists(P("evil.txt")));
        EXPECT_FALSE(QFile::exists(P("sandbox/evil.txt")));
        EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/zorvak-evil.txt")));
    }

    if (SamplesDir().isEmpty())
        return;
    QDir(P("sandbox")).removeRecursively();
    QDir(P("src")).removeRecursively(); // the sources of the cabinets above
    QFile::remove(P("evil.cab"));
    QDir().mkpath(P("sandbox/T"));
    const QString root = env.path(QString()).chopped(1);
    const QMap<QString, QByteArray> before = Snapshot(root, P("sandbox/T"));
    cab.CABFile = Sample("dirwalk-vulns.cab");
    cab.TargetPath = P("sandbox/T");
    cab.ExtractAll();
    // everything written is below T: no file and no folder outside T changed
    EXPECT_EQ(Snapshot(root, P("sandbox/T")), before);
    QDirIterator it(env.path(QString()), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        EXPECT_TRUE(f.startsWith(P("sandbox/T/"))) << qPrintable(f);
    }
    EXPECT_FALSE(QFile::exists(QStringLiteral("/absolute/path")));
}

// A folder inside the target that is a link to elsewhere is never followed: neither the file
// nor any folder of a deeper stored name appears outside; the files beside it are extracted and
// the refused one is named.
TEST_F(CabTest, SymlinkedFolderInsideTargetDoesNotLeadOutside)
{
    Make(P("link.cab"), {{QStringLiteral("x.txt"), "payload"}}, typNone, lzxLowest, QStringLiteral("out"));
    QDir().mkpath(P("T"));
    QDir().mkpath(P("elsewhere"));
    ASSERT_TRUE(QFile::link(P("elsewhere"), P("T/out")));
    TCABFile cab;
    cab.CABFile = P("link.cab");
    cab.TargetPath = P("T");
    cab.ExtractAll();
    EXPECT_FALSE(QFile::exists(P("elsewhere/x.txt")));

    // two levels: "out\\sub\\deep\\x.txt" must not create elsewhere/sub
    QDir(P("src")).removeRecursively();
    ASSERT_TRUE(WriteFile(P("src/x.txt"), "payload"));
    ASSERT_TRUE(WriteFile(P("src/y.txt"), "beside"));
    TCABFile maker;
    maker.CABFile = P("deep.cab");
    maker.CompressionType = typNone;
    TCABFileEntry &deep = maker.CABFileContents.Add();
    deep.Name = P("src/x.txt");
    deep.RelPath = QStringLiteral("out\\sub\\deep");
    TCABFileEntry &beside = maker.CABFileContents.Add();
    beside.Name = P("src/y.txt");
    beside.RelPath = QStringLiteral("in");
    ASSERT_TRUE(maker.CreateCabinet());
    const QMap<QString, QByteArray> before = Snapshot(P("elsewhere"));
    cab.CABFile = P("deep.cab");
    EXPECT_FALSE(cab.ExtractAll());
    EXPECT_EQ(Snapshot(P("elsewhere")), before);
    EXPECT_FALSE(QFileInfo::exists(P("elsewhere/sub")));
    EXPECT_EQ(ReadFile(P("T/in/y.txt")), QByteArray("beside"));
    EXPECT_TRUE(cab.LastError().contains(QStringLiteral("out\\sub\\deep\\x.txt"))) << qPrintable(cab.LastError());

    // a link further down, below a real folder, is refused as well
    QDir().mkpath(P("T/real"));
    QDir().mkpath(P("elsewhere2"));
    ASSERT_TRUE(QFile::link(P("elsewhere2"), P("T/real/out")));
    deep.RelPath = QStringLiteral("real\\out\\sub");
    ASSERT_TRUE(maker.CreateCabinet());
    EXPECT_FALSE(cab.ExtractAll());
    EXPECT_TRUE(QDir(P("elsewhere2")).isEmpty());
}

// Names are limited in bytes: a stored name that is valid in the cabinet but longer than the
// file system takes is cut on a character boundary, keeping its extension, and the files after
// it are still written. A file that cannot be written is named in the error and the others are
// still extracted.
TEST_F(CabTest, LongNamesAreShortenedAndOneFailureDoesNotEndTheExtraction)
{
    // 250 accented letters: 250 bytes in the cabinet's code page, 500 bytes of UTF-8
    const QByteArray placeholder(250, 'n');
    Make(P("long.cab"), {{QStringLiteral("a.txt"), "first"}, {QString::fromLatin1(placeholder.left(246)) + QStringLiteral(".txt"), "long"},
                         {QStringLiteral("z.txt"), "last"}}, typMSZIP);
    QByteArray b = ReadFile(P("long.cab"));
    const QByteArray accented = QByteArray(246, char(0xE9)) + ".txt";
    ASSERT_TRUE(b.contains(placeholder.left(246) + ".txt"));
    b.replace(placeholder.left(246) + ".txt", accented);
    ASSERT_TRUE(WriteFile(P("long.cab"), b));

    TCABFile cab;
    cab.CABFile = P("long.cab");
    ASSERT_TRUE(cab.TestAll());
    cab.TargetPath = P("out");
    EXPECT_TRUE(cab.ExtractAll()) << qPrintable(cab.LastError());
    const QStringList names = QDir(P("out")).entryList(QDir::Files);
    ASSERT_EQ(names.size(), 3) << qPrintable(names.join(QLatin1Char(',')));
    EXPECT_EQ(ReadFile(P("out/a.txt")), QByteArray("first"));
    EXPECT_EQ(ReadFile(P("out/z.txt")), QByteArray("last"));
    QString longName;
    for (const QString &n : names)
        if (n.startsWith(QChar(0xE9)))
            longName = n;
    EXPECT_LE(longName.toUtf8().size(), 255);
    EXPECT_EQ(longName, QString(125, QChar(0xE9)) + QStringLiteral(".txt")); // 250 + 4 bytes
    EXPECT_EQ(ReadFile(P("out/") + longName), QByteArray("long"));

    // a folder stands where a.txt would go: a.txt is refused and named, z.txt still written
    QDir(P("out")).removeRecursively();
    QDir().mkpath(P("out/a.txt"));
    EXPECT_FALSE(cab.ExtractAll());
    EXPECT_TRUE(cab.LastError().startsWith(QStringLiteral("could not write: a.txt ("))) << qPrintable(cab.LastError());
    EXPECT_EQ(ReadFile(P("out/z.txt")), QByteArray("last"));
    EXPECT_TRUE(QFileInfo(P("out/a.txt")).isDir());
    // no temporary file is left behind
    EXPECT_TRUE(QDir(P("out")).entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST(FitFileName, CutsBytesOnCharacterBoundariesKeepingTheExtension)
{
    using fileops::FitFileName;
    EXPECT_EQ(FitFileName(QStringLiteral("short.png")), QStringLiteral("short.png"));
    // 84 CJK characters (3 bytes each) and ".png": 256 bytes, one character too many
    const QString cjk = QString(84, QChar(0x6F22)) + QStringLiteral(".png");
    EXPECT_EQ(FitFileName(cjk), QString(83, QChar(0x6F22)) + QStringLiteral(".png"));
    // characters outside the basic plane (4 bytes, two UTF-16 units) are never split
    QString emoji;
    for (int i = 0; i < 70; ++i)
        emoji += QString::fromUcs4(U"\U0001F600", 1);
    const QString cut = FitFileName(emoji + QStringLiteral(".gif"));
    EXPECT_EQ(cut, emoji.left(2 * 62) + QStringLiteral(".gif")); // 62 * 4 + 4 = 252 bytes
    EXPECT_EQ(QString::fromUtf8(cut.toUtf8()), cut);
    // a smaller limit, and a name without extension
    EXPECT_EQ(FitFileName(QStringLiteral("abcdefgh.txt"), 10), QStringLiteral("abcdef.txt"));
    EXPECT_EQ(FitFileName(QString(300, QLatin1Char('x'))), QString(255, QLatin1Char('x')));
}

// Damaged copies of a multi-block cabinet: every one fails cleanly, and no file that failed is
// left under its name (nor any temporary file).
TEST_F(CabTest, DamagedCabinetsFailWithoutHalfWrittenFiles)
{
    for (TCompressionType type : {typMSZIP, typLZX, typNone}) {
        Make(P("good.cab"), {{QStringLiteral("a.txt"), TextData(5000, 9)}, {QStringLiteral("b.txt"), TextData(150000, 10)}},
             type, lzxHighest);
        const QByteArray good = ReadFile(P("good.cab"));
        const CabTables t = ReadTables(good);
        const int data = int(t.folders[0].start);
        struct Damage { const char *what; QByteArray bytes; };
        QList<Damage> damaged;
        for (int cut : std::initializer_list<int>{10, 40, int(t.coffFiles) + 20, data + 4, data + 100, int(good.size() / 2), int(good.size() - 1)})
            damaged.push_back({"truncated", good.left(cut)});
        QByteArray b = good;
        b[0] = 'X';
        damaged.push_back({"signature", b});
        b = good;
        b[t.folders[0].start + 8 + 50] = char(b[t.folders[0].start + 8 + 50] ^ 0x40);
        damaged.push_back({"data byte", b});
        b = good;
        b[t.folders[0].start + 1] = char(b[t.folders[0].start + 1] ^ 0x01);
        damaged.push_back({"checksum", b});
        b = good;
        b[good.size() - 20] = char(b[good.size() - 20] ^ 0xFF);
        damaged.push_back({"last block", b});
        b = good;
        b[t.files[1].nameAt - 16] = char(0xFF); // b.txt size becomes absurd
        b[t.files[1].nameAt - 15] = char(0xFF);
        b[t.files[1].nameAt - 14] = char(0xFF);
        damaged.push_back({"size", b});
        b = good;
        b[36 + 4] = char(0x00); // block count of the folder
        damaged.push_back({"block count", b});

        for (const Damage &d : damaged) {
            ASSERT_TRUE(WriteFile(P("bad.cab"), d.bytes));
            QDir(P("T")).removeRecursively();
            TCABFile cab;
            cab.CABFile = P("bad.cab");
            cab.TargetPath = P("T");
            const QString what = QStringLiteral("%1 %2 (%3 bytes)").arg(int(type)).arg(QLatin1String(d.what)).arg(d.bytes.size());
            if (type == typNone && QByteArray(d.what) == "data byte") {
                // stored data carries only the checksum: still caught
            }
            EXPECT_FALSE(cab.ExtractAll()) << qPrintable(what);
            EXPECT_FALSE(cab.TestAll()) << qPrintable(what);
            const auto tree = Tree(P("T"));
            for (auto it = tree.begin(); it != tree.end(); ++it) {
                EXPECT_FALSE(it.key().endsWith(QLatin1String(".part"))) << qPrintable(what);
                const QByteArray original = ReadFile(P(QStringLiteral("src/") + it.key()));
                EXPECT_EQ(it.value(), original) << qPrintable(what + it.key());
            }
        }
    }
}

TEST_F(CabTest, HostileSamplesFailCleanly)
{
    ZORVAK_REQUIRE_SAMPLES("cabinets");
    for (const char *name : {"cve-2014-9732-folders-segfault.cab", "cve-2015-4470-mszip-over-read.cab",
                             "partial_nodata.cab", "split-1.cab"}) {
        TCABFile cab;
        cab.CABFile = Sample(name);
        cab.TargetPath = P("T");
        EXPECT_FALSE(cab.ExtractAll()) << name;
        EXPECT_FALSE(cab.TestAll()) << name;
    }
    for (const char *name : {"normal_2files_2folders.cab", "mszip_lzx_qtm.cab", "reserve_HFD.cab", "test-mszip.cab",
                             "multi-folder.cab", "multi-folder-compressed.cab", "normal_255c_filename.cab"}) {
        TCABFile cab;
        cab.CABFile = Sample(name);
        EXPECT_TRUE(cab.TestAll()) << name << qPrintable(cab.LastError());
    }
    // the stored and the compressed makecab cabinets hold the same bytes
    TCABFile cab;
    cab.CABFile = Sample("multi-folder.cab");
    cab.TargetPath = P("A");
    ASSERT_TRUE(cab.ExtractAll());
    cab.CABFile = Sample("multi-folder-compressed.cab");
    cab.TargetPath = P("B");
    ASSERT_TRUE(cab.ExtractAll());
    EXPECT_EQ(Tree(P("A")), Tree(P("B")));
    EXPECT_EQ(QFileInfo(P("A/test/example.jpg")).size(), 567720);
}

TEST_F(CabTest, PackFolderAndExtractCabinetTo)
{
    ASSERT_TRUE(WriteFile(P("pkg/content.xml"), "<package/>"));
    ASSERT_TRUE(WriteFile(P("pkg/a.png"), RandomData(5000, 11)));
    ASSERT_TRUE(WriteFile(P("pkg/sub/ignored.txt"), "not packed"));
    ASSERT_TRUE(WriteFile(P("backup.mco"), "old"));
    TCABFile cab;
    EXPECT_TRUE(PackFolder(cab, P("pkg"), P("backup.mco"), false));
    EXPECT_EQ(cab.CABFileContents.Count(), 2);
    ExtractCabinetTo(cab, P("backup.mco"), P("x"));
    EXPECT_EQ(cab.CABFileContents.Count(), 2); // listed first
    EXPECT_EQ(cab.CABFileContents[1].Name, QStringLiteral("content.xml"));
    EXPECT_EQ(Tree(P("x")), (QMap<QString, QByteArray>{{QStringLiteral("a.png"), ReadFile(P("pkg/a.png"))},
                                                         {QStringLiteral("content.xml"), "<package/>"}}));
    ASSERT_TRUE(WriteFile(P("empty/.hidden"), "h"));
    EXPECT_THROW(PackFolder(cab, P("empty"), P("e.mco"), true), ECABFileError);
    ExtractCabinetTo(cab, P("missing.cab"), P("y")); // nothing happens, nothing thrown
    EXPECT_EQ(cab.CABFileContents.Count(), 0);
}

} // namespace

// A cabinet of a few kilobytes whose file table lists one 4 MiB file many times (each entry
// the whole folder again) would write hundreds of megabytes when extracted whole. Looked at
// within limits, nothing passes them: not what is written, nor what is decoded.
TEST(CabLimits, CraftedCabinetStaysWithinTheLimits)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString zeros = dir.filePath(QStringLiteral("a.png"));
    {
        QFile f(zeros);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(4 << 20));
    }
    const QString plain = dir.filePath(QStringLiteral("plain.cab"));
    {
        TCABFile cab;
        cab.CABFileContents.Add().Name = zeros;
        cab.CABFile = plain;
        ASSERT_TRUE(cab.CreateCabinet());
    }
    // 100 more entries "p000.png"... over the same bytes, inserted after the first.
    QByteArray b = ReadFile(plain);
    const int files = int(LE32(b, cabformat::kHeaderFilesOffset));
    const int firstEnd = files + cabformat::kFileSize + int(std::strlen(b.constData() + files + cabformat::kFileSize)) + 1;
    QByteArray extra;
    for (int i = 0; i < 100; ++i)
        extra += b.mid(files, cabformat::kFileSize) + QStringLiteral("p%1.png").arg(i, 3, 10, QLatin1Char('0')).toLatin1() + '\0';
    b.insert(firstEnd, extra);
    const auto put32 = [&b](int at, quint32 v) { for (int k = 0; k < 4; ++k) b[at + k] = char(v >> (8 * k)); };
    put32(cabformat::kHeaderCabinetSize, quint32(b.size()));
    b[cabformat::kHeaderFileCount] = char(101);
    b[cabformat::kHeaderFileCount + 1] = 0;
    put32(cabformat::FolderEntry(0), LE32(b, cabformat::FolderEntry(0)) + quint32(extra.size()));
    const QString crafted = dir.filePath(QStringLiteral("crafted.cab"));
    ASSERT_TRUE(WriteFile(crafted, b));
    ASSERT_LT(QFileInfo(crafted).size(), 16 * 1024);

    TCABFile cab;
    cab.CABFile = crafted;
    cab.ListContents();
    ASSERT_EQ(cab.CABFileContents.Count(), 101);

    const qint64 MiB = 1 << 20;
    struct Case {
        TCABFile::TExtractLimits limits;
        qint64 written;  // what the extraction may write at most
        int extracted;   // files it writes
        bool complete;   // nothing left out
    } cases[] = {
        {{8 * MiB, 10 * MiB, 64 * MiB, {}}, 10 * MiB, 2, false},   // the total stops it
        {{8 * MiB, 64 * MiB, 10 * MiB, {}}, 10 * MiB, 2, false},   // the decoding stops it
        {{2 * MiB, 64 * MiB, 64 * MiB, {}}, 0, 0, false},          // every file is too big
        {{8 * MiB, 64 * MiB, 64 * MiB, QStringLiteral("p050.png")}, 4 * MiB, 1, true},
    };
    int n = 0;
    for (const Case &c : cases) {
        const QString out = dir.filePath(QStringLiteral("out%1").arg(n++));
        cab.TargetPath = out;
        EXPECT_EQ(cab.ExtractAll(c.limits), c.complete) << n;
        EXPECT_LE(cab.BytesWritten(), c.written) << n;
        qint64 onDisk = 0;
        int count = 0;
        for (QDirIterator it(out, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext(); ++count)
            onDisk += QFileInfo(it.next()).size();
        EXPECT_EQ(count, c.extracted) << n;
        EXPECT_EQ(onDisk, cab.BytesWritten()) << n;
    }

    // The preview's own limits, and a thumbnail's single picture.
    const QString shown = dir.filePath(QStringLiteral("shown"));
    ExtractCabinetTo(cab, crafted, shown);
    EXPECT_LE(cab.BytesWritten(), PreviewLimits.maxTotalBytes);
    const QString first = ExtractFirstPicture(cab, crafted, dir.filePath(QStringLiteral("thumb")),
                                              [](const QString &name) { return name.endsWith(QLatin1String(".png")); },
                                              {8 * MiB, 8 * MiB, 32 * MiB, {}});
    EXPECT_EQ(QFileInfo(first).fileName(), QStringLiteral("a.png"));
    EXPECT_EQ(cab.BytesWritten(), 4 * MiB);
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("thumb"))).entryList(QDir::Files | QDir::Hidden).size(), 1);
}
