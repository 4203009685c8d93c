#include "sampling/GraphicalSession.h"

#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace halvrick {
namespace {

using Variables = std::map<std::string, std::string>;

struct SessionCase {
    const char* name;
    Variables environment;
    bool reachable;
    std::vector<std::string> arguments = {"halvrick"};
};

void PrintTo(const SessionCase& c, std::ostream* os) { *os << c.name; }

// The X server ":0" and the compositor at /run/user/1000/wayland-0 answer; nothing else does.
GraphicalSession::Probes fakeServers() {
    return {[](const std::string& display) { return display == ":0"; },
            [](const std::string& path) { return path == "/run/user/1000/wayland-0"; }};
}

class GraphicalSessionTest : public ::testing::TestWithParam<SessionCase> {};

TEST_P(GraphicalSessionTest, AsksTheServerThePlatformNeeds) {
    const SessionCase& c = GetParam();
    const auto lookup = [&c](const char* name) -> std::optional<std::string> {
        const auto found = c.environment.find(name);
        return found == c.environment.end() ? std::nullopt : std::optional(found->second);
    };
    EXPECT_EQ(GraphicalSession::reachable(c.arguments, lookup, fakeServers()), c.reachable);
}

const Variables runtime{{"XDG_RUNTIME_DIR", "/run/user/1000"}};

Variables with(Variables base, const Variables& more) {
    for (const auto& [name, value] : more) {
        base[name] = value;
    }
    return base;
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, GraphicalSessionTest,
    ::testing::Values(
        SessionCase{"X11Session", {{"DISPLAY", ":0"}}, true},
        SessionCase{"DisplayNamingNoServer", {{"DISPLAY", ":97"}}, false},
        SessionCase{"NoDisplayAtAll", {}, false},
        SessionCase{"AnEmptyDisplay", {{"DISPLAY", ""}}, false},
        SessionCase{"XcbChosenWithoutAServer", {{"DISPLAY", ":97"}, {"QT_QPA_PLATFORM", "xcb"}}, false},
        SessionCase{"XcbWithOptions", {{"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "xcb:nograb"}}, true},
        SessionCase{"OffscreenNeedsNoSession", {{"QT_QPA_PLATFORM", "offscreen"}}, true},
        SessionCase{"MinimalNeedsNoSession", {{"DISPLAY", ":97"}, {"QT_QPA_PLATFORM", "minimal"}}, true},
        SessionCase{"WaylandSession", with(runtime, {{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_SESSION_TYPE", "wayland"}}), true},
        SessionCase{"WaylandChosen", with(runtime, {{"WAYLAND_DISPLAY", "wayland-0"}, {"QT_QPA_PLATFORM", "wayland"}}), true},
        SessionCase{"WaylandDefaultsToWayland0", with(runtime, {{"QT_QPA_PLATFORM", "wayland"}}), true},
        SessionCase{"WaylandByAbsolutePath", {{"WAYLAND_DISPLAY", "/run/user/1000/wayland-0"}, {"QT_QPA_PLATFORM", "wayland-egl"}}, true},
        SessionCase{"WaylandSocketNamingNoCompositor", with(runtime, {{"WAYLAND_DISPLAY", "wayland-9"}, {"QT_QPA_PLATFORM", "wayland"}}), false},
        SessionCase{"WaylandWithoutRuntimeFolder", {{"WAYLAND_DISPLAY", "wayland-0"}, {"QT_QPA_PLATFORM", "wayland"}}, false},
        SessionCase{"WaylandSocketHandedOver", {{"WAYLAND_SOCKET", "5"}, {"QT_QPA_PLATFORM", "wayland"}}, true},
        SessionCase{"WaylandSessionFallingBackToX11", with(runtime, {{"WAYLAND_DISPLAY", "wayland-9"}, {"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":0"}}), true},
        SessionCase{"AListTriesEachInTurn", with(runtime, {{"DISPLAY", ":97"}, {"QT_QPA_PLATFORM", "xcb;wayland"}}), true},
        SessionCase{"AListOfUnreachablePlatforms", {{"DISPLAY", ":97"}, {"QT_QPA_PLATFORM", "wayland;xcb"}}, false},
        SessionCase{"ThePlatformArgumentWins", {{"DISPLAY", ":97"}}, true, {"halvrick", "-platform", "offscreen"}},
        SessionCase{"ThePlatformArgumentWithTwoDashes", {{"QT_QPA_PLATFORM", "offscreen"}}, false, {"halvrick", "--platform", "xcb"}}),
    [](const ::testing::TestParamInfo<SessionCase>& info) { return info.param.name; });

} // namespace
} // namespace halvrick
