#include "settings/SettingsBindings.h"

#include "model/SettingsStore.h"
#include "sampling/LoginItemService.h"
#include "sampling/NotificationService.h"

#include <QPointer>

namespace halvrick {

SettingsBindings::SettingsBindings(SettingsStore& settings, NotificationService& notifier,
                                   LoginItemService& loginItem, AppIdentity identity, QObject* parent)
    : QObject(parent), settings_(settings), notifier_(notifier), loginItem_(loginItem),
      identity_(std::move(identity)), openAtLogin_(identity_.hasIdentifier() && loginItem_.isEnabled()) {}

void SettingsBindings::writeOpenAtLogin(bool enabled) {
    const std::optional<std::string> error = loginItem_.setEnabled(enabled);
    loginError_ = error ? std::optional(QString::fromStdString(*error)) : std::nullopt;
    openAtLogin_ = identity_.hasIdentifier() && loginItem_.isEnabled();
    emit changed();
}

void SettingsBindings::writeNotifications(bool enabled) {
    if (!enabled) {
        settings_.setNotificationsEnabled(false);
        emit changed();
        return;
    }
    // Nothing is stored before the answer, so the switch stays off until then.
    emit changed();
    QPointer<SettingsBindings> self(this);
    notifier_.requestPermission([self](bool granted) {
        if (!self) {
            return;
        }
        self->settings_.setNotificationsEnabled(granted);
        self->notificationsDenied_ = !granted;
        emit self->changed();
    });
}

void SettingsBindings::writeInterval(std::int64_t minutes) {
    settings_.setRestIntervalMinutes(SettingsStore::saneRestInterval(minutes));
    emit changed();
}

void SettingsBindings::refresh() {
    openAtLogin_ = identity_.hasIdentifier() && loginItem_.isEnabled();
    emit changed();
    if (!settings_.notificationsEnabled() || !identity_.hasIdentifier()) {
        return;
    }
    QPointer<SettingsBindings> self(this);
    notifier_.refreshPermission([self](bool authorised) {
        if (!self) {
            return;
        }
        self->notificationsDenied_ = !authorised;
        emit self->changed();
    });
}

} // namespace halvrick
