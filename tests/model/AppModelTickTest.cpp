#include "AppModelFakes.h"

#include <gmock/gmock.h>

namespace halvrick {
namespace {

using fakes::ModelTest;
using testing::ElementsAre;
using testing::IsEmpty;

class AppModelTickTest : public ModelTest {
protected:
    double meltdownSeconds() const {
        const auto& days = model->stats().ledger().days;
        const auto day = days.find(StatsLedger::dayKey(world.now, world.calendar));
        return day == days.end() ? 0 : day->second.meltdownSeconds;
    }

    // Straight to meltdown: the engine settles at once on its first sample.
    void meltDown() {
        tick(100);
        ASSERT_EQ(model->engine().state(), HeatState::meltdown);
    }
};

TEST_F(AppModelTickTest, BooksHotGapsUnderTenSecondsAndNothingForLongerOrBackwardGaps) {
    make();
    meltDown();
    EXPECT_EQ(meltdownSeconds(), 0);

    struct Gap {
        double seconds;
        double booked;
    };
    for (const Gap gap : {Gap{9.9, 9.9}, Gap{10, 0}, Gap{600, 0}, Gap{0, 0}, Gap{1, 1}}) {
        const double before = meltdownSeconds();
        tick(100, gap.seconds);
        // Dates near 2026 carry about 0.2 µs of precision.
        EXPECT_NEAR(meltdownSeconds() - before, gap.booked, 1e-6) << gap.seconds;
    }

    // A clock set back books nothing, and the next tick counts from the new time.
    world.now = world.now - 3600;
    const double before = meltdownSeconds();
    tick(100, 0);
    tick(100, 2);
    EXPECT_NEAR(meltdownSeconds() - before, 2, 1e-6);
}

TEST_F(AppModelTickTest, TheReadoutShowsLoadScoreStateThePendingMoveAndTheRest) {
    world.environment["HALVRICK_LOG"] = "";
    make();
    tick(0);
    EXPECT_EQ(model->debugReadout(), "raw 0% · score 0 · Chill · rest idle 0/60 min");

    // Score 40 * (1 - e^-1/2) = 15.7, then 25.3: warm is wanted from here on, for the 3 s upward hold.
    tick(40);
    tick(40.4);
    EXPECT_EQ(model->debugReadout(), "raw 40% · score 25 · Chill → Warm in 3 s · rest idle 0/60 min");
    // 0.46 s later the remaining 2.54 s round up.
    tick(40, 0.46);
    EXPECT_EQ(model->debugReadout(), "raw 40% · score 28 · Chill → Warm in 3 s · rest idle 0/60 min");
    tick(40, 2.44);
    EXPECT_EQ(model->debugReadout(), "raw 40% · score 37 · Chill → Warm in 1 s · rest idle 0/60 min");
    tick(40, 0.2);
    EXPECT_EQ(model->debugReadout(), "raw 40% · score 37 · Warm · rest idle 0/60 min");

    ASSERT_EQ(world.logLines.size(), 6U);
    EXPECT_EQ(world.logLines[0], "[09:00:01.0] raw 0% · score 0 · Chill · rest idle 0/60 min");
    // Tenths are cut, not rounded.
    EXPECT_EQ(world.logLines[3].substr(0, 13), "[09:00:03.4] ");
}

TEST_F(AppModelTickTest, NothingIsLoggedWithoutTheSwitch) {
    make();
    tick(50);
    tick(50);
    EXPECT_THAT(world.logLines, IsEmpty());
    EXPECT_FALSE(model->logsSamples());
}

TEST(SampleLogTest, StampsLocalTimeWithTruncatedTenths) {
    const Calendar berlin("Europe/Berlin");
    const Date noon = berlin.date(2026, 7, 1, 12, 5, 7);
    EXPECT_EQ(SampleLog::stamp(noon, berlin), "12:05:07.0");
    EXPECT_EQ(SampleLog::stamp(noon + 0.25, berlin), "12:05:07.2");
    EXPECT_EQ(SampleLog::stamp(noon + 0.999, berlin), "12:05:07.9");
    EXPECT_EQ(SampleLog::stamp(noon, Calendar("UTC")), "10:05:07.0");
}

} // namespace
} // namespace halvrick
