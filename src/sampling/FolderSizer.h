#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <stop_token>
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
// Once `stop` is asked, the walk ends within an entry and leaves out the folder it was in and every later
// one: a folder is never reported with part of its size.
Result measure(const std::vector<Folder>& folders, std::stop_token stop = {});
Result measure(std::stop_token stop = {});

} // namespace FolderSizer

} // namespace halvrick
