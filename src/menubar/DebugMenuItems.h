#pragma once

#include "menubar/MenuRow.h"
#include "menubar/MenuSnapshot.h"

#include <functional>
#include <optional>
#include <vector>

namespace halvrick {

class AppModel;

// The developer's controls: force a heat state, shorten the rest interval, prompt a break, run the
// evening check, seed sample days and challenges, and more, so every state of the pea can be reached
// without waiting for it. The tray menu's Debug submenu and the popover's share these items. The seeders
// write into the real stats ledger, so a host offers the items only while debug is unlocked: they are not
// in its menu at all otherwise.
class DebugMenuItems {
public:
    // The tray menu's items open the popover after the seeders and the evening check and end with two
    // window items; the popover's list has the sampler switch instead (its host appends the windows).
    enum class Host { statusItem, popover };

    static constexpr double oneMinute = 60;

    // `showPopover` opens the popover after the tray menu's seeders and evening check.
    DebugMenuItems(AppModel& model, Host host, std::function<void()> showPopover);

    static std::vector<MenuRow> rows(const MenuSnapshot& snapshot, Host host);

    // Carries out an item's command. False for any other command, the window items included: those are
    // the host's.
    bool perform(const MenuRow& row) const;

private:
    void showPopover() const;

    AppModel& model_;
    Host host_;
    std::function<void()> showPopover_;
};

} // namespace halvrick
