// The writer asks the walk and the hasher for news once a directory, without
// waiting; asking must not put it to sleep.
#include "catalogue/FileHasher.h"
#include "catalogue/TreeCollector.h"
#include "core/platform/LinuxFileSystem.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvik;
using namespace orvik::test;

namespace {

// This thread's sleeps so far.
long sleepsOfThisThread() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nvcsw;
}

// The real file system, except that listing `held` waits for `release`.
struct HoldingFileSystem : LinuxFileSystem {
    QString held;
    std::shared_future<void> release;
    std::vector<DirEntry> listEntries(const QString& path, bool examineFiles) const override {
        if (path == held) release.wait();
        return LinuxFileSystem::listEntries(path, examineFiles);
    }
};

constexpr auto NoWait = std::chrono::milliseconds(0);

} // namespace

TEST(TakeWithoutWaiting, neitherTheWalkNorTheHasherSleepsWhenNothingIsReady) {
    QTemporaryDir disc;
    makeFile(disc.path() + "/a/one.txt");
    makeFile(disc.path() + "/b/two.txt");
    std::promise<void> release;
    HoldingFileSystem files;
    files.held = disc.path() + "/b/";
    files.release = release.get_future().share();
    {
        // The walk hands over fewer directories than it hands at once, then
        // stops at "b": news are pending, none are ready.
        TreeCollector walk(files, disc.path());
        size_t handedOver = 0;
        for (int i = 0; i < 100 && handedOver < 2; ++i)
            handedOver += walk.take(std::chrono::milliseconds(100)).directories.size();
        EXPECT_EQ(handedOver, 2u);
        const long before = sleepsOfThisThread();
        for (int i = 0; i < 50; ++i)
            EXPECT_FALSE(walk.take(NoWait).finished);
        EXPECT_EQ(sleepsOfThisThread() - before, 0);
        release.set_value();
    }

    // A file that cannot be opened until a writer comes keeps a hash pending.
    const QString fifo = disc.path() + "/fifo";
    ASSERT_EQ(mkfifo(fifo.toUtf8().constData(), 0600), 0);
    FileHasher hasher(1);
    hasher.add(1, fifo, 0);
    hasher.take(NoWait); // its code paged in
    const long before = sleepsOfThisThread();
    for (int i = 0; i < 50; ++i)
        EXPECT_TRUE(hasher.take(NoWait).empty());
    EXPECT_EQ(sleepsOfThisThread() - before, 0);
    ::close(::open(fifo.toUtf8().constData(), O_WRONLY)); // lets the hasher end
    EXPECT_EQ(hasher.take(std::chrono::seconds(10)).size(), 1u);
}
