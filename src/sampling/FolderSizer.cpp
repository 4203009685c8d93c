#include "sampling/FolderSizer.h"

#include <QDir>
#include <QStandardPaths>
#include <QString>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace halvrick {

namespace {

// Directory streams one walk keeps open; the folders above them are found again through "..", so a tree
// of any depth is measured with a few descriptors.
constexpr std::size_t openWindow = 16;

// One folder on the way down from the top.
struct Frame {
    DIR* dir = nullptr; // closed while it is out of the window
    dev_t device = 0;
    ino_t inode = 0;
    // Where the walk went down into a subfolder: the stream position of that entry and its name, so that
    // a stream opened again carries on right after it.
    long resume = 0;
    std::string entered;
};

DIR* openStream(int fd) {
    if (fd < 0) {
        return nullptr;
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        const int error = errno;
        ::close(fd);
        errno = error;
    }
    return dir;
}

// The byte count, or the errno that stopped the measurement; `partly` when something below the top could
// not be measured.
struct Size {
    std::uint64_t bytes = 0;
    int error = 0;
    bool partly = false;
};

// A depth-first walk with an explicit stack. Memory grows with the depth only, never with the number of
// entries, and no more than `openWindow` descriptors are held at once (fewer when the process has none to
// spare). Stays on the file system of the top folder; symlinks below the top are never followed.
class Walk {
public:
    Walk(DIR* top, const struct stat& st, std::stop_token stop) : stop_(std::move(stop)), device_(st.st_dev) {
        frames_.push_back({top, st.st_dev, st.st_ino, 0, {}});
    }
    ~Walk() {
        for (Frame& frame : frames_) {
            close(frame);
        }
    }
    Walk(const Walk&) = delete;
    Walk& operator=(const Walk&) = delete;

    Size run() {
        while (!frames_.empty() && !stop_.stop_requested()) {
            Frame& frame = frames_.back();
            const long position = ::telldir(frame.dir);
            errno = 0;
            const dirent* entry = ::readdir(frame.dir);
            if (entry == nullptr) {
                if (errno != 0) {
                    if (frames_.size() == 1) {
                        return {0, errno, false};
                    }
                    missed(errno);
                }
                climb();
                continue;
            }
            const std::string_view name = entry->d_name;
            if (name == "." || name == "..") {
                continue;
            }
            struct stat st {};
            if (::fstatat(::dirfd(frame.dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                continue;
            }
            if (S_ISREG(st.st_mode)) {
                total_ += st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
            } else if (S_ISDIR(st.st_mode) && st.st_dev == device_) {
                descend(std::string(name), position);
            }
        }
        if (total_ > 0) {
            return {total_, 0, partly_};
        }
        return {0, firstError_, false};
    }

private:
    void missed(int error) {
        if (firstError_ == 0) {
            firstError_ = error;
        }
        partly_ = true;
    }

    void close(Frame& frame) {
        if (frame.dir != nullptr) {
            ::closedir(frame.dir);
            frame.dir = nullptr;
        }
    }

    // Frees the descriptor of the highest folder still open, keeping the deepest one.
    bool release() {
        if (lowestOpen_ + 1 >= frames_.size()) {
            return false;
        }
        close(frames_[lowestOpen_++]);
        return true;
    }

    void descend(std::string name, long position) {
        const int parent = ::dirfd(frames_.back().dir);
        int fd = -1;
        for (;;) {
            fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (fd >= 0 || (errno != EMFILE && errno != ENFILE) || !release()) {
                break;
            }
        }
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0) {
            missed(errno);
            if (fd >= 0) {
                ::close(fd);
            }
            return;
        }
        // Only a mount of this same file system inside itself can lead back up; what it shows is counted
        // where it really is.
        for (const Frame& frame : frames_) {
            if (frame.inode == st.st_ino && frame.device == st.st_dev) {
                ::close(fd);
                return;
            }
        }
        DIR* dir = openStream(fd);
        if (dir == nullptr) {
            missed(errno);
            return;
        }
        frames_.back().resume = position;
        frames_.back().entered = std::move(name);
        frames_.push_back({dir, st.st_dev, st.st_ino, 0, {}});
        if (frames_.size() - lowestOpen_ > openWindow) {
            release();
        }
    }

    // Done with the deepest folder: back to its parent, opened again when it had been closed.
    void climb() {
        Frame& done = frames_.back();
        if (frames_.size() > 1 && frames_[frames_.size() - 2].dir == nullptr && !reopenParent(done)) {
            // The tree moved under the walk: what is above cannot be found again.
            missed(ENOENT);
            for (Frame& frame : frames_) {
                close(frame);
            }
            frames_.clear();
            return;
        }
        close(done);
        frames_.pop_back();
    }

    bool reopenParent(const Frame& child) {
        Frame& parent = frames_[frames_.size() - 2];
        const int fd = ::openat(::dirfd(child.dir), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0 || st.st_dev != parent.device || st.st_ino != parent.inode) {
            if (fd >= 0) {
                ::close(fd);
            }
            return false;
        }
        parent.dir = openStream(fd);
        if (parent.dir == nullptr) {
            return false;
        }
        lowestOpen_ = frames_.size() - 2;
        if (!seekPast(parent)) {
            // The entry walked into is gone: the rest of the folder cannot be told from what was counted.
            missed(ENOENT);
        }
        return true;
    }

    // Positions a reopened stream right after the entry that was walked into; on failure the stream is
    // left at its end.
    static bool seekPast(Frame& frame) {
        ::seekdir(frame.dir, frame.resume);
        const dirent* entry = ::readdir(frame.dir);
        if (entry != nullptr && frame.entered == entry->d_name) {
            return true;
        }
        ::rewinddir(frame.dir);
        while ((entry = ::readdir(frame.dir)) != nullptr) {
            if (frame.entered == entry->d_name) {
                return true;
            }
        }
        return false;
    }

    std::stop_token stop_;
    dev_t device_;
    std::vector<Frame> frames_;
    // Frames from here to the deepest are open; those above are closed.
    std::size_t lowestOpen_ = 0;
    std::uint64_t total_ = 0;
    int firstError_ = 0;
    bool partly_ = false;
};

Size sizeOf(const std::string& path, const std::stop_token& stop) {
    // The folder itself may be a symlink (a Downloads folder kept on another disk): that one is followed.
    DIR* top = openStream(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat st {};
    if (top == nullptr || ::fstat(::dirfd(top), &st) != 0) {
        const int error = errno;
        if (top != nullptr) {
            ::closedir(top);
        }
        return {0, error, false};
    }
    return Walk(top, st, stop).run();
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
        // Nothing there, a dangling link included. A link loop in its place is there but cannot be read.
        if (::stat(folder.path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
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
            if (size.partly) {
                result.partlyMeasured.insert(folder.key);
            }
        }
    }
    return result;
}

FolderSizer::Result FolderSizer::measure(std::stop_token stop) {
    return measure(folders(), std::move(stop));
}

} // namespace halvrick
