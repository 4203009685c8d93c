#include "sampling/X11IdleReader.h"

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <xcb/screensaver.h>
#include <xcb/xcbext.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>

namespace halvrick {

X11IdleReader::X11IdleReader(std::shared_ptr<X11Display> display, MonotonicClock monotonicClock,
                             double answerWait)
    : display_(std::move(display)), monotonicClock_(std::move(monotonicClock)), answerWait_(answerWait) {
    if (display_) {
        const xcb_query_extension_reply_t* extension =
            xcb_get_extension_data(XGetXCBConnection(display_->handle()), &xcb_screensaver_id);
        hasExtension_ = extension != nullptr && extension->present != 0;
    }
}

std::optional<double> X11IdleReader::idleSeconds() {
    if (!hasExtension_) {
        return std::nullopt;
    }
    const double now = monotonicClock_();
    if (asked_) {
        const double waited = now - asked_->time;
        collect(waited >= 0 && waited < answerWait_ ? answerWait_ - waited : 0);
    }
    if (!asked_ && isDue(now)) {
        ask(now);
        collect(answerWait_);
    }
    if (!last_) {
        return std::nullopt;
    }
    lag_ = std::max(0.0, now - last_->time);
    return last_->idle + lag_;
}

void X11IdleReader::askAhead() {
    if (hasExtension_ && !asked_) {
        if (const double now = monotonicClock_(); isDue(now)) {
            ask(now);
        }
    }
}

bool X11IdleReader::isDue(double now) const {
    // Written so that a clock that went back asks the server again.
    return !last_ || now - last_->time < 0 || now - last_->time >= reuseDuration;
}

void X11IdleReader::ask(double now) {
    Display* display = display_->handle();
    xcb_connection_t* connection = XGetXCBConnection(display);
    const xcb_screensaver_query_info_cookie_t cookie =
        xcb_screensaver_query_info(connection, static_cast<xcb_drawable_t>(DefaultRootWindow(display)));
    xcb_flush(connection);
    asked_ = Question{cookie.sequence, now};
}

void X11IdleReader::collect(double wait) {
    using Clock = std::chrono::steady_clock;
    // The connection is the X facilities' own, never Qt's, and all of them run on this thread: nobody
    // else reads it while this waits.
    xcb_connection_t* connection = XGetXCBConnection(display_->handle());
    const Clock::time_point deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(wait));
    void* answer = nullptr;
    xcb_generic_error_t* error = nullptr;
    // Polling reads what the server has sent, so a reply read meanwhile by Xlib is found as well.
    while (xcb_poll_for_reply(connection, asked_->sequence, &answer, &error) == 0) {
        const auto left = std::chrono::duration<double, std::milli>(deadline - Clock::now()).count();
        if (left <= 0) {
            return;
        }
        pollfd socket{xcb_get_file_descriptor(connection), POLLIN, 0};
        ::poll(&socket, 1, static_cast<int>(std::ceil(left)));
    }
    const auto* info = static_cast<xcb_screensaver_query_info_reply_t*>(answer);
    if (info != nullptr) {
        last_ = Answer{static_cast<double>(info->ms_since_user_input) / 1000.0, asked_->time};
    } else {
        last_.reset();
    }
    std::free(answer);
    std::free(error);
    asked_.reset();
}

} // namespace halvrick
