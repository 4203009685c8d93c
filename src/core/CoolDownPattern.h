#pragma once

#include <array>
#include <optional>

namespace halvrick {

// The rhythm of the one-minute guided breathing exercise: four rounds of inhale, hold, exhale.
struct CoolDownPattern {
    enum class Stage : int { inhale = 0, hold = 1, exhale = 2 };

    struct Step {
        Stage stage;
        double seconds;

        friend bool operator==(const Step&, const Step&) = default;
    };

    // Where an elapsed time falls: the round (1...rounds), its stage and the seconds left in that stage.
    struct Position {
        int round;
        Stage stage;
        double remaining;

        friend bool operator==(const Position&, const Position&) = default;
    };

    static constexpr std::array<Step, 3> steps{{{Stage::inhale, 4}, {Stage::hold, 4}, {Stage::exhale, 6}}};
    static constexpr int rounds = 4;
    static constexpr double cycleSeconds = steps[0].seconds + steps[1].seconds + steps[2].seconds;
    static constexpr double totalSeconds = cycleSeconds * rounds;

    // None before the start, from totalSeconds on, and for a time that is not a number.
    static std::optional<Position> stage(double elapsed);
};

} // namespace halvrick
