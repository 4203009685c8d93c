#include "ui/CoalescedRefresh.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace halvrick {

CoalescedRefresh::CoalescedRefresh(QWidget& view, std::function<void()> refresh)
    : QObject(&view), view_(view), refresh_(std::move(refresh)) {}

void CoalescedRefresh::request() {
    if (pending_) {
        return;
    }
    QWidget* window = view_.window();
    if (!window->isVisible()) {
        stale_ = true;
        if (watched_ != window) {
            if (watched_) {
                watched_->removeEventFilter(this);
            }
            watched_ = window;
            window->installEventFilter(this);
        }
        return;
    }
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        pending_ = false;
        refresh_();
    });
}

bool CoalescedRefresh::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched == watched_ && stale_) {
        stale_ = false;
        request();
    }
    return false;
}

} // namespace halvrick
