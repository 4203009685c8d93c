#include "ui/Glyphs.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>
#include <numbers>

namespace halvrick {

namespace {

// Every glyph is drawn on a 20 x 20 grid, then scaled into its area.
constexpr qreal grid = 20;

void chevron(QPainter& painter, const QColor& colour) {
    QPainterPath path;
    path.moveTo(7.5, 4);
    path.lineTo(13.5, 10);
    path.lineTo(7.5, 16);
    painter.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

void ring(QPainter& painter, const QColor& colour);

void ellipsisCircle(QPainter& painter, const QColor& colour) {
    ring(painter, colour);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    for (const qreal x : {6.0, 10.0, 14.0}) {
        painter.drawEllipse(QPointF(x, 10), 1.3, 1.3);
    }
}

void gear(QPainter& painter, const QColor& colour) {
    constexpr int teeth = 8;
    constexpr qreal outer = 9;
    constexpr qreal inner = 6.8;
    QPainterPath wheel;
    wheel.setFillRule(Qt::WindingFill);
    for (int i = 0; i < teeth * 4; ++i) {
        // Each tooth: two points on the outer radius, two on the inner one.
        const qreal angle = (i - 0.5) * 2 * std::numbers::pi / (teeth * 4);
        const qreal radius = (i % 4 == 0 || i % 4 == 1) ? outer : inner;
        const QPointF point(10 + radius * std::cos(angle), 10 + radius * std::sin(angle));
        if (i == 0) {
            wheel.moveTo(point);
        } else {
            wheel.lineTo(point);
        }
    }
    wheel.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(QPointF(10, 10), 3, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(wheel.subtracted(hole));
}

void ring(QPainter& painter, const QColor& colour) {
    painter.setPen(QPen(colour, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(10, 10), 8.25, 8.25);
}

void infoCircle(QPainter& painter, const QColor& colour) {
    ring(painter, colour);
    painter.setPen(QPen(colour, 1.8, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(10, 9), QPointF(10, 14.5));
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(10, 6), 1.2, 1.2);
}

// A filled disc with the mark cut out of it.
void markedDisc(QPainter& painter, const QColor& colour, const QPainterPath& mark) {
    QPainterPath disc;
    disc.addEllipse(QPointF(10, 10), 9, 9);
    QPainterPathStroker stroker;
    stroker.setWidth(2.2);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(disc.subtracted(stroker.createStroke(mark)));
}

void checkmarkCircle(QPainter& painter, const QColor& colour) {
    QPainterPath check;
    check.moveTo(5.8, 10.3);
    check.lineTo(8.7, 13.2);
    check.lineTo(14.3, 7.2);
    markedDisc(painter, colour, check);
}

void xmarkCircle(QPainter& painter, const QColor& colour) {
    ring(painter, colour);
    painter.setPen(QPen(colour, 1.8, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(7, 7), QPointF(13, 13));
    painter.drawLine(QPointF(13, 7), QPointF(7, 13));
}

void flag(QPainter& painter, const QColor& colour) {
    painter.setPen(QPen(colour, 1.8, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(5, 3), QPointF(5, 18));
    QPainterPath cloth;
    cloth.moveTo(5, 3.5);
    cloth.cubicTo(9, 1.5, 11, 5.5, 16, 3.5);
    cloth.lineTo(16, 11);
    cloth.cubicTo(11, 13, 9, 9, 5, 11);
    cloth.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(cloth);
}

} // namespace

void Glyphs::paint(QPainter& painter, Glyph glyph, const QRectF& area, const QColor& colour) {
    const qreal side = std::min(area.width(), area.height());
    if (!(side > 0)) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(area.center() - QPointF(side / 2, side / 2));
    painter.scale(side / grid, side / grid);
    switch (glyph) {
    case Glyph::chevronRight:
        chevron(painter, colour);
        break;
    case Glyph::ellipsisCircle:
        ellipsisCircle(painter, colour);
        break;
    case Glyph::gear:
        gear(painter, colour);
        break;
    case Glyph::infoCircle:
        infoCircle(painter, colour);
        break;
    case Glyph::circle:
        ring(painter, colour);
        break;
    case Glyph::checkmarkCircle:
        checkmarkCircle(painter, colour);
        break;
    case Glyph::xmarkCircle:
        xmarkCircle(painter, colour);
        break;
    case Glyph::flag:
        flag(painter, colour);
        break;
    }
    painter.restore();
}

QIcon Glyphs::icon(Glyph glyph, const QColor& colour, int size) {
    QIcon icon;
    for (const int scale : {1, 2, 3}) {
        QImage image(size * scale, size * scale, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        image.setDevicePixelRatio(scale);
        QPainter painter(&image);
        paint(painter, glyph, QRectF(0, 0, size, size), colour);
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace halvrick
