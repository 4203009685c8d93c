#pragma once

#include "sampling/PresenceSignalSource.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <functional>

namespace halvrick {

// Screen lock and sleep from systemd-logind on the system bus: the session's LockedHint property, and the
// manager's PrepareForSleep signal (true before sleep, false after wake).
class LogindPresenceSignals : public QObject, public PresenceSignalSource {
    Q_OBJECT

public:
    // Who we are, to find our login session.
    struct Identity {
        // XDG_SESSION_ID; empty when the environment names no session.
        QString sessionId;
        quint32 pid = 0;
        quint32 uid = 0;

        static Identity current();
    };

    LogindPresenceSignals(QDBusConnection bus, Identity identity);

    // Subscribes to sleep at once and to the lock once the session's object is known; that object is
    // looked up asynchronously by session id, then by process, then as the user's display session.
    void start(Observer observer) override;

    // The session object whose lock state is watched; empty until it is found, or when there is none.
    const QString& sessionPath() const { return sessionPath_; }

private Q_SLOTS:
    void prepareForSleep(bool sleeping);
    void propertiesChanged(const QString& interface, const QVariantMap& changed,
                           const QStringList& invalidated);

private:
    void call(const QString& path, const QString& interface, const QString& method,
              const QVariantList& arguments, std::function<void(const QDBusMessage&)> onReply,
              std::function<void()> onError);
    void findSessionById();
    void findSessionByPid();
    void findDisplaySessionOfUser();
    void watchSession(const QString& path);

    QDBusConnection bus_;
    Identity identity_;
    Observer observer_;
    QString sessionPath_;
};

} // namespace halvrick
