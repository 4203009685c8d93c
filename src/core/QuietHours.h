#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "core/JsonCoding.h"

#include <cstdint>

namespace halvrick {

// A daily quiet period by minutes of the day; it wraps midnight when it ends before it starts.
struct QuietHours {
    // 0 = midnight, 1320 = 22:00.
    std::int64_t startMinute = 0;
    // Exclusive.
    std::int64_t endMinute = 0;

    // Equal start and end make an empty period, never a whole day. Seconds are ignored.
    bool contains(Date date, const Calendar& calendar) const;

    json::Json toJson() const;
    // Both keys are required integers; throws Error otherwise.
    static QuietHours fromJson(const json::Json& value);

    friend bool operator==(const QuietHours&, const QuietHours&) = default;
};

} // namespace halvrick
