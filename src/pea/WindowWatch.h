#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <functional>

namespace halvrick {

// How far the window of a widget can be seen now, which decides whether the pea in it moves. It
// follows the window's showing, hiding, minimising, exposure, activation and the pointer's coming and
// going, and calls onChange when the level changes.
class WindowWatch : public QObject {
public:
    enum class Level {
        // Hidden, minimised, covered or on another workspace: nothing in it can be seen.
        unseen,
        // On screen, but neither active nor under the pointer.
        seen,
        // On screen in a window that never takes the focus (a bubble) and not under the pointer: it is
        // there to be looked at, so it counts as watched, if less closely, though it is never active.
        glanced,
        // On screen, and active or under the pointer.
        watched,
    };

    // Whether the window system shows some part of the window.
    using Exposure = std::function<bool(const QWindow&)>;

    explicit WindowWatch(QWidget& widget, Exposure exposure = {});

    Level level() const { return level_; }
    // Looks again for the widget's window: a widget may be moved into another one.
    void follow();

    std::function<void()> onChange;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followHandle();
    void refresh();
    Level currentLevel() const;

    QWidget& widget_;
    Exposure exposure_;
    QPointer<QWidget> window_;
    QPointer<QWindow> handle_;
    bool hovered_ = false;
    Level level_ = Level::unseen;
};

} // namespace halvrick
