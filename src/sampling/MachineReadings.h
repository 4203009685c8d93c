#pragma once

#include <cstdint>
#include <optional>

namespace halvrick {

struct MemoryReading {
    std::uint64_t total = 0;
    std::uint64_t used = 0;
    std::uint64_t cached = 0;

    friend bool operator==(const MemoryReading&, const MemoryReading&) = default;
};

struct StorageReading {
    std::uint64_t total = 0;
    std::uint64_t free = 0;

    friend bool operator==(const StorageReading&, const StorageReading&) = default;
};

// The machine's memory, swap, pressure and storage figures, in bytes; nothing when a reading fails.
class MachineReadings {
public:
    virtual ~MachineReadings() = default;

    virtual std::optional<MemoryReading> readMemory() = 0;
    virtual std::optional<std::uint64_t> readSwapUsed() = 0;
    // Kernel-style level: 1 normal, 2 warning, 4 critical.
    virtual std::optional<std::int32_t> readPressureLevel() = 0;
    virtual std::optional<StorageReading> readStorage() = 0;
};

} // namespace halvrick
