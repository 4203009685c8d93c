#pragma once

#include "menubar/MenuRow.h"

#include <functional>

namespace halvrick {

// The closures through which the popover opens windows; the status item fills them. Any may be empty.
struct PopoverActions {
    std::function<void()> openSettings;
    std::function<void()> openWrapped;
    std::function<void()> openSampleWrapped;
    std::function<void()> openArtworkLab;
    std::function<void()> openHistory;
    std::function<void()> openVitals;
    std::function<void()> openRoast;

    // The window a menu row opens; null for a row that opens none.
    const std::function<void()>* window(MenuRow::Command command) const {
        switch (command) {
        case MenuRow::Command::roast:
            return &openRoast;
        case MenuRow::Command::history:
            return &openHistory;
        case MenuRow::Command::vitals:
            return &openVitals;
        case MenuRow::Command::wrapped:
            return &openWrapped;
        case MenuRow::Command::settings:
            return &openSettings;
        case MenuRow::Command::sampleWrapped:
            return &openSampleWrapped;
        case MenuRow::Command::artworkLab:
            return &openArtworkLab;
        default:
            return nullptr;
        }
    }
    // Menus leave out a row whose window the host does not have.
    bool offers(const MenuRow& row) const {
        const auto* action = window(row.command);
        return !action || *action;
    }

    // Calls `action` when it is set.
    static void call(const std::function<void()>& action) {
        if (action) {
            action();
        }
    }
};

} // namespace halvrick
