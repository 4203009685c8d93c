#include "sampling/RepeatingTimer.h"

#include "QtTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace halvrick {
namespace {

TEST(QtRepeatingTimerTest, FiresRepeatedlyUntilStopped) {
    testApplication();
    QtRepeatingTimer timer;
    int fired = 0;
    timer.start(0.001, [&] {
        if (++fired == 3) {
            timer.stop();
        }
    });
    EXPECT_TRUE(timer.isActive());
    QElapsedTimer guard;
    guard.start();
    while (timer.isActive() && guard.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    EXPECT_EQ(fired, 3);
    EXPECT_FALSE(timer.isActive());
}

} // namespace
} // namespace halvrick
