#pragma once

#include "sampling/KeptFile.h"
#include "sampling/MachineReadings.h"
#include "sampling/MemInfo.h"

#include <string>
#include <vector>

namespace halvrick {

// Memory and swap from <procRoot>/meminfo, pressure from <procRoot>/pressure/memory (the MemAvailable share
// when pressure stall information is missing or unsupported), storage from statvfs of the first of
// `storagePaths` that answers. Both files stay open. The swap and pressure readings that follow a memory
// reading use the meminfo it read, once each, so that a sample reads the file once.
class LinuxMachineReadings final : public MachineReadings {
public:
    LinuxMachineReadings(std::string procRoot, std::vector<std::string> storagePaths);

    std::optional<MemoryReading> readMemory() override;
    std::optional<std::uint64_t> readSwapUsed() override;
    std::optional<std::int32_t> readPressureLevel() override;
    std::optional<StorageReading> readStorage() override;

private:
    std::optional<MemInfo> readMemInfo();
    // The memory reading's meminfo when `unused` says it was not used yet, else a new reading.
    const std::optional<MemInfo>& memInfoAfterMemory(bool& unused);

    KeptFile memInfoFile_;
    KeptFile pressureFile_;
    std::vector<std::string> storagePaths_;
    std::optional<MemInfo> memInfo_;
    bool unusedForSwap_ = false;
    bool unusedForPressure_ = false;
};

} // namespace halvrick
