#include "core/ReminderScheduler.h"

#include <cmath>
#include <set>

namespace halvrick {

namespace {

bool isFinite(Date date) {
    return std::isfinite(date.timeIntervalSince1970());
}

double intervalSeconds(const Reminder::Schedule& schedule) {
    // In floating point: a huge minute count must not overflow an integer product.
    return static_cast<double>(schedule.minutes()) * 60.0;
}

} // namespace

std::vector<Reminder> ReminderScheduler::due(const std::vector<Reminder>& reminders, Date now, bool isPresent,
                                             bool suppressed) {
    std::vector<Reminder> result;
    if (!isFinite(now)) {
        return result;
    }
    followClock(now);

    std::vector<const Reminder*> candidates;
    std::set<Uuid> ids;
    for (const Reminder& reminder : reminders) {
        // A second entry with the same id would reschedule the first on every call, so neither came due.
        if (reminder.isEnabled && reminder.schedule.isValid() && ids.insert(reminder.id).second) {
            candidates.push_back(&reminder);
        }
    }
    std::erase_if(nextDue_, [&](const auto& entry) { return !ids.contains(entry.first); });
    std::erase_if(scheduled_, [&](const auto& entry) { return !ids.contains(entry.first); });

    for (const Reminder* reminder : candidates) {
        const auto scheduled = scheduled_.find(reminder->id);
        if (scheduled == scheduled_.end() || !(scheduled->second == reminder->schedule) ||
            !nextDue_.contains(reminder->id)) {
            scheduled_.insert_or_assign(reminder->id, reminder->schedule);
            nextDue_[reminder->id] = nextTime(reminder->schedule, now);
        }
        Date& next = nextDue_[reminder->id];
        if (reminder->schedule.scheduleCase() == Reminder::Schedule::Case::every && !isPresent) {
            next = now + intervalSeconds(reminder->schedule);
            continue;
        }
        if (now >= next && isPresent && !suppressed) {
            result.push_back(*reminder);
            next = nextTime(reminder->schedule, now);
        }
    }
    return result;
}

void ReminderScheduler::snooze(const Uuid& id, double seconds, Date now) {
    const Date until = now + seconds;
    if (!isFinite(now) || !isFinite(until)) {
        return;
    }
    followClock(now);
    const auto it = nextDue_.find(id);
    if (it != nextDue_.end()) {
        it->second = until;
    }
}

std::optional<Date> ReminderScheduler::nextDueDate(const Uuid& id) const {
    const auto it = nextDue_.find(id);
    if (it == nextDue_.end()) {
        return std::nullopt;
    }
    return it->second;
}

void ReminderScheduler::followClock(Date now) {
    if (lastNow_ && now < *lastNow_) {
        const double back = *lastNow_ - now;
        for (auto& [id, next] : nextDue_) {
            const Reminder::Schedule& schedule = scheduled_.at(id);
            const Date moved = next - back;
            // A daily time goes back onto the wall clock, at or after the moved instant; a snoozed one keeps
            // its wait. Daily times fall on whole minutes, so looking from a second earlier finds an instant
            // itself when it is one.
            const bool onTheClock = schedule.scheduleCase() == Reminder::Schedule::Case::daily &&
                                    nextTime(schedule, next - 1.0) == next;
            next = onTheClock ? nextTime(schedule, moved - 1.0) : moved;
        }
    }
    lastNow_ = now;
}

Date ReminderScheduler::nextTime(const Reminder::Schedule& schedule, Date after) const {
    if (schedule.scheduleCase() == Reminder::Schedule::Case::every) {
        return after + intervalSeconds(schedule);
    }
    const DateComponents day = calendar_.components(after);
    const int hour = static_cast<int>(schedule.hour());
    const int minute = static_cast<int>(schedule.minute());
    // The calendar resolves a time skipped by a daylight-saving change forward by the gap, and a repeated
    // one to its first occurrence, so each day gives exactly one instant.
    for (int offset = 0; offset < 3; ++offset) {
        const Date candidate = calendar_.date(day.year, day.month, day.day + offset, hour, minute, 0);
        if (candidate > after) {
            return candidate;
        }
    }
    return after + 86'400.0;
}

} // namespace halvrick
