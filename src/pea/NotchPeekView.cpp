#include "pea/NotchPeekView.h"

#include "core/PeaAnimation.h"
#include "pea/PeaRenderer.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>

namespace halvrick {

namespace {

constexpr double capOverhang = 2;
constexpr double capCornerRadius = 10;
// The pea hangs this far into the cap.
constexpr double peaTuck = 4;
constexpr double spacing = 8;
constexpr double messageMaxWidth = 316;
constexpr double messagePaddingX = 14;
constexpr double messagePaddingY = 9;
constexpr double messageCornerRadius = 14;
constexpr int messagePixelSize = 12;
constexpr int slideMilliseconds = 380;
constexpr int frameMilliseconds = 33;
// Seconds between 1970-01-01 and 2001-01-01.
constexpr double referenceOffset = 978'307'200;

// A rectangle whose top corners are square and bottom corners rounded.
QPainterPath capPath(const QRectF& rect, double radius) {
    const double r = std::min({radius, rect.width() / 2, rect.height()});
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.moveTo(rect.topLeft());
    path.lineTo(rect.topRight());
    path.lineTo(rect.right(), rect.bottom() - r);
    path.quadTo(rect.bottomRight(), QPointF(rect.right() - r, rect.bottom()));
    path.lineTo(rect.left() + r, rect.bottom());
    path.quadTo(rect.bottomLeft(), QPointF(rect.left(), rect.bottom() - r));
    path.closeSubpath();
    return path;
}

QFont messageFont() {
    QFont font;
    font.setPixelSize(messagePixelSize);
    return font;
}

} // namespace

NotchPeekState::NotchPeekState(QString message, PeaFace face, PeaStyle style, bool animate,
                               std::function<void()> onTap)
    : message_(std::move(message)), face_(std::move(face)), style_(style), animate_(animate),
      onTap_(std::move(onTap)) {}

void NotchPeekState::setVisible(bool visible) {
    if (visible == visible_) {
        return;
    }
    visible_ = visible;
    emit visibleChanged();
}

void paintNotchPeek(QPainter& painter, const NotchPeekState& state, double notchWidth, double notchHeight,
                    NotchPeekMoment moment) {
    const double reveal = std::clamp(moment.reveal, 0.0, 1.0);
    if (reveal <= 0) {
        return;
    }
    const double width = NotchPeekLayout::width;
    const double peaSize = NotchPeekLayout::peaSize;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setOpacity(painter.opacity() * reveal);
    painter.translate(0, -NotchPeekLayout::hiddenOffset * (1 - reveal));

    // The pea first: the cap in front of it hides its top, so it seems to hang out of the notch.
    const PeaFace face = state.animate() ? PeaAnimation::animate(state.face(), moment.time) : state.face();
    painter.save();
    painter.translate((width - peaSize) / 2, notchHeight - peaTuck);
    PeaRenderer::draw(face, PeaFace::Detail::full, state.style(), painter, QSizeF(peaSize, peaSize));
    painter.restore();

    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPath(
        capPath(QRectF((width - notchWidth) / 2, 0, notchWidth, notchHeight + capOverhang), capCornerRadius));

    // The message under the pea's frame, as wide as its text up to the bubble's limit.
    const QFont font = messageFont();
    const double textMaxWidth = messageMaxWidth - 2 * messagePaddingX;
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
    const QRectF text =
        QFontMetricsF(font).boundingRect(QRectF(0, 0, textMaxWidth, 1e6), flags, state.message());
    const double textWidth = std::min(std::ceil(text.width()), textMaxWidth);
    const QRectF bubble((width - textWidth) / 2 - messagePaddingX, notchHeight + peaSize + spacing,
                        textWidth + 2 * messagePaddingX, std::ceil(text.height()) + 2 * messagePaddingY);
    painter.setBrush(QColor(0, 0, 0, static_cast<int>(std::lround(0.88 * 255))));
    painter.drawRoundedRect(bubble, messageCornerRadius, messageCornerRadius);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(bubble.adjusted(messagePaddingX, messagePaddingY, -messagePaddingX, -messagePaddingY),
                     flags, state.message());
    painter.restore();
}

NotchPeekView::NotchPeekView(std::shared_ptr<NotchPeekState> state, double notchWidth, double notchHeight,
                             QWidget* parent)
    : QWidget(parent), state_(std::move(state)), notchWidth_(notchWidth), notchHeight_(notchHeight),
      reveal_(state_->visible() ? 1 : 0), slide_(new QVariantAnimation(this)), frames_(new QTimer(this)) {
    setFixedSize(static_cast<int>(NotchPeekLayout::width),
                 static_cast<int>(std::ceil(NotchPeekLayout::height(notchHeight))));
    setAttribute(Qt::WA_TranslucentBackground);
    slide_->setDuration(slideMilliseconds);
    slide_->setEasingCurve(QEasingCurve::OutCubic);
    connect(slide_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        reveal_ = value.toDouble();
        update();
    });
    frames_->setInterval(frameMilliseconds);
    connect(frames_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    connect(state_.get(), &NotchPeekState::visibleChanged, this, &NotchPeekView::visibleChanged);
}

NotchPeekView::~NotchPeekView() = default;

void NotchPeekView::visibleChanged() {
    const double target = state_->visible() ? 1 : 0;
    slide_->stop();
    if (state_->animate()) {
        slide_->setStartValue(reveal_);
        slide_->setEndValue(target);
        slide_->start();
    } else {
        reveal_ = target;
        update();
    }
    refreshMotion();
}

void NotchPeekView::refreshMotion() {
    const bool wanted = isVisible() && state_->animate() && state_->visible();
    if (wanted && !frames_->isActive()) {
        frames_->start();
    } else if (!wanted) {
        frames_->stop();
    }
}

void NotchPeekView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const double now = static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000 - referenceOffset;
    paintNotchPeek(painter, *state_, notchWidth_, notchHeight_, {reveal_, now});
}

void NotchPeekView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        state_->onTap()) {
        state_->onTap()();
    }
}

void NotchPeekView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refreshMotion();
}

void NotchPeekView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    frames_->stop();
}

} // namespace halvrick
