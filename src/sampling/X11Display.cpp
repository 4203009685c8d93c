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

namespace {

int caughtErrors = 0;

int countError(Display*, XErrorEvent*) {
    ++caughtErrors;
    return 0;
}

} // namespace

X11Display::ErrorTrap::ErrorTrap(Display* display) : display_(display) {
    XSync(display_, False);
    previous_ = reinterpret_cast<void*>(XSetErrorHandler(&countError));
}

X11Display::ErrorTrap::~ErrorTrap() {
    XSync(display_, False);
    XSetErrorHandler(reinterpret_cast<XErrorHandler>(previous_));
}

int X11Display::ErrorTrap::errors() { return caughtErrors; }

std::vector<unsigned long> X11Display::property(Display* display, unsigned long window, unsigned long name,
                                                unsigned long type) {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long bytesAfter = 0;
    unsigned char* data = nullptr;
    // Long enough for any client list; the length counts 32-bit units.
    constexpr long maximumLength = 65536;
    const int status = XGetWindowProperty(display, window, name, 0, maximumLength, False, type, &actualType,
                                          &actualFormat, &count, &bytesAfter, &data);
    std::vector<unsigned long> values;
    if (status == Success && data != nullptr && actualType == type && actualFormat == 32) {
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        values.assign(items, items + count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return values;
}

std::optional<unsigned long> X11Display::firstOf(const std::vector<unsigned long>& values) {
    if (values.empty()) {
        return std::nullopt;
    }
    return values.front();
}

} // namespace halvrick
