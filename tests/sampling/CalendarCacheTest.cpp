#include "sampling/CalendarCache.h"

#include <gtest/gtest.h>

#include <string>

namespace halvrick {
namespace {

TEST(CalendarCacheTest, LooksTheCalendarUpAgainOnlyAfterTheInterval) {
    std::string zone = "Europe/Berlin";
    int lookUps = 0;
    double now = 1000;
    CalendarCache cache(
        [&] {
            ++lookUps;
            return Calendar(zone, 2);
        },
        [&] { return now; });

    EXPECT_EQ(cache.current(), Calendar("Europe/Berlin", 2));
    zone = "America/New_York";
    now += CalendarCache::refreshInterval - 0.5;
    EXPECT_EQ(cache.current(), Calendar("Europe/Berlin", 2));
    EXPECT_EQ(lookUps, 1);

    // The zone changed within the minute: it shows once the minute is over.
    now += 0.5;
    EXPECT_EQ(cache.current(), Calendar("America/New_York", 2));
    EXPECT_EQ(lookUps, 2);
    EXPECT_EQ(cache.current(), Calendar("America/New_York", 2));
    EXPECT_EQ(lookUps, 2);

    // A clock that went back never leaves a stale zone in place for longer.
    zone = "Asia/Tokyo";
    now -= 10;
    EXPECT_EQ(cache.current(), Calendar("Asia/Tokyo", 2));
    EXPECT_EQ(lookUps, 3);
}

} // namespace
} // namespace halvrick
