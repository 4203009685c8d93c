#include "core/FolderSparklineGeometry.h"

#include <algorithm>

namespace halvrick::FolderSparklineGeometry {

std::vector<Point> points(const std::vector<FolderTrendPoint>& trend, Date now, const Calendar& calendar,
                          double width, double height) {
    if (trend.size() < 2) {
        return {};
    }
    const Date today = calendar.startOfDay(now);
    const Date start = calendar.addingDays(-6, today);
    const double span = std::max(1.0, today - start);
    const auto [low, high] = std::minmax_element(trend.begin(), trend.end(), [](const auto& a, const auto& b) {
        return a.bytes < b.bytes;
    });
    double lo = static_cast<double>(low->bytes);
    double hi = static_cast<double>(high->bytes);
    // Also keeps hi above lo for the division below.
    if (hi - lo < minimumBand) {
        const double mid = (lo + hi) / 2;
        lo = mid - minimumBand / 2;
        hi = mid + minimumBand / 2;
    }
    // The right edge stays inside the box however narrow it is.
    const double right = std::max(inset, width - inset);
    std::vector<Point> result;
    result.reserve(trend.size());
    for (const FolderTrendPoint& point : trend) {
        const double x = std::clamp((point.day - start) / span * width, inset, right);
        const double norm = (static_cast<double>(point.bytes) - lo) / (hi - lo);
        result.push_back({x, inset + (1 - norm) * (height - 2 * inset)});
    }
    return result;
}

} // namespace halvrick::FolderSparklineGeometry
