#pragma once

#include "core/HeatState.h"
#include "core/PeaFace.h"

#include <optional>
#include <vector>

namespace halvrick {

// Faces in motion: the tray's looping frame strips, built from the heat state alone so they can be
// rendered once, and the continuous animation of the larger peas, driven by a clock.
namespace PeaAnimation {

inline constexpr double menuBarFramesPerSecond = 8;
// Drop-fall periods of the continuous animation, for one or two drops and for three or more.
inline constexpr double slowDropPeriod = 2.5;
inline constexpr double fastDropPeriod = 1.2;
inline constexpr double blinkPeriod = 4.2;
inline constexpr double blinkDuration = 0.12;

// Loop length in seconds; none for a still image.
std::optional<double> menuBarLoop(HeatState state);
// One frame at a loop phase in 0..<1 (other phases wrap into it).
PeaFace menuBarFrame(HeatState state, double phase);
// The whole strip, not yet simplified for the tray.
std::vector<PeaFace> menuBarFrames(HeatState state);
// The face at `time` seconds on any continuous clock.
PeaFace animate(const PeaFace& face, double time);

} // namespace PeaAnimation

} // namespace halvrick
