#include "menubar/DebugMenuItems.h"

#include "MenuTestSupport.h"
#include "model/ChallengeStore.h"

#include <functional>

namespace halvrick::menutest {
namespace {

using Command = MenuRow::Command;
using Host = DebugMenuItems::Host;

TEST(DebugMenuItemsRowsTest, EachHostListsItsItemsInOrder) {
    const std::vector<std::string> shared{
        "Automatic (real load)",
        "Force Chill",
        "Force Warm",
        "Force Sweating",
        "Force Meltdown",
        "—",
        "Rest interval: 1 minute",
        "Ask for a rest now",
        "—",
        "Run the evening check now",
        "Seed a sample week",
        "Seed a challenge (day 7, 4 met)",
        "Seed a failed challenge (day 5)",
        "Clear the active challenge",
        "—",
        "Show a test heads-up",
    };
    std::vector<std::string> tray = shared;
    tray.insert(tray.end(), {"Wrapped with sample data", "Artwork Lab", "Clear ignored apps"});
    std::vector<std::string> popover = shared;
    popover.insert(popover.end(), {"Pretend the sampler is broken", "Clear ignored apps"});

    EXPECT_EQ(titles(DebugMenuItems::rows({}, Host::statusItem)), tray);
    EXPECT_EQ(titles(DebugMenuItems::rows({}, Host::popover)), popover);
    for (const MenuRow& r : DebugMenuItems::rows({}, Host::statusItem)) {
        EXPECT_EQ(r.exclusive, r.command == Command::clearForcedState || r.command == Command::forceState)
            << r.title;
    }
}

TEST(DebugMenuItemsRowsTest, TicksAndEnabledStatesFollowTheSnapshot) {
    struct Case {
        const char* name;
        std::function<void(MenuSnapshot&)> change;
        // Titles that are ticked; every other toggle is not.
        std::vector<std::string> ticked;
        bool clearChallengeEnabled;
        bool clearIgnoredEnabled;
    };
    const Case cases[] = {
        {"nothing forced or set", [](MenuSnapshot&) {}, {"Automatic (real load)"}, false, false},
        {"meltdown forced",
         [](MenuSnapshot& s) { s.forcedState = HeatState::meltdown; },
         {"Force Meltdown"},
         false,
         false},
        {"chill forced is not automatic",
         [](MenuSnapshot& s) { s.forcedState = HeatState::chill; },
         {"Force Chill"},
         false,
         false},
        {"one-minute interval",
         [](MenuSnapshot& s) { s.debugRestInterval = 60; },
         {"Automatic (real load)", "Rest interval: 1 minute"},
         false,
         false},
        {"another interval from the environment",
         [](MenuSnapshot& s) { s.debugRestInterval = 120; },
         {"Automatic (real load)"},
         false,
         false},
        {"almost a minute",
         [](MenuSnapshot& s) { s.debugRestInterval = 59.5; },
         {"Automatic (real load)"},
         false,
         false},
        {"a challenge runs",
         [](MenuSnapshot& s) { s.activeChallenge = true; },
         {"Automatic (real load)"},
         true,
         false},
        {"apps ignored",
         [](MenuSnapshot& s) { s.ignoredApps = true; },
         {"Automatic (real load)"},
         false,
         true},
        {"sampler pretending",
         [](MenuSnapshot& s) { s.simulatingSamplerFailure = true; },
         {"Automatic (real load)", "Pretend the sampler is broken"},
         false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MenuSnapshot snapshot;
        c.change(snapshot);
        for (const Host host : {Host::statusItem, Host::popover}) {
            const std::vector<MenuRow> rows = DebugMenuItems::rows(snapshot, host);
            std::vector<std::string> ticked;
            for (const MenuRow& r : rows) {
                if (r.checked) {
                    EXPECT_TRUE(r.checkable) << r.title;
                    ticked.push_back(r.title);
                }
            }
            std::vector<std::string> expected = c.ticked;
            if (host == Host::statusItem) {
                std::erase(expected, "Pretend the sampler is broken");
            }
            EXPECT_EQ(ticked, expected);
            EXPECT_EQ(row(rows, "Clear the active challenge").enabled, c.clearChallengeEnabled);
            EXPECT_EQ(row(rows, "Clear ignored apps").enabled, c.clearIgnoredEnabled);
            EXPECT_TRUE(row(rows, "Seed a sample week").enabled);
        }
    }
}

class DebugMenuItemsTest : public MenuTest {
protected:
    DebugMenuItems items(Host host) {
        return DebugMenuItems(*model, host, [this] { ++popoversShown; });
    }

    void choose(Host host, Command command, std::optional<HeatState> state = std::nullopt) {
        for (const MenuRow& r : DebugMenuItems::rows(MenuSnapshot::of(*model), host)) {
            if (r.command == command && r.state == state) {
                EXPECT_TRUE(items(host).perform(r));
                return;
            }
        }
        ADD_FAILURE() << "no such item";
    }

    int popoversShown = 0;
};

TEST_F(DebugMenuItemsTest, ForcingAStateAndGoingBackToTheRealLoad) {
    choose(Host::popover, Command::forceState, HeatState::meltdown);
    EXPECT_EQ(model->forcedState(), HeatState::meltdown);
    EXPECT_EQ(model->state(), HeatState::meltdown);
    EXPECT_TRUE(row(DebugMenuItems::rows(MenuSnapshot::of(*model), Host::popover), "Force Meltdown").checked);

    choose(Host::statusItem, Command::clearForcedState);
    EXPECT_EQ(model->forcedState(), std::nullopt);
    EXPECT_EQ(model->state(), HeatState::chill) << "the real load is idle";
    EXPECT_EQ(popoversShown, 0);
}

TEST_F(DebugMenuItemsTest, TheOneMinuteIntervalTogglesTheOverride) {
    struct Case {
        const char* minutes;
        bool ticked;
        std::optional<double> after;
    };
    // Set from the environment: only exactly one minute counts as on, and toggling it off clears it.
    const Case cases[] = {{nullptr, false, 60}, {"2", false, 60}, {"1", true, std::nullopt}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.minutes ? c.minutes : "unset");
        world.environment.clear();
        if (c.minutes) {
            world.environment["HALVRICK_REST_MINUTES"] = c.minutes;
        }
        remakeModel();
        EXPECT_EQ(
            row(DebugMenuItems::rows(MenuSnapshot::of(*model), Host::statusItem), "Rest interval: 1 minute")
                .checked,
            c.ticked);
        choose(Host::statusItem, Command::oneMinuteInterval);
        EXPECT_EQ(model->debugRestInterval(), c.after);
        EXPECT_EQ(model->coach().config().restInterval, c.after.value_or(3600)) << "applied at once";
    }
}

TEST_F(DebugMenuItemsTest, AskingForARestPromptsUnlessABreakRuns) {
    ASSERT_EQ(model->restPhase(), RestPhase::idle);
    choose(Host::popover, Command::askForRestNow);
    EXPECT_EQ(model->restPhase(), RestPhase::prompting);

    model->handleRestEvents(model->coach().acceptRest(), false);
    ASSERT_EQ(model->restPhase(), RestPhase::resting);
    choose(Host::popover, Command::askForRestNow);
    EXPECT_EQ(model->restPhase(), RestPhase::resting);
}

TEST_F(DebugMenuItemsTest, TheTrayItemsOpenThePopoverAfterSeedingAndTheEveningCheck) {
    const auto days = [this] {
        return model->stats().ledger().allDailyTotals(world.now, world.calendar).size();
    };
    choose(Host::popover, Command::seedSampleWeek);
    EXPECT_GE(days(), 7U);
    EXPECT_FALSE(model->eveningSummary()) << "the popover's item only seeds";
    EXPECT_EQ(popoversShown, 0);

    choose(Host::statusItem, Command::seedSampleWeek);
    EXPECT_TRUE(model->eveningSummary()) << "the tray's item runs the evening check as well";
    EXPECT_EQ(popoversShown, 1);

    model->dismissEvening();
    choose(Host::popover, Command::runEveningCheckNow);
    EXPECT_TRUE(model->eveningSummary());
    EXPECT_EQ(popoversShown, 1);
    choose(Host::statusItem, Command::runEveningCheckNow);
    EXPECT_EQ(popoversShown, 2);
}

TEST_F(DebugMenuItemsTest, SeedingAndClearingAChallenge) {
    // Day 5 with no day met can no longer be won: it ends at once with a result. (Seeded days add up, so
    // this one goes first.)
    choose(Host::popover, Command::seedFailedChallenge);
    EXPECT_FALSE(model->activeChallenge());
    ASSERT_TRUE(model->challengeResult());
    EXPECT_EQ(popoversShown, 0);

    choose(Host::statusItem, Command::seedNearWinChallenge);
    ASSERT_TRUE(model->activeChallenge());
    EXPECT_FALSE(model->challengeResult());
    EXPECT_EQ(popoversShown, 1);
    EXPECT_TRUE(
        row(DebugMenuItems::rows(MenuSnapshot::of(*model), Host::popover), "Clear the active challenge")
            .enabled);

    model->challenges().setLastResult(ChallengeResult(ChallengeKind::coolHead, "2026-02-01", "2026-02-07", 5,
                                                      ChallengeResult::Outcome::completed));
    model->challenges().save();
    choose(Host::popover, Command::clearChallenge);
    EXPECT_FALSE(model->activeChallenge());
    EXPECT_FALSE(model->challengeResult());
    const ChallengeStore reloaded(*world.defaults);
    EXPECT_FALSE(reloaded.active()) << "the cleared challenge is saved";
    EXPECT_FALSE(reloaded.lastResult()) << "the stored result goes too";
}

TEST_F(DebugMenuItemsTest, SwitchesAndClearing) {
    choose(Host::popover, Command::showTestHeadsUp);
    EXPECT_TRUE(model->headsUpMessage());

    choose(Host::popover, Command::pretendSamplerBroken);
    EXPECT_TRUE(model->simulatingSamplerFailure());
    EXPECT_TRUE(model->samplingFailed());
    choose(Host::popover, Command::pretendSamplerBroken);
    EXPECT_FALSE(model->samplingFailed());

    model->blame().setIgnoredNames({{fakes::app("Browser").id, "Browser"}});
    model->blame().saveIgnored();
    choose(Host::statusItem, Command::clearIgnoredApps);
    EXPECT_TRUE(model->blame().ignoredNames().empty());
    EXPECT_EQ(world.defaults->getStringMap("ignoredAppNames"), (std::map<std::string, std::string>{}));

    // Window items belong to the host.
    EXPECT_FALSE(items(Host::statusItem).perform(MenuRow::item(Command::artworkLab, "Artwork Lab")));
}

} // namespace
} // namespace halvrick::menutest
