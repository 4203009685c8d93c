#include "sampling/LinuxMachineReadings.h"

#include "sampling/PressureStall.h"

#include <sys/statvfs.h>

#include <utility>

namespace halvrick {

namespace {

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
    : memInfoFile_(procRoot + "/meminfo"), pressureFile_(procRoot + "/pressure/memory"),
      storagePaths_(std::move(storagePaths)) {}

std::optional<MemInfo> LinuxMachineReadings::readMemInfo() {
    const auto text = memInfoFile_.readAll();
    return text ? MemInfo::parse(*text) : std::nullopt;
}

const std::optional<MemInfo>& LinuxMachineReadings::memInfoAfterMemory(bool& unused) {
    if (!unused) {
        memInfo_ = readMemInfo();
    }
    unused = false;
    return memInfo_;
}

std::optional<MemoryReading> LinuxMachineReadings::readMemory() {
    memInfo_ = readMemInfo();
    unusedForSwap_ = unusedForPressure_ = true;
    if (!memInfo_) {
        return std::nullopt;
    }
    return MemoryReading{memInfo_->total(), memInfo_->used(), memInfo_->cached()};
}

std::optional<std::uint64_t> LinuxMachineReadings::readSwapUsed() {
    const auto& info = memInfoAfterMemory(unusedForSwap_);
    return info ? info->swapUsed() : std::nullopt;
}

std::optional<std::int32_t> LinuxMachineReadings::readPressureLevel() {
    // A kernel booted with psi=0 still lists the file but fails to read it.
    if (const auto text = pressureFile_.readAll()) {
        if (const auto stall = PressureStall::parse(*text)) {
            unusedForPressure_ = false;
            return stall->level();
        }
    }
    const auto& info = memInfoAfterMemory(unusedForPressure_);
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
