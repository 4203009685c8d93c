#include "sampling/LogindPresenceSignals.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

#include <unistd.h>

namespace halvrick {

namespace {

const QString service = QStringLiteral("org.freedesktop.login1");
const QString managerPath = QStringLiteral("/org/freedesktop/login1");
const QString managerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString sessionInterface = QStringLiteral("org.freedesktop.login1.Session");
const QString userInterface = QStringLiteral("org.freedesktop.login1.User");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr int callTimeoutMilliseconds = 5000;

// The object path a reply carries first; empty when it carries none. "/" names no object.
QString objectPath(const QDBusMessage& reply) {
    if (reply.arguments().isEmpty()) {
        return {};
    }
    const QString path = reply.arguments().constFirst().value<QDBusObjectPath>().path();
    return path == QLatin1String("/") ? QString() : path;
}

// The object path inside the (so) pair of the user's Display property.
QString displaySessionPath(const QDBusMessage& reply) {
    if (reply.arguments().isEmpty()) {
        return {};
    }
    const QVariant value = reply.arguments().constFirst().value<QDBusVariant>().variant();
    if (value.metaType() != QMetaType::fromType<QDBusArgument>()) {
        return {};
    }
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("(so)")) {
        return {};
    }
    QString id;
    QDBusObjectPath path;
    argument.beginStructure();
    argument >> id >> path;
    argument.endStructure();
    return path.path() == QLatin1String("/") ? QString() : path.path();
}

} // namespace

LogindPresenceSignals::Identity LogindPresenceSignals::Identity::current() {
    return {qEnvironmentVariable("XDG_SESSION_ID"), static_cast<quint32>(getpid()),
            static_cast<quint32>(getuid())};
}

LogindPresenceSignals::LogindPresenceSignals(QDBusConnection bus, Identity identity)
    : bus_(std::move(bus)), identity_(std::move(identity)) {}

void LogindPresenceSignals::start(Observer observer) {
    observer_ = std::move(observer);
    if (!bus_.isConnected()) {
        return;
    }
    bus_.connect(service, managerPath, managerInterface, QStringLiteral("PrepareForSleep"), this,
                 SLOT(prepareForSleep(bool)));
    if (identity_.sessionId.isEmpty()) {
        findSessionByPid();
    } else {
        findSessionById();
    }
}

void LogindPresenceSignals::prepareForSleep(bool sleeping) {
    if (observer_) {
        observer_(sleeping);
    }
}

void LogindPresenceSignals::propertiesChanged(const QString& interface, const QVariantMap& changed,
                                              const QStringList&) {
    if (interface != sessionInterface) {
        return;
    }
    const auto locked = changed.constFind(QStringLiteral("LockedHint"));
    if (locked == changed.constEnd() || locked->metaType() != QMetaType::fromType<bool>()) {
        return;
    }
    if (observer_) {
        observer_(locked->toBool());
    }
}

void LogindPresenceSignals::call(const QString& path, const QString& interface, const QString& method,
                                 const QVariantList& arguments,
                                 std::function<void(const QDBusMessage&)> onReply,
                                 std::function<void()> onError) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(message, callTimeoutMilliseconds), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [onReply = std::move(onReply), onError = std::move(onError)](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (w->isError()) {
                    onError();
                } else {
                    onReply(w->reply());
                }
            });
}

void LogindPresenceSignals::findSessionById() {
    call(
        managerPath, managerInterface, QStringLiteral("GetSession"), {identity_.sessionId},
        [this](const QDBusMessage& reply) {
            const QString path = objectPath(reply);
            if (path.isEmpty()) {
                findSessionByPid();
            } else {
                watchSession(path);
            }
        },
        [this] { findSessionByPid(); });
}

void LogindPresenceSignals::findSessionByPid() {
    call(
        managerPath, managerInterface, QStringLiteral("GetSessionByPID"), {identity_.pid},
        [this](const QDBusMessage& reply) {
            const QString path = objectPath(reply);
            if (path.isEmpty()) {
                findDisplaySessionOfUser();
            } else {
                watchSession(path);
            }
        },
        [this] { findDisplaySessionOfUser(); });
}

void LogindPresenceSignals::findDisplaySessionOfUser() {
    // A process started outside any session (a user service, say) still follows the user's graphical one.
    call(
        managerPath, managerInterface, QStringLiteral("GetUser"), {identity_.uid},
        [this](const QDBusMessage& reply) {
            const QString user = objectPath(reply);
            if (user.isEmpty()) {
                return;
            }
            call(
                user, propertiesInterface, QStringLiteral("Get"), {userInterface, QStringLiteral("Display")},
                [this](const QDBusMessage& display) {
                    const QString path = displaySessionPath(display);
                    if (!path.isEmpty()) {
                        watchSession(path);
                    }
                },
                [] {});
        },
        [] {});
}

void LogindPresenceSignals::watchSession(const QString& path) {
    // Alias paths such as /org/freedesktop/login1/session/auto never carry signals: only the resolved
    // object does.
    if (bus_.connect(service, path, propertiesInterface, QStringLiteral("PropertiesChanged"), this,
                     SLOT(propertiesChanged(QString, QVariantMap, QStringList)))) {
        sessionPath_ = path;
    }
}

} // namespace halvrick
