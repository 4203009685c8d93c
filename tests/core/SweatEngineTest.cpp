#include "core/SweatEngine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <vector>

namespace halvrick {

// Readable failure messages for the two enums.
static void PrintTo(HeatState s, std::ostream* os) {
    static constexpr const char* names[] = {"chill", "warm", "sweating", "meltdown"};
    *os << names[rawValue(s)];
}

namespace {

const Date t0 = Date::since1970(1'700'000'000);

Date at(double seconds) { return t0 + seconds; }

// The smoothing follows each sample completely, so a sample's load is the score it produces.
Config unsmoothed() {
    Config c;
    c.scoreSmoothingTimeConstant = 1e-9;
    return c;
}

TEST(SweatEngineTest, StartsCalmAndEmpty) {
    const SweatEngine engine(Config::defaults());
    EXPECT_EQ(engine.state(), HeatState::chill);
    EXPECT_EQ(engine.displayedState(), HeatState::chill);
    EXPECT_EQ(engine.score(), 0);
    EXPECT_FALSE(engine.smoothedLoad());
    EXPECT_EQ(engine.thermal(), ThermalLevel::nominal);
    EXPECT_FALSE(engine.forcedState());
    EXPECT_FALSE(engine.pendingState());
    EXPECT_FALSE(engine.pendingSince());
}

TEST(SweatEngineTest, RawStateThresholdsIncludeTheirOwnScore) {
    const SweatEngine engine(Config::defaults());
    const struct {
        double score;
        HeatState state;
    } cases[] = {{0, HeatState::chill},         {24.999, HeatState::chill},   {25, HeatState::warm},
                 {49.999, HeatState::warm},     {50, HeatState::sweating},    {74.999, HeatState::sweating},
                 {75, HeatState::meltdown},     {100, HeatState::meltdown}};
    for (const auto& c : cases) {
        EXPECT_EQ(engine.rawState(c.score), c.state) << "score " << c.score;
    }
    EXPECT_EQ(engine.hold(true), 3);
    EXPECT_EQ(engine.hold(false), 8);
}

// The first sample is taken as it is, and the state switches to it at once.
TEST(SweatEngineTest, FirstSampleClampsBumpsAndSwitchesAtOnce) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        ThermalLevel thermal;
        double load;
        double smoothed;
        double score;
        HeatState state;
    } cases[] = {
        {ThermalLevel::nominal, 80, 80, 80, HeatState::meltdown},
        {ThermalLevel::nominal, 0, 0, 0, HeatState::chill},
        {ThermalLevel::nominal, -20, 0, 0, HeatState::chill},
        {ThermalLevel::nominal, 150, 100, 100, HeatState::meltdown},
        {ThermalLevel::nominal, nan, 0, 0, HeatState::chill},
        {ThermalLevel::nominal, inf, 100, 100, HeatState::meltdown},
        {ThermalLevel::fair, 22, 22, 27, HeatState::warm},
        {ThermalLevel::fair, 99, 99, 100, HeatState::meltdown},
        {ThermalLevel::serious, 70, 70, 100, HeatState::meltdown},
        {ThermalLevel::serious, 0, 0, 35, HeatState::warm},
        {ThermalLevel::critical, 0, 0, 35, HeatState::meltdown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "thermal " << rawValue(c.thermal) << ", load " << c.load);
        SweatEngine engine(Config::defaults());
        engine.setThermal(c.thermal);
        EXPECT_EQ(engine.ingest(c.load, t0), c.state);
        EXPECT_EQ(engine.smoothedLoad(), c.smoothed);
        EXPECT_EQ(engine.score(), c.score);
        EXPECT_EQ(engine.state(), c.state);
        EXPECT_FALSE(engine.pendingState());
        EXPECT_FALSE(engine.pendingSince());
    }
}

TEST(SweatEngineTest, SteadyLoadAfterIdleSmoothsAndRisesAfterTheHold) {
    SweatEngine engine(Config::defaults());
    engine.ingest(0, at(0));
    const struct {
        double second;
        double smoothed;
        HeatState state;
        std::optional<HeatState> pending;
        std::optional<double> pendingSince;
    } steps[] = {
        {1, 23.61, HeatState::chill, std::nullopt, std::nullopt},
        {2, 37.93, HeatState::chill, HeatState::warm, 2},
        {3, 46.61, HeatState::chill, HeatState::warm, 2},
        // A higher goal in the same direction keeps the wait's start.
        {4, 51.88, HeatState::chill, HeatState::sweating, 2},
        {5, 55.07, HeatState::sweating, std::nullopt, std::nullopt},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message() << "second " << s.second);
        EXPECT_EQ(engine.ingest(60, at(s.second)), s.state);
        EXPECT_NEAR(*engine.smoothedLoad(), s.smoothed, 0.005);
        EXPECT_EQ(engine.score(), *engine.smoothedLoad());
        EXPECT_EQ(engine.state(), s.state);
        EXPECT_EQ(engine.pendingState(), s.pending);
        EXPECT_EQ(engine.pendingSince(), s.pendingSince ? std::optional(at(*s.pendingSince)) : std::nullopt);
    }
}

