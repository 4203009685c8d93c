#pragma once

#include "EndProcess.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

namespace halvrick {

// A bus daemon of our own for the tests of this process. Needs the test program's application object.
class PrivateBus {
public:
    ~PrivateBus() { endProcess(daemon_); }

    // The bus address once the daemon listens; empty when it could not be started.
    QString start() {
        daemon_.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--print-address"), QStringLiteral("--nofork")});
        if (!daemon_.waitForStarted(5000)) {
            return {};
        }
        // The daemon prints its address once it accepts connections.
        while (!daemon_.canReadLine()) {
            if (!daemon_.waitForReadyRead(5000)) {
                return {};
            }
        }
        return QString::fromUtf8(daemon_.readLine()).trimmed();
    }

private:
    QProcess daemon_;
};

// Answers every method call on one object through a handler, as a desktop service would.
class FakeService : public QDBusVirtualObject {
public:
    using Handler = std::function<QDBusMessage(const QDBusMessage&)>;

    explicit FakeService(Handler handler) : handler_(std::move(handler)) {}

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        calls.append(message.member());
        connection.send(handler_(message));
        return true;
    }

    QStringList calls;

private:
    Handler handler_;
};

inline QDBusMessage unknownMethod(const QDBusMessage& call) {
    return call.createErrorReply(QDBusError::UnknownMethod, QStringLiteral("no such thing"));
}

} // namespace halvrick
