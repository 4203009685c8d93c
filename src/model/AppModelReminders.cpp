#include "model/AppModel.h"
#include "model/AppServices.h"
#include "sampling/NotificationService.h"
#include "model/Copy.h"

#include <algorithm>
#include <utility>

namespace halvrick {

namespace {

std::string notificationId(const Reminder& reminder) {
    return "reminder-" + reminder.id.toString();
}

} // namespace

void AppModel::queueDueReminders(Date now, bool present, bool suppressed) {
    withdrawChangedReminders();
    const std::vector<Reminder> due = reminders_.due(settings_.reminders(), now, present, suppressed);
    if (due.empty()) {
        return;
    }
    for (const Reminder& reminder : due) {
        const bool queued = std::any_of(reminderQueue_.begin(), reminderQueue_.end(),
                                        [&](const Reminder& r) { return r.id == reminder.id; });
        if (!queued) {
            reminderQueue_.push_back(reminder);
        }
    }
    showNextReminder();
}

void AppModel::showNextReminder() {
    if (activeReminder_ || reminderQueue_.empty()) {
        return;
    }
    Reminder next = std::move(reminderQueue_.front());
    reminderQueue_.erase(reminderQueue_.begin());
    publish(activeReminder_, std::move(next), &AppModel::activeReminderChanged);
    log("REMINDER: " + activeReminder_->text);
    reminderNotified_ = false;
    if (onReminder) {
        onReminder();
    }
    // The server's popup only for a reminder the pea cannot show itself now: over the bubble it would
    // take the click meant for "Done".
    const bool shownHere = showsActiveReminder && showsActiveReminder();
    if (activeReminder_ && !shownHere && settings_.notificationsEnabled() &&
        services_->identity.hasIdentifier()) {
        notifier_.send(notificationId(*activeReminder_),
                       std::string(Copy::reminderPrefix) + activeReminder_->text);
        reminderNotified_ = true;
    }
}

void AppModel::activeReminderShown() {
    if (activeReminder_ && std::exchange(reminderNotified_, false)) {
        notifier_.remove(notificationId(*activeReminder_));
    }
}

void AppModel::withdrawChangedReminders() {
    const std::vector<Reminder>& list = settings_.reminders();
    // A due reminder is the reminder as it was then: a changed one is not what the user asked for now.
    const auto changed = [&list](const Reminder& reminder) {
        return std::find(list.begin(), list.end(), reminder) == list.end();
    };
    std::erase_if(reminderQueue_, changed);
    if (activeReminder_ && changed(*activeReminder_)) {
        completeReminder();
    }
}

void AppModel::completeReminder() {
    if (activeReminder_ && services_->identity.hasIdentifier()) {
        notifier_.remove(notificationId(*activeReminder_));
    }
    reminderNotified_ = false;
    publish(activeReminder_, std::nullopt, &AppModel::activeReminderChanged);
    if (onReminder) {
        onReminder();
    }
    showNextReminder();
}

void AppModel::snoozeReminder() {
    if (activeReminder_) {
        // Ten minutes whatever the rest snooze is.
        reminders_.snooze(activeReminder_->id, 600, services_->now());
    }
    completeReminder();
}

} // namespace halvrick
