#include "menubar/Scheduler.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace halvrick {

QtScheduler::~QtScheduler() {
    for (auto& [handle, timer] : timers_) {
        timer->stop();
    }
}

Scheduler::Handle QtScheduler::after(double seconds, std::function<void()> task) {
    const Handle handle = ++next_;
    // NaN and negative delays run on the next turn; huge ones are capped at what a QTimer holds.
    const double ms =
        std::isnan(seconds) ? 0 : std::clamp(seconds * 1000, 0.0, double(std::numeric_limits<int>::max()));
    auto timer = std::make_unique<QTimer>();
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer.get(), &QTimer::timeout, timer.get(), [this, handle, task = std::move(task)] {
        const auto found = timers_.find(handle);
        if (found == timers_.end()) {
            return;
        }
        // The timer is this lambda's owner: keep it alive until the task is done, which may schedule
        // or cancel others.
        std::unique_ptr<QTimer> done = std::move(found->second);
        timers_.erase(found);
        const std::function<void()> run = task;
        done.release()->deleteLater();
        run();
    });
    timer->start(static_cast<int>(std::lround(ms)));
    timers_.emplace(handle, std::move(timer));
    return handle;
}

void QtScheduler::cancel(Handle handle) {
    const auto found = timers_.find(handle);
    if (found == timers_.end()) {
        return;
    }
    timers_.erase(found);
}

} // namespace halvrick
