#include "artwork/PeaTile.h"

#include "pea/PeaRenderer.h"

#include <QPainter>
#include <cmath>

namespace halvrick::PeaTile {

void draw(QPainter& painter, const QRectF& frame, const PeaFace& face, PeaFace::Detail detail,
          const PeaStyle& style, bool inverted) {
    if (frame.isEmpty()) {
        return;
    }
    if (!inverted) {
        painter.save();
        painter.translate(frame.topLeft());
        PeaRenderer::draw(face, detail, style, painter, frame.size());
        painter.restore();
        return;
    }
    // Inverting needs the pea alone, in straight (not premultiplied) colour, at the pixels it lands on.
    const QTransform device = painter.deviceTransform();
    const double scale = std::max(1.0, std::hypot(device.m11(), device.m12()));
    QImage pea =
        PeaRenderer::image(face, detail, style, frame.size(), scale).convertToFormat(QImage::Format_ARGB32);
    pea.invertPixels(QImage::InvertRgb);
    painter.drawImage(frame, pea);
}

} // namespace halvrick::PeaTile
