#include "menubar/DebugMenuItems.h"

#include "model/AppModel.h"

#include <array>

namespace halvrick {

namespace {

using Command = MenuRow::Command;

constexpr std::array<const char*, 4> heatTitles{"Chill", "Warm", "Sweating", "Meltdown"};

} // namespace

DebugMenuItems::DebugMenuItems(AppModel& model, Host host, std::function<void()> showPopover)
    : model_(model), host_(host), showPopover_(std::move(showPopover)) {}

std::vector<MenuRow> DebugMenuItems::rows(const MenuSnapshot& snapshot, Host host) {
    std::vector<MenuRow> rows;
    MenuRow automatic =
        MenuRow::toggle(Command::clearForcedState, "Automatic (real load)", !snapshot.forcedState);
    automatic.exclusive = true;
    rows.push_back(automatic);
    for (const HeatState state : allHeatStates) {
        MenuRow force =
            MenuRow::toggle(Command::forceState, std::string("Force ") + heatTitles[rawValue(state)],
                            snapshot.forcedState == state);
        force.exclusive = true;
        force.state = state;
        rows.push_back(force);
    }
    rows.push_back(MenuRow::separator());
    rows.push_back(MenuRow::toggle(Command::oneMinuteInterval, "Rest interval: 1 minute",
                                   snapshot.debugRestInterval == oneMinute));
    rows.push_back(MenuRow::item(Command::askForRestNow, "Ask for a rest now"));
    rows.push_back(MenuRow::separator());
    rows.push_back(MenuRow::item(Command::runEveningCheckNow, "Run the evening check now"));
    rows.push_back(MenuRow::item(Command::seedSampleWeek, "Seed a sample week"));
    rows.push_back(MenuRow::item(Command::seedNearWinChallenge, "Seed a challenge (day 7, 4 met)"));
    rows.push_back(MenuRow::item(Command::seedFailedChallenge, "Seed a failed challenge (day 5)"));
    rows.push_back(
        MenuRow::item(Command::clearChallenge, "Clear the active challenge", snapshot.activeChallenge));
    rows.push_back(MenuRow::separator());
    rows.push_back(MenuRow::item(Command::showTestHeadsUp, "Show a test heads-up"));
    if (host == Host::statusItem) {
        rows.push_back(MenuRow::item(Command::sampleWrapped, "Wrapped with sample data"));
        rows.push_back(MenuRow::item(Command::artworkLab, "Artwork Lab"));
    } else {
        rows.push_back(MenuRow::toggle(Command::pretendSamplerBroken, "Pretend the sampler is broken",
                                       snapshot.simulatingSamplerFailure));
    }
    rows.push_back(MenuRow::item(Command::clearIgnoredApps, "Clear ignored apps", snapshot.ignoredApps));
    return rows;
}

bool DebugMenuItems::perform(const MenuRow& row) const {
    const bool fromTray = host_ == Host::statusItem;
    switch (row.command) {
    case Command::clearForcedState:
        model_.setForcedState(std::nullopt);
        return true;
    case Command::forceState:
        model_.setForcedState(row.state);
        return true;
    case Command::oneMinuteInterval: {
        // Flips what the model holds, whatever tick the menu showed.
        const bool on = model_.debugRestInterval() == oneMinute;
        model_.setDebugRestInterval(on ? std::nullopt : std::optional<double>(oneMinute));
        model_.applySettings();
        return true;
    }
    case Command::askForRestNow:
        model_.handleRestEvents(model_.coach().promptNow(), true);
        return true;
    case Command::runEveningCheckNow:
        model_.runEveningCheckNow();
        if (fromTray) {
            showPopover();
        }
        return true;
    case Command::seedSampleWeek:
        model_.seedSampleWeek();
        if (fromTray) {
            model_.runEveningCheckNow();
            showPopover();
        }
        return true;
    case Command::seedNearWinChallenge:
        model_.seedChallengeForDebug(6, 4);
        if (fromTray) {
            showPopover();
        }
        return true;
    case Command::seedFailedChallenge:
        model_.seedChallengeForDebug(4, 0);
        if (fromTray) {
            showPopover();
        }
        return true;
    case Command::clearChallenge:
        model_.challenges().setActive(std::nullopt);
        model_.challenges().setLastResult(std::nullopt);
        model_.challenges().save();
        model_.syncChallengeStore();
        return true;
    case Command::showTestHeadsUp:
        model_.showTestHeadsUp();
        return true;
    case Command::pretendSamplerBroken:
        model_.setSimulatingSamplerFailure(!model_.simulatingSamplerFailure());
        return true;
    case Command::clearIgnoredApps:
        model_.blame().setIgnoredNames({});
        model_.blame().saveIgnored();
        model_.blame().refresh();
        return true;
    default:
        return false;
    }
}

void DebugMenuItems::showPopover() const {
    if (showPopover_) {
        showPopover_();
    }
}

} // namespace halvrick
