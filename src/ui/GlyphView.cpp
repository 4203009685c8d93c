#include "ui/GlyphView.h"

#include <QPainter>

namespace halvrick {

GlyphView::GlyphView(Glyph glyph, Theme::Tone tone, int size, QWidget* parent)
    : QWidget(parent), glyph_(glyph), tone_(tone) {
    setFixedSize(size, size);
}

void GlyphView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    Glyphs::paint(painter, glyph_, QRectF(rect()), Theme::text(tone_, palette()));
}

} // namespace halvrick
