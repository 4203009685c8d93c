#pragma once

#include <array>
#include <optional>

namespace halvrick {

// How hard the machine works, in four ordered levels; compared by raw value.
enum class HeatState : int { chill = 0, warm = 1, sweating = 2, meltdown = 3 };

inline constexpr std::array<HeatState, 4> allHeatStates{HeatState::chill, HeatState::warm, HeatState::sweating,
                                                        HeatState::meltdown};

constexpr std::optional<HeatState> heatStateFromRaw(int raw) {
    if (raw < 0 || raw > 3) {
        return std::nullopt;
    }
    return static_cast<HeatState>(raw);
}

constexpr int rawValue(HeatState s) { return static_cast<int>(s); }

} // namespace halvrick
