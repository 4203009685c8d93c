#include "core/DailyGrade.h"

#include "core/StatsLedger.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

using Letter = DailyGrade::Letter;

DailyTotals day(double active, double hot, std::int64_t prompts, std::int64_t breaks, double stretch) {
    return DailyTotals("2026-03-05", Date(), hot, 0, active, prompts, breaks, stretch);
}

struct GradeCase {
    const char* name;
    DailyTotals day;
    std::int64_t value;
    Letter letter;
};

class DailyGradeEvaluateTest : public testing::TestWithParam<GradeCase> {};

TEST_P(DailyGradeEvaluateTest, ScoresAndLetters) {
    const GradeCase& p = GetParam();
    const auto grade = DailyGrade::evaluate(p.day);
    ASSERT_TRUE(grade.has_value());
    EXPECT_EQ(grade->value, p.value);
    EXPECT_EQ(grade->letter, p.letter);
}

INSTANTIATE_TEST_SUITE_P(
    Days, DailyGradeEvaluateTest,
    testing::Values(
        // heat 50 + breaks 30 + stretch 17.5 = 97.5, rounded away from zero.
        GradeCase{"MinimumActiveNoStretch", day(900, 0, 0, 0, 0), 98, Letter::a},
        GradeCase{"EverythingWrong", day(4 * 3600, 2 * 3600, 4, 0, 2 * 3600), 0, Letter::f},
        // heat 50, breaks 15, stretch 10.
        GradeCase{"HalfTheBreaks", day(7200, 0, 2, 1, 3600), 75, Letter::c},
        // 89.5: heat 50 + breaks 30 + stretch 9.5 (stretch 3780 s).
        GradeCase{"HalfUpToA", day(7200, 0, 0, 0, 3780), 90, Letter::a},
        // 89.499: a hair more stretch.
        GradeCase{"JustUnderA", day(7200, 0, 0, 0, 3780.36), 89, Letter::b},
        GradeCase{"MoreBreaksThanPrompts", day(7200, 0, 2, 3, 7200), 80, Letter::b},
        // Hot time of half the active time or more gives no heat points.
        GradeCase{"HalfHot", day(7200, 3600, 0, 0, 7200), 30, Letter::f},
        GradeCase{"HotBeyondActive", day(7200, 99999, 0, 0, 7200), 30, Letter::f}),
    [](const testing::TestParamInfo<GradeCase>& info) { return std::string(info.param.name); });

TEST(DailyGradeTest, PartsAndTheActiveMinimum) {
    EXPECT_EQ(DailyGrade::evaluate(day(899.9, 0, 0, 0, 0)), std::nullopt);
    EXPECT_EQ(DailyGrade::evaluate(day(900, 0, 0, 0, 0)),
              DailyGrade(98, Letter::a, DailyGrade::Parts{50, 30, 17.5}));

    const auto nearlyHalf = DailyGrade::evaluate(day(7200, 3599, 0, 0, 7200));
    ASSERT_TRUE(nearlyHalf);
    EXPECT_GT(nearlyHalf->parts.heat, 0);
    EXPECT_LT(nearlyHalf->parts.heat, 0.1);
    EXPECT_EQ(DailyGrade::evaluate(day(7200, 3600, 0, 0, 7200))->parts.heat, 0);
    EXPECT_EQ(DailyGrade::evaluate(day(7200, 0, 2, 3, 7200))->parts.breaks, 30);
    // Odd rows built by hand stay within 0...100.
    EXPECT_EQ(DailyGrade::evaluate(day(7200, -1e9, 1, 1000, -5))->value, 100);
}

