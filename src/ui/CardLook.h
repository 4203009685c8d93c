#pragma once

#include "core/PeaFace.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <utility>
#include <vector>

class QPainter;

namespace halvrick {

// What the shareable square cards share: their size, padding, ink, gradient and stat tiles.
namespace CardLook {

inline constexpr QSizeF size{600, 600};
inline constexpr qreal scale = 2;
inline constexpr qreal padding = 34;

// A value text over its label.
using Stat = std::pair<QString, QString>;

QColor ink(double opacity = 1);
// Top to bottom, filling the card.
void paintGradient(QPainter& painter, QSizeF size, const QColor& top, const QColor& bottom);
// The height of a row of stat tiles.
qreal statRowHeight();
// Tiles sharing `row`'s width equally, `spacing` apart; a value shrinks to 0.65 before it is cut.
void paintStats(QPainter& painter, const QRectF& row, const std::vector<Stat>& stats, qreal spacing = 10);
// A pea in the plain style, fitted into `area`.
void paintPea(QPainter& painter, const QRectF& area, const PeaFace& face);
// The footer's signature at the left of `footer`: the little blushing pea, `peaSide` square, then
// "Halvrick" `gap` after it in `font`, in the painter's pen. Returns where the name ends.
qreal paintSignature(QPainter& painter, const QRectF& footer, qreal peaSide, qreal gap, const QFont& font);

} // namespace CardLook

} // namespace halvrick
