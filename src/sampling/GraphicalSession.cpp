#include "sampling/GraphicalSession.h"

#include "sampling/X11Display.h"

#include <cstring>
#include <optional>
#include <sstream>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace halvrick::GraphicalSession {

namespace {

bool acceptsConnection(const std::string& socketPath) {
    sockaddr_un address{};
    if (socketPath.size() >= sizeof address.sun_path) {
        return false;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

// Empty when unset.
std::string variable(const XdgPaths::Lookup& environment, const char* name) {
    return environment(name).value_or(std::string());
}

std::optional<std::string> platformArgument(const std::vector<std::string>& arguments) {
    for (std::size_t i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == "-platform" || arguments[i] == "--platform") {
            return arguments[i + 1];
        }
    }
    return std::nullopt;
}

std::vector<std::string> platforms(const std::vector<std::string>& arguments, const XdgPaths::Lookup& environment) {
    std::string list = platformArgument(arguments).value_or(variable(environment, "QT_QPA_PLATFORM"));
    if (list.empty()) {
        list = variable(environment, "XDG_SESSION_TYPE") == "wayland" ? "wayland;xcb" : "xcb";
    }
    std::vector<std::string> names;
    std::stringstream in(list);
    for (std::string name; std::getline(in, name, ';');) {
        names.push_back(name.substr(0, name.find(':')));
    }
    return names;
}

bool waylandReachable(const XdgPaths::Lookup& environment, const Probes& probes) {
    if (!variable(environment, "WAYLAND_SOCKET").empty()) {
        return true;
    }
    std::string name = variable(environment, "WAYLAND_DISPLAY");
    if (name.empty()) {
        name = "wayland-0";
    }
    if (name.front() != '/') {
        const std::string runtime = variable(environment, "XDG_RUNTIME_DIR");
        if (runtime.empty()) {
            return false;
        }
        name = runtime + "/" + name;
    }
    return probes.wayland(name);
}

} // namespace

Probes systemProbes() {
    return {[](const std::string& display) { return X11Display::open(display) != nullptr; }, acceptsConnection};
}

bool reachable(const std::vector<std::string>& arguments, const XdgPaths::Lookup& environment,
               const Probes& probes) {
    for (const std::string& platform : platforms(arguments, environment)) {
        if (platform == "xcb") {
            const std::string display = variable(environment, "DISPLAY");
            if (!display.empty() && probes.x11(display)) {
                return true;
            }
        } else if (std::string_view(platform).starts_with("wayland")) {
            if (waylandReachable(environment, probes)) {
                return true;
            }
        } else if (!platform.empty()) {
            return true;
        }
    }
    return false;
}

} // namespace halvrick::GraphicalSession
