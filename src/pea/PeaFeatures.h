#pragma once

#include "core/PeaFace.h"
#include "pea/PeaCanvas.h"

namespace halvrick {

// The pea's expression: eyes and mouth at both details, the accessory at full detail only.
namespace PeaFeatures {

// Eye centres and the sideways pupil shift of a pupil offset of 1.
inline constexpr double leftEyeX = 37;
inline constexpr double rightEyeX = 63;
inline constexpr double pupilShift = 2.5;

double eyeLine(const PeaBody& body);
double mouthLine(const PeaBody& body);

void drawEyes(const PeaCanvas& canvas, const PeaFace& face, const PeaBody& body, const PeaPen& pen);
void drawMouth(const PeaCanvas& canvas, const PeaFace& face, const PeaBody& body, const PeaPen& pen);
void drawAccessory(const PeaCanvas& canvas, const PeaFace& face, const PeaBody& body, const PeaPen& pen);

} // namespace PeaFeatures

} // namespace halvrick
