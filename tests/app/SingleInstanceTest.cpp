#include "app/SingleInstance.h"

#include "../model/StoreTestSupport.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace halvrick {
namespace {

using Outcome = SingleInstance::Outcome;

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QTemporaryDir folder;
    QString path = folder.filePath("halvrick.lock");
};

TEST_F(SingleInstanceTest, ASecondHolderInTheSameProcessFails) {
    auto first = std::make_unique<SingleInstance>(path);
    SingleInstance second(path);
    EXPECT_EQ(first->tryLock(), Outcome::acquired);
    EXPECT_TRUE(first->isLocked());
    EXPECT_EQ(second.tryLock(), Outcome::heldByAnother);
    EXPECT_FALSE(second.isLocked());
    EXPECT_EQ(first->tryLock(), Outcome::acquired) << "locking again while held";
    first.reset();
    EXPECT_EQ(second.tryLock(), Outcome::acquired);
}

// A child process takes the lock and holds it until told to end; it then dies without unlocking, as a
// crashed instance would.
TEST_F(SingleInstanceTest, AnotherProcessHoldsItUntilItDiesAndItsLockIsThenTakenOver) {
    int ready[2];
    int release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        close(release[1]);
        SingleInstance holder(path);
        const char ack = holder.tryLock() == Outcome::acquired ? 'A' : 'F';
        if (write(ready[1], &ack, 1) != 1) {
            _exit(2);
        }
        char end = 0;
        [[maybe_unused]] const ssize_t got = read(release[0], &end, 1);
        _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    char ack = 0;
    ASSERT_EQ(read(ready[0], &ack, 1), 1);
    close(ready[0]);
    ASSERT_EQ(ack, 'A');

    SingleInstance mine(path);
    EXPECT_EQ(mine.tryLock(), Outcome::heldByAnother);
    // A holder running for hours keeps its lock: age alone never makes it stale.
    QFile lockFile(path);
    ASSERT_TRUE(lockFile.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-7200), QFileDevice::FileModificationTime));
    lockFile.close();
    EXPECT_EQ(mine.tryLock(), Outcome::heldByAnother);

    close(release[1]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(QFile::exists(path)) << "the dead holder left its lock behind";
    EXPECT_EQ(mine.tryLock(), Outcome::acquired);
}

TEST_F(SingleInstanceTest, AFolderThatCannotHoldALockIsUnavailableNotTaken) {
    SingleInstance instance(folder.filePath("missing/halvrick.lock"));
    EXPECT_EQ(instance.tryLock(), Outcome::unavailable);
    EXPECT_FALSE(instance.isLocked());
}

// Two logins of one home can have two runtime folders; they still share the ledgers, so they must share
// the lock.
TEST_F(SingleInstanceTest, TheDefaultLockLivesBesideTheLedgersNotInTheRuntimeFolder) {
    const QString home = folder.filePath("home");
    std::optional<QString> first;
    std::optional<QString> second;
    {
        const testing_support::ScopedEnvironment env{
            {"HOME", home.toUtf8()}, {"XDG_DATA_HOME", std::nullopt}, {"XDG_RUNTIME_DIR", folder.filePath("run-1").toUtf8()}};
        first = SingleInstance::defaultLockPath();
    }
    {
        const testing_support::ScopedEnvironment env{
            {"HOME", home.toUtf8()}, {"XDG_DATA_HOME", std::nullopt}, {"XDG_RUNTIME_DIR", folder.filePath("run-2").toUtf8()}};
        second = SingleInstance::defaultLockPath();
    }
    ASSERT_TRUE(first && second);
    EXPECT_EQ(*first, home + "/.local/share/Halvrick/halvrick.lock");
    EXPECT_EQ(*second, *first);

    SingleInstance running(*first);
    SingleInstance another(*second);
    EXPECT_EQ(running.tryLock(), Outcome::acquired) << "the folder is made for the lock";
    EXPECT_EQ(another.tryLock(), Outcome::heldByAnother);
}

} // namespace
} // namespace halvrick
