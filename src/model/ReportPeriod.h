#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "core/StatsQueries.h"

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace halvrick {

class StatsLedger;

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

// The period's sums and its rows, one per day oldest first, read from the ledger at `now`.
StatsTotals periodTotals(const StatsLedger& ledger, ReportPeriod period, Date now, const Calendar& calendar);
std::vector<DailyTotals> periodDays(const StatsLedger& ledger, ReportPeriod period, Date now,
                                    const Calendar& calendar);
// Whether any row shows activity: hot time, active time, a prompt shown or a break taken. Rows of
// zeros are no data.
bool hasData(const std::vector<DailyTotals>& days);

} // namespace halvrick
