#include "PrivateBus.h"
#include "QtTestSupport.h"
#include "sampling/DBusIdleReader.h"
#include "sampling/LogindPresenceSignals.h"
#include "sampling/PresenceTracker.h"
#include "sampling/ScreenSaverPresenceSignals.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <functional>

namespace halvrick {
namespace {

class PrivateBusTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()) {
            return;
        }
        testApplication();
        bus_ = new PrivateBus;
        address_ = bus_->start();
    }

    static void TearDownTestSuite() {
        delete bus_;
        bus_ = nullptr;
    }

    void SetUp() override {
        if (bus_ == nullptr) {
            GTEST_SKIP() << "dbus-daemon is not installed";
        }
        ASSERT_FALSE(address_.isEmpty()) << "dbus-daemon did not start";
    }

    void TearDown() override {
        for (const QString& name : names_) {
            QDBusConnection::disconnectFromBus(name);
        }
    }

    QDBusConnection connect() {
        static int counter = 0;
        const QString name = QStringLiteral("test-%1").arg(++counter);
        names_.append(name);
        QDBusConnection connection = QDBusConnection::connectToBus(address_, name);
        EXPECT_TRUE(connection.isConnected());
        return connection;
    }

    // Once the bus has answered this connection, it has also handled every earlier request of it, such
    // as the match rules a subscription sent.
    static void roundTrip(const QDBusConnection& connection) {
        connection.call(QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")));
    }

    static void emitSignal(const QDBusConnection& from, const QString& path, const QString& interface,
                           const QString& name, const QVariantList& arguments) {
        QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
        signal.setArguments(arguments);
        from.send(signal);
        roundTrip(from);
    }

    // A tracker whose only facility that works is the given signal or idle source.
    struct Tracked {
        std::unique_ptr<PresenceTracker> tracker;
        int lost = 0;
        int restored = 0;
    };

    static std::unique_ptr<Tracked> track(std::unique_ptr<PresenceSignalSource> source,
                                          std::vector<std::unique_ptr<IdleReader>> idleReaders = {}) {
        PresenceTracker::Facilities f;
        f.idleReaders = std::move(idleReaders);
        f.microphone = std::make_unique<AsoundMicrophoneProbe>("/nonexistent");
        f.fullScreen = std::make_unique<X11FullScreenProbe>(nullptr);
        if (source) {
            f.signalSources.push_back(std::move(source));
        }
        auto tracked = std::make_unique<Tracked>();
        tracked->tracker = std::make_unique<PresenceTracker>(std::move(f));
        Tracked* raw = tracked.get();
        raw->tracker->onPresenceLost = [raw] { ++raw->lost; };
        raw->tracker->onPresenceRestored = [raw] { ++raw->restored; };
        raw->tracker->start();
        return tracked;
    }

    static inline PrivateBus* bus_ = nullptr;
    static inline QString address_;
    QStringList names_;
};

TEST_F(PrivateBusTest, ScreenSaverActiveChangedMakesTheUserAwayAndBack) {
    QDBusConnection listener = connect();
    QDBusConnection desktop = connect();
    const auto t = track(std::make_unique<ScreenSaverPresenceSignals>(listener));
    roundTrip(listener);

    const QString freedesktop = QStringLiteral("org.freedesktop.ScreenSaver");
    emitSignal(desktop, QStringLiteral("/org/freedesktop/ScreenSaver"), freedesktop,
               QStringLiteral("ActiveChanged"), {true});
    ASSERT_TRUE(waitUntil([&] { return t->tracker->isAway(); }));
    EXPECT_EQ(t->lost, 1);

    // The same change announced again on a second object is one change, not two.
    emitSignal(desktop, QStringLiteral("/ScreenSaver"), freedesktop, QStringLiteral("ActiveChanged"), {true});
    emitSignal(desktop, QStringLiteral("/ScreenSaver"), freedesktop, QStringLiteral("ActiveChanged"),
               {false});
    ASSERT_TRUE(waitUntil([&] { return !t->tracker->isAway(); }));
    EXPECT_EQ(t->lost, 1);
    EXPECT_EQ(t->restored, 1);

    emitSignal(desktop, QStringLiteral("/org/gnome/ScreenSaver"), QStringLiteral("org.gnome.ScreenSaver"),
               QStringLiteral("ActiveChanged"), {true});
    ASSERT_TRUE(waitUntil([&] { return t->tracker->isAway(); }));
    EXPECT_EQ(t->lost, 2);
}

// A login manager that knows one user with one graphical session, and can be made to forget things.
struct Login1 {
    bool knowsSessionId = true;
    bool knowsPid = true;
    bool knowsUser = true;

