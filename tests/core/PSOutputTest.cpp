#include "core/PSOutput.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace halvrick {
namespace {

std::string readFixture(const std::string& name) {
    std::ifstream in(std::string(HALVRICK_TEST_DATA) + "/ps/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(PSOutputTest, ParsesALinuxListing) {
    const std::vector<PSRow> rows = PSOutput::parse(readFixture("listing-1.txt"));
    struct Expected {
        std::int32_t pid;
        double cpuSeconds;
        std::string command;
        std::string name;
    };
    const std::vector<Expected> expected{
        {1, 4, "systemd", "systemd"},
        {2, 0, "kthreadd", "kthreadd"},
        {9, 0, "kworker/0:0-cgroup_pidlist_destroy", "kworker"},
        {11, 1, "kworker/0:1-events", "kworker"},
        {14, 0, "ksoftirqd/0", "ksoftirqd"},
        {18, 0, "migration/0", "migration"},
        {23, 0, "migration/1", "migration"},
        {24, 0, "ksoftirqd/1", "ksoftirqd"},
        {412, 12, "systemd-journal", "systemd-journal"},
        {873, 151, "Xwayland", "Xwayland"},
        {901, 4329, "gnome-shell", "gnome-shell"},
        {1204, 40, "pipewire", "pipewire"},
        {1207, 10, "wireplumber", "wireplumber"},
        {1530, 300, "tracker-miner-f", "tracker-miner-f"},
        {2210, 600, "firefox-esr", "firefox-esr"},
        {2301, 180, "Isolated Web Co", "Isolated Web Co"},
        {2302, 60, "Isolated Web Co", "Isolated Web Co"},
        {2400, 30, "Web Content", "Web Content"},
        {3001, 12345.0 * 86400 + 86399, "stress-ng", "stress-ng"},
        // Bytes that are not UTF-8 are mended in their own line; the kernel cut the last name
        // inside a character.
        {3100, 2, "caf\xC3\xA9-\xEF\xBF\xBD-daemon", "caf\xC3\xA9-\xEF\xBF\xBD-daemon"},
        {3101, 1, "r\xEF\xBF\xBDsum\xC3\xA9", "r\xEF\xBF\xBDsum\xC3\xA9"},
        // The kernel cut the last character in half: the stub is dropped.
        {3102, 0, "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x83\x97", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x83\x97"},
        {3200, 7, "/usr/libexec/tracker-extract-3", "tracker-extract-3"},
    };
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].pid, expected[i].pid) << i;
        EXPECT_EQ(rows[i].cpuSeconds, expected[i].cpuSeconds) << expected[i].command;
        EXPECT_EQ(rows[i].command, expected[i].command) << i;
        EXPECT_EQ(rows[i].name(), expected[i].name) << i;
    }
}

