#include "sampling/SystemTimeSource.h"

#include "sampling/CalendarCache.h"

#include <QLocale>

#include <date/tz.h>

#include <chrono>

namespace halvrick {

Date SystemTimeSource::now() const {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return Date::since1970(std::chrono::duration<double>(since).count());
}

namespace {

Calendar lookUpCalendar() {
    // Qt counts Monday as 1 and Sunday as 7; the calendar counts Sunday as 1.
    const int firstWeekday = static_cast<int>(QLocale::system().firstDayOfWeek()) % 7 + 1;
    try {
        return Calendar(date::current_zone()->name(), firstWeekday);
    } catch (const std::exception&) {
        // No /etc/localtime, or a zone the database does not know.
        return Calendar("UTC", firstWeekday);
    }
}

} // namespace

Calendar SystemTimeSource::currentCalendar() {
    static CalendarCache cache(lookUpCalendar, monotonicSeconds);
    return cache.current();
}

double monotonicSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace halvrick
