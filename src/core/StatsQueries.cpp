#include "core/StatsLedger.h"

#include <algorithm>
#include <unordered_map>

namespace halvrick {

namespace {

DailyTotals totalsOf(const std::string& key, Date date, const DailyStats* day) {
    if (day == nullptr) {
        return DailyTotals(key, date, 0, 0, 0, 0, 0, 0);
    }
    return DailyTotals(key, date, day->sweatingSeconds, day->meltdownSeconds, day->activeSeconds,
                       day->promptsShown, day->breaksTaken, day->longestStretchSeconds);
}

// The dates of the last n calendar days up to the day of `end`, oldest first.
std::vector<Date> period(int n, Date end, const Calendar& calendar) {
    std::vector<Date> dates;
    if (n < 1) {
        return dates;
    }
    const Date start = calendar.startOfDay(end);
    dates.reserve(static_cast<std::size_t>(n));
    for (int k = 1 - n; k <= 0; ++k) {
        dates.push_back(calendar.addingDays(k, start));
    }
    return dates;
}

StatsTotals aggregate(const std::vector<const DailyStats*>& entries, const Calendar& calendar) {
    StatsTotals totals;
    totals.dayCount = static_cast<std::int64_t>(entries.size());
    if (entries.empty()) {
        return totals;
    }
    totals.firstDay = StatsLedger::dateForDay(entries.front()->day, calendar);
    totals.lastDay = StatsLedger::dateForDay(entries.back()->day, calendar);

    std::vector<StatsTotals::Culprit> culprits;
    std::unordered_map<std::string, std::size_t> index;
    for (const DailyStats* day : entries) {
        totals.sweatingSeconds += day->sweatingSeconds;
        totals.meltdownSeconds += day->meltdownSeconds;
        totals.activeSeconds += day->activeSeconds;
        totals.promptsShown += day->promptsShown;
        totals.breaksTaken += day->breaksTaken;
        if (totals.longestStretchSeconds <= day->longestStretchSeconds) {
            totals.longestStretchSeconds = day->longestStretchSeconds;
        }
        for (const auto& [id, app] : day->apps) {
            if (app.isSystem || !(app.sweatSeconds > 0)) {
                continue;
            }
            const auto [it, isNew] = index.try_emplace(id, culprits.size());
            if (isNew) {
                culprits.push_back({id, app.name, 0});
            }
            culprits[it->second].sweatSeconds += app.sweatSeconds;
        }
    }
    std::stable_sort(culprits.begin(), culprits.end(),
                     [](const StatsTotals::Culprit& a, const StatsTotals::Culprit& b) {
                         if (a.sweatSeconds != b.sweatSeconds) {
                             return a.sweatSeconds > b.sweatSeconds;
                         }
                         return a.name < b.name;
                     });
    totals.culprits = std::move(culprits);
    return totals;
}

} // namespace

std::vector<DailyTotals> StatsLedger::dailyTotals(int forLast, Date endingAt,
                                                  const Calendar& calendar) const {
    std::vector<DailyTotals> rows;
    for (const Date date : period(forLast, endingAt, calendar)) {
        const std::string key = dayKey(date, calendar);
        const auto it = days.find(key);
        rows.push_back(totalsOf(key, date, it == days.end() ? nullptr : &it->second));
    }
    return rows;
}

std::vector<DailyTotals> StatsLedger::allDailyTotals(Date endingAt, const Calendar& calendar) const {
    const auto earliest = earliestDay();
    if (!earliest) {
        return {};
    }
    const auto first = dateForDay(*earliest, calendar);
    if (!first) {
        return {};
    }
    const int span = calendar.daysBetween(calendar.startOfDay(*first), calendar.startOfDay(endingAt));
    return dailyTotals(std::max(1, span + 1), endingAt, calendar);
}

StatsTotals StatsLedger::totals(int forLast, Date endingAt, const Calendar& calendar) const {
    std::vector<const DailyStats*> entries;
    for (const Date date : period(forLast, endingAt, calendar)) {
        const auto it = days.find(dayKey(date, calendar));
        if (it != days.end()) {
            entries.push_back(&it->second);
        }
    }
    return aggregate(entries, calendar);
}

StatsTotals StatsLedger::allTimeTotals(Date endingAt, const Calendar& calendar) const {
    std::vector<const DailyStats*> entries;
    const auto end = days.upper_bound(dayKey(endingAt, calendar));
    for (auto it = days.begin(); it != end; ++it) {
        entries.push_back(&it->second);
    }
    return aggregate(entries, calendar);
}

std::vector<BlameRecord> StatsLedger::blameHistory(int dayCount, Date endingAt, double minimumDaySweat,
                                                   const Calendar& calendar) const {
    const Date start = calendar.startOfDay(endingAt);
    std::vector<BlameRecord> records;
    std::unordered_map<std::string, std::size_t> index;
    for (int i = 0; i < dayCount; ++i) {
        const auto it = days.find(dayKey(calendar.addingDays(-i, start), calendar));
        if (it == days.end()) {
            continue;
        }
        std::vector<std::pair<std::string, const AppSweat*>> candidates;
        for (const auto& [id, app] : it->second.apps) {
            if (!app.isSystem && app.sweatSeconds > 0) {
                candidates.emplace_back(id, &app);
            }
        }
        if (candidates.empty()) {
            continue;
        }
        std::sort(candidates.begin(), candidates.end(), [](const auto& a, const auto& b) {
            if (a.second->sweatSeconds != b.second->sweatSeconds) {
                return a.second->sweatSeconds > b.second->sweatSeconds;
            }
            return a.first < b.first;
        });
        if (candidates.front().second->sweatSeconds < minimumDaySweat) {
            continue;
        }
        for (std::size_t c = 0; c < candidates.size(); ++c) {
            const auto& [id, app] = candidates[c];
            const auto [slot, isNew] = index.try_emplace(id, records.size());
            if (isNew) {
                records.emplace_back(id, app->name, 0, 0, 0);
            }
            BlameRecord& record = records[slot->second];
            record.sweatSeconds += app->sweatSeconds;
            if (c == 0) {
                record.topDays += 1;
            }
        }
    }
    for (BlameRecord& record : records) {
        record.days = std::max(dayCount, 0);
    }
    std::stable_sort(records.begin(), records.end(), [](const BlameRecord& a, const BlameRecord& b) {
        if (a.topDays != b.topDays) {
            return a.topDays > b.topDays;
        }
        if (a.sweatSeconds != b.sweatSeconds) {
            return a.sweatSeconds > b.sweatSeconds;
        }
        return a.name < b.name;
    });
    return records;
}

} // namespace halvrick
