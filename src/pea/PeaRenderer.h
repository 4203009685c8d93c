#pragma once

#include "core/PeaFace.h"
#include "pea/PeaStyle.h"

#include <QImage>
#include <QSizeF>

class QPainter;

namespace halvrick {

// Draws every picture of the pea: vector shapes on a 100 x 100 design square, scaled to fit and
// centred in the area given.
namespace PeaRenderer {

// Paints one pea into the area (0, 0, size) of `painter`; an empty area draws nothing. In the tray
// detail the face is simplified first, so callers pass the full face.
void draw(const PeaFace& face, PeaFace::Detail detail, const PeaStyle& style, QPainter& painter, QSizeF size);

// The pea alone on a transparent image of `size` points at `scale` pixels per point.
QImage image(const PeaFace& face, PeaFace::Detail detail, const PeaStyle& style, QSizeF size,
             double scale = 1);

} // namespace PeaRenderer

} // namespace halvrick
