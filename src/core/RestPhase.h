#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace halvrick {

// Where the rest coach stands in one work stretch.
enum class RestPhase : int { idle = 0, active = 1, prompting = 2, snoozed = 3, resting = 4, breakTaken = 5 };

inline constexpr std::array<RestPhase, 6> allRestPhases{RestPhase::idle,      RestPhase::active,
                                                        RestPhase::prompting, RestPhase::snoozed,
                                                        RestPhase::resting,   RestPhase::breakTaken};

constexpr std::optional<RestPhase> restPhaseFromRaw(int raw) {
    if (raw < 0 || raw > 5) {
        return std::nullopt;
    }
    return static_cast<RestPhase>(raw);
}

constexpr int rawValue(RestPhase p) {
    return static_cast<int>(p);
}

// The case name, as the debug readout shows it.
constexpr std::string_view toString(RestPhase p) {
    switch (p) {
    case RestPhase::idle:
        return "idle";
    case RestPhase::active:
        return "active";
    case RestPhase::prompting:
        return "prompting";
    case RestPhase::snoozed:
        return "snoozed";
    case RestPhase::resting:
        return "resting";
    case RestPhase::breakTaken:
        return "breakTaken";
    }
    return "idle";
}

} // namespace halvrick