// The engine starts in the state of its first score; the second score decides what it aims for.
TEST(SweatEngineTest, FallingNeedsTheScoreBelowTheHysteresisBand) {
    const struct {
        double first;
        double second;
        std::optional<HeatState> pending; // none: the state stays put
    } cases[] = {
        {60, 46, std::nullopt},
        {60, 45, std::nullopt},
        {60, 44.9, HeatState::warm},
        {80, 70, std::nullopt},
        {80, 69.9, HeatState::sweating},
        {80, 30, HeatState::warm},
        {80, 10, HeatState::chill},
        {30, 24, std::nullopt},
        {30, 19.9, HeatState::chill},
        // Rising needs no margin.
        {0, 25, HeatState::warm},
        {0, 80, HeatState::meltdown},
        {30, 50, HeatState::sweating},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first << " then " << c.second);
        SweatEngine engine(unsmoothed());
        const HeatState start = engine.ingest(c.first, at(0));
        EXPECT_EQ(engine.ingest(c.second, at(1)), start);
        EXPECT_EQ(engine.score(), c.second);
        EXPECT_EQ(engine.state(), start);
        EXPECT_EQ(engine.pendingState(), c.pending);
        EXPECT_EQ(engine.pendingSince(), c.pending ? std::optional(at(1)) : std::nullopt);
    }
}

// With one sample a second the state rises on the fourth sample that wants it and falls on the ninth.
TEST(SweatEngineTest, StateMovesOnlyAfterTheHold) {
    const struct {
        double first;
        double then;
        HeatState before;
        HeatState after;
        int switchSecond;
    } cases[] = {
        {0, 30, HeatState::chill, HeatState::warm, 3},
        {0, 90, HeatState::chill, HeatState::meltdown, 3},
        {30, 0, HeatState::warm, HeatState::chill, 8},
        {90, 10, HeatState::meltdown, HeatState::chill, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first << " then " << c.then);
        SweatEngine engine(unsmoothed());
        engine.ingest(c.first, at(-1));
        for (int second = 0; second < c.switchSecond; ++second) {
            EXPECT_EQ(engine.ingest(c.then, at(second)), c.before) << "second " << second;
        }
        EXPECT_EQ(engine.ingest(c.then, at(c.switchSecond)), c.after);
        EXPECT_FALSE(engine.pendingState());
        EXPECT_FALSE(engine.pendingSince());
    }
}

