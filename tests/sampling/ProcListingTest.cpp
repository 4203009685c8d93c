#include "sampling/ProcListing.h"

#include "sampling/HostCPU.h"

#include <QByteArrayView>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace halvrick {
namespace {

namespace fs = std::filesystem;

std::string statText(int pid, const std::string& name, int utime, int stime) {
    return std::to_string(pid) + " (" + name + ") S 1 1 1 0 -1 4194560 1234 5678 10 20 " +
           std::to_string(utime) + " " + std::to_string(stime) +
           " 1 2 20 0 1 0 5 123456 789 18446744073709551615\n";
}

bool isUTF8(const std::string& text) {
    return QByteArrayView(text).isValidUtf8();
}

struct StatCase {
    const char* label;
    std::int32_t pid;
    std::string stat;
    std::optional<PSRow> expected;
};

TEST(ProcListingTest, ParsesOneStatText) {
    const StatCase cases[] = {
        {"plain", 1, statText(1, "systemd", 150, 250), PSRow{1, 4.0, "systemd"}},
        // the name ends at the last ")", whatever it holds
        {"parentheses", 7, statText(7, "a) (b ) S 9 9", 3, 4), PSRow{7, 0.07, "a) (b ) S 9 9"}},
        {"outer spaces", 7, statText(7, "  spaced out  ", 0, 1), PSRow{7, 0.01, "spaced out"}},
        {"kernel thread", 12, statText(12, "kworker/0:1-events", 0, 5),
         PSRow{12, 0.05, "kworker/0:1-events"}},
        {"control characters", 7, statText(7, "tab\there\nnl", 0, 0), PSRow{7, 0, "tab?here?nl"}},
        {"without trailing newline", 5, "5 (x) R 1 1 1 0 -1 0 0 0 0 0 7 3", PSRow{5, 0.1, "x"}},
        {"empty name", 7, statText(7, "", 1, 1), std::nullopt},
        {"blank name", 7, statText(7, "   ", 1, 1), std::nullopt},
        {"no closing parenthesis", 7, "7 (x S 1 1 1 0 -1 0 0 0 0 0 7 3", std::nullopt},
        {"closing before opening", 7, "7 )x( S 1 1 1 0 -1 0 0 0 0 0 7 3", std::nullopt},
        {"stime missing", 7, "7 (x) S 1 1 1 0 -1 0 0 0 0 0 7", std::nullopt},
        {"utime not a number", 7, "7 (x) S 1 1 1 0 -1 0 0 0 0 0 -7 3", std::nullopt},
        {"empty", 7, "", std::nullopt},
    };
    for (const StatCase& c : cases) {
        const auto row = ProcListing::parseStat(c.pid, c.stat, 100);
        ASSERT_EQ(row.has_value(), c.expected.has_value()) << c.label;
        if (row) {
            EXPECT_EQ(row->pid, c.expected->pid) << c.label;
            EXPECT_DOUBLE_EQ(row->cpuSeconds, c.expected->cpuSeconds) << c.label;
            EXPECT_EQ(row->command, c.expected->command) << c.label;
        }
    }
}

TEST(ProcListingTest, KernelThreadInstancesShareTheirBaseName) {
    const auto row = ProcListing::parseStat(12, statText(12, "kworker/0:1-events", 0, 5), 100);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->name(), "kworker");
}

TEST(ProcListingTest, NameThatIsNotUTF8IsMendedOnItsOwn) {
    const auto row = ProcListing::parseStat(77, statText(77, "bad\xff\xfe\xc3name", 1, 0), 100);
    ASSERT_TRUE(row);
    EXPECT_TRUE(isUTF8(row->command));
    EXPECT_TRUE(row->command.starts_with("bad\xEF\xBF\xBD"));
    EXPECT_TRUE(row->command.ends_with("\xEF\xBF\xBDname"));
    EXPECT_DOUBLE_EQ(row->cpuSeconds, 0.01);
    // valid multi-byte names stay as they are
    const auto fine = ProcListing::parseStat(78, statText(78, "gr\xC3\xBCn-\xE2\x9C\x93", 0, 0), 100);
    ASSERT_TRUE(fine);
    EXPECT_EQ(fine->command, "gr\xC3\xBCn-\xE2\x9C\x93");
}

class ProcListingTreeTest : public testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("halvrick-listing-" + std::to_string(::getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }

    void addProcess(const std::string& entry, const std::string& stat) {
        fs::create_directories(root / entry);
        std::ofstream(root / entry / "stat", std::ios::binary) << stat;
    }

    fs::path root;
};

TEST_F(ProcListingTreeTest, ListsEveryReadableProcessAndNothingElse) {
    const double hz = HostCPU::ticksPerSecond();
    addProcess("1", statText(1, "systemd", 150, 250));
    addProcess("12", statText(12, "kworker/0:1-events", 0, 5));
    addProcess("42", statText(42, "a) (b ", 3, 4));
    addProcess("77", statText(77,
                              "bad\xff"
                              "name",
                              2, 0));
    addProcess("123", "123 (broken) S 1");
    // listed in the folder, gone before its stat was read
    fs::create_directories(root / "99");
    addProcess("self", statText(5, "not a pid", 1, 1));
    std::ofstream(root / "stat") << "cpu  1 2 3 4\n";

    auto rows = ProcListing::read(root.string());
    ASSERT_TRUE(rows);
    std::sort(rows->begin(), rows->end(), [](const PSRow& a, const PSRow& b) { return a.pid < b.pid; });
    ASSERT_EQ(rows->size(), 4u);
    EXPECT_EQ((*rows)[0], (PSRow{1, 400 / hz, "systemd"}));
    EXPECT_EQ((*rows)[1], (PSRow{12, 5 / hz, "kworker/0:1-events"}));
    EXPECT_EQ((*rows)[2], (PSRow{42, 7 / hz, "a) (b"}));
    EXPECT_EQ((*rows)[3].pid, 77);
    EXPECT_EQ((*rows)[3].command, "bad\xEF\xBF\xBDname");
    const auto fromRunner = ProcListingRunner(root.string()).list();
    ASSERT_TRUE(fromRunner);
    EXPECT_EQ(fromRunner->size(), 4u);
}

TEST_F(ProcListingTreeTest, NoProcessesIsAFailedListing) {
    EXPECT_EQ(ProcListing::read(root.string()), std::nullopt);
    EXPECT_EQ(ProcListing::read((root / "missing").string()), std::nullopt);
}

TEST(ProcListingSmokeTest, ListsThisProcessFromTheRealProc) {
    const auto rows = ProcListing::read();
    ASSERT_TRUE(rows);
    std::ifstream commFile("/proc/self/comm");
    std::string comm;
    std::getline(commFile, comm);
    const auto self =
        std::find_if(rows->begin(), rows->end(), [](const PSRow& r) { return r.pid == ::getpid(); });
    ASSERT_NE(self, rows->end());
    EXPECT_EQ(self->command, comm);
    EXPECT_GE(self->cpuSeconds, 0);
    EXPECT_TRUE(std::all_of(rows->begin(), rows->end(), [](const PSRow& r) { return isUTF8(r.command); }));
}

} // namespace
} // namespace halvrick
