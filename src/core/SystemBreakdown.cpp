#include "core/SystemBreakdown.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace halvrick {

SystemBreakdown::SystemBreakdown(int coreCount, double window)
    : coreCount_(coreCount >= 2 ? coreCount : 1), window_(window) {}

std::vector<SystemPart> SystemBreakdown::ingest(const std::vector<PSRow>& rows,
                                                const std::set<std::int32_t>& excluding, Date at) {
    // A process listed twice counts once, with its later row, in the map and in the growth alike.
    std::map<std::int32_t, std::size_t> lastRow;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        lastRow[rows[i].pid] = i;
    }
    std::map<std::int32_t, double> current;
    for (const auto& [pid, index] : lastRow) {
        current[pid] = rows[index].cpuSeconds;
    }
    const std::map<std::int32_t, double> before = std::exchange(previous_, std::move(current));
    const std::optional<Date> then = std::exchange(lastTime_, at);

    if (!then) {
        return {};
    }
    const double elapsed = at - *then;
    if (!(elapsed > 0)) {
        return {};
    }
    Slice slice{at, elapsed, {}};
    for (const auto& [pid, index] : lastRow) {
        const PSRow& row = rows[index];
        const auto earlier = before.find(pid);
        if (excluding.contains(pid) || earlier == before.end() || !(row.cpuSeconds > earlier->second)) {
            continue;
        }
        slice.seconds[row.name()] += row.cpuSeconds - earlier->second;
    }
    slices_.push_back(std::move(slice));
    // As the blame window prunes: a slice ending exactly `window` seconds ago is out.
    while (!slices_.empty() && slices_.front().end <= at - window_) {
        slices_.pop_front();
    }
    std::map<std::string, double> totals;
    double span = 0;
    for (const Slice& kept : slices_) {
        span += kept.elapsed;
        for (const auto& [name, seconds] : kept.seconds) {
            totals[name] += seconds;
        }
    }
    if (!(span > 0)) {
        return {};
    }
    const double capacity = span * static_cast<double>(coreCount_);
    std::vector<SystemPart> parts;
    parts.reserve(totals.size());
    for (const auto& [name, total] : totals) {
        parts.push_back(SystemPart{name, total / capacity});
    }
    // The map already lists names in ascending order, so a stable sort keeps that order for ties.
    std::stable_sort(parts.begin(), parts.end(),
                     [](const SystemPart& a, const SystemPart& b) { return a.share > b.share; });
    return parts;
}

void SystemBreakdown::reset() {
    slices_.clear();
    previous_.clear();
    lastTime_.reset();
}

} // namespace halvrick
