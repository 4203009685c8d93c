#include "core/FolderSparklineGeometry.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

using FolderSparklineGeometry::Point;

const Calendar berlin("Europe/Berlin");
const Date now = berlin.date(2026, 3, 10, 15, 30);

Date daysAgo(int days) {
    return berlin.addingDays(-days, berlin.startOfDay(now));
}

std::vector<Point> points(const std::vector<FolderTrendPoint>& trend) {
    return FolderSparklineGeometry::points(trend, now, berlin, 48, 14);
}

TEST(FolderSparklineGeometryTest, FewerThanTwoPointsDrawNothing) {
    EXPECT_TRUE(points({}).empty());
    EXPECT_TRUE(points({{daysAgo(0), 5}}).empty());
}

TEST(FolderSparklineGeometryTest, AFlatWeekIsALineAtMidHeightFromEdgeToEdge) {
    const auto flat = points({{daysAgo(6), 4'000'000'000}, {daysAgo(3), 4'000'000'000}, {daysAgo(0), 4'000'000'000}});
    ASSERT_EQ(flat.size(), 3u);
    EXPECT_DOUBLE_EQ(flat[0].x, 1.5);
    EXPECT_DOUBLE_EQ(flat[1].x, 24);
    EXPECT_DOUBLE_EQ(flat[2].x, 46.5);
    for (const Point& p : flat) {
        EXPECT_DOUBLE_EQ(p.y, 7);
    }
}

TEST(FolderSparklineGeometryTest, GapsLeaveDaysOutAndKeepEachPointAtItsOwnDay) {
    // Measured on three days of the week only: nothing is drawn for the others.
    const auto gappy = points({{daysAgo(5), 1'000'000'000}, {daysAgo(4), 1'000'000'000}, {daysAgo(1), 3'000'000'000}});
    ASSERT_EQ(gappy.size(), 3u);
    EXPECT_DOUBLE_EQ(gappy[0].x, 8);
    EXPECT_DOUBLE_EQ(gappy[1].x, 16);
    EXPECT_DOUBLE_EQ(gappy[2].x, 40);
    // A span of two gigabytes fills the height, smallest at the bottom.
    EXPECT_DOUBLE_EQ(gappy[0].y, 12.5);
    EXPECT_DOUBLE_EQ(gappy[2].y, 1.5);
}

TEST(FolderSparklineGeometryTest, SmallChangesSitInAOneGigabyteBand) {
    const auto small = points({{daysAgo(2), 10'000'000'000}, {daysAgo(1), 10'500'000'000}});
    EXPECT_DOUBLE_EQ(small[0].y, 7 + 2.75);
    EXPECT_DOUBLE_EQ(small[1].y, 7 - 2.75);
    const auto tiny = points({{daysAgo(2), 10'000'000'000}, {daysAgo(1), 10'004'000'000}});
    EXPECT_NEAR(tiny[0].y, 7, 0.03);
    EXPECT_NEAR(tiny[1].y, 7, 0.03);
    const auto gigabyte = points({{daysAgo(2), 0}, {daysAgo(1), 1'000'000'000}});
    EXPECT_DOUBLE_EQ(gigabyte[0].y, 12.5);
    EXPECT_DOUBLE_EQ(gigabyte[1].y, 1.5);
}

TEST(FolderSparklineGeometryTest, PointsOutsideTheWeekStayInsideTheBox) {
    const auto outside = points({{daysAgo(9), 1}, {berlin.addingDays(2, daysAgo(0)), 2}});
    EXPECT_DOUBLE_EQ(outside[0].x, 1.5);
    EXPECT_DOUBLE_EQ(outside[1].x, 46.5);
}

TEST(FolderSparklineGeometryTest, TheWeekSpansADaylightSavingChange) {
    // Berlin moves its clocks forward on 29 March 2026: that week is an hour short, and still spans the width.
    const Date after = berlin.date(2026, 4, 1, 9, 0);
    const Date today = berlin.startOfDay(after);
    const auto week = FolderSparklineGeometry::points({{berlin.addingDays(-6, today), 1}, {today, 2}}, after, berlin, 48, 14);
    EXPECT_DOUBLE_EQ(week[0].x, 1.5);
    EXPECT_DOUBLE_EQ(week[1].x, 46.5);
}

} // namespace
} // namespace halvrick
