#include "sampling/X11IdleReader.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace halvrick {

X11IdleReader::X11IdleReader(std::shared_ptr<X11Display> display, MonotonicClock monotonicClock)
    : display_(std::move(display)), monotonicClock_(std::move(monotonicClock)) {
    if (display_) {
        int eventBase = 0;
        int errorBase = 0;
        hasExtension_ = XScreenSaverQueryExtension(display_->handle(), &eventBase, &errorBase) != 0;
    }
}

std::optional<double> X11IdleReader::idleSeconds() {
    if (!hasExtension_) {
        return std::nullopt;
    }
    const double now = monotonicClock_();
    // Written so that a clock that went back asks the server again.
    if (last_ && now - last_->time >= 0 && now - last_->time < reuseDuration) {
        return last_->idle + (now - last_->time);
    }
    Display* display = display_->handle();
    XScreenSaverInfo info{};
    if (XScreenSaverQueryInfo(display, DefaultRootWindow(display), &info) == 0) {
        last_.reset();
        return std::nullopt;
    }
    last_ = Answer{static_cast<double>(info.idle) / 1000.0, now};
    return last_->idle;
}

} // namespace halvrick