TEST(SweatEngineTest, AWaitEndsWhenTheTargetTurnsOrReturns) {
    SweatEngine engine(unsmoothed());
    engine.ingest(30, at(0)); // warm
    engine.ingest(60, at(1));
    EXPECT_EQ(engine.pendingState(), HeatState::sweating);

    // A lower target starts its own wait instead of inheriting the rising one.
    engine.ingest(10, at(2));
    EXPECT_EQ(engine.pendingState(), HeatState::chill);
    EXPECT_EQ(engine.pendingSince(), at(2));

    // Back to the state's own band: nothing to wait for.
    engine.ingest(30, at(3));
    EXPECT_FALSE(engine.pendingState());
    EXPECT_FALSE(engine.pendingSince());

    // So the next rise counts its hold from scratch.
    engine.ingest(60, at(4));
    EXPECT_EQ(engine.ingest(60, at(6)), HeatState::warm);
    EXPECT_EQ(engine.ingest(60, at(7)), HeatState::sweating);
}

TEST(SweatEngineTest, CriticalThermalMeltsAtOnceAndCoolsDownSlowly) {
    SweatEngine engine(Config::defaults());
    engine.ingest(0, at(0));
    engine.ingest(60, at(1));
    engine.ingest(60, at(2)); // a rising wait in progress
    ASSERT_TRUE(engine.pendingState());

    engine.setThermal(ThermalLevel::critical);
    EXPECT_EQ(engine.thermal(), ThermalLevel::critical);
    EXPECT_EQ(engine.ingest(0, at(3)), HeatState::meltdown);
    EXPECT_FALSE(engine.pendingState());
    EXPECT_FALSE(engine.pendingSince());
    // The bump is not smoothed.
    EXPECT_NEAR(engine.score(), *engine.smoothedLoad() + 35, 1e-9);

    engine.setThermal(ThermalLevel::nominal);
    for (int second = 4; second < 12; ++second) {
        EXPECT_EQ(engine.ingest(0, at(second)), HeatState::meltdown) << "second " << second;
    }
    EXPECT_EQ(engine.pendingSince(), at(4));
    EXPECT_EQ(engine.ingest(0, at(12)), HeatState::chill);
}

TEST(SweatEngineTest, ForcedStateChangesOnlyWhatIsReported) {
    SweatEngine engine(Config::defaults());
    engine.setForcedState(HeatState::chill);
    EXPECT_EQ(engine.ingest(80, at(0)), HeatState::chill);
    EXPECT_EQ(engine.state(), HeatState::meltdown);
    EXPECT_EQ(engine.displayedState(), HeatState::chill);

    EXPECT_EQ(engine.ingest(0, at(1)), HeatState::chill);
    const auto pending = engine.pendingState();
    const auto since = engine.pendingSince();
    ASSERT_TRUE(pending);
    engine.setForcedState(HeatState::warm);
    EXPECT_EQ(engine.forcedState(), HeatState::warm);
    EXPECT_EQ(engine.displayedState(), HeatState::warm);
    EXPECT_EQ(engine.state(), HeatState::meltdown);
    EXPECT_EQ(engine.pendingState(), pending);
    EXPECT_EQ(engine.pendingSince(), since);

    engine.setForcedState(std::nullopt);
    EXPECT_EQ(engine.displayedState(), HeatState::meltdown);
}

TEST(SweatEngineTest, SamplesAtTheSameOrAnEarlierTimeKeepTheSmoothedLoad) {
    SweatEngine engine(Config::defaults());
    engine.ingest(0, at(0));
    engine.ingest(60, at(1));
    const double smoothed = *engine.smoothedLoad();
    EXPECT_NEAR(smoothed, 23.61, 0.005);

    engine.ingest(100, at(1));
    EXPECT_EQ(engine.smoothedLoad(), smoothed);
    engine.ingest(100, at(0.5));
    EXPECT_EQ(engine.smoothedLoad(), smoothed);

    // The earlier sample still became the reference: one full second has passed since it.
    engine.ingest(60, at(1.5));
    EXPECT_NEAR(*engine.smoothedLoad(), 37.93, 0.005);
}

} // namespace
} // namespace halvrick
