#include "sampling/LinuxMachineReadings.h"

#include "sampling/PressureStall.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <utility>

namespace halvrick {

namespace {

// /proc files report a size of 0, so read until the end.
std::optional<std::string> readTextFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string text;
    std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n == 0) {
            break;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ::close(fd);
            return std::nullopt;
        }
        text.append(buffer.data(), static_cast<std::size_t>(n));
    }
    ::close(fd);
    return text;
}

std::optional<StorageReading> statStorage(const std::string& path) {
    struct statvfs fs {};
    if (::statvfs(path.c_str(), &fs) != 0) {
        return std::nullopt;
    }
    const std::uint64_t unit = fs.f_frsize != 0 ? fs.f_frsize : fs.f_bsize;
    StorageReading reading;
    if (unit == 0 || __builtin_mul_overflow(unit, static_cast<std::uint64_t>(fs.f_blocks), &reading.total) ||
        __builtin_mul_overflow(unit, static_cast<std::uint64_t>(fs.f_bavail), &reading.free)) {
        return std::nullopt;
    }
    return reading;
}

} // namespace

LinuxMachineReadings::LinuxMachineReadings(std::string procRoot, std::vector<std::string> storagePaths)
    : procRoot_(std::move(procRoot)), storagePaths_(std::move(storagePaths)) {}

std::optional<MemInfo> LinuxMachineReadings::readMemInfo() const {
    const auto text = readTextFile(procRoot_ + "/meminfo");
    return text ? MemInfo::parse(*text) : std::nullopt;
}

std::optional<MemoryReading> LinuxMachineReadings::readMemory() {
    const auto info = readMemInfo();
    if (!info) {
        return std::nullopt;
    }
    return MemoryReading{info->total(), info->used(), info->cached()};
}

std::optional<std::uint64_t> LinuxMachineReadings::readSwapUsed() {
    const auto info = readMemInfo();
    return info ? info->swapUsed() : std::nullopt;
}

std::optional<std::int32_t> LinuxMachineReadings::readPressureLevel() {
    // A kernel booted with psi=0 still lists the file but fails to read it.
    if (const auto text = readTextFile(procRoot_ + "/pressure/memory")) {
        if (const auto stall = PressureStall::parse(*text)) {
            return stall->level();
        }
    }
    const auto info = readMemInfo();
    if (!info) {
        return std::nullopt;
    }
    return PressureStall::levelFromAvailable(info->available(), info->total());
}

std::optional<StorageReading> LinuxMachineReadings::readStorage() {
    for (const std::string& path : storagePaths_) {
        if (const auto reading = statStorage(path)) {
            return reading;
        }
    }
    return std::nullopt;
}

} // namespace halvrick
