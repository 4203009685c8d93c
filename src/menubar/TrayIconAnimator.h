#pragma once

#include "core/PeaAnimation.h"
#include "sampling/RepeatingTimer.h"

#include <QIcon>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace halvrick {

// Steps the tray icon through a loop of frames eight times a second. Trays are told about an icon only
// when it differs from the one on show: a StatusNotifierItem tray sends every icon over D-Bus, and many
// frames of a loop are the same icon object. A run of such frames is one wait, not a wake-up per frame:
// the warm pea rests for most of its loop. Main thread only.
class TrayIconAnimator {
public:
    static constexpr double frameInterval = 1 / PeaAnimation::menuBarFramesPerSecond;

    explicit TrayIconAnimator(std::unique_ptr<RepeatingTimer> timer);

    // Hands the icon to the tray.
    std::function<void(const QIcon& icon)> setIcon;

    // Starts a new loop at its first frame; the timer runs only while the loop holds two different icons.
    void show(std::vector<QIcon> frames);
    // The same loop redrawn (a new CPU figure): keeps the position and shows the redrawn current frame.
    // A loop of another length starts over.
    void replaceFrames(std::vector<QIcon> frames);
    // The timer's step: on to the next frame that differs from the one on show. Also callable by hand.
    void advanceFrame();

    const std::vector<QIcon>& frames() const { return frames_; }
    std::size_t frameIndex() const { return frameIndex_; }
    bool isAnimating() const { return timer_->isActive(); }
    // Frames from the one on show to the next that differs, which the timer waits for in one go.
    std::size_t framesHeld() const;

private:
    void showCurrent();
    // Recounts the runs of the same icon; false when they are as they were.
    bool countRuns();
    void schedule();

    std::unique_ptr<RepeatingTimer> timer_;
    std::vector<QIcon> frames_;
    // For each frame, how many frames its icon stays on show from there (0 in a loop of one icon).
    std::vector<std::size_t> runs_;
    std::vector<std::size_t> counted_;
    std::size_t frameIndex_ = 0;
    std::size_t scheduledRun_ = 0;
    std::optional<std::int64_t> shownKey_;
};

} // namespace halvrick
