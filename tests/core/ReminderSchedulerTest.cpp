#include "core/ReminderScheduler.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace halvrick {
namespace {

using Schedule = Reminder::Schedule;

constexpr double minute = 60;
constexpr double hour = 3600;
constexpr double day = 86400;

Reminder reminder(std::uint8_t n, const std::string& text, Schedule schedule, bool enabled = true) {
    Uuid::Bytes bytes{};
    bytes[15] = n;
    return Reminder(Uuid(bytes), text, schedule, enabled);
}

// Local time with its UTC offset, so the two 02:30s of an autumn night read apart.
std::string stamp(Date at, const Calendar& calendar) {
    const DateComponents c = calendar.components(at);
    const double offset = Calendar("UTC").date(c.year, c.month, c.day, c.hour, c.minute, c.second) - at;
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d%+03d", c.year, c.month, c.day, c.hour,
                  c.minute, c.second, static_cast<int>(offset / hour));
    return text;
}

std::string texts(const std::vector<Reminder>& reminders) {
    std::string out;
    for (const Reminder& r : reminders) {
        out += (out.empty() ? "" : ",") + r.text;
    }
    return out;
}

struct Span {
    Date from;
    Date to;
};

bool within(const std::vector<Span>& spans, Date at) {
    for (const Span& s : spans) {
        if (s.from <= at && at < s.to) {
            return true;
        }
    }
    return false;
}

// Calls `due` once a minute, as the main tick would, and writes down what came due when.
std::vector<std::string> run(ReminderScheduler& scheduler, const std::vector<Reminder>& reminders, Date from,
                             Date to, const std::vector<Span>& away = {},
                             const std::vector<Span>& quiet = {}) {
    std::vector<std::string> fired;
    for (Date at = from; at < to; at += minute) {
        const auto due = scheduler.due(reminders, at, !within(away, at), within(quiet, at));
        if (!due.empty()) {
            fired.push_back(stamp(at, scheduler.calendar()) + " " + texts(due));
        }
    }
    return fired;
}

struct Moment {
    int year, month, day, hour, minute;
    Date in(const Calendar& calendar) const { return calendar.date(year, month, day, hour, minute); }
};

struct TimelineCase {
    const char* name;
    const char* zone;
    std::vector<Reminder> reminders;
    Moment from;
    Moment to;
    std::vector<std::pair<Moment, Moment>> away;
    std::vector<std::pair<Moment, Moment>> quiet;
    std::vector<std::string> fired;
};

class ReminderTimelineTest : public testing::TestWithParam<TimelineCase> {};

TEST_P(ReminderTimelineTest, FiresAt) {
    const TimelineCase& c = GetParam();
    const Calendar calendar(c.zone);
    ReminderScheduler scheduler(calendar);
    std::vector<Span> away, quiet;
    for (const auto& [from, to] : c.away) {
        away.push_back({from.in(calendar), to.in(calendar)});
    }
    for (const auto& [from, to] : c.quiet) {
        quiet.push_back({from.in(calendar), to.in(calendar)});
    }
    EXPECT_EQ(run(scheduler, c.reminders, c.from.in(calendar), c.to.in(calendar), away, quiet), c.fired);
}

