#include "sampling/FolderSizer.h"

#include <QDir>
#include <QStandardPaths>
#include <QString>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace halvrick {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

struct Walk {
    std::stop_token stop;
    std::uint64_t total = 0;
    int firstError = 0;

    void keep(int error) {
        if (firstError == 0) {
            firstError = error;
        }
    }
};

// Takes ownership of `fd`; returns errno when the directory cannot be opened.
DirHandle openDirectory(int fd, int& error) {
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        error = errno;
        ::close(fd);
    }
    return DirHandle(dir);
}

// Returns errno of a failed read; the names read before it are kept. A stop ends the listing early.
int listNames(DIR* dir, std::vector<std::string>& names, const std::stop_token& stop) {
    while (!stop.stop_requested()) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            return errno;
        }
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            names.emplace_back(name);
        }
    }
    return 0;
}

// Everything is opened relative to its parent, so paths deeper than PATH_MAX are measured too.
void walkNames(DIR* dir, const std::vector<std::string>& names, Walk& walk) {
    const int fd = ::dirfd(dir);
    for (const std::string& name : names) {
        if (walk.stop.stop_requested()) {
            return;
        }
        struct stat st {};
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        if (S_ISREG(st.st_mode)) {
            walk.total += st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
        } else if (S_ISDIR(st.st_mode)) {
            int error = 0;
            const DirHandle child = openDirectory(
                ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC), error);
            if (!child) {
                walk.keep(error);
                continue;
            }
            std::vector<std::string> childNames;
            if (const int listError = listNames(child.get(), childNames, walk.stop)) {
                walk.keep(listError);
            }
            walkNames(child.get(), childNames, walk);
        }
    }
}

// The byte count, or the errno that stopped the measurement.
struct Size {
    std::uint64_t bytes = 0;
    int error = 0;
};

Size sizeOf(const std::string& path, const std::stop_token& stop) {
    int error = 0;
    // The folder itself may be a symlink (a Downloads folder kept on another disk): that one is followed.
    const DirHandle top = openDirectory(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), error);
    if (!top) {
        return {0, error};
    }
    std::vector<std::string> names;
    if (const int listError = listNames(top.get(), names, stop)) {
        return {0, listError};
    }
    Walk walk{stop};
    walkNames(top.get(), names, walk);
    if (walk.total > 0) {
        return {walk.total, 0};
    }
    return {0, walk.firstError};
}

std::string cleaned(const std::string& path) {
    return path.empty() ? path : QDir::cleanPath(QString::fromStdString(path)).toStdString();
}

} // namespace

FolderSizer::Locations FolderSizer::standardLocations() {
    const auto location = [](QStandardPaths::StandardLocation which) {
        return QStandardPaths::writableLocation(which).toStdString();
    };
    return {QDir::homePath().toStdString(), location(QStandardPaths::DownloadLocation),
            location(QStandardPaths::DesktopLocation), location(QStandardPaths::DocumentsLocation)};
}

std::vector<FolderSizer::Folder> FolderSizer::folders(const Locations& locations) {
    const std::string home = cleaned(locations.home);
    const Folder candidates[] = {
        {"downloads", "Downloads", cleaned(locations.downloads)},
        {"desktop", "Desktop", cleaned(locations.desktop)},
        {"documents", "Documents", cleaned(locations.documents)},
    };
    std::vector<Folder> found;
    for (const Folder& folder : candidates) {
        if (!folder.path.empty() && folder.path != home) {
            found.push_back(folder);
        }
    }
    return found;
}

std::vector<FolderSizer::Folder> FolderSizer::folders() {
    return folders(standardLocations());
}

FolderSizer::Result FolderSizer::measure(const std::vector<Folder>& folders, std::stop_token stop) {
    Result result;
    for (const Folder& folder : folders) {
        struct stat st {};
        if (::stat(folder.path.c_str(), &st) != 0) {
            continue;
        }
        const Size size = sizeOf(folder.path, stop);
        if (stop.stop_requested()) {
            break;
        }
        if (size.error != 0) {
            result.denied.insert(folder.key);
        } else {
            result.sizes[folder.key] = size.bytes;
        }
    }
    return result;
}

FolderSizer::Result FolderSizer::measure(std::stop_token stop) {
    return measure(folders(), std::move(stop));
}

} // namespace halvrick
