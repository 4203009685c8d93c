#include "core/EndOfDayRitual.h"

#include "core/StatsLedger.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace halvrick {
namespace {

namespace Policy = EndOfDayRitualPolicy;

// "2026-06-10 18:29:59" in the calendar's zone.
Date local(const char* text, const Calendar& calendar) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    EXPECT_EQ(std::sscanf(text, "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s), 6) << text;
    return calendar.date(y, mo, d, h, mi, s);
}

const char* const berlin = "Europe/Berlin";
const char* const newYork = "America/New_York";

struct WindowCase {
    const char* name;
    const char* zone;
    std::int64_t minuteOfDay;
    const char* now;
    // Empty when `now` lies in no window.
    std::string start;
};

class EveningWindowTest : public testing::TestWithParam<WindowCase> {};

TEST_P(EveningWindowTest, Start) {
    const WindowCase& c = GetParam();
    const Calendar calendar(c.zone);
    const auto start = Policy::windowStart(c.minuteOfDay, local(c.now, calendar), calendar);
    if (c.start.empty()) {
        EXPECT_EQ(start, std::nullopt);
    } else {
        EXPECT_EQ(start, local(c.start.c_str(), calendar));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, EveningWindowTest,
    testing::Values(
        WindowCase{"JustBefore", berlin, 1110, "2026-06-10 18:29:59", ""},
        WindowCase{"Opening", berlin, 1110, "2026-06-10 18:30:00", "2026-06-10 18:30:00"},
        WindowCase{"LastSecond", berlin, 1110, "2026-06-10 19:59:59", "2026-06-10 18:30:00"},
        WindowCase{"Closed", berlin, 1110, "2026-06-10 20:00:00", ""},
        WindowCase{"MinuteTooLarge", berlin, 1440, "2026-06-10 00:10:00", ""},
        WindowCase{"MinuteNegative", berlin, -1, "2026-06-10 23:59:30", ""},
        WindowCase{"MinuteHuge", berlin, std::int64_t{1} << 40, "2026-06-10 18:30:00", ""},
        // A window opened at 23:20 runs to 00:50, into the new year.
        WindowCase{"PastMidnight", berlin, 1400, "2026-01-01 00:30:00", "2025-12-31 23:20:00"},
        WindowCase{"PastMidnightClosed", berlin, 1400, "2026-01-01 00:50:00", ""},
        // On the days the clocks change it still opens at the chosen wall-clock time.
        WindowCase{"BerlinSpringForward", berlin, 1110, "2026-03-29 18:30:00", "2026-03-29 18:30:00"},
        WindowCase{"BerlinSpringForwardEnd", berlin, 1110, "2026-03-29 20:00:00", ""},
        WindowCase{"BerlinFallBack", berlin, 1110, "2026-10-25 19:59:00", "2026-10-25 18:30:00"},
        WindowCase{"BerlinFallBackEarly", berlin, 1110, "2026-10-25 17:45:00", ""},
        WindowCase{"NewYorkSpringForward", newYork, 1110, "2026-03-08 18:30:00", "2026-03-08 18:30:00"},
        WindowCase{"NewYorkFallBack", newYork, 1110, "2026-11-01 19:59:00", "2026-11-01 18:30:00"},
        // 02:30 is skipped in Berlin on 29 March: the window opens where the calendar puts it.
        WindowCase{"SkippedTimeNotYet", berlin, 150, "2026-03-29 03:15:00", ""},
        WindowCase{"SkippedTime", berlin, 150, "2026-03-29 04:59:00", "2026-03-29 03:30:00"}),
    [](const testing::TestParamInfo<WindowCase>& info) { return std::string(info.param.name); });

struct FireCase {
    const char* name;
    std::int64_t minuteOfDay;
    const char* now;
    std::optional<std::string> lastFiredDay;
    std::optional<QuietHours> quietHours;
    bool fires;
};

class EveningFireTest : public testing::TestWithParam<FireCase> {};

TEST_P(EveningFireTest, ShouldFire) {
    const FireCase& c = GetParam();
    const Calendar calendar(berlin);
    EXPECT_EQ(
        Policy::shouldFire(c.minuteOfDay, local(c.now, calendar), c.lastFiredDay, c.quietHours, calendar),
        c.fires);
}

const std::optional<std::string> never;
const std::optional<QuietHours> noQuiet;

INSTANTIATE_TEST_SUITE_P(
    Firing, EveningFireTest,
    testing::Values(
        FireCase{"NeverFiredInside", 1110, "2026-06-10 18:30:00", never, noQuiet, true},
        FireCase{"Outside", 1110, "2026-06-10 18:29:59", never, noQuiet, false},
        FireCase{"FiredToday", 1110, "2026-06-10 19:00:00", "2026-06-10", noQuiet, false},
        FireCase{"FiredYesterday", 1110, "2026-06-10 19:00:00", "2026-06-09", noQuiet, true},
        FireCase{"MinuteTooLarge", 1440, "2026-06-10 00:10:00", never, noQuiet, false},
        // The window past midnight belongs to the evening it opened.
        FireCase{"PastMidnightFiredThatEvening", 1400, "2026-01-01 00:30:00", "2025-12-31", noQuiet, false},
        FireCase{"PastMidnightFiredToday", 1400, "2026-01-01 00:30:00", "2026-01-01", noQuiet, true},
        FireCase{"InsideQuietHours", 1110, "2026-06-10 18:45:00", never, QuietHours{1080, 1140}, false},
        FireCase{"AfterQuietHours", 1110, "2026-06-10 19:30:00", "2026-06-09", QuietHours{1080, 1140}, true},
        FireCase{"EmptyQuietHours", 1110, "2026-06-10 18:45:00", never, QuietHours{1110, 1110}, true}),
    [](const testing::TestParamInfo<FireCase>& info) { return std::string(info.param.name); });

TEST(EveningPolicyTest, TimeThatIsNotFiniteIsInNoWindow) {
    const Calendar calendar(berlin);
    for (const double bad :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(Policy::windowStart(1110, Date::since1970(bad), calendar), std::nullopt);
        EXPECT_FALSE(Policy::shouldFire(1110, Date::since1970(bad), never, noQuiet, calendar));
    }
}

struct EveningsCase {
    const char* name;
    std::int64_t minuteOfDay;
    std::optional<QuietHours> quietHours;
    std::vector<std::string> fired;
};

class EveningsTest : public testing::TestWithParam<EveningsCase> {};

// Checked once a minute over three days, storing the day key after each firing as the app does.
TEST_P(EveningsTest, FiresOncePerEvening) {
    const EveningsCase& c = GetParam();
    const Calendar calendar(berlin);
    std::optional<std::string> lastFired;
    std::vector<std::string> fired;
    for (Date now = calendar.date(2026, 3, 27); now < calendar.date(2026, 3, 30); now += 60) {
        if (Policy::shouldFire(c.minuteOfDay, now, lastFired, c.quietHours, calendar)) {
            lastFired = StatsLedger::dayKey(*Policy::windowStart(c.minuteOfDay, now, calendar), calendar);
            const DateComponents t = calendar.components(now);
            char text[32];
            std::snprintf(text, sizeof text, "%02d %02d:%02d for %s", t.day, t.hour, t.minute,
                          lastFired->c_str());
            fired.emplace_back(text);
        }
    }
    EXPECT_EQ(fired, c.fired);
}

INSTANTIATE_TEST_SUITE_P(
    Evenings, EveningsTest,
    testing::Values(
        EveningsCase{"AtTheChosenTime",
                     1110,
                     std::nullopt,
                     {"27 18:30 for 2026-03-27", "28 18:30 for 2026-03-28", "29 18:30 for 2026-03-29"}},
        EveningsCase{"WhenQuietHoursEndInsideTheWindow",
                     1110,
                     QuietHours{1080, 1140},
                     {"27 19:00 for 2026-03-27", "28 19:00 for 2026-03-28", "29 19:00 for 2026-03-29"}},
        EveningsCase{"NeverWhenQuietHoursCoverTheWindow", 1110, QuietHours{1080, 1230}, {}},
        // Quiet until 00:30 holds a 23:20 window past midnight; it still counts for the evening it opened.
        EveningsCase{"PastMidnightForTheEveningBefore",
                     1400,
                     QuietHours{1320, 30},
                     {"27 00:30 for 2026-03-26", "28 00:30 for 2026-03-27", "29 00:30 for 2026-03-28"}}),
    [](const testing::TestParamInfo<EveningsCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace halvrick
