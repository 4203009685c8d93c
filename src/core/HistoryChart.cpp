#include "core/HistoryChart.h"

#include <algorithm>
#include <cmath>

namespace halvrick::HistoryChart {

namespace {

double minutes(double seconds) {
    return std::isfinite(seconds) && seconds > 0 ? seconds / 60.0 : 0;
}

} // namespace

std::vector<Bar> bars(const std::vector<DailyTotals>& days) {
    std::vector<Bar> result;
    result.reserve(days.size());
    for (const DailyTotals& day : days) {
        result.push_back({minutes(day.sweatingSeconds), minutes(day.meltdownSeconds)});
    }
    return result;
}

std::vector<std::size_t> tickIndices(std::size_t dayCount, std::size_t target) {
    std::vector<std::size_t> result;
    if (dayCount == 0) {
        return result;
    }
    target = std::max<std::size_t>(target, 1);
    const std::size_t step = dayCount <= target + 1 ? 1 : (dayCount + target - 1) / target;
    for (std::size_t back = 0; back < dayCount; back += step) {
        result.push_back(dayCount - 1 - back);
    }
    std::reverse(result.begin(), result.end());
    return result;
}

std::vector<double> valueTicks(double largestMinutes) {
    const double top = std::isfinite(largestMinutes) && largestMinutes > 0 ? largestMinutes : 10;
    // The smallest nice step that keeps the marks above 0 at six or fewer.
    double magnitude = std::pow(10.0, std::floor(std::log10(top / 6)));
    double step = magnitude;
    for (;;) {
        bool found = false;
        for (const double factor : {1.0, 2.0, 5.0}) {
            if (std::ceil(top / (factor * magnitude) - 1e-9) <= 6) {
                step = factor * magnitude;
                found = true;
                break;
            }
        }
        if (found) {
            break;
        }
        magnitude *= 10;
    }
    const auto count = static_cast<int>(std::max(1.0, std::ceil(top / step - 1e-9)));
    std::vector<double> result;
    for (int i = 0; i <= count; ++i) {
        result.push_back(i * step);
    }
    return result;
}

} // namespace halvrick::HistoryChart
