#include "core/VitalsLedger.h"

#include "core/StatsLedger.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>
#include <utility>

namespace halvrick {

namespace {

constexpr double pressureIntervalLimit = 60;
constexpr double coalescingSeconds = 3600;

std::string dayKey(Date date, const Calendar& calendar) { return StatsLedger::dayKey(date, calendar); }

// Byte counts are compared by their signed difference (a change since this morning, a folder's growth);
// beyond this the difference of two counts could take the wrong sign. Nothing holds that many bytes.
constexpr auto largestByteCount = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

void mend(std::uint64_t& bytes, std::size_t& changed) {
    if (bytes > largestByteCount) {
        bytes = largestByteCount;
        ++changed;
    }
}

void mend(std::optional<std::uint64_t>& bytes, std::size_t& changed) {
    if (bytes) {
        mend(*bytes, changed);
    }
}

// Time under pressure passes within the day it is booked on; a negative one counts as 0.
void mend(double& seconds, std::size_t& changed) {
    const double sane = seconds > 0 ? std::min(seconds, StatsLedger::longestDaySeconds) : 0;
    if (!(sane == seconds)) {
        seconds = sane;
        ++changed;
    }
}

std::uint64_t absoluteChange(std::uint64_t a, std::uint64_t b) {
    return a > b ? a - b : b - a;
}

const json::Json& requiredOfType(const json::Json& obj, std::string_view key, bool array) {
    const auto& value = json::member(obj, key);
    if (array ? !value.is_array() : !value.is_object()) {
        throw Error("\"" + std::string(key) + "\" must be " + (array ? "an array" : "an object"));
    }
    return value;
}

} // namespace

void VitalsLedger::reset() {
    *this = VitalsLedger();
}

std::string VitalsLedger::record(const MachineVitals& vitals, const std::vector<AppMemory>& apps,
                                 double interval, const Calendar& calendar) {
    std::string key = dayKey(vitals.date, calendar);
    auto found = days.find(key);
    VitalsDay d = found != days.end() ? found->second : VitalsDay(key);

    d.peakMemoryUsed = std::max(d.peakMemoryUsed, vitals.memoryUsed);
    d.peakSwapUsed = std::max(d.peakSwapUsed, vitals.swapUsed);
    if (vitals.storageTotal != 0) {
        if (!d.minStorageFree || vitals.storageFree < *d.minStorageFree) {
            d.minStorageFree = vitals.storageFree;
        }
        if (!d.maxStorageFree || vitals.storageFree > *d.maxStorageFree) {
            d.maxStorageFree = vitals.storageFree;
        }
    }
    // A long gap (sleep, a stalled timer) says nothing about the pressure in between.
    if (interval > 0 && interval < pressureIntervalLimit) {
        if (vitals.pressure == MemoryPressure::warning) {
            d.warningSeconds += interval;
        } else if (vitals.pressure == MemoryPressure::critical) {
            d.criticalSeconds += interval;
        }
    }
    for (const AppMemory& app : apps) {
        if (app.bytes == 0) {
            continue;
        }
        const auto existing = d.apps.find(app.id);
        const std::uint64_t peak = existing != d.apps.end() ? existing->second.peakBytes : 0;
        d.apps.insert_or_assign(
            app.id, AppMemoryPeak(app.id, app.name, std::max(app.bytes, peak), app.bytes, vitals.date));
    }
    if (d.apps.size() > appLimitPerDay) {
        std::vector<std::pair<std::string, AppMemoryPeak>> ordered(d.apps.begin(), d.apps.end());
        std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) {
            if (a.second.peakBytes != b.second.peakBytes) {
                return a.second.peakBytes > b.second.peakBytes;
            }
            return a.first < b.first;
        });
        ordered.resize(appLimitPerDay);
        d.apps = std::map<std::string, AppMemoryPeak>(ordered.begin(), ordered.end());
    }
    days.insert_or_assign(key, std::move(d));
    return key;
}

bool VitalsLedger::addSnapshot(const MachineVitals& vitals, double every) {
    // Spaced from its neighbours in time rather than from the last one kept: a snapshot taken under a clock
    // set ahead would otherwise stop the series until that date comes round.
    const auto next = std::upper_bound(snapshots.begin(), snapshots.end(), vitals.date,
                                       [](Date date, const VitalsSnapshot& s) { return date < s.date; });
    if (next != snapshots.begin() && vitals.date - std::prev(next)->date < every) {
        return false;
    }
    if (next != snapshots.end() && next->date - vitals.date < every) {
        return false;
    }
    snapshots.insert(next, vitals.snapshot());
    return true;
}

