#include "core/StatsLedger.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace halvrick {
namespace {

const Calendar& berlin() {
    static const Calendar cal("Europe/Berlin");
    return cal;
}

Date utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return Calendar("UTC").date(y, mo, d, h, mi, s);
}

const AppKey firefox{AppKey::Kind::app, "/usr/share/applications/firefox-esr.desktop", "Firefox ESR"};
const AppKey compiler{AppKey::Kind::process, "cc1plus", "cc1plus"};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

struct KeyCase {
    const char* name;
    const char* zone;
    Date instant;
    const char* key;
};

class DayKeyTest : public testing::TestWithParam<KeyCase> {};

TEST_P(DayKeyTest, NamesTheLocalDay) {
    const KeyCase& p = GetParam();
    EXPECT_EQ(StatsLedger::dayKey(p.instant, Calendar(p.zone)), p.key);
}

INSTANTIATE_TEST_SUITE_P(
    Instants, DayKeyTest,
    testing::Values(
        KeyCase{"Plain", "Europe/Berlin", utc(2026, 3, 5, 11), "2026-03-05"},
        KeyCase{"SmallYearPadded", "UTC", utc(999, 12, 31, 12), "0999-12-31"},
        // The night the clocks go forward: 00:30 local, then 03:00 local straight after 01:59 UTC.
        KeyCase{"SpringMidnight", "Europe/Berlin", utc(2026, 3, 28, 23, 30), "2026-03-29"},
        KeyCase{"SpringAfterGap", "Europe/Berlin", utc(2026, 3, 29, 1, 0), "2026-03-29"},
        KeyCase{"SpringLastMinute", "Europe/Berlin", utc(2026, 3, 29, 21, 59), "2026-03-29"},
        KeyCase{"SpringNextDay", "Europe/Berlin", utc(2026, 3, 29, 22, 0), "2026-03-30"},
        // The night the clocks go back: 02:30 happens twice, both on the 25th.
        KeyCase{"AutumnFirst0230", "Europe/Berlin", utc(2026, 10, 25, 0, 30), "2026-10-25"},
        KeyCase{"AutumnSecond0230", "Europe/Berlin", utc(2026, 10, 25, 1, 30), "2026-10-25"},
        KeyCase{"AutumnLastMinute", "Europe/Berlin", utc(2026, 10, 25, 22, 59), "2026-10-25"},
        KeyCase{"AutumnNextDay", "Europe/Berlin", utc(2026, 10, 25, 23, 0), "2026-10-26"},
        KeyCase{"NewYearInBerlin", "Europe/Berlin", utc(2026, 12, 31, 23, 30), "2027-01-01"},
        KeyCase{"OldYearInNewYork", "America/New_York", utc(2026, 12, 31, 23, 30), "2026-12-31"},
        KeyCase{"LastSecondOfYear", "Europe/Berlin", utc(2026, 12, 31, 22, 59, 59), "2026-12-31"}),
    [](const testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST(StatsLedgerTest, DateForDayParsesLenientlyAndStartsTheDay) {
    const Calendar& cal = berlin();
    const Date march5 = cal.date(2026, 3, 5);
    EXPECT_EQ(StatsLedger::dateForDay("2026-03-05", cal), march5);
    EXPECT_EQ(StatsLedger::dateForDay("2026-3-5", cal), march5);
    EXPECT_EQ(StatsLedger::dateForDay("2026-xx-03-05", cal), march5);
    EXPECT_EQ(StatsLedger::dateForDay("--2026--03--05-", cal), march5);
    EXPECT_EQ(StatsLedger::dateForDay("+2026-03-05", cal), march5);
    // Midnight in Berlin on the spring-forward day is still 23:00 UTC the evening before.
    EXPECT_EQ(StatsLedger::dateForDay("2026-03-29", cal), utc(2026, 3, 28, 23));
    EXPECT_EQ(StatsLedger::dateForDay("2027-01-01", cal), utc(2026, 12, 31, 23));

    for (const char* bad : {"2026-03", "2026-03-05-01", "", "---", "2026-03-0x5", "2026-03- 5", "2026-++3-05",
                            "99999999999-01-01", "2026-99999999999999999999-01"}) {
        EXPECT_EQ(StatsLedger::dateForDay(bad, cal), std::nullopt) << bad;
    }
}

TEST(StatsLedgerTest, DayKeysRoundTripThroughAYearOfDstChanges) {
    const Calendar& cal = berlin();
    Date day = cal.date(2026, 1, 1);
    std::string previous;
    for (int i = 0; i < 400; ++i) {
        const std::string key = StatsLedger::dayKey(day, cal);
        EXPECT_LT(previous, key) << "keys sort chronologically";
        EXPECT_EQ(StatsLedger::dateForDay(key, cal), day) << key;
        // Late evening of the same day still names it.
        EXPECT_EQ(StatsLedger::dayKey(cal.addingDays(1, day) - 1, cal), key);
        previous = key;
        day = cal.addingDays(1, day);
    }
}

TEST(StatsLedgerTest, RecordingGuardsAndCreatesEntries) {
    const Calendar& cal = berlin();
    const Date at = cal.date(2026, 3, 5, 14);
    StatsLedger ledger;

    ledger.addHeat(10, HeatState::warm, at, cal);
    ledger.addHeat(10, HeatState::chill, at, cal);
    for (const double bad : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        ledger.addCPU(bad, compiler, at, cal);
        ledger.addSweat(bad, compiler, at, cal);
        ledger.addHeat(bad, HeatState::meltdown, at, cal);
        ledger.addActive(bad, at, cal);
    }
    EXPECT_EQ(ledger.recordedDayCount(), 0);

    ledger.addHeat(10, HeatState::meltdown, at, cal);
    DailyStats expected("2026-03-05");
    expected.meltdownSeconds = 10;
    EXPECT_EQ(ledger.days.at("2026-03-05"), expected);

    ledger.addHeat(4, HeatState::sweating, at, cal);
    ledger.addActive(60, at, cal);
    ledger.addActive(0.5, at, cal);
    ledger.recordPromptShown(at, cal);
    ledger.recordPromptShown(at, cal);
    ledger.recordBreakTaken(at, cal);
    ledger.recordStretch(300, at, cal);
    ledger.recordStretch(200, at, cal);
    ledger.recordStretch(std::numeric_limits<double>::infinity(), at, cal);
    expected.sweatingSeconds = 4;
    expected.activeSeconds = 60.5;
    expected.promptsShown = 2;
    expected.breaksTaken = 1;
    expected.longestStretchSeconds = 300;
    EXPECT_EQ(ledger.days.at("2026-03-05"), expected);

    // Recording a stretch of 0 on a fresh day still creates it.
    ledger.recordStretch(0, at + 86400, cal);
    EXPECT_EQ(ledger.days.at("2026-03-06"), DailyStats("2026-03-06"));
}

TEST(StatsLedgerTest, ApplicationsKeepTheirFirstNameAndKind) {
    const Calendar& cal = berlin();
    const Date at = cal.date(2026, 3, 5, 14);
    StatsLedger ledger;
    ledger.addCPU(2, AppKey::system(), at, cal);
    ledger.addCPU(1.5, compiler, at, cal);
    ledger.addSweat(3, compiler, at, cal);
    ledger.addSweat(1, AppKey(AppKey::Kind::process, "cc1plus", "renamed"), at, cal);
    ledger.addSweat(7, firefox, at, cal);

    const auto& apps = ledger.days.at("2026-03-05").apps;
    EXPECT_EQ(apps.at("linux"), AppSweat("Linux itself", true, 0, 2));
    EXPECT_EQ(apps.at("cc1plus"), AppSweat("cc1plus", false, 4, 1.5));
    EXPECT_EQ(apps.at(firefox.id), AppSweat("Firefox ESR", false, 7, 0));
}

TEST(StatsLedgerTest, PruneKeepsTodayAndTheDaysBefore) {
    const Calendar& cal = berlin();
    const Date today = cal.date(2026, 3, 30, 9); // the day after the spring change
    StatsLedger ledger;
    for (const int back : {0, 1, 2, 399, 400, 800}) {
        ledger.recordPromptShown(cal.addingDays(-back, today), cal);
    }
    ledger.recordPromptShown(cal.addingDays(3, today), cal); // a future day
    StatsLedger kept = ledger;

    kept.prune(400, today, cal);
    EXPECT_EQ(kept.earliestDay(), StatsLedger::dayKey(cal.addingDays(-399, today), cal));
    EXPECT_EQ(kept.recordedDayCount(), 5);

    kept = ledger;
    kept.prune(2, today, cal);
    EXPECT_EQ(kept.earliestDay(), "2026-03-29");
    EXPECT_EQ(kept.latestDay(), "2026-04-02");
    EXPECT_EQ(kept.recordedDayCount(), 3);

    kept = ledger;
    kept.prune(1, today, cal);
    EXPECT_EQ(kept.earliestDay(), "2026-03-30");
    EXPECT_EQ(kept.recordedDayCount(), 2);

    kept = ledger;
    kept.prune(0, today, cal);
    EXPECT_EQ(kept.earliestDay(), "2026-04-02");
    EXPECT_EQ(kept.recordedDayCount(), 1);

    kept = ledger;
    kept.prune(std::numeric_limits<std::int64_t>::max(), today, cal);
    EXPECT_EQ(kept, ledger);

    kept.reset();
    EXPECT_EQ(kept.recordedDayCount(), 0);
    EXPECT_EQ(kept.earliestDay(), std::nullopt);
    EXPECT_EQ(kept.latestDay(), std::nullopt);
}

StatsLedger sampleLedger() {
    const Calendar& cal = berlin();
    StatsLedger ledger;
    const Date start = cal.date(2026, 12, 28, 10);
    for (int i = 0; i < 6; ++i) {
        const Date at = cal.addingDays(i, start);
        ledger.addCPU(0.1 + 0.2 * i, AppKey::system(), at, cal);
        ledger.addSweat(1.0 / 3.0 + i, firefox, at, cal);
        ledger.addCPU(12345.678901234567, compiler, at, cal);
        ledger.addHeat(60.25 * i, HeatState::sweating, at, cal);
        ledger.addHeat(1e-7, HeatState::meltdown, at, cal);
        ledger.addActive(3600 + i, at, cal);
        ledger.recordStretch(1800.5, at, cal);
        for (int p = 0; p < i; ++p) {
            ledger.recordPromptShown(at, cal);
        }
        ledger.recordBreakTaken(at, cal);
    }
    ledger.days["2027-01-02"].promptsShown = std::numeric_limits<std::int64_t>::max();
    ledger.days["2027-01-02"].breaksTaken = std::numeric_limits<std::int64_t>::min();
    return ledger;
}

TEST(StatsLedgerJsonTest, EncodingAndDecodingGivesAnEqualLedger) {
    const StatsLedger ledger = sampleLedger();
    ASSERT_EQ(ledger.recordedDayCount(), 6);
    const std::string text = ledger.toJson().dump();
    EXPECT_EQ(StatsLedger::fromJson(json::parse(text)), ledger);
    EXPECT_EQ(StatsLedger::fromJson(json::parse(StatsLedger().toJson().dump())), StatsLedger());

    // Counts are written as integers, every member always.
    const json::Json day = json::parse(text)["days"]["2026-12-30"];
    EXPECT_TRUE(day["promptsShown"].is_number_integer());
    EXPECT_TRUE(day["breaksTaken"].is_number_integer());
    EXPECT_EQ(day.size(), 8u);
    EXPECT_EQ(day["apps"]["linux"].size(), 4u);
}

TEST(StatsLedgerJsonTest, HandWrittenFileDecodes) {
    const StatsLedger ledger =
        StatsLedger::fromJson(json::parse(readFile(std::string(HALVRICK_TEST_DATA) + "/ledger/stats.json")));

    DailyStats first("2026-03-28");
    first.apps[firefox.id] = AppSweat("Firefox ESR", false, 312.5, 845.25);
    first.apps["linux"] = AppSweat("Linux itself", true, 40, 1210.75);
    first.sweatingSeconds = 600;
    first.meltdownSeconds = 45.5;
    first.activeSeconds = 14400;
    first.longestStretchSeconds = 5400;
    first.promptsShown = 3;
    first.breaksTaken = 2;

    DailyStats second("2026-03-29");
    second.activeSeconds = 1800.125;
    second.promptsShown = 1;

    DailyStats third("2027-01-01");
    third.apps["cc1plus"] = AppSweat("cc1plus", false, 0, 3.5);
    third.sweatingSeconds = 0.1;
    third.breaksTaken = 1;

    StatsLedger expected;
    expected.days = {{first.day, first}, {second.day, second}, {third.day, third}};
    EXPECT_EQ(ledger, expected);
}

struct BadDocument {
    const char* name;
    const char* text;
};

class StatsLedgerBadJsonTest : public testing::TestWithParam<BadDocument> {};

TEST_P(StatsLedgerBadJsonTest, FailsAsAWhole) {
    EXPECT_THROW(StatsLedger::fromJson(json::parse(GetParam().text)), Error);
}

#define DAY_WITH(extra)                                                                                        \
    R"({"days": {"2026-03-05": {"day": "2026-03-05", "apps": {}, "sweatingSeconds": 1, "meltdownSeconds": 2,)" \
    R"("activeSeconds": 3, )" extra "}}}"

INSTANTIATE_TEST_SUITE_P(
    Documents, StatsLedgerBadJsonTest,
    testing::Values(
        BadDocument{"EmptyObject", "{}"}, BadDocument{"TopLevelArray", "[]"},
        BadDocument{"DaysNull", R"({"days": null})"}, BadDocument{"DaysArray", R"({"days": []})"},
        BadDocument{"DayNotObject", R"({"days": {"2026-03-05": 7}})"},
        BadDocument{"MissingStretch", DAY_WITH(R"("promptsShown": 0, "breaksTaken": 0)")},
        BadDocument{"NullCount",
                    DAY_WITH(R"("longestStretchSeconds": 0, "promptsShown": null, "breaksTaken": 0)")},
        BadDocument{"StringCount",
                    DAY_WITH(R"("longestStretchSeconds": 0, "promptsShown": "3", "breaksTaken": 0)")},
        BadDocument{"FractionalCount",
                    DAY_WITH(R"("longestStretchSeconds": 0, "promptsShown": 2.5, "breaksTaken": 0)")},
        BadDocument{"HugeCount",
                    DAY_WITH(R"("longestStretchSeconds": 0, "promptsShown": 1e30, "breaksTaken": 0)")},
        BadDocument{
            "CountBeyondInt64",
            DAY_WITH(R"("longestStretchSeconds": 0, "promptsShown": 9223372036854775808, "breaksTaken": 0)")},
        BadDocument{"SecondsBeyondDouble",
                    DAY_WITH(R"("longestStretchSeconds": 1e400, "promptsShown": 0, "breaksTaken": 0)")},
        BadDocument{"SecondsAsBool",
                    DAY_WITH(R"("longestStretchSeconds": true, "promptsShown": 0, "breaksTaken": 0)")},
        BadDocument{"AppsArray",
                    R"({"days": {"d": {"day": "d", "apps": [], "sweatingSeconds": 1, "meltdownSeconds": 2,
            "activeSeconds": 3, "longestStretchSeconds": 0, "promptsShown": 0, "breaksTaken": 0}}})"},
        BadDocument{"AppMissingFlag",
                    R"({"days": {"d": {"day": "d", "apps": {"x": {"name": "x", "sweatSeconds": 1,
            "cpuSeconds": 1}}, "sweatingSeconds": 1, "meltdownSeconds": 2, "activeSeconds": 3,
            "longestStretchSeconds": 0, "promptsShown": 0, "breaksTaken": 0}}})"},
        BadDocument{"AppFlagAsNumber",
                    R"({"days": {"d": {"day": "d", "apps": {"x": {"name": "x", "isSystem": 0,
            "sweatSeconds": 1, "cpuSeconds": 1}}, "sweatingSeconds": 1, "meltdownSeconds": 2, "activeSeconds": 3,
            "longestStretchSeconds": 0, "promptsShown": 0, "breaksTaken": 0}}})"},
        BadDocument{"DayKeyAsNumber", R"({"days": {"d": {"day": 20260305, "apps": {}, "sweatingSeconds": 1,
            "meltdownSeconds": 2, "activeSeconds": 3, "longestStretchSeconds": 0, "promptsShown": 0,
            "breaksTaken": 0}}})"}),
    [](const testing::TestParamInfo<BadDocument>& info) { return std::string(info.param.name); });

