#include "core/EndOfDayRitual.h"

#include "core/StatsLedger.h"

#include <cmath>

namespace halvrick::EndOfDayRitualPolicy {

namespace {

bool isMinuteOfDay(std::int64_t minuteOfDay) {
    return minuteOfDay >= 0 && minuteOfDay <= 1439;
}

} // namespace

std::optional<Date> windowStart(std::int64_t minuteOfDay, Date now, const Calendar& calendar) {
    if (!isMinuteOfDay(minuteOfDay) || !std::isfinite(now.timeIntervalSince1970())) {
        return std::nullopt;
    }
    const Date todayStart = calendar.startOfDay(now);
    // Yesterday's window first: one opening late in the evening runs past midnight.
    for (const int offset : {-1, 0}) {
        const DateComponents day = calendar.components(calendar.addingDays(offset, todayStart));
        // Local wall-clock arithmetic: minutes counted from midnight would open the window an hour off on
        // the days the clocks change.
        const Date start = calendar.date(day.year, day.month, day.day, 0, static_cast<int>(minuteOfDay));
        const Date end = calendar.addingMinutes(static_cast<int>(windowMinutes), start);
        if (start <= now && now < end) {
            return start;
        }
    }
    return std::nullopt;
}

bool shouldFire(std::int64_t minuteOfDay, Date now, const std::optional<std::string>& lastFiredDay,
                const std::optional<QuietHours>& quietHours, const Calendar& calendar) {
    if (!isMinuteOfDay(minuteOfDay) || !std::isfinite(now.timeIntervalSince1970())) {
        return false;
    }
    if (quietHours && quietHours->contains(now, calendar)) {
        return false;
    }
    const auto start = windowStart(minuteOfDay, now, calendar);
    if (!start) {
        return false;
    }
    return lastFiredDay != StatsLedger::dayKey(*start, calendar);
}

} // namespace halvrick::EndOfDayRitualPolicy
