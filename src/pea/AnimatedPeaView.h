#pragma once

#include "core/PeaFace.h"
#include "pea/PeaStyle.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace halvrick {

// The pea in windows, bubbles and cards: it blends from the face it showed to a new one and, while
// animating, moves idly. Every animated pea reads the same clock, so they all move in step.
class AnimatedPeaView : public QWidget {
public:
    static constexpr double blendDuration = 0.4;
    static constexpr double frameInterval = 1.0 / 30;

    // Seconds since 2001-01-01.
    using Clock = std::function<double()>;

    // Calls back every frame interval while started.
    class Ticker {
    public:
        virtual ~Ticker() = default;
        virtual void start(std::function<void()> onTick) = 0;
        virtual void stop() = 0;
        virtual bool isActive() const = 0;
    };

    // Where time and frames come from: the wall clock and a 30-a-second timer unless given (tests drive
    // both by hand).
    struct Timing {
        Clock now;
        std::unique_ptr<Ticker> ticker;
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
    // Whether frames are being drawn: only while shown, and while animating or blending.
    bool isTicking() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool isBlending(double now) const;
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
    double changedAt_ = 0;
};

} // namespace halvrick
