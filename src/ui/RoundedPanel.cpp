#include "ui/RoundedPanel.h"

#include <QPainter>
#include <QPainterPath>

namespace halvrick {

RoundedPanel::RoundedPanel(Look look, QWidget* parent) : QWidget(parent), look_(std::move(look)) {}

void RoundedPanel::setLook(const Look& look) {
    look_ = look;
    update();
}

void RoundedPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect());
    QPainterPath shape;
    shape.addRoundedRect(area, look_.radius, look_.radius);
    painter.fillPath(shape, look_.fill);
    if (look_.border && look_.borderWidth > 0) {
        const qreal inset = look_.borderWidth / 2;
        const qreal radius = std::max<qreal>(0, look_.radius - inset);
        QPen pen(*look_.border, look_.borderWidth);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(area.adjusted(inset, inset, -inset, -inset), radius, radius);
    }
}

} // namespace halvrick
