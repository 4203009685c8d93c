#pragma once

#include "core/AppKey.h"
#include "core/Calendar.h"
#include "core/Date.h"
#include "core/StatsQueries.h"

#include <cstdint>
#include <vector>

namespace halvrick {

// The last seven days at a glance, as the weekly card shows them: a snapshot, not a view of the ledger.
struct WrappedSummary {
    struct Culprit {
        AppKey app;
        double sweatSeconds = 0;

        friend bool operator==(const Culprit&, const Culprit&) = default;
    };

    // Six calendar days before lastDay, at the same local time.
    Date firstDay;
    // The end moment, not a start of day.
    Date lastDay;
    // Sweating plus meltdown.
    double hotSeconds = 0;
    double meltdownSeconds = 0;
    // At most three, most sweat first; only those with a minute of sweat or more.
    std::vector<Culprit> culprits;
    std::int64_t breaksTaken = 0;
    std::int64_t breaksAsked = 0;
    double longestStretchSeconds = 0;

    static constexpr std::size_t maxCulprits = 3;
    static constexpr double minimumCulpritSweat = 60;

    WrappedSummary(const StatsTotals& totals, Date endingAt, const Calendar& calendar);

    // Fixed demonstration figures for a machine without history.
    static WrappedSummary sample(Date endingAt, const Calendar& calendar);

    friend bool operator==(const WrappedSummary&, const WrappedSummary&) = default;
};

} // namespace halvrick
