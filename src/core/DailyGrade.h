#pragma once

#include "core/StatsQueries.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace halvrick {

// A day's score 0...100 with its school letter, from staying cool, taking breaks and short stretches.
struct DailyGrade {
    enum class Letter { a, b, c, d, f };

    struct Parts {
        // 0...50 points: little hot time for the active time.
        double heat = 0;
        // 0...30 points: offered breaks taken.
        double breaks = 0;
        // 0...20 points: a short longest stretch.
        double stretch = 0;

        friend bool operator==(const Parts&, const Parts&) = default;
    };

    static constexpr std::array<Letter, 5> allLetters{Letter::a, Letter::b, Letter::c, Letter::d, Letter::f};
    // A day with less active time gets no grade.
    static constexpr double minimumActiveSeconds = 900.0;
    // A longest stretch this long or longer earns no stretch points.
    static constexpr double stretchLimitSeconds = 7200.0;

    std::int64_t value = 0;
    Letter letter = Letter::f;
    Parts parts;

    DailyGrade() = default;
    DailyGrade(std::int64_t value, Letter letter, Parts parts) : value(value), letter(letter), parts(parts) {}

    // No grade when the day had too little active time.
    static std::optional<DailyGrade> evaluate(const DailyTotals& day);
    // The rounded mean score of the graded days; nothing when none is graded.
    static std::optional<std::int64_t> average(const std::vector<DailyTotals>& days);

    static Letter letterFromValue(std::int64_t value);
    static std::optional<Letter> letterFromString(std::string_view raw);

    friend bool operator==(const DailyGrade&, const DailyGrade&) = default;
};

std::string_view toString(DailyGrade::Letter letter);

} // namespace halvrick
