#include "app/ShutdownSignals.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace halvrick {
namespace {

class ShutdownSignalsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Borrowed when the program already has one; otherwise made for this test only.
        if (!QCoreApplication::instance()) {
            ownApp_ = std::make_unique<QCoreApplication>(argc_, argv_);
        }
    }
    void TearDown() override { ownApp_.reset(); }

    // Runs the event loop until `done` holds or five seconds are up.
    static bool runUntil(const std::function<bool()>& done) {
        const QDeadlineTimer deadline(5000);
        QTimer wake;
        wake.start(10);
        while (!done()) {
            if (deadline.hasExpired()) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        return true;
    }

    std::vector<int> received;
    std::function<void(int)> record = [this](int signal) { received.push_back(signal); };

private:
    int argc_ = 1;
    char name_[21] = "halvrick_model_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> ownApp_;
};

TEST_F(ShutdownSignalsTest, ASignalReachesTheCallbackThroughTheEventLoop) {
    const auto handlers = ShutdownSignals::install(record);
    ASSERT_NE(handlers, nullptr);
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_TRUE(received.empty()) << "never from inside the handler";
    ASSERT_TRUE(runUntil([&] { return !received.empty(); }));
    EXPECT_EQ(received, std::vector<int>{SIGTERM});
}

TEST_F(ShutdownSignalsTest, EveryHandledSignalArrivesInOrder) {
    const auto handlers = ShutdownSignals::install(record);
    ASSERT_NE(handlers, nullptr);
    ASSERT_EQ(std::raise(SIGINT), 0);
    ASSERT_EQ(std::raise(SIGHUP), 0);
    ASSERT_EQ(std::raise(SIGTERM), 0);
    ASSERT_TRUE(runUntil([&] { return received.size() == 3; }));
    EXPECT_EQ(received, (std::vector<int>{SIGINT, SIGHUP, SIGTERM}));
}

TEST_F(ShutdownSignalsTest, OneInstallationAtATime) {
    auto first = ShutdownSignals::install(record);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ShutdownSignals::install(record), nullptr);
    first.reset();
    const auto again = ShutdownSignals::install(record);
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(std::raise(SIGTERM), 0);
    ASSERT_TRUE(runUntil([&] { return !received.empty(); }));
}

int earlierHandlerCalls = 0;
extern "C" void countingHandler(int) {
    ++earlierHandlerCalls;
}

TEST_F(ShutdownSignalsTest, RemovalGivesBackTheEarlierHandling) {
    struct sigaction counting {};
    counting.sa_handler = countingHandler;
    sigemptyset(&counting.sa_mask);
    struct sigaction original {};
    ASSERT_EQ(sigaction(SIGHUP, &counting, &original), 0);

    ShutdownSignals::install(record).reset();
    struct sigaction now {};
    ASSERT_EQ(sigaction(SIGHUP, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, countingHandler);
    ASSERT_EQ(sigaction(SIGTERM, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, SIG_DFL);

    earlierHandlerCalls = 0;
    ASSERT_EQ(std::raise(SIGHUP), 0);
    EXPECT_EQ(earlierHandlerCalls, 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(received.empty());
    sigaction(SIGHUP, &original, nullptr);
}

TEST_F(ShutdownSignalsTest, TheCallbackMayRemoveTheHandlers) {
    std::unique_ptr<ShutdownSignals> handlers;
    int calls = 0;
    handlers = ShutdownSignals::install([&](int) {
        ++calls;
        handlers.reset();
    });
    ASSERT_NE(handlers, nullptr);
    ASSERT_EQ(std::raise(SIGTERM), 0);
    ASSERT_EQ(std::raise(SIGINT), 0);
    ASSERT_TRUE(runUntil([&] { return calls == 2; }));
    EXPECT_EQ(handlers, nullptr);
    struct sigaction now {};
    ASSERT_EQ(sigaction(SIGINT, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

} // namespace
} // namespace halvrick
