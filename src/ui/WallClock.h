#pragma once

#include "core/Calendar.h"
#include "core/Date.h"

#include <functional>

namespace halvrick {

// Where views read the date and the user's calendar for what they show; tests fix both.
struct WallClock {
    std::function<Date()> now;
    std::function<Calendar()> calendar;

    // The system's wall time and the user's time zone and first weekday.
    static WallClock system();
};

} // namespace halvrick
