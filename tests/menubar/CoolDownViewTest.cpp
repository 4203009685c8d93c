#include "menubar/CoolDownView.h"

#include "CardTestSupport.h"
#include "pea/AnimatedPeaView.h"
#include "ui/RingDial.h"

#include <cmath>

namespace halvrick::cardtest {
namespace {

using Stage = CoolDownPattern::Stage;

class CoolDownViewTest : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        auto recording = std::make_shared<RecordingAnnouncer>();
        announcer = recording.get();
        view = std::make_unique<CoolDownView>(*model, nullptr, recording);
        showOffscreen(*view);
    }

    // Runs the exercise on for `seconds`, refreshing the card after every tick of the model's.
    void breathe(double seconds) {
        for (double t = 0; t < seconds - 1e-9; t += 0.25) {
            world.advance(0.25);
            QCoreApplication::processEvents();
        }
    }

    RecordingAnnouncer* announcer = nullptr;
    std::unique_ptr<CoolDownView> view;
};

TEST_F(CoolDownViewTest, WhatTheCardShowsAlongTheMinute) {
    struct Case {
        const char* name;
        std::optional<CoolDownState> coolDown;
        bool reduceMotion;
        double progress;
        std::optional<CoolDownPattern::Position> position;
        double scale;
        bool isOver;
        const char* step;
    };
    const auto at = [](double elapsed, bool finished = false) {
        return std::optional(CoolDownState{Date::since1970(0), elapsed, finished});
    };
    for (const Case& c : {
             Case{"start", at(0), false, 0, {{1, Stage::inhale, 4}}, 1.06, false, "Breathe in… 4"},
             Case{"hold", at(4), false, 4 / 56.0, {{1, Stage::hold, 4}}, 1.06, false, "Hold… 4"},
             Case{"hold, partly gone",
                  at(4.8),
                  false,
                  4.8 / 56,
                  {{1, Stage::hold, 3.2}},
                  1.06,
                  false,
                  "Hold… 4"},
             Case{"out", at(8), false, 8 / 56.0, {{1, Stage::exhale, 6}}, 1.0, false, "Breathe out… 6"},
             Case{"round two",
                  at(14),
                  false,
                  14 / 56.0,
                  {{2, Stage::inhale, 4}},
                  1.06,
                  false,
                  "Breathe in… 4"},
             Case{"last moment",
                  at(55.9),
                  false,
                  55.9 / 56,
                  {{4, Stage::exhale, 0.1}},
                  1.0,
                  false,
                  "Breathe out… 1"},
             Case{"over", at(56, true), false, 1, std::nullopt, 1.06, true, "There. Better."},
             Case{"past the end", at(70), false, 1, std::nullopt, 1.06, false, "There. Better."},
             Case{"before the start", at(-1), false, 0, std::nullopt, 1.06, false, "There. Better."},
             Case{"reduce motion", at(0), true, 0, {{1, Stage::inhale, 4}}, 1.0, false, "Breathe in… 4"},
             Case{
                 "no exercise", std::nullopt, false, 0, {{1, Stage::inhale, 4}}, 1.06, true, "Breathe in… 4"},
         }) {
        SCOPED_TRACE(c.name);
        const CoolDownView::Display shown = CoolDownView::display(c.coolDown, c.reduceMotion);
        EXPECT_NEAR(shown.progress, c.progress, 1e-12);
        ASSERT_EQ(shown.position.has_value(), c.position.has_value());
        if (c.position) {
            EXPECT_EQ(shown.position->round, c.position->round);
            EXPECT_EQ(shown.position->stage, c.position->stage);
            EXPECT_NEAR(shown.position->remaining, c.position->remaining, 1e-9);
        }
        EXPECT_EQ(shown.peaScale, c.scale);
        EXPECT_EQ(shown.isOver, c.isOver);
        EXPECT_EQ(CoolDownView::stepText(shown.position), QString::fromUtf8(c.step));
    }
}

