#include "AppModelFakes.h"
#include "model/Copy.h"

#include <gmock/gmock.h>

namespace halvrick {
namespace {

using fakes::ModelTest;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::Pair;

constexpr const char* dayDone = "Day's done. Want the short version?";

// An evening at the computer after an hour of work; the check-in window opens at 18:30.
class AppModelEveningTest : public ModelTest {
protected:
    AppModelEveningTest() {
        world.now = world.calendar.date(2026, 3, 5, 18, 0, 0);
        world.lastInput = world.now;
        world.defaults->setBool("endOfDayEnabled", true);
        make();
        model->start();
        settings->setRestEnabled(false);
        settings->setNotificationsEnabled(true);
        model->stats().ledger().addActive(3600, world.calendar.date(2026, 3, 5, 15, 0, 0), world.calendar);
    }

    // Ticks once a minute until the wall clock reaches hh:mm on the fixture's day.
    void until(int hour, int minute) {
        const Date target = world.calendar.date(2026, 3, 5, hour, minute, 0);
        while (world.now < target) {
            tick(5, 60);
        }
    }

    int timesSaid(const std::string& text) const {
        const std::vector<std::string> texts = spokenTexts();
        return static_cast<int>(std::count(texts.begin(), texts.end(), text));
    }
};

TEST_F(AppModelEveningTest, FiresOnceInTheWindowWithANotificationAndStaysDismissedAfterARestart) {
    until(18, 29);
    EXPECT_EQ(model->eveningSummary(), std::nullopt);
    EXPECT_EQ(timesSaid(dayDone), 0);

    until(18, 31);
    ASSERT_TRUE(model->eveningSummary());
    EXPECT_EQ(model->eveningSummary()->dayKey, "2026-03-05");
    EXPECT_EQ(world.defaults->getString("eveningFiredDay"), "2026-03-05");
    EXPECT_THAT(notifier.sent,
                ElementsAre(Pair("evening-check", Copy::eveningNotification(*model->eveningSummary()))));

    until(20, 30);
    EXPECT_EQ(timesSaid(dayDone), 1);
    EXPECT_EQ(notifier.sent.size(), 1u);

    model->dismissEvening();
    EXPECT_EQ(model->eveningSummary(), std::nullopt);
    EXPECT_THAT(notifier.removed, ElementsAre("evening-check"));
    EXPECT_EQ(spokenTexts().back(), "Goodnight. I'll keep the fan on.");

    make();
    model->popoverWillOpen(false);
    EXPECT_EQ(model->eveningSummary(), std::nullopt);
}

// Turning the check off hides a card that fired today without dismissing it: it comes back when the
// check is on again, after a restart too, until the evening's day is over.
TEST_F(AppModelEveningTest, TheCardFollowsTheCheckAtOnceAcrossRestartsUntilTheDayIsOver) {
    until(18, 31);
    ASSERT_TRUE(model->eveningSummary());

    settings->setEndOfDayEnabled(false);
    tick(5);
    EXPECT_EQ(model->eveningSummary(), std::nullopt);
    EXPECT_EQ(world.defaults->getString("eveningDismissedDay"), std::nullopt);

    settings->setEndOfDayEnabled(true);
    tick(5);
    ASSERT_TRUE(model->eveningSummary());
    EXPECT_EQ(model->eveningSummary()->dayKey, "2026-03-05");
    EXPECT_EQ(timesSaid(dayDone), 1) << "restored, not fired again";
    EXPECT_EQ(notifier.sent.size(), 1u);

    // Moved to 23:20, today's card stays: it fired today, and its window now runs past midnight.
    settings->setEndOfDayMinute(23 * 60 + 20);
    tick(5);
    EXPECT_TRUE(model->eveningSummary());

    settings->setEndOfDayEnabled(false);
    make();
    model->start();
    tick(5);
    EXPECT_EQ(model->eveningSummary(), std::nullopt);
    settings->setEndOfDayEnabled(true);
    tick(5);
    ASSERT_TRUE(model->eveningSummary());
    EXPECT_EQ(model->eveningSummary()->dayKey, "2026-03-05");
    EXPECT_EQ(timesSaid(dayDone), 1);

    // Past midnight the card belongs to the window that opened at 23:20, until that closes at 00:50.
    while (world.now < world.calendar.date(2026, 3, 6, 0, 45, 0)) {
        tick(5, 60);
    }
    EXPECT_TRUE(model->eveningSummary());
    while (world.now < world.calendar.date(2026, 3, 6, 0, 52, 0)) {
        tick(5, 60);
    }
    EXPECT_EQ(model->eveningSummary(), std::nullopt);
}

TEST_F(AppModelEveningTest, HeldBackByQuietHoursACallOrAShortDay) {
    settings->setQuietHoursEnabled(true);
    settings->setQuietStartMinute(18 * 60);
    settings->setQuietEndMinute(21 * 60);
    until(19, 0);
    EXPECT_EQ(timesSaid(dayDone), 0);

    settings->setQuietHoursEnabled(false);
    world.microphoneInUse = true;
    until(19, 10);
    EXPECT_EQ(timesSaid(dayDone), 0);
    world.microphoneInUse = false;
    until(19, 15);
    EXPECT_EQ(timesSaid(dayDone), 1);
    EXPECT_TRUE(model->eveningSummary());
}

// A stored time past the end of the day is shown as 23:59 (the settings read it so), and the check comes
// then: read as stored, it opened no window at all.
TEST_F(AppModelEveningTest, AnEveningTimePastTheDayFiresAtTheLastMinuteItShows) {
    settings->setEndOfDayMinute(24 * 60 + 10 * 60 + 39);
    ASSERT_EQ(settings->endOfDayMinute(), 23 * 60 + 59);
    until(23, 58);
    EXPECT_EQ(timesSaid(dayDone), 0);
    until(23, 59);
    tick(5, 30);
    EXPECT_EQ(timesSaid(dayDone), 1);
    EXPECT_EQ(world.defaults->getString("eveningFiredDay"), "2026-03-05");
}

TEST_F(AppModelEveningTest, AShortDayHasNoCheckInAndTheDebugCheckHasNoNotification) {
    model->stats().ledger().reset();
    model->stats().ledger().addActive(299, world.now, world.calendar);
    until(19, 0);
    EXPECT_EQ(timesSaid(dayDone), 0);

    model->runEveningCheckNow();
    EXPECT_EQ(timesSaid(dayDone), 1);
    EXPECT_TRUE(model->eveningSummary());
    EXPECT_THAT(notifier.sent, IsEmpty());
}

class AppModelChallengeTest : public ModelTest {
protected:
    AppModelChallengeTest() {
        make();
        model->start();
        settings->setNotificationsEnabled(true);
    }

