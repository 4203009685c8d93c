#pragma once

#include "core/Calendar.h"

#include <functional>
#include <mutex>
#include <optional>

namespace halvrick {

// A calendar looked up again at most once per refreshInterval of a monotonic clock. Finding the system
// zone reads /etc/localtime, and the model asks for the calendar several times a second; a change of zone
// shows within a minute. Safe to call from any thread.
class CalendarCache {
public:
    static constexpr double refreshInterval = 60;

    CalendarCache(std::function<Calendar()> lookUp, std::function<double()> monotonicClock);

    Calendar current();

private:
    std::function<Calendar()> lookUp_;
    std::function<double()> monotonicClock_;
    std::mutex mutex_;
    std::optional<Calendar> calendar_;
    double lookedUpAt_ = 0;
};

} // namespace halvrick
