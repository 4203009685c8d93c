#include "app/SaveAtExit.h"

#include "../model/StoreTestSupport.h"
#include "model/StatsStore.h"

#include <QTemporaryDir>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <thread>
#include <unistd.h>

namespace halvrick {
namespace {

using namespace testing_support;

double activeSecondsOnDisk(const QString& folder, const FakeClocks& c) {
    const QByteArray bytes = readBytes(folder + "/stats.json");
    const auto ledger = StatsLedger::fromJson(
        json::parse(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
    const auto day = ledger.days.find(StatsLedger::dayKey(c.now, c.calendar));
    return day == ledger.days.end() ? 0 : day->second.activeSeconds;
}

struct EndCase {
    const char* name;
    // How the child ends, given its store; it calls exit() with 3.
    std::function<void(std::unique_ptr<StatsStore>& store)> end;
    double savedSeconds;
};

void PrintTo(const EndCase& c, std::ostream* os) { *os << c.name; }

class SaveAtExitTest : public ::testing::TestWithParam<EndCase> {};

// The child ends through exit(), which runs what earlier tests of this program left to run at exit: a
// fork of the runner would wait there for threads it does not have (Qt's bus thread). So the child is
// this program started afresh on this test alone, and learns the folder from the environment.
constexpr const char* folderVariable = "HALVRICK_SAVE_AT_EXIT_FOLDER";

// In the child: a store saved once, then 42 s booked that only a save at exit can bring to disk.
TEST_P(SaveAtExitTest, SavesOnExitOnlyWhileAliveAndOnItsOwnThread) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::optional<QTemporaryDir> tmp;
    if (!qEnvironmentVariableIsSet(folderVariable)) {
        tmp.emplace();
    }
    const QString folder = tmp ? tmp->path() : qEnvironmentVariable(folderVariable);
    const ScopedEnvironment handedOver{{folderVariable, folder.toUtf8()}};
    EXPECT_EXIT(
        {
            alarm(10);
            FakeClocks c;
            auto store = std::make_unique<StatsStore>(400, c.clocks(), folder);
            store->save();
            store->ledger().addActive(42, c.now, c.calendar);
            store->setDirty(true);
            GetParam().end(store);
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EQ(activeSecondsOnDisk(folder, FakeClocks()), GetParam().savedSeconds);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, SaveAtExitTest,
    ::testing::Values(
        // Qt and Xlib end the process with exit() when the X server goes away: the ledger is saved on
        // that road.
        EndCase{"TheXServerGoingAwayEndsThroughExit",
                [](std::unique_ptr<StatsStore>& store) {
                    const SaveAtExit saver([&store] { store->save(); });
                    std::exit(3);
                },
                42},
        // After a normal end the stores are gone: a later exit() must not reach them.
        EndCase{"AnExitAfterTheSaverIsGone",
                [](std::unique_ptr<StatsStore>& store) {
                    auto saver = std::make_unique<SaveAtExit>([&store] { store->save(); });
                    saver.reset();
                    store.reset();
                    std::exit(3);
                },
                0},
        // The stores belong to the main thread: an exit() on another thread leaves them alone.
        EndCase{"AnExitOnAnotherThread",
                [](std::unique_ptr<StatsStore>& store) {
                    const SaveAtExit saver([&store] { store->save(); });
                    std::thread([] { std::exit(3); }).join();
                },
                0}),
    [](const ::testing::TestParamInfo<EndCase>& info) { return info.param.name; });

} // namespace
} // namespace halvrick
