#include "sampling/SystemBreakdownSampler.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <time.h>

namespace halvrick {

SystemBreakdownSampler::SystemBreakdownSampler(WorkerQueue& queue, std::shared_ptr<ListingRunner> runner,
                                               std::unique_ptr<RepeatingTimer> timer,
                                               std::function<Date()> now,
                                               std::function<double()> threadCPUSeconds)
    : queue_(queue), runner_(std::move(runner)), timer_(std::move(timer)), now_(std::move(now)),
      threadCPUSeconds_(std::move(threadCPUSeconds)) {}

void SystemBreakdownSampler::start(double interval) {
    if (started_) {
        return;
    }
    started_ = true;
    startListing();
    timer_->start(interval, [this] { startListing(); });
}

void SystemBreakdownSampler::stop() {
    timer_->stop();
    started_ = false;
}

void SystemBreakdownSampler::startListing() {
    if (isRunning_) {
        return;
    }
    isRunning_ = true;
    // The job holds its own copies: it touches nothing of the sampler.
    auto job = [runner = runner_, now = now_,
                threadCPUSeconds = threadCPUSeconds_]() -> std::optional<Result> {
        const double before = threadCPUSeconds();
        auto rows = runner->list();
        if (!rows) {
            return std::nullopt;
        }
        const Date time = now();
        const double after = threadCPUSeconds();
        return Result{std::move(*rows), time, std::max(0.0, after - before)};
    };
    queue_.post(&context_, std::move(job), [this](std::optional<Result> result) {
        isRunning_ = false;
        if (result && started_ && onResult) {
            onResult(*result);
        }
    });
}

Date SystemBreakdownSampler::steadyNow() {
    using namespace std::chrono;
    static const auto anchor = steady_clock::now();
    static const double anchorWall = duration<double>(system_clock::now().time_since_epoch()).count();
    return Date::since1970(anchorWall + duration<double>(steady_clock::now() - anchor).count());
}

double SystemBreakdownSampler::currentThreadCPUSeconds() {
    timespec ts{};
    if (::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts) != 0) {
        return 0;
    }
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

} // namespace halvrick
