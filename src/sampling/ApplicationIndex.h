#pragma once

#include "core/AppKey.h"
#include "sampling/CgroupUnit.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace halvrick {

// The installed applications, from the desktop entries of the XDG data folders, and which running
// process belongs to which of them. An immutable snapshot: build a new one when the folders change.
class ApplicationIndex {
public:
    struct Roots {
        // Data folders in precedence order: the first one holding a desktop-file id wins it.
        std::vector<std::string> dataDirs;
        // Folders searched for a program named without a path.
        std::vector<std::string> path;
        // Programs are looked up below this folder ("" for this machine); the paths stored and matched
        // are without it, as a process inside that tree would see them.
        std::string filesystemRoot;
        std::string home;

        // This user's data folders (flatpak and snap exports included) and search path.
        static Roots standard();
    };

    // The sandbox a process runs in, as its cgroup names it.
    using Sandbox = CgroupUnit;

    struct Application {
        AppKey key;       // kind app, id = the desktop file's path, displayName = its Name
        std::string icon; // the entry's Icon value
        // The resolved program; empty for a flatpak or snap.
        std::string program;
        // The program itself and, when it has one, its private folder: a process whose executable is
        // or lies under one of these belongs to the application.
        std::vector<std::string> roots;
        std::string flatpak;
        std::string snap;
        std::string snapApp;
    };

    ApplicationIndex() = default;

    static ApplicationIndex build(const Roots& roots);

    // The application a process belongs to, or none; executablePath as /proc/<pid>/exe reads.
    const Application* applicationFor(std::string_view executablePath, const Sandbox& sandbox) const;

    const std::vector<Application>& applications() const { return applications_; }
    // The existing folders whose changes can change the index.
    const std::vector<std::string>& watchedFolders() const { return watchedFolders_; }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
    };
    using Lookup = std::unordered_map<std::string, std::size_t, Hash, std::equal_to<>>;

    const Application* find(const Lookup& lookup, std::string_view key) const;

    std::vector<Application> applications_;
    Lookup byRoot_;
    Lookup byFlatpak_;
    Lookup bySnap_;
    Lookup bySnapApp_; // "<name>.<app>"
    std::vector<std::string> watchedFolders_;
};

} // namespace halvrick
