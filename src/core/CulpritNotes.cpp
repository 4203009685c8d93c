#include "core/CulpritNotes.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace halvrick::CulpritNotes {

namespace {

using Words = std::vector<std::string_view>;

// A rule matches when any of its tests does. Each list names the other platform's applications first,
// then their Linux counterparts: desktop entry names and ids (plain, flatpak and snap) and executables.
struct AppRule {
    Words nameIs;
    Words nameContains;
    Words nameStartsWith;
    Words pathContains;
    std::string_view note;
};

// Every pattern is ASCII, so ASCII folding is all the lower-casing the tests need.
std::string lowercased(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return out;
}

bool any(const Words& words, auto&& test) {
    return std::any_of(words.begin(), words.end(), test);
}

bool matches(const AppRule& rule, std::string_view name, std::string_view path) {
    return any(rule.nameIs, [&](std::string_view w) { return name == w; }) ||
           any(rule.nameContains,
               [&](std::string_view w) { return name.find(w) != std::string_view::npos; }) ||
           any(rule.nameStartsWith, [&](std::string_view w) { return name.starts_with(w); }) ||
           any(rule.pathContains, [&](std::string_view w) { return path.find(w) != std::string_view::npos; });
}

// Ordered: the first matching rule gives the note.
const std::vector<AppRule>& appRules() {
    static const std::vector<AppRule> rules{
        {{},
         {"chrome", "chromium"},
         {},
         {"google chrome", "google-chrome", "com.google.chrome", "chromium"},
         "Every tab and extension is its own little process. Lots of tabs, lots of heat."},
        {{"safari"}, {}, {}, {"/safari.app"}, "Video, animations and heavy sites keep Safari's helper processes busy."},
        {{},
         {"firefox", "librewolf", "waterfox"},
         {},
         {"firefox", "librewolf", "waterfox"},
         "Video, animations and heavy sites keep the browser's content processes busy."},
        {{"xcode", "idea", "rider", "qtcreator", "kdevelop", "gnome-builder", "eclipse", "netbeans",
          "codeblocks"},
         {"intellij", "pycharm", "clion", "goland", "webstorm", "phpstorm", "rubymine", "rustrover",
          "android studio", "qt creator"},
         {},
         {"/xcode.app", "android-studio", "org.gnome.builder", "qtcreator", "org.kde.kdevelop", "eclipse",
          "netbeans"},
         "Building and indexing. It should calm down when the build or index finishes."},
        {{"docker", "docker desktop"},
         {},
         {},
         {"/docker.app", "docker-desktop"},
         "Containers run inside a Linux VM. It takes as much CPU as you give it."},
        {{"slack"},
         {},
         {},
         {"/slack.app", "/slack.desktop", "com.slack.slack", "/slack_slack.desktop"},
         "An Electron app with several helpers. Calls and message sync keep them awake."},
        {{},
         {"zoom"},
         {},
         {"/zoom.us.app", "us.zoom.zoom", "/zoom.desktop"},
         "A video call encodes and decodes constantly. It stops when the call does."},
        {{},
         {"teams"},
         {},
         {"/microsoft teams", "teams-for-linux", "teams_for_linux"},
         "Meetings and sync in an Electron wrapper. Several helpers share the work."},
        {{"code", "codium", "code-oss", "code - oss"},
         {"visual studio code", "vscodium"},
         {},
         {"/visual studio code.app", "/code.desktop", "/code_code.desktop", "com.visualstudio.code", "codium",
          "code-oss"},
         "Extensions and language servers work in the background, even when you're idle."},
        {{"spotify"},
         {},
         {},
         {"/spotify.app", "/spotify.desktop", "com.spotify.client", "/spotify_spotify.desktop"},
         "Streaming and audio processing. Usually light unless it's downloading or syncing."},
        {{"photos", "shotwell", "digikam", "gnome-photos"},
         {},
         {},
         {"/photos.app", "org.gnome.photos", "shotwell", "digikam"},
         "Analysing and syncing your library. It finishes eventually; leave it plugged in."},
        {{"resolve"},
         {"final cut", "premiere", "davinci", "kdenlive", "shotcut", "openshot", "pitivi", "lightworks"},
         {},
         {},
         "Video editing and rendering are heavy on purpose. The fans are doing their job."},
        {{"blender", "unity"},
         {"unreal"},
         {},
         {},
         "Rendering and shader work will use every core you let them."},
        {{"discord"},
         {},
         {},
         {"/discord.app", "/discord.desktop", "com.discordapp.discord", "/discord_discord.desktop"},
         "An Electron app. Voice, video and message sync each get a helper."},
        {{"figma", "figma-linux"},
         {},
         {},
         {"/figma.app", "figma-linux", "figma_linux"},
         "A design canvas with lots of layers and effects. Big files cost real CPU."},
        {{"obsidian"},
         {},
         {},
         {"/obsidian.app", "/obsidian.desktop", "md.obsidian.obsidian", "/obsidian_obsidian.desktop"},
         "An Electron app. Plugins and vault indexing do most of the background work."},
        {{},
         {"notion"},
         {},
         {"/notion.app", "notion-app"},
         "An Electron app. Syncing and large pages keep its helpers busy."},
        {{"node", "nodejs"},
         {},
         {"node "},
         {},
         "A Node process. Usually a dev server, build watcher or test runner."},
        {{"py"}, {}, {"python"}, {}, "A Python process. Usually a script, notebook or local server."},
        {{"java", "javac", "gradle", "mvn"},
         {},
         {},
         {},
         "A Java process. Usually an IDE, build tool or server."},
        {{"ruby", "rails", "bundle"},
         {},
         {},
         {},
         "A Ruby process. Usually a local server, test run or build step."},
        {{"rustc", "cargo", "swift", "swiftc", "clang", "clang++", "gcc", "g++", "cc", "c++", "cc1",
          "cc1plus"},
         {},
         {},
         {},
         "A compiler. It will use every core it can while it works."},
        {{}, {"electron"}, {}, {}, "An Electron app: one window, several Chromium helpers underneath."},
    };
    return rules;
}

struct ProcessGroup {
    Words names;
    SystemProcess notes;
};

// Names as the system gives them, the other platform's first, then their Linux counterparts. Linux
// reports at most 15 characters of a process name, so longer names are also listed cut to that length.
const std::vector<ProcessGroup>& processGroups() {
    static const std::vector<ProcessGroup> groups{
        {{"WindowServer", "Xorg", "Xwayland", "gnome-shell", "kwin_wayland", "kwin_x11", "mutter", "sway",
          "Hyprland", "weston", "labwc", "wayfire", "xfwm4", "marco", "cinnamon", "picom"},
         {"Draws everything on screen. Animations, many windows and extra displays keep it busy.",
          "Draws everything on screen. Animations, lots of windows and extra displays keep it busy."}},
        // Linux lists kernel threads by the part of their name before "/".
        {{"kernel_task", "kthreadd", "kworker", "ksoftirqd", "kswapd0", "kcompactd0", "khugepaged",
          "rcu_preempt", "rcu_sched", "migration", "irq", "jbd2", "idle_inject", "kidle_inject"},
         {"The heart of Linux: drivers, memory and files. It also takes CPU to cool the computer.",
          "The heart of Linux: drivers, memory and files.", true}},
        {{"mds", "mds_stores", "mdworker", "mdworker_shared", "corespotlightd", "mdsync"},
         {"Spotlight, indexing your files. It calms down once it has caught up.",
          "Spotlight, indexing your files. It calms down once it's caught up."}},
        {{"tracker-miner-fs-3", "tracker-miner-fs", "tracker-miner-f", "tracker-extract-3", "tracker-extract",
          "localsearch-3", "localsearch-extractor-3", "localsearch-ext", "baloo_file", "baloo_file_extractor",
          "baloo_file_extr"},
         {"The desktop's file search, indexing your files. It calms down once it has caught up.",
          "The desktop's file search, indexing your files. It calms down once it's caught up."}},
        {{"backupd", "backupd-helper"},
         {"Time Machine, backing up. It stops when the backup finishes.", "Time Machine, backing up."}},
        {{"deja-dup", "deja-dup-monitor", "deja-dup-monito", "duplicity", "timeshift", "borg", "restic"},
         {"A backup under way. It stops when the backup finishes.", "A backup under way."}},
        {{"sysmond", "gnome-system-monitor", "gnome-system-mo", "plasma-systemmonitor", "plasma-systemmo",
          "ksystemstats", "ksysguardd"},
         {{}, "Feeds System Monitor. Close it and I'll calm down a bit."}},
        {{"photoanalysisd", "mediaanalysisd", "photolibraryd"},
         {"Photos, scanning your library. It finishes in the background.", "Photos, scanning your library."}},
        {{"gnome-photos", "shotwell", "digikam"}, {{}, "Your photo manager, scanning your library."}},
        {{"softwareupdated", "packagekitd", "gnome-software", "plasma-discover", "fwupd",
          "unattended-upgrade", "unattended-upgrades", "unattended-upgr", "apt", "apt-get", "dpkg", "dnf",
          "zypper", "snapd", "flatpak"},
         {"Checking for or installing Linux updates.", "Checking for or installing updates."}},
        {{"bird", "cloudd", "fileproviderd"}, {"iCloud, syncing your files.", "iCloud, syncing your files."}},
        {{"gvfsd-google", "gvfsd-onedrive", "onedrive", "nextcloud", "owncloud", "dropbox", "insync",
          "rclone", "megasync"},
         {"Cloud storage, syncing your files.", "Cloud storage, syncing your files."}},
        {{"trustd", "syspolicyd", "XprotectService", "fapolicyd", "clamd", "clamscan", "freshclam",
          "clamonacc"},
         {{}, "Security checks on apps and downloads."}},
        {{"coreaudiod", "pipewire", "pipewire-pulse", "wireplumber", "pulseaudio"},
         {"Handling sound.", "Handling sound."}},
        {{"bluetoothd"}, {"Talking to Bluetooth devices.", "Talking to Bluetooth devices."}},
        {{"launchd", "systemd", "init"}, {{}, "Starts and watches every other process."}},
        {{"cfprefsd", "dconf-service", "xfconfd"}, {{}, "Reading and saving app settings."}},
        {{"logd", "syslogd", "systemd-journald", "systemd-journal", "rsyslogd", "syslog-ng"},
         {{}, "Writing system logs."}},
        {{"hidd", "ibus-daemon", "ibus-x11", "fcitx5", "fcitx", "touchegg"},
         {{}, "Keyboard, mouse and trackpad input."}},
    };
    return groups;
}

// Every process by its name as `key` gives it.
template <typename Key> std::unordered_map<Key, const SystemProcess*> indexed(Key (*key)(std::string_view)) {
    std::unordered_map<Key, const SystemProcess*> index;
    for (const ProcessGroup& group : processGroups()) {
        for (const std::string_view name : group.names) {
            index.emplace(key(name), &group.notes);
        }
    }
    return index;
}

} // namespace

std::optional<std::string> note(const AppKey& app) {
    if (app.kind == AppKey::Kind::system) {
        return std::nullopt;
    }
    const std::string name = lowercased(app.displayName);
    const std::string path = lowercased(app.id);
    for (const AppRule& rule : appRules()) {
        if (matches(rule, name, path)) {
            return std::string(rule.note);
        }
    }
    return std::nullopt;
}

std::optional<std::string> note(std::string_view forProcess) {
    static const auto index = indexed(lowercased);
    const auto it = index.find(lowercased(forProcess));
    if (it == index.end() || it->second->culpritNote.empty()) {
        return std::nullopt;
    }
    return std::string(it->second->culpritNote);
}

const SystemProcess* systemProcess(std::string_view name) {
    static const auto index = indexed<std::string_view>([](std::string_view name) { return name; });
    const auto it = index.find(name);
    return it == index.end() ? nullptr : it->second;
}

} // namespace halvrick::CulpritNotes