TEST(StatsLedgerJsonTest, ExtraMembersAreIgnoredAndEntriesKeepTheirMemberName) {
    const StatsLedger ledger = StatsLedger::fromJson(json::parse(
        DAY_WITH(R"("longestStretchSeconds": 0, "promptsShown": 3.0, "breaksTaken": 0, "extra": [1, 2])")));
    DailyStats expected("2026-03-05");
    expected.sweatingSeconds = 1;
    expected.meltdownSeconds = 2;
    expected.activeSeconds = 3;
    expected.promptsShown = 3;
    EXPECT_EQ(ledger.days.at("2026-03-05"), expected);

    const StatsLedger renamed = StatsLedger::fromJson(json::parse(
        R"({"days": {"2026-03-06": {"day": "2026-03-05", "apps": {}, "sweatingSeconds": 0, "meltdownSeconds": 0,
            "activeSeconds": 0, "longestStretchSeconds": 0, "promptsShown": 0, "breaksTaken": 0}}})"));
    EXPECT_EQ(renamed.days.at("2026-03-06").day, "2026-03-05");
}

// A figure as the strict decoder accepts it, in a day that is otherwise plain.
StatsLedger dayHolding(const std::string& member, const std::string& stored) {
    std::map<std::string, std::string> figures{{"sweatingSeconds", "600"}, {"meltdownSeconds", "0"},
                                               {"activeSeconds", "7200"},  {"longestStretchSeconds", "3600"},
                                               {"promptsShown", "2"},      {"breaksTaken", "1"},
                                               {"sweatSeconds", "300"},    {"cpuSeconds", "900"}};
    figures.at(member) = stored;
    const auto f = [&figures](const char* key) { return "\"" + std::string(key) + "\": " + figures.at(key); };
    return StatsLedger::fromJson(json::parse(
        R"({"days": {"2026-03-05": {"day": "2026-03-05", "apps": {"firefox": {"name": "Firefox", "isSystem": false, )" +
        f("sweatSeconds") + ", " + f("cpuSeconds") + "}}, " + f("sweatingSeconds") + ", " +
        f("meltdownSeconds") + ", " + f("activeSeconds") + ", " + f("longestStretchSeconds") + ", " +
        f("promptsShown") + ", " + f("breaksTaken") + "}}}"));
}

