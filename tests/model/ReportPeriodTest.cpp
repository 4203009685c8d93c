#include "model/ReportPeriod.h"

#include "core/StatsLedger.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

TEST(ReportPeriodTest, RawValuesLabelsAndDayCountsInPickerOrder) {
    struct Expected {
        std::string_view raw;
        std::string_view label;
        std::optional<int> days;
    };
    const std::array<Expected, 4> expected{{{"week", "Week", 7},
                                            {"month", "Month", 30},
                                            {"year", "Year", 365},
                                            {"allTime", "All time", std::nullopt}}};
    for (std::size_t i = 0; i < allReportPeriods.size(); ++i) {
        const ReportPeriod period = allReportPeriods[i];
        EXPECT_EQ(toString(period), expected[i].raw);
        EXPECT_EQ(label(period), expected[i].label);
        EXPECT_EQ(dayCount(period), expected[i].days);
        EXPECT_EQ(reportPeriodFromString(expected[i].raw), period);
    }
}

TEST(ReportPeriodTest, OnlyExactRawValuesConvert) {
    for (const std::string_view raw : {"Week", "alltime", "all time", "", "days"}) {
        EXPECT_FALSE(reportPeriodFromString(raw)) << raw;
    }
}

const Calendar utc("UTC");
const Date today = utc.date(2026, 12, 8, 15, 0);

Date daysAgo(int days) {
    return utc.addingDays(-days, today);
}

TEST(ReportPeriodTest, EachPeriodReadsItsSpanOfTheLedger) {
    StatsLedger ledger;
    ledger.addActive(600, daysAgo(3), utc);
    ledger.addHeat(120, HeatState::sweating, daysAgo(20), utc);
    ledger.addHeat(60, HeatState::meltdown, daysAgo(200), utc);
    ledger.recordBreakTaken(daysAgo(500), utc);

    struct Expected {
        ReportPeriod period;
        std::size_t rows;
        std::int64_t recordedDays;
        double heat;
    };
    for (const Expected& e :
         {Expected{ReportPeriod::week, 7, 1, 0}, Expected{ReportPeriod::month, 30, 2, 120},
          Expected{ReportPeriod::year, 365, 3, 180}, Expected{ReportPeriod::allTime, 501, 4, 180}}) {
        const auto days = periodDays(ledger, e.period, today, utc);
        const StatsTotals totals = periodTotals(ledger, e.period, today, utc);
        EXPECT_EQ(days.size(), e.rows) << toString(e.period);
        EXPECT_EQ(days.back().day, "2026-12-08");
        EXPECT_EQ(totals.dayCount, e.recordedDays) << toString(e.period);
        EXPECT_EQ(totals.sweatingSeconds + totals.meltdownSeconds, e.heat) << toString(e.period);
        EXPECT_TRUE(hasData(days));
    }
    EXPECT_TRUE(periodDays(StatsLedger(), ReportPeriod::allTime, today, utc).empty());
}

TEST(ReportPeriodTest, OnlyRowsWithActivityCountAsData) {
    EXPECT_FALSE(hasData({}));
    const DailyTotals zeros("2026-12-08", today, 0, 0, 0, 0, 0, 0);
    EXPECT_FALSE(hasData({zeros, zeros}));
    // A longest stretch alone is no activity.
    EXPECT_FALSE(hasData({DailyTotals("2026-12-08", today, 0, 0, 0, 0, 0, 900)}));
    for (const DailyTotals& day :
         {DailyTotals("d", today, 1, 0, 0, 0, 0, 0), DailyTotals("d", today, 0, 1, 0, 0, 0, 0),
          DailyTotals("d", today, 0, 0, 1, 0, 0, 0), DailyTotals("d", today, 0, 0, 0, 1, 0, 0),
          DailyTotals("d", today, 0, 0, 0, 0, 1, 0)}) {
        EXPECT_TRUE(hasData({zeros, day}));
    }
}

} // namespace
} // namespace halvrick