TEST_F(CoolDownViewTest, AnnouncesEachNewStepOnceAndNeitherTheFirstNorTheEnd) {
    model->startCoolDown();
    QCoreApplication::processEvents();
    EXPECT_EQ(view->stepLabel().text(), QStringLiteral("Breathe in… 4"));
    EXPECT_EQ(view->roundLabel().text(), QStringLiteral("Round 1 of 4"));
    EXPECT_EQ(view->button().text(), QStringLiteral("Stop"));
    EXPECT_TRUE(announcer->said.empty());

    breathe(57);
    ASSERT_TRUE(model->coolDown() && model->coolDown()->isFinished);
    const std::vector<QString> round{QStringLiteral("Hold… 4"), QStringLiteral("Breathe out… 6"),
                                     QStringLiteral("Breathe in… 4")};
    std::vector<QString> expected;
    for (int r = 0; r < CoolDownPattern::rounds; ++r) {
        expected.insert(expected.end(), round.begin(), round.end());
    }
    expected.pop_back();
    EXPECT_EQ(announcer->said, expected);
    EXPECT_EQ(view->stepLabel().text(), QStringLiteral("There. Better."));
    EXPECT_TRUE(view->roundLabel().isHidden());
    EXPECT_EQ(view->button().text(), QStringLiteral("Done"));
    EXPECT_EQ(view->dial().progress(), 1);

    // Return closes the finished exercise; clearing it says nothing either.
    pressReturn(view->button());
    EXPECT_FALSE(model->coolDown());
    QCoreApplication::processEvents();
    EXPECT_EQ(announcer->said.size(), expected.size());
}

TEST_F(CoolDownViewTest, DuringTheExerciseReturnDoesNothingAndStopEndsItSilently) {
    model->startCoolDown();
    breathe(5);
    pressReturn(view->button());
    ASSERT_TRUE(model->coolDown());
    const std::size_t said = announcer->said.size();

    view->button().click();
    EXPECT_FALSE(model->coolDown());
    QCoreApplication::processEvents();
    EXPECT_EQ(announcer->said.size(), said) << "the card falling back to its first step is no new step";
    EXPECT_EQ(view->button().text(), QStringLiteral("Done"));
}

TEST_F(CoolDownViewTest, ThePeaSwellsOnTheInBreathUnlessMotionIsReduced) {
    model->popoverWillOpen(false);
    model->startCoolDown();
    QCoreApplication::processEvents();
    EXPECT_EQ(view->dial().peaScale(), 1.06);
    EXPECT_TRUE(view->dial().pea().isAnimating());
    breathe(4);
    EXPECT_EQ(view->dial().peaScale(), 1.06) << "held through the hold";
    breathe(4);
    EXPECT_EQ(view->dial().peaScale(), 1.0);

    model->updateDisplayOptions(true, false);
    breathe(6);
    ASSERT_EQ(CoolDownPattern::stage(model->coolDown()->elapsed)->stage, Stage::inhale);
    EXPECT_EQ(view->dial().peaScale(), 1.0);
    EXPECT_EQ(view->dial().shownPeaScale(), 1.0);
    EXPECT_FALSE(view->dial().pea().isAnimating());
}

TEST_F(CoolDownViewTest, InThePopover) {
    model->startCoolDown();
    breathe(20);
    auto* running = new CoolDownView(*model);
    CardHost runningHost(running, 16, 340);
    runningHost.save(QStringLiteral("card-cool-down.png"));
    expectFits(running->stepLabel());
    expectFits(running->roundLabel());
    EXPECT_NEAR(running->dial().shownProgress(), 20 / 56.0, 1e-9);
    EXPECT_EQ(running->dial().accessibleName(), QStringLiteral("One minute. Just breathe."));
    EXPECT_EQ(running->dial().accessibleDescription(), running->stepLabel().text());

    breathe(37);
    auto* finished = new CoolDownView(*model);
    CardHost finishedHost(finished, 16, 340);
    finishedHost.save(QStringLiteral("card-cool-down-done.png"));
    expectFits(finished->stepLabel());
    EXPECT_TRUE(finished->button().isDefault());
}

} // namespace
} // namespace halvrick::cardtest
