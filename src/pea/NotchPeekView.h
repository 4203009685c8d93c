#pragma once

#include "core/PeaFace.h"
#include "pea/PeaStyle.h"

#include <QObject>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class QPainter;
class QTimer;
class QVariantAnimation;

namespace halvrick {

// One peek's content. Only `visible` changes after it is made: the view slides in when it turns true
// and out when it turns false.
class NotchPeekState : public QObject {
    Q_OBJECT

public:
    NotchPeekState(QString message, PeaFace face, PeaStyle style, bool animate, std::function<void()> onTap);

    bool visible() const { return visible_; }
    void setVisible(bool visible);
    const QString& message() const { return message_; }
    const PeaFace& face() const { return face_; }
    const PeaStyle& style() const { return style_; }
    // Whether motion is allowed.
    bool animate() const { return animate_; }
    const std::function<void()>& onTap() const { return onTap_; }

signals:
    void visibleChanged();

private:
    bool visible_ = false;
    QString message_;
    PeaFace face_;
    PeaStyle style_;
    bool animate_;
    std::function<void()> onTap_;
};

namespace NotchPeekLayout {

inline constexpr double width = 340;
// Below the notch: the pea's hanging part, the gap and the message.
inline constexpr double heightBelowNotch = 108;
inline constexpr double peaSize = 54;
// How far the hidden peek is tucked up into the top edge.
inline constexpr double hiddenOffset = 88;

inline double height(double notchHeight) {
    return notchHeight + heightBelowNotch;
}

} // namespace NotchPeekLayout

// The moment drawn: how far the peek has come in (0 tucked away and transparent, 1 fully shown) and the
// clock of the pea's idle motion, which moves only when the state animates.
struct NotchPeekMoment {
    double reveal = 1;
    double time = 0;
};

// Draws the peek into (0, 0, NotchPeekLayout::width, NotchPeekLayout::height(notchHeight)) of `painter`:
// a black cap that extends the notch 2 points downward, the pea hanging out of it and the message in a
// dark bubble below. The default moment is the peek fully shown, at rest.
void paintNotchPeek(QPainter& painter, const NotchPeekState& state, double notchWidth, double notchHeight,
                    NotchPeekMoment moment = {});

// The peek on screen: slides and fades with the state's `visible` (at once when motion is not allowed)
// and calls the state's tap action on a click anywhere in it.
class NotchPeekView : public QWidget {
public:
    NotchPeekView(std::shared_ptr<NotchPeekState> state, double notchWidth, double notchHeight,
                  QWidget* parent = nullptr);
    ~NotchPeekView() override;

    const NotchPeekState& state() const { return *state_; }
    // How far it has come in, 0 to 1.
    double reveal() const { return reveal_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void visibleChanged();
    void refreshMotion();

    std::shared_ptr<NotchPeekState> state_;
    double notchWidth_;
    double notchHeight_;
    double reveal_ = 0;
    QVariantAnimation* slide_;
    // Repaints the pea's idle motion.
    QTimer* frames_;
};

} // namespace halvrick
