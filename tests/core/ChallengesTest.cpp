#include "core/Challenges.h"

#include "core/StatsLedger.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace halvrick {
namespace {

DailyTotals totals(double sweating, double meltdown, double active, std::int64_t breaks) {
    return DailyTotals("2026-05-04", Date(), sweating, meltdown, active, 0, breaks, 0);
}

struct RuleCase {
    const char* name;
    ChallengeKind kind;
    DailyTotals day;
    bool met;
};

class ChallengeRuleTest : public testing::TestWithParam<RuleCase> {};

TEST_P(ChallengeRuleTest, DayMet) {
    EXPECT_EQ(dayMet(GetParam().kind, GetParam().day), GetParam().met);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ChallengeRuleTest,
    testing::Values(
        RuleCase{"ChillUnderFiveMeltdownMinutes", ChallengeKind::chillWeek, totals(0, 299, 600, 0), true},
        RuleCase{"ChillExactlyFiveMinutesFails", ChallengeKind::chillWeek, totals(0, 300, 600, 0), false},
        RuleCase{"ChillIgnoresSweating", ChallengeKind::chillWeek, totals(9000, 0, 600, 0), true},
        RuleCase{"BreakTaken", ChallengeKind::breakHabit, totals(0, 0, 600, 1), true},
        RuleCase{"NoBreak", ChallengeKind::breakHabit, totals(0, 0, 600, 0), false},
        RuleCase{"BreakAloneIsData", ChallengeKind::breakHabit, totals(0, 0, 0, 2), true},
        RuleCase{"CoolUnderAnHourHot", ChallengeKind::coolHead, totals(2000, 1599, 600, 0), true},
        RuleCase{"CoolExactlyAnHourFails", ChallengeKind::coolHead, totals(2000, 1600, 600, 0), false},
        RuleCase{"HeatAloneIsData", ChallengeKind::coolHead, totals(10, 0, 0, 0), true},
        RuleCase{"EmptyDayNeverChill", ChallengeKind::chillWeek, totals(0, 0, 0, 0), false},
        RuleCase{"EmptyDayNeverCool", ChallengeKind::coolHead, totals(0, 0, 0, 0), false}),
    [](const testing::TestParamInfo<RuleCase>& info) { return std::string(info.param.name); });

TEST(ChallengeKindTest, RawValuesInDeclarationOrder) {
    std::vector<std::string> raw;
    for (const ChallengeKind kind : allChallengeKinds) {
        raw.emplace_back(toString(kind));
        EXPECT_EQ(challengeKindFromString(toString(kind)), kind);
    }
    EXPECT_EQ(raw, (std::vector<std::string>{"chillWeek", "breakHabit", "coolHead"}));
    EXPECT_EQ(challengeKindFromString("ChillWeek"), std::nullopt);
    EXPECT_EQ(challengeKindFromString(""), std::nullopt);
    EXPECT_EQ(outcomeFromString("completed"), ChallengeResult::Outcome::completed);
    EXPECT_EQ(outcomeFromString("failed"), ChallengeResult::Outcome::failed);
    EXPECT_EQ(outcomeFromString("won"), std::nullopt);
}

// A week of break-habit rows, one letter per day of the window: 'M' met (active with a break), 'x' active
// without a break, '-' no row at all.
std::vector<DailyTotals> breakRows(const std::vector<std::string>& keys, const std::string& pattern,
                                   const Calendar& calendar) {
    std::vector<DailyTotals> rows;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (pattern[i] != '-') {
            rows.emplace_back(keys[i], *StatsLedger::dateForDay(keys[i], calendar), 0, 0, 1800, 0,
                              pattern[i] == 'M' ? 1 : 0, 0);
        }
    }
    return rows;
}

struct WeekCase {
    const char* name;
    const char* zone;
    // The seven day keys of the window; the first is the day the challenge was started.
    std::vector<std::string> keys;
    std::string pattern;
    // The state at noon of the day before the window, of each of its seven days and of the day after:
    // 'o' open, 'C' complete, 'F' failed.
    std::string states;
};

class ChallengeWeekTest : public testing::TestWithParam<WeekCase> {};

