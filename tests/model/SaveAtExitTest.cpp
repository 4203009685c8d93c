#include "model/SaveAtExit.h"

#include "StoreTestSupport.h"
#include "model/StatsStore.h"

#include <QTemporaryDir>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

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

// In a child: a store saved once, then 42 s booked that only a save at exit can bring to disk.
TEST_P(SaveAtExitTest, SavesOnExitOnlyWhileAliveAndOnItsOwnThread) {
    QTemporaryDir tmp;
    const int status = inChildWithin(10, [&] {
        FakeClocks c;
        auto store = std::make_unique<StatsStore>(400, c.clocks(), tmp.path());
        store->save();
        store->ledger().addActive(42, c.now, c.calendar);
        store->setDirty(true);
        GetParam().end(store);
        return 0;
    });
    EXPECT_EQ(status, 3);
    EXPECT_EQ(activeSecondsOnDisk(tmp.path(), FakeClocks()), GetParam().savedSeconds);
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
