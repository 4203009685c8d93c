#include "ui/LinkButton.h"

#include "ui/Glyphs.h"
#include "ui/Theme.h"

#include <QPainter>
#include <QPen>
#include <algorithm>

namespace halvrick {

namespace {

int chevronSize() { return Theme::pixelSize(TextStyle::caption2); }

constexpr int focusRing = 1;

} // namespace

LinkButton::LinkButton(QWidget* parent) : QAbstractButton(parent) {
    setFont(Theme::font(TextStyle::caption, font()));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

QSize LinkButton::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    return {metrics.horizontalAdvance(text()) + chevronGap + chevronSize() + 2,
            std::max(metrics.height(), chevronSize())};
}

QSize LinkButton::minimumSizeHint() const {
    return {chevronGap + chevronSize() + 20, sizeHint().height()};
}

void LinkButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = Theme::text(Theme::Tone::secondary, palette(), isDown() ? 0.6 : 1);
    const int glyph = chevronSize();
    const QRect textArea(0, 0, std::max(0, width() - chevronGap - glyph), height());
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, textArea.width());
    painter.setPen(colour);
    painter.setFont(font());
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter, shown);
    const int x = std::min(textArea.width(), fontMetrics().horizontalAdvance(shown) + 1) + chevronGap;
    Glyphs::paint(painter, Glyph::chevronRight, QRectF(x, (height() - glyph) / 2.0, glyph, glyph), colour);
    // Drawn without a frame, the link needs a ring of its own to show where the keyboard is.
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), focusRing));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    }
}

} // namespace halvrick