double figure(const StatsLedger& ledger, const std::string& member) {
    const DailyStats& day = ledger.days.at("2026-03-05");
    const AppSweat& app = day.apps.at("firefox");
    const std::map<std::string, double> figures{{"sweatingSeconds", day.sweatingSeconds},
                                                {"meltdownSeconds", day.meltdownSeconds},
                                                {"activeSeconds", day.activeSeconds},
                                                {"longestStretchSeconds", day.longestStretchSeconds},
                                                {"promptsShown", static_cast<double>(day.promptsShown)},
                                                {"breaksTaken", static_cast<double>(day.breaksTaken)},
                                                {"sweatSeconds", app.sweatSeconds},
                                                {"cpuSeconds", app.cpuSeconds}};
    return figures.at(member);
}

TEST(StatsLedgerFiguresTest, EveryFigureIsMendedToWhatADayCanHold) {
    struct Case {
        const char* member;
        const char* stored;
        double mended;
    };
    constexpr double day = 90000; // 25 hours: the day the clocks go back
    const std::vector<Case> cases{
        {"sweatingSeconds", "-60", 0},
        {"sweatingSeconds", "1e300", day},
        {"sweatingSeconds", "-1e300", 0},
        {"meltdownSeconds", "-0.5", 0},
        // Beside the day's 600 s of sweating.
        {"meltdownSeconds", "90000.5", day - 600},
        {"activeSeconds", "-60", 0},
        {"activeSeconds", "1e300", day},
        {"activeSeconds", "18446744073709551615", day},
        {"longestStretchSeconds", "-60", 0},
        {"longestStretchSeconds", "1e300", day},
        {"promptsShown", "-1", 0},
        {"promptsShown", "9223372036854775807", day},
        {"breaksTaken", "-9223372036854775808", 0},
        {"breaksTaken", "1e18", day},
        {"sweatSeconds", "-60", 0},
        {"sweatSeconds", "1e300", day},
        {"cpuSeconds", "-60", 0},
        {"cpuSeconds", "1e300", day * 8192},
        // What a day on many cores can hold stays as it is.
        {"cpuSeconds", "3456000", 3456000},
        {"activeSeconds", "86400", 86400},
        {"activeSeconds", "90000", day},
        {"breaksTaken", "0", 0},
    };
    for (const Case& c : cases) {
        StatsLedger ledger = dayHolding(c.member, c.stored);
        const double before = figure(ledger, c.member);
        EXPECT_EQ(ledger.mendFigures(), before == c.mended ? 0U : 1U) << c.member << " " << c.stored;
        EXPECT_EQ(figure(ledger, c.member), c.mended) << c.member << " " << c.stored;
        EXPECT_EQ(ledger.mendFigures(), 0U) << "mended once for all";
    }
}

