#include "core/MendedUTF8.h"
#include "sampling/ProcessReader.h"

#include "ProcessFixtures.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace halvrick {
namespace {

using fixtures::FakeProcess;
using fixtures::ProcTree;

TEST(ProcessReaderParseTest, ReadsCountersAfterTheLastParenthesis) {
    const struct {
        const char* line;
        std::optional<ProcessStat> expected;
    } cases[] = {
        {"16378 (head) R 16375 16375 8617 0 -1 4194304 101 0 0 0 7 3 5 5 20 0 1 0 81373 2998272 408 0\n",
         ProcessStat{10, 81373, 4194304, 1}},
        // a name may hold blanks and parentheses
        {"42 (my (odd) name) S 1 1 1 0 -1 4194560 0 0 0 0 100 50 0 0 20 0 12 0 999 0 0\n",
         ProcessStat{150, 999, 4194560, 12}},
        {"2 (kthreadd) S 0 0 0 0 -1 2129984 0 0 0 0 0 1 0 0 20 0 1 0 2 0 0\n", ProcessStat{1, 2, 2129984, 1}},
        {"1 (init) S 1 1 1 0 -1 4194560 0 0 0 0 100 50\n", std::nullopt},
        {"1 init S 1 1 1 0 -1 4194560 0 0 0 0 100 50 0 0 20 0 1 0 999 0 0\n", std::nullopt},
        {"1 (init) S 1 1 1 0 -1 4194560 0 0 0 0 x 50 0 0 20 0 1 0 999 0 0\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProcProcessReader::parseStat(c.line), c.expected) << c.line;
    }
    EXPECT_TRUE(ProcProcessReader::parseStat(cases[2].line)->isKernelThread());
    EXPECT_FALSE(ProcProcessReader::parseStat(cases[0].line)->isKernelThread());
    EXPECT_EQ(ProcProcessReader::nameInStat(cases[1].line), "my (odd) name");
}

TEST(ProcessReaderParseTest, FootprintIsAnonymousMemoryResidentOrSwapped) {
    EXPECT_EQ(ProcProcessReader::parseFootprint("Name:\tx\nRssAnon:\t  1200 kB\nRssFile:\t 9000 kB\nVmSwap:\t 34 kB\n"),
              (1200u + 34u) * 1024u);
    EXPECT_EQ(ProcProcessReader::parseFootprint("RssAnon:\t 8 kB\n"), 8u * 1024u);
    // a kernel thread has no memory lines; a key inside another line does not count
    EXPECT_EQ(ProcProcessReader::parseFootprint("Name:\tkthreadd\nState:\tS\nXRssAnon:\t 5 kB\n"), 0u);
}

TEST(ProcessReaderParseTest, StatmGivesResidentAnonymousPagesAndMeminfoTellsWhetherSwapIsInUse) {
    EXPECT_EQ(ProcProcessReader::parseStatmFootprint("5000 1200 200 10 0 900 0\n", 4096), 1000u * 4096u);
    EXPECT_EQ(ProcProcessReader::parseStatmFootprint("0 0 0 0 0 0 0\n", 4096), 0u);
    EXPECT_EQ(ProcProcessReader::parseStatmFootprint("10 3 5 0 0 0 0\n", 4096), 0u);
    for (const char* malformed : {"", "12", "12 4", "a b c"}) {
        EXPECT_EQ(ProcProcessReader::parseStatmFootprint(malformed, 4096), std::nullopt) << malformed;
    }
    const struct {
        const char* meminfo;
        bool inUse;
    } cases[] = {
        {"MemTotal: 100 kB\nSwapTotal:  2048 kB\nSwapFree:  2048 kB\n", false},
        {"SwapTotal:  0 kB\nSwapFree:  0 kB\n", false},
        {"SwapTotal:  2048 kB\nSwapFree:  2000 kB\n", true},
        {"MemTotal: 100 kB\n", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProcProcessReader::swapInUse(c.meminfo), c.inUse) << c.meminfo;
    }
}

class ProcessReaderTest : public testing::Test {
protected:
    void TearDown() override { fixtures::fs::remove_all(tree.root()); }
    ProcTree tree{fixtures::freshFolder("proc")};
};

TEST_F(ProcessReaderTest, ReadsOneProcess) {
    FakeProcess p{.pid = 321, .name = "worker", .exe = "/usr/bin/worker (deleted)", .cpu = 90, .start = 77};
    p.rssAnonKB = 2;
    p.swapKB = 1;
    tree.write(p);
    ProcProcessReader reader(tree.root().string(), 100);
    EXPECT_EQ(reader.readStat(321), (ProcessStat{90, 77, 0x400000, 1}));
    EXPECT_EQ(reader.readRunTime(321), std::nullopt) << "a kernel without schedstat files";
    fixtures::writeFile(tree.root() / "321" / "schedstat", "123456789 2000 7\n");
    EXPECT_EQ(reader.readRunTime(321), 123456789U);
    EXPECT_EQ(reader.readFootprint(321), 3u * 1024u);
    // a program replaced by an upgrade is still the same program
    EXPECT_EQ(reader.readPath(321), "/usr/bin/worker");
    EXPECT_EQ(reader.readName(321), "worker");
    EXPECT_EQ(reader.readCgroup(321), p.cgroup);
    EXPECT_EQ(reader.ticksPerSecond(), 100);
}

TEST_F(ProcessReaderTest, WithoutSwapInUseTheFootprintComesFromStatm) {
    FakeProcess p{.pid = 321, .name = "worker", .exe = "/usr/bin/worker"};
    p.rssAnonKB = 2;
    p.swapKB = 1;
    tree.write(p);
    const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    fixtures::writeFile(tree.root() / "321" / "statm", "900 50 20 1 0 60 0\n");
    ProcProcessReader reader(tree.root().string(), 100);
    // No meminfo: the swap may be in use, so status is read.
    reader.beginSweep();
    EXPECT_EQ(reader.readFootprint(321), 3u * 1024u);
    fixtures::writeFile(tree.root() / "meminfo", "SwapTotal:  4096 kB\nSwapFree:   4096 kB\n");
    reader.beginSweep();
    EXPECT_EQ(reader.readFootprint(321), 30u * page);
    fixtures::writeFile(tree.root() / "meminfo", "SwapTotal:  4096 kB\nSwapFree:   4000 kB\n");
    reader.beginSweep();
    EXPECT_EQ(reader.readFootprint(321), 3u * 1024u);
}

TEST_F(ProcessReaderTest, FallsBackOrGivesNothing) {
    tree.write(FakeProcess{.pid = 5, .name = "a b", .exe = std::nullopt});
    tree.removeEntry(5, "comm");
    ProcProcessReader reader(tree.root().string());
    EXPECT_EQ(reader.readName(5), "a b");
    EXPECT_EQ(reader.readPath(5), std::nullopt);
    for (const std::int32_t pid : {6, 0, -1}) {
        EXPECT_EQ(reader.readStat(pid), std::nullopt);
        EXPECT_EQ(reader.readFootprint(pid), std::nullopt);
        EXPECT_EQ(reader.readPath(pid), std::nullopt);
        EXPECT_EQ(reader.readName(pid), std::nullopt);
        EXPECT_EQ(reader.readCgroup(pid), "");
    }
    ProcProcessReader nowhere((tree.root() / "missing").string());
    EXPECT_EQ(nowhere.readStat(5), std::nullopt);
}

TEST(ProcessReaderSmokeTest, ReadsItsOwnProcess) {
    ProcProcessReader reader;
    const auto self = static_cast<std::int32_t>(::getpid());
    const auto stat = reader.readStat(self);
    ASSERT_TRUE(stat.has_value());
    EXPECT_GT(stat->startTime, 0u);
    EXPECT_FALSE(stat->isKernelThread());
    EXPECT_GT(reader.readFootprint(self).value_or(0), 0u);
    reader.beginSweep();
    EXPECT_GT(reader.readFootprint(self).value_or(0), 0u);
    EXPECT_TRUE(reader.readPath(self).has_value());
    EXPECT_TRUE(reader.readName(self).has_value());
}

TEST(MendedUTF8Test, ReplacesInvalidSequencesAndDropsACutOffEnd) {
    const std::string r = "\xEF\xBF\xBD";
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"plain", "plain"},
        {"caf\xC3\xA9 \xF0\x9F\x98\x80", "caf\xC3\xA9 \xF0\x9F\x98\x80"},
        {"\xFF\xFE" "abc", r + r + "abc"},
        {"a\xC3(b", "a" + r + "(b"},
        {"\xC0\xAF", r + r},                 // overlong
        {"\xED\xA0\x80", r + r + r},         // surrogate
        {"\xF4\x90\x80\x80", r + r + r + r}, // above U+10FFFF
        {"name\xE2\x82", "name"},            // the kernel cut the last character
        {"\xC3", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mendedUTF8(c.in), c.out) << c.in;
    }
}

} // namespace
} // namespace halvrick