TEST_P(ChallengeWeekTest, ProgressDayByDay) {
    const WeekCase& c = GetParam();
    const Calendar calendar(c.zone);
    const ActiveChallenge challenge(ChallengeKind::breakHabit, c.keys.front(),
                                    *StatsLedger::dateForDay(c.keys.front(), calendar) + 36000);
    const std::vector<DailyTotals> rows = breakRows(c.keys, c.pattern, calendar);
    const Date first = *StatsLedger::dateForDay(c.keys.front(), calendar);

    std::string states;
    const DateComponents start = calendar.components(first);
    for (int day = -1; day <= 7; ++day) {
        const Date noon = calendar.date(start.year, start.month, start.day + day, 12);
        const ChallengeProgress p = ChallengePolicy::progress(challenge, rows, noon, calendar);
        SCOPED_TRACE("day " + std::to_string(day));
        ASSERT_EQ(p.days.size(), 7u);
        EXPECT_EQ(p.totalDays, 7);
        EXPECT_EQ(p.requiredDays, 5);
        for (std::size_t i = 0; i < 7; ++i) {
            const ChallengeDay& cell = p.days[i];
            // Cells are whole local days, also where a day has 23 or 25 hours.
            EXPECT_EQ(cell.date, *StatsLedger::dateForDay(c.keys[i], calendar)) << c.keys[i];
            EXPECT_EQ(cell.isToday, static_cast<int>(i) == day);
            EXPECT_EQ(cell.isFuture, static_cast<int>(i) > day);
            EXPECT_EQ(cell.hasData, c.pattern[i] != '-');
            EXPECT_EQ(cell.isMet, static_cast<int>(i) <= day && c.pattern[i] == 'M');
        }
        const std::int64_t past = std::clamp(day, 0, 7);
        EXPECT_EQ(p.elapsedDays, past);
        EXPECT_EQ(p.todayInWindow, day >= 0 && day <= 6);
        EXPECT_EQ(p.metIncludingToday(),
                  std::count(c.pattern.begin(), c.pattern.begin() + std::clamp(day + 1, 0, 7), 'M'));
        EXPECT_FALSE(p.isComplete() && p.isFailed());
        EXPECT_GE(p.daysRemaining(), 0);
        states += p.isComplete() ? 'C' : p.isFailed() ? 'F' : 'o';
    }
    EXPECT_EQ(states, c.states);
}

const std::vector<std::string> yearEnd{"2025-12-28", "2025-12-29", "2025-12-30", "2025-12-31",
                                       "2026-01-01", "2026-01-02", "2026-01-03"};
const std::vector<std::string> berlinSpring{"2026-03-26", "2026-03-27", "2026-03-28", "2026-03-29",
                                            "2026-03-30", "2026-03-31", "2026-04-01"};
const std::vector<std::string> newYorkAutumn{"2026-10-29", "2026-10-30", "2026-10-31", "2026-11-01",
                                             "2026-11-02", "2026-11-03", "2026-11-04"};

INSTANTIATE_TEST_SUITE_P(
    Weeks, ChallengeWeekTest,
    testing::Values(
        // Complete on the seventh day itself once it is met.
        WeekCase{"AllMetAcrossNewYear", "Europe/Berlin", yearEnd, "MMMMMMM", "oooooooCC"},
        WeekCase{"FourPastAndSeventhMet", "America/New_York", newYorkAutumn, "xMMMxMM", "oooooooCC"},
        // Five met before the seventh day, which is missed: complete only once the window is over.
        WeekCase{"FiveMetThenSeventhMissedAcrossSpringForward", "Europe/Berlin", berlinSpring, "MMMMMx-",
                 "ooooooooC"},
        // Three missed days leave at most four: failed on the fourth day already.
        WeekCase{"ThreeMissedFailsEarly", "America/New_York", newYorkAutumn, "xx-xMMM", "ooooFFFFF"},
        WeekCase{"OneMetThreeMissed", "Europe/Berlin", berlinSpring, "Mx-xMMM", "oooooFFFF"},
        WeekCase{"NoRowsAtAll", "Europe/Berlin", yearEnd, "-------", "ooooFFFFF"}),
    [](const testing::TestParamInfo<WeekCase>& info) { return std::string(info.param.name); });

