#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "core/FolderGrowth.h"

#include <vector>

namespace halvrick {

// Where a folder's seven-day sparkline puts its points in a w × h box: days from six days before today
// (left) to today (right), sizes bottom to top against at least a one-gigabyte band.
namespace FolderSparklineGeometry {

inline constexpr double inset = 1.5;
inline constexpr double minimumBand = 1'000'000'000;

struct Point {
    double x = 0;
    double y = 0;

    friend bool operator==(const Point&, const Point&) = default;
};

// In the trend's order; nothing for fewer than two points.
std::vector<Point> points(const std::vector<FolderTrendPoint>& trend, Date now, const Calendar& calendar,
                          double width, double height);

} // namespace FolderSparklineGeometry

} // namespace halvrick
