#include "core/Calendar.h"
#include "core/Error.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

Date utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return Calendar("UTC").date(y, mo, d, h, mi, s); }

TEST(DateTest, ReferenceDateIsTheStartOf2001) {
    EXPECT_EQ(Date::sinceReference(0).timeIntervalSince1970(), 978307200.0);
    EXPECT_EQ(Date::since1970(978307200.5).timeIntervalSinceReferenceDate(), 0.5);
    EXPECT_EQ(utc(2001, 1, 1), Date::sinceReference(0));
    const DateComponents c = Calendar("UTC").components(Date::sinceReference(0));
    EXPECT_EQ((DateComponents{2001, 1, 1, 0, 0, 0, 0, 2}), c); // a Monday
    EXPECT_EQ(Date::since1970(10) - Date::since1970(4), 6.0);
    EXPECT_LT(Date::since1970(4), Date::since1970(4) + 0.001);
}

TEST(CalendarTest, WeekdaysNumberFromSunday) {
    const Calendar cal("Europe/Berlin");
    EXPECT_EQ(cal.weekday(cal.date(2026, 12, 6, 12)), 1);  // Sunday
    EXPECT_EQ(cal.weekday(cal.date(2026, 12, 9, 0)), 4);   // Wednesday
    EXPECT_EQ(cal.weekday(cal.date(2026, 12, 12, 23, 59)), 7); // Saturday
}

TEST(CalendarTest, StartOfWeekHonoursTheFirstWeekday) {
    const Date wednesday = Calendar("Europe/Berlin").date(2026, 12, 9, 15);
    EXPECT_EQ(Calendar("Europe/Berlin", 1).startOfWeek(wednesday), Calendar("Europe/Berlin").date(2026, 12, 6));
    EXPECT_EQ(Calendar("Europe/Berlin", 2).startOfWeek(wednesday), Calendar("Europe/Berlin").date(2026, 12, 7));
    const Date sunday = Calendar("Europe/Berlin").date(2026, 12, 6, 1);
    EXPECT_EQ(Calendar("Europe/Berlin", 2).startOfWeek(sunday), Calendar("Europe/Berlin").date(2026, 11, 30));
}

struct DstCase {
    const char* zone;
    int year, month, day; // the day of the change
    double dayLength;     // seconds of that local day
};

class DstDayTest : public testing::TestWithParam<DstCase> {};

TEST_P(DstDayTest, DaysAcrossTheChangeHaveTheirRealLength) {
    const DstCase& p = GetParam();
    const Calendar cal(p.zone);
    const Date noonBefore = cal.date(p.year, p.month, p.day - 1, 12);
    const Date start = cal.startOfDay(cal.date(p.year, p.month, p.day, 12));
    const Date next = cal.startOfDay(cal.addingDays(1, start));
    EXPECT_EQ(next - start, p.dayLength);
    EXPECT_EQ(cal.components(start).hour, 0);
    // Adding days keeps the local time of day, so the absolute step is the day's real length.
    const Date noonOf = cal.addingDays(1, noonBefore);
    EXPECT_EQ(cal.components(noonOf).hour, 12);
    EXPECT_EQ(cal.components(noonOf).day, p.day);
    EXPECT_EQ(noonOf - noonBefore, p.dayLength);
    EXPECT_EQ(cal.daysBetween(noonBefore, noonOf), 1);
    EXPECT_EQ(cal.addingDays(-1, noonOf), noonBefore);
    // Minutes are absolute.
    EXPECT_EQ(cal.addingMinutes(24 * 60, noonBefore) - noonBefore, 86400.0);
}

INSTANTIATE_TEST_SUITE_P(Zones, DstDayTest,
                         testing::Values(DstCase{"Europe/Berlin", 2026, 3, 29, 23 * 3600.0},
                                         DstCase{"Europe/Berlin", 2026, 10, 25, 25 * 3600.0},
                                         DstCase{"America/New_York", 2026, 3, 8, 23 * 3600.0},
                                         DstCase{"America/New_York", 2026, 11, 1, 25 * 3600.0}));

