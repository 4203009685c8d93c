#pragma once

#include "core/JsonCoding.h"
#include "core/Uuid.h"

#include <cstdint>
#include <string>
#include <utility>

namespace halvrick {

// A personal reminder the user wrote, repeating every few minutes at the computer or daily at a time.
struct Reminder {
    class Schedule {
    public:
        enum class Case { every, daily };

        static Schedule every(std::int64_t minutes) { return {Case::every, minutes, 0, 0}; }
        static Schedule daily(std::int64_t hour, std::int64_t minute) {
            return {Case::daily, 0, hour, minute};
        }

        Case scheduleCase() const { return case_; }
        // The values of the other case read 0.
        std::int64_t minutes() const { return minutes_; }
        std::int64_t hour() const { return hour_; }
        std::int64_t minute() const { return minute_; }

        // Every 1 minute or more; daily at 0...23 hours and 0...59 minutes. An invalid schedule is never due.
        bool isValid() const;
        // The valid schedule of the same case whose values lie nearest: every -5 minutes is every minute.
        Schedule nearestValid() const;

        // {"every": {"minutes": 30}} or {"daily": {"hour": 9, "minute": 5}}.
        json::Json toJson() const;
        // Exactly one case key, else "Invalid number of keys found, expected one."; ranges are not checked.
        static Schedule fromJson(const json::Json& value);

        friend bool operator==(const Schedule&, const Schedule&) = default;

    private:
        Schedule(Case c, std::int64_t minutes, std::int64_t hour, std::int64_t minute)
            : case_(c), minutes_(minutes), hour_(hour), minute_(minute) {}

        Case case_;
        std::int64_t minutes_;
        std::int64_t hour_;
        std::int64_t minute_;
    };

    // Stays the same when the reminder is edited.
    Uuid id;
    // Shown as written.
    std::string text;
    Schedule schedule;
    bool isEnabled;

    Reminder(Uuid id, std::string text, Schedule schedule, bool isEnabled)
        : id(id), text(std::move(text)), schedule(schedule), isEnabled(isEnabled) {}

    // The id in upper case. Byte sequences in the text that are not UTF-8 are written as U+FFFD, so the
    // record always encodes.
    json::Json toJson() const;
    // All four keys are required; the id is read in either letter case.
    static Reminder fromJson(const json::Json& value);

    friend bool operator==(const Reminder&, const Reminder&) = default;
};

} // namespace halvrick
