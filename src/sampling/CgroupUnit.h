#pragma once

#include <string>
#include <string_view>

namespace halvrick {

// The sandbox a process runs in, as the systemd unit of its cgroup names it.
struct CgroupUnit {
    enum class Kind { none, flatpak, snap };
    Kind kind = Kind::none;
    std::string id;  // the flatpak application id, or the snap's name
    std::string app; // the application inside the snap

    // From the text of /proc/<pid>/cgroup: "app-flatpak-<id>-<n>.scope" or "snap.<name>.<app>...".
    static CgroupUnit fromCgroup(std::string_view cgroupText);
    friend bool operator==(const CgroupUnit&, const CgroupUnit&) = default;
};

} // namespace halvrick
