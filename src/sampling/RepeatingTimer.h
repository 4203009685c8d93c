#pragma once

#include <QTimer>

#include <functional>

namespace halvrick {

// The samplers' heartbeat, behind an interface so tests fire it by hand.
class RepeatingTimer {
public:
    virtual ~RepeatingTimer() = default;
    // Replaces any running schedule.
    virtual void start(double seconds, std::function<void()> onFire) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// A coarse QTimer on the calling thread's event loop; destroying it ends the schedule.
class QtRepeatingTimer : public RepeatingTimer {
public:
    QtRepeatingTimer();
    ~QtRepeatingTimer() override;
    void start(double seconds, std::function<void()> onFire) override;
    void stop() override;
    bool isActive() const override;

private:
    QTimer timer_;
    std::function<void()> onFire_;
};

} // namespace halvrick
