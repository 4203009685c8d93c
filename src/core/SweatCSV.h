#pragma once

#include "core/StatsQueries.h"

#include <string>
#include <string_view>
#include <vector>

namespace halvrick {

// The daily history as comma-separated text.
namespace SweatCSV {

inline constexpr std::string_view header =
    "day,sweating_minutes,meltdown_minutes,active_minutes,prompts_shown,breaks_taken";

// The header and one line per row, each ending with a line feed; minutes with one decimal and a full
// stop whatever the user's locale.
std::string text(const std::vector<DailyTotals>& days);

} // namespace SweatCSV

} // namespace halvrick
