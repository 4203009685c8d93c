#include "model/SampleLog.h"

#include <gtest/gtest.h>
#include <iostream>
#include <sstream>
#include <string>

namespace halvrick {
namespace {

// What the log writes to standard output for `line`.
std::string written(const std::string& line) {
    std::ostringstream out;
    std::streambuf* const saved = std::cout.rdbuf(out.rdbuf());
    SampleLog::writeToStandardOutput(line);
    std::cout.rdbuf(saved);
    return out.str();
}

TEST(SampleLogTest, ANameCannotForgeALineOrTurnItAround) {
    const struct {
        const char* line;
        const char* expected;
    } rows[] = {
        {"[09:00:01.0] raw 40% · top Compiler 42%", "[09:00:01.0] raw 40% · top Compiler 42%\n"},
        {"HEADS-UP: evil\n[09:00:02.0] REST: breakTaken is hot",
         "HEADS-UP: evil\\n[09:00:02.0] REST: breakTaken is hot\n"},
        {"REMINDER: \xE2\x80\xAEhctertS", "REMINDER: \\u{202E}hctertS\n"},
        {"[09:00:01.0] top a\rb\x1B[2K 3%", "[09:00:01.0] top a\\rb\\x1B[2K 3%\n"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(written(row.line), row.expected) << row.line;
    }
}

TEST(SampleLogTest, ALineIsStampedWithItsTimeInTheUsersZone) {
    const Calendar berlin("Europe/Berlin");
    const Date at = berlin.date(2026, 3, 5, 9, 0, 2) + 0.46;
    EXPECT_EQ(SampleLog::stamped("VITALS: pressureCritical", at, berlin),
              "[09:00:02.4] VITALS: pressureCritical");
    EXPECT_EQ(SampleLog::stamped("", at, Calendar("UTC")), "[08:00:02.4] ");
}

} // namespace
} // namespace halvrick
