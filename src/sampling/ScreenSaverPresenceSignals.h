#pragma once

#include "sampling/PresenceSignalSource.h"

#include <QDBusConnection>
#include <QObject>

#include <optional>

namespace halvrick {

// Screens going dark and waking, from the desktop's screen saver on the session bus (ActiveChanged of
// org.freedesktop.ScreenSaver and org.gnome.ScreenSaver, from any sender and object).
class ScreenSaverPresenceSignals : public QObject, public PresenceSignalSource {
    Q_OBJECT

public:
    explicit ScreenSaverPresenceSignals(QDBusConnection bus);

    void start(Observer observer) override;

private Q_SLOTS:
    void activeChanged(bool active);

private:
    QDBusConnection bus_;
    Observer observer_;
    // Some desktops announce one change on several objects; only a change of state is passed on.
    std::optional<bool> lastActive_;
};

} // namespace halvrick
