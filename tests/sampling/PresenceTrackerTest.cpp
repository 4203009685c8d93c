#include "sampling/PresenceTracker.h"

#include "QtTestSupport.h"
#include "sampling/DBusIdleReader.h"
#include "sampling/LogindPresenceSignals.h"
#include "sampling/ScreenSaverPresenceSignals.h"
#include "sampling/X11Display.h"
#include "sampling/X11IdleReader.h"

#include <QDBusConnection>
#include <QStringList>

#include <gtest/gtest.h>

#include <string>

namespace halvrick {
namespace {

class FakeIdleReader : public IdleReader {
public:
    explicit FakeIdleReader(std::optional<double> value) : value(value) {}
    std::optional<double> idleSeconds() override {
        ++calls;
        return value;
    }
    double readingLag() const override { return lag; }
    std::optional<double> value;
    double lag = 0;
    int calls = 0;
};

class FakeMicrophone : public MicrophoneProbe {
public:
    bool isMicrophoneInUse() override {
        ++calls;
        return inUse;
    }
    bool inUse = false;
    int calls = 0;
};

class FakeFullScreen : public FullScreenProbe {
public:
    bool isFullScreenAppInFront() override {
        ++calls;
        return inFront;
    }
    bool inFront = false;
    int calls = 0;
};

class FakeSignals : public PresenceSignalSource {
public:
    void start(Observer o) override { observer = std::move(o); }
    void send(bool lost) const { observer(lost); }
    Observer observer;
};

// A tracker on fakes: a monotonic clock and a wall clock the test moves, Berlin's calendar.
class PresenceTrackerTest : public testing::Test {
protected:
    PresenceTrackerTest() {
        PresenceTracker::Facilities f;
        f.idleReaders.push_back(std::make_unique<FakeIdleReader>(std::nullopt));
        f.idleReaders.push_back(std::make_unique<FakeIdleReader>(std::nullopt));
        firstIdle = static_cast<FakeIdleReader*>(f.idleReaders[0].get());
        secondIdle = static_cast<FakeIdleReader*>(f.idleReaders[1].get());
        f.microphone = std::make_unique<FakeMicrophone>();
        microphone = static_cast<FakeMicrophone*>(f.microphone.get());
        f.fullScreen = std::make_unique<FakeFullScreen>();
        fullScreen = static_cast<FakeFullScreen*>(f.fullScreen.get());
        f.signalSources.push_back(std::make_unique<FakeSignals>());
        f.signalSources.push_back(std::make_unique<FakeSignals>());
        lockSignals = static_cast<FakeSignals*>(f.signalSources[0].get());
        screenSignals = static_cast<FakeSignals*>(f.signalSources[1].get());
        f.monotonicNow = [this] { return monotonic; };
        f.wallNow = [this] { return wall; };
        f.calendar = [] { return Calendar("Europe/Berlin"); };
        tracker = std::make_unique<PresenceTracker>(std::move(f));
        tracker->onPresenceLost = [this] { ++lost; };
        tracker->onPresenceRestored = [this] { ++restored; };
    }

    int queries() const { return microphone->calls + fullScreen->calls; }

