#include "artwork/BusyBackground.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

namespace halvrick::BusyBackground {

namespace {

void circle(QPainter& painter, QPointF center, double diameter, const QColor& colour) {
    painter.setBrush(colour);
    painter.drawEllipse(center, diameter / 2, diameter / 2);
}

} // namespace

void paint(QPainter& painter, const QRectF& area) {
    if (area.isEmpty()) {
        return;
    }
    const double w = area.width();
    const double h = area.height();
    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    painter.setPen(Qt::NoPen);
    QLinearGradient sunset(area.topLeft(), area.bottomRight());
    sunset.setColorAt(0, QColor(29, 53, 87));
    sunset.setColorAt(0.5, QColor(231, 111, 81));
    sunset.setColorAt(1, QColor(244, 162, 97));
    painter.fillRect(area, sunset);
    // Circles are sized by width but never taller than the area.
    const QPointF origin = area.topLeft();
    circle(painter, origin + QPointF(0.15 * w, 0.9 * h), std::min(0.5 * w, h), QColor(42, 157, 143));
    circle(painter, origin + QPointF(0.725 * w, 0.45 * h), std::min(0.25 * w, h),
           QColor::fromRgbF(1, 1, 1, 0.7));
    painter.fillRect(QRectF(origin.x() + 0.4 * w, origin.y(), 0.2 * w, h), QColor(38, 70, 83));
    painter.restore();
}

} // namespace halvrick::BusyBackground
