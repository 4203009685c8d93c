#include "app/ActivationService.h"

#include "../model/AppModelFakes.h"
#include "ProgramRun.h"
#include "app/SingleInstance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace halvrick {
namespace {

using testing_support::ProgramRun;
using testing_support::runProgram;
using testing_support::throwawayEnvironment;

const QString askedLine = QString::fromLatin1(ActivationService::askedLine) + '\n';
const QString alreadyRunningLine = QString::fromLatin1(ActivationService::alreadyRunningLine) + '\n';

// A session bus of the test's own: a dbus-daemon child that says where it listens.
class PrivateBus {
public:
    PrivateBus() {
        daemon_.setStandardErrorFile(QProcess::nullDevice());
        daemon_.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                      QStringLiteral("--print-address")});
        if (!daemon_.waitForStarted(10'000)) {
            return;
        }
        const QDeadlineTimer deadline(30'000);
        QByteArray output;
        while (!output.contains('\n') && daemon_.state() == QProcess::Running && !deadline.hasExpired()) {
            daemon_.waitForReadyRead(100);
            output += daemon_.readAllStandardOutput();
        }
        address_ = QString::fromUtf8(output.trimmed());
    }
    ~PrivateBus() { endProcess(daemon_); }

    // Empty when the daemon did not start.
    const QString& address() const { return address_; }

    QDBusConnection connect(const QString& name) const {
        return QDBusConnection::connectToBus(address_, name);
    }

private:
    static void endProcess(QProcess& process) {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(5000)) {
                process.kill();
                process.waitForFinished(5000);
            }
        }
    }

    QProcess daemon_;
    QString address_;
};

// Handles events until `done` holds, for up to a minute; the loaded machine of a full test run is slow.
template <typename Condition> bool eventually(Condition done) {
    const QDeadlineTimer deadline(60'000);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

class ActivationServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakes::testApplication();
        ASSERT_TRUE(home.isValid() && runtime.isValid());
        ASSERT_TRUE(
            QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
        connection = std::make_unique<QDBusConnection>(bus.connect(QStringLiteral("activation-test")));
        ASSERT_TRUE(connection->isConnected());
    }

    void TearDown() override {
        connection.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("activation-test"));
    }

    QProcessEnvironment environment(const std::optional<QString>& busAddress) const {
        QProcessEnvironment env = throwawayEnvironment(home.path(), runtime.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                   busAddress.value_or(QStringLiteral("unix:path=") + runtime.filePath("no-bus")));
        return env;
    }

    bool nameOnBus() const {
        return connection->interface()->isServiceRegistered(
            QString::fromLatin1(ActivationService::serviceName));
    }

    // This process stands in for a running copy: it holds the lock where the program looks for it.
    std::unique_ptr<SingleInstance> holdTheLock() {
        const QString folder = home.filePath(".local/share/Halvrick");
        EXPECT_TRUE(QDir().mkpath(folder));
        auto lock = std::make_unique<SingleInstance>(folder + "/halvrick.lock");
        EXPECT_EQ(lock->tryLock(), SingleInstance::Outcome::acquired);
        return lock;
    }

    QTemporaryDir home;
    QTemporaryDir runtime;
    PrivateBus bus;
    std::unique_ptr<QDBusConnection> connection;
};

TEST_F(ActivationServiceTest, ALaterStartAsksTheRunningCopyToShowItselfSaysSoAndLeaves) {
    const auto lock = holdTheLock();
    ActivationService service(*connection);
    int activations = 0;
    service.setOnActivate([&activations] { ++activations; });
    ASSERT_TRUE(eventually([this] { return nameOnBus(); }));

    const ProgramRun run = runProgram({}, environment(bus.address()), home.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, askedLine);
    EXPECT_EQ(activations, 1);
}

// No bus, or a running copy that is not on this one (another login's): the start cannot ask, says that
// Halvrick runs already and leaves all the same.
TEST_F(ActivationServiceTest, ALaterStartThatCannotAskSaysHalvrickIsAlreadyRunning) {
    const auto lock = holdTheLock();
    for (const std::optional<QString>& address : {std::optional<QString>(), std::optional(bus.address())}) {
        const ProgramRun run = runProgram({}, environment(address), home.path());
        EXPECT_EQ(run.exitCode, 0) << address.value_or("no bus").toStdString();
        EXPECT_EQ(run.output, alreadyRunningLine) << address.value_or("no bus").toStdString();
    }
}

// The name is taken before the interface is built, so a start right behind the first one may ask before
// there is anything to show: the request waits for it.
TEST_F(ActivationServiceTest, AnActivationBeforeTheHandlerIsSetIsHandedOverOnce) {
    ActivationService service(*connection);
    ASSERT_TRUE(eventually([this] { return nameOnBus(); }));
    {
        QDBusConnection caller = bus.connect(QStringLiteral("activation-caller"));
        const QDBusMessage call = QDBusMessage::createMethodCall(
            QString::fromLatin1(ActivationService::serviceName),
            QString::fromLatin1(ActivationService::objectPath),
            QString::fromLatin1(ActivationService::interfaceName), QStringLiteral("Activate"));
        QDBusPendingCall pending = caller.asyncCall(call);
        ASSERT_TRUE(eventually([&pending] { return pending.isFinished(); }));
        EXPECT_FALSE(pending.isError()) << pending.error().message().toStdString();
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("activation-caller"));
    int first = 0;
    service.setOnActivate([&first] { ++first; });
    EXPECT_EQ(first, 1);
    int second = 0;
    service.setOnActivate([&second] { ++second; });
    EXPECT_EQ(second, 0) << "an activation is handed over once";
}

// Two copies of the real program on one bus: the second finds the first holding the lock and its name on
// the bus, asks it and leaves; the first goes on running and quits cleanly later.
TEST_F(ActivationServiceTest, TheSecondOfTwoRealStartsHandsOverToTheFirst) {
    QProcess first;
    first.setProcessEnvironment(environment(bus.address()));
    first.setWorkingDirectory(home.path());
    first.start(QStringLiteral(HALVRICK_PROGRAM), {});
    ASSERT_TRUE(first.waitForStarted(30'000));
    ASSERT_TRUE(eventually([&] { return nameOnBus() || first.state() == QProcess::NotRunning; }));
    ASSERT_EQ(first.state(), QProcess::Running) << first.readAllStandardError().toStdString();

    const ProgramRun second = runProgram({}, environment(bus.address()), home.path());
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(second.output, askedLine);
    EXPECT_EQ(first.state(), QProcess::Running);

    first.terminate();
    ASSERT_TRUE(first.waitForFinished(60'000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_TRUE(eventually([this] { return !nameOnBus(); })) << "the name goes with the copy that held it";
}

} // namespace
} // namespace halvrick
