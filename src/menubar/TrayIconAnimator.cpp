#include "menubar/TrayIconAnimator.h"

namespace halvrick {

TrayIconAnimator::TrayIconAnimator(std::unique_ptr<RepeatingTimer> timer) : timer_(std::move(timer)) {}

void TrayIconAnimator::show(std::vector<QIcon> frames) {
    timer_->stop();
    scheduledRun_ = 0;
    frames_ = std::move(frames);
    frameIndex_ = 0;
    countRuns();
    showCurrent();
    schedule();
}

void TrayIconAnimator::replaceFrames(std::vector<QIcon> frames) {
    if (frames.size() != frames_.size()) {
        show(std::move(frames));
        return;
    }
    frames_ = std::move(frames);
    // A redrawn figure keeps the loop's shape, and the wait under way goes on undisturbed.
    if (countRuns()) {
        scheduledRun_ = 0;
        schedule();
    }
    showCurrent();
}

void TrayIconAnimator::advanceFrame() {
    if (frames_.empty()) {
        return;
    }
    const std::size_t step = runs_[frameIndex_] > 0 ? runs_[frameIndex_] : 1;
    frameIndex_ = (frameIndex_ + step) % frames_.size();
    showCurrent();
    schedule();
}

std::size_t TrayIconAnimator::framesHeld() const {
    return frames_.empty() ? 0 : runs_[frameIndex_];
}

bool TrayIconAnimator::countRuns() {
    const std::size_t n = frames_.size();
    counted_.assign(n, 0);
    // Walked backwards twice round the loop, so a run that wraps past the last frame counts whole.
    std::size_t run = 0;
    for (std::size_t k = 2 * n; k-- > 0;) {
        const std::size_t i = k % n;
        const std::size_t next = (i + 1) % n;
        run = frames_[i].cacheKey() == frames_[next].cacheKey() ? run + 1 : 1;
        counted_[i] = run;
    }
    // One icon all round: nothing ever changes.
    if (n > 0 && counted_[0] >= n) {
        counted_.assign(n, 0);
    }
    if (counted_ == runs_) {
        return false;
    }
    runs_.swap(counted_);
    return true;
}

void TrayIconAnimator::schedule() {
    const std::size_t run = framesHeld();
    if (run == 0) {
        timer_->stop();
        scheduledRun_ = 0;
        return;
    }
    // A steady beat (a loop that changes every frame) keeps its timer going.
    if (run != scheduledRun_ || !timer_->isActive()) {
        scheduledRun_ = run;
        timer_->start(frameInterval * static_cast<double>(run), [this] { advanceFrame(); });
    }
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
