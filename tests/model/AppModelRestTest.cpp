#include "AppModelFakes.h"
#include "model/Copy.h"

#include <gmock/gmock.h>

namespace halvrick {
namespace {

using fakes::ModelTest;
using testing::Contains;
using testing::ElementsAre;
using testing::EndsWith;
using testing::IsEmpty;
using testing::Pair;

bool isWorking(RestPhase phase) {
    return phase == RestPhase::active || phase == RestPhase::prompting || phase == RestPhase::snoozed;
}

class AppModelRestTest : public ModelTest {
protected:
    AppModelRestTest() {
        world.environment["HALVRICK_LOG"] = "";
        make();
        model->start();
    }

    // One quiet tick a second; counts the seconds the ledger should book as active.
    void work(int seconds) {
        for (int i = 0; i < seconds; ++i) {
            if (isWorking(model->restPhase()) && ticked) {
                ++expectedActive;
            }
            tick(5);
            ticked = true;
        }
    }

    // Ticks until the phase is reached, at most `limit` seconds.
    int workUntil(RestPhase phase, int limit) {
        for (int i = 1; i <= limit; ++i) {
            work(1);
            if (model->restPhase() == phase) {
                return i;
            }
        }
        return -1;
    }

    const DailyStats& today() const {
        return model->stats().ledger().days.at(StatsLedger::dayKey(world.now, world.calendar));
    }