    QDBusMessage answer(const QDBusMessage& call) const {
        const QString member = call.member();
        if (member == QLatin1String("GetSession") && knowsSessionId &&
            call.arguments().value(0).toString() == QLatin1String("7")) {
            return call.createReply(
                QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/freedesktop/login1/session/_37"))));
        }
        if (member == QLatin1String("GetSessionByPID") && knowsPid) {
            return call.createReply(
                QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/freedesktop/login1/session/c2"))));
        }
        if (member == QLatin1String("GetUser") && knowsUser && call.arguments().value(0).toUInt() == 1000) {
            return call.createReply(
                QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/freedesktop/login1/user/_1000"))));
        }
        if (member == QLatin1String("Get") &&
            call.path() == QLatin1String("/org/freedesktop/login1/user/_1000") &&
            call.arguments().value(1).toString() == QLatin1String("Display")) {
            QDBusArgument display;
            display.beginStructure();
            display << QStringLiteral("3")
                    << QDBusObjectPath(QStringLiteral("/org/freedesktop/login1/session/_33"));
            display.endStructure();
            return call.createReply(QVariant::fromValue(QDBusVariant(QVariant::fromValue(display))));
        }
        return unknownMethod(call);
    }
};

struct SessionLookup {
    const char* name;
    QString sessionId;
    Login1 login1;
    QString expectedPath;
};

class LogindSessionLookupTest : public PrivateBusTest, public testing::WithParamInterface<SessionLookup> {};

TEST_P(LogindSessionLookupTest, FindsTheSessionToWatch) {
    const SessionLookup& lookup = GetParam();
    QDBusConnection system = connect();
    QDBusConnection logind = connect();
    FakeService service([&](const QDBusMessage& call) { return lookup.login1.answer(call); });
    ASSERT_TRUE(logind.registerVirtualObject(QStringLiteral("/org/freedesktop/login1"), &service,
                                             QDBusConnection::SubPath));
    ASSERT_TRUE(logind.registerService(QStringLiteral("org.freedesktop.login1")));

    LogindPresenceSignals source(system, {lookup.sessionId, 4242, 1000});
    source.start([](bool) {});
    if (lookup.expectedPath.isEmpty()) {
        // Asking for the user is the last resort; after its failure nothing more is tried.
        ASSERT_TRUE(waitUntil([&] { return service.calls.contains(QStringLiteral("GetUser")); }));
        EXPECT_TRUE(source.sessionPath().isEmpty());
    } else {
        ASSERT_TRUE(waitUntil([&] { return !source.sessionPath().isEmpty(); }))
            << service.calls.join(' ').toStdString();
        EXPECT_EQ(source.sessionPath(), lookup.expectedPath);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, LogindSessionLookupTest,
    testing::Values(
        SessionLookup{"BySessionId", "7", {}, "/org/freedesktop/login1/session/_37"},
        SessionLookup{"ByPidWhenTheIdIsUnknown", "8", {}, "/org/freedesktop/login1/session/c2"},
        SessionLookup{"ByPidWithoutAnId", "", {}, "/org/freedesktop/login1/session/c2"},
        SessionLookup{"UsersDisplaySession", "", {true, false, true}, "/org/freedesktop/login1/session/_33"},
        SessionLookup{"NoSessionAtAll", "7", {false, false, false}, ""}),
    [](const testing::TestParamInfo<SessionLookup>& info) { return std::string(info.param.name); });

TEST_F(PrivateBusTest, LogindLockAndSleepMakeTheUserAwayAndBack) {
    QDBusConnection system = connect();
    QDBusConnection logind = connect();
    QDBusConnection stranger = connect();
    Login1 login1;
    FakeService service([&](const QDBusMessage& call) { return login1.answer(call); });
    ASSERT_TRUE(logind.registerVirtualObject(QStringLiteral("/org/freedesktop/login1"), &service,
                                             QDBusConnection::SubPath));
    ASSERT_TRUE(logind.registerService(QStringLiteral("org.freedesktop.login1")));

    auto source =
        std::make_unique<LogindPresenceSignals>(system, LogindPresenceSignals::Identity{"7", 4242, 1000});
    const LogindPresenceSignals* logindSource = source.get();
    const auto t = track(std::move(source));
    ASSERT_TRUE(waitUntil([&] { return !logindSource->sessionPath().isEmpty(); }));
    roundTrip(system);

    const QString session = logindSource->sessionPath();
    const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");
    const QString changed = QStringLiteral("PropertiesChanged");
    const QString sessionInterface = QStringLiteral("org.freedesktop.login1.Session");
    // Only logind itself speaks for logind, and only LockedHint of the session interface counts.
    emitSignal(stranger, QStringLiteral("/org/freedesktop/login1"),
               QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), {true});
    emitSignal(logind, session, properties, changed,
               {sessionInterface, QVariantMap{{QStringLiteral("IdleHint"), true}}, QStringList{}});
    emitSignal(logind, session, properties, changed,
               {QStringLiteral("org.example.Other"), QVariantMap{{QStringLiteral("LockedHint"), true}},
                QStringList{}});
    emitSignal(logind, session, properties, changed,
               {sessionInterface, QVariantMap{{QStringLiteral("LockedHint"), true}}, QStringList{}});
    ASSERT_TRUE(waitUntil([&] { return t->tracker->isAway(); }));
    EXPECT_EQ(t->lost, 1);

    emitSignal(logind, session, properties, changed,
               {sessionInterface, QVariantMap{{QStringLiteral("LockedHint"), false}}, QStringList{}});
    ASSERT_TRUE(waitUntil([&] { return !t->tracker->isAway(); }));
    EXPECT_EQ(t->restored, 1);

    emitSignal(logind, QStringLiteral("/org/freedesktop/login1"),
               QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), {true});
    ASSERT_TRUE(waitUntil([&] { return t->tracker->isAway(); }));
    emitSignal(logind, QStringLiteral("/org/freedesktop/login1"),
               QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), {false});
    ASSERT_TRUE(waitUntil([&] { return !t->tracker->isAway(); }));
    EXPECT_EQ(t->lost, 2);
    EXPECT_EQ(t->restored, 2);
}

TEST_F(PrivateBusTest, IdleTimeComesFromTheFirstDesktopServiceThatAnswers) {
    QDBusConnection session = connect();
    QDBusConnection kde = connect();
    QDBusConnection gnome = connect();
    FakeService screenSaver([](const QDBusMessage& call) {
        return call.member() == QLatin1String("GetSessionIdleTime")
                   ? call.createReply(QVariant::fromValue(17u))
                   : unknownMethod(call);
    });
    ASSERT_TRUE(kde.registerVirtualObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &screenSaver));
    ASSERT_TRUE(kde.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));

    double clock = 100;
    std::vector<std::unique_ptr<IdleReader>> readers;
    readers.push_back(
        std::make_unique<DBusIdleReader>(session, DBusIdleReader::gnomeIdleMonitor(), [&] { return clock; }));
    readers.push_back(std::make_unique<DBusIdleReader>(session, DBusIdleReader::freedesktopScreenSaver(),
                                                       [&] { return clock; }));
    const auto t = track(nullptr, std::move(readers));
    PresenceTracker& tracker = *t->tracker;

    // Nothing is known before the first answer: present.
    EXPECT_EQ(tracker.secondsSinceLastInput(), 0);
    // GNOME's monitor is missing, so the screen saver's answer (in seconds) is used.
    ASSERT_TRUE(waitUntil([&] { return tracker.secondsSinceLastInput() == 17; }));
    EXPECT_EQ(screenSaver.calls.size(), 1);

    EXPECT_EQ(tracker.readingLag(), 0);

    // Between answers the idle time is carried forward without asking again, and the reading says how old
    // it is.
    clock = 100.5;
    EXPECT_EQ(tracker.secondsSinceLastInput(), 17.5);
    EXPECT_EQ(tracker.readingLag(), 0.5);
    EXPECT_EQ(screenSaver.calls.size(), 1);

    // GNOME's monitor turns up; the failed service is asked again only after the retry interval.
    std::uint64_t gnomeIdleMilliseconds = 42000;
    FakeService monitor([&](const QDBusMessage& call) {
        return call.member() == QLatin1String("GetIdletime")
                   ? call.createReply(QVariant::fromValue(static_cast<qulonglong>(gnomeIdleMilliseconds)))
                   : unknownMethod(call);
    });
    ASSERT_TRUE(gnome.registerVirtualObject(QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"), &monitor));
    ASSERT_TRUE(gnome.registerService(QStringLiteral("org.gnome.Mutter.IdleMonitor")));
    clock = 101;
    ASSERT_TRUE(waitUntil([&] {
        const double idle = tracker.secondsSinceLastInput();
        return screenSaver.calls.size() == 2 && idle == 17;
    }));
    EXPECT_TRUE(monitor.calls.isEmpty());

    clock = 100 + DBusIdleReader::retryInterval;
    ASSERT_TRUE(waitUntil([&] { return tracker.secondsSinceLastInput() == 42; }));
    EXPECT_EQ(monitor.calls.size(), 1);

    // The next answer replaces the carried-forward one.
    gnomeIdleMilliseconds = 1500;
    clock += DBusIdleReader::refreshInterval;
    ASSERT_TRUE(waitUntil([&] { return tracker.secondsSinceLastInput() == 1.5; }));
}

} // namespace
} // namespace halvrick
