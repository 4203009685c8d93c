#pragma once

#include <optional>

namespace halvrick {

// The system's thermal pressure, ordered by raw value.
enum class ThermalLevel : int { nominal = 0, fair = 1, serious = 2, critical = 3 };

constexpr std::optional<ThermalLevel> thermalLevelFromRaw(int raw) {
    if (raw < 0 || raw > 3) {
        return std::nullopt;
    }
    return static_cast<ThermalLevel>(raw);
}

constexpr int rawValue(ThermalLevel t) { return static_cast<int>(t); }

} // namespace halvrick
