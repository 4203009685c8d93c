#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace halvrick {

// The kernel's memory-pressure level; ordered by raw value.
enum class MemoryPressure : int { normal = 1, warning = 2, critical = 4 };

inline constexpr std::array<MemoryPressure, 3> allMemoryPressures{
    MemoryPressure::normal, MemoryPressure::warning, MemoryPressure::critical};

constexpr std::optional<MemoryPressure> memoryPressureFromRaw(int raw) {
    switch (raw) {
    case 1:
        return MemoryPressure::normal;
    case 2:
        return MemoryPressure::warning;
    case 4:
        return MemoryPressure::critical;
    default:
        return std::nullopt;
    }
}

// From a kernel-style level: below 2 normal (zero and negative included), 2 or 3 warning, 4 and up critical.
constexpr MemoryPressure memoryPressureFromLevel(std::int32_t level) {
    if (level < 2) {
        return MemoryPressure::normal;
    }
    return level < 4 ? MemoryPressure::warning : MemoryPressure::critical;
}

constexpr int rawValue(MemoryPressure p) {
    return static_cast<int>(p);
}

} // namespace halvrick
