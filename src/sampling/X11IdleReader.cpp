#include "sampling/X11IdleReader.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace halvrick {

X11IdleReader::X11IdleReader(std::shared_ptr<X11Display> display) : display_(std::move(display)) {
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
    Display* display = display_->handle();
    XScreenSaverInfo info{};
    if (XScreenSaverQueryInfo(display, DefaultRootWindow(display), &info) == 0) {
        return std::nullopt;
    }
    return static_cast<double>(info.idle) / 1000.0;
}

} // namespace halvrick
