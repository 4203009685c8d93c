#include "sampling/X11WindowCloser.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <set>
#include <string_view>

#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace halvrick {

namespace {

// _NET_CLOSE_WINDOW's source indication for a request made on the user's behalf, as by a pager.
constexpr long sourceIsUser = 2;

bool holds(const std::vector<unsigned long>& values, unsigned long value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

// "host.example.org" and "host" name one machine: toolkits differ in which they write.
std::string_view shortName(std::string_view host) {
    return host.substr(0, host.find('.'));
}

std::string thisHostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof(name) - 1) != 0) {
        return {};
    }
    return name;
}

} // namespace

X11WindowCloser::X11WindowCloser(std::shared_ptr<X11Display> display,
                                 std::unique_ptr<ProcessReader> processReader, std::string hostName)
    : display_(std::move(display)), processReader_(std::move(processReader)),
      hostName_(hostName.empty() ? thisHostName() : std::move(hostName)) {
    if (!processReader_) {
        processReader_ = std::make_unique<ProcProcessReader>();
    }
    if (!display_) {
        return;
    }
    const char* names[] = {"_NET_SUPPORTING_WM_CHECK",
                           "_NET_SUPPORTED",
                           "_NET_CLIENT_LIST",
                           "_NET_CLOSE_WINDOW",
                           "_NET_WM_PID",
                           "_NET_WM_WINDOW_TYPE",
                           "_NET_WM_WINDOW_TYPE_DESKTOP",
                           "_NET_WM_WINDOW_TYPE_DOCK",
                           "WM_PROTOCOLS",
                           "WM_DELETE_WINDOW"};
    constexpr int count = sizeof(names) / sizeof(names[0]);
    Atom atoms[count] = {};
    if (XInternAtoms(display_->handle(), const_cast<char**>(names), count, False, atoms) == 0) {
        display_.reset();
        return;
    }
    atoms_ = Atoms{atoms[0], atoms[1], atoms[2], atoms[3], atoms[4],
                   atoms[5], atoms[6], atoms[7], atoms[8], atoms[9]};
}

bool X11WindowCloser::closeWindows(const std::vector<RunningApplication>& processes) {
    if (!display_) {
        return false;
    }
    std::set<unsigned long> pids;
    for (const RunningApplication& process : processes) {
        const std::optional<ProcessStat> stat =
            process.pid > 0 ? processReader_->readStat(process.pid) : std::nullopt;
        if (stat && stat->startTime == process.startTime) {
            pids.insert(static_cast<unsigned long>(process.pid));
        }
    }
    if (pids.empty()) {
        return false;
    }
    const X11Display::ErrorTrap trap(display_->handle());
    const Manager manager = windowManager();
    bool sent = false;
    for (const unsigned long window : topLevelWindows(manager.listsClients)) {
        const std::optional<unsigned long> pid =
            X11Display::firstOf(X11Display::property(display_->handle(), window, atoms_.wmPid, XA_CARDINAL));
        if (!pid || pids.count(*pid) == 0 || !isCandidate(window, manager.listsClients)) {
            continue;
        }
        sent = send(window, manager.closesWindows) || sent;
    }
    return sent;
}

X11WindowCloser::Manager X11WindowCloser::windowManager() const {
    Display* display = display_->handle();
    const Window root = DefaultRootWindow(display);
    const std::optional<unsigned long> check =
        X11Display::firstOf(X11Display::property(display, root, atoms_.supportingCheck, XA_WINDOW));
    // A manager that has gone leaves its hints on the root window; only a live one answers on its own window.
    if (!check || X11Display::firstOf(X11Display::property(display, *check, atoms_.supportingCheck, XA_WINDOW)) != check) {
        return {};
    }
    const std::vector<unsigned long> supported = X11Display::property(display, root, atoms_.supported, XA_ATOM);
    const bool listsClients = holds(supported, atoms_.clientList);
    return {listsClients, listsClients && holds(supported, atoms_.closeWindow)};
}

std::vector<unsigned long> X11WindowCloser::topLevelWindows(bool managed) const {
    Display* display = display_->handle();
    const Window root = DefaultRootWindow(display);
    if (managed) {
        return X11Display::property(display, root, atoms_.clientList, XA_WINDOW);
    }
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<unsigned long> windows;
    if (XQueryTree(display, root, &rootReturn, &parent, &children, &count) != 0 && children != nullptr) {
        windows.assign(children, children + count);
    }
    if (children != nullptr) {
        XFree(children);
    }
    return windows;
}

bool X11WindowCloser::isCandidate(unsigned long window, bool managed) const {
    Display* display = display_->handle();
    // A process identifier means something only on the machine that runs the client.
    XTextProperty machine{};
    if (XGetWMClientMachine(display, window, &machine) != 0 && machine.value != nullptr) {
        const std::string name(reinterpret_cast<const char*>(machine.value), machine.nitems);
        XFree(machine.value);
        if (shortName(name) != shortName(hostName_)) {
            return false;
        }
    }
    const std::vector<unsigned long> types = X11Display::property(display, window, atoms_.windowType, XA_ATOM);
    if (holds(types, atoms_.typeDesktop) || holds(types, atoms_.typeDock)) {
        return false;
    }
    if (managed) {
        return true;
    }
    // Without a manager, the windows on show are the ones a user could close.
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) != 0 && attributes.map_state == IsViewable &&
           !attributes.override_redirect;
}

bool X11WindowCloser::send(unsigned long window, bool throughManager) const {
    Display* display = display_->handle();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.display = display;
    event.xclient.window = window;
    event.xclient.format = 32;
    Window target = window;
    long mask = NoEventMask;
    if (throughManager) {
        event.xclient.message_type = atoms_.closeWindow;
        event.xclient.data.l[0] = CurrentTime;
        event.xclient.data.l[1] = sourceIsUser;
        target = DefaultRootWindow(display);
        mask = SubstructureRedirectMask | SubstructureNotifyMask;
    } else {
        Atom* protocols = nullptr;
        int count = 0;
        bool listed = false;
        if (XGetWMProtocols(display, window, &protocols, &count) != 0 && protocols != nullptr) {
            listed = std::find(protocols, protocols + count, atoms_.deleteWindow) != protocols + count;
        }
        if (protocols != nullptr) {
            XFree(protocols);
        }
        if (!listed) {
            return false;
        }
        event.xclient.message_type = atoms_.protocols;
        event.xclient.data.l[0] = static_cast<long>(atoms_.deleteWindow);
        event.xclient.data.l[1] = CurrentTime;
    }
    const int errorsBefore = X11Display::ErrorTrap::errors();
    if (XSendEvent(display, target, False, mask, &event) == 0) {
        return false;
    }
    // The request fails with the window gone only once the server has seen it.
    XSync(display, False);
    return X11Display::ErrorTrap::errors() == errorsBefore;
}

} // namespace halvrick
