#include "sampling/FullScreenProbe.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <X11/Xlib.h>
#include <X11/Xatom.h>

namespace halvrick {

namespace {

bool holds(const std::vector<unsigned long>& values, unsigned long value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

} // namespace

bool fillsAScreen(PixelSize window, const std::vector<PixelSize>& screens) {
    return std::any_of(screens.begin(), screens.end(), [&](PixelSize screen) {
        return std::abs(window.width - screen.width) < 1.0 && std::abs(window.height - screen.height) < 1.0;
    });
}

X11FullScreenProbe::X11FullScreenProbe(std::shared_ptr<X11Display> display) : display_(std::move(display)) {
    if (!display_) {
        return;
    }
    const char* names[] = {"_NET_ACTIVE_WINDOW",  "_NET_CLIENT_LIST",          "_NET_WM_PID",
                           "_NET_WM_STATE",       "_NET_WM_STATE_FULLSCREEN",  "_NET_WM_STATE_HIDDEN",
                           "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_NORMAL"};
    constexpr int count = sizeof(names) / sizeof(names[0]);
    Atom atoms[count] = {};
    if (XInternAtoms(display_->handle(), const_cast<char**>(names), count, False, atoms) == 0) {
        display_.reset();
        return;
    }
    atoms_ = Atoms{atoms[0], atoms[1], atoms[2], atoms[3], atoms[4], atoms[5], atoms[6], atoms[7]};
}

bool X11FullScreenProbe::isFullScreenAppInFront() {
    if (!display_) {
        return false;
    }
    Display* display = display_->handle();
    const X11Display::ErrorTrap trap(display);
    const Window root = DefaultRootWindow(display);
    const std::optional<unsigned long> active =
        X11Display::firstOf(X11Display::property(display, root, atoms_.activeWindow, XA_WINDOW));
    if (!active || *active == None) {
        return false;
    }
    const std::optional<unsigned long> pid = X11Display::firstOf(X11Display::property(display, *active, atoms_.wmPid, XA_CARDINAL));
    if (!pid) {
        return false;
    }
    const std::vector<PixelSize> screens = screenSizes();
    const std::vector<unsigned long> clients = X11Display::property(display, root, atoms_.clientList, XA_WINDOW);
    return std::any_of(clients.begin(), clients.end(),
                       [&](unsigned long window) { return isFullScreenWindow(window, *pid, screens); });
}

std::vector<PixelSize> X11FullScreenProbe::screenSizes() const {
    Display* display = display_->handle();
    std::vector<PixelSize> sizes;
    for (int i = 0; i < ScreenCount(display); ++i) {
        const Screen* screen = ScreenOfDisplay(display, i);
        sizes.push_back(
            {static_cast<double>(WidthOfScreen(screen)), static_cast<double>(HeightOfScreen(screen))});
    }
    return sizes;
}

bool X11FullScreenProbe::isFullScreenWindow(unsigned long window, unsigned long pid,
                                            const std::vector<PixelSize>& screens) const {
    Display* display = display_->handle();
    if (X11Display::firstOf(X11Display::property(display, window, atoms_.wmPid, XA_CARDINAL)) != pid) {
        return false;
    }
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0 || attributes.map_state != IsViewable) {
        return false;
    }
    const std::vector<unsigned long> types = X11Display::property(display, window, atoms_.windowType, XA_ATOM);
    if (!types.empty() && !holds(types, atoms_.typeNormal)) {
        return false;
    }
    const std::vector<unsigned long> state = X11Display::property(display, window, atoms_.wmState, XA_ATOM);
    if (holds(state, atoms_.stateHidden)) {
        return false;
    }
    return holds(state, atoms_.stateFullScreen) ||
           fillsAScreen({static_cast<double>(attributes.width), static_cast<double>(attributes.height)},
                        screens);
}

} // namespace halvrick
