#include "sampling/SystemBreakdownSampler.h"

#include "QtTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <gtest/gtest.h>
#include <mutex>
#include <unistd.h>

namespace halvrick {
namespace {

using Result = SystemBreakdownSampler::Result;

// Hands out scripted listings; while held, a listing waits on the worker until released.
class ScriptedRunner : public ListingRunner {
public:
    explicit ScriptedRunner(std::deque<std::optional<std::vector<PSRow>>> script)
        : script_(std::move(script)) {}

    std::optional<std::vector<PSRow>> list() override {
        ++calls;
        std::unique_lock lock(mutex_);
        released_.wait(lock, [this] { return !held_; });
        if (script_.empty()) {
            return std::vector<PSRow>{};
        }
        const bool fails = !script_.front();
        std::vector<PSRow> rows = fails ? std::vector<PSRow>{} : std::move(*script_.front());
        script_.pop_front();
        if (fails) {
            return std::nullopt;
        }
        return rows;
    }

    void hold() {
        const std::lock_guard lock(mutex_);
        held_ = true;
    }
    void release() {
        {
            const std::lock_guard lock(mutex_);
            held_ = false;
        }
        released_.notify_all();
    }

    std::atomic<int> calls = 0;

private:
    std::mutex mutex_;
    std::condition_variable released_;
    bool held_ = false;
    std::deque<std::optional<std::vector<PSRow>>> script_;
};

class FakeTimer : public RepeatingTimer {
public:
    void start(double seconds, std::function<void()> onFire) override {
        ++starts;
        interval = seconds;
        onFire_ = std::move(onFire);
        active_ = true;
    }
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }
    void fire() {
        if (active_) {
            onFire_();
        }
    }

