#include "model/ReportPeriod.h"

#include "core/StatsLedger.h"

#include <algorithm>

namespace halvrick {

namespace {

struct Span {
    std::string_view raw;
    std::string_view label;
    std::optional<int> days;
};

constexpr Span span(ReportPeriod period) {
    switch (period) {
    case ReportPeriod::week:
        return {"week", "Week", 7};
    case ReportPeriod::month:
        return {"month", "Month", 30};
    case ReportPeriod::year:
        return {"year", "Year", 365};
    case ReportPeriod::allTime:
        return {"allTime", "All time", std::nullopt};
    }
    return {};
}

} // namespace

std::string_view toString(ReportPeriod period) {
    return span(period).raw;
}

std::optional<ReportPeriod> reportPeriodFromString(std::string_view raw) {
    for (const ReportPeriod period : allReportPeriods) {
        if (toString(period) == raw) {
            return period;
        }
    }
    return std::nullopt;
}

std::string_view label(ReportPeriod period) {
    return span(period).label;
}

std::optional<int> dayCount(ReportPeriod period) {
    return span(period).days;
}

StatsTotals periodTotals(const StatsLedger& ledger, ReportPeriod period, Date now, const Calendar& calendar) {
    if (const auto days = dayCount(period)) {
        return ledger.totals(*days, now, calendar);
    }
    return ledger.allTimeTotals(now, calendar);
}

std::vector<DailyTotals> periodDays(const StatsLedger& ledger, ReportPeriod period, Date now,
                                    const Calendar& calendar) {
    if (const auto days = dayCount(period)) {
        return ledger.dailyTotals(*days, now, calendar);
    }
    return ledger.allDailyTotals(now, calendar);
}

bool hasData(const std::vector<DailyTotals>& days) {
    return std::any_of(days.begin(), days.end(), [](const DailyTotals& day) { return day.hasData(); });
}

} // namespace halvrick
