#include "AppModelFakes.h"
#include "core/HeadsUp.h"
#include "model/Copy.h"

#include <gmock/gmock.h>

namespace halvrick {
namespace {

using fakes::app;
using fakes::ModelTest;
using fakes::processSample;

class AppModelActionsTest : public ModelTest {
protected:
    AppModelActionsTest() {
        make();
        model->start();
    }
};

TEST_F(AppModelActionsTest, APokeIsAnsweredInEveryVoice) {
    const std::vector<std::pair<Personality, std::string>> replies{
        {Personality::mild, "Yes? I'm right here."},
        {Personality::dramatic, "You POKED me. I felt that in my stem."},
        {Personality::deadpan, "That was a poke. Okay."},
        {Personality::gremlin, "hehe. that tickled. do it again."},
    };
    for (const auto& [personality, reply] : replies) {
        settings->setPersonality(personality);
        model->pokePea();
        ASSERT_FALSE(spoken.empty());
        EXPECT_EQ(spoken.back().text, reply);
        EXPECT_EQ(spoken.back().face, model->styled(face(FaceState::grateful, HeatState::chill)));
        EXPECT_EQ(spoken.back().duration, 3.0);
        EXPECT_EQ(model->momentaryFace(), FaceState::grateful);
    }
}

TEST_F(AppModelActionsTest, TheRoastAndTheTestHeadsUpPassOverTheSystem) {
    EXPECT_EQ(model->blame().roastEntry(), std::nullopt);
    model->showTestHeadsUp();
    EXPECT_EQ(spoken.back().text, Copy::headsUp(HeadsUp::heatingUp(HeatState::meltdown, std::nullopt, 0),
                                                settings->personality()));

    const AppKey browser = app("Browser");
    model->ingestProcesses(processSample(world.now, 2, {{AppKey::system(), 2}, {browser, 1}}));
    ASSERT_FALSE(model->blame().topApps().empty());
    ASSERT_EQ(model->blame().topApps().front().app, AppKey::system());
    ASSERT_EQ(model->blame().culprit(), std::nullopt);
    ASSERT_TRUE(model->blame().roastEntry());
    EXPECT_EQ(model->blame().roastEntry()->app, browser);
    model->showTestHeadsUp();
    EXPECT_EQ(spoken.back().text, Copy::headsUp(HeadsUp::heatingUp(HeatState::meltdown, browser, 0),
                                                settings->personality()));
}

// The outcome line answers the last quit: a new question on another row (or the same) clears it.
TEST_F(AppModelActionsTest, ANewQuitQuestionClearsTheLastOutcome) {
    ProcessSampler::Sample sample = processSample(world.now, 2, {{app("Editor"), 1}, {app("Game"), 1}});
    sample.pids = {{app("Editor"), {41}}, {app("Game"), {51}}};
    model->ingestProcesses(sample);
    model->blame().askToQuit(app("Editor"));
    EXPECT_EQ(model->blame().confirmingQuit(), app("Editor"));
    model->blame().confirmQuit();
    ASSERT_EQ(model->blame().quitMessage(), "Asked Editor to leave. Fingers crossed.");

    model->blame().askToQuit(app("Game"));
    EXPECT_EQ(model->blame().quitMessage(), std::nullopt);
    EXPECT_EQ(model->blame().confirmingQuit(), app("Game"));
    world.quitSucceeds = false;
    model->blame().confirmQuit();
    ASSERT_EQ(model->blame().quitMessage(), "Game didn't want to go. Try quitting it yourself.");

    // Processes and the system have no Quit: nothing changes.
    for (const AppKey& key : {AppKey{AppKey::Kind::process, "backupd", "backupd"}, AppKey::system()}) {
        model->blame().askToQuit(key);
        EXPECT_EQ(model->blame().confirmingQuit(), std::nullopt);
        EXPECT_EQ(model->blame().quitMessage(), "Game didn't want to go. Try quitting it yourself.");
    }
}

TEST_F(AppModelActionsTest, TheWeeklySummarySeenOnSundayEveningIsNoLongerOffered) {
    world.now = world.calendar.date(2026, 3, 8, 19, 0, 0);
    model->popoverWillOpen(false);
    EXPECT_TRUE(model->wrappedReady());
    model->markWrappedSeen(world.now);
    EXPECT_FALSE(model->wrappedReady());
    EXPECT_EQ(world.defaults->getString("wrappedSeenDay"), "2026-03-08");
    model->popoverWillOpen(false);
    EXPECT_FALSE(model->wrappedReady());
}

TEST_F(AppModelActionsTest, SeededChallengesWinLoseOrWaitAndOutOfRangeSeedsDoNothing) {
    model->seedChallengeForDebug(0, 0);
    model->seedChallengeForDebug(7, 0);
    EXPECT_EQ(model->activeChallenge(), std::nullopt);
    EXPECT_TRUE(model->stats().ledger().days.empty());

    model->seedChallengeForDebug(3, 3);
    ASSERT_TRUE(model->activeChallenge());
    EXPECT_EQ(model->challengeProgress(world.now)->metDays, 3);

    model->seedChallengeForDebug(6, 0);
    EXPECT_EQ(model->activeChallenge(), std::nullopt);
    ASSERT_TRUE(model->challengeResult());
    EXPECT_EQ(model->challengeResult()->outcome, ChallengeResult::Outcome::failed);
    EXPECT_EQ(spoken.back().text, Copy::challengeAnnouncement(*model->challengeResult()));
}

TEST_F(AppModelActionsTest, ASeededWeekFillsSevenDaysWithTheirHeat) {
    int seeded = 0;
    QObject::connect(model.get(), &AppModel::statsSeeded, [&] { ++seeded; });
    model->seedSampleWeek();
    EXPECT_EQ(seeded, 1);
    const std::vector<DailyTotals> week = model->stats().ledger().dailyTotals(7, world.now, world.calendar);
    ASSERT_EQ(week.size(), 7u);
    // Oldest first; heat above an hour would melt down, and every other day has a break.
    const std::vector<double> sweating{300, 2400, 900, 3600, 1800, 600, 0};
    for (std::size_t i = 0; i < week.size(); ++i) {
        EXPECT_EQ(week[i].sweatingSeconds, sweating[i]) << i;
        EXPECT_EQ(week[i].meltdownSeconds, 0) << i;
        EXPECT_EQ(week[i].activeSeconds, 21600) << i;
        EXPECT_EQ(week[i].breaksTaken, i % 2 == 1 ? 1 : 0) << i;
    }
    EXPECT_TRUE(model->todayGrade(world.now));
}

} // namespace
} // namespace halvrick
