#pragma once

#include "storage/XdgPaths.h"

#include <functional>
#include <string>
#include <vector>

namespace halvrick {

// Whether the display server that the Qt platform about to be loaded needs answers. Qt ends the process
// with SIGABRT when it does not; asked first, the program can say what is missing and exit normally.
namespace GraphicalSession {

struct Probes {
    // The X server of this DISPLAY value accepts a connection.
    std::function<bool(const std::string& display)> x11;
    // A Wayland compositor listens on this socket path.
    std::function<bool(const std::string& socketPath)> wayland;
};

// The real servers.
Probes systemProbes();

// The platforms come from `-platform`/`--platform` among `arguments`, else QT_QPA_PLATFORM (a list
// separated by ';', each name maybe followed by ':' and options), else xcb, with wayland first in a
// Wayland session. Reachable when any of them is: xcb when DISPLAY names a server that answers, a wayland
// platform when WAYLAND_SOCKET is handed over or the socket of WAYLAND_DISPLAY (default "wayland-0",
// relative to XDG_RUNTIME_DIR) accepts a connection, and every other platform (offscreen, minimal, vnc,
// a framebuffer) always, as it needs no session.
bool reachable(const std::vector<std::string>& arguments, const XdgPaths::Lookup& environment,
               const Probes& probes);

} // namespace GraphicalSession

} // namespace halvrick
