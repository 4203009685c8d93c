#include "DesktopProbe.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdexcept>
#include <strings.h>

namespace halvrick {

namespace {

// Tray icons are 16 to 64 pixels a side, whatever the host's scale.
constexpr int largestIcon = 64;

// Windows come and go during a walk: an error about one that vanished is expected, not fatal.
extern "C" int ignoreError(Display*, XErrorEvent*) {
    return 0;
}

bool namesApp(const char* text, const std::string& appClass) {
    return text && ::strcasecmp(text, appClass.c_str()) == 0;
}

} // namespace

DesktopProbe::DesktopProbe(const std::string& display) {
    XSetErrorHandler(ignoreError);
    display_ = XOpenDisplay(display.c_str());
    if (!display_) {
        throw std::runtime_error("cannot connect to the X server on " + display);
    }
}

DesktopProbe::~DesktopProbe() {
    XCloseDisplay(display_);
}

bool DesktopProbe::hasTrayHost() {
    const Atom selection = XInternAtom(display_, "_NET_SYSTEM_TRAY_S0", False);
    return XGetSelectionOwner(display_, selection) != None;
}

DesktopProbe::AppWindows DesktopProbe::appWindows(const std::string& appClass) {
    AppWindows found;
    visit(DefaultRootWindow(display_), appClass, found);
    return found;
}

void DesktopProbe::visit(unsigned long window, const std::string& appClass, AppWindows& found) {
    XClassHint hint{};
    if (XGetClassHint(display_, window, &hint)) {
        const bool ours = namesApp(hint.res_name, appClass) || namesApp(hint.res_class, appClass);
        XFree(hint.res_name);
        XFree(hint.res_class);
        XWindowAttributes attributes{};
        if (ours && XGetWindowAttributes(display_, window, &attributes) &&
            attributes.map_state == IsViewable) {
            if (attributes.width <= largestIcon && attributes.height <= largestIcon) {
                found.trayIcon = true;
            } else {
                found.otherWindow = true;
            }
        }
    }
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display_, window, &root, &parent, &children, &count)) {
        return;
    }
    for (unsigned int i = 0; i < count; ++i) {
        visit(children[i], appClass, found);
    }
    if (children) {
        XFree(children);
    }
}

} // namespace halvrick
