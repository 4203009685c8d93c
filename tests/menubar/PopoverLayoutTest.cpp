#include "menubar/PopoverLayout.h"
#include "pea/CursorPeaView.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

PopoverSnapshot inPhase(RestPhase phase) {
    PopoverSnapshot s;
    s.restPhase = phase;
    return s;
}

PopoverSnapshot withCards(PopoverSnapshot s, bool reminder, bool headsUp, bool evening, bool wrapped) {
    s.hasReminder = reminder;
    s.hasHeadsUp = headsUp;
    s.hasEveningSummary = evening;
    s.wrappedReady = wrapped;
    return s;
}

TEST(PopoverLayoutTest, HeaderScrollHeightAndWhatTheMiddleShows) {
    PopoverSnapshot coolingWhileActive = inPhase(RestPhase::active);
    coolingWhileActive.coolingDown = true;
    PopoverSnapshot coolingWhilePrompting = inPhase(RestPhase::prompting);
    coolingWhilePrompting.coolingDown = true;

    struct Case {
        const char* name;
        PopoverSnapshot snapshot;
        PopoverHeader header;
        int maxHeight;
        PopoverCard card;
        bool habits;
    };
    const auto allCards = [](RestPhase phase) { return withCards(inPhase(phase), true, true, true, true); };
    for (const Case& c : {
             Case{"idle", inPhase(RestPhase::idle), PopoverHeader::normal, 420, PopoverCard::none, true},
             Case{"active", inPhase(RestPhase::active), PopoverHeader::normal, 420, PopoverCard::none, true},
             Case{"break taken", inPhase(RestPhase::breakTaken), PopoverHeader::normal, 420, PopoverCard::none, true},
             Case{"snoozed keeps the card, not the habits", allCards(RestPhase::snoozed), PopoverHeader::normal, 420,
                  PopoverCard::reminder, false},
             Case{"prompting", allCards(RestPhase::prompting), PopoverHeader::restPrompt, 250, PopoverCard::none,
                  false},
             Case{"resting", allCards(RestPhase::resting), PopoverHeader::nap, 250, PopoverCard::none, false},
             Case{"cool-down", coolingWhileActive, PopoverHeader::coolDown, 250, PopoverCard::none, false},
             Case{"cool-down before the prompt", coolingWhilePrompting, PopoverHeader::coolDown, 250,
                  PopoverCard::none, false},
         }) {
        SCOPED_TRACE(c.name);
        const PopoverLayout layout = popoverLayout(c.snapshot);
        EXPECT_EQ(layout.header, c.header);
        EXPECT_EQ(layout.scrollMaxHeight, c.maxHeight);
        EXPECT_EQ(layout.card, c.card);
        EXPECT_EQ(layout.showsHabitStrip, c.habits);
        EXPECT_EQ(layout.showsVitalsLink, c.habits);
    }
}

TEST(PopoverLayoutTest, OneCardByPrecedence) {
    struct Case {
        bool reminder, headsUp, evening, wrapped;
        PopoverCard card;
    };
    for (const Case& c : {
             Case{true, true, true, true, PopoverCard::reminder},
             Case{false, true, true, true, PopoverCard::headsUp},
             Case{false, false, true, true, PopoverCard::evening},
             Case{false, false, false, true, PopoverCard::wrapped},
             Case{false, false, false, false, PopoverCard::none},
             Case{true, false, false, false, PopoverCard::reminder},
         }) {
        SCOPED_TRACE(testing::Message() << c.reminder << c.headsUp << c.evening << c.wrapped);
        EXPECT_EQ(popoverLayout(withCards(inPhase(RestPhase::active), c.reminder, c.headsUp, c.evening, c.wrapped)).card,
                  c.card);
    }
}

TEST(PopoverLayoutTest, NotesShowInTheRestFlowToo) {
    for (const RestPhase phase : {RestPhase::idle, RestPhase::prompting, RestPhase::resting}) {
        PopoverSnapshot s = inPhase(phase);
        EXPECT_FALSE(popoverLayout(s).showsSuppressionNote || popoverLayout(s).showsSamplingNote ||
                     popoverLayout(s).showsDebugReadout || popoverLayout(s).showsForcedNote);
        s.hasSuppressionNote = true;
        s.samplingFailed = true;
        s.showsDebug = true;
        s.isForced = true;
        const PopoverLayout layout = popoverLayout(s);
        EXPECT_TRUE(layout.showsSuppressionNote);
        EXPECT_TRUE(layout.showsSamplingNote);
        EXPECT_TRUE(layout.showsDebugReadout);
        EXPECT_TRUE(layout.showsForcedNote);
    }
}

TEST(PopoverLayoutTest, TitleAfterABreakIgnoresTheLine) {
    EXPECT_EQ(popoverTitle(RestPhase::breakTaken, "Toasty."), "All rested. Come back whenever 😌");
    for (const RestPhase phase : {RestPhase::idle, RestPhase::active, RestPhase::snoozed}) {
        EXPECT_EQ(popoverTitle(phase, "Toasty."), "Toasty.");
    }
}

TEST(PopoverLayoutTest, VitalsLinkText) {
    const Calendar calendar("Europe/Berlin");
    const Date now = calendar.date(2026, 3, 5, 9, 0, 0);
    EXPECT_EQ(vitalsLinkText({}, now, calendar), "What changed…");

    const std::vector<FolderGrowth> grown{
        FolderGrowth("downloads", 1'000'000'000, 2'500'000'000, "2026-03-04", std::nullopt),
        FolderGrowth("desktop", 0, 9'000'000'000, "2026-03-01", std::nullopt)};
    EXPECT_EQ(vitalsLinkText(grown, now, calendar), "Downloads +1.5 GB since yesterday") << "the first folder only";

    // A folder that shrank is a negative change, never a wrapped unsigned difference.
    const std::vector<FolderGrowth> shrunk{
        FolderGrowth("documents", 3'000'000'000, 2'000'000'000, "2026-03-04", now - 10 * 3600)};
    EXPECT_EQ(vitalsLinkText(shrunk, now, calendar), "Documents \u22121.0 GB since last night");
}

TEST(PopoverLayoutTest, PupilsFollowThePointerAcrossThePea) {
    struct Case {
        double x, width, pupil;
    };
    for (const Case& c : {
             Case{0, 64, -0.8},     // clamped from -1.2
             Case{32, 64, 0},
             Case{64, 64, 0.8},
             Case{16, 64, -0.6},
             Case{48, 64, 0.6},
             Case{-20, 64, -0.8},   // reported just outside
             Case{0.5, 0, 0},       // no width yet: measured against one point
         }) {
        SCOPED_TRACE(testing::Message() << c.x << " of " << c.width);
        EXPECT_NEAR(CursorPeaView::pupilFor(c.x, c.width), c.pupil, 1e-9);
    }
}

} // namespace
} // namespace halvrick
