#include "ui/RingDial.h"

#include "pea/PeaRenderer.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace halvrick {

namespace {

// The animated pea drawn inset in the dial and enlarged about its centre. It covers the whole dial so
// that an enlarged pea is never cut at its own edges.
class DialPea : public AnimatedPeaView {
public:
    DialPea(const PeaFace& face, const PeaStyle& style, bool isAnimating, const double& scale,
            QWidget* parent)
        : AnimatedPeaView(face, PeaFace::Detail::full, style, isAnimating, std::nullopt, parent),
          scale_(scale) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRectF area = QRectF(rect()).adjusted(RingDial::peaInset, RingDial::peaInset,
                                                    -RingDial::peaInset, -RingDial::peaInset);
        if (area.isEmpty()) {
            return;
        }
        painter.translate(area.center());
        painter.scale(scale_, scale_);
        painter.translate(-area.width() / 2, -area.height() / 2);
        PeaRenderer::draw(shownFace(), detail(), style(), painter, area.size());
    }

private:
    const double& scale_;
};

double clamped(double progress) {
    return std::isnan(progress) ? 0 : std::clamp(progress, 0.0, 1.0);
}

} // namespace

RingDial::RingDial(Theme::Colour colour, bool animatesProgress, const PeaFace& face, const PeaStyle& style,
                   bool isAnimating, QWidget* parent)
    : QWidget(parent), colour_(colour), animatesProgress_(animatesProgress) {
    setFixedSize(side, side);
    pea_ = new DialPea(face, style, isAnimating, shownPeaScale_, this);
    pea_->setGeometry(rect());

    progressAnimation_.setDuration(progressAnimationMs);
    progressAnimation_.setEasingCurve(QEasingCurve::Linear);
    connect(&progressAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        shownProgress_ = value.toDouble();
        update();
    });
    scaleAnimation_.setDuration(scaleAnimationMs);
    scaleAnimation_.setEasingCurve(QEasingCurve::InOutQuad);
    connect(&scaleAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        shownPeaScale_ = value.toDouble();
        pea_->update();
    });
}

void RingDial::setProgress(double progress) {
    progress = clamped(progress);
    if (progress == progress_) {
        return;
    }
    progress_ = progress;
    progressAnimation_.stop();
    if (animatesProgress_ && isVisible()) {
        progressAnimation_.setStartValue(shownProgress_);
        progressAnimation_.setEndValue(progress_);
        progressAnimation_.start();
    } else {
        shownProgress_ = progress_;
        update();
    }
}

void RingDial::setPeaScale(double scale, bool animated) {
    // A jump also ends a swell still under way (motion was just reduced).
    const bool moving = scaleAnimation_.state() == QAbstractAnimation::Running;
    if (scale == peaScale_ && (animated || !moving)) {
        return;
    }
    peaScale_ = scale;
    scaleAnimation_.stop();
    if (animated && isVisible()) {
        scaleAnimation_.setStartValue(shownPeaScale_);
        scaleAnimation_.setEndValue(peaScale_);
        scaleAnimation_.start();
    } else {
        shownPeaScale_ = peaScale_;
        pea_->update();
    }
}

void RingDial::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    pea_->setGeometry(rect());
}

void RingDial::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal diameter = std::min(width(), height()) - lineWidth;
    if (diameter <= 0) {
        return;
    }
    // The stroke stays inside the widget.
    const QRectF ring(QPointF(width() - diameter, height() - diameter) / 2, QSizeF(diameter, diameter));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(
        QPen(Theme::text(Theme::Tone::secondary, palette(), 0.2), lineWidth, Qt::SolidLine, Qt::FlatCap));
    painter.drawEllipse(ring);
    if (shownProgress_ <= 0) {
        return;
    }
    QPainterPath arc;
    arc.arcMoveTo(ring, 90);
    arc.arcTo(ring, 90, -360 * shownProgress_);
    painter.setPen(
        QPen(Theme::colour(colour_, palette()), lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(arc);
}

} // namespace halvrick
