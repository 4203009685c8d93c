#include "AppModelFakes.h"
#include "model/Copy.h"

#include <gmock/gmock.h>

namespace halvrick {
namespace {

using fakes::ModelTest;
using testing::Contains;
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

// A wall clock set two hours ahead while working is not two hours of work: no "120/60 min" prompt at once.
TEST_F(AppModelTickTest, AWallClockJumpAheadCountsNoActiveTime) {
    make();
    for (int i = 0; i < 10; ++i) {
        tick(0);
    }
    ASSERT_EQ(model->restPhase(), RestPhase::active);
    const double before = model->coach().activeElapsed();

    world.now = world.now + 7200;
    world.lastInput = world.now;
    tick(0);
    EXPECT_EQ(model->restPhase(), RestPhase::active);
    EXPECT_EQ(model->coach().activeElapsed(), before + 1);
    EXPECT_THAT(model->debugReadout(), testing::EndsWith("rest active 0/60 min"));
}

TEST_F(AppModelTickTest, TheReadoutShowsLoadScoreStateThePendingMoveAndTheRest) {
    world.environment["HALVRICK_LOG"] = "";
    make();
    tick(0);
    EXPECT_EQ(model->debugReadout(), "raw 0% · score 0 · Chill · rest active 0/60 min");

    // Score 40 * (1 - e^-1/2) = 15.7, then 25.3: warm is wanted from here on, for the 3 s upward hold.
    tick(40);
    tick(40.4);
    EXPECT_EQ(model->debugReadout(), "raw 40% · score 25 · Chill → Warm in 3 s · rest active 0/60 min");
    // 0.46 s later the remaining 2.54 s round up.
    tick(40, 0.46);
    EXPECT_EQ(model->debugReadout(), "raw 40% · score 28 · Chill → Warm in 3 s · rest active 0/60 min");
    tick(40, 2.44);
    EXPECT_EQ(model->debugReadout(), "raw 40% · score 37 · Chill → Warm in 1 s · rest active 0/60 min");
    tick(40, 0.2);
    EXPECT_EQ(model->debugReadout(), "raw 40% · score 37 · Warm · rest active 0/60 min");

    ASSERT_EQ(world.logLines.size(), 6U);
    EXPECT_EQ(world.logLines[0], "[09:00:01.0] raw 0% · score 0 · Chill · rest active 0/60 min");
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

TEST_F(AppModelTickTest, ALongHotStretchOffersABreakOnceTheHeatHasLastedTwentyMinutes) {
    make();
    for (int i = 0; i < 1200; ++i) {
        tick(95);
    }
    EXPECT_EQ(model->restPhase(), RestPhase::active);
    tick(95);
    EXPECT_EQ(model->restPhase(), RestPhase::prompting);
    EXPECT_EQ(model->stats().ledger().days.begin()->second.promptsShown, 1);
}

TEST_F(AppModelTickTest, HeatBreaksSwitchedOffForgetTheHotStretch) {
    make();
    for (int i = 0; i < 600; ++i) {
        tick(95);
    }
    ASSERT_TRUE(model->heatBreak().hotSince());
    settings->setHeatBreakEnabled(false);
    tick(95);
    EXPECT_EQ(model->heatBreak().hotSince(), std::nullopt);
    settings->setHeatBreakEnabled(true);
    for (int i = 0; i < 700; ++i) {
        tick(95);
    }
    EXPECT_EQ(model->restPhase(), RestPhase::active);
}

TEST_F(AppModelTickTest, AForcedMeltdownDrivesTheHeadsUpAndHeatBreakButBooksNoHeat) {
    make();
    tick(0);
    model->setForcedState(HeatState::meltdown);
    // Ten seconds of meltdown from the first tick that sees it.
    for (int i = 0; i < 11; ++i) {
        tick(0);
    }
    EXPECT_THAT(spokenTexts(), ElementsAre("0% busy and I'm melting. Lots of little things at once 🫠"));
    EXPECT_TRUE(model->heatBreak().hotSince());
    EXPECT_EQ(meltdownSeconds(), 0);
}

TEST_F(AppModelTickTest, TheHeadsUpNamesTheCulpritAndSaysWhenTheHeatIsOver) {
    make();
    model->start();
    settings->setPersonality(Personality::deadpan);
    for (int i = 0; i < 12; ++i) {
        tick(95);
        if (i % 2 == 0) {
            world.processSampler->onSample(
                fakes::processSample(world.now, 2, {{fakes::app("Compiler"), 3.5}}));
        }
    }
    ASSERT_EQ(spoken.size(), 1U);
    EXPECT_EQ(spoken[0].text, "Compiler is at 95%. I'm melting. That's the situation.");
    EXPECT_EQ(spoken[0].face, model->popoverFaceWithoutStyle());
    EXPECT_EQ(spoken[0].duration, 7);

    for (int i = 0; i < 20; ++i) {
        tick(2);
    }
    EXPECT_THAT(spokenTexts(), ElementsAre(spoken[0].text, "Cool now. Fine. Thanks."));

    settings->setHeadsUpEnabled(false);
    for (int i = 0; i < 30; ++i) {
        tick(95);
    }
    EXPECT_EQ(spoken.size(), 2U);
}

// The face holds a state for 8 s after the score has left it; a heads-up speaks only of heat that is
// still there, with the load behind that heat.
TEST_F(AppModelTickTest, AHeatHeadsUpNamesOnlyHeatThatIsStillThere) {
    struct Case {
        const char* name;
        std::vector<std::pair<double, int>> loads; // load, for that many ticks
        std::vector<std::string> spoken;
    };
    const std::string phew = "Phew. Back to chill. Thank you 😌";
    const Case cases[] = {
        {"a burst over before the sustain", {{0, 1}, {100, 7}, {0, 12}}, {}},
        {"the load falls on the sustain's last tick",
         {{0, 1}, {100, 13}, {0, 12}},
         {"Heads up: 61% busy and I'm starting to sweat 😅", phew}},
        {"steady heat",
         {{0, 1}, {95, 14}, {0, 12}},
         {"95% busy and I'm melting. Lots of little things at once 🫠", phew}},
    };
    for (const Case& c : cases) {
        make();
        spoken.clear();
        for (const auto& [load, count] : c.loads) {
            for (int i = 0; i < count; ++i) {
                tick(load);
            }
        }
        EXPECT_EQ(model->state(), HeatState::chill) << c.name;
        EXPECT_EQ(spokenTexts(), c.spoken) << c.name;
    }
}

TEST_F(AppModelTickTest, TheRestIntervalFollowsTheSettingWithinItsBoundsUnlessTheEnvironmentSetsIt) {
    struct Case {
        std::int64_t minutes;
        double seconds;
    };
    for (const Case c : {Case{0, 60}, Case{45, 2700}, Case{1000, 28800}}) {
        world.defaults->setInt("restIntervalMinutes", c.minutes);
        make();
        EXPECT_EQ(model->coach().config().restInterval, c.seconds) << c.minutes;
        // Taken as it changes, not on the next tick.
        settings->setRestIntervalMinutes(30);
        EXPECT_EQ(model->coach().config().restInterval, 1800) << c.minutes;
        tick(5);
        EXPECT_EQ(model->coach().config().restInterval, 1800) << c.minutes;
    }

    world.environment["HALVRICK_REST_MINUTES"] = "0.5";
    make();
    EXPECT_EQ(model->coach().config().restInterval, 30);
    settings->setRestIntervalMinutes(45);
    tick(5);
    EXPECT_EQ(model->coach().config().restInterval, 30);
    for (int i = 0; i < 31; ++i) {
        tick(5);
    }
    EXPECT_EQ(model->restPhase(), RestPhase::prompting);
}

TEST_F(AppModelTickTest, AChangedVoiceRedrawsTheLineAndTheFaceOnce) {
    make();
    tick(90);
    const std::size_t faces = menuFaces.size();
    int lines = 0;
    QObject::connect(model.get(), &AppModel::lineChanged, [&] { ++lines; });
    tick(90);
    EXPECT_EQ(lines, 0);

    settings->setPersonality(Personality::gremlin);
    EXPECT_EQ(lines, 1) << "redrawn as the voice changes";
    tick(90);
    tick(90);
    EXPECT_EQ(lines, 1);
    EXPECT_THAT(Copy::heatLines(HeatState::meltdown, Personality::gremlin), Contains(model->line()));
    ASSERT_EQ(menuFaces.size(), faces + 1);
    EXPECT_EQ(menuFaces.back(), PeaFace::heat(HeatState::meltdown));
}

TEST_F(AppModelTickTest, TheSettingsReachTheCollaboratorsWhenTheModelIsMadeAndAsTheyChange) {
    world.defaults->setBool("quietHoursEnabled", true);
    world.defaults->setBool("headsUpEnabled", false);
    make();
    EXPECT_EQ(model->presence().quietHours, (QuietHours{1320, 480}));
    EXPECT_FALSE(model->headsUp().config().headsUpEnabled);

    settings->setQuietStartMinute(60);
    EXPECT_EQ(model->presence().quietHours, (QuietHours{60, 480}));
    settings->setQuietHoursEnabled(false);
    EXPECT_EQ(model->presence().quietHours, std::nullopt);
    settings->setHeadsUpEnabled(true);
    EXPECT_TRUE(model->headsUp().config().headsUpEnabled);
}

TEST_F(AppModelTickTest, ANewModelStartsChillWithARandomChillLineAndNobodyToBlame) {
    world.picks = {3};
    world.defaults->setString("personality", "dramatic");
    make();
    EXPECT_EQ(model->line(), Copy::heatLines(HeatState::chill, Personality::dramatic)[3]);
    EXPECT_EQ(model->blame().blameLine(), "Nobody's bothering me right now.");
    EXPECT_EQ(model->state(), HeatState::chill);
    EXPECT_EQ(model->restPhase(), RestPhase::idle);
    EXPECT_EQ(model->activeChallenge(), std::nullopt);
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
