#include "sampling/CalendarCache.h"

namespace halvrick {

CalendarCache::CalendarCache(std::function<Calendar()> lookUp, std::function<double()> monotonicClock)
    : lookUp_(std::move(lookUp)), monotonicClock_(std::move(monotonicClock)) {}

Calendar CalendarCache::current() {
    const double now = monotonicClock_();
    const std::lock_guard lock(mutex_);
    // Written so that a clock that went back also looks the calendar up again.
    if (!calendar_ || !(now - lookedUpAt_ >= 0 && now - lookedUpAt_ < refreshInterval)) {
        calendar_ = lookUp_();
        lookedUpAt_ = now;
    }
    return *calendar_;
}

} // namespace halvrick
