#include "pea/CursorPeaView.h"

#include "pea/AnimatedPeaView.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <algorithm>

namespace halvrick {

CursorPeaView::CursorPeaView(const PeaFace& face, const PeaStyle& style, bool isAnimating, QWidget* parent)
    : QWidget(parent),
      pea_(new AnimatedPeaView(face, PeaFace::Detail::full, style, isAnimating, std::nullopt, this)) {
    // The pea only draws; hover and clicks belong to the whole square.
    pea_->setAttribute(Qt::WA_TransparentForMouseEvents);
    setMouseTracking(true);
    setToolTip(QStringLiteral("Click me for a wave"));
    setAccessibleName(QStringLiteral("Click me for a wave"));
}

double CursorPeaView::pupilFor(double x, double width) {
    return std::clamp((x / std::max(1.0, width) - 0.5) * 2.4, -pupilLimit, pupilLimit);
}

void CursorPeaView::setFace(const PeaFace& face) { pea_->setFace(face); }

void CursorPeaView::setStyle(const PeaStyle& style) {
    if (style != pea_->style()) {
        pea_->setStyle(style);
    }
}

void CursorPeaView::setAnimating(bool isAnimating) {
    if (isAnimating != pea_->isAnimating()) {
        pea_->setAnimating(isAnimating);
    }
}

void CursorPeaView::enterEvent(QEnterEvent* event) {
    follow(event->position().x());
    QWidget::enterEvent(event);
}

void CursorPeaView::mouseMoveEvent(QMouseEvent* event) {
    follow(event->position().x());
    QWidget::mouseMoveEvent(event);
}

void CursorPeaView::leaveEvent(QEvent* event) {
    setPupil(0);
    QWidget::leaveEvent(event);
}

void CursorPeaView::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void CursorPeaView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick) {
        onClick();
    }
    event->accept();
}

void CursorPeaView::resizeEvent(QResizeEvent* event) {
    pea_->setGeometry(rect());
    QWidget::resizeEvent(event);
}

void CursorPeaView::follow(double x) {
    setPupil(pupilFor(x, width()));
}

void CursorPeaView::setPupil(double pupil) {
    if (pupil_ != pupil) {
        pupil_ = pupil;
        pea_->setPupilOffset(pupil);
    }
}

} // namespace halvrick
