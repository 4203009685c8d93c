#pragma once

#include "core/DailyGrade.h"

#include <cstdint>
#include <optional>
#include <string>

namespace halvrick {

// What the evening check-in says about one day.
struct EveningSummary {
    std::string dayKey;
    // None when the ledger has no entry for the day.
    std::optional<DailyGrade> grade;
    // Sweating plus meltdown.
    double heatSeconds = 0;
    std::int64_t breaksTaken = 0;
    // The day's top culprit by name.
    std::optional<std::string> culprit;

    friend bool operator==(const EveningSummary&, const EveningSummary&) = default;
};

} // namespace halvrick