TEST(StatsLedgerFiguresTest, SweatingAndMeltdownTogetherFitTheDay) {
    struct Case {
        double sweating, meltdown;
        double mendedSweating, mendedMeltdown;
        std::size_t mended;
    };
    for (const Case& c : {Case{60000, 60000, 60000, 30000, 1}, Case{1e300, 1e300, 90000, 0, 2},
                          Case{50000, 40000, 50000, 40000, 0}, Case{-5, 1e300, 0, 90000, 2}}) {
        StatsLedger ledger;
        DailyStats& day = ledger.days["2027-01-02"];
        day.sweatingSeconds = c.sweating;
        day.meltdownSeconds = c.meltdown;
        EXPECT_EQ(ledger.mendFigures(), c.mended) << c.sweating << " " << c.meltdown;
        EXPECT_EQ(day.sweatingSeconds, c.mendedSweating);
        EXPECT_EQ(day.meltdownSeconds, c.mendedMeltdown);
    }
}

TEST(StatsLedgerFiguresTest, ASaneLedgerIsLeftAsItIs) {
    StatsLedger ledger = sampleLedger();
    ledger.days["2027-01-02"].promptsShown = 3;
    ledger.days["2027-01-02"].breaksTaken = 0;
    const StatsLedger before = ledger;
    EXPECT_EQ(ledger.mendFigures(), 0U);
    EXPECT_EQ(ledger, before);
}

} // namespace
} // namespace halvrick