    double monotonic = 1000;
    Date wall = Calendar("Europe/Berlin").date(2026, 3, 14, 23, 0);
    FakeIdleReader* firstIdle;
    FakeIdleReader* secondIdle;
    FakeMicrophone* microphone;
    FakeFullScreen* fullScreen;
    FakeSignals* lockSignals;
    FakeSignals* screenSignals;
    std::unique_ptr<PresenceTracker> tracker;
    int lost = 0;
    int restored = 0;
};

TEST_F(PresenceTrackerTest, SuppressionPrefersMicrophoneThenFullScreenThenQuietHours) {
    struct Case {
        bool microphone;
        bool fullScreen;
        bool quiet;
        std::optional<SuppressionReason> expected;
    };
    const Case cases[] = {
        {true, true, true, SuppressionReason::microphoneInUse},
        {true, false, false, SuppressionReason::microphoneInUse},
        {false, true, true, SuppressionReason::fullScreenApp},
        {false, false, true, SuppressionReason::quietHours},
        {false, false, false, std::nullopt},
    };
    for (const Case& c : cases) {
        microphone->inUse = c.microphone;
        fullScreen->inFront = c.fullScreen;
        // 22:00-08:00 holds the wall clock's 23:00; 09:00-17:00 does not.
        tracker->quietHours = c.quiet ? QuietHours{1320, 480} : QuietHours{540, 1020};
        monotonic += PresenceTracker::suppressionCacheDuration;
        EXPECT_EQ(tracker->suppression(), c.expected) << c.microphone << c.fullScreen << c.quiet;
        EXPECT_EQ(tracker->currentSuppression(), c.expected);
    }
}

TEST_F(PresenceTrackerTest, QuietHoursNeedToBeSet) {
    tracker->quietHours.reset();
    EXPECT_EQ(tracker->suppression(), std::nullopt);
    tracker->quietHours = QuietHours{1320, 480};
    monotonic += 5;
    EXPECT_EQ(tracker->suppression(), SuppressionReason::quietHours);
}

TEST_F(PresenceTrackerTest, ProbesStopAtTheFirstReason) {
    microphone->inUse = true;
    fullScreen->inFront = true;
    EXPECT_EQ(tracker->suppression(), SuppressionReason::microphoneInUse);
    EXPECT_EQ(fullScreen->calls, 0);
}

TEST_F(PresenceTrackerTest, AnswerIsReusedForFiveSecondsOnTheMonotonicClock) {
    EXPECT_EQ(tracker->suppression(), std::nullopt);
    EXPECT_EQ(queries(), 2);

    microphone->inUse = true;
    monotonic += 4.9;
    // Wall-clock jumps either way change nothing: only the monotonic clock ages the answer.
    wall = wall - 3600;
    EXPECT_EQ(tracker->suppression(), std::nullopt);
    wall = wall + 7200;
    EXPECT_EQ(tracker->suppression(), std::nullopt);
    EXPECT_EQ(queries(), 2);

    monotonic += 0.1;
    EXPECT_EQ(tracker->suppression(), SuppressionReason::microphoneInUse);
    EXPECT_EQ(queries(), 3);
}

TEST_F(PresenceTrackerTest, AbsentReasonIsCachedToo) {
    EXPECT_EQ(tracker->suppression(), std::nullopt);
    fullScreen->inFront = true;
    monotonic += 1;
    EXPECT_EQ(tracker->suppression(), std::nullopt);
    EXPECT_EQ(queries(), 2);
}

TEST_F(PresenceTrackerTest, LockAndUnlockReportAwayAndBackAndForgetTheCache) {
    tracker->start();
    EXPECT_EQ(tracker->suppression(), std::nullopt);

    microphone->inUse = true;
    lockSignals->send(true);
    EXPECT_TRUE(tracker->isAway());
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(restored, 0);
    monotonic += 1;
    EXPECT_EQ(tracker->suppression(), SuppressionReason::microphoneInUse);

    microphone->inUse = false;
    lockSignals->send(false);
    EXPECT_FALSE(tracker->isAway());
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(restored, 1);
    monotonic += 1;
    EXPECT_EQ(tracker->suppression(), std::nullopt);
}

TEST_F(PresenceTrackerTest, EverySourceReportsThroughTheSameRule) {
    tracker->start();
    screenSignals->send(true);
    lockSignals->send(true);
    EXPECT_TRUE(tracker->isAway());
    EXPECT_EQ(lost, 2);
    screenSignals->send(false);
    EXPECT_FALSE(tracker->isAway());
    EXPECT_EQ(restored, 1);
}

TEST_F(PresenceTrackerTest, SignalsWithoutCallbacksOnlyMoveTheState) {
    tracker->onPresenceLost = nullptr;
    tracker->onPresenceRestored = nullptr;
    tracker->start();
    lockSignals->send(true);
    EXPECT_TRUE(tracker->isAway());
    lockSignals->send(false);
    EXPECT_FALSE(tracker->isAway());
}

TEST_F(PresenceTrackerTest, NothingIsHeardBeforeStartAndStartRegistersOnce) {
    EXPECT_FALSE(lockSignals->observer);
    tracker->start();
    ASSERT_TRUE(lockSignals->observer);
    ASSERT_TRUE(screenSignals->observer);
    lockSignals->observer = nullptr;
    tracker->start();
    EXPECT_FALSE(lockSignals->observer);
}

TEST_F(PresenceTrackerTest, IdleAndItsLagComeFromTheFirstReaderThatCanTell) {
    firstIdle->lag = 4;
    secondIdle->lag = 1;
    EXPECT_EQ(tracker->secondsSinceLastInput(), 0);
    EXPECT_EQ(tracker->readingLag(), 0) << "nothing to tell of: present now";

    secondIdle->value = 12.5;
    EXPECT_EQ(tracker->secondsSinceLastInput(), 12.5);
    EXPECT_EQ(tracker->readingLag(), 1);

    firstIdle->value = 3;
    const int secondCalls = secondIdle->calls;
    EXPECT_EQ(tracker->secondsSinceLastInput(), 3);
    EXPECT_EQ(tracker->readingLag(), 4);
    EXPECT_EQ(secondIdle->calls, secondCalls);

    firstIdle->value = -2;
    firstIdle->lag = -1;
    EXPECT_EQ(tracker->secondsSinceLastInput(), 0);
    EXPECT_EQ(tracker->readingLag(), 0);

    firstIdle->value.reset();
    secondIdle->value.reset();
    EXPECT_EQ(tracker->secondsSinceLastInput(), 0);
    EXPECT_EQ(tracker->readingLag(), 0);
}

// Readers that answer late get their first question at start, so the first tick has an answer.
TEST_F(PresenceTrackerTest, StartPutsTheFirstQuestionToTheIdleReaders) {
    EXPECT_EQ(firstIdle->calls, 0);
    tracker->start();
    EXPECT_EQ(firstIdle->calls, 1);
    tracker->start();
    EXPECT_EQ(firstIdle->calls, 1);
}

QStringList messages;

void collectMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
    messages.append(text);
}

TEST(PresenceTrackerAbsentTest, NothingToReadMeansPresentAndNotSuppressedWithoutComplaint) {
    testApplication();
    const QDBusConnection noBus =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("absent"));
    ASSERT_FALSE(noBus.isConnected());
    const std::shared_ptr<X11Display> noDisplay = X11Display::open("/nonexistent/socket:0");

    messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectMessage);
    {
        PresenceTracker::Facilities f;
        f.idleReaders.push_back(std::make_unique<X11IdleReader>(noDisplay));
        f.idleReaders.push_back(std::make_unique<DBusIdleReader>(noBus, DBusIdleReader::gnomeIdleMonitor()));
        f.idleReaders.push_back(
            std::make_unique<DBusIdleReader>(noBus, DBusIdleReader::freedesktopScreenSaver()));
        f.microphone =
            std::make_unique<AsoundMicrophoneProbe>(std::string(HALVRICK_TEST_DATA) + "/asound/no-cards");
        f.fullScreen = std::make_unique<X11FullScreenProbe>(noDisplay);
        f.signalSources.push_back(
            std::make_unique<LogindPresenceSignals>(noBus, LogindPresenceSignals::Identity{"1", 1, 1000}));
        f.signalSources.push_back(std::make_unique<ScreenSaverPresenceSignals>(noBus));
        PresenceTracker tracker(std::move(f));
        tracker.start();
        for (int tick = 0; tick < 3; ++tick) {
            EXPECT_EQ(tracker.secondsSinceLastInput(), 0);
            EXPECT_EQ(tracker.suppression(), std::nullopt);
            EXPECT_FALSE(tracker.isAway());
            QCoreApplication::processEvents();
        }
    }
    qInstallMessageHandler(previous);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    QDBusConnection::disconnectFromBus(QStringLiteral("absent"));
}

TEST(PresenceTrackerAbsentTest, RealMachineAnswersSanely) {
    testApplication();
    PresenceTracker tracker;
    tracker.start();
    EXPECT_GE(tracker.secondsSinceLastInput(), 0);
    tracker.suppression();
    EXPECT_FALSE(tracker.isAway());
}

} // namespace
} // namespace halvrick
