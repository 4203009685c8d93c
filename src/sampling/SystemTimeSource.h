#pragma once

#include "core/Calendar.h"
#include "core/RestSources.h"

#include <functional>

namespace halvrick {

// The rest coach's clock: the system's wall time.
class SystemTimeSource : public TimeSource {
public:
    Date now() const override;

    // The user's calendar: the system time zone (UTC when it cannot be read) and the locale's first weekday,
    // looked up afresh at most once a minute.
    static Calendar currentCalendar();
};

// Seconds on a clock that never jumps and stands still during suspend: for ages and elapsed times only,
// never for anything stored or shown.
using MonotonicClock = std::function<double()>;
double monotonicSeconds();

} // namespace halvrick