void VitalsLedger::recordEvent(const VitalsEventKind& kind, Date at,
                               const std::function<std::size_t(std::size_t n)>& random) {
    if (!events.empty() && events.back().kind.eventCase() == kind.eventCase() &&
        at - events.back().date < coalescingSeconds) {
        events.back().date = at;
        return;
    }
    events.emplace_back(Uuid::random(random), at, kind);
    if (events.size() > eventLimit) {
        events.erase(events.begin(),
                     events.begin() + static_cast<std::ptrdiff_t>(events.size() - eventLimit));
    }
}

void VitalsLedger::recordFolderSizes(const std::map<std::string, std::uint64_t>& sizes, Date at,
                                     const Calendar& calendar) {
    if (sizes.empty()) {
        return;
    }
    const std::string key = dayKey(at, calendar);
    auto [it, inserted] = days.try_emplace(key, key);
    for (const auto& [folder, bytes] : sizes) {
        it->second.folderBytes.insert_or_assign(folder, bytes);
    }
    it->second.folderMeasuredAt = at;
}

void VitalsLedger::prune(int keepingDays, int snapshotDays, Date today, const Calendar& calendar) {
    const Date base = calendar.startOfDay(today);
    const std::string cutoffKey = dayKey(calendar.addingDays(1 - keepingDays, base), calendar);
    std::erase_if(days, [&](const auto& entry) { return entry.first < cutoffKey; });
    const Date snapshotCutoff = calendar.addingDays(-snapshotDays, base);
    std::erase_if(snapshots, [&](const VitalsSnapshot& s) { return s.date < snapshotCutoff; });
}

