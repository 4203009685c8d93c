#pragma once

#include "pea/AnimatedPeaView.h"
#include "ui/Theme.h"

#include <QVariantAnimation>
#include <QWidget>

namespace halvrick {

// The pea inside a ring that fills clockwise from twelve o'clock: the dial of a break and of the
// cool-down. A faint track shows the whole ring; the filled part is drawn in the dial's colour.
class RingDial : public QWidget {
    Q_OBJECT

public:
    static constexpr int side = 112;
    static constexpr qreal lineWidth = 5;
    static constexpr int peaInset = 14;
    static constexpr int progressAnimationMs = 1000;
    static constexpr int scaleAnimationMs = 700;

    // `animatesProgress`: whether a new progress sweeps there linearly or jumps.
    RingDial(Theme::Colour colour, bool animatesProgress, const PeaFace& face, const PeaStyle& style,
             bool isAnimating, QWidget* parent = nullptr);

    // The progress asked for, 0...1.
    double progress() const { return progress_; }
    // Clamped to 0...1; anything that is not a number is 0. While hidden the dial takes it at once.
    void setProgress(double progress);
    // The progress drawn at this moment.
    double shownProgress() const { return shownProgress_; }

    // How much the pea is enlarged about its centre.
    double peaScale() const { return peaScale_; }
    void setPeaScale(double scale, bool animated);
    double shownPeaScale() const { return shownPeaScale_; }

    AnimatedPeaView& pea() { return *pea_; }
    const AnimatedPeaView& pea() const { return *pea_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Theme::Colour colour_;
    bool animatesProgress_;
    double progress_ = 0;
    double shownProgress_ = 0;
    double peaScale_ = 1;
    double shownPeaScale_ = 1;
    QVariantAnimation progressAnimation_;
    QVariantAnimation scaleAnimation_;
    AnimatedPeaView* pea_;
};

} // namespace halvrick