TEST(PSOutputTest, LinesYieldARowOnlyWhenWellFormed) {
    struct Case {
        std::string line;
        std::optional<PSRow> expected;
    };
    const std::vector<Case> cases{
        {"  123     0:01.50 /usr/libexec/some daemon", PSRow{123, 1.5, "/usr/libexec/some daemon"}},
        {"1 2 x", PSRow{1, 2, "x"}},
        {"7 00:00:01 \t Web Content \t ", PSRow{7, 1, "Web Content"}},
        {"7 00:00:01  two  spaces  inside", PSRow{7, 1, "two  spaces  inside"}},
        {"-5 1 negative pid", PSRow{-5, 1, "negative pid"}},
        {"+5 1 plus", PSRow{5, 1, "plus"}},
        {"2147483647 1 max", PSRow{2147483647, 1, "max"}},
        {"   42 00:00:01", std::nullopt},
        {"   42 00:00:01 ", std::nullopt},
        {"   42 00:00:01 \t \t", std::nullopt},
        {"   x1 00:00:01 name", std::nullopt},
        {"   4.2 00:00:01 name", std::nullopt},
        {"2147483648 1 too big", std::nullopt},
        {"+-5 1 odd sign", std::nullopt},
        {"   42 1:2:3:4 name", std::nullopt},
        {"   42 1:-2 name", std::nullopt},
        {"   42 nan name", std::nullopt},
        {"   42 inf name", std::nullopt},
        {"   42 1e3 name", std::nullopt},
        {"42\t00:00:01 tab-separated", std::nullopt},
        {"        ", std::nullopt},
        {"ps: error", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::vector<PSRow> rows = PSOutput::parse(c.line);
        EXPECT_EQ(rows.empty() ? std::nullopt : std::optional<PSRow>(rows.front()), c.expected) << c.line;
        EXPECT_LE(rows.size(), 1u);
    }
}

TEST(PSOutputTest, IllFormedBytesSpoilNoOtherLine) {
    const std::string text =
        std::string("  1 0:01 before\n") + "  2 0:02 \xC0\xAF\xE0\x80\xAF\xED\xA0\x80\xF4\x90\x80\x80 x\n" +
        "  3 0:03 \xF0\x9F\x8D\x90 pea\n" + "  \xFF 0:04 bad pid\n" + "\n\n" + "  5 0:05 after";
    const std::vector<PSRow> rows = PSOutput::parse(text);
    std::string marks;
    for (int i = 0; i < 12; ++i) {
        marks += "\xEF\xBF\xBD";
    }
    EXPECT_EQ(rows, (std::vector<PSRow>{
                        {1, 1, "before"},
                        // Overlong forms, a surrogate and beyond U+10FFFF: one mark per byte, none valid.
                        {2, 2, marks + " x"},
                        {3, 3, "\xF0\x9F\x8D\x90 pea"},
                        {5, 5, "after"},
                    }));
}

TEST(PSOutputTest, CPUTimeForms) {
    struct Case {
        std::string text;
        std::optional<double> seconds;
    };
    const std::vector<Case> cases{
        {"61", 61},
        {"1:01", 61},
        {"1:00:00", 3600},
        {"12:34.56", 754.56},
        {"0:00.07", 0.07},
        {"00:00:04", 4},
        {"1-02:03:04", 93784},
        {"2-00:00:01", 172801},
        {"1.5-0", 129600},
        {"99999999-00:00:00", 8639999913600},
        {"5.", 5},
        {".5", 0.5},
        {std::string(400, '9'), std::nullopt},
        {std::string(306, '9') + "-0", std::nullopt},
        {"-00:01", std::nullopt},
        {"1-", std::nullopt},
        {"1--2", std::nullopt},
        {"x-00:01", std::nullopt},
        {"1:2:3:4", std::nullopt},
        {"1::2", std::nullopt},
        {":30", std::nullopt},
        {"", std::nullopt},
        {".", std::nullopt},
        {"1.2.3", std::nullopt},
        {"+5", std::nullopt},
        {" 5", std::nullopt},
        {"nan", std::nullopt},
        {"inf", std::nullopt},
        {"0x10", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<double> seconds = PSOutput::parseCPUTime(c.text);
        if (c.seconds) {
            ASSERT_TRUE(seconds.has_value()) << c.text;
            EXPECT_DOUBLE_EQ(*seconds, *c.seconds) << c.text;
        } else {
            EXPECT_EQ(seconds, std::nullopt) << c.text;
        }
    }
}

TEST(PSOutputTest, NameOfACommand) {
    struct Case {
        std::string command;
        std::string name;
    };
    const std::vector<Case> cases{
        {"/usr/libexec/some daemon", "some daemon"},
        {"/usr/bin/", "bin"},
        {"//usr//sbin//cupsd", "cupsd"},
        {"/", "/"},
        {"///", "///"},
        {"pipewire", "pipewire"},
        {"Isolated Web Co", "Isolated Web Co"},
        {"kworker/u8:2-events_unbound", "kworker"},
        {"kworker/R-rcu_gp", "kworker"},
        {"ksoftirqd/3", "ksoftirqd"},
        {"irq/125-nvme0q0", "irq"},
        {"jbd2/nvme0n1p2-8", "jbd2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ((PSRow{1, 0, c.command}.name()), c.name) << c.command;
    }
}

} // namespace
} // namespace halvrick
