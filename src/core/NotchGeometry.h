#pragma once

#include <optional>

namespace halvrick {

// The width of a display's camera notch, worked out from the usable areas on either side of it.
namespace NotchGeometry {

// A rectangle in screen points; a negative width extends to the left of x.
struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double minX() const;
    double maxX() const;
};

inline constexpr double minimumWidth = 40;
inline constexpr double maximumWidth = 400;

// The gap between the top-left and top-right areas, when the screen has a top inset and the gap is
// a plausible notch (40 to 400 points); none otherwise.
std::optional<double> notchWidth(const Rect& left, const Rect& right, double safeTop);

} // namespace NotchGeometry

} // namespace halvrick
