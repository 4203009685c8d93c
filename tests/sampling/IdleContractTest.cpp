// What every idle source owes the rest coach: input during the last tick is seen at this tick, or at the
// next one for a source that can only answer a question late; no input is never taken for input.

#include "PrivateBus.h"
#include "QtTestSupport.h"
#include "Xvfb.h"
#include "core/RestCoach.h"
#include "sampling/DBusIdleReader.h"
#include "sampling/PresenceTracker.h"
#include "sampling/X11Display.h"
#include "sampling/X11IdleReader.h"

#include <QDBusConnection>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace halvrick {
namespace {

enum class Source { x11, mutter, screenSaver, none };

// The machine behind one idle source: the user, the clocks, and the answers on their way.
class World : public TimeSource {
public:
    // A tick interval passes; with `input`, the user touches the machine halfway through.
    virtual void pass(bool input) = 0;
    // The answers to the questions asked so far come in, as they do between two ticks.
    virtual void settle() {}
    virtual std::unique_ptr<IdleReader> reader() = 0;
};

// No source at all: always 0 s idle, so always present.
class Nothing : public World {
public:
    void pass(bool) override { now_ += 1; }
    Date now() const override { return now_; }
    std::unique_ptr<IdleReader> reader() override { return nullptr; }

private:
    Date now_ = Date::since1970(1'800'000'000);
};

// A real X server and real input. Its idle counter runs on real time, which is the coach's clock too; the
// reader's own clock moves a second a tick, so every tick asks afresh. Its answer is waited for as long as
// a loaded machine needs: how long the reader waits in the program is its own test.
class X11 : public World {
public:
    explicit X11(std::string display) : name_(std::move(display)) {}

    void pass(bool input) override {
        monotonic_ += 1;
        if (input) {
            QProcess xdotool;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("DISPLAY"), QString::fromStdString(name_));
            xdotool.setProcessEnvironment(environment);
            // Somewhere else each time, so that every move is a move.
            moves_ += 1;
            xdotool.start(
                QStringLiteral("xdotool"),
                {QStringLiteral("mousemove"), QString::number(10 + 7 * moves_), QStringLiteral("20")});
            ASSERT_TRUE(xdotool.waitForFinished(30000));
            ASSERT_EQ(xdotool.exitCode(), 0);
        }
    }
    Date now() const override { return wall_.now(); }
    std::unique_ptr<IdleReader> reader() override {
        const std::shared_ptr<X11Display> display = X11Display::open(name_);
        EXPECT_NE(display, nullptr);
        return std::make_unique<X11IdleReader>(
            display, [this] { return monotonic_; }, 30.0);
    }

private:
    std::string name_;
    SystemTimeSource wall_;
    double monotonic_ = 1000;
    int moves_ = 0;
};

// A desktop service on a private bus that knows when the user last touched the machine; one clock for
// the service, the reader and the coach.
class Desktop : public World {
public:
    Desktop(Source source, QDBusConnection session, QDBusConnection service)
        : method_(source == Source::mutter ? DBusIdleReader::gnomeIdleMonitor()
                                           : DBusIdleReader::freedesktopScreenSaver()),
          session_(std::move(session)), service_(std::move(service)),
          answers_([this](const QDBusMessage& call) { return answer(call); }) {
        EXPECT_TRUE(service_.registerVirtualObject(method_.path, &answers_));
        EXPECT_TRUE(service_.registerService(method_.service));
    }
    ~Desktop() override {
        service_.unregisterService(method_.service);
        service_.unregisterObject(method_.path);
    }

    void pass(bool input) override {
        if (input) {
            lastInput_ = clock_ + 0.5;
        }
        clock_ += 1;
    }
    void settle() override {
        // An answer to a question of this moment is no older than this moment.
        ASSERT_TRUE(waitUntil([&] {
            return reader_->idleSeconds().has_value() && reader_->readingLag() == 0;
        })) << answers_.calls.size()
            << " questions";
    }
    Date now() const override { return Date::since1970(clock_); }
    std::unique_ptr<IdleReader> reader() override {
        auto reader = std::make_unique<DBusIdleReader>(session_, method_, [this] { return clock_; });
        reader_ = reader.get();
        return reader;
    }

private:
    QDBusMessage answer(const QDBusMessage& call) const {
        if (call.member() != method_.name) {
            return unknownMethod(call);
        }
        const double idle = clock_ - lastInput_;
        if (method_.unit == DBusIdleReader::Unit::milliseconds) {
            return call.createReply(QVariant::fromValue(static_cast<qulonglong>(idle * 1000)));
        }
        return call.createReply(QVariant::fromValue(static_cast<unsigned int>(idle)));
    }

    DBusIdleReader::Method method_;
    QDBusConnection session_;
    QDBusConnection service_;
    FakeService answers_;
    double clock_ = 1'800'000'000;
    double lastInput_ = clock_ - 3600;
    DBusIdleReader* reader_ = nullptr;
};

struct Contract {
    Source source;
    const char* name;
    // Ticks after the first one that follows the input, at most.
    int ticksLate;
    // Whether it can tell that nobody is there.
    bool seesAbsence;
};

void PrintTo(const Contract& c, std::ostream* os) {
    *os << c.name;
}

class IdleContractTest : public testing::TestWithParam<Contract> {
protected:
    static void SetUpTestSuite() {
        testApplication();
        if (!QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
            xvfb_ = new Xvfb;
            display_ = xvfb_->start();
        }
        if (!QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()) {
            bus_ = new PrivateBus;
            address_ = bus_->start();
        }
    }

