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
    // Folders in `sizes` that hold something the walk could not measure (a subfolder that cannot be
    // read, a folder that moved while it was walked): their size is what could be counted.
    std::set<std::string> partlyMeasured;

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

// A missing folder is in neither map; a link loop in place of a folder is denied. A folder whose top
// level cannot be listed is denied; one that counted nothing and met an error on the way is denied too.
// Symlinks are never followed below the top, and a walk never leaves the file system of its folder.
// Memory and open descriptors stay bounded whatever the size and depth of the tree.
// Once `stop` is asked, the walk ends within an entry and leaves out the folder it was in and every later
// one: a folder is never reported with part of its size.
Result measure(const std::vector<Folder>& folders, std::stop_token stop = {});
Result measure(std::stop_token stop = {});

} // namespace FolderSizer

} // namespace halvrick
