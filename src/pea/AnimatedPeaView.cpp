#include "pea/AnimatedPeaView.h"

#include "core/PeaAnimation.h"
#include "pea/PeaRenderer.h"

#include <QDateTime>
#include <QPainter>
#include <QTimer>
#include <cmath>

namespace halvrick {

namespace {

// Seconds between 1970-01-01 and 2001-01-01.
constexpr double referenceOffset = 978'307'200;
// A glanced step shows the motion a little after the step starts, inside the time a blink lasts, so
// that rounding never drops a blink that starts on a step.
constexpr double glanceStepOffset = PeaAnimation::blinkDuration / 2;

class QtTicker : public AnimatedPeaView::Ticker {
public:
    QtTicker() {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            if (onTick_) {
                onTick_();
            }
        });
    }
    void start(double interval, std::function<void()> onTick) override {
        onTick_ = std::move(onTick);
        timer_.start(static_cast<int>(std::lround(interval * 1000)));
    }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
    std::function<void()> onTick_;
};

double wallClock() {
    return static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000 - referenceOffset;
}

// Missing parts of a timing fall back to the system's.
AnimatedPeaView::Timing completed(AnimatedPeaView::Timing timing) {
    if (!timing.now) {
        timing.now = wallClock;
    }
    if (!timing.ticker) {
        timing.ticker = std::make_unique<QtTicker>();
    }
    return timing;
}

} // namespace

AnimatedPeaView::Timing AnimatedPeaView::Timing::system() {
    return {wallClock, std::make_unique<QtTicker>(), {}};
}

AnimatedPeaView::AnimatedPeaView(const PeaFace& face, PeaFace::Detail detail, const PeaStyle& style,
                                 bool isAnimating, std::optional<double> pupilOffset, QWidget* parent,
                                 Timing timing)
    : QWidget(parent), face_(face), detail_(detail), style_(style), isAnimating_(isAnimating),
      pupilOffset_(pupilOffset) {
    timing = completed(std::move(timing));
    now_ = std::move(timing.now);
    ticker_ = std::move(timing.ticker);
    watch_ = new WindowWatch(*this, std::move(timing.exposure));
    watch_->onChange = [this] {
        refreshTicker();
        update();
    };
    changedAt_ = now_();
}

AnimatedPeaView::~AnimatedPeaView() {
    // The window outlives the pea and keeps sending its events a moment longer.
    watch_->onChange = nullptr;
    ticker_->stop();
}

void AnimatedPeaView::setFace(const PeaFace& face) {
    if (face == face_) {
        return;
    }
    previous_ = face_;
    face_ = face;
    changedAt_ = now_();
    refreshTicker();
    update();
}

void AnimatedPeaView::setDetail(PeaFace::Detail detail) {
    detail_ = detail;
    update();
}

void AnimatedPeaView::setStyle(const PeaStyle& style) {
    style_ = style;
    update();
}

void AnimatedPeaView::setAnimating(bool isAnimating) {
    isAnimating_ = isAnimating;
    refreshTicker();
    update();
}

void AnimatedPeaView::setPupilOffset(std::optional<double> pupilOffset) {
    pupilOffset_ = pupilOffset;
    update();
}

bool AnimatedPeaView::isBlending(double now) const {
    const double elapsed = now - changedAt_;
    return elapsed >= 0 && elapsed < blendDuration;
}

PeaFace AnimatedPeaView::shownFace() const {
    const double now = now_();
    const double elapsed = now - changedAt_;
    // A clock set back behind the change ends the blend rather than holding the old face.
    const double progress = elapsed < 0 ? 1.0 : elapsed / blendDuration;
    PeaFace shown = previous_.value_or(face_).interpolated(face_, progress);
    if (isAnimating_) {
        double time = motionTime(now);
        if (!heldAt_ && watch_->level() == WindowWatch::Level::glanced) {
            time = std::floor(time / glanceInterval) * glanceInterval + glanceStepOffset;
        }
        shown = PeaAnimation::animate(shown, time);
    }
    if (pupilOffset_) {
        shown.pupilOffset = *pupilOffset_;
    }
    return shown;
}

bool AnimatedPeaView::isTicking() const {
    return ticker_->isActive();
}

bool AnimatedPeaView::isMoving() const {
    const WindowWatch::Level level = watch_->level();
    return isAnimating_ && isVisible() &&
           (level == WindowWatch::Level::watched || level == WindowWatch::Level::glanced);
}

double AnimatedPeaView::motionTime(double now) const {
    return heldAt_ ? *heldAt_ : now - motionLag_;
}

void AnimatedPeaView::refreshTicker() {
    const double now = now_();
    const bool moving = isMoving();
    if (moving && heldAt_) {
        motionLag_ = now - *heldAt_;
        heldAt_.reset();
    } else if (!moving && !heldAt_ && everShown_) {
        heldAt_ = now - motionLag_;
    }
    const WindowWatch::Level level = watch_->level();
    // A blend is short and shows a change the user may glance at, so it plays wherever it can be seen.
    const bool wanted = isVisible() && level != WindowWatch::Level::unseen && (moving || isBlending(now));
    const double interval = level == WindowWatch::Level::glanced ? glanceInterval : frameInterval;
    if (wanted && (!ticker_->isActive() || interval != tickInterval_)) {
        tickInterval_ = interval;
        ticker_->start(interval, [this] { tick(); });
    } else if (!wanted && ticker_->isActive()) {
        ticker_->stop();
    }
}

void AnimatedPeaView::tick() {
    update();
    refreshTicker();
}

void AnimatedPeaView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PeaRenderer::draw(shownFace(), detail_, style_, painter, size());
}

void AnimatedPeaView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    everShown_ = true;
    // Shown in a window of its own or moved into another one with its card.
    watch_->follow();
    refreshTicker();
}

void AnimatedPeaView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // A hidden pea costs nothing.
    ticker_->stop();
    refreshTicker();
}

bool AnimatedPeaView::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange) {
        watch_->follow();
        refreshTicker();
    }
    return QWidget::event(event);
}

} // namespace halvrick
