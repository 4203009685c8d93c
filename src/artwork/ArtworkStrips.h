#pragma once

#include "core/FaceState.h"
#include "core/HeatState.h"

#include <QSizeF>

class QPainter;

namespace halvrick {

// Animations laid out frame by frame in one row on white, for looking at them still.
namespace ArtworkStrips {

inline constexpr int popoverFrameCount = 8;
inline constexpr double popoverFrameStep = 0.5;

// The tray loop of a heat level: 18-point frames, 4 apart and 4 from the edges.
QSizeF menuBarSize(HeatState heat);
void paintMenuBar(QPainter& painter, QSizeF size, HeatState heat);

// Eight moments half a second apart of a mood's continuous animation at sweating heat: 96-point frames,
// 6 apart and 6 from the edges.
QSizeF popoverSize();
void paintPopover(QPainter& painter, QSizeF size, FaceState state);

} // namespace ArtworkStrips

} // namespace halvrick
