#pragma once

#include <QObject>
#include <QPointer>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>

namespace halvrick {

// The application's one background thread: runs posted jobs one at a time, in order, at a low
// priority, and hands each result back to the thread that made the queue (the main thread).
//
// Destruction drops the jobs that have not started, signals the running job's stop token, waits for
// that job and discards every result not yet delivered. Jobs that may run long should watch the token.
class WorkerQueue {
public:
    explicit WorkerQueue(std::string threadName = "halvrick.worker", int niceness = 10);
    ~WorkerQueue();
    WorkerQueue(const WorkerQueue&) = delete;
    WorkerQueue& operator=(const WorkerQueue&) = delete;

    // Runs `job` (called with a std::stop_token when it takes one) on the worker after every job
    // posted before it; then `done` receives its result on the queue's own thread, unless `context`
    // is gone by then. Call from the queue's own thread; jobs must not throw.
    template <typename Job, typename Done> void post(QObject* context, Job job, Done done) {
        enqueue([this, guard = QPointer<QObject>(context), job = std::move(job),
                 done = std::move(done)](std::stop_token stop) mutable {
            if constexpr (std::is_void_v<decltype(invoke(job, stop))>) {
                invoke(job, stop);
                deliver([guard = std::move(guard), done = std::move(done)]() mutable {
                    if (guard) {
                        done();
                    }
                });
            } else {
                auto result = invoke(job, stop);
                deliver(
                    [guard = std::move(guard), done = std::move(done), result = std::move(result)]() mutable {
                        if (guard) {
                            done(std::move(result));
                        }
                    });
            }
        });
    }

private:
    template <typename Job> static decltype(auto) invoke(Job& job, std::stop_token stop) {
        if constexpr (std::is_invocable_v<Job&, std::stop_token>) {
            return job(std::move(stop));
        } else {
            return job();
        }
    }

    void enqueue(std::function<void(std::stop_token)> task);
    void deliver(std::function<void()> call);
    void run(std::stop_token stop);

    const std::string threadName_;
    const int niceness_;
    // Lives on the queue's own thread and outlasts the worker, so results always have a live target.
    QObject receiver_;
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::deque<std::function<void(std::stop_token)>> pending_;
    std::jthread thread_;
};

} // namespace halvrick
