#include "core/StatsLedger.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

const Calendar& berlin() {
    static const Calendar cal("Europe/Berlin");
    return cal;
}

AppKey app(const std::string& id, const std::string& name) {
    return AppKey(AppKey::Kind::app, id, name);
}

std::vector<std::string> keysOf(const std::vector<DailyTotals>& rows) {
    std::vector<std::string> keys;
    for (const DailyTotals& row : rows) {
        keys.push_back(row.day);
    }
    return keys;
}

TEST(StatsQueriesTest, DailyTotalsGiveEveryDayAcrossDstAndNewYear) {
    const Calendar& cal = berlin();
    StatsLedger ledger;
    ledger.addActive(100, cal.date(2026, 10, 25, 2, 30), cal);       // the first 02:30
    ledger.addActive(50, cal.date(2026, 10, 25, 2, 30) + 3600, cal); // the repeated 02:30
    ledger.addHeat(30, HeatState::meltdown, cal.date(2026, 10, 25, 23, 59), cal);
    ledger.recordBreakTaken(cal.date(2026, 10, 26, 0, 0), cal);

    const auto rows = ledger.dailyTotals(3, cal.date(2026, 10, 26, 8), cal);
    ASSERT_EQ(keysOf(rows), (std::vector<std::string>{"2026-10-24", "2026-10-25", "2026-10-26"}));
    EXPECT_EQ(rows[1], DailyTotals("2026-10-25", cal.date(2026, 10, 25), 0, 30, 150, 0, 0, 0));
    EXPECT_EQ(rows[2].breaksTaken, 1);
    EXPECT_EQ(rows[2].date - rows[1].date, 25 * 3600.0);
    EXPECT_FALSE(rows[0].hasData());
    EXPECT_TRUE(rows[1].hasData());
    EXPECT_TRUE(rows[2].hasData());
    EXPECT_EQ(rows[1].heatSeconds(), 30);

    const auto newYear = StatsLedger().dailyTotals(7, cal.date(2027, 1, 3, 0, 0, 1), cal);
    EXPECT_EQ(keysOf(newYear),
              (std::vector<std::string>{"2026-12-28", "2026-12-29", "2026-12-30", "2026-12-31", "2027-01-01",
                                        "2027-01-02", "2027-01-03"}));
    for (const DailyTotals& row : newYear) {
        EXPECT_EQ(row, DailyTotals(row.day, *StatsLedger::dateForDay(row.day, cal), 0, 0, 0, 0, 0, 0));
    }
    EXPECT_TRUE(StatsLedger().dailyTotals(0, cal.date(2027, 1, 3), cal).empty());
    EXPECT_TRUE(StatsLedger().dailyTotals(-3, cal.date(2027, 1, 3), cal).empty());
}

TEST(StatsQueriesTest, AllDailyTotalsRunFromTheEarliestDay) {
    const Calendar& cal = berlin();
    const Date end = cal.date(2026, 4, 2, 18);
    StatsLedger ledger;
    EXPECT_TRUE(ledger.allDailyTotals(end, cal).empty());

    ledger.recordPromptShown(cal.addingDays(-10, end), cal);
    const auto rows = ledger.allDailyTotals(end, cal);
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows.front().day, "2026-03-23");
    EXPECT_EQ(rows.front().promptsShown, 1);
    EXPECT_EQ(rows.back().day, "2026-04-02");

    StatsLedger future;
    future.recordPromptShown(cal.addingDays(5, end), cal);
    EXPECT_EQ(keysOf(future.allDailyTotals(end, cal)), std::vector<std::string>{"2026-04-02"});
}

