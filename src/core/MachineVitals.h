#pragma once

#include "core/Date.h"
#include "core/JsonCoding.h"
#include "core/MemoryPressure.h"

#include <cstdint>

namespace halvrick {

// The compact sample kept in the vitals history.
struct VitalsSnapshot {
    Date date;
    std::uint64_t memoryUsed = 0;
    std::uint64_t swapUsed = 0;
    MemoryPressure pressure = MemoryPressure::normal;
    std::uint64_t storageFree = 0;

    VitalsSnapshot() = default;
    VitalsSnapshot(Date date, std::uint64_t memoryUsed, std::uint64_t swapUsed, MemoryPressure pressure,
                   std::uint64_t storageFree)
        : date(date), memoryUsed(memoryUsed), swapUsed(swapUsed), pressure(pressure),
          storageFree(storageFree) {}

    json::Json toJson() const;
    static VitalsSnapshot fromJson(const json::Json& value);

    friend bool operator==(const VitalsSnapshot&, const VitalsSnapshot&) = default;
};

// One live machine sample. storageTotal 0 means no storage reading was available.
struct MachineVitals {
    Date date;
    std::uint64_t memoryTotal = 0;
    std::uint64_t memoryUsed = 0;
    std::uint64_t memoryCached = 0;
    std::uint64_t swapUsed = 0;
    MemoryPressure pressure = MemoryPressure::normal;
    std::uint64_t storageTotal = 0;
    std::uint64_t storageFree = 0;

    MachineVitals() = default;
    // Clamps used and cached memory to the total and free storage to the storage total.
    MachineVitals(Date date, std::uint64_t memoryTotal, std::uint64_t memoryUsed, std::uint64_t memoryCached,
                  std::uint64_t swapUsed, MemoryPressure pressure, std::uint64_t storageTotal,
                  std::uint64_t storageFree);

    std::uint64_t memoryFree() const;
    double memoryFraction() const;
    bool hasStorage() const { return storageTotal != 0; }
    std::uint64_t storageUsed() const;
    // The used share of storage, 0 to 1.
    double storageFraction() const;
    bool isStorageTight() const { return storageTotal != 0 && storageFraction() >= 0.9; }
    bool isMemoryTight() const { return pressure != MemoryPressure::normal; }
    VitalsSnapshot snapshot() const { return {date, memoryUsed, swapUsed, pressure, storageFree}; }

    json::Json toJson() const;
    // Decoding stores the values as written, without clamping.
    static MachineVitals fromJson(const json::Json& value);

    friend bool operator==(const MachineVitals&, const MachineVitals&) = default;
};

// Signed differences from an earlier snapshot to the current sample; positive means the value grew.
struct VitalsChange {
    std::int64_t memoryUsed = 0;
    std::int64_t swapUsed = 0;
    std::int64_t storageFree = 0;

    static VitalsChange between(const VitalsSnapshot& snapshot, const MachineVitals& vitals);

    friend bool operator==(const VitalsChange&, const VitalsChange&) = default;
};

namespace json {
MemoryPressure requiredMemoryPressure(const Json& object, std::string_view key);
}

} // namespace halvrick