struct LocalTimeCase {
    const char* zone;
    int month, day, hour, minute;
    Date expected; // UTC instant
    int shownHour;
};

class OddLocalTimeTest : public testing::TestWithParam<LocalTimeCase> {};

TEST_P(OddLocalTimeTest, SkippedMovesForwardRepeatedTakesTheEarlier) {
    const LocalTimeCase& p = GetParam();
    const Calendar cal(p.zone);
    const Date d = cal.date(2026, p.month, p.day, p.hour, p.minute);
    EXPECT_EQ(d, p.expected);
    EXPECT_EQ(cal.components(d).hour, p.shownHour);
    EXPECT_EQ(cal.components(d).minute, p.minute);
}

INSTANTIATE_TEST_SUITE_P(
    Zones, OddLocalTimeTest,
    testing::Values(LocalTimeCase{"Europe/Berlin", 3, 29, 2, 30, utc(2026, 3, 29, 1, 30), 3},  // skipped
                    LocalTimeCase{"Europe/Berlin", 10, 25, 2, 30, utc(2026, 10, 25, 0, 30), 2}, // repeated
                    LocalTimeCase{"America/New_York", 3, 8, 2, 30, utc(2026, 3, 8, 7, 30), 3},
                    LocalTimeCase{"America/New_York", 11, 1, 1, 30, utc(2026, 11, 1, 5, 30), 1}));

TEST(CalendarTest, LeapDaysAndCarryOver) {
    const Calendar cal("America/New_York");
    const Date feb28 = cal.date(2024, 2, 28, 9);
    EXPECT_EQ(cal.components(cal.addingDays(1, feb28)).day, 29);
    EXPECT_EQ(cal.components(cal.addingDays(2, feb28)).month, 3);
    EXPECT_EQ(cal.date(2025, 2, 29), cal.date(2025, 3, 1));
    EXPECT_EQ(cal.date(2025, 13, 1), cal.date(2026, 1, 1));
    EXPECT_EQ(cal.date(2025, 1, 0), cal.date(2024, 12, 31));
    EXPECT_EQ(cal.daysBetween(cal.date(2024, 1, 1), cal.date(2025, 1, 1)), 366);
    EXPECT_EQ(cal.daysBetween(cal.date(2025, 1, 1), cal.date(2026, 1, 1)), 365);
    EXPECT_EQ(cal.daysBetween(cal.date(2025, 1, 1, 23, 59), cal.date(2024, 12, 31, 0, 1)), -1);
}

TEST(CalendarTest, LocalDayDependsOnTheZone) {
    const Date instant = utc(2026, 12, 31, 23, 30);
    EXPECT_EQ(Calendar("UTC").components(instant).year, 2026);
    EXPECT_EQ(Calendar("Europe/Berlin").components(instant).year, 2027);
    EXPECT_EQ(Calendar("America/New_York").components(instant).day, 31);
    EXPECT_EQ(Calendar("Europe/Berlin").minuteOfDay(instant), 30);
}

TEST(CalendarTest, FractionsAndDatesBefore1970) {
    const Calendar cal("UTC");
    const DateComponents c = cal.components(Date::since1970(-0.25));
    EXPECT_EQ((DateComponents{1969, 12, 31, 23, 59, 59, 750000000, 4}), c);
    EXPECT_EQ(cal.addingDays(1, Date::since1970(0.5)), Date::since1970(86400.5));
}

TEST(CalendarTest, RejectsUnknownZonesAndWeekdays) {
    EXPECT_THROW(Calendar("Mars/Olympus"), Error);
    EXPECT_THROW(Calendar("UTC", 0), Error);
    EXPECT_THROW(Calendar("UTC", 8), Error);
}

} // namespace
} // namespace halvrick
