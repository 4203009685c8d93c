#include "model/LaunchOptions.h"

#include <algorithm>
#include <iterator>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace halvrick {

namespace {

bool isSet(const LaunchOptions::Environment& environment, const std::string& name) {
    const auto found = environment.find(name);
    return found != environment.end() && !found->second.empty();
}

bool isWaylandSession(const LaunchOptions::Environment& environment) {
    const auto sessionType = environment.find("XDG_SESSION_TYPE");
    return isSet(environment, "WAYLAND_DISPLAY") ||
           (sessionType != environment.end() && sessionType->second == "wayland");
}

std::optional<std::string> platformFor(LaunchOptions::Export exportKind,
                                       const LaunchOptions::Environment& environment) {
    if (isSet(environment, "QT_QPA_PLATFORM")) {
        return std::nullopt;
    }
    const bool hasX11 = isSet(environment, "DISPLAY");
    if (exportKind != LaunchOptions::Export::none) {
        if (!hasX11 && !isSet(environment, "WAYLAND_DISPLAY")) {
            return "offscreen";
        }
        return std::nullopt;
    }
    if (hasX11 && isWaylandSession(environment)) {
        return "xcb";
    }
    return std::nullopt;
}

} // namespace

LaunchOptions LaunchOptions::parse(const std::vector<std::string>& arguments,
                                   const Environment& environment) {
    LaunchOptions options;
    for (const auto& [kind, name] : {std::pair{Export::artwork, exportArtworkSwitch},
                                     std::pair{Export::webAssets, exportWebAssetsSwitch}}) {
        const auto found = std::find(arguments.begin(), arguments.end(), name);
        if (found == arguments.end()) {
            continue;
        }
        options.exportKind = kind;
        if (std::next(found) != arguments.end()) {
            options.exportFolder = *std::next(found);
        }
        break;
    }
    options.platform = platformFor(options.exportKind, environment);
    options.showsTestHeadsUp = environment.contains("HALVRICK_PEEK");
    return options;
}

LaunchOptions::Environment LaunchOptions::processEnvironment() {
    Environment environment;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string_view text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string_view::npos) {
            environment.emplace(text.substr(0, equals), text.substr(equals + 1));
        }
    }
    return environment;
}

} // namespace halvrick
