#include "pea/PeaView.h"

#include "pea/PeaRenderer.h"

#include <QPainter>

namespace halvrick {

PeaView::PeaView(const PeaFace& face, PeaFace::Detail detail, const PeaStyle& style, QWidget* parent)
    : QWidget(parent), face_(face), detail_(detail), style_(style) {}

void PeaView::setFace(const PeaFace& face) {
    if (face == face_) {
        return;
    }
    face_ = face;
    update();
}

void PeaView::setDetail(PeaFace::Detail detail) {
    if (detail == detail_) {
        return;
    }
    detail_ = detail;
    update();
}

void PeaView::setStyle(const PeaStyle& style) {
    if (style == style_) {
        return;
    }
    style_ = style;
    update();
}

void PeaView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PeaRenderer::draw(face_, detail_, style_, painter, size());
}

} // namespace halvrick
