#include "menubar/TrayPresence.h"

namespace halvrick {

std::unique_ptr<SystemTrayPresence> SystemTrayPresence::make() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return nullptr;
    }
    return std::unique_ptr<SystemTrayPresence>(new SystemTrayPresence());
}

SystemTrayPresence::SystemTrayPresence() {
    connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (!onClick) {
            return;
        }
        switch (reason) {
        case QSystemTrayIcon::Trigger:
            onClick(Click::trigger);
            break;
        case QSystemTrayIcon::Context:
            onClick(Click::context);
            break;
        default:
            onClick(Click::other);
            break;
        }
    });
}

void SystemTrayPresence::setIcon(const QIcon& icon) {
    icon_.setIcon(icon);
    // A tray learns of the item only once it has an icon.
    if (!icon_.isVisible()) {
        icon_.show();
    }
}

void SystemTrayPresence::setToolTip(const QString& text) { icon_.setToolTip(text); }

void SystemTrayPresence::setContextMenu(QMenu* menu) { icon_.setContextMenu(menu); }

std::optional<QRect> SystemTrayPresence::geometry() const {
    const QRect rect = icon_.geometry();
    return rect.isEmpty() ? std::nullopt : std::optional(rect);
}

} // namespace halvrick
