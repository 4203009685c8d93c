#include "core/CulpritNotes.h"

#include <gtest/gtest.h>
#include <string>

namespace halvrick {
namespace {

const char* const appNotes[] = {
    nullptr,
    "Every tab and extension is its own little process. Lots of tabs, lots of heat.",
    "Video, animations and heavy sites keep Safari's helper processes busy.",
    "Building and indexing. It should calm down when the build or index finishes.",
    "Containers run inside a Linux VM. It takes as much CPU as you give it.",
    "An Electron app with several helpers. Calls and message sync keep them awake.",
    "A video call encodes and decodes constantly. It stops when the call does.",
    "Meetings and sync in an Electron wrapper. Several helpers share the work.",
    "Extensions and language servers work in the background, even when you're idle.",
    "Streaming and audio processing. Usually light unless it's downloading or syncing.",
    "Analysing and syncing your library. It finishes eventually; leave it plugged in.",
    "Video editing and rendering are heavy on purpose. The fans are doing their job.",
    "Rendering and shader work will use every core you let them.",
    "An Electron app. Voice, video and message sync each get a helper.",
    "A design canvas with lots of layers and effects. Big files cost real CPU.",
    "An Electron app. Plugins and vault indexing do most of the background work.",
    "An Electron app. Syncing and large pages keep its helpers busy.",
    "A Node process. Usually a dev server, build watcher or test runner.",
    "A Python process. Usually a script, notebook or local server.",
    "A Java process. Usually an IDE, build tool or server.",
    "A Ruby process. Usually a local server, test run or build step.",
    "A compiler. It will use every core it can while it works.",
    "An Electron app: one window, several Chromium helpers underneath.",
    // The Linux browsers that stand where Safari stands.
    "Video, animations and heavy sites keep the browser's content processes busy.",
};

std::optional<std::string> expectedNote(int rule) {
    return rule == 0 ? std::nullopt : std::optional<std::string>(appNotes[rule]);
}

AppKey app(const char* id, const char* name) {
    return {AppKey::Kind::app, id, name};
}
AppKey process(const char* name) {
    return {AppKey::Kind::process, name, name};
}

TEST(CulpritNotesTest, ApplicationRulesInOrder) {
    struct Case {
        AppKey key;
        int rule; // 0: no note
    };
    const Case cases[] = {
        {AppKey::system(), 0},
        {{AppKey::Kind::system, "linux", "Chrome"}, 0},
        {app("/Applications/Google Chrome Helper (Renderer).app", "Google Chrome Helper (Renderer)"), 1},
        {process("Chrome"), 1},
        {app("/Applications/Google Chrome.app", "Browser"), 1},
        {app("/Applications/Safari.app", "Safari Technology Preview"), 2},
        {app("/Applications/Xcode.app", "Xcode"), 3},
        {process("docker"), 4},
        {app("/Applications/Slack.app", "Work chat"), 5},
        {app("/Applications/zoom.us.app", "zoom.us"), 6},
        {app("/Applications/Microsoft Teams.app", "Microsoft Teams"), 7},
        {process("Code"), 8},
        {process("Code Helper"), 0},
        {app("/Applications/Visual Studio Code.app", "Visual Studio Code"), 8},
        {app("/Applications/Spotify.app", "Spotify"), 9},
        {app("/System/Applications/Photos.app", "Photos"), 10},
        {app("/Applications/DaVinci Resolve.app", "DaVinci Resolve"), 11},
        {app("/Applications/Final Cut Pro.app", "Final Cut Pro"), 11},
        {process("Unity"), 12},
        {process("UnrealEditor"), 12},
        {app("/Applications/Discord.app", "Discord"), 13},
        {app("/Applications/Figma.app", "Figma"), 14},
        {app("/Applications/Obsidian.app", "Obsidian"), 15},
        {app("/Applications/Notion.app", "Notion"), 16},
        {process("Node"), 17},
        {process("node server.js"), 17},
        {process("nodemon"), 0},
        {process("python3.12"), 18},
        {process("py"), 18},
        {process("pypy"), 0},
        {process("gradle"), 19},
        {process("bundle"), 20},
        {process("cargo"), 21},
        {app("/Applications/Tool.app", "Electron"), 22},
        {app("/Applications/Tool.app", "Chrome Electron Shell"), 1}, // the earlier rule wins
        {process("kernel_task"), 0},

        // Linux counterparts: desktop entries (plain, flatpak, snap) and bare executables.
        {app("/usr/share/applications/chromium.desktop", "Chromium"), 1},
        {app("/usr/share/applications/google-chrome.desktop", "Browser"), 1},
        {app("/var/lib/flatpak/exports/share/applications/com.google.Chrome.desktop", "Browser"), 1},
        {process("firefox-esr"), 23},
        {app("/usr/share/applications/firefox-esr.desktop", "Firefox ESR"), 23},
        {app("/var/lib/flatpak/exports/share/applications/org.mozilla.firefox.desktop", "Web Browser"), 23},
        {app("/home/u/.local/share/applications/jetbrains-idea-ce.desktop",
             "IntelliJ IDEA Community Edition"),
         3},
        {app("/usr/share/applications/org.qt-project.qtcreator.desktop", "Qt Creator"), 3},
        {process("qtcreator"), 3},
        {app("/usr/share/applications/android-studio.desktop", "Android Studio"), 3},
        {app("/usr/share/applications/docker-desktop.desktop", "Docker Desktop"), 4},
        {app("/var/lib/flatpak/exports/share/applications/com.slack.Slack.desktop", "Work chat"), 5},
        {app("/var/lib/snapd/desktop/applications/slack_slack.desktop", "Work chat"), 5},
        {app("/var/lib/flatpak/exports/share/applications/us.zoom.Zoom.desktop", "Meetings"), 6},
        {process("teams-for-linux"), 7},
        {app("/var/lib/snapd/desktop/applications/code_code.desktop", "Editor"), 8},
        {app("/usr/share/applications/code.desktop", "Editor"), 8},
        {app("/usr/share/applications/codium.desktop", "VSCodium"), 8},
        {app("/usr/share/applications/vscode-helper.desktop", "Helper"), 0},
        {app("/var/lib/flatpak/exports/share/applications/com.spotify.Client.desktop", "Music"), 9},
        {app("/usr/share/applications/org.gnome.Shotwell.desktop", "Shotwell"), 10},
        {process("digikam"), 10},
        {app("/usr/share/applications/org.kde.kdenlive.desktop", "Kdenlive"), 11},
        {app("/var/lib/flatpak/exports/share/applications/com.discordapp.Discord.desktop", "Chat"), 13},
        {process("figma-linux"), 14},
        {app("/var/lib/flatpak/exports/share/applications/md.obsidian.Obsidian.desktop", "Notes"), 15},
        {process("notion-app"), 16},
        {process("nodejs"), 17},
        {process("cc1plus"), 21},
        {process("gcc"), 21},
        {process("gcc-12"), 0},
        {process("electron"), 22},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key.displayName + " @ " + c.key.id);
        EXPECT_EQ(CulpritNotes::note(c.key), expectedNote(c.rule));
    }
}

TEST(CulpritNotesTest, OperatingSystemProcesses) {
    const std::string screen =
        "Draws everything on screen. Animations, many windows and extra displays keep it busy.";
    const std::string kernel =
        "The heart of Linux: drivers, memory and files. It also takes CPU to cool the computer.";
    const std::string index = "Spotlight, indexing your files. It calms down once it has caught up.";
    const std::string search = "The desktop's file search, indexing your files. It calms down once it has caught up.";
    const std::string backup = "Time Machine, backing up. It stops when the backup finishes.";
    const std::string linuxBackup = "A backup under way. It stops when the backup finishes.";
    const std::string photos = "Photos, scanning your library. It finishes in the background.";
    const std::string updates = "Checking for or installing Linux updates.";
    const std::string cloud = "iCloud, syncing your files.";
    const std::string cloudStorage = "Cloud storage, syncing your files.";
    const std::string sound = "Handling sound.";
    const std::string bluetooth = "Talking to Bluetooth devices.";
    struct Case {
        const char* name;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"WindowServer", screen},
        {"Xorg", screen},
        {"Xwayland", screen},
        {"gnome-shell", screen},
        {"kwin_wayland", screen},
        {"kwin_x11", screen},
        {"kernel_task", kernel},
        {"kswapd0", kernel},
        {"mds", index},
        {"mds_stores", index},
        {"mdworker_shared", index},
        {"tracker-miner-fs-3", search},
        {"tracker-miner-f", search}, // the kernel cuts process names to 15 characters
        {"localsearch-3", search},
        {"baloo_file", search},
        {"backupd-helper", backup},
        {"deja-dup", linuxBackup},
        {"photolibraryd", photos},
        {"softwareupdated", updates},
        {"packagekitd", updates},
        {"unattended-upgr", updates},
        {"cloudd", cloud},
        {"gvfsd-google", cloudStorage},
        {"coreaudiod", sound},
        {"pipewire", sound},
        {"wireplumber", sound},
        {"pulseaudio", sound},
        {"bluetoothd", bluetooth},
        {"BLUETOOTHD", bluetooth},
        {"mds_stores ", std::nullopt},
        {" Xorg", std::nullopt},
        {"Xorg2", std::nullopt},
        {"tracker", std::nullopt},
        {"Chrome", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.name + "\"");
        EXPECT_EQ(CulpritNotes::note(std::string_view(c.name)), c.expected);
    }
}

} // namespace
} // namespace halvrick
