#include "ui/DisplayOptionsSource.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace halvrick {

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");

struct Setting {
    const char* group;
    const char* key;
};

constexpr Setting animations{"org.gnome.desktop.interface", "enable-animations"};
constexpr Setting highContrast{"org.gnome.desktop.a11y.interface", "high-contrast"};
constexpr Setting animationSpeed{"org.kde.kdeglobals.KDE", "AnimationDurationFactor"};
// 0 no preference, 1 more contrast.
constexpr Setting contrast{"org.freedesktop.appearance", "contrast"};
constexpr std::array<Setting, 4> settings{animations, highContrast, animationSpeed, contrast};

bool is(const Setting& setting, const QString& group, const QString& key) {
    return group == QLatin1String(setting.group) && key == QLatin1String(setting.key);
}

bool flag(const char* name) {
    const char* value = std::getenv(name);
    return value && *value && std::strcmp(value, "0") != 0;
}

// Older portals wrap the value of Read in one more variant.
QVariant unwrapped(QVariant value) {
    while (value.userType() == qMetaTypeId<QDBusVariant>()) {
        value = qvariant_cast<QDBusVariant>(value).variant();
    }
    return value;
}

} // namespace

SystemDisplayOptions::Environment SystemDisplayOptions::Environment::process() {
    return {flag("HALVRICK_REDUCE_MOTION"), flag("HALVRICK_INCREASE_CONTRAST")};
}

SystemDisplayOptions::SystemDisplayOptions(Environment environment, std::optional<QDBusConnection> bus)
    : environment_(environment) {
    if (!bus || !bus->isConnected()) {
        return;
    }
    // QtDBus looks the slot's argument types up by name, which needs them registered first.
    qRegisterMetaType<QDBusVariant>();
    bus->connect(portalService, portalPath, settingsInterface, QStringLiteral("SettingChanged"), this,
                 SLOT(settingChanged(QString, QString, QDBusVariant)));
    for (const Setting& setting : settings) {
        read(*bus, QLatin1String(setting.group), QLatin1String(setting.key));
    }
}

std::unique_ptr<SystemDisplayOptions> SystemDisplayOptions::make() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    return std::make_unique<SystemDisplayOptions>(Environment::process(),
                                                  bus.isConnected() ? std::optional(bus) : std::nullopt);
}

DisplayOptions SystemDisplayOptions::current() const {
    DisplayOptions options;
    options.reduceMotion = environment_.reduceMotion || animationsEnabled_ == false ||
                           (animationDurationFactor_ && *animationDurationFactor_ == 0);
    options.increaseContrast = environment_.increaseContrast || highContrast_ == true || contrast_ == 1U;
    return options;
}

void SystemDisplayOptions::settingChanged(const QString& group, const QString& key,
                                          const QDBusVariant& value) {
    apply(group, key, unwrapped(value.variant()));
}

void SystemDisplayOptions::read(QDBusConnection& bus, const QString& group, const QString& key) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface, QStringLiteral("Read"));
    call << group << key;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, group, key] {
        watcher->deleteLater();
        const QDBusMessage reply = watcher->reply();
        // No portal, or a portal without this setting: the option stays as it is.
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            return;
        }
        apply(group, key, unwrapped(reply.arguments().constFirst()));
    });
}

void SystemDisplayOptions::apply(const QString& group, const QString& key, const QVariant& value) {
    const DisplayOptions before = current();
    bool ok = false;
    if (is(animations, group, key) && value.canConvert<bool>()) {
        animationsEnabled_ = value.toBool();
    } else if (is(highContrast, group, key) && value.canConvert<bool>()) {
        highContrast_ = value.toBool();
    } else if (is(animationSpeed, group, key)) {
        // KDE hands its settings over as text.
        const double factor = value.toDouble(&ok);
        if (ok && std::isfinite(factor)) {
            animationDurationFactor_ = factor;
        }
    } else if (is(contrast, group, key)) {
        const unsigned level = value.toUInt(&ok);
        if (ok) {
            contrast_ = level;
        }
    }
    if (current() != before && onChange) {
        onChange();
    }
}

} // namespace halvrick
