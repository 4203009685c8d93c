#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace halvrick {

// Measures the bytes held by the user's Downloads, Desktop and Documents folders. Synchronous and free of
// shared state: run it off the main thread.
namespace FolderSizer {

struct Folder {
    std::string key;  // "downloads", "desktop" or "documents"
    std::string name; // "Downloads", "Desktop" or "Documents"
    std::string path;

    friend bool operator==(const Folder&, const Folder&) = default;
};

struct Result {
    std::map<std::string, std::uint64_t> sizes;
    // Folders that exist but could not be read.
    std::set<std::string> denied;

    friend bool operator==(const Result&, const Result&) = default;
};

struct Locations {
    std::string home;
    std::string downloads;
    std::string desktop;
    std::string documents;
};

// The standard locations of this user.
Locations standardLocations();
// In the order Downloads, Desktop, Documents. An empty location is left out, and so is one equal to the
// home folder: a disabled user folder points there, and walking it would measure the whole home.
std::vector<Folder> folders(const Locations& locations);
std::vector<Folder> folders();

// A missing folder is in neither map. A folder whose top level cannot be listed is denied; one that
// counted nothing and met an error on the way is denied too. Symlinks are never followed below the top.
Result measure(const std::vector<Folder>& folders);
Result measure();

} // namespace FolderSizer

} // namespace halvrick
