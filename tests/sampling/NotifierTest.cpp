#include "sampling/Notifier.h"

#include "QtTestSupport.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QVariantMap>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace halvrick {
namespace {

namespace fs = std::filesystem;

const QString serviceName = QStringLiteral("org.freedesktop.Notifications");
const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");

// A notification server as small as the tests need: it numbers notifications from 1, keeps the
// number of a replaced one and records every call.
class FakeNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Notification {
        QString appName;
        uint replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout = 0;
        uint id = 0;
    };

    std::vector<Notification> notified;
    std::vector<uint> closed;
    QStringList capabilities{QStringLiteral("actions"), QStringLiteral("body")};
    int capabilityRequests = 0;
    int informationRequests = 0;

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints,
                int expireTimeout) {
        const uint id = replacesId != 0 ? replacesId : nextId_++;
        notified.push_back({appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout, id});
        return id;
    }
    void CloseNotification(uint id) {
        closed.push_back(id);
        emit NotificationClosed(id, 3);
    }
    QStringList GetCapabilities() {
        ++capabilityRequests;
        return capabilities;
    }
    QString GetServerInformation(QString& vendor, QString& version, QString& protocolVersion) {
        ++informationRequests;
        vendor = QStringLiteral("test");
        version = QStringLiteral("1");
        protocolVersion = QStringLiteral("1.2");
        return QStringLiteral("fake");
    }

signals:
    void ActionInvoked(uint id, const QString& actionKey);
    void NotificationClosed(uint id, uint reason);

private:
    uint nextId_ = 1;
};

// A private session bus: a dbus-daemon child on a socket in its own folder, with no services to
// start on demand, so nothing answers that the test did not put there.
class PrivateBus {
public:
    PrivateBus() {
        std::string pattern = (fs::temp_directory_path() / "halvrick-bus-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            throw std::runtime_error("mkdtemp failed");
        }
        folder_ = pattern;
        const fs::path config = folder_ / "bus.conf";
        std::ofstream(config)
            << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig>\n"
               "  <type>session</type>\n"
               "  <listen>unix:dir="
            << folder_.string()
            << "</listen>\n"
               "  <policy context=\"default\">\n"
               "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
               "    <allow eavesdrop=\"true\"/>\n"
               "    <allow own=\"*\"/>\n"
               "  </policy>\n"
               "</busconfig>\n";
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe failed");
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        // Its complaint about the open-file limit is noise here.
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        const std::string configArgument = "--config-file=" + config.string();
        std::vector<char*> argv{const_cast<char*>("dbus-daemon"), const_cast<char*>(configArgument.c_str()),
                                const_cast<char*>("--nofork"), const_cast<char*>("--print-address"), nullptr};
        const int spawned = posix_spawnp(&pid_, "dbus-daemon", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (spawned != 0) {
            close(fds[0]);
            pid_ = -1;
            throw std::runtime_error("dbus-daemon could not be started");
        }
        address_ = readLine(fds[0]);
        close(fds[0]);
        if (address_.empty()) {
            throw std::runtime_error("dbus-daemon printed no address");
        }
    }

    ~PrivateBus() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    const std::string& address() const { return address_; }

private:
    static std::string readLine(int fd) {
        std::string line;
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 5000) {
            pollfd ready{fd, POLLIN, 0};
            if (poll(&ready, 1, 100) <= 0) {
                continue;
            }
            char c = 0;
            const ssize_t got = read(fd, &c, 1);
            if (got <= 0 || c == '\n') {
                break;
            }
            line.push_back(c);
        }
        return line;
    }

    fs::path folder_;
    pid_t pid_ = -1;
    std::string address_;
};

class NotifierTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        bus_ = new PrivateBus();
        // Nothing in this process may reach a real desktop's bus; the tests after these find the
        // address they started with.
        savedAddress_ = qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS")
                            ? std::optional(qgetenv("DBUS_SESSION_BUS_ADDRESS"))
                            : std::nullopt;
        qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArray::fromStdString(bus_->address()));
    }

    static void TearDownTestSuite() {
        if (savedAddress_) {
            qputenv("DBUS_SESSION_BUS_ADDRESS", *savedAddress_);
        } else {
            qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        }
        delete bus_;
        bus_ = nullptr;
    }

    void SetUp() override {
        testApplication();
        const QString address = QString::fromStdString(bus_->address());
        const QString suffix = QString::number(++connections_);
        serverName_ = QStringLiteral("notification-server-") + suffix;
        clientName_ = QStringLiteral("notifier-") + suffix;
        QDBusConnection serverBus = QDBusConnection::connectToBus(address, serverName_);
        ASSERT_TRUE(serverBus.isConnected());
        ASSERT_TRUE(serverBus.registerObject(
            objectPath, &server_, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
        ASSERT_TRUE(serverBus.registerService(serviceName));
        ASSERT_TRUE(client().isConnected());
    }

    void TearDown() override {
        QDBusConnection::disconnectFromBus(serverName_);
        QDBusConnection::disconnectFromBus(clientName_);
    }

    QDBusConnection client() const {
        return QDBusConnection::connectToBus(QString::fromStdString(bus_->address()), clientName_);
    }

    QDBusConnection server() const { return QDBusConnection(serverName_); }

    static bool waitFor(const std::function<bool()>& done) {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
        return done();
    }

    // The server answers a client's calls in order, so once this answer is back every earlier
    // answer and signal has been handled.
    static void roundTrip(Notifier& notifier) {
        auto answered = std::make_shared<bool>(false);
        notifier.refreshPermission([answered](bool) { *answered = true; });
        ASSERT_TRUE(waitFor([answered] { return *answered; }));
    }

    // Asks, waits for the answer and checks that it came later, on the main thread.
    static std::optional<bool> permission(Notifier& notifier, bool request) {
        auto answer = std::make_shared<std::optional<bool>>();
        auto onMainThread = std::make_shared<bool>(false);
        auto completion = [answer, onMainThread](bool granted) {
            *answer = granted;
            *onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        };
        if (request) {
            notifier.requestPermission(completion);
        } else {
            notifier.refreshPermission(completion);
        }
        EXPECT_FALSE(answer->has_value()) << "answered before returning to the event loop";
        waitFor([answer] { return answer->has_value(); });
        EXPECT_TRUE(*onMainThread);
        return *answer;
    }

    bool waitForNotifications(std::size_t count) {
        return waitFor([&] { return server_.notified.size() >= count; });
    }

    static PrivateBus* bus_;
    static int connections_;
    static inline std::optional<QByteArray> savedAddress_;
    FakeNotificationServer server_;
    QString serverName_;
    QString clientName_;
};

PrivateBus* NotifierTest::bus_ = nullptr;
int NotifierTest::connections_ = 0;

TEST_F(NotifierTest, PostsUnderTheAppTitleAndReplacesBySameId) {
    Notifier notifier(AppIdentity(), client());
    notifier.send("rest-prompt", "Time to stretch.");
    ASSERT_TRUE(waitForNotifications(1));
    const FakeNotificationServer::Notification first = server_.notified[0];
    EXPECT_EQ(first.summary, "Halvrick");
    EXPECT_EQ(first.appName, "Halvrick");
    EXPECT_EQ(first.body, "Time to stretch.");
    EXPECT_EQ(first.replacesId, 0u);
    EXPECT_EQ(first.appIcon, "halvrick");
    EXPECT_EQ(first.actions, QStringList({"default", "Open"}));
    EXPECT_EQ(first.hints.value("desktop-entry").toString(), "halvrick");
    EXPECT_EQ(first.expireTimeout, -1);

    roundTrip(notifier);
    notifier.send("rest-prompt", "Still there?");
    notifier.send("challenge", "Day 3 of 7.");
    ASSERT_TRUE(waitForNotifications(3));
    EXPECT_EQ(server_.notified[1].replacesId, first.id);
    EXPECT_EQ(server_.notified[1].body, "Still there?");
    EXPECT_EQ(server_.notified[2].replacesId, 0u);
    EXPECT_NE(server_.notified[2].id, first.id);
    EXPECT_EQ(server_.capabilityRequests, 1);
}

TEST_F(NotifierTest, SendsBeforeTheServerAnsweredStillReplaceAndKeepOnlyTheNewest) {
    Notifier notifier(AppIdentity(), client());
    notifier.send("reminder-1", "one");
    notifier.send("reminder-1", "two");
    notifier.send("reminder-1", "three");
    ASSERT_TRUE(waitForNotifications(2));
    roundTrip(notifier);
    ASSERT_EQ(server_.notified.size(), 2u);
    EXPECT_EQ(server_.notified[0].body, "one");
    EXPECT_EQ(server_.notified[1].body, "three");
    EXPECT_EQ(server_.notified[1].replacesId, server_.notified[0].id);
    EXPECT_EQ(server_.capabilityRequests, 1);
}

TEST_F(NotifierTest, RemovalClosesTheNotificationOnceItsNumberIsKnown) {
    Notifier notifier(AppIdentity(), client());
    // Removed before the server has answered: the close follows the answer.
    notifier.send("evening-check", "Day's done.");
    notifier.remove("evening-check");
    // Removed after the answer.
    notifier.send("challenge", "Day 3 of 7.");
    ASSERT_TRUE(waitForNotifications(2));
    roundTrip(notifier);
    notifier.remove("challenge");
    ASSERT_TRUE(waitFor([&] { return server_.closed.size() == 2; }));
    EXPECT_EQ(server_.closed[0], server_.notified[0].id);
    EXPECT_EQ(server_.closed[1], server_.notified[1].id);

    // Forgotten once removed: unknown ids close nothing, and a new post starts afresh.
    notifier.remove("challenge");
    notifier.remove("never-sent");
    notifier.send("challenge", "Day 4 of 7.");
    ASSERT_TRUE(waitForNotifications(3));
    roundTrip(notifier);
    EXPECT_EQ(server_.closed.size(), 2u);
    EXPECT_EQ(server_.notified[2].replacesId, 0u);
}

TEST_F(NotifierTest, TapOnOwnNotificationOpensOnceOnTheMainThread) {
    Notifier notifier(AppIdentity(), client());
    int opened = 0;
    bool onMainThread = false;
    notifier.onOpen = [&] {
        ++opened;
        onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    };
    notifier.send("rest-prompt", "Time to stretch.");
    ASSERT_TRUE(waitForNotifications(1));
    roundTrip(notifier);

    // Every client hears every tap; someone else's comes first and must be ignored.
    emit server_.ActionInvoked(server_.notified[0].id + 100, QStringLiteral("default"));
    emit server_.ActionInvoked(server_.notified[0].id, QStringLiteral("default"));
    ASSERT_TRUE(waitFor([&] { return opened > 0; }));
    roundTrip(notifier);
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(onMainThread);
}

TEST_F(NotifierTest, ClosedByTheServerIsForgotten) {
    Notifier notifier(AppIdentity(), client());
    int opened = 0;
    notifier.onOpen = [&] { ++opened; };
    notifier.send("rest-prompt", "Time to stretch.");
    ASSERT_TRUE(waitForNotifications(1));
    roundTrip(notifier);
    const uint id = server_.notified[0].id;

    // Dismissed by the user.
    emit server_.NotificationClosed(id, 2);
    roundTrip(notifier);
    emit server_.ActionInvoked(id, QStringLiteral("default"));
    notifier.remove("rest-prompt");
    notifier.send("rest-prompt", "Time to stretch, again.");
    ASSERT_TRUE(waitForNotifications(2));
    roundTrip(notifier);
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(server_.closed.empty());
    EXPECT_EQ(server_.notified[1].replacesId, 0u);
}

TEST_F(NotifierTest, BodyIsEscapedUnlessTheServerReadsNoMarkup) {
    const std::string body = "Tea <b>now</b> & \"later\"";
    const QString escaped = QStringLiteral("Tea &lt;b&gt;now&lt;/b&gt; &amp; &quot;later&quot;");
    struct Case {
        const char* what;
        bool serverReadsMarkup;
        bool capabilitiesKnown;
        QString expected;
    };
    const std::vector<Case> cases{
        {"reads markup", true, true, escaped},
        {"reads no markup", false, true, QString::fromStdString(body)},
        {"not known yet", false, false, escaped},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        server_.notified.clear();
        server_.capabilities = c.serverReadsMarkup ? QStringList{"actions", "body", "body-markup"}
                                                   : QStringList{"actions", "body"};
        Notifier notifier(AppIdentity(), client());
        if (c.capabilitiesKnown) {
            roundTrip(notifier);
        }
        notifier.send("reminder-1", body);
        ASSERT_TRUE(waitForNotifications(1));
        EXPECT_EQ(server_.notified[0].body, c.expected);
    }
}

TEST_F(NotifierTest, UserTextIsNeutralisedAsInTheAppsOwnWindowsAndCapped) {
    std::string endless;
    for (int i = 0; i < 100000; ++i) {
        endless += "drink ";
    }
    struct Case {
        const char* what;
        std::string body;
        // As a server that reads no markup gets it; a server that does gets it escaped.
        QString plain;
    };
    const std::vector<Case> cases{
        {"bidi override", "\u202Eevil\u202C", QStringLiteral("evil")},
        {"embedded NUL", std::string("before\0after", 12), QStringLiteral("before\uFFFDafter")},
        {"bold markup", "<b>x</b>", QStringLiteral("<b>x</b>")},
        {"link markup", "<a href=\"https://x.test\">x</a>",
         QStringLiteral("<a href=\"https://x.test\">x</a>")},
        {"newline", "two\nlines", QStringLiteral("two\uFFFDlines")},
        {"line separator", "a\u2028b", QStringLiteral("a\uFFFDb")},
        {"zero-width space and an emoji joiner", "pay\u200Bpal \U0001F469\u200D\U0001F467",
         QStringLiteral("paypal \U0001F469\u200D\U0001F467")},
        {"invalid UTF-8", std::string("\xFF") + "bad", QStringLiteral("\uFFFDbad")},
        // Cut to 500 characters with the 28 of the prefix.
        {"a hundred thousand characters", endless, QString::fromStdString(endless.substr(0, 471)) + "…"},
    };
    for (const bool readsMarkup : {false, true}) {
        server_.capabilities =
            readsMarkup ? QStringList{"actions", "body", "body-markup"} : QStringList{"actions", "body"};
        Notifier notifier(AppIdentity(), client());
        roundTrip(notifier);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (readsMarkup ? ", markup" : ", no markup"));
            server_.notified.clear();
            notifier.send(std::string("reminder-") + c.what, "You asked me to remind you: " + c.body);
            ASSERT_TRUE(waitForNotifications(1));
            const QString shown = QStringLiteral("You asked me to remind you: ") + c.plain;
            EXPECT_EQ(server_.notified[0].body.toStdString(),
                      (readsMarkup ? shown.toHtmlEscaped() : shown).toStdString());
            EXPECT_EQ(server_.notified[0].summary, "Halvrick");
        }
    }
}

