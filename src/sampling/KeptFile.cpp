#include "sampling/KeptFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <utility>

namespace halvrick {

namespace {

ssize_t readAt(int fd, char* buffer, std::size_t size, off_t offset) {
    ssize_t n = 0;
    do {
        n = ::pread(fd, buffer, size, offset);
    } while (n < 0 && errno == EINTR);
    return n;
}

} // namespace

KeptFile::KeptFile(std::string path) : path_(std::move(path)) {}

KeptFile::~KeptFile() { close(); }

KeptFile::KeptFile(KeptFile&& other) noexcept
    : path_(std::move(other.path_)), fd_(std::exchange(other.fd_, -1)) {}

KeptFile& KeptFile::operator=(KeptFile&& other) noexcept {
    if (this != &other) {
        close();
        path_ = std::move(other.path_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

bool KeptFile::ensureOpen() {
    if (fd_ < 0) {
        fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    }
    return fd_ >= 0;
}

void KeptFile::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::optional<std::string_view> KeptFile::read(char* buffer, std::size_t size) {
    // A kept file that fails may have been removed or replaced: one more try on a fresh descriptor.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!ensureOpen()) {
            return std::nullopt;
        }
        // A file of the kernel gives all it holds at once, up to the size asked for.
        if (const ssize_t n = readAt(fd_, buffer, size, 0); n >= 0) {
            return std::string_view(buffer, static_cast<std::size_t>(n));
        }
        close();
    }
    return std::nullopt;
}

std::optional<std::string> KeptFile::readAll() {
    std::array<char, 8192> chunk{};
    const auto start = read(chunk.data(), chunk.size());
    if (!start) {
        return std::nullopt;
    }
    std::string text(*start);
    // Only a full chunk may have more behind it.
    for (std::size_t last = text.size(); last == chunk.size();) {
        const ssize_t n = readAt(fd_, chunk.data(), chunk.size(), static_cast<off_t>(text.size()));
        if (n < 0) {
            close();
            return std::nullopt;
        }
        last = static_cast<std::size_t>(n);
        text.append(chunk.data(), last);
    }
    return text;
}

} // namespace halvrick
