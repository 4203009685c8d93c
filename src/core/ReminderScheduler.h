#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "core/Reminder.h"
#include "core/Uuid.h"

#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace halvrick {

// Remembers when each reminder is next due. Its state lives only in memory: after a restart every
// reminder is scheduled afresh from the first call that sees it.
class ReminderScheduler {
public:
    explicit ReminderScheduler(Calendar calendar) : calendar_(std::move(calendar)) {}

    // Used for the daily times.
    const Calendar& calendar() const { return calendar_; }
    void setCalendar(Calendar calendar) { calendar_ = std::move(calendar); }

    // The enabled reminders with a valid schedule that are due now, in list order. A reminder seen for
    // the first time, or whose schedule changed, counts from now and is not due in the same call. While
    // the user is away, interval reminders restart their interval; while away or suppressed nothing is
    // returned, and an overdue reminder is returned once when that ends, then moves to its next time.
    // Only the first reminder with a given id counts. A time that is not finite changes nothing.
    std::vector<Reminder> due(const std::vector<Reminder>& reminders, Date now, bool isPresent,
                              bool suppressed);

    // Moves a scheduled reminder's next due time to now + seconds; does nothing for an unscheduled id or a
    // time that is not finite.
    void snooze(const Uuid& id, double seconds, Date now);

    std::optional<Date> nextDueDate(const Uuid& id) const;

private:
    // A clock set back moves every due time back by as much, so nothing stalls for the length of the
    // jump and nothing comes due because of it; daily times then return to their wall-clock time.
    void followClock(Date now);
    Date nextTime(const Reminder::Schedule& schedule, Date after) const;

    Calendar calendar_;
    std::map<Uuid, Date> nextDue_;
    std::map<Uuid, Reminder::Schedule> scheduled_;
    std::optional<Date> lastNow_;
};

} // namespace halvrick
