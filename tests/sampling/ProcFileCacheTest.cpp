#include "sampling/ProcFileCache.h"

#include "ProcessFixtures.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <string>

namespace halvrick {
namespace {

namespace fs = std::filesystem;
using File = ProcFileCache::File;
using fixtures::RunningProgram;

std::size_t openDescriptors() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

class ProcFileCacheTest : public testing::Test {
protected:
    ProcFileCacheTest() : root(fixtures::freshFolder("kept")) {
        rootFD = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    ~ProcFileCacheTest() override {
        ::close(rootFD);
        fs::remove_all(root);
    }

    void write(std::int32_t pid, const std::string& stat, const std::string& status = "RssAnon: 1 kB\n") {
        fixtures::writeFile(root / std::to_string(pid) / "stat", stat);
        fixtures::writeFile(root / std::to_string(pid) / "status", status);
    }

    std::optional<std::string> read(ProcFileCache& cache, std::int32_t pid, File file = File::stat) {
        char buffer[256];
        const auto text = cache.read(rootFD, pid, file, buffer, sizeof buffer);
        return text ? std::optional<std::string>(*text) : std::nullopt;
    }

    fs::path root;
    int rootFD = -1;
};

TEST_F(ProcFileCacheTest, KeptFilesAreReadAgainFromTheirStart) {
    const std::size_t before = openDescriptors();
    {
        ProcFileCache cache(10);
        write(5, "5 (a) S 1 2 3\n", "Name: a\nRssAnon: 100 kB\n");
        EXPECT_EQ(read(cache, 5), "5 (a) S 1 2 3\n");
        EXPECT_EQ(read(cache, 5, File::status), "Name: a\nRssAnon: 100 kB\n");
        EXPECT_EQ(cache.openCount(), 2u);
        EXPECT_EQ(openDescriptors(), before + 2);

        // Rewritten in place, shorter than before, as a /proc file is on every read.
        write(5, "5 (a) R\n", "Name: a\n");
        cache.endSweep();
        EXPECT_EQ(read(cache, 5), "5 (a) R\n");
        EXPECT_EQ(read(cache, 5, File::status), "Name: a\n");
        EXPECT_EQ(openDescriptors(), before + 2);
    }
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(ProcFileCacheTest, FilesOfProcessesNotReadInASweepAreClosed) {
    ProcFileCache cache(10);
    for (const std::int32_t pid : {7, 8, 9}) {
        write(pid, std::to_string(pid) + " (p) S\n");
        EXPECT_TRUE(read(cache, pid));
        EXPECT_TRUE(read(cache, pid, File::status));
    }
    cache.endSweep();
    EXPECT_EQ(cache.openCount(), 6u);

    // 9 is no longer listed, so it is not read; 10 is listed but gone before it could be read.
    EXPECT_TRUE(read(cache, 7));
    EXPECT_TRUE(read(cache, 8));
    EXPECT_EQ(read(cache, 10), std::nullopt);
    cache.endSweep();
    // Reading a process's stat keeps its status open too.
    EXPECT_EQ(cache.openCount(), 4u);

    for (const std::int32_t pid : {0, -1}) {
        EXPECT_EQ(read(cache, pid), std::nullopt);
    }
    EXPECT_EQ(ProcFileCache(10).read(-1, 7, File::stat, nullptr, 0), std::nullopt);
}

TEST_F(ProcFileCacheTest, NeverKeepsMoreThanItsLimit) {
    for (std::int32_t pid = 1; pid <= 4; ++pid) {
        write(pid, std::to_string(pid) + " (p) S\n");
    }
    for (const std::size_t limit : {0u, 3u, 100u}) {
        SCOPED_TRACE(limit);
        ProcFileCache cache(limit);
        for (int sweep = 0; sweep < 2; ++sweep) {
            for (std::int32_t pid = 1; pid <= 4; ++pid) {
                EXPECT_EQ(read(cache, pid), std::to_string(pid) + " (p) S\n");
                EXPECT_EQ(read(cache, pid, File::status), "RssAnon: 1 kB\n");
            }
            cache.endSweep();
            EXPECT_EQ(cache.openCount(), std::min<std::size_t>(limit, 8));
        }
        // Room left by a process that ended goes to the next one read.
        for (std::int32_t pid = 2; pid <= 4; ++pid) {
            read(cache, pid);
        }
        cache.endSweep();
        for (std::int32_t pid = 2; pid <= 4; ++pid) {
            read(cache, pid, File::status);
        }
        EXPECT_EQ(cache.openCount(), std::min<std::size_t>(limit, 6));
    }
}

// Behind a fixture pid sits a real process's folder, so the descriptor is tied to that process.
TEST_F(ProcFileCacheTest, APidGivenToAnotherProcessIsOpenedAgain) {
    RunningProgram first({"/bin/sleep", "600"});
    ASSERT_GT(first.pid(), 0);
    const fs::path pid = root / "100";
    fs::create_directory_symlink(first.procFolder(), pid);
    ProcFileCache cache(10);
    ASSERT_TRUE(read(cache, 100));
    EXPECT_TRUE(read(cache, 100)->starts_with(std::to_string(first.pid()) + " (sleep)"));
    EXPECT_TRUE(read(cache, 100, File::status));
    cache.endSweep();

    // The first process ends and the pid names a new one: the kept files give errors, so both are
    // opened again and read the new process.
    first.end();
    RunningProgram second({"/bin/sleep", "600"});
    ASSERT_GT(second.pid(), 0);
    fs::remove(pid);
    fs::create_directory_symlink(second.procFolder(), pid);
    const auto stat = read(cache, 100);
    ASSERT_TRUE(stat);
    EXPECT_TRUE(stat->starts_with(std::to_string(second.pid()) + " (sleep)")) << *stat;
    EXPECT_EQ(cache.openCount(), 1u);
    const auto status = read(cache, 100, File::status);
    ASSERT_TRUE(status);
    EXPECT_NE(status->find("Pid:\t" + std::to_string(second.pid()) + "\n"), std::string::npos);
    EXPECT_EQ(cache.openCount(), 2u);

    // Ended with nothing in its place: nothing is read and nothing stays open.
    second.end();
    fs::remove(pid);
    EXPECT_EQ(read(cache, 100), std::nullopt);
    EXPECT_EQ(read(cache, 100, File::status), std::nullopt);
    EXPECT_EQ(cache.openCount(), 0u);
}

// Restores the descriptor limits of this process when the test ends.
class DescriptorLimits {
public:
    DescriptorLimits() { ::getrlimit(RLIMIT_NOFILE, &saved_); }
    ~DescriptorLimits() { ::setrlimit(RLIMIT_NOFILE, &saved_); }
    DescriptorLimits(const DescriptorLimits&) = delete;
    DescriptorLimits& operator=(const DescriptorLimits&) = delete;
    const rlimit& saved() const { return saved_; }

private:
    rlimit saved_{};
};

TEST_F(ProcFileCacheTest, AFullCacheRaisesTheSoftDescriptorLimit) {
    const DescriptorLimits limits;
    constexpr rlim_t soft = ProcFileCache::reservedDescriptors + 4;
    if (limits.saved().rlim_max != RLIM_INFINITY && limits.saved().rlim_max < soft + 16) {
        GTEST_SKIP() << "the hard descriptor limit leaves no room to raise the soft one";
    }
    rlimit lowered = limits.saved();
    lowered.rlim_cur = soft;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);

    ProcFileCache cache;
    EXPECT_EQ(cache.limit(), 4u);
    for (std::int32_t pid = 1; pid <= 6; ++pid) {
        write(pid, "stat\n");
        EXPECT_TRUE(read(cache, pid));
    }
    EXPECT_EQ(cache.openCount(), 6u);
    rlimit raised{};
    ::getrlimit(RLIMIT_NOFILE, &raised);
    const rlim_t wanted = ProcFileCache::largestLimit + ProcFileCache::reservedDescriptors;
    EXPECT_EQ(raised.rlim_cur, limits.saved().rlim_max == RLIM_INFINITY ? wanted
                                                                       : std::min(limits.saved().rlim_max, wanted));
    EXPECT_EQ(cache.limit(), std::min<std::size_t>(raised.rlim_cur - ProcFileCache::reservedDescriptors,
                                                   ProcFileCache::largestLimit));
}

TEST_F(ProcFileCacheTest, AnExplicitLimitLeavesTheDescriptorLimitAlone) {
    const DescriptorLimits limits;
    ProcFileCache cache(1);
    for (std::int32_t pid = 1; pid <= 3; ++pid) {
        write(pid, "stat\n");
        EXPECT_TRUE(read(cache, pid));
    }
    EXPECT_EQ(cache.openCount(), 1u);
    rlimit now{};
    ::getrlimit(RLIMIT_NOFILE, &now);
    EXPECT_EQ(now.rlim_cur, limits.saved().rlim_cur);
}

} // namespace
} // namespace halvrick
