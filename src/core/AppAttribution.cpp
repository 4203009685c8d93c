#include "core/AppAttribution.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

namespace halvrick::AppAttribution {

namespace {

// The kernel keeps only this many bytes of a process name; a name read from another user's process
// (which has no readable path) is cut to it.
constexpr std::size_t kernelNameLength = 15;

std::vector<std::string_view> splitKeepingEmpty(std::string_view path) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = path.find('/', start);
        if (slash == std::string_view::npos) {
            pieces.push_back(path.substr(start));
            return pieces;
        }
        pieces.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
}

bool endsWithAppIgnoringCase(std::string_view piece) {
    if (piece.size() <= 4) {
        return false;
    }
    const std::string_view tail = piece.substr(piece.size() - 4);
    return std::equal(tail.begin(), tail.end(), ".app", [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

bool startsWithAny(std::string_view path, std::initializer_list<std::string_view> prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(), [&](std::string_view p) { return path.starts_with(p); });
}

} // namespace

const std::unordered_set<std::string>& systemProcessNames() {
    static const std::unordered_set<std::string> names = [] {
        const std::array<const char*, 37> base{
            "kernel_task", "launchd", "WindowServer", "mds", "mds_stores", "mdworker", "mdworker_shared",
            "coreaudiod", "hidd", "logd", "syslogd", "opendirectoryd", "powerd", "backupd", "ps",
            // Their counterparts here: init, display servers and compositors, the file indexers, the
            // sound servers, input and device handling, the journal, directory services and power.
            "systemd", "Xorg", "Xwayland", "gnome-shell", "kwin_wayland", "kwin_x11", "tracker-miner-fs-3",
            "tracker-extract-3", "localsearch-3", "baloo_file", "baloo_file_extractor", "pipewire",
            "pipewire-pulse", "wireplumber", "pulseaudio", "systemd-udevd", "systemd-journald", "rsyslogd",
            "sssd", "upowerd", "deja-dup-monitor", "kthreadd"};
        std::unordered_set<std::string> set;
        for (const char* name : base) {
            const std::string s(name);
            set.insert(s);
            set.insert(s.substr(0, kernelNameLength));
        }
        return set;
    }();
    return names;
}

std::optional<std::string> outermostAppBundlePath(std::string_view path) {
    const std::vector<std::string_view> pieces = splitKeepingEmpty(path);
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) {
            joined += '/';
        }
        joined += pieces[i];
        if (endsWithAppIgnoringCase(pieces[i])) {
            return joined;
        }
    }
    return std::nullopt;
}

std::string lastComponent(std::string_view path) {
    std::string_view last;
    for (std::string_view piece : splitKeepingEmpty(path)) {
        if (!piece.empty()) {
            last = piece;
        }
    }
    return last.empty() ? std::string(path) : std::string(last);
}

AppKey classify(const std::optional<std::string>& executablePath, const std::optional<std::string>& processName) {
    const auto& system = AppKey::system();
    if (!executablePath || executablePath->empty()) {
        if (!processName || processName->empty() || systemProcessNames().contains(*processName)) {
            return system;
        }
        return {AppKey::Kind::process, *processName, *processName};
    }
    const std::string& path = *executablePath;
    if (const auto bundle = outermostAppBundlePath(path)) {
        if (startsWithAny(*bundle, {"/System/Library/", "/Library/Apple/"})) {
            return system;
        }
        const std::string name = lastComponent(*bundle);
        return {AppKey::Kind::app, *bundle, name.substr(0, name.size() - 4)};
    }
    const std::string name = lastComponent(path);
    if (systemProcessNames().contains(name) ||
        startsWithAny(path, {"/System/", "/usr/libexec/", "/usr/sbin/", "/sbin/", "/Library/Apple/",
                             "/usr/lib/systemd/", "/lib/systemd/"})) {
        return system;
    }
    return {AppKey::Kind::process, name, name};
}

} // namespace halvrick::AppAttribution
