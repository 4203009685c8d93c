#include "model/ReportPeriod.h"

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

} // namespace halvrick
