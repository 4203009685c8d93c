#pragma once

#include "core/PeaAnimation.h"
#include "core/PeaFace.h"
#include "pea/PeaStyle.h"
#include "pea/WindowWatch.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace halvrick {

// The pea in windows, bubbles and cards: it blends from the face it showed to a new one and, while
// animating, moves idly. Every animated pea reads the same clock, so they move in step until one of them
// pauses. It moves only while someone may be watching (its window is on screen, and active, under the
// pointer or a bubble); otherwise it holds a still frame and later carries on from that frame. A pea
// nobody can see at all draws nothing.
class AnimatedPeaView : public QWidget {
public:
    static constexpr double blendDuration = 0.4;
    static constexpr double frameInterval = 1.0 / 30;
    // In a window that is only glanced at (a bubble), the motion is shown in steps of this many seconds,
    // about four a second: a whole fraction of the blink period, so every blink falls on a step and shows.
    static constexpr double glanceInterval = PeaAnimation::blinkPeriod / 17;

    // Seconds since 2001-01-01.
    using Clock = std::function<double()>;

    // Calls back every `interval` seconds while started.
    class Ticker {
    public:
        virtual ~Ticker() = default;
        virtual void start(double interval, std::function<void()> onTick) = 0;
        virtual void stop() = 0;
        virtual bool isActive() const = 0;
    };

    // Where time, frames and the window's exposure come from: the wall clock, a timer and the window
    // system unless given (tests drive them by hand).
    struct Timing {
        Clock now;
        std::unique_ptr<Ticker> ticker;
        WindowWatch::Exposure exposure;
        static Timing system();
    };

    AnimatedPeaView(const PeaFace& face, PeaFace::Detail detail, const PeaStyle& style, bool isAnimating,
                    std::optional<double> pupilOffset, QWidget* parent = nullptr,
                    Timing timing = Timing::system());
    ~AnimatedPeaView() override;

    const PeaFace& face() const { return face_; }
    PeaFace::Detail detail() const { return detail_; }
    const PeaStyle& style() const { return style_; }
    bool isAnimating() const { return isAnimating_; }
    std::optional<double> pupilOffset() const { return pupilOffset_; }

    // A new face starts a blend from the face that was asked for before, even mid-blend.
    void setFace(const PeaFace& face);
    void setDetail(PeaFace::Detail detail);
    void setStyle(const PeaStyle& style);
    void setAnimating(bool isAnimating);
    // Replaces the face's own pupil offset (the popover's pea follows the pointer); none keeps it.
    void setPupilOffset(std::optional<double> pupilOffset);

    // The face drawn at this moment.
    PeaFace shownFace() const;
    // Whether frames are being drawn: only while it can be seen, and while it moves or blends.
    bool isTicking() const;
    // Seconds between frames while ticking.
    double tickInterval() const { return tickInterval_; }
    // Whether the idle motion runs: animating and watched.
    bool isMoving() const;
    WindowWatch::Level watchLevel() const { return watch_->level(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool isBlending(double now) const;
    // The clock of the idle motion: the shared clock less the time spent still.
    double motionTime(double now) const;
    void refreshTicker();
    void tick();

    PeaFace face_;
    PeaFace::Detail detail_;
    PeaStyle style_;
    bool isAnimating_;
    std::optional<double> pupilOffset_;
    std::optional<PeaFace> previous_;
    Clock now_;
    std::unique_ptr<Ticker> ticker_;
    WindowWatch* watch_ = nullptr;
    double changedAt_ = 0;
    double tickInterval_ = frameInterval;
    // How far the idle motion lags the shared clock, and the motion time it holds while still.
    double motionLag_ = 0;
    std::optional<double> heldAt_;
    bool everShown_ = false;
};

} // namespace halvrick
