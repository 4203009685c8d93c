#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

namespace halvrick {

// A repeating timer on the owner's thread, so samplers can be driven by hand in tests.
class RepeatingTimer {
public:
    virtual ~RepeatingTimer() = default;

    // Replaces any running schedule: `fire` runs every `seconds` until stop().
    virtual void start(double seconds, std::function<void()> fire) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// A coarse QTimer (Qt keeps coarse timers within 5 % of their interval). When a context object is given
// and destroyed, the callback is no longer called.
class QtRepeatingTimer final : public RepeatingTimer {
public:
    explicit QtRepeatingTimer(QObject* context = nullptr);

    // A negative or non-finite interval stops the timer instead.
    void start(double seconds, std::function<void()> fire) override;
    void stop() override;
    bool isActive() const override { return timer_.isActive(); }

    int intervalMilliseconds() const { return timer_.interval(); }

private:
    bool hasContext_;
    QPointer<QObject> context_;
    QTimer timer_;
    QMetaObject::Connection connection_;
};

} // namespace halvrick
