#pragma once

#include "sampling/AppIdentity.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>

namespace halvrick {

class LoginItemService;
class NotificationService;
class SettingsStore;

// The settings that need more than one write to the store: each write is followed by a read of what
// the system really holds, so a switch never shows a state the system refused. Main thread only.
class SettingsBindings : public QObject {
    Q_OBJECT

public:
    static constexpr const char* developmentBuildNote =
        "Open at login and notifications work only in the installed app, not in a run without its identity.";

    SettingsBindings(SettingsStore& settings, NotificationService& notifier, LoginItemService& loginItem,
                     AppIdentity identity, QObject* parent = nullptr);

    SettingsStore& settings() const { return settings_; }
    // Without an identity the login and notifications switches cannot be changed.
    bool hasIdentity() const { return identity_.hasIdentifier(); }

    bool openAtLogin() const { return openAtLogin_; }
    // The last failed login change, until one succeeds.
    const std::optional<QString>& loginError() const { return loginError_; }
    // The notifications were asked for, but no notification server answered.
    bool notificationsDenied() const { return notificationsDenied_; }

    void writeOpenAtLogin(bool enabled);
    // Turning on stores what the notification server's answer allows, once it arrives.
    void writeNotifications(bool enabled);
    // Stored within the rest interval's range.
    void writeInterval(std::int64_t minutes);

    // Reads the login item and the notification server afresh, as whenever the window comes on screen.
    void refresh();

signals:
    // Any of the values above changed, or an answer came in.
    void changed();

private:
    SettingsStore& settings_;
    NotificationService& notifier_;
    LoginItemService& loginItem_;
    AppIdentity identity_;
    bool openAtLogin_ = false;
    std::optional<QString> loginError_;
    bool notificationsDenied_ = false;
};

} // namespace halvrick
