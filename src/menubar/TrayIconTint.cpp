#include "menubar/TrayIconTint.h"

#include <QGuiApplication>
#include <X11/Xlib.h>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <xcb/xcb.h>

namespace halvrick::TrayIconTint {

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

template <typename Reply> using ReplyPointer = std::unique_ptr<Reply, FreeReply>;

xcb_atom_t atom(xcb_connection_t* connection, const std::string& name) {
    const ReplyPointer<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(name.size()), name.c_str()),
        nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// Foreground, error, warning and success, three 16-bit channels each.
constexpr std::uint32_t colourValues = 12;

} // namespace

std::optional<QColor> advertisedForeground(xcb_connection_t* connection, int screen) {
    if (connection == nullptr || xcb_connection_has_error(connection) != 0) {
        return std::nullopt;
    }
    const xcb_atom_t selection = atom(connection, "_NET_SYSTEM_TRAY_S" + std::to_string(screen));
    const xcb_atom_t colours = atom(connection, "_NET_SYSTEM_TRAY_COLORS");
    if (selection == XCB_ATOM_NONE || colours == XCB_ATOM_NONE) {
        return std::nullopt;
    }
    const ReplyPointer<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr));
    if (!owner || owner->owner == XCB_WINDOW_NONE) {
        return std::nullopt;
    }
    const ReplyPointer<xcb_get_property_reply_t> property(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, owner->owner, colours, XCB_ATOM_CARDINAL, 0, colourValues), nullptr));
    if (!property || property->format != 32 ||
        xcb_get_property_value_length(property.get()) < static_cast<int>(3 * sizeof(std::uint32_t))) {
        return std::nullopt;
    }
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(property.get()));
    QColor foreground;
    foreground.setRgba64(QRgba64::fromRgba64(static_cast<quint16>(values[0]), static_cast<quint16>(values[1]),
                                             static_cast<quint16>(values[2]), 0xffff));
    return foreground;
}

std::optional<QColor> advertisedForeground() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr) {
        return std::nullopt;
    }
    return advertisedForeground(x11->connection(), DefaultScreen(x11->display()));
}

} // namespace halvrick::TrayIconTint
