#include "common/ByteOrder.h"
#include "common/FileOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using namespace zorvak;
using fileops::CopyOptions;
using fileops::IfExists;

namespace {

void Write(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(data), data.size());
}

QByteArray Read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void SetModified(const QString &path, time_t when)
{
    const struct timeval times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(::utimes(QFile::encodeName(path).constData(), times), 0);
}

time_t Modified(const QString &path)
{
    struct stat s {};
    ::stat(QFile::encodeName(path).constData(), &s);
    return s.st_mtime;
}

// The names in a folder, hidden ones included (a replacing copy must leave no temporary behind).
QStringList Names(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

class FileOpsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString at(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
};

} // namespace

TEST_F(FileOpsTest, RefuseKeepsAnExistingTargetAndReplaceSwapsItWhole)
{
    Write(at("a"), "new bytes");
    Write(at("b"), "old");
    QString error;
    EXPECT_FALSE(fileops::CopyFile(at("a"), at("b"), {IfExists::Refuse, true}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(Read(at("b")), "old");

    EXPECT_TRUE(fileops::CopyFile(at("a"), at("b"), {IfExists::Replace, true}, &error));
    EXPECT_EQ(Read(at("b")), "new bytes");
    EXPECT_TRUE(fileops::CopyFile(at("a"), at("c"), {IfExists::Refuse, true}, &error));
    EXPECT_EQ(Read(at("c")), "new bytes");
    EXPECT_EQ(Names(dir.path()), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
}

TEST_F(FileOpsTest, ModificationTimeIsKeptOnlyWhenAsked)
{
    Write(at("old"), "2006");
    SetModified(at("old"), 1150000000);   // June 2006
    ASSERT_TRUE(fileops::CopyFile(at("old"), at("kept"), {IfExists::Refuse, true}));
    ASSERT_TRUE(fileops::CopyFile(at("old"), at("now"), {IfExists::Replace, false}));
    EXPECT_EQ(Modified(at("kept")), 1150000000);
    EXPECT_GT(Modified(at("now")), 1150000000);
}

TEST_F(FileOpsTest, CopyOntoItselfLosesNothing)
{
    Write(at("self"), "keep me");
    EXPECT_TRUE(fileops::CopyFile(at("self"), at("self"), {IfExists::Replace, true}));
    ASSERT_EQ(::symlink("self", QFile::encodeName(at("alias")).constData()), 0);
    EXPECT_TRUE(fileops::CopyFile(at("alias"), at("self"), {IfExists::Replace, true}));
    EXPECT_EQ(Read(at("self")), "keep me");
}

TEST_F(FileOpsTest, SpecialFilesAndFoldersAreRefusedWithoutBlocking)
{
    const QString fifo = at("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QString error;
    // Opening a FIFO for reading would wait for a writer: the copy must fail at once instead.
    EXPECT_FALSE(fileops::CopyFile(fifo, at("out"), {IfExists::Replace, true}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(fileops::CopyFile(dir.path(), at("out"), {IfExists::Replace, true}, &error));
    EXPECT_FALSE(fileops::CopyFile(at("missing"), at("out"), {IfExists::Refuse, true}, &error));
    EXPECT_FALSE(QFileInfo::exists(at("out")));

    Write(at("plain"), "x");
    EXPECT_TRUE(fileops::IsRegularFile(at("plain")));
    EXPECT_FALSE(fileops::IsRegularFile(fifo));
    EXPECT_FALSE(fileops::IsRegularFile(dir.path()));
    EXPECT_FALSE(fileops::IsRegularFile(at("missing")));
}

TEST_F(FileOpsTest, FailedReplaceLeavesTheOldTargetAndNoTemporary)
{
    // The final rename fails (a folder stands at the target's name): what stood there is kept and
    // the temporary copy beside it is removed.
    Write(at("src"), "data");
    QDir().mkdir(at("target"));
    Write(at("target/inside"), "precious");
    QString error;
    EXPECT_FALSE(fileops::CopyFile(at("src"), at("target"), {IfExists::Replace, true}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(Read(at("target/inside")), "precious");
    EXPECT_EQ(Names(dir.path()), QStringList{QStringLiteral("src")});
}

TEST(ByteOrder, WritersAndTheBoundedReader)
{
    QByteArray data(6, '\0');
    byteorder::PutLE16(data, 0, 0x0201);
    byteorder::PutLE32(data, 2, 0x06050403);
    byteorder::AppendLE64(data, 0x0e0d0c0b0a090807ULL);
    EXPECT_EQ(data, QByteArray::fromHex("0102030405060708090a0b0c0d0e"));

    byteorder::LeReader r(data);
    quint16 a = 0;
    quint32 b = 0;
    QByteArray rest;
    EXPECT_TRUE(r.U16(a) && r.U32(b));
    EXPECT_EQ(a, 0x0201);
    EXPECT_EQ(b, 0x06050403u);
    EXPECT_EQ(r.remaining(), 8);
    quint64 tooFar = 7;
    EXPECT_TRUE(r.Skip(1));
    EXPECT_FALSE(r.U64(tooFar));   // 7 bytes left
    EXPECT_EQ(tooFar, 7u);         // untouched
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.Bytes(1, rest)); // a failed reader stays failed
    EXPECT_EQ(r.remaining(), 0);

    byteorder::LeReader s(data);
    EXPECT_FALSE(s.Bytes(-1, rest));
    byteorder::LeReader t(data);
    EXPECT_TRUE(t.Bytes(14, rest));
    EXPECT_EQ(rest, data);
}