INSTANTIATE_TEST_SUITE_P(
    DaylightSavingAndMidnight, ReminderTimelineTest,
    testing::Values(
        // 02:30 does not exist on 29 March in Berlin: it fires once, at 03:30, where the calendar puts it.
        TimelineCase{
            "BerlinSpringForward",
            "Europe/Berlin",
            {reminder(1, "0230", Schedule::daily(2, 30)), reminder(2, "0900", Schedule::daily(9, 0))},
            {2026, 3, 27, 12, 0},
            {2026, 3, 30, 12, 0},
            {},
            {},
            {"2026-03-28 02:30:00+01 0230", "2026-03-28 09:00:00+01 0900", "2026-03-29 03:30:00+02 0230",
             "2026-03-29 09:00:00+02 0900", "2026-03-30 02:30:00+02 0230", "2026-03-30 09:00:00+02 0900"}},
        // 02:30 happens twice on 25 October: only the first one fires.
        TimelineCase{"BerlinFallBack",
                     "Europe/Berlin",
                     {reminder(1, "0230", Schedule::daily(2, 30))},
                     {2026, 10, 24, 12, 0},
                     {2026, 10, 26, 12, 0},
                     {},
                     {},
                     {"2026-10-25 02:30:00+02 0230", "2026-10-26 02:30:00+01 0230"}},
        TimelineCase{"NewYorkSpringForward",
                     "America/New_York",
                     {reminder(1, "0215", Schedule::daily(2, 15))},
                     {2026, 3, 7, 12, 0},
                     {2026, 3, 9, 12, 0},
                     {},
                     {},
                     {"2026-03-08 03:15:00-04 0215", "2026-03-09 02:15:00-04 0215"}},
        TimelineCase{"NewYorkFallBack",
                     "America/New_York",
                     {reminder(1, "0130", Schedule::daily(1, 30))},
                     {2026, 10, 31, 12, 0},
                     {2026, 11, 2, 12, 0},
                     {},
                     {},
                     {"2026-11-01 01:30:00-04 0130", "2026-11-02 01:30:00-05 0130"}},
        // Intervals count real minutes: the hour the clocks skip or repeat is not a gap or a double.
        TimelineCase{"IntervalOverBerlinSpringForward",
                     "Europe/Berlin",
                     {reminder(1, "hourly", Schedule::every(60))},
                     {2026, 3, 29, 0, 0},
                     {2026, 3, 29, 5, 0},
                     {},
                     {},
                     {"2026-03-29 01:00:00+01 hourly", "2026-03-29 03:00:00+02 hourly",
                      "2026-03-29 04:00:00+02 hourly"}},
        TimelineCase{"IntervalOverNewYorkFallBack",
                     "America/New_York",
                     {reminder(1, "hourly", Schedule::every(60))},
                     {2026, 11, 1, 0, 0},
                     {2026, 11, 1, 3, 0},
                     {},
                     {},
                     {"2026-11-01 01:00:00-04 hourly", "2026-11-01 01:00:00-05 hourly",
                      "2026-11-01 02:00:00-05 hourly"}},
        TimelineCase{
            "AcrossNewYearsMidnight",
            "Europe/Berlin",
            {reminder(1, "every45", Schedule::every(45)), reminder(2, "2359", Schedule::daily(23, 59)),
             reminder(3, "0000", Schedule::daily(0, 0))},
            {2026, 12, 31, 23, 0},
            {2027, 1, 1, 1, 30},
            {},
            {},
            {"2026-12-31 23:45:00+01 every45", "2026-12-31 23:59:00+01 2359", "2027-01-01 00:00:00+01 0000",
             "2027-01-01 00:30:00+01 every45", "2027-01-01 01:15:00+01 every45"}}),
    [](const testing::TestParamInfo<TimelineCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    AwayAndQuiet, ReminderTimelineTest,
    testing::Values(
        // While away the interval restarts at every call: due one full interval after the last call away.
        TimelineCase{"IntervalRestartsWhileAway",
                     "Europe/Berlin",
                     {reminder(1, "every30", Schedule::every(30))},
                     {2026, 6, 10, 10, 0},
                     {2026, 6, 10, 12, 0},
                     {{{2026, 6, 10, 10, 10}, {2026, 6, 10, 10, 50}}},
                     {},
                     {"2026-06-10 11:19:00+02 every30", "2026-06-10 11:49:00+02 every30"}},
        TimelineCase{"DailyMissedWhileAwayShowsOnReturn",
                     "Europe/Berlin",
                     {reminder(1, "0900", Schedule::daily(9, 0))},
                     {2026, 6, 10, 8, 0},
                     {2026, 6, 11, 10, 0},
                     {{{2026, 6, 10, 8, 55}, {2026, 6, 10, 9, 40}}},
                     {},
                     {"2026-06-10 09:40:00+02 0900", "2026-06-11 09:00:00+02 0900"}},
        // Three missed days give one late reminder, not three.
        TimelineCase{"DailyAwayForDaysFiresOnce",
                     "Europe/Berlin",
                     {reminder(1, "0900", Schedule::daily(9, 0))},
                     {2026, 6, 10, 8, 0},
                     {2026, 6, 14, 10, 0},
                     {{{2026, 6, 10, 8, 30}, {2026, 6, 13, 11, 15}}},
                     {},
                     {"2026-06-13 11:15:00+02 0900", "2026-06-14 09:00:00+02 0900"}},
        // Quiet keeps due times; when it ends everything overdue comes back once, in list order.
        TimelineCase{
            "QuietHoldsThenOneListInOrder",
            "Europe/Berlin",
            {reminder(1, "every30", Schedule::every(30)), reminder(2, "1045", Schedule::daily(10, 45))},
            {2026, 6, 10, 10, 0},
            {2026, 6, 10, 12, 0},
            {},
            {{{2026, 6, 10, 10, 20}, {2026, 6, 10, 11, 5}}},
            {"2026-06-10 11:05:00+02 every30,1045", "2026-06-10 11:35:00+02 every30"}},
        // Away wins over quiet for an interval: it restarts rather than waiting overdue.
        TimelineCase{"AwayDuringQuiet",
                     "Europe/Berlin",
                     {reminder(1, "every30", Schedule::every(30))},
                     {2026, 6, 10, 10, 0},
                     {2026, 6, 10, 12, 0},
                     {{{2026, 6, 10, 10, 40}, {2026, 6, 10, 10, 50}}},
                     {{{2026, 6, 10, 10, 20}, {2026, 6, 10, 11, 0}}},
                     {"2026-06-10 11:19:00+02 every30", "2026-06-10 11:49:00+02 every30"}}),
    [](const testing::TestParamInfo<TimelineCase>& info) { return std::string(info.param.name); });

TEST(ReminderSchedulerTest, FirstSightStartsTheCountAndIsNeverDue) {
    const Calendar berlin("Europe/Berlin");
    ReminderScheduler scheduler(berlin);
    const Reminder water = reminder(1, "water", Schedule::every(30));
    const Reminder nine = reminder(2, "nine", Schedule::daily(9, 0));
    const std::vector<Reminder> list{water, nine};
    const Date ten = berlin.date(2026, 6, 10, 10);

    EXPECT_TRUE(scheduler.due(list, ten, true, false).empty());
    EXPECT_EQ(scheduler.nextDueDate(water.id), ten + 30 * minute);
    EXPECT_EQ(scheduler.nextDueDate(nine.id), berlin.date(2026, 6, 11, 9));
    EXPECT_TRUE(scheduler.due(list, ten + 30 * minute - 1, true, false).empty());
    EXPECT_EQ(texts(scheduler.due(list, ten + 30 * minute + 7, true, false)), "water");
    // The next interval counts from the call that showed it.
    EXPECT_EQ(scheduler.nextDueDate(water.id), ten + 60 * minute + 7);

    // At exactly its time, first sight still counts from now: tomorrow.
    ReminderScheduler fresh(berlin);
    EXPECT_TRUE(fresh.due({nine}, berlin.date(2026, 6, 10, 9), true, false).empty());
    EXPECT_EQ(fresh.nextDueDate(nine.id), berlin.date(2026, 6, 11, 9));

    // The calendar decides the daily time.
    ReminderScheduler moved(berlin);
    moved.setCalendar(Calendar("America/New_York"));
    EXPECT_EQ(moved.calendar(), Calendar("America/New_York"));
    moved.due({nine}, ten, true, false);
    EXPECT_EQ(moved.nextDueDate(nine.id), Calendar("America/New_York").date(2026, 6, 10, 9));
}

TEST(ReminderSchedulerTest, DisabledInvalidAndRemovedRemindersKeepNoState) {
    const Calendar berlin("Europe/Berlin");
    ReminderScheduler scheduler(berlin);
    const std::vector<Reminder> never{
        reminder(1, "zero", Schedule::every(0)), reminder(2, "negative", Schedule::every(-30)),
        reminder(3, "hour24", Schedule::daily(24, 0)), reminder(4, "minute60", Schedule::daily(7, 60)),
        reminder(5, "off", Schedule::every(1), false)};
    const Date start = berlin.date(2026, 6, 10, 0);
    EXPECT_TRUE(run(scheduler, never, start, start + 2 * day).empty());
    for (const Reminder& r : never) {
        EXPECT_EQ(scheduler.nextDueDate(r.id), std::nullopt) << r.text;
    }

    Reminder water = reminder(6, "water", Schedule::every(30));
    scheduler.due({water}, start, true, false);
    water.isEnabled = false;
    scheduler.due({water}, start + 10 * minute, true, false);
    EXPECT_EQ(scheduler.nextDueDate(water.id), std::nullopt);
    // Enabled again: scheduled afresh from that call.
    water.isEnabled = true;
    scheduler.due({water}, start + 20 * minute, true, false);
    EXPECT_EQ(scheduler.nextDueDate(water.id), start + 50 * minute);
    scheduler.due({}, start + 21 * minute, true, false);
    EXPECT_EQ(scheduler.nextDueDate(water.id), std::nullopt);
}

TEST(ReminderSchedulerTest, ScheduleEditRestartsTextEditKeepsTheTime) {
    const Calendar berlin("Europe/Berlin");
    ReminderScheduler scheduler(berlin);
    const Date ten = berlin.date(2026, 6, 10, 10);
    Reminder r = reminder(1, "water", Schedule::every(30));
    scheduler.due({r}, ten, true, false);

    r.schedule = Schedule::every(45);
    EXPECT_TRUE(scheduler.due({r}, ten + 20 * minute, true, false).empty());
    EXPECT_EQ(scheduler.nextDueDate(r.id), ten + 65 * minute);

    r.text = "more water";
    scheduler.due({r}, ten + 25 * minute, true, false);
    EXPECT_EQ(scheduler.nextDueDate(r.id), ten + 65 * minute);
    EXPECT_EQ(texts(scheduler.due({r}, ten + 65 * minute, true, false)), "more water");
}

TEST(ReminderSchedulerTest, OnlyTheFirstReminderWithAnIdCounts) {
    const Calendar berlin("Europe/Berlin");
    ReminderScheduler scheduler(berlin);
    const Reminder first = reminder(1, "first", Schedule::every(30));
    const Reminder twin = reminder(1, "twin", Schedule::every(45));
    const Date ten = berlin.date(2026, 6, 10, 10);
    EXPECT_EQ(run(scheduler, {first, twin}, ten, ten + 61 * minute),
              (std::vector<std::string>{"2026-06-10 10:30:00+02 first", "2026-06-10 11:00:00+02 first"}));
}

TEST(ReminderSchedulerTest, SnoozeMovesOnlyAScheduledReminder) {
    const Calendar berlin("Europe/Berlin");
    ReminderScheduler scheduler(berlin);
    const Reminder water = reminder(1, "water", Schedule::every(30));
    const Reminder stranger = reminder(2, "stranger", Schedule::every(30));
    const Date ten = berlin.date(2026, 6, 10, 10);
    scheduler.due({water}, ten, true, false);

    scheduler.snooze(stranger.id, 600, ten);
    EXPECT_EQ(scheduler.nextDueDate(stranger.id), std::nullopt);

    const Date shown = ten + 30 * minute;
    EXPECT_EQ(texts(scheduler.due({water}, shown, true, false)), "water");
    scheduler.snooze(water.id, 600, shown);
    EXPECT_EQ(scheduler.nextDueDate(water.id), shown + 600);
    EXPECT_TRUE(scheduler.due({water}, shown + 599, true, false).empty());
    EXPECT_EQ(texts(scheduler.due({water}, shown + 600, true, false)), "water");

    // Times that are not finite would leave a reminder never due again.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Date before = shown + 600 + 30 * minute;
    scheduler.snooze(water.id, nan, shown + 601);
    scheduler.snooze(water.id, inf, shown + 601);
    scheduler.snooze(water.id, 600, Date::since1970(nan));
    EXPECT_EQ(scheduler.nextDueDate(water.id), before);

    // A daily reminder snoozed past its time keeps the snooze when the clock is set back a little.
    const Reminder nine = reminder(3, "nine", Schedule::daily(9, 0));
    const Date morning = berlin.date(2026, 6, 11, 8);
    scheduler.due({nine}, morning, true, false);
    EXPECT_EQ(texts(scheduler.due({nine}, morning + hour, true, false)), "nine");
    scheduler.snooze(nine.id, 600, morning + hour);
    scheduler.due({nine}, morning + hour + 5 * minute, true, false);
    scheduler.due({nine}, morning + hour + 5 * minute - 2, true, false);
    EXPECT_EQ(scheduler.nextDueDate(nine.id), morning + hour + 10 * minute - 2);
}

TEST(ReminderSchedulerTest, TimeThatIsNotFiniteChangesNothing) {
    const Calendar berlin("Europe/Berlin");
    ReminderScheduler scheduler(berlin);
    const Reminder water = reminder(1, "water", Schedule::every(30));
    const Reminder nine = reminder(2, "nine", Schedule::daily(9, 0));
    const Date ten = berlin.date(2026, 6, 10, 10);
    scheduler.due({water, nine}, ten, true, false);

    for (const double bad :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity()}) {
        EXPECT_TRUE(scheduler.due({water, nine}, Date::since1970(bad), false, false).empty());
    }
    EXPECT_EQ(scheduler.nextDueDate(water.id), ten + 30 * minute);
    EXPECT_EQ(scheduler.nextDueDate(nine.id), berlin.date(2026, 6, 11, 9));
    EXPECT_EQ(texts(scheduler.due({water, nine}, ten + 30 * minute, true, false)), "water");
}

