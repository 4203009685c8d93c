#pragma once

#include "core/PeaFace.h"
#include "pea/PeaStyle.h"

#include <QWidget>
#include <functional>
#include <optional>

namespace halvrick {

class AnimatedPeaView;

// The popover's pea: its pupils follow the pointer across it, and a click anywhere on its square
// pokes it.
class CursorPeaView : public QWidget {
public:
    static constexpr double pupilLimit = 0.8;

    CursorPeaView(const PeaFace& face, const PeaStyle& style, bool isAnimating, QWidget* parent = nullptr);

    // Where the pupils look with the pointer at `x` across a view `width` wide: centred at the middle,
    // at the limit from about a sixth of the width in from either edge.
    static double pupilFor(double x, double width);

    void setFace(const PeaFace& face);
    void setStyle(const PeaStyle& style);
    void setAnimating(bool isAnimating);

    // None until the pointer first comes over the pea; 0 once it left.
    std::optional<double> pupil() const { return pupil_; }
    const AnimatedPeaView& pea() const { return *pea_; }

    std::function<void()> onClick;

protected:
    void enterEvent(QEnterEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void follow(double x);
    void setPupil(double pupil);

    AnimatedPeaView* pea_;
    std::optional<double> pupil_;
};

} // namespace halvrick
