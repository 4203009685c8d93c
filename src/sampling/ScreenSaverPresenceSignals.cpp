#include "sampling/ScreenSaverPresenceSignals.h"

namespace halvrick {

ScreenSaverPresenceSignals::ScreenSaverPresenceSignals(QDBusConnection bus) : bus_(std::move(bus)) {}

void ScreenSaverPresenceSignals::start(Observer observer) {
    observer_ = std::move(observer);
    if (!bus_.isConnected()) {
        return;
    }
    for (const char* interface : {"org.freedesktop.ScreenSaver", "org.gnome.ScreenSaver"}) {
        bus_.connect(QString(), QString(), QString::fromLatin1(interface), QStringLiteral("ActiveChanged"),
                     this, SLOT(activeChanged(bool)));
    }
}

void ScreenSaverPresenceSignals::activeChanged(bool active) {
    if (lastActive_ == active) {
        return;
    }
    lastActive_ = active;
    if (observer_) {
        observer_(active);
    }
}

} // namespace halvrick
