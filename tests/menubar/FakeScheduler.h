#pragma once

#include "menubar/Scheduler.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <vector>

namespace halvrick {

// Time stands still until the test moves it; due tasks then run in the order they fall due.
class FakeScheduler : public Scheduler {
public:
    Handle after(double seconds, std::function<void()> task) override {
        tasks_.push_back({++next_, now_ + seconds, std::move(task)});
        return next_;
    }
    void cancel(Handle handle) override {
        std::erase_if(tasks_, [handle](const Task& task) { return task.handle == handle; });
    }

    // Moves time on by `seconds`, running every task due by then (also those they schedule).
    void advance(double seconds) {
        const double target = now_ + seconds;
        for (;;) {
            const auto next =
                std::min_element(tasks_.begin(), tasks_.end(), [](const Task& a, const Task& b) {
                    return a.due < b.due || (a.due == b.due && a.handle < b.handle);
                });
            if (next == tasks_.end() || next->due > target) {
                break;
            }
            const Task task = std::move(*next);
            tasks_.erase(next);
            now_ = std::max(now_, task.due);
            task.run();
        }
        now_ = target;
    }

    std::size_t pending() const { return tasks_.size(); }
    // The delays of the pending tasks, counted from now.
    std::vector<double> pendingDelays() const {
        std::vector<double> delays;
        for (const Task& task : tasks_) {
            delays.push_back(task.due - now_);
        }
        return delays;
    }

private:
    struct Task {
        Handle handle;
        double due;
        std::function<void()> run;
    };

    std::vector<Task> tasks_;
    Handle next_ = 0;
    double now_ = 0;
};

} // namespace halvrick
