#include "core/HeatBreakTrigger.h"

#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace halvrick {
namespace {

const Date t0 = Date::sinceReference(800000000);

struct Step {
    double at;                      // seconds after t0
    std::optional<HeatState> state; // none: reset() instead of a reading
    bool fires = false;
};

struct Scenario {
    const char* name;
    double threshold;
    double cooldown;
    std::vector<Step> steps;
};

constexpr auto sweating = HeatState::sweating;
constexpr auto meltdown = HeatState::meltdown;
constexpr auto warm = HeatState::warm;
constexpr auto chill = HeatState::chill;
constexpr std::nullopt_t reset = std::nullopt;

class HeatBreakTriggerTest : public testing::TestWithParam<Scenario> {};

TEST_P(HeatBreakTriggerTest, FiresExactlyWhereExpected) {
    HeatBreakTrigger trigger(GetParam().threshold, GetParam().cooldown);
    for (const Step& s : GetParam().steps) {
        SCOPED_TRACE("at " + std::to_string(s.at));
        if (s.state) {
            EXPECT_EQ(trigger.record(*s.state, t0 + s.at), s.fires);
        } else {
            trigger.reset();
        }
    }
}

const Scenario scenarios[] = {
    {"ThresholdThenCooldown",
     1200,
     2700,
     {{0, sweating},
      {1199, sweating},
      {1200, sweating, true},
      {2400, sweating},
      {3899, sweating},
      {3900, sweating, true},
      {5099, sweating},
      {6600, sweating, true}}},
    {"MeltdownIsHotToo", 1200, 2700, {{0, meltdown}, {600, sweating}, {1200, meltdown, true}}},
    {"WarmReadingStartsOver",
     1200,
     2700,
     {{0, sweating}, {1199, warm}, {1200, sweating}, {2399, sweating}, {2400, sweating, true}}},
    {"ChillReadingStartsOver",
     1200,
     2700,
     {{0, sweating}, {600, chill}, {1200, sweating}, {2400, sweating, true}}},
    {"ThresholdAtLeastOneAndCooldownAtLeastZero",
     0,
     -5,
     {{0, sweating}, {0.5, sweating}, {1, sweating, true}, {1.5, sweating}, {2, sweating, true}}},
    {"ResetForgetsTheLastFiring",
     1200,
     2700,
     {{0, sweating}, {1200, sweating, true}, {1300, reset}, {1300, sweating}, {2500, sweating, true}}},
    // A clock set back neither postpones the hot period nor leaves the last firing in the future.
    {"ClockSetBack",
     1200,
     2700,
     {{5000, sweating}, {6200, sweating, true}, {100, sweating}, {1300, sweating, true}}},
};

INSTANTIATE_TEST_SUITE_P(Scenarios, HeatBreakTriggerTest, testing::ValuesIn(scenarios),
                         [](const testing::TestParamInfo<Scenario>& info) {
                             return std::string(info.param.name);
                         });

TEST(HeatBreakTriggerValueTest, StoresItsBoundsClamped) {
    const struct {
        double threshold, cooldown, storedThreshold, storedCooldown;
    } cases[] = {
        {1200, 2700, 1200, 2700}, {1, 0, 1, 0}, {0.5, -5, 1, 0}, {-3, 0.5, 1, 0.5}, {NAN, NAN, 1, 0},
    };
    for (const auto& c : cases) {
        const HeatBreakTrigger trigger(c.threshold, c.cooldown);
        EXPECT_EQ(trigger.threshold(), c.storedThreshold);
        EXPECT_EQ(trigger.cooldown(), c.storedCooldown);
        EXPECT_EQ(trigger.hotSince(), std::nullopt);
        EXPECT_EQ(trigger.lastPrompt(), std::nullopt);
    }
}

TEST(HeatBreakTriggerValueTest, EqualityCoversTheWholeState) {
    HeatBreakTrigger a(1200, 2700);
    HeatBreakTrigger b(1200, 2700);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, HeatBreakTrigger(1200, 2600));
    a.record(sweating, t0);
    EXPECT_NE(a, b);
    EXPECT_EQ(a.hotSince(), t0);
    b.record(sweating, t0);
    EXPECT_EQ(a, b);
    a.record(sweating, t0 + 1200);
    EXPECT_EQ(a.lastPrompt(), t0 + 1200);
    EXPECT_EQ(a.hotSince(), t0 + 1200);
    a.reset();
    EXPECT_EQ(a, HeatBreakTrigger(1200, 2700));
}

} // namespace
} // namespace halvrick
