#pragma once

#include "core/PeaFace.h"
#include "pea/PeaStyle.h"

#include <QRectF>

class QPainter;

namespace halvrick {

// A pea in a frame of an artwork picture, optionally with its colours inverted (a black monochrome pea
// turns white and keeps its transparency), for the dark test backgrounds.
namespace PeaTile {

void draw(QPainter& painter, const QRectF& frame, const PeaFace& face, PeaFace::Detail detail,
          const PeaStyle& style, bool inverted = false);

} // namespace PeaTile

} // namespace halvrick
