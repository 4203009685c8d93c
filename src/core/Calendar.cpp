#include "core/Calendar.h"

#include "core/Error.h"

#include <date/tz.h>

#include <cmath>

namespace halvrick {

namespace {

using std::chrono::seconds;

struct Split {
    date::sys_seconds whole;
    int nanosecond;
};

Split split(Date d) {
    const double t = d.timeIntervalSince1970();
    const double whole = std::floor(t);
    int nanos = static_cast<int>(std::llround((t - whole) * 1e9));
    if (nanos >= 1'000'000'000) {
        nanos = 999'999'999;
    }
    return {date::sys_seconds{seconds{static_cast<long long>(whole)}}, nanos};
}

Date fromSys(date::sys_seconds s, int nanosecond = 0) {
    return Date::since1970(static_cast<double>(s.time_since_epoch().count()) + nanosecond / 1e9);
}

date::local_seconds localOf(const date::time_zone* zone, date::sys_seconds s) {
    return date::local_seconds{s.time_since_epoch() + zone->get_info(s).offset};
}

long long localDayNumber(const date::time_zone* zone, Date d) {
    return date::floor<date::days>(localOf(zone, split(d).whole)).time_since_epoch().count();
}

date::local_days normalizedDay(int year, int month, int day) {
    const long long months = static_cast<long long>(year) * 12 + (month - 1);
    const long long y = months >= 0 ? months / 12 : -((-months + 11) / 12);
    const int m = static_cast<int>(months - y * 12) + 1;
    return date::local_days{date::year{static_cast<int>(y)} / date::month{static_cast<unsigned>(m)} / 1} +
           date::days{day - 1};
}

} // namespace

Calendar::Calendar(const std::string& zone, int firstWeekday) : zoneName_(zone), firstWeekday_(firstWeekday) {
    if (firstWeekday < 1 || firstWeekday > 7) {
        throw Error("first weekday must lie in 1...7");
    }
    try {
        zone_ = date::locate_zone(zone);
    } catch (const std::exception&) {
        throw Error("unknown time zone: " + zone);
    }
}

DateComponents Calendar::components(Date d) const {
    const Split s = split(d);
    const date::local_seconds local = localOf(zone_, s.whole);
    const date::local_days day = date::floor<date::days>(local);
    const date::year_month_day ymd{day};
    const date::hh_mm_ss<seconds> time{local - day};
    DateComponents c;
    c.year = static_cast<int>(ymd.year());
    c.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    c.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    c.hour = static_cast<int>(time.hours().count());
    c.minute = static_cast<int>(time.minutes().count());
    c.second = static_cast<int>(time.seconds().count());
    c.nanosecond = s.nanosecond;
    c.weekday = static_cast<int>(date::weekday{day}.c_encoding()) + 1;
    return c;
}

int Calendar::minuteOfDay(Date d) const {
    const DateComponents c = components(d);
    return c.hour * 60 + c.minute;
}

Date Calendar::date(int year, int month, int day, int hour, int minute, int second) const {
    const date::local_seconds local = normalizedDay(year, month, day) + std::chrono::hours{hour} +
                                      std::chrono::minutes{minute} + seconds{second};
    const date::local_info info = zone_->get_info(local);
    // For a skipped time `first` is the offset before the gap, which moves the time forward by the gap;
    // for a repeated time `first` is the earlier of the two instants.
    const seconds offset = info.first.offset;
    return fromSys(date::sys_seconds{local.time_since_epoch() - offset});
}

Date Calendar::startOfDay(Date d) const {
    const DateComponents c = components(d);
    return date(c.year, c.month, c.day);
}

Date Calendar::startOfWeek(Date d) const {
    const DateComponents c = components(d);
    const int back = (c.weekday - firstWeekday_ + 7) % 7;
    return date(c.year, c.month, c.day - back);
}

Date Calendar::addingDays(int days, Date d) const {
    const DateComponents c = components(d);
    return date(c.year, c.month, c.day + days, c.hour, c.minute, c.second) + c.nanosecond / 1e9;
}

Date Calendar::addingMinutes(int minutes, Date d) const { return d + minutes * 60.0; }

int Calendar::daysBetween(Date from, Date to) const {
    return static_cast<int>(localDayNumber(zone_, to) - localDayNumber(zone_, from));
}

} // namespace halvrick
