#include "sampling/WorkerQueue.h"

#include "QtTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <chrono>
#include <future>
#include <gtest/gtest.h>

#include <sched.h>
#include <memory>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace halvrick {
namespace {

using namespace std::chrono_literals;

class WorkerQueueTest : public testing::Test {
protected:
    // Runs the main thread's events until `condition` holds, for at most five seconds.
    static bool waitUntil(const std::function<bool()>& condition) {
        QElapsedTimer guard;
        guard.start();
        while (!condition() && guard.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        return condition();
    }

    static bool onMainThread() { return QThread::currentThread() == QCoreApplication::instance()->thread(); }

    QCoreApplication& app = testApplication();
    QObject context;
};

TEST_F(WorkerQueueTest, RunsJobsOneAtATimeInOrderAndDeliversOnTheMainThread) {
    WorkerQueue queue;
    std::atomic<int> active = 0;
    std::atomic<int> mostActive = 0;
    std::atomic<bool> anyJobOnMain = false;
    std::vector<int> delivered;
    bool anyDoneOffMain = false;
    constexpr int count = 20;
    for (int i = 0; i < count; ++i) {
        queue.post(
            &context,
            [&, i] {
                const int now = ++active;
                mostActive = std::max(mostActive.load(), now);
                anyJobOnMain = anyJobOnMain || onMainThread();
                --active;
                return i;
            },
            [&](int i) {
                anyDoneOffMain = anyDoneOffMain || !onMainThread();
                delivered.push_back(i);
            });
    }
    ASSERT_TRUE(waitUntil([&] { return delivered.size() == count; }));
    std::vector<int> expected(count);
    for (int i = 0; i < count; ++i) {
        expected[i] = i;
    }
    EXPECT_EQ(delivered, expected);
    EXPECT_EQ(mostActive, 1);
    EXPECT_FALSE(anyJobOnMain);
    EXPECT_FALSE(anyDoneOffMain);
}

TEST_F(WorkerQueueTest, WorkerIsNamedAndRunsNicerThanTheMainThreadAsABatchThread) {
    errno = 0;
    const int mainNice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
    const int mainPolicy = ::sched_getscheduler(0);
    struct Seen {
        std::string name;
        int nice;
        int policy;
    };
    WorkerQueue queue;
    std::optional<Seen> seen;
    queue.post(
        &context,
        [] {
            std::array<char, 16> name{};
            ::pthread_getname_np(::pthread_self(), name.data(), name.size());
            return Seen{name.data(), ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid())),
                        ::sched_getscheduler(0)};
        },
        [&](Seen result) { seen = result; });
    ASSERT_TRUE(waitUntil([&] { return seen.has_value(); }));
    EXPECT_EQ(seen->name, "halvrick.worker");
    EXPECT_GE(seen->nice, 10);
    EXPECT_GE(seen->nice, mainNice);
    EXPECT_EQ(seen->policy, SCHED_BATCH);
    EXPECT_EQ(::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid())), mainNice);
    EXPECT_EQ(::sched_getscheduler(0), mainPolicy);
}

TEST_F(WorkerQueueTest, ResultForAGoneContextIsDropped) {
    WorkerQueue queue;
    auto doomed = std::make_unique<QObject>();
    bool doomedCalled = false;
    bool laterCalled = false;
    std::promise<void> firstDelivered;
    queue.post(
        doomed.get(), [] { return 1; }, [&](int) { doomedCalled = true; });
    // Runs after the first job has queued its result for the main thread.
    queue.post(
        &context, [&] { firstDelivered.set_value(); }, [&] { laterCalled = true; });
    ASSERT_EQ(firstDelivered.get_future().wait_for(5s), std::future_status::ready);
    doomed.reset();
    ASSERT_TRUE(waitUntil([&] { return laterCalled; }));
    EXPECT_FALSE(doomedCalled);
}

TEST_F(WorkerQueueTest, DestructionStopsTheRunningJobDropsTheRestAndDeliversNothing) {
    auto queue = std::make_unique<WorkerQueue>();
    std::promise<void> started;
    std::atomic<bool> sawStop = false;
    std::atomic<bool> queuedJobRan = false;
    bool anyDone = false;
    queue->post(
        &context,
        [&](std::stop_token stop) {
            started.set_value();
            std::mutex mutex;
            std::condition_variable_any never;
            std::unique_lock lock(mutex);
            never.wait(lock, stop, [] { return false; });
            sawStop = stop.stop_requested();
        },
        [&] { anyDone = true; });
    queue->post(
        &context, [&] { queuedJobRan = true; }, [&] { anyDone = true; });
    ASSERT_EQ(started.get_future().wait_for(5s), std::future_status::ready);
    queue.reset();
    EXPECT_TRUE(sawStop);
    EXPECT_FALSE(queuedJobRan);
    QCoreApplication::processEvents();
    EXPECT_FALSE(anyDone);
}

} // namespace
} // namespace halvrick
