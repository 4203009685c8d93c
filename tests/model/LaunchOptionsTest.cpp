#include "model/LaunchOptions.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <ostream>

namespace halvrick {
namespace {

using Export = LaunchOptions::Export;
using Environment = LaunchOptions::Environment;

struct SwitchCase {
    std::string name;
    std::vector<std::string> arguments;
    Export exportKind;
    std::optional<std::string> folder;
};

void PrintTo(const SwitchCase& c, std::ostream* os) {
    *os << c.name;
}

class LaunchOptionsSwitchTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(LaunchOptionsSwitchTest, ReadsTheExportSwitch) {
    const SwitchCase& c = GetParam();
    const LaunchOptions options = LaunchOptions::parse(c.arguments, {{"DISPLAY", ":0"}});
    EXPECT_EQ(options.exportKind, c.exportKind);
    EXPECT_EQ(options.exportFolder, c.folder);
    EXPECT_EQ(options.takesInstanceLock(), c.exportKind == Export::none);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, LaunchOptionsSwitchTest,
    ::testing::Values(
        SwitchCase{"NoArguments", {"halvrick"}, Export::none, {}},
        SwitchCase{"EmptyArgumentList", {}, Export::none, {}},
        SwitchCase{"UnrelatedArguments", {"halvrick", "--verbose", "/tmp/art"}, Export::none, {}},
        SwitchCase{"ArtworkLastUsesTheDefaultFolder", {"halvrick", "--export-artwork"}, Export::artwork, {}},
        SwitchCase{
            "ArtworkWithAFolder", {"halvrick", "--export-artwork", "/tmp/art"}, Export::artwork, "/tmp/art"},
        SwitchCase{"ArtworkFolderTakenAsItIs",
                   {"halvrick", "--export-artwork", "my art/../x"},
                   Export::artwork,
                   "my art/../x"},
        SwitchCase{"OnlyTheArgumentRightAfterIsTheFolder",
                   {"halvrick", "--export-artwork", "a", "b"},
                   Export::artwork,
                   "a"},
        // Whatever follows the switch is the folder, even something that looks like a switch.
        SwitchCase{"ADashedArgumentIsStillTheFolder",
                   {"halvrick", "--export-artwork", "--verbose"},
                   Export::artwork,
                   "--verbose"},
        SwitchCase{"WebAssetsLast", {"halvrick", "--export-web-assets"}, Export::webAssets, {}},
        SwitchCase{"WebAssetsWithAFolder",
                   {"halvrick", "--export-web-assets", "Landing/assets"},
                   Export::webAssets,
                   "Landing/assets"},
        SwitchCase{"BothSwitchesArtworkWins",
                   {"halvrick", "--export-web-assets", "web", "--export-artwork", "art"},
                   Export::artwork,
                   "art"},
        SwitchCase{"BothSwitchesArtworkLast",
                   {"halvrick", "--export-web-assets", "web", "--export-artwork"},
                   Export::artwork,
                   {}},
        SwitchCase{"ArtworkFollowedByTheOtherSwitch",
                   {"halvrick", "--export-artwork", "--export-web-assets"},
                   Export::artwork,
                   "--export-web-assets"},
        SwitchCase{"TheProgramNameIsSearchedToo", {"--export-artwork", "out"}, Export::artwork, "out"},
        SwitchCase{"OnlyExactMatchesCount",
                   {"halvrick", "--export-artwork=out", "--Export-Artwork", "-export-artwork"},
                   Export::none,
                   {}}),
    [](const ::testing::TestParamInfo<SwitchCase>& info) { return info.param.name; });

struct PlatformCase {
    std::string name;
    bool exporting;
    Environment environment;
    std::optional<std::string> platform;
};

void PrintTo(const PlatformCase& c, std::ostream* os) {
    *os << c.name;
}

class LaunchOptionsPlatformTest : public ::testing::TestWithParam<PlatformCase> {};

TEST_P(LaunchOptionsPlatformTest, ChoosesThePlatform) {
    const PlatformCase& c = GetParam();
    std::vector<std::string> arguments{"halvrick"};
    if (c.exporting) {
        arguments.push_back("--export-web-assets");
    }
    EXPECT_EQ(LaunchOptions::parse(arguments, c.environment).platform, c.platform);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, LaunchOptionsPlatformTest,
    ::testing::Values(
        PlatformCase{"X11Session", false, {{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}}, {}},
        PlatformCase{"WaylandWithXwayland",
                     false,
                     {{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_SESSION_TYPE", "wayland"}},
                     "xcb"},
        PlatformCase{
            "WaylandBySessionTypeOnly", false, {{"DISPLAY", ":1"}, {"XDG_SESSION_TYPE", "wayland"}}, "xcb"},
        PlatformCase{
            "WaylandBySocketOnly", false, {{"DISPLAY", ":1"}, {"WAYLAND_DISPLAY", "wayland-1"}}, "xcb"},
        PlatformCase{"WaylandWithoutX11", false, {{"WAYLAND_DISPLAY", "wayland-0"}}, {}},
        PlatformCase{
            "WaylandWithAnEmptyDisplay", false, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", "wayland-0"}}, {}},
        PlatformCase{"WaylandButThePlatformIsChosen",
                     false,
                     {{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}, {"QT_QPA_PLATFORM", "wayland"}},
                     {}},
        PlatformCase{"AnEmptyPlatformCountsAsUnset",
                     false,
                     {{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}, {"QT_QPA_PLATFORM", ""}},
                     "xcb"},
        // The interface without any display is Qt's to refuse; nothing is forced.
        PlatformCase{"InterfaceWithoutADisplay", false, {}, {}},
        PlatformCase{"ExportWithoutADisplay", true, {}, "offscreen"},
        PlatformCase{
            "ExportWithEmptyDisplays", true, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}, "offscreen"},
        PlatformCase{"ExportOnX11", true, {{"DISPLAY", ":0"}}, {}},
        PlatformCase{"ExportOnWayland", true, {{"WAYLAND_DISPLAY", "wayland-0"}}, {}},
        PlatformCase{
            "ExportOnWaylandWithXwayland", true, {{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}}, {}},
        PlatformCase{
            "ExportWithoutADisplayKeepsTheUsersPlatform", true, {{"QT_QPA_PLATFORM", "minimal"}}, {}}),
    [](const ::testing::TestParamInfo<PlatformCase>& info) { return info.param.name; });

TEST(LaunchOptionsTest, TheTestHeadsUpFollowsThePresenceOfTheVariable) {
    EXPECT_FALSE(LaunchOptions::parse({"halvrick"}, {}).showsTestHeadsUp);
    EXPECT_TRUE(LaunchOptions::parse({"halvrick"}, {{"HALVRICK_PEEK", "1"}}).showsTestHeadsUp);
    EXPECT_TRUE(LaunchOptions::parse({"halvrick"}, {{"HALVRICK_PEEK", ""}}).showsTestHeadsUp);
}

TEST(LaunchOptionsTest, ReadsThisProcessEnvironment) {
    ASSERT_EQ(setenv("HALVRICK_LAUNCH_OPTIONS_PROBE", "a=b", 1), 0);
    ASSERT_EQ(setenv("HALVRICK_LAUNCH_OPTIONS_EMPTY", "", 1), 0);
    const Environment environment = LaunchOptions::processEnvironment();
    unsetenv("HALVRICK_LAUNCH_OPTIONS_PROBE");
    unsetenv("HALVRICK_LAUNCH_OPTIONS_EMPTY");
    ASSERT_TRUE(environment.contains("HALVRICK_LAUNCH_OPTIONS_PROBE"));
    EXPECT_EQ(environment.at("HALVRICK_LAUNCH_OPTIONS_PROBE"), "a=b") << "split at the first equals sign";
    ASSERT_TRUE(environment.contains("HALVRICK_LAUNCH_OPTIONS_EMPTY"));
    EXPECT_EQ(environment.at("HALVRICK_LAUNCH_OPTIONS_EMPTY"), "");
}

} // namespace
} // namespace halvrick
