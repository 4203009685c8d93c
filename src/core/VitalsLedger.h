#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "core/FolderGrowth.h"
#include "core/JsonCoding.h"
#include "core/MachineVitals.h"
#include "core/VitalsDay.h"
#include "core/VitalsEvent.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace halvrick {

// The vitals history: one record per calendar day, compact snapshots for comparing now with earlier,
// and a capped log of events. A plain value: dates and the calendar are always passed in.
struct VitalsLedger {
    static constexpr std::size_t appLimitPerDay = 10;
    static constexpr std::size_t eventLimit = 200;

    // Keyed by day key "YYYY-MM-DD".
    std::map<std::string, VitalsDay> days;
    // Oldest first.
    std::vector<VitalsSnapshot> snapshots;
    // Oldest first, at most eventLimit.
    std::vector<VitalsEvent> events;

    void reset();

    // Folds one sample and the current per-application memory into the sample's day; returns its day key.
    // `interval` (seconds since the previous sample) counts towards pressure time only when 0 < interval
    // < 60.
    std::string record(const MachineVitals& vitals, const std::vector<AppMemory>& apps, double interval,
                       const Calendar& calendar);
    // Adds the sample's snapshot in date order unless one is less than `every` seconds older or newer.
    bool addSnapshot(const MachineVitals& vitals, double every);
    // A repeat of the newest event's case within an hour only moves that event's date; a new event gets an id
    // drawn from `random` (0..n-1).
    void recordEvent(const VitalsEventKind& kind, Date at,
                     const std::function<std::size_t(std::size_t n)>& random);
    void recordFolderSizes(const std::map<std::string, std::uint64_t>& sizes, Date at,
                           const Calendar& calendar);
    // Keeps `keepingDays` calendar days of records (today included) and snapshots from the start of the day
    // `snapshotDays` days before today.
    void prune(int keepingDays, int snapshotDays, Date today, const Calendar& calendar);

    std::optional<VitalsDay> day(Date date, const Calendar& calendar) const;
    // The closest snapshot at most `within` seconds away; the older one on a tie.
    std::optional<VitalsSnapshot> snapshot(Date near, double within) const;
    std::optional<VitalsSnapshot> firstSnapshot(Date on, const Calendar& calendar) const;
    // Newest first.
    std::vector<VitalsEvent> recentEvents() const;
    // Largest peak first, ties by name.
    std::vector<AppMemoryPeak> appPeaks(Date on, const Calendar& calendar) const;
    // Each folder measured on the date's day against the most recent earlier day that measured it; largest
    // change first, ties by folder key.
    std::vector<FolderGrowth> folderComparisons(Date on, const Calendar& calendar) const;
    // A negative limit gives nothing.
    std::vector<FolderGrowth> folderGrowth(Date on, std::uint64_t minimumDelta, int limit,
                                           const Calendar& calendar) const;
    std::vector<FolderTrend> folderTrends(int dayCount, Date now, const Calendar& calendar) const;
    bool hasFolderSizes(Date on, const Calendar& calendar) const;
    bool hasEarlierFolderSizes(Date before, const Calendar& calendar) const;
    std::optional<Date> folderMeasurementDate(Date on, const Calendar& calendar) const;
    std::optional<Date> lastFolderMeasurementDate() const;

    // Makes every figure of the days and snapshots one the ledger can use: pressure time within a day's
    // length (a negative one counts as 0), byte counts at most the largest signed 64-bit number. Returns
    // how many figures it changed.
    std::size_t mendFigures();

    json::Json toJson() const;
    // "days", "snapshots" and "events" are all required.
    static VitalsLedger fromJson(const json::Json& value);

    friend bool operator==(const VitalsLedger&, const VitalsLedger&) = default;
};

} // namespace halvrick
