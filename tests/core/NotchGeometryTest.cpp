#include "core/NotchGeometry.h"

#include <gtest/gtest.h>
#include <limits>

namespace halvrick {
namespace {

using NotchGeometry::Rect;

TEST(NotchGeometryTest, WidthOfTheGapBetweenTheTopAreas) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* what;
        Rect left;
        Rect right;
        double safeTop;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"a notch", {0, 1080, 700, 32}, {900, 1080, 612, 32}, 32, 200},
        {"no top inset", {0, 1080, 700, 32}, {900, 1080, 612, 32}, 0, std::nullopt},
        {"negative inset", {0, 1080, 700, 32}, {900, 1080, 612, 32}, -1, std::nullopt},
        {"unknown inset", {0, 1080, 700, 32}, {900, 1080, 612, 32}, nan, std::nullopt},
        {"narrowest accepted", {0, 0, 700, 32}, {740, 0, 100, 32}, 32, 40},
        {"too narrow", {0, 0, 700, 32}, {739.9, 0, 100, 32}, 32, std::nullopt},
        {"widest accepted", {0, 0, 500, 32}, {900, 0, 100, 32}, 32, 400},
        {"too wide", {0, 0, 499.9, 32}, {900, 0, 100, 32}, 32, std::nullopt},
        {"empty areas", {}, {}, 32, std::nullopt},
        {"overlapping areas", {0, 0, 800, 32}, {700, 0, 800, 32}, 32, std::nullopt},
        {"areas given right to left", {700, 0, -700, 32}, {1100, 0, -200, 32}, 32, 200},
        {"unknown area", {nan, 0, 700, 32}, {900, 0, 100, 32}, 32, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(NotchGeometry::notchWidth(c.left, c.right, c.safeTop), c.expected);
    }
}

} // namespace
} // namespace halvrick
