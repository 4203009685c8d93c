#pragma once

#include "core/PeaFace.h"
#include "pea/PeaStyle.h"

#include <QLabel>
#include <QString>
#include <QWidget>
#include <functional>

namespace halvrick {

class AnimatedPeaView;

// The speech bubble of a heads-up: the pea and its sentence, on a card 300 wide that grows in height
// for a long sentence. A click anywhere on the card, its blank parts included, calls onTap.
class HeadsUpView : public QWidget {
    Q_OBJECT

public:
    static constexpr int cardWidth = 300;
    static constexpr int padding = 12;
    static constexpr int peaSide = 40;

    HeadsUpView(QString message, PeaFace face, PeaStyle style, bool animate, std::function<void()> onTap,
                QWidget* parent = nullptr);

    const QLabel& messageLabel() const { return *message_; }
    const AnimatedPeaView& pea() const { return *pea_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::function<void()> onTap_;
    AnimatedPeaView* pea_;
    QLabel* message_;
    bool pressed_ = false;
};

} // namespace halvrick