    static void TearDownTestSuite() {
        delete xvfb_;
        xvfb_ = nullptr;
        delete bus_;
        bus_ = nullptr;
    }

    void SetUp() override {
        switch (GetParam().source) {
        case Source::x11:
            if (xvfb_ == nullptr || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
                GTEST_SKIP() << "Xvfb or xdotool is not installed";
            }
            ASSERT_FALSE(display_.empty()) << "Xvfb did not start";
            world_ = std::make_shared<X11>(display_);
            break;
        case Source::mutter:
        case Source::screenSaver:
            if (bus_ == nullptr) {
                GTEST_SKIP() << "dbus-daemon is not installed";
            }
            ASSERT_FALSE(address_.isEmpty()) << "dbus-daemon did not start";
            world_ = std::make_shared<Desktop>(GetParam().source, connect(), connect());
            break;
        case Source::none:
            world_ = std::make_shared<Nothing>();
            break;
        }
    }

    void TearDown() override {
        world_.reset();
        for (const QString& name : names_) {
            QDBusConnection::disconnectFromBus(name);
        }
    }

    QDBusConnection connect() {
        static int counter = 0;
        const QString name = QStringLiteral("contract-%1").arg(++counter);
        names_.append(name);
        return QDBusConnection::connectToBus(address_, name);
    }

    static inline Xvfb* xvfb_ = nullptr;
    static inline std::string display_;
    static inline PrivateBus* bus_ = nullptr;
    static inline QString address_;
    std::shared_ptr<World> world_;
    QStringList names_;
};

TEST_P(IdleContractTest, InputDuringTheLastTickIsSeenAtThisTick) {
    const Contract& contract = GetParam();
    PresenceTracker::Facilities facilities;
    if (std::unique_ptr<IdleReader> reader = world_->reader()) {
        facilities.idleReaders.push_back(std::move(reader));
    }
    facilities.microphone = std::make_unique<AsoundMicrophoneProbe>("/nonexistent");
    facilities.fullScreen = std::make_unique<X11FullScreenProbe>(nullptr);
    const auto tracker = std::make_shared<PresenceTracker>(std::move(facilities));
    tracker->start();
    world_->settle();

    // Every calm tick completes a break, so that one tick takes the coach there.
    Config config = Config::defaults();
    config.restRequiredIdle = 0;
    RestCoach coach(config, world_, tracker, tracker);
    const auto tick = [&](bool input) {
        world_->pass(input);
        std::vector<RestEvent> events = coach.tick();
        world_->settle();
        return events;
    };
    // Input, then ticks until the phase changes: how many ticks after the first that came, and its events.
    const auto inputSeenAfter = [&](RestPhase phase) {
        std::vector<RestEvent> events = tick(true);
        for (int late = 0; late <= 3; ++late) {
            if (coach.phase() != phase) {
                return std::pair(late, events);
            }
            events = tick(false);
        }
        return std::pair(-1, events);
    };

    for (int i = 0; i < 3; ++i) {
        tick(false);
        if (contract.seesAbsence) {
            EXPECT_EQ(coach.phase(), RestPhase::idle) << "no input, yet a stretch began";
        }
    }
    coach.presenceLost();
    ASSERT_EQ(coach.phase(), RestPhase::idle);
    const auto [toActive, activeEvents] = inputSeenAfter(RestPhase::idle);
    EXPECT_GE(toActive, 0) << "input never seen";
    EXPECT_LE(toActive, contract.ticksLate);
    ASSERT_EQ(coach.phase(), RestPhase::active);

    coach.acceptRest();
    tick(false);
    ASSERT_EQ(coach.phase(), RestPhase::breakTaken);
    for (int i = 0; i < 3 && contract.seesAbsence; ++i) {
        EXPECT_EQ(tick(false), std::vector<RestEvent>{});
        EXPECT_EQ(coach.phase(), RestPhase::breakTaken) << "no input, yet the user was welcomed back";
    }
    const auto [toAwake, awakeEvents] = inputSeenAfter(RestPhase::breakTaken);
    EXPECT_GE(toAwake, 0) << "input never seen";
    EXPECT_LE(toAwake, contract.ticksLate);
    EXPECT_EQ(coach.phase(), RestPhase::active);
    EXPECT_EQ(awakeEvents, std::vector<RestEvent>{RestEvent::wokeUpHappy()});
}

INSTANTIATE_TEST_SUITE_P(Sources, IdleContractTest,
                         testing::Values(Contract{Source::x11, "X11", 0, true},
                                         Contract{Source::mutter, "Mutter", 1, true},
                                         Contract{Source::screenSaver, "ScreenSaver", 1, true},
                                         Contract{Source::none, "NoSource", 0, false}),
                         [](const testing::TestParamInfo<Contract>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace halvrick
