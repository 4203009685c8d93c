#include "sampling/PressureStall.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

std::string psi(const char* some, const char* full) {
    return std::string("some avg10=") + some + " avg60=0.00 avg300=0.00 total=1\nfull avg10=" + full +
           " avg60=0.00 avg300=0.00 total=1\n";
}

TEST(PressureStallTest, ThresholdsOnAvg10) {
    struct Row {
        std::string text;
        std::int32_t level;
    };
    const Row rows[] = {
        {psi("0.00", "0.00"), 1},
        {psi("9.99", "9.99"), 1},
        {psi("10.00", "0.00"), 2},
        {psi("55.20", "9.99"), 2},
        {psi("10.00", "10.00"), 4},
        {psi("3.00", "10.00"), 4}, // "full" alone decides critical
        {"some avg10=12.50 avg60=1.00 avg300=0.00 total=9\n", 2},
    };
    for (const Row& row : rows) {
        const auto stall = PressureStall::parse(row.text);
        ASSERT_TRUE(stall.has_value()) << row.text;
        EXPECT_EQ(stall->level(), row.level) << row.text;
    }
}

TEST(PressureStallTest, UnreadableTextGivesNothing) {
    for (const char* text :
         {"", "full avg10=50.00 avg60=0.00 avg300=0.00 total=1\n", "some avg10=abc avg60=0.00\n",
          "some avg10=-1.00\n", "some avg10=nan\n", "some avg60=1.00 total=5\n"}) {
        EXPECT_EQ(PressureStall::parse(text), std::nullopt) << text;
    }
}

TEST(PressureStallTest, AvailableMemoryFallback) {
    struct Row {
        std::uint64_t available;
        std::uint64_t total;
        std::int32_t level;
    };
    const Row rows[] = {
        {0, 1000, 4}, {49, 1000, 4}, {50, 1000, 2}, {99, 1000, 2}, {100, 1000, 1}, {1000, 1000, 1}, {5, 0, 1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PressureStall::levelFromAvailable(row.available, row.total), row.level) << row.available;
    }
}

} // namespace
} // namespace halvrick
