#include "sampling/WorkerQueue.h"

#include <algorithm>
#include <cerrno>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace halvrick {

namespace {

// Nice values are per thread on Linux. Never raise the priority above what the process already has.
// As a batch thread the worker never takes the processor from the main thread when it wakes for a job,
// which would hold the interface up for as long as a long sweep keeps that processor.
void lowerPriority(int niceness) {
    const sched_param none{};
    ::pthread_setschedparam(::pthread_self(), SCHED_BATCH, &none);
    const pid_t tid = ::gettid();
    errno = 0;
    const int current = ::getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
    if (errno == 0) {
        niceness = std::max(niceness, current);
    }
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), niceness);
}

} // namespace

WorkerQueue::WorkerQueue(std::string threadName, int niceness)
    : threadName_(std::move(threadName)), niceness_(niceness),
      thread_([this](std::stop_token stop) { run(std::move(stop)); }) {}

WorkerQueue::~WorkerQueue() {
    std::deque<std::function<void(std::stop_token)>> dropped;
    {
        const std::lock_guard lock(mutex_);
        dropped.swap(pending_);
    }
    thread_.request_stop();
    thread_.join();
}

void WorkerQueue::enqueue(std::function<void(std::stop_token)> task) {
    {
        const std::lock_guard lock(mutex_);
        pending_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void WorkerQueue::deliver(std::function<void()> call) {
    QMetaObject::invokeMethod(&receiver_, std::move(call), Qt::QueuedConnection);
}

void WorkerQueue::run(std::stop_token stop) {
    // Linux thread names hold at most 15 bytes.
    ::pthread_setname_np(::pthread_self(), threadName_.substr(0, 15).c_str());
    lowerPriority(niceness_);
    while (!stop.stop_requested()) {
        std::function<void(std::stop_token)> task;
        {
            std::unique_lock lock(mutex_);
            if (!wake_.wait(lock, stop, [this] { return !pending_.empty(); })) {
                return;
            }
            task = std::move(pending_.front());
            pending_.pop_front();
        }
        task(stop);
    }
}

} // namespace halvrick
