#include "ui/CardLook.h"

#include "pea/PeaRenderer.h"
#include "ui/CardText.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace halvrick::CardLook {

namespace {

constexpr qreal tilePadding = 10;
constexpr qreal tileRadius = 10;
constexpr qreal valueToLabel = 2;

QFont valueFont() {
    return CardText::font(20, QFont::Bold);
}
QFont labelFont() {
    return CardText::font(9, QFont::DemiBold);
}

} // namespace

QColor ink(double opacity) {
    QColor colour(23, 48, 66);
    colour.setAlphaF(static_cast<float>(opacity));
    return colour;
}

void paintGradient(QPainter& painter, QSizeF size, const QColor& top, const QColor& bottom) {
    QLinearGradient gradient(QPointF(size.width() / 2, 0), QPointF(size.width() / 2, size.height()));
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    painter.fillRect(QRectF(QPointF(), size), gradient);
}

qreal statRowHeight() {
    return tilePadding * 2 + QFontMetricsF(valueFont()).height() + valueToLabel +
           QFontMetricsF(labelFont()).height();
}

void paintStats(QPainter& painter, const QRectF& row, const std::vector<Stat>& stats, qreal spacing) {
    if (stats.empty()) {
        return;
    }
    const auto count = static_cast<qreal>(stats.size());
    const qreal width = (row.width() - spacing * (count - 1)) / count;
    const qreal valueHeight = QFontMetricsF(valueFont()).height();
    const qreal labelHeight = QFontMetricsF(labelFont()).height();
    painter.save();
    for (std::size_t i = 0; i < stats.size(); ++i) {
        const QRectF tile(row.left() + static_cast<qreal>(i) * (width + spacing), row.top(), width,
                          statRowHeight());
        QPainterPath shape;
        shape.addRoundedRect(tile, tileRadius, tileRadius);
        painter.fillPath(shape, QColor(255, 255, 255, 140));
        const QRectF inner = tile.adjusted(tilePadding, tilePadding, -tilePadding, -tilePadding);
        painter.setPen(ink());
        CardText::drawLine(painter, QRectF(inner.left(), inner.top(), inner.width(), valueHeight),
                           Qt::AlignLeft | Qt::AlignVCenter, valueFont(), stats[i].first, 0.65);
        painter.setPen(ink(0.6));
        CardText::drawLine(
            painter,
            QRectF(inner.left(), inner.top() + valueHeight + valueToLabel, inner.width(), labelHeight),
            Qt::AlignLeft | Qt::AlignVCenter, labelFont(), stats[i].second);
    }
    painter.restore();
}

void paintPea(QPainter& painter, const QRectF& area, const PeaFace& face) {
    painter.save();
    painter.translate(area.topLeft());
    PeaRenderer::draw(face, PeaFace::Detail::full, PeaStyle{}, painter, area.size());
    painter.restore();
}

qreal paintSignature(QPainter& painter, const QRectF& footer, qreal peaSide, qreal gap, const QFont& font) {
    paintPea(painter, QRectF(footer.left(), footer.center().y() - peaSide / 2, peaSide, peaSide), PeaFace::mark());
    const QString name = QStringLiteral("Halvrick");
    const qreal left = footer.left() + peaSide + gap;
    const qreal width = QFontMetricsF(font).horizontalAdvance(name);
    painter.save();
    painter.setFont(font);
    painter.drawText(QRectF(left, footer.top(), width + 1, footer.height()), Qt::AlignLeft | Qt::AlignVCenter, name);
    painter.restore();
    return left + width;
}

} // namespace halvrick::CardLook
