#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "core/QuietHours.h"

#include <cstdint>
#include <optional>
#include <string>

namespace halvrick {

// When the evening check-in fires: once per evening, at the first check inside a window that opens at the
// user's chosen time of day, outside quiet hours.
namespace EndOfDayRitualPolicy {

inline constexpr std::int64_t windowMinutes = 90;
// 18:30, used when the user has chosen no time.
inline constexpr std::int64_t defaultMinuteOfDay = 1110;

// The start of the window holding `now`, or nothing. The window opens at the local wall-clock time
// minuteOfDay (0...1439; anything else gives no window), also on a daylight-saving change day, and lasts 90
// minutes; one that opened yesterday evening may still hold a time after midnight.
std::optional<Date> windowStart(std::int64_t minuteOfDay, Date now, const Calendar& calendar);

// Whether the ritual fires now: inside a window, outside quiet hours, and not yet fired for the window's
// day (the day the window opened). lastFiredDay is that day key from the last firing; quietHours is absent
// when quiet hours are off.
bool shouldFire(std::int64_t minuteOfDay, Date now, const std::optional<std::string>& lastFiredDay,
                const std::optional<QuietHours>& quietHours, const Calendar& calendar);

} // namespace EndOfDayRitualPolicy

} // namespace halvrick
