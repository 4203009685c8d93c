#include "reports/StatTile.h"

#include "ui/CardText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace halvrick {

namespace {

constexpr int padding = 12;
constexpr int valueToLabel = 2;

QFont valueFont() {
    return CardText::font(22, QFont::Bold);
}

} // namespace

StatTile::StatTile(std::optional<Theme::Colour> tint, QWidget* parent) : QWidget(parent), tint_(tint) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void StatTile::set(const QString& value, const QString& label) {
    if (value == value_ && label == label_) {
        return;
    }
    value_ = value;
    label_ = label;
    setAccessibleName(label + QStringLiteral(": ") + value);
    update();
}

QSize StatTile::sizeHint() const {
    const int height = padding * 2 + QFontMetrics(valueFont()).height() + valueToLabel +
                       QFontMetrics(Theme::font(TextStyle::caption, font())).height();
    return {160, height};
}

QSize StatTile::minimumSizeHint() const {
    return {10, sizeHint().height()};
}

void StatTile::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath box;
    box.addRoundedRect(QRectF(rect()), 10, 10);
    painter.fillPath(box, Theme::text(Theme::Tone::secondary, palette(), 0.08));
    const QRectF inner = QRectF(rect()).adjusted(padding, padding, -padding, -padding);
    const qreal valueHeight = QFontMetrics(valueFont()).height();
    painter.setPen(tint_ ? Theme::colour(*tint_, palette()) : Theme::text(Theme::Tone::primary, palette()));
    CardText::drawLine(painter, QRectF(inner.left(), inner.top(), inner.width(), valueHeight),
                       Qt::AlignLeft | Qt::AlignVCenter, valueFont(), value_, 0.7);
    const QFont caption = Theme::font(TextStyle::caption, font());
    painter.setPen(Theme::text(Theme::Tone::secondary, palette()));
    CardText::drawLine(painter,
                       QRectF(inner.left(), inner.top() + valueHeight + valueToLabel, inner.width(),
                              QFontMetrics(caption).height()),
                       Qt::AlignLeft | Qt::AlignVCenter, caption, label_);
}

} // namespace halvrick
