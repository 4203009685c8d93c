#include "model/ReportPeriod.h"

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

} // namespace
} // namespace halvrick
