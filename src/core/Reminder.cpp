#include "core/Reminder.h"

#include "core/MendedUTF8.h"

#include <algorithm>

namespace halvrick {

bool Reminder::Schedule::isValid() const {
    return nearestValid() == *this;
}

Reminder::Schedule Reminder::Schedule::nearestValid() const {
    if (case_ == Case::every) {
        return every(std::max<std::int64_t>(minutes_, 1));
    }
    return daily(std::clamp<std::int64_t>(hour_, 0, 23), std::clamp<std::int64_t>(minute_, 0, 59));
}

json::Json Reminder::Schedule::toJson() const {
    if (case_ == Case::every) {
        return {{"every", {{"minutes", minutes_}}}};
    }
    return {{"daily", {{"hour", hour_}, {"minute", minute_}}}};
}

Reminder::Schedule Reminder::Schedule::fromJson(const json::Json& value) {
    const json::Json& obj = json::object(value, "schedule");
    const bool hasEvery = obj.contains("every");
    const bool hasDaily = obj.contains("daily");
    if (hasEvery == hasDaily) {
        throw Error("Invalid number of keys found, expected one.");
    }
    if (hasEvery) {
        const json::Json& inner = json::object(json::member(obj, "every"), "every");
        return every(json::required<std::int64_t>(inner, "minutes"));
    }
    const json::Json& inner = json::object(json::member(obj, "daily"), "daily");
    const std::int64_t hour = json::required<std::int64_t>(inner, "hour");
    return daily(hour, json::required<std::int64_t>(inner, "minute"));
}

json::Json Reminder::toJson() const {
    return {{"id", id.toString()},
            {"text", mendedUTF8(text)},
            {"schedule", schedule.toJson()},
            {"isEnabled", isEnabled}};
}

Reminder Reminder::fromJson(const json::Json& value) {
    const json::Json& obj = json::object(value, "reminder");
    const auto id = Uuid::fromString(json::required<std::string>(obj, "id"));
    if (!id) {
        throw Error("\"id\" must be a UUID");
    }
    std::string text = json::required<std::string>(obj, "text");
    const Schedule schedule = Schedule::fromJson(json::member(obj, "schedule"));
    return {*id, std::move(text), schedule, json::required<bool>(obj, "isEnabled")};
}

} // namespace halvrick