    Date daysAgo(int days) const { return world.calendar.addingDays(-days, world.now); }
};

TEST_F(AppModelChallengeTest, ABreakOnFiveOfSevenDaysWinsOnTheLast) {
    model->startChallenge(ChallengeKind::breakHabit, daysAgo(6));
    ASSERT_TRUE(model->activeChallenge());
    for (int day = 4; day >= 1; --day) {
        model->stats().ledger().recordBreakTaken(daysAgo(day), world.calendar);
    }
    tick(5);
    EXPECT_TRUE(model->activeChallenge());
    EXPECT_EQ(model->challengeProgress(world.now)->metDays, 4);

    model->stats().ledger().recordBreakTaken(world.now, world.calendar);
    // Checked at most once a minute.
    tick(5, 30);
    EXPECT_TRUE(model->activeChallenge());
    tick(5, 31);
    EXPECT_EQ(model->activeChallenge(), std::nullopt);
    EXPECT_EQ(model->challengeProgress(world.now), std::nullopt);
    ASSERT_TRUE(model->challengeResult());
    EXPECT_EQ(model->challengeResult()->outcome, ChallengeResult::Outcome::completed);
    EXPECT_EQ(model->challenges().lastResult(), model->challengeResult());
    const std::string text = Copy::challengeAnnouncement(*model->challengeResult());
    ASSERT_FALSE(spoken.empty());
    EXPECT_EQ(spoken.back().text, text);
    EXPECT_EQ(spoken.back().face, face(FaceState::celebrating, model->state()));
    EXPECT_THAT(notifier.sent, ElementsAre(Pair("challenge", text)));
}

TEST_F(AppModelChallengeTest, SixDaysWithoutABreakLoseTheChallenge) {
    model->startChallenge(ChallengeKind::breakHabit, daysAgo(6));
    model->stats().ledger().addActive(600, daysAgo(1), world.calendar);
    tick(5);
    ASSERT_TRUE(model->challengeResult());
    EXPECT_EQ(model->challengeResult()->outcome, ChallengeResult::Outcome::failed);
    EXPECT_EQ(spoken.back().face, face(FaceState::wakeUpHappy, model->state()));
    EXPECT_EQ(notifier.sent.size(), 1u);
}

TEST_F(AppModelChallengeTest, AnUnannouncedResultIsPublishedSilently) {
    settings->setNotificationsEnabled(true);
    model->startChallenge(ChallengeKind::breakHabit, daysAgo(6));
    model->evaluateChallenges(world.now, false);
    EXPECT_TRUE(model->challengeResult());
    EXPECT_EQ(model->activeChallenge(), std::nullopt);
    EXPECT_THAT(spoken, IsEmpty());
    EXPECT_THAT(notifier.sent, IsEmpty());
    EXPECT_EQ(model->todayGrade(world.now), std::nullopt);
}

} // namespace
} // namespace halvrick
