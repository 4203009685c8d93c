#pragma once

#include "sampling/MachineReadings.h"
#include "sampling/MemInfo.h"

#include <string>
#include <vector>

namespace halvrick {

// Memory and swap from <procRoot>/meminfo, pressure from <procRoot>/pressure/memory (the MemAvailable share
// when pressure stall information is missing or unsupported), storage from statvfs of the first of
// `storagePaths` that answers.
class LinuxMachineReadings final : public MachineReadings {
public:
    LinuxMachineReadings(std::string procRoot, std::vector<std::string> storagePaths);

    std::optional<MemoryReading> readMemory() override;
    std::optional<std::uint64_t> readSwapUsed() override;
    std::optional<std::int32_t> readPressureLevel() override;
    std::optional<StorageReading> readStorage() override;

private:
    std::optional<MemInfo> readMemInfo() const;

    std::string procRoot_;
    std::vector<std::string> storagePaths_;
};

} // namespace halvrick