std::optional<VitalsDay> VitalsLedger::day(Date date, const Calendar& calendar) const {
    const auto it = days.find(dayKey(date, calendar));
    if (it == days.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<VitalsSnapshot> VitalsLedger::snapshot(Date near, double within) const {
    std::optional<VitalsSnapshot> best;
    double bestDistance = 0;
    for (const VitalsSnapshot& s : snapshots) {
        const double distance = std::abs(s.date - near);
        if (distance <= within && (!best || distance < bestDistance)) {
            best = s;
            bestDistance = distance;
        }
    }
    return best;
}

std::optional<VitalsSnapshot> VitalsLedger::firstSnapshot(Date on, const Calendar& calendar) const {
    const std::string key = dayKey(on, calendar);
    for (const VitalsSnapshot& s : snapshots) {
        if (dayKey(s.date, calendar) == key) {
            return s;
        }
    }
    return std::nullopt;
}

std::vector<VitalsEvent> VitalsLedger::recentEvents() const {
    return {events.rbegin(), events.rend()};
}

std::vector<AppMemoryPeak> VitalsLedger::appPeaks(Date on, const Calendar& calendar) const {
    std::vector<AppMemoryPeak> peaks;
    const auto it = days.find(dayKey(on, calendar));
    if (it == days.end()) {
        return peaks;
    }
    for (const auto& [id, peak] : it->second.apps) {
        peaks.push_back(peak);
    }
    std::stable_sort(peaks.begin(), peaks.end(), [](const AppMemoryPeak& a, const AppMemoryPeak& b) {
        if (a.peakBytes != b.peakBytes) {
            return a.peakBytes > b.peakBytes;
        }
        return a.name < b.name;
    });
    return peaks;
}

std::vector<FolderGrowth> VitalsLedger::folderComparisons(Date on, const Calendar& calendar) const {
    std::vector<FolderGrowth> comparisons;
    const std::string key = dayKey(on, calendar);
    const auto today = days.find(key);
    if (today == days.end() || today->second.folderBytes.empty()) {
        return comparisons;
    }
    for (const auto& [folder, bytesNow] : today->second.folderBytes) {
        // Walk the earlier days newest first; the first one holding the folder is its comparison.
        for (auto it = std::make_reverse_iterator(today); it != days.rend(); ++it) {
            const auto earlier = it->second.folderBytes.find(folder);
            if (earlier != it->second.folderBytes.end()) {
                comparisons.emplace_back(folder, earlier->second, bytesNow, it->first,
                                         it->second.folderMeasuredAt);
                break;
            }
        }
    }
    std::stable_sort(comparisons.begin(), comparisons.end(),
                     [](const FolderGrowth& a, const FolderGrowth& b) {
                         const std::uint64_t changeA = absoluteChange(a.bytesNow, a.bytesEarlier);
                         const std::uint64_t changeB = absoluteChange(b.bytesNow, b.bytesEarlier);
                         if (changeA != changeB) {
                             return changeA > changeB;
                         }
                         return a.id < b.id;
                     });
    return comparisons;
}

std::vector<FolderGrowth> VitalsLedger::folderGrowth(Date on, std::uint64_t minimumDelta, int limit,
                                                     const Calendar& calendar) const {
    std::vector<FolderGrowth> growth;
    for (FolderGrowth& g : folderComparisons(on, calendar)) {
        if (static_cast<int>(growth.size()) >= limit) {
            break;
        }
        if (absoluteChange(g.bytesNow, g.bytesEarlier) >= minimumDelta) {
            growth.push_back(std::move(g));
        }
    }
    return growth;
}

std::vector<FolderTrend> VitalsLedger::folderTrends(int dayCount, Date now, const Calendar& calendar) const {
    std::map<std::string, std::vector<FolderTrendPoint>> series;
    const Date lastDay = calendar.startOfDay(now);
    for (int back = dayCount - 1; back >= 0; --back) {
        const Date cursor = calendar.startOfDay(calendar.addingDays(-back, lastDay));
        const auto it = days.find(dayKey(cursor, calendar));
        if (it == days.end()) {
            continue;
        }
        for (const auto& [folder, bytes] : it->second.folderBytes) {
            series[folder].emplace_back(cursor, bytes);
        }
    }
    std::vector<FolderTrend> trends;
    for (auto& [folder, points] : series) {
        if (points.size() >= 2) {
            trends.emplace_back(folder, std::move(points));
        }
    }
    std::stable_sort(trends.begin(), trends.end(), [](const FolderTrend& a, const FolderTrend& b) {
        const std::uint64_t changeA = absoluteChange(a.points.back().bytes, a.points.front().bytes);
        const std::uint64_t changeB = absoluteChange(b.points.back().bytes, b.points.front().bytes);
        if (changeA != changeB) {
            return changeA > changeB;
        }
        return a.id < b.id;
    });
    return trends;
}

bool VitalsLedger::hasFolderSizes(Date on, const Calendar& calendar) const {
    const auto it = days.find(dayKey(on, calendar));
    return it != days.end() && !it->second.folderBytes.empty();
}

bool VitalsLedger::hasEarlierFolderSizes(Date before, const Calendar& calendar) const {
    const auto end = days.lower_bound(dayKey(before, calendar));
    return std::any_of(days.begin(), end,
                       [](const auto& entry) { return !entry.second.folderBytes.empty(); });
}

std::optional<Date> VitalsLedger::folderMeasurementDate(Date on, const Calendar& calendar) const {
    const auto it = days.find(dayKey(on, calendar));
    return it != days.end() ? it->second.folderMeasuredAt : std::nullopt;
}

std::optional<Date> VitalsLedger::lastFolderMeasurementDate() const {
    std::optional<Date> latest;
    for (const auto& [key, d] : days) {
        if (d.folderMeasuredAt && (!latest || *d.folderMeasuredAt > *latest)) {
            latest = d.folderMeasuredAt;
        }
    }
    return latest;
}

std::size_t VitalsLedger::mendFigures() {
    std::size_t changed = 0;
    for (auto& [key, d] : days) {
        mend(d.peakMemoryUsed, changed);
        mend(d.peakSwapUsed, changed);
        mend(d.minStorageFree, changed);
        mend(d.maxStorageFree, changed);
        mend(d.warningSeconds, changed);
        mend(d.criticalSeconds, changed);
        for (auto& [id, peak] : d.apps) {
            mend(peak.peakBytes, changed);
            mend(peak.lastBytes, changed);
        }
        for (auto& [folder, bytes] : d.folderBytes) {
            mend(bytes, changed);
        }
    }
    for (VitalsSnapshot& s : snapshots) {
        mend(s.memoryUsed, changed);
        mend(s.swapUsed, changed);
        mend(s.storageFree, changed);
    }
    return changed;
}

json::Json VitalsLedger::toJson() const {
    json::Json daysJson = json::Json::object();
    for (const auto& [key, d] : days) {
        daysJson[key] = d.toJson();
    }
    json::Json snapshotsJson = json::Json::array();
    for (const VitalsSnapshot& s : snapshots) {
        snapshotsJson.push_back(s.toJson());
    }
    json::Json eventsJson = json::Json::array();
    for (const VitalsEvent& e : events) {
        eventsJson.push_back(e.toJson());
    }
    return {{"days", std::move(daysJson)},
            {"snapshots", std::move(snapshotsJson)},
            {"events", std::move(eventsJson)}};
}

VitalsLedger VitalsLedger::fromJson(const json::Json& value) {
    const auto& obj = json::object(value, "vitals ledger");
    VitalsLedger ledger;
    for (const auto& [key, d] : requiredOfType(obj, "days", false).items()) {
        ledger.days.emplace(key, VitalsDay::fromJson(d));
    }
    for (const auto& s : requiredOfType(obj, "snapshots", true)) {
        ledger.snapshots.push_back(VitalsSnapshot::fromJson(s));
    }
    for (const auto& e : requiredOfType(obj, "events", true)) {
        ledger.events.push_back(VitalsEvent::fromJson(e));
    }
    return ledger;
}

} // namespace halvrick