TEST(ChallengeProgressTest, StartedTodayCountsTodayOnceItIsMet) {
    const Calendar berlin("Europe/Berlin");
    const Date started = berlin.date(2026, 5, 4, 10);
    const ActiveChallenge challenge(ChallengeKind::breakHabit, "2026-05-04", started);

    const ChallengeProgress before = ChallengePolicy::progress(challenge, {}, started, berlin);
    EXPECT_TRUE(before.todayInWindow);
    EXPECT_FALSE(before.todayMet);
    EXPECT_EQ(before.elapsedDays, 0);
    EXPECT_EQ(before.daysRemaining(), 7);
    EXPECT_TRUE(before.days[0].isToday);
    for (std::size_t i = 1; i < 7; ++i) {
        EXPECT_TRUE(before.days[i].isFuture);
    }

    const std::vector<DailyTotals> met{DailyTotals("2026-05-04", berlin.date(2026, 5, 4), 0, 0, 60, 0, 1, 0)};
    const ChallengeProgress after = ChallengePolicy::progress(challenge, met, started + 3600, berlin);
    EXPECT_TRUE(after.todayMet);
    EXPECT_EQ(after.metDays, 0);
    EXPECT_EQ(after.metIncludingToday(), 1);
    EXPECT_EQ(after.daysRemaining(), 6);
}

TEST(ChallengeProgressTest, SeventhDayEndsAtLocalMidnightOfNewYear) {
    const Calendar berlin("Europe/Berlin");
    const std::vector<std::string> keys{"2025-12-25", "2025-12-26", "2025-12-27", "2025-12-28",
                                        "2025-12-29", "2025-12-30", "2025-12-31"};
    const ActiveChallenge challenge(ChallengeKind::breakHabit, keys.front(), berlin.date(2025, 12, 25, 9));
    const auto rows = breakRows(keys, "MMxMMMx", berlin);

    const ChallengeProgress lastEvening =
        ChallengePolicy::progress(challenge, rows, berlin.date(2025, 12, 31, 23, 59, 59), berlin);
    EXPECT_FALSE(lastEvening.isComplete());
    EXPECT_FALSE(lastEvening.isFailed());
    EXPECT_EQ(lastEvening.daysRemaining(), 1);

    const ChallengeProgress newYear =
        ChallengePolicy::progress(challenge, rows, berlin.date(2026, 1, 1), berlin);
    EXPECT_TRUE(newYear.isComplete());
    EXPECT_FALSE(newYear.todayInWindow);
    EXPECT_EQ(newYear.elapsedDays, 7);
    EXPECT_EQ(newYear.metIncludingToday(), 5);
    EXPECT_EQ(newYear.daysRemaining(), 0);
}

TEST(ChallengeProgressTest, LaterRowWinsForTheSameDay) {
    const Calendar berlin("Europe/Berlin");
    const ActiveChallenge challenge(ChallengeKind::breakHabit, "2026-05-04", berlin.date(2026, 5, 4, 8));
    const Date now = berlin.date(2026, 5, 5, 12);
    const DailyTotals missed("2026-05-04", berlin.date(2026, 5, 4), 0, 0, 600, 0, 0, 0);
    const DailyTotals met("2026-05-04", berlin.date(2026, 5, 4), 0, 0, 600, 0, 1, 0);

    EXPECT_EQ(ChallengePolicy::progress(challenge, {missed, met}, now, berlin).metDays, 1);
    EXPECT_EQ(ChallengePolicy::progress(challenge, {met, missed}, now, berlin).metDays, 0);
}

TEST(ChallengeProgressTest, UnreadableStartOrTimeGivesAnOpenEmptyProgress) {
    const Calendar berlin("Europe/Berlin");
    const Date now = berlin.date(2026, 5, 5, 12);
    const std::vector<std::pair<ActiveChallenge, Date>> cases{
        {ActiveChallenge(ChallengeKind::chillWeek, "yesterday", now), now},
        {ActiveChallenge(ChallengeKind::chillWeek, "2026-05", now), now},
        {ActiveChallenge(ChallengeKind::chillWeek, "2026-05-04", now),
         Date::since1970(std::numeric_limits<double>::quiet_NaN())},
        {ActiveChallenge(ChallengeKind::chillWeek, "2026-05-04", now),
         Date::since1970(std::numeric_limits<double>::infinity())}};
    for (const auto& [challenge, at] : cases) {
        const ChallengeProgress p = ChallengePolicy::progress(challenge, {}, at, berlin);
        EXPECT_EQ(p, ChallengeProgress{}) << challenge.startedDay;
        EXPECT_FALSE(p.isComplete());
        EXPECT_FALSE(p.isFailed());
        EXPECT_EQ(p.daysRemaining(), 7);
    }
}