TEST_F(NotifierTest, PermissionMeansAServerAnswers) {
    Notifier notifier(AppIdentity(), client());
    EXPECT_EQ(permission(notifier, true), true);
    EXPECT_EQ(permission(notifier, false), true);

    server().unregisterService(serviceName);
    EXPECT_EQ(permission(notifier, true), false);
    EXPECT_EQ(permission(notifier, false), false);
}

TEST_F(NotifierTest, WithoutASessionBusNothingIsShownAndPermissionIsRefused) {
    const QString name = QStringLiteral("no-bus");
    {
        const QDBusConnection noBus =
            QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"), name);
        ASSERT_FALSE(noBus.isConnected());
        Notifier notifier(AppIdentity(), noBus);
        notifier.send("rest-prompt", "Time to stretch.");
        notifier.remove("rest-prompt");
        EXPECT_EQ(permission(notifier, true), false);
        EXPECT_EQ(permission(notifier, false), false);
    }
    QDBusConnection::disconnectFromBus(name);
}

TEST_F(NotifierTest, WithoutAnIdentifierNothingIsShownOrAsked) {
    Notifier notifier(AppIdentity::withoutIdentifier(), client());
    notifier.send("rest-prompt", "Time to stretch.");
    notifier.remove("rest-prompt");
    EXPECT_EQ(permission(notifier, true), false);
    EXPECT_EQ(permission(notifier, false), false);

    // The same connection, so anything the first notifier sent would have arrived first.
    Notifier witness(AppIdentity(), client());
    witness.send("challenge", "Day 3 of 7.");
    ASSERT_TRUE(waitForNotifications(1));
    roundTrip(witness);
    ASSERT_EQ(server_.notified.size(), 1u);
    EXPECT_EQ(server_.notified[0].body, "Day 3 of 7.");
    EXPECT_EQ(server_.informationRequests, 1);
    EXPECT_EQ(server_.capabilityRequests, 1);
}

} // namespace
} // namespace halvrick

#include "NotifierTest.moc"
