#include "core/VitalsEventAge.h"

#include <cmath>
#include <tuple>

namespace halvrick::VitalsEventAge {

namespace {

// Whole calendar months from `earlier` to `later`.
int monthsBetween(Date earlier, Date later, const Calendar& calendar) {
    const DateComponents e = calendar.components(earlier);
    const DateComponents l = calendar.components(later);
    int months = (l.year - e.year) * 12 + (l.month - e.month);
    if (std::tie(l.day, l.hour, l.minute, l.second) < std::tie(e.day, e.hour, e.minute, e.second)) {
        --months;
    }
    return months;
}

// "1 hour ago", "in 3 hours"; a count of one has its own word when `named` is given.
std::string amount(long count, const char* unit, bool future, const char* lastNamed, const char* nextNamed) {
    if (count == 1 && lastNamed) {
        return future ? nextNamed : lastNamed;
    }
    const std::string words = std::to_string(count) + " " + unit + (count == 1 ? "" : "s");
    return future ? "in " + words : words + " ago";
}

} // namespace

std::string text(Date date, Date now, const Calendar& calendar) {
    const bool future = date > now;
    const double seconds = std::abs(now - date);
    if (seconds < 1) {
        return "now";
    }
    const auto whole = [&](double unit) { return static_cast<long>(std::floor(seconds / unit)); };
    if (seconds < 60) {
        return amount(whole(1), "second", future, nullptr, nullptr);
    }
    if (seconds < 3600) {
        return amount(whole(60), "minute", future, nullptr, nullptr);
    }
    if (seconds < 86400) {
        return amount(whole(3600), "hour", future, nullptr, nullptr);
    }
    const long days = whole(86400);
    if (days < 7) {
        return amount(days, "day", future, "yesterday", "tomorrow");
    }
    const int months = future ? monthsBetween(now, date, calendar) : monthsBetween(date, now, calendar);
    if (months < 1) {
        return amount(days / 7, "week", future, "last week", "next week");
    }
    if (months < 12) {
        return amount(months, "month", future, "last month", "next month");
    }
    return amount(months / 12, "year", future, "last year", "next year");
}

} // namespace halvrick::VitalsEventAge
