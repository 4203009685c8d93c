#pragma once

#include <functional>
#include <memory>

class QTimer;

namespace halvrick {

// A timer that calls back every interval until stopped; samplers own one each.
class RepeatingTimer {
public:
    virtual ~RepeatingTimer() = default;
    // Replaces any running schedule.
    virtual void start(double seconds, std::function<void()> onFire) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// Runs on the event loop of the creating thread. A coarse timer keeps within 5 % of the interval,
// which is all the slack the samplers allow.
class QtRepeatingTimer : public RepeatingTimer {
public:
    QtRepeatingTimer();
    ~QtRepeatingTimer() override;
    QtRepeatingTimer(const QtRepeatingTimer&) = delete;
    QtRepeatingTimer& operator=(const QtRepeatingTimer&) = delete;

    void start(double seconds, std::function<void()> onFire) override;
    void stop() override;
    bool isActive() const override;

private:
    std::unique_ptr<QTimer> timer_;
};

} // namespace halvrick
