#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace halvrick {

// The span the history window and its report card cover; never stored.
enum class ReportPeriod { week, month, year, allTime };

inline constexpr std::array<ReportPeriod, 4> allReportPeriods{ReportPeriod::week, ReportPeriod::month,
                                                              ReportPeriod::year, ReportPeriod::allTime};

std::string_view toString(ReportPeriod period);
// Exact and case-sensitive.
std::optional<ReportPeriod> reportPeriodFromString(std::string_view raw);

// The option's name in the history picker.
std::string_view label(ReportPeriod period);
// How many days back from today the period covers; nothing for every stored day.
std::optional<int> dayCount(ReportPeriod period);

} // namespace halvrick
