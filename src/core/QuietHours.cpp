#include "core/QuietHours.h"

namespace halvrick {

bool QuietHours::contains(Date date, const Calendar& calendar) const {
    if (startMinute == endMinute) {
        return false;
    }
    const std::int64_t m = calendar.minuteOfDay(date);
    if (startMinute < endMinute) {
        return startMinute <= m && m < endMinute;
    }
    return m >= startMinute || m < endMinute;
}

json::Json QuietHours::toJson() const {
    return json::Json{{"startMinute", startMinute}, {"endMinute", endMinute}};
}

QuietHours QuietHours::fromJson(const json::Json& value) {
    const json::Json& obj = json::object(value, "quiet hours");
    return QuietHours{json::required<std::int64_t>(obj, "startMinute"),
                      json::required<std::int64_t>(obj, "endMinute")};
}

} // namespace halvrick
