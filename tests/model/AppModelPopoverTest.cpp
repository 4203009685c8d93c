#include "AppModelFakes.h"
#include "model/Copy.h"

#include <gmock/gmock.h>

namespace halvrick {
namespace {

using fakes::app;
using fakes::ModelTest;
using fakes::processSample;
using testing::Contains;
using testing::IsEmpty;

class AppModelPopoverTest : public ModelTest {
protected:
    AppModelPopoverTest() {
        make();
        model->start();
    }
};

TEST_F(AppModelPopoverTest, OpeningDrawsAFreshLineClearsTheQuitPromptAndStartsTheListing) {
    const std::vector<std::string> lines = Copy::heatLines(HeatState::chill, Personality::mild);
    model->blame().setConfirmingQuit(app("Editor"));
    std::string previous = model->line();
    for (int i = 0; i < 5; ++i) {
        model->popoverWillOpen(i % 2 == 0);
        EXPECT_NE(model->line(), previous);
        EXPECT_THAT(lines, Contains(model->line()));
        previous = model->line();
    }
    EXPECT_TRUE(model->isPopoverOpen());
    EXPECT_TRUE(model->debugUnlocked());
    EXPECT_EQ(model->blame().confirmingQuit(), std::nullopt);
    EXPECT_EQ(model->blame().quitMessage(), std::nullopt);
    EXPECT_TRUE(world.breakdownTimer->isActive());
    EXPECT_EQ(world.breakdownTimer->interval, 2);

    model->popoverDidClose();
    EXPECT_FALSE(model->isPopoverOpen());
    EXPECT_FALSE(world.breakdownTimer->isActive());
    EXPECT_THAT(model->blame().systemParts(), IsEmpty());
}

TEST_F(AppModelPopoverTest, EachOpeningStartsFromAnEmptyBreakdown) {
    model->popoverWillOpen(false);
    for (double cpu : {0.0, 4.0}) {
        world.advance(2);
        model->blame().ingestListing({{7, cpu, "/usr/bin/indexer"}}, world.now);
    }
    ASSERT_EQ(model->blame().systemParts().size(), 1U);
    model->popoverDidClose();
    model->popoverWillOpen(false);
    world.advance(2);
    // The first listing after opening only sets the baseline again.
    model->blame().ingestListing({{7, 8.0, "/usr/bin/indexer"}}, world.now);
    EXPECT_THAT(model->blame().systemParts(), IsEmpty());
}

TEST_F(AppModelPopoverTest, TheSuppressionNoteFollowsTheTickOnlyWhileOpen) {
    world.microphoneInUse = true;
    model->popoverWillOpen(false);
    EXPECT_EQ(model->suppressionNote(), "Shh. You're on a call. Breaks and heads-ups can wait.");
    EXPECT_EQ(model->popoverFaceWithoutStyle(), face(FaceState::shh, HeatState::chill));

    world.microphoneInUse = false;
    world.fullScreen = true;
    tick(5, 6);
    EXPECT_EQ(model->suppressionNote(), "Shh. You're in full screen. I'll keep quiet.");

    model->popoverDidClose();
    world.fullScreen = false;
    tick(5, 6);
    EXPECT_EQ(model->suppressionNote(), "Shh. You're in full screen. I'll keep quiet.");

    // Quiet hours reach the tracker with the next tick.
    settings->setQuietHoursEnabled(true);
    settings->setQuietStartMinute(8 * 60);
    settings->setQuietEndMinute(10 * 60);
    tick(5, 6);
    model->popoverWillOpen(false);
    EXPECT_EQ(model->suppressionNote(), "Quiet hours. I'm not saying a word.");
}

// The popover content as a window that stays open all day: only while someone looks at it does it cost
// what an open popover does, and when looked at again it shows the moment, not the last one it saw.
TEST_F(AppModelPopoverTest, AWindowLeftOpenCountsAsOpenOnlyWhileWatched) {
    model->popoverWillOpen(false);
    for (double cpu : {0.0, 4.0}) {
        world.advance(2);
        model->blame().ingestListing({{7, cpu, "/usr/bin/indexer"}}, world.now);
    }
    ASSERT_EQ(model->blame().systemParts().size(), 1U);
    model->blame().setConfirmingQuit(app("Editor"));
    const std::string line = model->line();

    model->setPopoverWatched(false);
    EXPECT_FALSE(model->isPopoverOpen());
    EXPECT_FALSE(world.breakdownTimer->isActive()) << "no listing for a window nobody sees";
    EXPECT_THAT(model->blame().systemParts(), IsEmpty()) << "no parts left to go stale";
    world.microphoneInUse = true;
    tick(5, 6);
    EXPECT_EQ(model->suppressionNote(), std::nullopt);
    model->ingestProcesses(processSample(world.now, 2, {{app("Compiler"), 1.5}}));

    model->setPopoverWatched(true);
    EXPECT_TRUE(model->isPopoverOpen());
    EXPECT_TRUE(world.breakdownTimer->isActive());
    EXPECT_TRUE(world.breakdownSampler->isRunning()) << "the listing is asked for at once, not a sweep later";
    EXPECT_EQ(model->suppressionNote(), "Shh. You're on a call. Breaks and heads-ups can wait.");
    ASSERT_FALSE(model->blame().topApps().empty());
    EXPECT_EQ(model->blame().topApps().front().app, app("Compiler"));
    EXPECT_EQ(model->line(), line) << "a glance is not an opening: the line stays";
    EXPECT_EQ(model->blame().confirmingQuit(), app("Editor"));

    // Watched twice is still one opening; closed is closed.
    model->setPopoverWatched(true);
    EXPECT_EQ(model->line(), line);
    model->popoverDidClose();
    EXPECT_FALSE(world.breakdownTimer->isActive());
}

struct WrappedCase {
    const char* name;
    int day; // of March 2026: the 7th is a Saturday, the 8th a Sunday
    int hour;
    int minute;
    bool seenToday;
    bool ready;
};

class WrappedOfferTest : public ModelTest, public testing::WithParamInterface<WrappedCase> {};

TEST_P(WrappedOfferTest, IsOfferedOnSundayEveningsUntilSeen) {
    const WrappedCase& c = GetParam();
    world.now = world.calendar.date(2026, 3, c.day, c.hour, c.minute);
    if (c.seenToday) {
        world.defaults->setString("wrappedSeenDay", StatsLedger::dayKey(world.now, world.calendar));
    } else {
        world.defaults->setString("wrappedSeenDay", "2026-03-01");
    }
    make();
    model->popoverWillOpen(false);
    EXPECT_EQ(model->wrappedReady(), c.ready);
}

INSTANTIATE_TEST_SUITE_P(Cases, WrappedOfferTest,
                         testing::Values(WrappedCase{"SaturdayNight", 7, 23, 0, false, false},
                                         WrappedCase{"SundayBeforeSix", 8, 17, 59, false, false},
                                         WrappedCase{"SundayAtSix", 8, 18, 0, false, true},
                                         WrappedCase{"SundayLate", 8, 23, 59, false, true},
                                         WrappedCase{"SeenToday", 8, 19, 0, true, false}),
                         [](const testing::TestParamInfo<WrappedCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(AppModelPopoverTest, AnEveningWithoutRecordsHasNoGradeAndNothingCounted) {
    const EveningSummary summary = model->buildEveningSummary("2026-03-04", world.now);
    EXPECT_EQ(summary.dayKey, "2026-03-04");
    EXPECT_EQ(summary.grade, std::nullopt);
    EXPECT_EQ(summary.heatSeconds, 0);
    EXPECT_EQ(summary.breaksTaken, 0);
    EXPECT_EQ(summary.culprit, std::nullopt);
}

TEST_F(AppModelPopoverTest, AnEveningSummarySumsTheHotTimeAndNamesTheCulprit) {
    const Date day = world.calendar.date(2026, 3, 4, 14);
    StatsLedger& ledger = model->stats().ledger();
    ledger.addHeat(600, HeatState::sweating, day, world.calendar);
    ledger.addHeat(300, HeatState::meltdown, day, world.calendar);
    ledger.addActive(4 * 3600, day, world.calendar);
    ledger.recordBreakTaken(day, world.calendar);
    ledger.addSweat(500, app("Compiler"), day, world.calendar);
    ledger.addSweat(100, app("Browser"), day, world.calendar);

    const EveningSummary summary = model->buildEveningSummary("2026-03-04", world.now);
    EXPECT_EQ(summary.heatSeconds, 900);
    EXPECT_EQ(summary.breaksTaken, 1);
    EXPECT_EQ(summary.culprit, "Compiler");
    ASSERT_TRUE(summary.grade);
    EXPECT_EQ(summary.grade, DailyGrade::evaluate(ledger.dailyTotals(1, day, world.calendar).back()));

    // A key that names no day falls back to the given time, today here.
    EXPECT_EQ(model->buildEveningSummary("yesterday", day).heatSeconds, 900);
}

TEST_F(AppModelPopoverTest, IgnoringTheCulpritBlamesTheNextOneInAFreshLine) {
    world.picks = {0, 1, 2};
    tick(90);
    model->ingestProcesses(
        processSample(world.now, 2, {{app("Compiler"), 2}, {app("Browser"), 1}, {app("Chat"), 0.5}}));
    ASSERT_EQ(model->blame().culprit()->app, app("Compiler"));
    const std::string compilerLine = model->blame().blameLine();
    EXPECT_NE(compilerLine.find("Compiler"), std::string::npos);

    // Ignoring someone else keeps the sentence.
    model->blame().setIgnoredNames({{app("Chat").id, "Chat"}});
    model->blame().refresh();
    EXPECT_EQ(model->blame().blameLine(), compilerLine);
    EXPECT_EQ(model->blame().topApps().size(), 2U);

    model->blame().setIgnoredNames({{app("Chat").id, "Chat"}, {app("Compiler").id, "Compiler"}});
    model->blame().refresh();
    EXPECT_EQ(model->blame().culprit()->app, app("Browser"));
    EXPECT_NE(model->blame().blameLine().find("Browser"), std::string::npos);

    model->blame().setIgnoredNames(
        {{app("Chat").id, "Chat"}, {app("Compiler").id, "Compiler"}, {app("Browser").id, "Browser"}});
    model->blame().refresh();
    EXPECT_EQ(model->blame().culprit(), std::nullopt);
    EXPECT_EQ(model->blame().blameLine(), "Nobody's bothering me right now.");
}

TEST_F(AppModelPopoverTest, QuittingAsksTheDirectoryWithTheSampledProcessesAndSaysHowItWent) {
    model->blame().confirmQuit();
    EXPECT_THAT(world.quitRequests, IsEmpty());
    EXPECT_EQ(model->blame().quitMessage(), std::nullopt);

    ProcessSampler::Sample sample = processSample(world.now, 2, {{app("Editor"), 1}});
    sample.pids = {{app("Editor"), {41, 42}}};
    model->ingestProcesses(sample);
    model->blame().setConfirmingQuit(app("Editor"));
    model->blame().confirmQuit();
    ASSERT_EQ(world.quitRequests.size(), 1U);
    EXPECT_EQ(world.quitRequests[0].second, (std::vector<std::int32_t>{41, 42}));
    EXPECT_EQ(model->blame().confirmingQuit(), std::nullopt);
    EXPECT_EQ(model->blame().quitMessage(), "Asked Editor to leave. Fingers crossed.");
    EXPECT_EQ(model->momentaryFace(), FaceState::grateful);

    world.quitSucceeds = false;
    world.advance(3);
    sample.pids[app("Game")] = {51};
    model->ingestProcesses(sample);
    model->blame().setConfirmingQuit(app("Game"));
    model->blame().confirmQuit();
    EXPECT_EQ(world.quitRequests.back().second, (std::vector<std::int32_t>{51}));
    EXPECT_EQ(model->blame().quitMessage(), "Game didn't want to go. Try quitting it yourself.");
    EXPECT_EQ(model->momentaryFace(), std::nullopt);
    EXPECT_FALSE(model->blame().isLeaving(app("Game")));
}

// A quit that went out greys the row at once; a second quit of an application that has gone in the
// meantime (or was never in the last sample) is what the user wanted, not a failure.
TEST_F(AppModelPopoverTest, QuittingAnApplicationThatIsGoneIsNoFailure) {
    ProcessSampler::Sample sample = processSample(world.now, 2, {{app("XTerm"), 1}});
    sample.pids = {{app("XTerm"), {61}}};
    model->ingestProcesses(sample);
    model->blame().setConfirmingQuit(app("XTerm"));
    model->blame().confirmQuit();
    EXPECT_EQ(model->blame().quitMessage(), "Asked XTerm to leave. Fingers crossed.");
    EXPECT_TRUE(model->blame().isLeaving(app("XTerm")));

    world.goneApps.insert(app("XTerm").id);
    world.quitSucceeds = false;
    model->blame().setConfirmingQuit(app("XTerm"));
    model->blame().confirmQuit();
    EXPECT_EQ(world.quitRequests.size(), 1U) << "nothing is sent to an application that is gone";
    EXPECT_EQ(model->blame().quitMessage(), "XTerm has already left.");
    EXPECT_TRUE(model->blame().isLeaving(app("XTerm")));

    model->blame().setConfirmingQuit(app("Never sampled"));
    model->blame().confirmQuit();
    EXPECT_EQ(model->blame().quitMessage(), "Never sampled has already left.");

    // Still listed once its old CPU time has left the blame window, it still runs: its row comes back.
    world.monotonic += std::chrono::seconds(10);
    EXPECT_FALSE(model->blame().isLeaving(app("XTerm")));
}

TEST_F(AppModelPopoverTest, TheReadoutNamesTheTopApplication) {
    tick(90);
    model->ingestProcesses(processSample(world.now, 2, {{app("Compiler"), 2}}));
    tick(90);
    EXPECT_NE(model->debugReadout().find(" · top Compiler 50% · rest "), std::string::npos)
        << model->debugReadout();
}

} // namespace
} // namespace halvrick
