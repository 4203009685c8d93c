#pragma once

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

    // Calls `action` when it is set.
    static void call(const std::function<void()>& action) {
        if (action) {
            action();
        }
    }
};

} // namespace halvrick
