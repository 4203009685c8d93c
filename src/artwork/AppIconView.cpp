#include "artwork/AppIconView.h"

#include "artwork/PeaTile.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <vector>

namespace halvrick {

namespace AppIcon {

namespace {

constexpr double tileFraction = 824.0 / 1024;
constexpr double cornerFraction = 0.225;
constexpr double peaFraction = 0.82;
constexpr double shadowOpacity = 0.18;
constexpr double shadowRadius = 0.02;
constexpr double shadowDrop = 0.012;

double side(QSizeF size) {
    return std::min(size.width(), size.height());
}

QPainterPath tilePath(const QRectF& tile) {
    QPainterPath path;
    const double radius = cornerFraction * tile.width();
    path.addRoundedRect(tile, radius, radius);
    return path;
}

// One pass of a running-sum box blur over the alpha channel of every row (`horizontal`) or column.
void boxBlur(QImage& image, int radius, bool horizontal) {
    const int length = horizontal ? image.width() : image.height();
    const int lines = horizontal ? image.height() : image.width();
    std::vector<int> source(static_cast<std::size_t>(length));
    for (int line = 0; line < lines; ++line) {
        auto pixel = [&](int i) -> QRgb& {
            const int x = horizontal ? i : line;
            const int y = horizontal ? line : i;
            return reinterpret_cast<QRgb*>(image.scanLine(y))[x];
        };
        for (int i = 0; i < length; ++i) {
            source[static_cast<std::size_t>(i)] = qAlpha(pixel(i));
        }
        const auto at = [&](int i) { return i < 0 || i >= length ? 0 : source[static_cast<std::size_t>(i)]; };
        int sum = 0;
        for (int i = -radius; i <= radius; ++i) {
            sum += at(i);
        }
        const int width = 2 * radius + 1;
        for (int i = 0; i < length; ++i) {
            pixel(i) = qRgba(0, 0, 0, (sum + width / 2) / width);
            sum += at(i + radius + 1) - at(i - radius);
        }
    }
}

// The tile's shadow: its shape in translucent black, blurred at the pixels it lands on (three box
// passes come close to a Gaussian), then dropped a little.
void paintShadow(QPainter& painter, const QRectF& tile, double s) {
    const QTransform device = painter.deviceTransform();
    const double scale = std::max(1e-6, std::hypot(device.m11(), device.m12()));
    const double sigma = shadowRadius * s / 2 * scale;
    const QPointF drop(0, shadowDrop * s);
    if (sigma < 0.5) {
        painter.fillPath(tilePath(tile.translated(drop)), QColor::fromRgbF(0, 0, 0, shadowOpacity));
        return;
    }
    const int box = std::max(1, static_cast<int>(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2)));
    const double margin = 3.0 * box + 2;
    const QRectF area = tile.adjusted(-margin / scale, -margin / scale, margin / scale, margin / scale);
    QImage mask(static_cast<int>(std::ceil(area.width() * scale)),
                static_cast<int>(std::ceil(area.height() * scale)), QImage::Format_ARGB32_Premultiplied);
    if (mask.isNull()) {
        return;
    }
    mask.fill(Qt::transparent);
    {
        QPainter maskPainter(&mask);
        maskPainter.setRenderHint(QPainter::Antialiasing);
        maskPainter.scale(scale, scale);
        maskPainter.translate(-area.topLeft());
        maskPainter.fillPath(tilePath(tile), QColor::fromRgbF(0, 0, 0, shadowOpacity));
    }
    for (int pass = 0; pass < 3; ++pass) {
        boxBlur(mask, box, true);
        boxBlur(mask, box, false);
    }
    painter.drawImage(QRectF(area.topLeft() + drop, QSizeF(mask.width(), mask.height()) / scale), mask);
}

} // namespace

double tileSide(QSizeF size) {
    return side(size) * tileFraction;
}

QRectF tileRect(QSizeF size) {
    const double tile = tileSide(size);
    return {(size.width() - tile) / 2, (size.height() - tile) / 2, tile, tile};
}

double strokeWidth(QSizeF size) {
    return std::max(0.5, side(size) / 512);
}

PeaFace::Detail peaDetail(QSizeF size) {
    return side(size) >= 64 ? PeaFace::Detail::full : PeaFace::Detail::menuBar;
}

void paint(QPainter& painter, QSizeF size) {
    const double s = side(size);
    if (!(s > 0)) {
        return;
    }
    const QRectF tile = tileRect(size);
    const QPainterPath path = tilePath(tile);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    paintShadow(painter, tile, s);
    QLinearGradient fill(tile.topLeft(), tile.bottomLeft());
    fill.setColorAt(0, QColor(244, 251, 233));
    fill.setColorAt(1, QColor(213, 237, 184));
    painter.fillPath(path, fill);
    QPen outline(QColor::fromRgbF(46 / 255.0, 74 / 255.0, 31 / 255.0, 0.12), strokeWidth(size));
    painter.strokePath(path, outline);
    const double pea = peaFraction * tile.width();
    const QRectF peaFrame(tile.center().x() - pea / 2, tile.center().y() - pea / 2, pea, pea);
    PeaTile::draw(painter, peaFrame, PeaFace::mark(), peaDetail(size), {});
    painter.restore();
}

} // namespace AppIcon

AppIconView::AppIconView(QWidget* parent) : QWidget(parent) {}

void AppIconView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    AppIcon::paint(painter, size());
}

} // namespace halvrick
