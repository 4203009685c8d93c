#include "pea/WindowWatch.h"

#include <QEvent>

namespace halvrick {

WindowWatch::WindowWatch(QWidget& widget, Exposure exposure)
    : QObject(&widget), widget_(widget), exposure_(std::move(exposure)) {
    if (!exposure_) {
        exposure_ = [](const QWindow& window) { return window.isExposed(); };
    }
    follow();
}

void WindowWatch::follow() {
    QWidget* window = widget_.window();
    if (window != window_) {
        if (window_) {
            window_->removeEventFilter(this);
        }
        window_ = window;
        window_->installEventFilter(this);
        hovered_ = window_->underMouse();
    }
    followHandle();
    refresh();
}

void WindowWatch::followHandle() {
    QWindow* handle = window_ ? window_->windowHandle() : nullptr;
    if (handle == handle_) {
        return;
    }
    if (handle_) {
        handle_->removeEventFilter(this);
    }
    handle_ = handle;
    if (handle_) {
        handle_->installEventFilter(this);
    }
}

bool WindowWatch::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Enter:
        hovered_ = true;
        break;
    case QEvent::Leave:
        hovered_ = false;
        break;
    case QEvent::Hide:
        // The pointer may leave a hidden window unannounced.
        if (watched == window_) {
            hovered_ = false;
        }
        break;
    case QEvent::Show:
    case QEvent::WinIdChange:
        followHandle();
        break;
    case QEvent::Expose:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::ActivationChange:
    case QEvent::WindowStateChange:
        break;
    default:
        return false;
    }
    refresh();
    return false;
}

WindowWatch::Level WindowWatch::currentLevel() const {
    if (!window_ || !window_->isVisible() || window_->isMinimized() || !handle_ || !exposure_(*handle_)) {
        return Level::unseen;
    }
    if (hovered_) {
        return Level::watched;
    }
    // Such a window is never really active, whatever a window system may say.
    if (window_->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus)) {
        return Level::glanced;
    }
    return window_->isActiveWindow() ? Level::watched : Level::seen;
}

void WindowWatch::refresh() {
    const Level level = currentLevel();
    if (level == level_) {
        return;
    }
    level_ = level;
    if (onChange) {
        onChange();
    }
}

} // namespace halvrick
