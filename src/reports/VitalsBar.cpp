#include "reports/VitalsBar.h"

#include "ui/Theme.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace halvrick {

VitalsBar::VitalsBar(QWidget* parent) : QWidget(parent), colour_(Theme::accent(palette())) {
    setFixedHeight(height);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void VitalsBar::setValue(double value) {
    const double kept = std::isnan(value) ? 0 : std::clamp(value, 0.0, 1.0);
    if (kept != value_) {
        value_ = kept;
        update();
    }
}

void VitalsBar::setColour(const QColor& colour) {
    if (colour != colour_) {
        colour_ = colour;
        update();
    }
}

QSize VitalsBar::sizeHint() const { return {120, height}; }

void VitalsBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track(rect());
    const qreal radius = track.height() / 2;
    QPainterPath whole;
    whole.addRoundedRect(track, radius, radius);
    painter.fillPath(whole, Theme::text(Theme::Tone::secondary, palette(), 0.25));
    if (value_ <= 0) {
        return;
    }
    // The fill keeps the track's rounded ends however small it is.
    painter.setClipPath(whole);
    QPainterPath filled;
    filled.addRoundedRect(QRectF(track.x(), track.y(), track.width() * value_, track.height()), radius, radius);
    painter.fillPath(filled, colour_);
}

} // namespace halvrick
