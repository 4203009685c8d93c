#include "core/SweatCalendar.h"

#include "core/StatsLedger.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace halvrick::SweatCalendar {

namespace {

// Rows by day key; the first row wins on a duplicate.
std::unordered_map<std::string, const DailyTotals*> byKey(const std::vector<DailyTotals>& days) {
    std::unordered_map<std::string, const DailyTotals*> index;
    for (const DailyTotals& row : days) {
        index.try_emplace(row.day, &row);
    }
    return index;
}

} // namespace

std::vector<CalendarWeek> weeks(const std::vector<DailyTotals>& days, Date endingAt,
                                const Calendar& calendar) {
    const Date end = calendar.startOfDay(endingAt);
    const Date rangeStart = calendar.addingDays(-364, end);
    const auto index = byKey(days);
    const int weekday = calendar.weekday(rangeStart);

    std::vector<CalendarWeek> result;
    for (Date rowStart = calendar.addingDays(-(weekday - 1), rangeStart); rowStart <= end;
         rowStart = calendar.addingDays(7, rowStart)) {
        std::array<std::optional<DailyTotals>, 7> cells;
        for (int i = 0; i < 7; ++i) {
            const Date date = calendar.addingDays(i, rowStart);
            if (date < rangeStart || date > end) {
                continue;
            }
            const std::string key = StatsLedger::dayKey(date, calendar);
            const auto it = index.find(key);
            cells[static_cast<std::size_t>(i)] =
                it != index.end() ? *it->second : DailyTotals(key, date, 0, 0, 0, 0, 0, 0);
        }
        result.emplace_back(rowStart, std::move(cells));
    }
    return result;
}

std::int64_t restStreak(const std::vector<DailyTotals>& days, Date endingAt, const Calendar& calendar) {
    const auto index = byKey(days);
    const auto breaksOn = [&](Date date) -> std::int64_t {
        const auto it = index.find(StatsLedger::dayKey(date, calendar));
        return it == index.end() ? 0 : it->second->breaksTaken;
    };
    Date cursor = calendar.startOfDay(endingAt);
    // A day without a break yet does not end a streak that ran up to yesterday.
    if (breaksOn(cursor) == 0) {
        cursor = calendar.addingDays(-1, cursor);
    }
    std::int64_t count = 0;
    while (breaksOn(cursor) >= 1) {
        count += 1;
        cursor = calendar.addingDays(-1, cursor);
    }
    return count;
}

std::optional<DailyTotals> worstDay(const std::vector<DailyTotals>& days) {
    const DailyTotals* worst = nullptr;
    for (const DailyTotals& row : days) {
        if (row.heatSeconds() > 0 && (worst == nullptr || row.heatSeconds() > worst->heatSeconds())) {
            worst = &row;
        }
    }
    return worst ? std::optional<DailyTotals>(*worst) : std::nullopt;
}

std::int64_t daysWithBreak(const std::vector<DailyTotals>& days) {
    return std::count_if(days.begin(), days.end(),
                         [](const DailyTotals& row) { return row.breaksTaken > 0; });
}

} // namespace halvrick::SweatCalendar
