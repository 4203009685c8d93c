#include "app/ActivationService.h"

#include <QDBusMessage>
#include <QDBusPendingCall>

namespace halvrick {

namespace {

// RequestName's flag: fail rather than wait in the queue for a name another copy owns.
constexpr uint doNotQueue = 4;

QString text(const char* latin1) {
    return QString::fromLatin1(latin1);
}

} // namespace

ActivationService::ActivationService(QDBusConnection connection) : connection_(std::move(connection)) {
    if (!connection_.isConnected()) {
        return;
    }
    exported_ = connection_.registerObject(text(objectPath), this, QDBusConnection::ExportScriptableSlots);
    if (!exported_) {
        return;
    }
    // The answer is not needed: the lock already keeps a second copy away, and a start never waits on
    // the bus.
    QDBusMessage request = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("RequestName"));
    request << text(serviceName) << doNotQueue;
    connection_.asyncCall(request);
}

ActivationService::~ActivationService() {
    if (exported_) {
        connection_.unregisterObject(text(objectPath));
    }
}

void ActivationService::setOnActivate(std::function<void()> onActivate) {
    onActivate_ = std::move(onActivate);
    if (onActivate_ && pending_) {
        pending_ = false;
        onActivate_();
    }
}

void ActivationService::Activate() {
    if (onActivate_) {
        onActivate_();
    } else {
        pending_ = true;
    }
}

bool ActivationService::activateRunning(const QDBusConnection& connection, int timeoutMs) {
    if (!connection.isConnected()) {
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(text(serviceName), text(objectPath),
                                                       text(interfaceName), QStringLiteral("Activate"));
    // Only a running copy may answer: the bus must not start one.
    call.setAutoStartService(false);
    return connection.call(call, QDBus::Block, timeoutMs).type() == QDBusMessage::ReplyMessage;
}

} // namespace halvrick
