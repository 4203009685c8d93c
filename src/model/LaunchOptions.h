#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace halvrick {

// What the command line and the environment ask of one launch, read before the application object
// exists (the platform must be chosen before that).
struct LaunchOptions {
    using Environment = std::map<std::string, std::string>;

    enum class Export { none, artwork, webAssets };

    static constexpr std::string_view exportArtworkSwitch = "--export-artwork";
    static constexpr std::string_view exportWebAssetsSwitch = "--export-web-assets";

    // An export renders PNG files and exits without starting the interface; with both switches given
    // the artwork export runs.
    Export exportKind = Export::none;
    // The argument right after the switch, taken as a path as it is (whatever it looks like); none when
    // the switch is the last argument, and the exporter's default folder is used.
    std::optional<std::string> exportFolder;
    // What QT_QPA_PLATFORM must be set to before the application object is made; none leaves Qt's own
    // choice. A platform the user set is never overridden.
    std::optional<std::string> platform;
    // HALVRICK_PEEK is present, with any value, also an empty one: show a test heads-up after launch.
    bool showsTestHeadsUp = false;

    // Exports may run beside a running instance: only the interface holds the single-instance lock.
    bool takesInstanceLock() const { return exportKind == Export::none; }

    // `arguments` are the process's, the program name first (it is searched too). Platform: an export
    // with no display at all renders offscreen; the interface in a Wayland session that also offers X11
    // (DISPLAY set) runs on xcb, where positioning panels, modifier keys, idle time and full-screen
    // detection work. Empty variables count as unset, except HALVRICK_PEEK.
    static LaunchOptions parse(const std::vector<std::string>& arguments, const Environment& environment);
    // The environment of this process.
    static Environment processEnvironment();

    friend bool operator==(const LaunchOptions&, const LaunchOptions&) = default;
};

} // namespace halvrick
