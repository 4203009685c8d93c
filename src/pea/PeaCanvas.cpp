#include "pea/PeaCanvas.h"

#include <QPainter>
#include <QPen>
#include <QTransform>
#include <algorithm>

namespace halvrick {

PeaBody PeaBody::of(const PeaFace& face) {
    const double m = face.melt;
    const double q = face.squash;
    PeaBody b;
    b.centerY = 56 + 4 * m;
    b.radiusX = 35 * (1 + 0.08 * q) + 3 * m;
    b.radiusY = 32 * (1 - 0.08 * q) - m;
    return b;
}

double PeaPen::ringWidth() const {
    return std::max(2.5, 1.6 * lineWidth);
}

QPainterPath peaPath() {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    return path;
}

QPainterPath peaEllipse(const QRectF& rect) {
    QPainterPath path = peaPath();
    path.addEllipse(rect);
    return path;
}

QPainterPath peaEllipse(QPointF center, double width, double height) {
    return peaEllipse(QRectF(center.x() - width / 2, center.y() - height / 2, width, height));
}

QPainterPath placed(const QPainterPath& path, double radians, QPointF anchor) {
    QPainterPath moved = QTransform().translate(anchor.x(), anchor.y()).rotateRadians(radians).map(path);
    moved.setFillRule(Qt::WindingFill);
    return moved;
}

PeaCanvas::PeaCanvas(QPainter& painter, bool monochrome) : painter_(&painter), monochrome_(monochrome) {}

PeaCanvas PeaCanvas::faded(double opacity) const {
    PeaCanvas copy = *this;
    copy.opacity_ = opacity_ * std::clamp(opacity, 0.0, 1.0);
    return copy;
}

QColor PeaCanvas::shown(const QColor& color) const {
    if (!monochrome_) {
        return color;
    }
    QColor black(Qt::black);
    black.setAlphaF(color.alphaF());
    return black;
}

void PeaCanvas::prepare(Layer layer) const {
    painter_->setOpacity(opacity_);
    painter_->setCompositionMode(layer == Layer::cut && monochrome_ ? QPainter::CompositionMode_DestinationOut
                                                                    : QPainter::CompositionMode_SourceOver);
}

void PeaCanvas::fill(const QPainterPath& path, const QColor& color, Layer layer) const {
    if (opacity_ <= 0) {
        return;
    }
    QPainterPath winding = path;
    winding.setFillRule(Qt::WindingFill);
    painter_->save();
    prepare(layer);
    painter_->setPen(Qt::NoPen);
    painter_->setBrush(shown(color));
    painter_->drawPath(winding);
    painter_->restore();
}

void PeaCanvas::stroke(const QPainterPath& path, const QColor& color, double width, PeaLineEnds ends,
                       Layer layer) const {
    if (opacity_ <= 0 || !(width > 0)) {
        return;
    }
    QPen pen(shown(color), width);
    pen.setCosmetic(false);
    pen.setCapStyle(ends == PeaLineEnds::round ? Qt::RoundCap : Qt::FlatCap);
    // A mitre past its limit falls back to a bevel instead of being cut off at the limit, so cusps such
    // as the sparkle tips stay sharp points rather than long spikes.
    pen.setJoinStyle(ends == PeaLineEnds::round ? Qt::RoundJoin : Qt::SvgMiterJoin);
    pen.setMiterLimit(10);
    painter_->save();
    prepare(layer);
    painter_->setPen(pen);
    painter_->setBrush(Qt::NoBrush);
    painter_->drawPath(path);
    painter_->restore();
}

void PeaCanvas::clipped(const QPainterPath& clip, const std::function<void()>& draw) const {
    QPainterPath winding = clip;
    winding.setFillRule(Qt::WindingFill);
    painter_->save();
    painter_->setClipPath(winding, Qt::IntersectClip);
    draw();
    painter_->restore();
}

} // namespace halvrick
