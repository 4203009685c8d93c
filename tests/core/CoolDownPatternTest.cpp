#include "core/CoolDownPattern.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <optional>

namespace halvrick {
namespace {

using Stage = CoolDownPattern::Stage;

TEST(CoolDownPatternTest, RhythmIsFourRoundsOfFourFourSix) {
    EXPECT_EQ(CoolDownPattern::steps, (std::array<CoolDownPattern::Step, 3>{
                                          {{Stage::inhale, 4}, {Stage::hold, 4}, {Stage::exhale, 6}}}));
    EXPECT_EQ(CoolDownPattern::rounds, 4);
    EXPECT_EQ(CoolDownPattern::cycleSeconds, 14);
    EXPECT_EQ(CoolDownPattern::totalSeconds, 56);
}

TEST(CoolDownPatternTest, StagesAtTheirBoundaries) {
    struct Case {
        double elapsed;
        std::optional<CoolDownPattern::Position> expected;
    };
    const Case cases[] = {
        {0, {{1, Stage::inhale, 4}}},
        {3.75, {{1, Stage::inhale, 0.25}}},
        {4, {{1, Stage::hold, 4}}},
        {8, {{1, Stage::exhale, 6}}},
        {9.5, {{1, Stage::exhale, 4.5}}},
        {14, {{2, Stage::inhale, 4}}},
        {27.5, {{2, Stage::exhale, 0.5}}},
        {28, {{3, Stage::inhale, 4}}},
        {42, {{4, Stage::inhale, 4}}},
        {50, {{4, Stage::exhale, 6}}},
        {55.9, {{4, Stage::exhale, 0.1}}},
        {56, std::nullopt},
        {100, std::nullopt},
        {-0.1, std::nullopt},
        {std::nan(""), std::nullopt},
        {std::numeric_limits<double>::infinity(), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.elapsed);
        const auto got = CoolDownPattern::stage(c.elapsed);
        ASSERT_EQ(got.has_value(), c.expected.has_value());
        if (got) {
            EXPECT_EQ(got->round, c.expected->round);
            EXPECT_EQ(got->stage, c.expected->stage);
            EXPECT_NEAR(got->remaining, c.expected->remaining, 1e-9);
        }
    }
}

// Round, stage and remaining always add back up to the elapsed time, right up to the last instant.
TEST(CoolDownPatternTest, EveryInstantMapsBackToItsElapsedTime) {
    const double offsets[] = {0, 4, 8};
    for (double elapsed = 0; elapsed < CoolDownPattern::totalSeconds; elapsed += 0.01) {
        const auto p = CoolDownPattern::stage(elapsed);
        ASSERT_TRUE(p.has_value()) << elapsed;
        ASSERT_GE(p->round, 1);
        ASSERT_LE(p->round, CoolDownPattern::rounds);
        const double seconds = CoolDownPattern::steps[static_cast<int>(p->stage)].seconds;
        ASSERT_GT(p->remaining, 0) << elapsed;
        ASSERT_LE(p->remaining, seconds) << elapsed;
        const double back = (p->round - 1) * CoolDownPattern::cycleSeconds +
                            offsets[static_cast<int>(p->stage)] + seconds - p->remaining;
        ASSERT_NEAR(back, elapsed, 1e-9);
    }
    const auto last = CoolDownPattern::stage(std::nextafter(CoolDownPattern::totalSeconds, 0.0));
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->round, 4);
    EXPECT_EQ(last->stage, Stage::exhale);
}

} // namespace
} // namespace halvrick
