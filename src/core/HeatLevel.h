#pragma once

namespace halvrick {

// The six shades of the year heatmap, from no hot time (0) to two hours or more (5).
namespace HeatLevel {

inline constexpr int count = 6;

// Hot seconds (sweating + meltdown) to a level; each bound belongs to the upper level: under 10, 30,
// 60 and 120 minutes give 1 to 4. Nothing above 0, or not a number, is level 0.
int of(double heatSeconds);

} // namespace HeatLevel

} // namespace halvrick
