#pragma once

#include "sampling/IdleReader.h"
#include "sampling/SystemTimeSource.h"

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QObject>
#include <QString>

#include <optional>

namespace halvrick {

// Idle time asked of a desktop service over D-Bus. The question goes out asynchronously at most about
// once a second; in between, the last answer is carried forward on the monotonic clock, so the main
// thread never waits for the bus. A reading is therefore as old as the question behind it, and says so.
class DBusIdleReader : public IdleReader {
public:
    enum class Unit { milliseconds, seconds };

    struct Method {
        QString service;
        QString path;
        QString interface;
        QString name;
        Unit unit;
    };

    // GNOME's idle monitor: GetIdletime, milliseconds as uint64.
    static Method gnomeIdleMonitor();
    // KDE and others: GetSessionIdleTime, seconds as uint32.
    static Method freedesktopScreenSaver();

    static constexpr double refreshInterval = 1;
    // A service that failed is asked again this much later: it may have started meanwhile.
    static constexpr double retryInterval = 30;
    static constexpr int callTimeoutMilliseconds = 2000;

    // A bus that is not connected reads as nothing and is never used.
    DBusIdleReader(QDBusConnection bus, Method method, MonotonicClock clock = monotonicSeconds);

    std::optional<double> idleSeconds() override;
    double readingLag() const override { return lag_; }

private:
    struct Answer {
        double idle;
        // When the question was sent: the idle time was measured no earlier, so carrying it forward from
        // here never makes the last input look more recent than it was.
        double askedAt;
    };

    void ask(double now);
    // A service that fails, or answers with something else than a count, is left alone for a while.
    void answered(const QDBusPendingCall& call, double askedAt);

    QDBusConnection bus_;
    Method method_;
    MonotonicClock clock_;
    bool pending_ = false;
    std::optional<double> nextAsk_;
    std::optional<Answer> answer_;
    double lag_ = 0;
    // Owns the pending-call watchers, so none outlives the reader; last, so it goes first.
    QObject context_;
};

} // namespace halvrick
