#include "AppModelFakes.h"
#include "core/CoolDownPattern.h"

#include <gmock/gmock.h>

namespace halvrick {
namespace {

using fakes::ModelTest;
using testing::ElementsAre;
using testing::IsEmpty;

class AppModelCoolDownTest : public ModelTest {
protected:
    AppModelCoolDownTest() {
        world.environment["HALVRICK_LOG"] = "";
        make();
        model->start();
        tick(5);
    }

    std::int64_t breaksTaken() const {
        const auto& days = model->stats().ledger().days;
        const auto day = days.find(StatsLedger::dayKey(world.now, world.calendar));
        return day == days.end() ? 0 : day->second.breaksTaken;
    }
};

TEST_F(AppModelCoolDownTest, TheExerciseRunsItsMinuteAndCountsAsOneBreak) {
    model->startCoolDown();
    ASSERT_TRUE(model->coolDown());
    EXPECT_EQ(model->coolDown()->startedAt, world.now);
    EXPECT_EQ(model->menuBarFace(), model->styled(face(FaceState::coolingDown, HeatState::chill)));

    world.advance(10.125);
    EXPECT_DOUBLE_EQ(model->coolDown()->elapsed, 10);
    EXPECT_FALSE(model->coolDown()->isFinished);
    // A wall clock set back an hour neither ends the exercise nor stalls it.
    world.now = world.now - 3600;
    world.advance(CoolDownPattern::totalSeconds - 10.125 - 0.125);
    EXPECT_FALSE(model->coolDown()->isFinished);
    EXPECT_THAT(spoken, IsEmpty());

    world.advance(0.125);
    ASSERT_TRUE(model->coolDown()->isFinished);
    EXPECT_EQ(model->coolDown()->elapsed, CoolDownPattern::totalSeconds);
    EXPECT_EQ(model->menuBarFace(), model->styled(face(FaceState::wakeUpHappy, HeatState::chill)));
    EXPECT_EQ(breaksTaken(), 1);
    ASSERT_EQ(spoken.size(), 1U);
    EXPECT_EQ(spoken[0].text, "There. Better.");
    EXPECT_EQ(spoken[0].face, face(FaceState::wakeUpHappy, HeatState::chill));
    EXPECT_EQ(spoken[0].duration, 4);
    EXPECT_EQ(world.soundsPlayed, 0);

    // Finished but not cleared yet: no second exercise.
    model->startCoolDown();
    world.advance(3.75);
    EXPECT_TRUE(model->coolDown());
    world.advance(0.25);
    EXPECT_EQ(model->coolDown(), std::nullopt);
    EXPECT_EQ(world.pendingTasks(), 1U);
    EXPECT_EQ(breaksTaken(), 1);

    settings->setSoundsEnabled(true);
    model->startCoolDown();
    world.advance(CoolDownPattern::totalSeconds);
    EXPECT_EQ(breaksTaken(), 2);
    EXPECT_EQ(world.soundsPlayed, 1);
}

TEST_F(AppModelCoolDownTest, AnsweringAPromptWithACoolDownSpeaksNoDismissal) {
    model->handleRestEvents(model->coach().promptNow(), true);
    model->startCoolDown();
    EXPECT_EQ(model->restPhase(), RestPhase::active);
    EXPECT_THAT(spoken, IsEmpty());
    EXPECT_EQ(world.logLines.back(), "[09:00:01.0] REST: dismissed");
}

TEST_F(AppModelCoolDownTest, NoExerciseDuringABreak) {
    model->handleRestEvents(model->coach().acceptRest(), true);
    ASSERT_EQ(model->restPhase(), RestPhase::resting);
    model->startCoolDown();
    EXPECT_EQ(model->coolDown(), std::nullopt);
}

TEST_F(AppModelCoolDownTest, WhileItRunsTheCoachRestsAndHeadsUpsWait) {
    model->startCoolDown();
    const double active = model->coach().activeElapsed();
    for (int i = 0; i < 30; ++i) {
        tick(95);
    }
    EXPECT_EQ(model->coach().activeElapsed(), active);
    EXPECT_THAT(spoken, IsEmpty());
    EXPECT_EQ(model->heatBreak().hotSince(), std::nullopt);
}

TEST_F(AppModelCoolDownTest, SwitchingBreaksOffStopsTheExerciseAndCancelsThePrompt) {
    model->startCoolDown();
    settings->setRestEnabled(false);
    tick(5);
    EXPECT_EQ(model->coolDown(), std::nullopt);
    EXPECT_EQ(model->restPhase(), RestPhase::idle);
    world.advance(CoolDownPattern::totalSeconds);
    EXPECT_EQ(breaksTaken(), 0);

    settings->setRestEnabled(true);
    tick(5);
    model->handleRestEvents(model->coach().promptNow(), true);
    settings->setRestEnabled(false);
    tick(5);
    EXPECT_EQ(model->restPhase(), RestPhase::idle);
    EXPECT_THAT(phases, ElementsAre(RestPhase::active, RestPhase::idle, RestPhase::active,
                                    RestPhase::prompting, RestPhase::idle));
}

TEST_F(AppModelCoolDownTest, AnAnnouncementWithoutFaceOrDurationUsesThePopoversFaceAndTheConfiguredTime) {
    model->announce("Hello.", std::nullopt, std::nullopt);
    ASSERT_EQ(spoken.size(), 1U);
    EXPECT_EQ(spoken[0].face, model->styled(model->popoverFaceWithoutStyle()));
    EXPECT_EQ(spoken[0].duration, 7);
    EXPECT_EQ(world.logLines.back(), "[09:00:01.0] HEADS-UP: Hello.");

    world.advance(20.75);
    EXPECT_EQ(model->headsUpMessage(), "Hello.");
    world.advance(0.25);
    EXPECT_EQ(model->headsUpMessage(), std::nullopt);

    // A later announcement restarts the card's time.
    model->announce("One.", std::nullopt, 2.0);
    world.advance(5);
    model->announce("Two.", std::nullopt, 2.0);
    world.advance(1.5);
    EXPECT_EQ(model->headsUpMessage(), "Two.");
    world.advance(4.5);
    EXPECT_EQ(model->headsUpMessage(), std::nullopt);
}

} // namespace
} // namespace halvrick
