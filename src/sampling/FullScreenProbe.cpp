#include "sampling/FullScreenProbe.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <utility>

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

namespace halvrick {

namespace {

// Long enough for any client list; the length counts 32-bit units.
constexpr std::uint32_t maximumItems = 65536;

bool holds(const std::vector<std::uint32_t>& values, unsigned long value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

xcb_get_property_cookie_t askProperty(xcb_connection_t* connection, xcb_window_t window, unsigned long name,
                                      xcb_atom_t type, std::uint32_t length) {
    return xcb_get_property(connection, 0, window, static_cast<xcb_atom_t>(name), type, 0, length);
}

// A property of 32-bit items; empty when missing, of another type, or when the window is gone.
std::vector<std::uint32_t> propertyItems(xcb_connection_t* connection, xcb_get_property_cookie_t cookie,
                                         xcb_atom_t type) {
    xcb_generic_error_t* error = nullptr;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, &error);
    std::free(error);
    std::vector<std::uint32_t> items;
    if (reply && reply->type == type && reply->format == 32) {
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        items.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return items;
}

std::optional<std::uint32_t> firstItem(const std::vector<std::uint32_t>& items) {
    return items.empty() ? std::nullopt : std::optional(items.front());
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
    // Each round asks all its questions before it waits, so a probe costs three round trips to the server
    // however many windows there are; errors (a window gone meanwhile) come back with their replies.
    Display* display = display_->handle();
    xcb_connection_t* connection = XGetXCBConnection(display);
    const xcb_window_t root = static_cast<xcb_window_t>(DefaultRootWindow(display));
    const auto askActive = askProperty(connection, root, atoms_.activeWindow, XCB_ATOM_WINDOW, 1);
    const auto askClients = askProperty(connection, root, atoms_.clientList, XCB_ATOM_WINDOW, maximumItems);
    const std::optional<std::uint32_t> active =
        firstItem(propertyItems(connection, askActive, XCB_ATOM_WINDOW));
    const std::vector<std::uint32_t> clients = propertyItems(connection, askClients, XCB_ATOM_WINDOW);
    if (!active || *active == XCB_NONE) {
        return false;
    }

    const auto askPid = askProperty(connection, *active, atoms_.wmPid, XCB_ATOM_CARDINAL, 1);
    std::vector<xcb_get_property_cookie_t> askClientPids;
    for (const std::uint32_t window : clients) {
        askClientPids.push_back(askProperty(connection, window, atoms_.wmPid, XCB_ATOM_CARDINAL, 1));
    }
    const std::optional<std::uint32_t> pid = firstItem(propertyItems(connection, askPid, XCB_ATOM_CARDINAL));
    std::vector<std::uint32_t> candidates;
    for (std::size_t i = 0; i < clients.size(); ++i) {
        const std::optional<std::uint32_t> owner =
            firstItem(propertyItems(connection, askClientPids[i], XCB_ATOM_CARDINAL));
        if (pid && owner == pid) {
            candidates.push_back(clients[i]);
        }
    }

    struct Questions {
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_geometry_cookie_t geometry;
        xcb_get_property_cookie_t types;
        xcb_get_property_cookie_t state;
    };
    std::vector<Questions> asked;
    for (const std::uint32_t window : candidates) {
        asked.push_back({xcb_get_window_attributes(connection, window), xcb_get_geometry(connection, window),
                         askProperty(connection, window, atoms_.windowType, XCB_ATOM_ATOM, maximumItems),
                         askProperty(connection, window, atoms_.wmState, XCB_ATOM_ATOM, maximumItems)});
    }
    const std::vector<PixelSize> screens = screenSizes();
    bool found = false;
    // Every reply is collected, also after the answer is known, so none is left waiting on the connection.
    for (const Questions& question : asked) {
        WindowFacts facts;
        xcb_generic_error_t* error = nullptr;
        if (auto* reply = xcb_get_window_attributes_reply(connection, question.attributes, &error)) {
            facts.viewable = reply->map_state == XCB_MAP_STATE_VIEWABLE;
            std::free(reply);
        }
        std::free(std::exchange(error, nullptr));
        if (auto* reply = xcb_get_geometry_reply(connection, question.geometry, &error)) {
            facts.size = {static_cast<double>(reply->width), static_cast<double>(reply->height)};
            std::free(reply);
        }
        std::free(error);
        facts.types = propertyItems(connection, question.types, XCB_ATOM_ATOM);
        facts.state = propertyItems(connection, question.state, XCB_ATOM_ATOM);
        found = found || isFullScreenWindow(facts, screens);
    }
    return found;
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

bool X11FullScreenProbe::isFullScreenWindow(const WindowFacts& window,
                                            const std::vector<PixelSize>& screens) const {
    if (!window.viewable) {
        return false;
    }
    if (!window.types.empty() && !holds(window.types, atoms_.typeNormal)) {
        return false;
    }
    if (holds(window.state, atoms_.stateHidden)) {
        return false;
    }
    return holds(window.state, atoms_.stateFullScreen) ||
           (window.size && fillsAScreen(*window.size, screens));
}

} // namespace halvrick