TEST(StatsQueriesTest, TotalsSumRecordedDaysAndRankCulprits) {
    const Calendar& cal = berlin();
    const Date end = cal.date(2026, 3, 30, 12);
    StatsLedger ledger;
    const Date older = cal.addingDays(-4, end);
    const Date newer = cal.addingDays(-1, end);
    ledger.addHeat(100, HeatState::sweating, older, cal);
    ledger.addHeat(5, HeatState::meltdown, newer, cal);
    ledger.addActive(1000, older, cal);
    ledger.addActive(500, newer, cal);
    ledger.recordStretch(700, older, cal);
    ledger.recordStretch(300, newer, cal);
    ledger.recordPromptShown(older, cal);
    ledger.recordBreakTaken(newer, cal);
    ledger.addSweat(30, app("b", "Beta"), older, cal);
    ledger.addSweat(20, app("a", "Alpha"), older, cal);
    ledger.addSweat(10, app("a", "Alpha renamed"), newer, cal);
    ledger.addSweat(99, AppKey::system(), newer, cal);
    ledger.addCPU(500, app("c", "CPU only"), newer, cal);
    ledger.addSweat(1000, app("z", "Too old"), cal.addingDays(-7, end), cal);

    StatsTotals expected;
    expected.sweatingSeconds = 100;
    expected.meltdownSeconds = 5;
    expected.activeSeconds = 1500;
    expected.longestStretchSeconds = 700;
    expected.promptsShown = 1;
    expected.breaksTaken = 1;
    expected.dayCount = 2;
    expected.firstDay = cal.date(2026, 3, 26);
    expected.lastDay = cal.date(2026, 3, 29);
    // Equal sums are ordered by name; the oldest day's name wins.
    expected.culprits = {{"a", "Alpha", 30}, {"b", "Beta", 30}};
    EXPECT_EQ(ledger.totals(7, end, cal), expected);

    EXPECT_EQ(ledger.totals(0, end, cal), StatsTotals());
    EXPECT_EQ(StatsLedger().totals(7, end, cal), StatsTotals());

    const StatsTotals all = ledger.allTimeTotals(end, cal);
    EXPECT_EQ(all.dayCount, 3);
    EXPECT_EQ(all.firstDay, cal.date(2026, 3, 23));
    ASSERT_EQ(all.culprits.size(), 3u);
    EXPECT_EQ(all.culprits.front(), (StatsTotals::Culprit{"z", "Too old", 1000}));

    ledger.recordPromptShown(cal.addingDays(1, end), cal);
    EXPECT_EQ(ledger.allTimeTotals(end, cal), all) << "days after the end are left out";
}

TEST(StatsQueriesTest, BlameHistoryCountsTopDaysAboveTheMinimum) {
    const Calendar& cal = berlin();
    const Date end = cal.date(2027, 1, 2, 9);
    StatsLedger ledger;
    const auto on = [&](int back) { return cal.addingDays(-back, end); };
    // Today: a tie at 100, the smaller id tops.
    ledger.addSweat(100, app("b", "Beta"), on(0), cal);
    ledger.addSweat(100, app("a", "Alpha"), on(0), cal);
    // Yesterday, across the new year: Beta tops, Alpha is credited sweat only.
    ledger.addSweat(200, app("b", "Beta old"), on(1), cal);
    ledger.addSweat(61, app("a", "Alpha"), on(1), cal);
    ledger.addSweat(5000, AppKey::system(), on(1), cal);
    // A day whose top application stays under the minimum credits nobody.
    ledger.addSweat(59, app("c", "Gamma"), on(2), cal);
    ledger.addSweat(10, app("a", "Alpha"), on(2), cal);
    // Outside the 30 days.
    ledger.addSweat(900, app("d", "Delta"), on(30), cal);

    const auto records = ledger.blameHistory(30, end, 60, cal);
    EXPECT_EQ(records, (std::vector<BlameRecord>{BlameRecord("b", "Beta", 300, 1, 30),
                                                 BlameRecord("a", "Alpha", 161, 1, 30)}));
    EXPECT_TRUE(ledger.blameHistory(0, end, 60, cal).empty());
    EXPECT_TRUE(ledger.blameHistory(-2, end, 60, cal).empty());
    EXPECT_EQ(ledger.blameHistory(31, end, 60, cal).front(), BlameRecord("d", "Delta", 900, 1, 31));
}

} // namespace
} // namespace halvrick
