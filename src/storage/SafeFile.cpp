#include "storage/SafeFile.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace halvrick::SafeFile {

namespace {

std::atomic<unsigned> temporaryCounter{0};

int openRetrying(const char* path, int flags, mode_t mode = 0) {
    for (;;) {
        const int fd = ::open(path, flags, mode);
        if (fd >= 0 || errno != EINTR) {
            return fd;
        }
    }
}

constexpr char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
constexpr std::string_view temporaryMark = ".~";
constexpr std::size_t temporaryDigits = 6;

// Short, so that a long file name still leaves room for it, and marked, so that the sweep can tell it
// from a user's own "notes.txt.backup"; a name taken means another try.
std::string temporarySuffix() {
    std::uint64_t value = static_cast<std::uint64_t>(::getpid()) * 2654435761u + temporaryCounter++ * 40503u;
    std::string suffix(temporaryMark);
    for (std::size_t i = 0; i < temporaryDigits; ++i) {
        suffix += digits[value % 36];
        value /= 36;
    }
    return suffix;
}

bool isTemporaryName(std::string_view name) {
    const std::size_t suffix = temporaryMark.size() + temporaryDigits;
    if (name.size() <= suffix || name.substr(name.size() - suffix, temporaryMark.size()) != temporaryMark) {
        return false;
    }
    const std::string_view random = name.substr(name.size() - temporaryDigits);
    return random.find_first_not_of(std::string_view(digits, 36)) == std::string_view::npos;
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Where the bytes must end up: a symlink to a regular file is written through. Any other link is replaced:
// renaming over what it leads to would replace a device or a FIFO, or create a file where it points.
std::string targetOf(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        struct stat target {};
        if (::realpath(path.c_str(), resolved) && ::stat(resolved, &target) == 0 && S_ISREG(target.st_mode)) {
            return resolved;
        }
    }
    return path;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself durable; a folder that cannot be synced still holds the new file.
void syncFolder(const std::string& folder) {
    const int fd = openRetrying(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

ReadResult read(const QString& path, std::int64_t limit) {
    const QByteArray name = QFile::encodeName(path);
    ReadResult result;
    // Non-blocking, so that a FIFO cannot hold the open; a terminal cannot become ours either.
    const int fd = openRetrying(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        struct stat info {};
        // A dangling symlink still occupies the name.
        result.status = errno == ENOENT && ::lstat(name.constData(), &info) != 0 ? ReadResult::Status::missing
                                                                                 : ReadResult::Status::unreadable;
        return result;
    }
    result.status = ReadResult::Status::unreadable;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > limit) {
        ::close(fd);
        return result;
    }
    QByteArray bytes;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            ::close(fd);
            return result;
        }
        if (count == 0) {
            break;
        }
        // The file may grow while it is read.
        if (bytes.size() + count > limit) {
            ::close(fd);
            return result;
        }
        bytes.append(buffer, static_cast<qsizetype>(count));
    }
    ::close(fd);
    result.status = ReadResult::Status::read;
    result.bytes = std::move(bytes);
    return result;
}

bool write(const QString& path, const QByteArray& bytes) {
    const std::string target = targetOf(QFile::encodeName(path).toStdString());
    const std::string folder = folderOf(target);

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = target + temporarySuffix();
        fd = openRetrying(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (fd < 0) {
        return false;
    }
    struct stat existing {};
    bool ok = true;
    if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
    }
    ok = ok && writeAll(fd, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    // Until the data is on disk a full disk may still refuse it; renaming before would lose the old file.
    ok = ok && ::fdatasync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

int sweepTemporaries(const QString& folder) {
    const int fd = openRetrying(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (dir == nullptr) {
        if (fd >= 0) {
            ::close(fd);
        }
        return 0;
    }
    const auto now = std::chrono::system_clock::now();
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat info {};
        if (!isTemporaryName(entry->d_name) ||
            ::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(info.st_mode) || info.st_uid != ::geteuid() || info.st_nlink != 1) {
            continue;
        }
        const auto modified = std::chrono::system_clock::time_point(
            std::chrono::duration_cast<std::chrono::system_clock::duration>(
                std::chrono::seconds(info.st_mtim.tv_sec) + std::chrono::nanoseconds(info.st_mtim.tv_nsec)));
        // unlinkat never follows a link, should one have taken the name meanwhile.
        if (now - modified >= sweepAge && ::unlinkat(::dirfd(dir), entry->d_name, 0) == 0) {
            ++removed;
        }
    }
    ::closedir(dir);
    return removed;
}

} // namespace halvrick::SafeFile
