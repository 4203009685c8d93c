#pragma once

#include "core/Date.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace halvrick {

// One calendar day of a query; a day without a ledger entry has every number 0.
struct DailyTotals {
    std::string day;
    // The start of the day in the query's calendar.
    Date date;
    double sweatingSeconds = 0;
    double meltdownSeconds = 0;
    double activeSeconds = 0;
    std::int64_t promptsShown = 0;
    std::int64_t breaksTaken = 0;
    double longestStretchSeconds = 0;

    DailyTotals() = default;
    DailyTotals(std::string day, Date date, double sweatingSeconds, double meltdownSeconds,
                double activeSeconds, std::int64_t promptsShown, std::int64_t breaksTaken,
                double longestStretchSeconds)
        : day(std::move(day)), date(date), sweatingSeconds(sweatingSeconds), meltdownSeconds(meltdownSeconds),
          activeSeconds(activeSeconds), promptsShown(promptsShown), breaksTaken(breaksTaken),
          longestStretchSeconds(longestStretchSeconds) {}

    // The day's hot time.
    double heatSeconds() const { return sweatingSeconds + meltdownSeconds; }
    bool hasData() const {
        return heatSeconds() > 0 || activeSeconds > 0 || promptsShown > 0 || breaksTaken > 0;
    }

    friend bool operator==(const DailyTotals&, const DailyTotals&) = default;
};

// Sums over the recorded days of a period, with the applications ranked by sweat time.
struct StatsTotals {
    struct Culprit {
        std::string id;
        std::string name;
        double sweatSeconds = 0;

        friend bool operator==(const Culprit&, const Culprit&) = default;
    };

    double sweatingSeconds = 0;
    double meltdownSeconds = 0;
    double activeSeconds = 0;
    // The largest single-day value.
    double longestStretchSeconds = 0;
    std::int64_t promptsShown = 0;
    std::int64_t breaksTaken = 0;
    // Ledger entries that went in; days without an entry are not counted.
    std::int64_t dayCount = 0;
    std::optional<Date> firstDay;
    std::optional<Date> lastDay;
    std::vector<Culprit> culprits;

    friend bool operator==(const StatsTotals&, const StatsTotals&) = default;
};

// How often an application was the day's top culprit over a run of days.
struct BlameRecord {
    std::string id;
    std::string name;
    double sweatSeconds = 0;
    std::int64_t topDays = 0;
    // How many days were looked at.
    std::int64_t days = 0;

    BlameRecord() = default;
    BlameRecord(std::string id, std::string name, double sweatSeconds, std::int64_t topDays,
                std::int64_t days)
        : id(std::move(id)), name(std::move(name)), sweatSeconds(sweatSeconds), topDays(topDays), days(days) {
    }

    friend bool operator==(const BlameRecord&, const BlameRecord&) = default;
};

} // namespace halvrick
