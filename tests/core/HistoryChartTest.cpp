#include "core/HistoryChart.h"

#include <cmath>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

DailyTotals day(double sweating, double meltdown) {
    return DailyTotals("2026-12-08", Date(), sweating, meltdown, 0, 0, 0, 0);
}

TEST(HistoryChartTest, BarsAreFractionalMinutesPerDayInOrder) {
    const auto bars = HistoryChart::bars({day(90, 0), day(0, 0), day(600, 30), day(-5, NAN)});
    ASSERT_EQ(bars.size(), 4u);
    EXPECT_EQ(bars[0], (HistoryChart::Bar{1.5, 0}));
    EXPECT_EQ(bars[1].totalMinutes(), 0);
    EXPECT_EQ(bars[2], (HistoryChart::Bar{10, 0.5}));
    EXPECT_EQ(bars[3], (HistoryChart::Bar{0, 0}));
}

TEST(HistoryChartTest, TicksAimAtSixAndAlwaysMarkTheLatestDay) {
    struct Case {
        std::size_t days;
        std::vector<std::size_t> ticks;
    };
    const std::vector<Case> cases{
        {0, {}},
        {1, {0}},
        {7, {0, 1, 2, 3, 4, 5, 6}},
        {30, {4, 9, 14, 19, 24, 29}},
        {8, {1, 3, 5, 7}},
        {365, {59, 120, 181, 242, 303, 364}},
        {800, {129, 263, 397, 531, 665, 799}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HistoryChart::tickIndices(c.days), c.ticks) << c.days << " days";
    }
    for (std::size_t days = 1; days <= 1200; ++days) {
        const auto ticks = HistoryChart::tickIndices(days);
        ASSERT_EQ(ticks.back(), days - 1);
        ASSERT_GE(ticks.size(), std::min<std::size_t>(days, 4)) << days;
        ASSERT_LE(ticks.size(), 7u) << days;
    }
}

TEST(HistoryChartTest, ValueMarksAreNiceStepsThatCoverTheTallestBar) {
    struct Case {
        double largest;
        std::vector<double> ticks;
    };
    const std::vector<Case> cases{
        {0, {0, 2, 4, 6, 8, 10}},      {1.5, {0, 0.5, 1, 1.5}},   {10, {0, 2, 4, 6, 8, 10}},
        {47, {0, 10, 20, 30, 40, 50}}, {61, {0, 20, 40, 60, 80}}, {600, {0, 100, 200, 300, 400, 500, 600}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HistoryChart::valueTicks(c.largest), c.ticks) << c.largest;
    }
    for (double largest = 0.01; largest < 5000; largest *= 1.37) {
        const auto ticks = HistoryChart::valueTicks(largest);
        ASSERT_GE(ticks.back(), largest - 1e-9);
        ASSERT_GE(ticks.size(), 2u);
        ASSERT_LE(ticks.size(), 7u) << largest;
    }
}

} // namespace
} // namespace halvrick