std::string readFile(const std::string& name) {
    std::ifstream in(std::string(HALVRICK_TEST_DATA) + "/habits/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ChallengeJsonTest, RoundTripsKeepEveryField) {
    const ActiveChallenge active(ChallengeKind::coolHead, "2026-03-29", Date::sinceReference(796435200.125));
    const json::Json activeJson = active.toJson();
    EXPECT_EQ(activeJson, json::parse(R"({"kind": "coolHead", "startedDay": "2026-03-29",
                                          "startedAt": 796435200.125})"));
    EXPECT_EQ(ActiveChallenge::fromJson(json::parse(activeJson.dump())), active);

    for (const auto outcome : {ChallengeResult::Outcome::completed, ChallengeResult::Outcome::failed}) {
        const ChallengeResult result(ChallengeKind::chillWeek, "2025-12-28", "2026-01-03", 6, outcome);
        const json::Json resultJson = result.toJson();
        EXPECT_TRUE(resultJson["metDays"].is_number_integer());
        EXPECT_EQ(resultJson["outcome"], std::string(toString(outcome)));
        EXPECT_EQ(resultJson.size(), 5u);
        EXPECT_EQ(ChallengeResult::fromJson(json::parse(resultJson.dump())), result);
    }
}

TEST(ChallengeJsonTest, HandWrittenRecordsDecode) {
    EXPECT_EQ(ActiveChallenge::fromJson(json::parse(readFile("challenge-active.json"))),
              ActiveChallenge(ChallengeKind::coolHead, "2025-12-28",
                              Calendar("Europe/Berlin").date(2025, 12, 28, 12) + 0.25));
    EXPECT_EQ(ChallengeResult::fromJson(json::parse(readFile("challenge-result.json"))),
              ChallengeResult(ChallengeKind::breakHabit, "2025-12-28", "2026-01-01", 3,
                              ChallengeResult::Outcome::failed));
}

TEST(ChallengeJsonTest, DecodingFailsAsAWhole) {
    for (const char* text : {
             R"({"startedDay": "2026-03-29", "startedAt": 1})",
             R"({"kind": "coolHead", "startedAt": 1})",
             R"({"kind": "coolHead", "startedDay": "2026-03-29"})",
             R"({"kind": "marathon", "startedDay": "2026-03-29", "startedAt": 1})",
             R"({"kind": 2, "startedDay": "2026-03-29", "startedAt": 1})",
             R"({"kind": "coolHead", "startedDay": 20260329, "startedAt": 1})",
             R"({"kind": "coolHead", "startedDay": "2026-03-29", "startedAt": "2026-03-29T10:00:00Z"})",
             R"({"kind": "coolHead", "startedDay": "2026-03-29", "startedAt": null})",
             R"(["coolHead", "2026-03-29", 1])",
         }) {
        EXPECT_THROW(ActiveChallenge::fromJson(json::parse(text)), Error) << text;
    }
    const std::string valid =
        R"("kind": "chillWeek", "startedDay": "a", "endedDay": "b", "metDays": 5, "outcome": "completed")";
    EXPECT_NO_THROW(ChallengeResult::fromJson(json::parse("{" + valid + "}")));
    for (
        const char* text : {
            R"({"kind": "chillWeek", "startedDay": "a", "endedDay": "b", "metDays": 5})",
            R"({"kind": "chillWeek", "startedDay": "a", "metDays": 5, "outcome": "completed"})",
            R"({"kind": "chillWeek", "startedDay": "a", "endedDay": "b", "outcome": "completed"})",
            R"({"kind": "chillWeek", "startedDay": "a", "endedDay": "b", "metDays": 5, "outcome": "won"})",
            R"({"kind": "chillWeek", "startedDay": "a", "endedDay": "b", "metDays": 4.5, "outcome": "failed"})",
            R"({"kind": "chillWeek", "startedDay": "a", "endedDay": "b", "metDays": "5", "outcome": "failed"})",
            R"({"kind": "sprint", "startedDay": "a", "endedDay": "b", "metDays": 5, "outcome": "failed"})",
        }) {
        EXPECT_THROW(ChallengeResult::fromJson(json::parse(text)), Error) << text;
    }
}

TEST(ChallengeJsonTest, StartTimeThatIsNotFiniteIsNeitherWrittenNorRead) {
    for (const double bad :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        const ActiveChallenge active(ChallengeKind::chillWeek, "2026-03-29", Date::sinceReference(bad));
        EXPECT_THROW(active.toJson(), Error);
        const json::Json value{{"kind", "chillWeek"}, {"startedDay", "2026-03-29"}, {"startedAt", bad}};
        EXPECT_THROW(ActiveChallenge::fromJson(value), Error);
    }
}

} // namespace
} // namespace halvrick
