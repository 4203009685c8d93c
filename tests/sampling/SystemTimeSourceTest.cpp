#include "sampling/SystemTimeSource.h"

#include <gtest/gtest.h>

#include <ctime>

namespace halvrick {
namespace {

TEST(SystemTimeSourceTest, NowIsTheWallClock) {
    const double before = static_cast<double>(std::time(nullptr));
    const double now = SystemTimeSource().now().timeIntervalSince1970();
    EXPECT_GE(now, before);
    EXPECT_LT(now, before + 5);
}

TEST(SystemTimeSourceTest, CurrentCalendarAlwaysHasAZone) {
    const Calendar calendar = SystemTimeSource::currentCalendar();
    EXPECT_FALSE(calendar.zoneName().empty());
    EXPECT_GE(calendar.firstWeekday(), 1);
    EXPECT_LE(calendar.firstWeekday(), 7);
}

TEST(SystemTimeSourceTest, MonotonicClockNeverGoesBack) {
    const double first = monotonicSeconds();
    EXPECT_GE(monotonicSeconds(), first);
}

} // namespace
} // namespace halvrick
