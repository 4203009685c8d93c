#include "core/DailyGrade.h"

#include <algorithm>
#include <cmath>

namespace halvrick {

std::optional<DailyGrade> DailyGrade::evaluate(const DailyTotals& day) {
    if (!(day.activeSeconds >= minimumActiveSeconds)) {
        return std::nullopt;
    }
    Parts parts;
    const double ratio = day.heatSeconds() / std::max(1.0, 0.5 * day.activeSeconds);
    parts.heat = (1 - std::min(1.0, ratio)) * 50;
    const double shown = static_cast<double>(day.promptsShown);
    const double taken = static_cast<double>(day.breaksTaken);
    parts.breaks = day.promptsShown == 0 ? 30 : std::min(1.0, taken / shown) * 30;
    const double stretch = day.longestStretchSeconds > 0 ? day.longestStretchSeconds : day.activeSeconds;
    parts.stretch = (1 - std::min(1.0, stretch / stretchLimitSeconds)) * 20;

    const double total = parts.heat + parts.breaks + parts.stretch;
    // Bounded before the conversion: rows built by hand can hold any number.
    const double bounded = std::isnan(total) ? 0.0 : std::clamp(std::round(total), -1e6, 1e6);
    const std::int64_t rounded = static_cast<std::int64_t>(bounded);
    return DailyGrade(std::clamp<std::int64_t>(rounded, 0, 100), letterFromValue(rounded), parts);
}

std::optional<std::int64_t> DailyGrade::average(const std::vector<DailyTotals>& days) {
    double sum = 0;
    int graded = 0;
    for (const DailyTotals& day : days) {
        if (const auto grade = evaluate(day)) {
            sum += static_cast<double>(grade->value);
            graded += 1;
        }
    }
    if (graded == 0) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(std::round(sum / graded));
}

DailyGrade::Letter DailyGrade::letterFromValue(std::int64_t value) {
    if (value > 89) {
        return Letter::a;
    }
    if (value > 79) {
        return Letter::b;
    }
    if (value > 69) {
        return Letter::c;
    }
    if (value >= 60) {
        return Letter::d;
    }
    return Letter::f;
}

std::optional<DailyGrade::Letter> DailyGrade::letterFromString(std::string_view raw) {
    for (const Letter letter : allLetters) {
        if (toString(letter) == raw) {
            return letter;
        }
    }
    return std::nullopt;
}

std::string_view toString(DailyGrade::Letter letter) {
    switch (letter) {
    case DailyGrade::Letter::a:
        return "A";
    case DailyGrade::Letter::b:
        return "B";
    case DailyGrade::Letter::c:
        return "C";
    case DailyGrade::Letter::d:
        return "D";
    case DailyGrade::Letter::f:
        return "F";
    }
    return "F";
}

} // namespace halvrick
