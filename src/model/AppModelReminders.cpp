#include "model/AppModel.h"
#include "model/Copy.h"

#include <algorithm>

namespace halvrick {

namespace {

std::string notificationId(const Reminder& reminder) {
    return "reminder-" + reminder.id.toString();
}

} // namespace

void AppModel::queueDueReminders(Date now, bool present, bool suppressed) {
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
    if (settings_.notificationsEnabled() && services_.identity.hasIdentifier()) {
        notifier_.send(notificationId(*activeReminder_), std::string(Copy::reminderPrefix) + activeReminder_->text);
    }
    if (onReminder) {
        onReminder();
    }
}

void AppModel::completeReminder() {
    if (activeReminder_ && services_.identity.hasIdentifier()) {
        notifier_.remove(notificationId(*activeReminder_));
    }
    publish(activeReminder_, std::nullopt, &AppModel::activeReminderChanged);
    if (onReminder) {
        onReminder();
    }
    showNextReminder();
}

void AppModel::snoozeReminder() {
    if (activeReminder_) {
        // Ten minutes whatever the rest snooze is.
        reminders_.snooze(activeReminder_->id, 600, services_.now());
    }
    completeReminder();
}

} // namespace halvrick
