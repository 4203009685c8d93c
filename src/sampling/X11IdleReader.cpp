#include "sampling/X11IdleReader.h"

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <xcb/screensaver.h>
#include <xcb/xcbext.h>

#include <algorithm>
#include <cstdlib>

namespace halvrick {

X11IdleReader::X11IdleReader(std::shared_ptr<X11Display> display, MonotonicClock monotonicClock)
    : display_(std::move(display)), monotonicClock_(std::move(monotonicClock)) {
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
        collect(!last_);
    }
    // Written so that a clock that went back asks the server again.
    if (!asked_ && (!last_ || now - last_->time < 0 || now - last_->time >= reuseDuration)) {
        ask(now);
        if (!last_) {
            collect(true);
        }
    }
    if (!last_) {
        return std::nullopt;
    }
    return last_->idle + std::max(0.0, now - last_->time);
}

void X11IdleReader::ask(double now) {
    Display* display = display_->handle();
    xcb_connection_t* connection = XGetXCBConnection(display);
    const xcb_screensaver_query_info_cookie_t cookie =
        xcb_screensaver_query_info(connection, static_cast<xcb_drawable_t>(DefaultRootWindow(display)));
    xcb_flush(connection);
    asked_ = Question{cookie.sequence, now};
}

void X11IdleReader::collect(bool wait) {
    xcb_connection_t* connection = XGetXCBConnection(display_->handle());
    void* answer = nullptr;
    xcb_generic_error_t* error = nullptr;
    if (wait) {
        answer = xcb_screensaver_query_info_reply(connection, {asked_->sequence}, &error);
    } else if (xcb_poll_for_reply(connection, asked_->sequence, &answer, &error) == 0) {
        return;
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
