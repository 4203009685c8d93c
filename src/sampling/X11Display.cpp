#include "sampling/X11Display.h"

#include <cstdlib>
#include <string_view>

#include <X11/Xlib.h>

namespace halvrick {

std::shared_ptr<X11Display> X11Display::openSession() {
    const char* display = std::getenv("DISPLAY");
    if (!sessionUsesX11(display, std::getenv("XDG_SESSION_TYPE"))) {
        return nullptr;
    }
    return open(display);
}

std::shared_ptr<X11Display> X11Display::open(const std::string& name) {
    Display* display = XOpenDisplay(name.c_str());
    if (display == nullptr) {
        return nullptr;
    }
    return std::shared_ptr<X11Display>(new X11Display(display));
}

bool X11Display::sessionUsesX11(const char* display, const char* sessionType) {
    if (display == nullptr || *display == '\0') {
        return false;
    }
    return sessionType == nullptr || std::string_view(sessionType) != "wayland";
}

X11Display::~X11Display() {
    XCloseDisplay(display_);
}

} // namespace halvrick
