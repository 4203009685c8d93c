#include "sampling/DBusIdleReader.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>

#include <algorithm>

namespace halvrick {

DBusIdleReader::Method DBusIdleReader::gnomeIdleMonitor() {
    return {"org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core",
            "org.gnome.Mutter.IdleMonitor", "GetIdletime", Unit::milliseconds};
}

DBusIdleReader::Method DBusIdleReader::freedesktopScreenSaver() {
    return {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver",
            "GetSessionIdleTime", Unit::seconds};
}

DBusIdleReader::DBusIdleReader(QDBusConnection bus, Method method, MonotonicClock clock)
    : bus_(std::move(bus)), method_(std::move(method)), clock_(std::move(clock)) {}

std::optional<double> DBusIdleReader::idleSeconds() {
    if (!bus_.isConnected()) {
        return std::nullopt;
    }
    const double now = clock_();
    if (!pending_ && (!nextAsk_ || now >= *nextAsk_)) {
        ask(now);
    }
    if (!answer_) {
        return std::nullopt;
    }
    lag_ = std::max(0.0, now - answer_->askedAt);
    return answer_->idle + lag_;
}

void DBusIdleReader::ask(double now) {
    pending_ = true;
    const QDBusMessage message =
        QDBusMessage::createMethodCall(method_.service, method_.path, method_.interface, method_.name);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(message, callTimeoutMilliseconds), &context_);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &context_,
                     [this, now](QDBusPendingCallWatcher* w) {
                         w->deleteLater();
                         answered(*w, now);
                     });
}

void DBusIdleReader::answered(const QDBusPendingCall& call, double askedAt) {
    pending_ = false;
    const QDBusMessage reply = call.reply();
    bool ok = false;
    double value = 0;
    if (!call.isError() && reply.arguments().size() == 1) {
        const QVariant argument = reply.arguments().constFirst();
        const int type = argument.metaType().id();
        if (type == QMetaType::ULongLong || type == QMetaType::UInt) {
            value = argument.toDouble(&ok);
        }
    }
    if (!ok) {
        answer_.reset();
        nextAsk_ = askedAt + retryInterval;
        return;
    }
    answer_ = Answer{method_.unit == Unit::milliseconds ? value / 1000.0 : value, askedAt};
    nextAsk_ = askedAt + refreshInterval;
}

} // namespace halvrick
