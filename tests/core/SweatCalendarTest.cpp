#include "core/SweatCalendar.h"

#include "core/StatsLedger.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

const Calendar& berlin() {
    static const Calendar cal("Europe/Berlin");
    return cal;
}

DailyTotals row(const std::string& day, std::int64_t breaks, double heat = 0) {
    return DailyTotals(day, *StatsLedger::dateForDay(day, berlin()), heat, 0, 0, 0, breaks, 0);
}

struct WeeksCase {
    const char* name;
    int year, month, day; // the end date
    int absentAtStart;
    int absentAtEnd;
};

class SweatCalendarWeeksTest : public testing::TestWithParam<WeeksCase> {};

// The shown year here crosses both DST changes of 2026, and a new year for the later end dates.
TEST_P(SweatCalendarWeeksTest, AYearOfWeeksWithEveryDayOnce) {
    const WeeksCase& p = GetParam();
    const Calendar& cal = berlin();
    const Date end = cal.date(p.year, p.month, p.day, 16);
    const std::vector<DailyTotals> days{row("2026-10-25", 2, 40), row("2026-03-29", 1)};
    const auto weeks = SweatCalendar::weeks(days, end, cal);
    ASSERT_EQ(weeks.size(), static_cast<std::size_t>(SweatCalendar::weekCount));

    std::vector<std::string> keys;
    int absentBefore = 0, absentAfter = 0;
    for (const CalendarWeek& week : weeks) {
        EXPECT_EQ(cal.weekday(week.start), 1);
        EXPECT_EQ(cal.startOfDay(week.start), week.start);
        EXPECT_EQ(week.id(), week.start);
        for (std::size_t i = 0; i < 7; ++i) {
            const auto& cell = week.days[i];
            if (!cell) {
                (keys.empty() ? absentBefore : absentAfter) += 1;
                continue;
            }
            EXPECT_EQ(absentAfter, 0) << "no hole inside the year";
            EXPECT_EQ(cell->date, cal.addingDays(static_cast<int>(i), week.start));
            EXPECT_EQ(cell->day, StatsLedger::dayKey(cell->date, cal));
            keys.push_back(cell->day);
        }
    }
    EXPECT_EQ(absentBefore, p.absentAtStart);
    EXPECT_EQ(absentAfter, p.absentAtEnd);
    ASSERT_EQ(keys.size(), 365u);
    EXPECT_EQ(keys.back(), StatsLedger::dayKey(end, cal));
    EXPECT_EQ(keys.front(), StatsLedger::dayKey(cal.addingDays(-364, end), cal));
    for (std::size_t i = 1; i < keys.size(); ++i) {
        EXPECT_EQ(StatsLedger::dateForDay(keys[i], cal),
                  cal.addingDays(1, *StatsLedger::dateForDay(keys[i - 1], cal)));
    }
}

INSTANTIATE_TEST_SUITE_P(EndDates, SweatCalendarWeeksTest,
                         testing::Values(
                             // Range starts Sunday 2026-01-04: no absent cell at the start.
                             WeeksCase{"StartsOnSunday", 2027, 1, 3, 0, 6},
                             // Range starts Thursday 2026-01-01.
                             WeeksCase{"EndsOnNewYearsEve", 2026, 12, 31, 4, 2},
                             // Range starts Saturday 2026-01-03: the last row holds only the end date.
                             WeeksCase{"EndsOnSaturday", 2027, 1, 2, 6, 0},
                             WeeksCase{"EndsOnSpringChange", 2026, 3, 29, 0, 6}),
                         [](const testing::TestParamInfo<WeeksCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(SweatCalendarTest, WeeksUseGivenRowsAndZeroRowsElsewhere) {
    const Calendar& cal = berlin();
    const std::vector<DailyTotals> days{row("2026-10-25", 2, 40), row("2026-10-25", 9, 90)};
    const auto weeks = SweatCalendar::weeks(days, cal.date(2026, 10, 31, 23, 59), cal);
    const CalendarWeek& last = weeks.back();
    EXPECT_EQ(last.start, cal.date(2026, 10, 25));
    EXPECT_EQ(last.days[0], days[0]) << "the first of two rows for one day counts";
    EXPECT_EQ(last.days[1], DailyTotals("2026-10-26", cal.date(2026, 10, 26), 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(last.days[6]->day, "2026-10-31");

    EXPECT_EQ(SweatCalendar::weeks({}, cal.date(2026, 10, 31), cal).size(), 53u);
}

TEST(SweatCalendarTest, RestStreakCountsBackFromTodayOrYesterday) {
    const Calendar& cal = berlin();
    const Date today = cal.date(2027, 1, 1, 20);
    struct Case {
        std::vector<DailyTotals> days;
        std::int64_t streak;
    };
    const std::vector<Case> cases{
        {{row("2027-01-01", 1), row("2026-12-31", 2), row("2026-12-30", 1)}, 3},
        {{row("2027-01-01", 0), row("2026-12-31", 1), row("2026-12-30", 1), row("2026-12-29", 1)}, 3},
        {{row("2026-12-31", 1), row("2026-12-30", 1), row("2026-12-29", 1)}, 3},
        {{row("2027-01-01", 1), row("2026-12-31", 1), row("2026-12-29", 1)}, 2},
        {{row("2026-12-29", 1)}, 0},
        {{}, 0},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(SweatCalendar::restStreak(cases[i].days, today, cal), cases[i].streak) << "case " << i;
    }
    // Across the spring change the days still follow one another.
    EXPECT_EQ(SweatCalendar::restStreak({row("2026-03-28", 1), row("2026-03-29", 1), row("2026-03-30", 1)},
                                        cal.date(2026, 3, 30, 0, 10), cal),
              3);
}

TEST(SweatCalendarTest, WorstDayAndDaysWithBreak) {
    const DailyTotals first = row("2026-05-01", 0, 50);
    const DailyTotals second = row("2026-05-02", 1, 50);
    const DailyTotals cool = DailyTotals("2026-05-03", Date(), 0, 0, 3600, 0, 0, 0);
    EXPECT_EQ(SweatCalendar::worstDay({cool, first, second}), first);
    EXPECT_EQ(SweatCalendar::worstDay({cool, first, row("2026-05-04", 0, 51)})->day, "2026-05-04");
    EXPECT_EQ(SweatCalendar::worstDay({cool}), std::nullopt);
    EXPECT_EQ(SweatCalendar::daysWithBreak({first, second, row("2026-05-05", 3)}), 2);
    EXPECT_EQ(SweatCalendar::daysWithBreak({}), 0);
}

} // namespace
} // namespace halvrick
