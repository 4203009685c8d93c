#include "core/WrappedSummary.h"

#include <gtest/gtest.h>
#include <limits>

namespace halvrick {
namespace {

const Calendar& berlin() {
    static const Calendar cal("Europe/Berlin");
    return cal;
}

StatsTotals::Culprit culprit(const char* id, const char* name, double sweat) { return {id, name, sweat}; }

TEST(WrappedSummaryTest, AnEmptyWeekHasNoHeatNoCulpritsAndNoBreaks) {
    const Date end = berlin().date(2026, 3, 9, 18);
    const WrappedSummary summary(StatsTotals{}, end, berlin());
    EXPECT_EQ(summary.lastDay, end);
    EXPECT_EQ(summary.firstDay, berlin().date(2026, 3, 3, 18));
    EXPECT_EQ(summary.hotSeconds, 0);
    EXPECT_TRUE(summary.culprits.empty());
    EXPECT_EQ(summary.breaksAsked, 0);
    EXPECT_EQ(summary.longestStretchSeconds, 0);
}

// The week back from the Monday after the clocks went forward still starts at the same local time.
TEST(WrappedSummaryTest, TheWeekStartsSixCalendarDaysBackAcrossADaylightSavingChange) {
    const Date end = berlin().date(2026, 3, 30, 9, 15);
    EXPECT_EQ(WrappedSummary(StatsTotals{}, end, berlin()).firstDay, berlin().date(2026, 3, 24, 9, 15));
}

TEST(WrappedSummaryTest, CulpritsNeedAMinuteOfSweatAndAtMostThreeAreKeptInTheirOrder) {
    StatsTotals totals;
    totals.sweatingSeconds = 50;
    totals.meltdownSeconds = 10;
    totals.breaksTaken = 0;
    totals.promptsShown = 3;
    totals.culprits = {culprit("/usr/share/applications/firefox-esr.desktop", "Firefox ESR", 900),
                       culprit("cc1plus", "cc1plus", 59.9),
                       culprit("node", "node", 600),
                       culprit("/usr/share/applications/code.desktop", "Code", 60),
                       culprit("make", "make", 60)};
    const WrappedSummary summary(totals, berlin().date(2026, 3, 9), berlin());

    EXPECT_EQ(summary.hotSeconds, 60);
    EXPECT_EQ(summary.meltdownSeconds, 10);
    EXPECT_EQ(summary.breaksTaken, 0);
    EXPECT_EQ(summary.breaksAsked, 3);
    const std::vector<WrappedSummary::Culprit> expected{
        {AppKey(AppKey::Kind::app, "/usr/share/applications/firefox-esr.desktop", "Firefox ESR"), 900},
        {AppKey(AppKey::Kind::process, "node", "node"), 600},
        {AppKey(AppKey::Kind::app, "/usr/share/applications/code.desktop", "Code"), 60},
    };
    EXPECT_EQ(summary.culprits, expected);
}

TEST(WrappedSummaryTest, ANotANumberSweatIsNoCulprit) {
    StatsTotals totals;
    totals.culprits = {culprit("node", "node", std::numeric_limits<double>::quiet_NaN())};
    EXPECT_TRUE(WrappedSummary(totals, berlin().date(2026, 3, 9), berlin()).culprits.empty());
}

// The demonstration week gives the same figures on any day, in any zone.
TEST(WrappedSummaryTest, TheSampleWeekHasItsFixedFigures) {
    for (const char* zone : {"Europe/Berlin", "America/New_York", "Pacific/Chatham"}) {
        const Calendar calendar(zone);
        for (const Date end : {calendar.date(2026, 3, 9, 23, 59), calendar.date(2026, 11, 1, 0, 30)}) {
            SCOPED_TRACE(zone);
            const WrappedSummary summary = WrappedSummary::sample(end, calendar);
            EXPECT_NEAR(summary.hotSeconds, 28200, 1e-6);
            EXPECT_NEAR(summary.meltdownSeconds, 5640, 1e-6);
            ASSERT_EQ(summary.culprits.size(), 3u);
            EXPECT_EQ(summary.culprits[0].app.displayName, "Google Chrome");
            EXPECT_EQ(summary.culprits[0].app.kind, AppKey::Kind::app);
            EXPECT_NEAR(summary.culprits[0].sweatSeconds, 20304, 1e-6);
            EXPECT_EQ(summary.culprits[1].app.displayName, "Xcode");
            EXPECT_NEAR(summary.culprits[1].sweatSeconds, 12972, 1e-6);
            EXPECT_EQ(summary.culprits[2].app.displayName, "Docker");
            EXPECT_NEAR(summary.culprits[2].sweatSeconds, 7896, 1e-6);
            EXPECT_EQ(summary.breaksTaken, 24);
            EXPECT_EQ(summary.breaksAsked, 35);
            EXPECT_EQ(summary.longestStretchSeconds, 182 * 60);
        }
    }
}

} // namespace
} // namespace halvrick
