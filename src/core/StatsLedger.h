#pragma once

#include "core/AppKey.h"
#include "core/Calendar.h"
#include "core/Date.h"
#include "core/HeatState.h"
#include "core/JsonCoding.h"
#include "core/StatsQueries.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace halvrick {

// What one application was responsible for on one day.
struct AppSweat {
    // The display name the application had when it was first credited that day.
    std::string name;
    bool isSystem = false;
    double sweatSeconds = 0;
    double cpuSeconds = 0;

    AppSweat() = default;
    AppSweat(std::string name, bool isSystem, double sweatSeconds, double cpuSeconds)
        : name(std::move(name)), isSystem(isSystem), sweatSeconds(sweatSeconds), cpuSeconds(cpuSeconds) {}

    friend bool operator==(const AppSweat&, const AppSweat&) = default;
};

// How one calendar day went.
struct DailyStats {
    std::string day;
    // Keyed by AppKey::id.
    std::map<std::string, AppSweat> apps;
    double sweatingSeconds = 0;
    double meltdownSeconds = 0;
    double activeSeconds = 0;
    double longestStretchSeconds = 0;
    std::int64_t promptsShown = 0;
    std::int64_t breaksTaken = 0;

    DailyStats() = default;
    explicit DailyStats(std::string day) : day(std::move(day)) {}

    friend bool operator==(const DailyStats&, const DailyStats&) = default;
};

// The per-day stats, keyed by day key. Every operation is handed its date and calendar.
class StatsLedger {
public:
    // The longest a calendar day lasts: 25 hours, on the day the clocks go back.
    static constexpr double longestDaySeconds = 25 * 3600;

    std::map<std::string, DailyStats> days;

    StatsLedger() = default;

    // "%04d-%02d-%02d" of the local date; the only producer of day keys.
    static std::string dayKey(Date date, const Calendar& calendar);
    // The start of the named day, or nothing unless the key holds exactly three integers.
    static std::optional<Date> dateForDay(std::string_view day, const Calendar& calendar);

    // Amounts that are not finite and greater than 0 are ignored and create no entry.
    void addCPU(double seconds, const AppKey& app, Date at, const Calendar& calendar);
    void addSweat(double seconds, const AppKey& app, Date at, const Calendar& calendar);
    void addHeat(double seconds, HeatState state, Date at, const Calendar& calendar);
    void addActive(double seconds, Date at, const Calendar& calendar);
    // These always create the day's entry.
    void recordStretch(double seconds, Date at, const Calendar& calendar);
    void recordPromptShown(Date at, const Calendar& calendar);
    void recordBreakTaken(Date at, const Calendar& calendar);

    // Keeps today, the keepingDays - 1 days before it and every later key.
    void prune(std::int64_t keepingDays, Date today, const Calendar& calendar);
    void reset() { days.clear(); }

    std::int64_t recordedDayCount() const { return static_cast<std::int64_t>(days.size()); }
    std::optional<std::string> earliestDay() const;
    std::optional<std::string> latestDay() const;

    // Queries; none changes the ledger.
    std::vector<DailyTotals> dailyTotals(int forLast, Date endingAt, const Calendar& calendar) const;
    std::vector<DailyTotals> allDailyTotals(Date endingAt, const Calendar& calendar) const;
    StatsTotals totals(int forLast, Date endingAt, const Calendar& calendar) const;
    StatsTotals allTimeTotals(Date endingAt, const Calendar& calendar) const;
    std::vector<BlameRecord> blameHistory(int dayCount, Date endingAt, double minimumDaySweat,
                                          const Calendar& calendar) const;

    // Makes every figure one that a day can hold: a negative one counts as 0, one beyond what fits in a
    // day as the most that does. Returns how many figures it changed. A decoded file may hold anything the
    // format allows; every reader then sees the same sane figures.
    std::size_t mendFigures();

    json::Json toJson() const;
    // Strict: any missing member or wrong type fails the whole document with Error.
    static StatsLedger fromJson(const json::Json& value);

    friend bool operator==(const StatsLedger& a, const StatsLedger& b) { return a.days == b.days; }

private:
    DailyStats& entry(Date at, const Calendar& calendar);
    AppSweat& app(DailyStats& day, const AppKey& key);
};

} // namespace halvrick
