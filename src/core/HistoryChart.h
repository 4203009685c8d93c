#pragma once

#include "core/StatsQueries.h"

#include <cstddef>
#include <vector>

namespace halvrick {

// The arithmetic of the history's "Heat over time" chart: one stacked bar per day, sweating below
// meltdown, in fractional minutes.
namespace HistoryChart {

struct Bar {
    double sweatingMinutes = 0;
    double meltdownMinutes = 0;

    double totalMinutes() const { return sweatingMinutes + meltdownMinutes; }
    friend bool operator==(const Bar&, const Bar&) = default;
};

// Date marks the axis aims at, whatever the number of days.
inline constexpr std::size_t targetTicks = 6;

// One bar per day, in the given order; seconds / 60, not rounded; negative amounts count as 0.
std::vector<Bar> bars(const std::vector<DailyTotals>& days);
// The days that get a date mark, ascending: every `step`-th day counted back from the last, so the
// latest day is always marked; at most `target` of them, or every day when there is at most one more
// (a week shows each of its days).
std::vector<std::size_t> tickIndices(std::size_t dayCount, std::size_t target = targetTicks);
// The minute marks of the value axis from 0 to the top of the axis, in a step of 1, 2 or 5 times a
// power of ten that gives three to six marks above 0 and reaches at least `largestMinutes`. An
// empty chart still gets an axis up to 10 minutes.
std::vector<double> valueTicks(double largestMinutes);

} // namespace HistoryChart

} // namespace halvrick