struct ClockCase {
    const char* name;
    // How far the clock moves from the call at 10:01 to the next one (negative: set back).
    double jump;
    // What the first call after the jump returns.
    std::string firstCall;
    // Minutes from the first call to the interval reminder's next due time.
    double intervalMinutes;
    Moment daily;
};

class ReminderClockTest : public testing::TestWithParam<ClockCase> {};

// A clock set back keeps what was left of each wait: nothing stalls for the length of the jump and nothing
// comes due because of it. A clock set forward brings each overdue reminder once.
TEST_P(ReminderClockTest, KeepsGoingAfterTheJump) {
    const ClockCase& c = GetParam();
    const Calendar berlin("Europe/Berlin");
    ReminderScheduler scheduler(berlin);
    const Reminder daily = reminder(1, "daily", Schedule::daily(9, 0));
    const Reminder interval = reminder(2, "every30", Schedule::every(30));
    const std::vector<Reminder> list{daily, interval};
    EXPECT_EQ(
        run(scheduler, list, berlin.date(2026, 6, 10, 8), berlin.date(2026, 6, 10, 10, 2)),
        (std::vector<std::string>{"2026-06-10 08:30:00+02 every30", "2026-06-10 09:00:00+02 daily,every30",
                                  "2026-06-10 09:30:00+02 every30", "2026-06-10 10:00:00+02 every30"}));

    const Date after = berlin.date(2026, 6, 10, 10, 1) + c.jump;
    EXPECT_EQ(texts(scheduler.due(list, after, true, false)), c.firstCall);
    EXPECT_EQ(scheduler.nextDueDate(interval.id), after + c.intervalMinutes * minute);
    const Date dailyTime = c.daily.in(berlin);
    EXPECT_EQ(scheduler.nextDueDate(daily.id), dailyTime);

    // And it really fires there: once, at the first minute tick at or after its time.
    int dailyFires = 0;
    for (Date at = after + minute; at < dailyTime + hour; at += minute) {
        for (const Reminder& r : scheduler.due(list, at, true, false)) {
            if (r.id == daily.id) {
                ++dailyFires;
                EXPECT_GE(at, dailyTime);
                EXPECT_LT(at, dailyTime + minute);
            }
        }
    }
    EXPECT_EQ(dailyFires, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Jumps, ReminderClockTest,
    testing::Values(ClockCase{"BackTwoSeconds", -2, "", 29, {2026, 6, 11, 9, 0}},
                    ClockCase{"BackThreeHours", -3 * hour, "", 29, {2026, 6, 11, 9, 0}},
                    // The user lives through 10 June again and is reminded on it.
                    ClockCase{"BackADayAndAnHour", -25 * hour, "", 29, {2026, 6, 10, 9, 0}},
                    ClockCase{"BackAYear", -365 * day, "", 29, {2025, 6, 11, 9, 0}},
                    ClockCase{"ForwardThreeDays", 3 * day, "daily,every30", 30, {2026, 6, 14, 9, 0}}),
    [](const testing::TestParamInfo<ClockCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace halvrick
