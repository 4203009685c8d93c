#include "sampling/HostCPU.h"
#include "sampling/ProcessList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>

#include <unistd.h>

namespace halvrick {
namespace {

namespace fs = std::filesystem;

struct StatCase {
    const char* line;
    std::optional<HostCPU::Ticks> expected;
};

TEST(HostCPUTest, ParsesTheAggregateLine) {
    const StatCase cases[] = {
        // user nice system idle iowait irq softirq steal guest guest_nice
        {"cpu  16430 0 16177 408769 366 0 505 0 0 0", HostCPU::Ticks{33112, 33112 + 408769 + 366}},
        // guest time is already inside user and nice
        {"cpu  100 10 50 800 40 3 2 1 90 9", HostCPU::Ticks{166, 166 + 840}},
        // an old kernel with only four fields
        {"cpu  10 1 5 84", HostCPU::Ticks{16, 100}},
        {"cpu  18446744073709551615 0 0 0", HostCPU::Ticks{18446744073709551615ULL, 18446744073709551615ULL}},
        {"cpu0 10 1 5 84", std::nullopt},
        {"cpu  10 1 5", std::nullopt},
        {"cpu  10 x 5 84", std::nullopt},
        {"", std::nullopt},
    };
    for (const StatCase& c : cases) {
        EXPECT_EQ(HostCPU::parseStatLine(c.line), c.expected) << c.line;
    }
}

class ProcTreeTest : public testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("halvrick-proc-" + std::to_string(::getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }
    fs::path root;
};

TEST_F(ProcTreeTest, ReadsTicksFromTheStatFile) {
    std::ofstream(root / "stat") << "cpu  10 1 5 84 0 0 0 0 0 0\ncpu0 10 1 5 84 0 0 0 0 0 0\n";
    EXPECT_EQ(HostCPU::readTicks(root.string()), (HostCPU::Ticks{16, 100}));
    EXPECT_EQ(ProcTickReader(root.string()).readTicks(), (HostCPU::Ticks{16, 100}));
    fs::remove(root / "stat");
    EXPECT_EQ(HostCPU::readTicks(root.string()), std::nullopt);
}

TEST_F(ProcTreeTest, TheTickReaderFollowsItsFileAsItChangesOrAppears) {
    ProcTickReader reader(root.string());
    EXPECT_EQ(reader.readTicks(), std::nullopt);
    std::ofstream(root / "stat") << "cpu  10 1 5 84 0 0 0 0 0 0\n";
    EXPECT_EQ(reader.readTicks(), (HostCPU::Ticks{16, 100}));
    // Rewritten in place with a shorter line, as /proc/stat is on every read.
    std::ofstream(root / "stat") << "cpu  1 0 0 9\n";
    EXPECT_EQ(reader.readTicks(), (HostCPU::Ticks{1, 10}));
}

TEST_F(ProcTreeTest, ListsOnlyNumericEntries) {
    for (const char* name : {"1", "42", "007", "self", "12a", "cpuinfo"}) {
        fs::create_directories(root / name);
    }
    std::vector<std::int32_t> pids = ProcessList::allPIDs(root.string());
    std::sort(pids.begin(), pids.end());
    EXPECT_EQ(pids, (std::vector<std::int32_t>{1, 7, 42}));
    EXPECT_TRUE(ProcessList::allPIDs((root / "missing").string()).empty());
}

TEST_F(ProcTreeTest, AListerKeepsUpWithItsFolder) {
    const fs::path proc = root / "proc";
    ProcProcessLister lister(proc.string());
    EXPECT_TRUE(lister.allPIDs().empty());
    for (const char* name : {"42", "7", "300", "1", "self"}) {
        fs::create_directories(proc / name);
    }
    EXPECT_EQ(lister.allPIDs(), (std::vector<std::int32_t>{1, 7, 42, 300}));
    fs::remove(proc / "7");
    fs::create_directories(proc / "8");
    EXPECT_EQ(lister.allPIDs(), (std::vector<std::int32_t>{1, 8, 42, 300}));
    // A folder put in the place of the one it read.
    fs::remove_all(proc);
    fs::create_directories(proc / "5");
    EXPECT_TRUE(lister.allPIDs().empty());
    EXPECT_EQ(lister.allPIDs(), (std::vector<std::int32_t>{5}));
}

TEST_F(ProcTreeTest, AListerReadsTheFolderAgainOnlyWhenATaskBeganOrEnded) {
    const fs::path proc = root / "proc";
    for (const char* name : {"1", "7"}) {
        fs::create_directories(proc / name);
    }
    std::ofstream(proc / "loadavg") << "0.10 0.20 0.30 1/12 400\n";
    ProcProcessLister lister(proc.string());
    EXPECT_EQ(lister.allPIDs(), (std::vector<std::int32_t>{1, 7}));
    // Only the running count moved: nothing began or ended, so the folder is not read.
    fs::create_directories(proc / "9");
    std::ofstream(proc / "loadavg") << "0.50 0.20 0.30 3/12 400\n";
    EXPECT_EQ(lister.allPIDs(), (std::vector<std::int32_t>{1, 7}));
    std::ofstream(proc / "loadavg") << "0.50 0.20 0.30 3/13 401\n";
    EXPECT_EQ(lister.allPIDs(), (std::vector<std::int32_t>{1, 7, 9}));
    // A task reaped lowers the count without a new pid.
    fs::remove(proc / "7");
    std::ofstream(proc / "loadavg") << "0.50 0.20 0.30 3/12 401\n";
    EXPECT_EQ(lister.allPIDs(), (std::vector<std::int32_t>{1, 9}));
    // Without a mark to trust, every listing reads the folder.
    std::ofstream(proc / "loadavg") << "garbled\n";
    fs::create_directories(proc / "20");
    EXPECT_EQ(lister.allPIDs(), (std::vector<std::int32_t>{1, 9, 20}));
    fs::create_directories(proc / "21");
    EXPECT_EQ(lister.allPIDs(), (std::vector<std::int32_t>{1, 9, 20, 21}));
}

TEST(ProcProcessListerTest, TakesTheThreadCountAndNewestPidFromLoadavg) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"0.00 0.01 0.05 1/123 4567\n", "123 4567"},
        {"12.50 8.00 4.25 17/2048 4194303", "2048 4194303"},
        {"0.00 0.01 0.05 1/123\n", std::nullopt},
        {"0.00 0.01 0.05 1/ 4567\n", std::nullopt},
        {"0.00 0.01 0.05 1/12x 4567\n", std::nullopt},
        {"0.00 0.01 0.05 1/123 45 67\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, mark] : cases) {
        EXPECT_EQ(ProcProcessLister::taskMark(text), mark) << text;
    }
}

TEST(HostCPUSmokeTest, ReadsThisMachine) {
    const auto first = HostCPU::readTicks();
    ASSERT_TRUE(first.has_value());
    EXPECT_GT(first->total, 0u);
    EXPECT_LE(first->busy, first->total);
    const std::vector<std::int32_t> pids = ProcessList::allPIDs();
    EXPECT_NE(std::find(pids.begin(), pids.end(), static_cast<std::int32_t>(::getpid())), pids.end());
    EXPECT_GT(HostCPU::ticksPerSecond(), 0);
}

} // namespace
} // namespace halvrick