TEST(DailyGradeTest, LettersFromScoresAndText) {
    const std::vector<std::pair<std::int64_t, Letter>> table{
        {101, Letter::a}, {90, Letter::a}, {89, Letter::b}, {80, Letter::b}, {79, Letter::c},
        {70, Letter::c},  {69, Letter::d}, {60, Letter::d}, {59, Letter::f}, {-4, Letter::f}};
    for (const auto& [value, letter] : table) {
        EXPECT_EQ(DailyGrade::letterFromValue(value), letter) << value;
    }
    for (const Letter letter : DailyGrade::allLetters) {
        EXPECT_EQ(DailyGrade::letterFromString(toString(letter)), letter);
    }
    EXPECT_EQ(toString(Letter::f), "F");
    EXPECT_EQ(DailyGrade::letterFromString("E"), std::nullopt);
    EXPECT_EQ(DailyGrade::letterFromString("a"), std::nullopt);
    EXPECT_EQ(DailyGrade::letterFromString(""), std::nullopt);
}

TEST(DailyGradeTest, AverageOfGradedDaysOnly) {
    EXPECT_EQ(DailyGrade::average({}), std::nullopt);
    EXPECT_EQ(DailyGrade::average({day(100, 0, 0, 0, 0), day(899, 0, 0, 0, 0)}), std::nullopt);
    // 85 and 90 average to 87.5, which rounds to 88; the ungraded day does not pull it down.
    const DailyTotals scores85 = day(7200, 0, 0, 0, 5400);       // 50 + 30 + 5
    const DailyTotals scores90 = day(7200, 0, 0, 0, 3600 + 180); // 50 + 30 + 9.5 -> 90
    ASSERT_EQ(DailyGrade::evaluate(scores85)->value, 85);
    ASSERT_EQ(DailyGrade::evaluate(scores90)->value, 90);
    EXPECT_EQ(DailyGrade::average({scores85, day(10, 0, 0, 0, 0), scores90}), 88);
}

// Bookings land on the local day they happened on, so a 25-hour day and the first hours of a new year
// are graded as their own days.
TEST(DailyGradeTest, GradesFollowTheLocalDayAcrossDstAndNewYear) {
    const Calendar cal("Europe/Berlin");
    StatsLedger ledger;
    // 25 October 2026: every hour of the 25-hour day, the repeated 02:00 hour included.
    for (Date at = cal.date(2026, 10, 25); at < cal.date(2026, 10, 26); at += 3600) {
        ledger.addActive(100, at, cal);
    }
    ledger.addHeat(1250, HeatState::sweating, cal.date(2026, 10, 25, 2, 30) + 3600, cal);
    ledger.recordStretch(3600, cal.date(2026, 10, 25, 23, 59), cal);
    // New Year's Eve till the last second, then a cool, well-rested first hour of the new year.
    ledger.addActive(1800, cal.date(2026, 12, 31, 23, 59, 59), cal);
    ledger.addHeat(900, HeatState::meltdown, cal.date(2026, 12, 31, 23, 59, 59), cal);
    ledger.addActive(1000, cal.date(2027, 1, 1, 0, 0, 0), cal);

    const auto autumn = ledger.dailyTotals(2, cal.date(2026, 10, 26, 12), cal);
    EXPECT_EQ(autumn[0].activeSeconds, 2500);
    // heat (1 - 1250/1250) * 50 = 0, breaks 30, stretch (1 - 0.5) * 20 = 10.
    EXPECT_EQ(DailyGrade::evaluate(autumn[0]), DailyGrade(40, Letter::f, DailyGrade::Parts{0, 30, 10}));
    EXPECT_EQ(DailyGrade::evaluate(autumn[1]), std::nullopt);

    const auto turn = ledger.dailyTotals(2, cal.date(2027, 1, 1, 12), cal);
    ASSERT_EQ(turn[0].day, "2026-12-31");
    EXPECT_EQ(DailyGrade::evaluate(turn[0])->value, 45); // 0 + 30 + 15
    EXPECT_EQ(DailyGrade::evaluate(turn[1])->value, 97); // 50 + 30 + 17.2...
    EXPECT_EQ(DailyGrade::average(turn), 71);
}

} // namespace
} // namespace halvrick
