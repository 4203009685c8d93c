#pragma once

#include "core/HeatState.h"

#include <optional>
#include <string>
#include <vector>

namespace halvrick {

// One item of a menu as the user sees it: what it says, whether it can be chosen and whether it is
// ticked. Menus are lists of rows computed from the model, so the rules are plain functions and the
// widgets only follow them.
struct MenuRow {
    enum class Command {
        separator,
        // A submenu; its items are in `submenu`.
        debugMenu,
        openPopover,
        roast,
        history,
        vitals,
        coolDown,
        checkForUpdates,
        wrapped,
        settings,
        about,
        help,
        quit,
        clearForcedState,
        // Forces `state`.
        forceState,
        oneMinuteInterval,
        askForRestNow,
        runEveningCheckNow,
        seedSampleWeek,
        seedNearWinChallenge,
        seedFailedChallenge,
        clearChallenge,
        showTestHeadsUp,
        sampleWrapped,
        artworkLab,
        pretendSamplerBroken,
        clearIgnoredApps,
    };

    Command command = Command::separator;
    // UTF-8.
    std::string title;
    bool enabled = true;
    bool checkable = false;
    bool checked = false;
    // One of a run of adjacent rows of which exactly one is ticked.
    bool exclusive = false;
    std::optional<HeatState> state;
    std::vector<MenuRow> submenu;

    static MenuRow separator() { return MenuRow{}; }
    static MenuRow item(Command command, std::string title, bool enabled = true) {
        MenuRow row;
        row.command = command;
        row.title = std::move(title);
        row.enabled = enabled;
        return row;
    }
    static MenuRow toggle(Command command, std::string title, bool checked) {
        MenuRow row = item(command, std::move(title));
        row.checkable = true;
        row.checked = checked;
        return row;
    }

    friend bool operator==(const MenuRow&, const MenuRow&) = default;
};

} // namespace halvrick
