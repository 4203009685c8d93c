#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "core/StatsQueries.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace halvrick {

// One row of the year heatmap: seven days from `start`; an absent cell lies outside the shown year.
struct CalendarWeek {
    Date start;
    std::array<std::optional<DailyTotals>, 7> days;

    CalendarWeek() = default;
    CalendarWeek(Date start, std::array<std::optional<DailyTotals>, 7> days)
        : start(start), days(std::move(days)) {}

    Date id() const { return start; }

    friend bool operator==(const CalendarWeek&, const CalendarWeek&) = default;
};

// The year heatmap of the history and the figures beside it.
namespace SweatCalendar {

// Week columns of a year's heatmap.
inline constexpr int weekCount = 53;

// The 365 days up to the day of endingAt as weeks, oldest first; rows begin on weekday 1 (Sunday).
std::vector<CalendarWeek> weeks(const std::vector<DailyTotals>& days, Date endingAt,
                                const Calendar& calendar);
// Consecutive days with a break, ending today, or yesterday while today has none yet.
std::int64_t restStreak(const std::vector<DailyTotals>& days, Date endingAt, const Calendar& calendar);
// The hottest day; the earliest in the list on a tie; nothing when no day had heat.
std::optional<DailyTotals> worstDay(const std::vector<DailyTotals>& days);
std::int64_t daysWithBreak(const std::vector<DailyTotals>& days);

} // namespace SweatCalendar

} // namespace halvrick
