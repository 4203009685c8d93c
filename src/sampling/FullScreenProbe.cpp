#include "sampling/FullScreenProbe.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <X11/Xlib.h>
#include <X11/Xatom.h>

namespace halvrick {

namespace {

// Windows can vanish between two questions; their errors are caught here instead of ending the process
// through Xlib's default handler. Used on the main thread only.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display) : display_(display) {
        XSync(display_, False);
        previous_ = XSetErrorHandler(&ErrorTrap::ignore);
    }
    ~ErrorTrap() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

private:
    static int ignore(Display*, XErrorEvent*) { return 0; }

    Display* display_;
    XErrorHandler previous_;
};

// A property of 32-bit items; Xlib hands them out as longs. Empty when missing or of another type.
std::vector<unsigned long> property(Display* display, Window window, Atom name, Atom type) {
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

std::optional<unsigned long> firstOf(const std::vector<unsigned long>& values) {
    if (values.empty()) {
        return std::nullopt;
    }
    return values.front();
}

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
    const ErrorTrap trap(display);
    const Window root = DefaultRootWindow(display);
    const std::optional<unsigned long> active =
        firstOf(property(display, root, atoms_.activeWindow, XA_WINDOW));
    if (!active || *active == None) {
        return false;
    }
    const std::optional<unsigned long> pid = firstOf(property(display, *active, atoms_.wmPid, XA_CARDINAL));
    if (!pid) {
        return false;
    }
    const std::vector<PixelSize> screens = screenSizes();
    const std::vector<unsigned long> clients = property(display, root, atoms_.clientList, XA_WINDOW);
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
    if (firstOf(property(display, window, atoms_.wmPid, XA_CARDINAL)) != pid) {
        return false;
    }
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0 || attributes.map_state != IsViewable) {
        return false;
    }
    const std::vector<unsigned long> types = property(display, window, atoms_.windowType, XA_ATOM);
    if (!types.empty() && !holds(types, atoms_.typeNormal)) {
        return false;
    }
    const std::vector<unsigned long> state = property(display, window, atoms_.wmState, XA_ATOM);
    if (holds(state, atoms_.stateHidden)) {
        return false;
    }
    return holds(state, atoms_.stateFullScreen) ||
           fillsAScreen({static_cast<double>(attributes.width), static_cast<double>(attributes.height)},
                        screens);
}

} // namespace halvrick
