#include "menubar/CoalescedRefresh.h"

#include <QTimer>

namespace halvrick {

CoalescedRefresh::CoalescedRefresh(QObject& context, std::function<void()> refresh)
    : context_(context), refresh_(std::move(refresh)) {}

void CoalescedRefresh::request() {
    if (pending_) {
        return;
    }
    pending_ = true;
    QTimer::singleShot(0, &context_, [this] {
        pending_ = false;
        refresh_();
    });
}

} // namespace halvrick
