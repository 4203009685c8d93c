#pragma once

#include "core/Date.h"

#include <string>

namespace date {
class time_zone;
}

namespace halvrick {

// The local fields of a date. weekday: 1 = Sunday ... 7 = Saturday.
struct DateComponents {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int nanosecond = 0;
    int weekday = 5;

    friend bool operator==(const DateComponents&, const DateComponents&) = default;
};

// A Gregorian calendar in one time zone. Local times that do not exist (spring forward) move forward
// by the gap; local times that exist twice (autumn back) resolve to the earlier instant.
class Calendar {
public:
    // Throws Error when the zone is unknown or firstWeekday lies outside 1...7.
    explicit Calendar(const std::string& zone = "UTC", int firstWeekday = 1);

    const std::string& zoneName() const { return zoneName_; }
    int firstWeekday() const { return firstWeekday_; }

    DateComponents components(Date date) const;
    int weekday(Date date) const { return components(date).weekday; }
    // Minutes since local midnight, 0...1439.
    int minuteOfDay(Date date) const;

    // A date from local fields; fields out of range carry over (month 13 is January of the next year).
    Date date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) const;
    Date startOfDay(Date date) const;
    // The start of the week holding the date, weeks beginning on firstWeekday().
    Date startOfWeek(Date date) const;

    // Same local time of day, `days` calendar days away (resolved as above when that time is skipped).
    Date addingDays(int days, Date date) const;
    // Absolute arithmetic: a minute is always 60 s, across a DST change too.
    Date addingMinutes(int minutes, Date date) const;
    // Whole calendar days from the local day of `from` to that of `to` (negative when `to` is earlier).
    int daysBetween(Date from, Date to) const;
    bool isSameDay(Date a, Date b) const { return daysBetween(a, b) == 0; }

    friend bool operator==(const Calendar& a, const Calendar& b) {
        return a.zoneName_ == b.zoneName_ && a.firstWeekday_ == b.firstWeekday_;
    }

private:
    std::string zoneName_;
    int firstWeekday_;
    const date::time_zone* zone_;
};

} // namespace halvrick
