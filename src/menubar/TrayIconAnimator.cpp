#include "menubar/TrayIconAnimator.h"

namespace halvrick {

TrayIconAnimator::TrayIconAnimator(std::unique_ptr<RepeatingTimer> timer) : timer_(std::move(timer)) {}

void TrayIconAnimator::show(std::vector<QIcon> frames) {
    timer_->stop();
    frames_ = std::move(frames);
    frameIndex_ = 0;
    showCurrent();
    if (frames_.size() >= 2) {
        timer_->start(frameInterval, [this] { advanceFrame(); });
    }
}

void TrayIconAnimator::replaceFrames(std::vector<QIcon> frames) {
    if (frames.size() != frames_.size()) {
        show(std::move(frames));
        return;
    }
    frames_ = std::move(frames);
    showCurrent();
}

void TrayIconAnimator::advanceFrame() {
    if (frames_.empty()) {
        return;
    }
    frameIndex_ = (frameIndex_ + 1) % frames_.size();
    showCurrent();
}

void TrayIconAnimator::showCurrent() {
    if (frames_.empty() || !setIcon) {
        return;
    }
    const QIcon& icon = frames_[frameIndex_];
    if (shownKey_ == icon.cacheKey()) {
        return;
    }
    shownKey_ = icon.cacheKey();
    setIcon(icon);
}

} // namespace halvrick
