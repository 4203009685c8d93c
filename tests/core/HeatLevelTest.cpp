#include "core/HeatLevel.h"

#include <cmath>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

TEST(HeatLevelTest, EachBoundBelongsToTheUpperLevel) {
    struct Case {
        double seconds;
        int level;
    };
    for (const Case& c : {Case{0, 0}, Case{-3, 0}, Case{NAN, 0}, Case{0.5, 1}, Case{599, 1}, Case{600, 2},
                          Case{1799, 2}, Case{1800, 3}, Case{3599, 3}, Case{3600, 4}, Case{7199, 4},
                          Case{7200, 5}, Case{86400, 5}, Case{INFINITY, 5}}) {
        EXPECT_EQ(HeatLevel::of(c.seconds), c.level) << c.seconds;
    }
}

} // namespace
} // namespace halvrick
