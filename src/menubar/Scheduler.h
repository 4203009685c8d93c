#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace halvrick {

// Runs a task once, a number of seconds from now, on the main thread, unless it is cancelled first.
// The bubble's and the peek's automatic closes use it; tests drive a manual one.
class Scheduler {
public:
    using Handle = std::uint64_t;

    virtual ~Scheduler() = default;

    // A task that is cancelled, or whose scheduler is gone, never runs.
    virtual Handle after(double seconds, std::function<void()> task) = 0;
    // Cancelling a task that already ran or was cancelled does nothing.
    virtual void cancel(Handle handle) = 0;
};

// One single-shot QTimer per pending task (QTimer measures on the monotonic clock).
class QtScheduler final : public Scheduler {
public:
    QtScheduler() = default;
    ~QtScheduler() override;
    QtScheduler(const QtScheduler&) = delete;
    QtScheduler& operator=(const QtScheduler&) = delete;

    Handle after(double seconds, std::function<void()> task) override;
    void cancel(Handle handle) override;

private:
    std::map<Handle, std::unique_ptr<QTimer>> timers_;
    Handle next_ = 0;
};

} // namespace halvrick
