// Runs that are killed leave nothing under a final name, and the next run removes what they left;
// runs that are alive are never touched, and runs sharing a lock take turns.
#include "common/FileOps.h"
#include "common/RunFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <thread>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zorvak;
using namespace zorvak::fileops;

namespace {

QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

void KillSelf(int) { ::kill(::getpid(), SIGKILL); }

// Runs `work` in a child process whose files may not grow past `maxFileBytes`: the write that
// would pass it kills the child with SIGKILL, in the middle of whatever it was writing. True
// when the child died that way.
template <typename F> bool KilledWhileWriting(rlim_t maxFileBytes, F work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, KillSelf);
        const struct rlimit limit = {maxFileBytes, maxFileBytes};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        work();
        ::_exit(0); // not killed: the parent reports it
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

} // namespace

// A copy killed half-way leaves its final name free (only the hidden partial beside it), inside a
// run folder that the next run removes, while a run that is alive keeps its folder.
TEST(RunFolder, KilledCopyLeavesNoFinalNameAndTheNextRunCleansUp)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString base = dir.filePath(QStringLiteral("stage"));
    const QString big = dir.filePath(QStringLiteral("big.bin"));
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(8 << 20));
    }
    const auto alive = TRunFolder::Create(base);
    ASSERT_TRUE(alive);
    ASSERT_TRUE(QFile(alive->Path() + QStringLiteral("mine")).open(QIODevice::WriteOnly));

    QString target; // the final name the child was writing
    ASSERT_TRUE(KilledWhileWriting(1 << 20, [&] {
        const auto run = TRunFolder::Create(base);
        if (run)
            CopyFile(big, run->Path() + QStringLiteral("copy.bin"), {IfExists::Refuse, true});
    }));
    // The killed run's folder is there with a partial file, never under the final name.
    QStringList runs = Entries(base);
    ASSERT_EQ(runs.size(), 4) << runs.join(u' ').toStdString(); // two folders, two lock files
    QString left;
    for (const QString &name : runs)
        if (!name.endsWith(QLatin1String(".lock")) && base + u'/' + name + u'/' != alive->Path())
            left = base + u'/' + name;
    ASSERT_FALSE(left.isEmpty());
    const QStringList partial = Entries(left);
    ASSERT_EQ(partial.size(), 1);
    EXPECT_TRUE(partial.front().startsWith(QLatin1String(".copy.bin.~copy-"))) << partial.front().toStdString();
    EXPECT_FALSE(QFileInfo::exists(left + QStringLiteral("/copy.bin")));

    // The next run removes the ended run's folder and lock, and nothing of the live one.
    auto next = TRunFolder::Create(base);
    ASSERT_TRUE(next);
    EXPECT_FALSE(QFileInfo::exists(left));
    EXPECT_FALSE(QFileInfo::exists(left + QStringLiteral(".lock")));
    EXPECT_TRUE(QFileInfo::exists(alive->Path() + QStringLiteral("mine")));
    EXPECT_EQ(Entries(base).size(), 4);
    EXPECT_EQ(RemoveEndedRuns(base), 0);
    const QString nextPath = next->Path();
    next.reset();
    EXPECT_FALSE(QFileInfo::exists(nextPath));
    EXPECT_EQ(Entries(base).size(), 2); // the live run alone
}

// The refusing copy publishes only a complete file, and never over one that appeared meanwhile.
TEST(RunFolder, RefusingCopyNeverReplacesAndLeavesNoTemporary)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString source = dir.filePath(QStringLiteral("s.png"));
    const QString target = dir.filePath(QStringLiteral("out/t.png"));
    QDir().mkpath(dir.filePath(QStringLiteral("out")));
    {
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("new");
    }
    ASSERT_TRUE(CopyFile(source, target, {IfExists::Refuse, true}));
    EXPECT_EQ(Entries(dir.filePath(QStringLiteral("out"))), QStringList({QStringLiteral("t.png")}));
    QString error;
    {
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("newer");
    }
    EXPECT_FALSE(CopyFile(source, target, {IfExists::Refuse, true}, &error));
    EXPECT_FALSE(error.isEmpty());
    QFile t(target);
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    EXPECT_EQ(t.readAll(), QByteArray("new"));
    EXPECT_EQ(Entries(dir.filePath(QStringLiteral("out"))), QStringList({QStringLiteral("t.png")}));
}

// A second holder of a lock waits, says so once, and goes on when the first lets go; a cancelled
// wait gives up.
TEST(RunFolder, LockHoldersTakeTurns)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral(".lock"));
    auto first = TFileLock::Acquire(path);
    ASSERT_TRUE(first);

    std::atomic<int> told{0};
    std::atomic<bool> got{false};
    std::thread second([&] {
        const auto lock = TFileLock::Acquire(path, [&] { ++told; });
        got = lock != nullptr;
    });
    for (int i = 0; i < 400 && told == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(told.load(), 1);
    EXPECT_FALSE(got.load());
    first.reset();
    second.join();
    EXPECT_TRUE(got.load());
    EXPECT_EQ(told.load(), 1);

    first = TFileLock::Acquire(path);
    std::atomic<bool> cancel{true};
    EXPECT_FALSE(TFileLock::Acquire(path, {}, &cancel));
}
