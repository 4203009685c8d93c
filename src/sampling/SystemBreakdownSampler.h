#pragma once

#include "core/Date.h"
#include "core/PSOutput.h"
#include "sampling/ProcListing.h"
#include "sampling/RepeatingTimer.h"
#include "sampling/WorkerQueue.h"

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace halvrick {

// Lists the processes every few seconds while it is started (the popover is open), on the worker
// thread, and hands each listing back on the main thread with what producing it cost.
class SystemBreakdownSampler {
public:
    struct Result {
        std::vector<PSRow> rows;
        // Taken right after the listing; only the time between two listings matters.
        Date time;
        // CPU time the worker spent on this listing, never negative.
        double ownCostSeconds = 0;

        friend bool operator==(const Result&, const Result&) = default;
    };

    // `queue` must outlive the sampler. `runner`, `now` and `threadCPUSeconds` are called on the
    // worker thread.
    explicit SystemBreakdownSampler(
        WorkerQueue& queue, std::shared_ptr<ListingRunner> runner = std::make_shared<ProcListingRunner>(),
        std::unique_ptr<RepeatingTimer> timer = std::make_unique<QtRepeatingTimer>(),
        std::function<Date()> now = steadyNow,
        std::function<double()> threadCPUSeconds = currentThreadCPUSeconds);
    SystemBreakdownSampler(const SystemBreakdownSampler&) = delete;
    SystemBreakdownSampler& operator=(const SystemBreakdownSampler&) = delete;

    std::function<void(const Result&)> onResult;

    // One listing at once, then one per interval; nothing when already started.
    void start(double interval);
    // A listing in flight still completes, but its result is dropped.
    void stop();
    bool isStarted() const { return started_; }
    // A listing is in flight.
    bool isRunning() const { return isRunning_; }

    // Wall time when first asked, advancing with the monotonic clock from then on, so the time between
    // two listings never jumps with the wall clock.
    static Date steadyNow();
    // CPU time of the calling thread.
    static double currentThreadCPUSeconds();

private:
    void startListing();

    WorkerQueue& queue_;
    const std::shared_ptr<ListingRunner> runner_;
    const std::unique_ptr<RepeatingTimer> timer_;
    const std::function<Date()> now_;
    const std::function<double()> threadCPUSeconds_;
    bool started_ = false;
    bool isRunning_ = false;
    // Results reach the sampler only while it exists.
    QObject context_;
};

} // namespace halvrick