    double expectedActive = 0;
    bool ticked = false;
};

TEST_F(AppModelRestTest, AnHourOfWorkWithAPromptASnoozeAndATakenBreak) {
    settings->setNotificationsEnabled(true);

    // An hour at the keyboard, then the prompt.
    EXPECT_EQ(workUntil(RestPhase::prompting, 3700), 3601);
    EXPECT_THAT(phases, ElementsAre(RestPhase::active, RestPhase::prompting));
    EXPECT_THAT(
        notifier.sent,
        ElementsAre(Pair("rest-prompt", "We've been at this for an hour. I'm tired. Can we both stand "
                                        "up for 2 minutes?")));
    EXPECT_EQ(today().promptsShown, 1);
    EXPECT_EQ(model->menuBarFace(), model->styled(face(FaceState::tired, HeatState::chill)));
    EXPECT_EQ(menuFaces.back(), model->menuBarFace());

    // Not now: fifteen more minutes.
    model->handleRestEvents(model->coach().snooze(), true);
    EXPECT_EQ(model->restPhase(), RestPhase::snoozed);
    EXPECT_THAT(notifier.removed, ElementsAre("rest-prompt"));
    EXPECT_EQ(model->momentaryFace(), FaceState::snoozed);
    ASSERT_FALSE(spoken.empty());
    EXPECT_EQ(spoken.back().text, "Fine. 15 more minutes. I'm counting.");
    EXPECT_EQ(spoken.back().face, PeaFace::rest(RestFace::snoozed, HeatState::chill));
    EXPECT_EQ(spoken.back().duration, 3);
    work(3);
    EXPECT_EQ(model->momentaryFace(), std::nullopt);

    EXPECT_EQ(workUntil(RestPhase::prompting, 1000), 897);
    EXPECT_EQ(today().promptsShown, 2);

    // The break: hands off the keyboard for two minutes.
    model->handleRestEvents(model->coach().acceptRest(), true);
    EXPECT_EQ(model->restPhase(), RestPhase::resting);
    EXPECT_EQ(model->restRemaining(), 120);
    EXPECT_EQ(model->menuBarFace(), model->styled(face(FaceState::napping, HeatState::chill)));
    world.typing = false;
    work(60);
    EXPECT_NEAR(*model->restRemaining(), 60, 1e-6);
    EXPECT_EQ(workUntil(RestPhase::breakTaken, 100), 60);
    EXPECT_EQ(model->restRemaining(), std::nullopt);
    EXPECT_EQ(today().breaksTaken, 1);
    EXPECT_NEAR(today().longestStretchSeconds, 3601 + 900, 2);

    // Back at the keyboard, rested.
    world.typing = true;
    work(1);
    EXPECT_EQ(model->restPhase(), RestPhase::active);
    EXPECT_EQ(model->momentaryFace(), FaceState::wakeUpHappy);
    EXPECT_EQ(spoken.back().text, "Ahh. Much better. Thank you.");
    EXPECT_EQ(spoken.back().face, PeaFace::rest(RestFace::wakeUp, HeatState::chill));
    EXPECT_EQ(spoken.back().duration, 5);
    work(4);
    EXPECT_EQ(model->momentaryFace(), std::nullopt);

    EXPECT_THAT(phases,
                ElementsAre(RestPhase::active, RestPhase::prompting, RestPhase::snoozed, RestPhase::prompting,
                            RestPhase::resting, RestPhase::breakTaken, RestPhase::active));
    // Only working time counts as active: none of the break does.
    EXPECT_DOUBLE_EQ(today().activeSeconds, expectedActive);
    EXPECT_GT(expectedActive, 4490);
    EXPECT_THAT(world.logLines, Contains(EndsWith("] REST: promptShown")));
    EXPECT_THAT(world.logLines, Contains(EndsWith("] REST: breakCompleted")));
}

TEST_F(AppModelRestTest, LeavingEndsTheStretchAndComingBackWakesThePea) {
    work(600);
    ASSERT_EQ(model->restPhase(), RestPhase::active);

    world.typing = false;
    world.presenceSignal(true);
    EXPECT_EQ(model->restPhase(), RestPhase::idle);
    EXPECT_NEAR(today().longestStretchSeconds, 600, 1);
    work(5);
    EXPECT_TRUE(model->isDozing());
    EXPECT_EQ(model->menuBarFace(), model->styled(face(FaceState::dozing, HeatState::chill)));

    world.typing = true;
    world.presenceSignal(false);
    EXPECT_EQ(model->momentaryFace(), FaceState::wakingUp);
    work(1);
    EXPECT_FALSE(model->isDozing());
    EXPECT_EQ(model->restPhase(), RestPhase::active);
    EXPECT_EQ(model->menuBarFace(), model->styled(face(FaceState::wakingUp, HeatState::chill)));
    work(1);
    EXPECT_EQ(model->momentaryFace(), std::nullopt);
    EXPECT_EQ(model->menuBarFace(), model->styled(PeaFace::heat(HeatState::chill)));
}

TEST_F(AppModelRestTest, StayingAwayFromTheKeyboardDozesOnceTheStretchIsOver) {
    work(10);
    world.typing = false;
    work(299);
    EXPECT_FALSE(model->isDozing());
    work(2);
    EXPECT_EQ(model->restPhase(), RestPhase::idle);
    EXPECT_TRUE(model->isDozing());
}

TEST_F(AppModelRestTest, LosingPresenceDuringACoolDownEndsItWithoutABreak) {
    work(10);
    model->startCoolDown();
    ASSERT_TRUE(model->coolDown());
    world.presenceSignal(true);
    EXPECT_EQ(model->coolDown(), std::nullopt);
    EXPECT_EQ(today().breaksTaken, 0);
    EXPECT_EQ(model->restPhase(), RestPhase::idle);
}

TEST_F(AppModelRestTest, ASnoozeIsAlwaysSpokenButADismissalOnlyWhenAsked) {
    model->handleRestEvents({RestEvent::snoozed()}, false);
    EXPECT_THAT(spokenTexts(), ElementsAre("Fine. 15 more minutes. I'm counting."));
    model->handleRestEvents({RestEvent::dismissed()}, false);
    EXPECT_EQ(spoken.size(), 1U);
    settings->setPersonality(Personality::deadpan);
    model->handleRestEvents({RestEvent::dismissed()}, true);
    EXPECT_EQ(spoken.back().text, "Okay. Later.");
    EXPECT_EQ(spoken.back().face, PeaFace::rest(RestFace::snoozed, HeatState::chill));
}

TEST_F(AppModelRestTest, EventsOfOneCallAreHandledInOrderAndTheLastLineStays) {
    world.picks = {2, 1};
    model->handleRestEvents({RestEvent::sideEye(), RestEvent::restAbandoned()}, true);
    EXPECT_THAT(spokenTexts(),
                ElementsAre("Hands off. We're on a break.", "That was more of a typing break. Next time?"));
    EXPECT_EQ(spoken.back().duration, 5);
    EXPECT_EQ(model->headsUpMessage(), "That was more of a typing break. Next time?");
    EXPECT_EQ(model->momentaryFace(), FaceState::sideEye);
}

TEST_F(AppModelRestTest, TheRemainingRestIsRepublishedEvenWhenThePhaseStays) {
    int changes = 0;
    QObject::connect(model.get(), &AppModel::restRemainingChanged, [&] { ++changes; });
    int phaseChanges = 0;
    QObject::connect(model.get(), &AppModel::restPhaseChanged, [&] { ++phaseChanges; });
    model->handleRestEvents({}, true);
    model->handleRestEvents({}, true);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(phaseChanges, 0);
    EXPECT_THAT(phases, IsEmpty());
}

TEST_F(AppModelRestTest, OnlyLeavingThePromptTakesItsNotificationAway) {
    settings->setNotificationsEnabled(true);
    work(5);
    model->handleRestEvents(model->coach().promptNow(), true);
    EXPECT_EQ(notifier.sent.size(), 1U);
    EXPECT_THAT(notifier.removed, IsEmpty());
    model->handleRestEvents(model->coach().acceptRest(), true);
    EXPECT_THAT(notifier.removed, ElementsAre("rest-prompt"));
}

// Over the pea's own prompt the server's popup would take the click meant for its buttons: it goes out
// only while the status item cannot show the prompt.
TEST_F(AppModelRestTest, ThePromptGoesToTheServerOnlyWhileThePeaCannotShowIt) {
    settings->setNotificationsEnabled(true);
    bool onScreen = true;
    model->showsRestPrompt = [&onScreen] { return onScreen; };
    work(5);
    model->handleRestEvents(model->coach().promptNow(), true);
    EXPECT_EQ(model->restPhase(), RestPhase::prompting);
    EXPECT_THAT(notifier.sent, IsEmpty());
    EXPECT_EQ(today().promptsShown, 1);

    model->handleRestEvents(model->coach().notNow(), true);
    onScreen = false;
    model->handleRestEvents(model->coach().promptNow(), true);
    EXPECT_THAT(notifier.sent, ElementsAre(Pair("rest-prompt", testing::_)));
    EXPECT_EQ(today().promptsShown, 2);
}

TEST_F(AppModelRestTest, WithoutAnIdentityNoNotificationIsPostedOrRemoved) {
    world.identity = AppIdentity::withoutIdentifier();
    make();
    settings->setNotificationsEnabled(true);
    tick(5);
    model->handleRestEvents(model->coach().promptNow(), true);
    model->handleRestEvents(model->coach().acceptRest(), true);
    EXPECT_EQ(model->restPhase(), RestPhase::resting);
    EXPECT_THAT(notifier.sent, IsEmpty());
    EXPECT_THAT(notifier.removed, IsEmpty());
    EXPECT_EQ(today().promptsShown, 1);
}

TEST_F(AppModelRestTest, WithNotificationsOffThePromptIsOnlyBooked) {
    work(5);
    model->handleRestEvents(model->coach().promptNow(), true);
    EXPECT_THAT(notifier.sent, IsEmpty());
    EXPECT_EQ(today().promptsShown, 1);
}

} // namespace
} // namespace halvrick