    int starts = 0;
    double interval = 0;

private:
    std::function<void()> onFire_;
    bool active_ = false;
};

const std::vector<PSRow> someRows = {{1, 4.0, "systemd"}, {12, 0.05, "kworker/0:1-events"}};
const Date listingTime = Date::since1970(1'700'000'000);

class SystemBreakdownSamplerTest : public testing::Test {
protected:
    // Worker-side thread CPU readings, taken in pairs around each listing.
    void makeSampler(std::deque<std::optional<std::vector<PSRow>>> script,
                     std::vector<double> cpuReadings = {}) {
        runner = std::make_shared<ScriptedRunner>(std::move(script));
        auto fakeTimer = std::make_unique<FakeTimer>();
        timer = fakeTimer.get();
        readings = std::move(cpuReadings);
        sampler = std::make_unique<SystemBreakdownSampler>(
            queue, runner, std::move(fakeTimer), [] { return listingTime; },
            [this] {
                const std::size_t i = nextReading++;
                return i < readings.size() ? readings[i] : 0.0;
            });
        sampler->onResult = [this](const Result& result) {
            deliveredOffMain = deliveredOffMain || QThread::currentThread() != app.thread();
            results.push_back(result);
        };
    }

    // Runs the main thread's events until `condition` holds, for at most five seconds.
    static bool waitUntil(const std::function<bool()>& condition) {
        QElapsedTimer guard;
        guard.start();
        while (!condition() && guard.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        return condition();
    }

    bool waitForIdle() {
        return waitUntil([this] { return !sampler->isRunning(); });
    }

    QCoreApplication& app = testApplication();
    WorkerQueue queue;
    std::shared_ptr<ScriptedRunner> runner;
    FakeTimer* timer = nullptr;
    std::vector<double> readings;
    std::atomic<std::size_t> nextReading = 0;
    std::unique_ptr<SystemBreakdownSampler> sampler;
    std::vector<Result> results;
    bool deliveredOffMain = false;
};

TEST_F(SystemBreakdownSamplerTest, ListsAtOnceWhenStartedThenOnEveryTick) {
    makeSampler({someRows, std::vector<PSRow>{}}, {1.0, 1.25, 2.0, 2.5});
    sampler->start(2);
    EXPECT_TRUE(sampler->isStarted());
    EXPECT_TRUE(sampler->isRunning());
    EXPECT_EQ(timer->starts, 1);
    EXPECT_EQ(timer->interval, 2);
    ASSERT_TRUE(waitUntil([&] { return results.size() == 1; }));
    EXPECT_EQ(results[0], (Result{someRows, listingTime, 0.25}));
    EXPECT_FALSE(sampler->isRunning());

    timer->fire();
    ASSERT_TRUE(waitUntil([&] { return results.size() == 2; }));
    // an empty listing is still a listing
    EXPECT_EQ(results[1], (Result{{}, listingTime, 0.5}));
    EXPECT_FALSE(deliveredOffMain);
}

TEST_F(SystemBreakdownSamplerTest, StartingAgainNeitherListsNorAddsATimer) {
    makeSampler({someRows});
    runner->hold();
    sampler->start(2);
    sampler->start(2);
    runner->release();
    ASSERT_TRUE(waitUntil([&] { return results.size() == 1; }));
    sampler->start(5);
    EXPECT_FALSE(sampler->isRunning());
    EXPECT_EQ(runner->calls, 1);
    EXPECT_EQ(timer->starts, 1);
    EXPECT_EQ(timer->interval, 2);
}

TEST_F(SystemBreakdownSamplerTest, TickDuringAListingIsSkipped) {
    makeSampler({someRows, someRows});
    runner->hold();
    sampler->start(2);
    timer->fire();
    timer->fire();
    runner->release();
    ASSERT_TRUE(waitForIdle());
    EXPECT_EQ(results.size(), 1u);
    EXPECT_EQ(runner->calls, 1);
    timer->fire();
    ASSERT_TRUE(waitUntil([&] { return results.size() == 2; }));
    EXPECT_EQ(runner->calls, 2);
}

TEST_F(SystemBreakdownSamplerTest, ListingThatEndsAfterStopIsDropped) {
    makeSampler({someRows});
    runner->hold();
    sampler->start(2);
    sampler->stop();
    EXPECT_FALSE(sampler->isStarted());
    EXPECT_FALSE(timer->isActive());
    EXPECT_TRUE(sampler->isRunning());
    runner->release();
    ASSERT_TRUE(waitForIdle());
    EXPECT_TRUE(results.empty());
}

TEST_F(SystemBreakdownSamplerTest, FailedListingDeliversNothingAndTheNextTickTriesAgain) {
    makeSampler({std::nullopt, someRows});
    sampler->start(2);
    ASSERT_TRUE(waitForIdle());
    EXPECT_TRUE(results.empty());
    timer->fire();
    ASSERT_TRUE(waitUntil([&] { return results.size() == 1; }));
    EXPECT_EQ(results[0].rows, someRows);
}

TEST_F(SystemBreakdownSamplerTest, CostIsNeverNegative) {
    // a thread clock that went backwards
    makeSampler({someRows}, {3.0, 2.0});
    sampler->start(2);
    ASSERT_TRUE(waitUntil([&] { return results.size() == 1; }));
    EXPECT_EQ(results[0].ownCostSeconds, 0);
}

TEST_F(SystemBreakdownSamplerTest, DestroyedSamplerNeverHearsOfItsListing) {
    makeSampler({someRows});
    runner->hold();
    sampler->start(2);
    sampler.reset();
    runner->release();
    QObject marker;
    bool markerDone = false;
    queue.post(
        &marker, [] {}, [&] { markerDone = true; });
    ASSERT_TRUE(waitUntil([&] { return markerDone; }));
    EXPECT_TRUE(results.empty());
}

TEST_F(SystemBreakdownSamplerTest, SteadyNowAdvancesWithTheWallClockNear) {
    const Date first = SystemBreakdownSampler::steadyNow();
    const Date second = SystemBreakdownSampler::steadyNow();
    EXPECT_GE(second - first, 0);
    const double wall =
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    EXPECT_NEAR(first.timeIntervalSince1970(), wall, 60);
}

TEST(SystemBreakdownSamplerSmokeTest, ListsTheRealMachine) {
    testApplication();
    WorkerQueue queue;
    SystemBreakdownSampler sampler(queue);
    std::optional<Result> result;
    sampler.onResult = [&](const Result& r) { result = r; };
    sampler.start(60);
    QElapsedTimer guard;
    guard.start();
    while (!result && guard.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    sampler.stop();
    ASSERT_TRUE(result);
    EXPECT_TRUE(std::any_of(result->rows.begin(), result->rows.end(),
                            [](const PSRow& row) { return row.pid == ::getpid(); }));
    // reading every process's stat costs the worker some CPU time
    EXPECT_GT(result->ownCostSeconds, 0);
    EXPECT_LT(result->ownCostSeconds, 5);
}

} // namespace
} // namespace halvrick
