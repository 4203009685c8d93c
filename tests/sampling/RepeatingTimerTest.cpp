#include "sampling/RepeatingTimer.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

namespace halvrick {
namespace {

void ensureApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "halvrick_sampling_tests";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
}

TEST(QtRepeatingTimerTest, FiresUntilStopped) {
    ensureApplication();
    QtRepeatingTimer timer;
    int fired = 0;
    // A zero interval fires on every pass of the event loop, so no waiting is needed.
    timer.start(0, [&fired] { ++fired; });
    EXPECT_TRUE(timer.isActive());
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_GE(fired, 2);
    timer.stop();
    EXPECT_FALSE(timer.isActive());
    const int before = fired;
    QCoreApplication::processEvents();
    EXPECT_EQ(fired, before);
}

TEST(QtRepeatingTimerTest, RestartReplacesTheCallback) {
    ensureApplication();
    QtRepeatingTimer timer;
    int first = 0;
    int second = 0;
    timer.start(5, [&first] { ++first; });
    EXPECT_EQ(timer.intervalMilliseconds(), 5000);
    timer.start(0, [&second] { ++second; });
    QCoreApplication::processEvents();
    EXPECT_EQ(first, 0);
    EXPECT_GE(second, 1);

    timer.start(std::numeric_limits<double>::quiet_NaN(), [&first] { ++first; });
    EXPECT_FALSE(timer.isActive());
    timer.start(-1, [&first] { ++first; });
    EXPECT_FALSE(timer.isActive());
}

TEST(QtRepeatingTimerTest, DestroyedContextIsNeverCalled) {
    ensureApplication();
    auto context = std::make_unique<QObject>();
    QtRepeatingTimer timer(context.get());
    int fired = 0;
    timer.start(0, [&fired] { ++fired; });
    context.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(fired, 0);
    timer.start(0, [&fired] { ++fired; });
    EXPECT_FALSE(timer.isActive());
}

} // namespace
} // namespace halvrick
