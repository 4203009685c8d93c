#include "AppModelFakes.h"

#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <atomic>
#include <future>
#include <gmock/gmock.h>
#include <thread>

namespace halvrick {
namespace {

using fakes::ModelTest;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::Pair;

// The sizer blocks until the test lets it finish, and tells on which thread it ran.
class AppModelFoldersTest : public ModelTest {
protected:
    AppModelFoldersTest() {
        world.measureFolders = [this] {
            ++calls;
            ranOn = std::this_thread::get_id();
            gate.wait();
            return result;
        };
        world.dataFolder = folder.path();
        make();
    }

    ~AppModelFoldersTest() override { release(); }

    void release() {
        if (!released) {
            released = true;
            open.set_value();
        }
    }

    // Lets the running walk finish and delivers its result.
    void finish() {
        release();
        QDeadlineTimer deadline(5000);
        while (model && model->isMeasuringFolders() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        ASSERT_FALSE(model->isMeasuringFolders());
        open = std::promise<void>();
        gate = open.get_future().share();
        released = false;
    }

    QTemporaryDir folder;
    FolderSizer::Result result{{{"downloads", 3'000'000'000}, {"documents", 1'000'000'000}}, {"desktop"}};
    std::promise<void> open;
    std::shared_future<void> gate = open.get_future().share();
    bool released = false;
    std::atomic<int> calls = 0;
    std::thread::id ranOn;
};

TEST_F(AppModelFoldersTest, MeasuredOnTheWorkerOnceAtATimeAndBookedOnTheMainThread) {
    // A fresh installation: opening the popover never measures.
    model->popoverWillOpen(false);
    EXPECT_FALSE(model->isMeasuringFolders());
    EXPECT_FALSE(model->hasMeasuredFoldersToday());

    model->measureFoldersIfNeeded(world.now, false, false);
    EXPECT_TRUE(model->isMeasuringFolders());
    model->measureFoldersIfNeeded(world.now, true, false);
    finish();

    EXPECT_EQ(calls, 1);
    EXPECT_NE(ranOn, std::this_thread::get_id());
    EXPECT_THAT(model->folderSizesToday(),
                ElementsAre(Pair("documents", 1'000'000'000), Pair("downloads", 3'000'000'000)));
    EXPECT_TRUE(model->hasMeasuredFoldersToday());
    EXPECT_THAT(model->folderDenied(), ElementsAre("desktop"));
    EXPECT_TRUE(model->folderAccessDenied());
    EXPECT_FALSE(model->vitals().isDirty());
    EXPECT_TRUE(QFile::exists(folder.filePath("vitals.json")));
    EXPECT_THAT(model->folderComparisons(), IsEmpty());
    // Nothing earlier to compare with.
    EXPECT_FALSE(model->storageMovedElsewhere());
}

TEST_F(AppModelFoldersTest, ThePopoverMeasuresAgainOnlySixHoursLaterAndTheButtonAlways) {
    model->measureFoldersIfNeeded(world.now, false, false);
    finish();

    world.advance(5 * 3600);
    model->popoverWillOpen(false);
    EXPECT_FALSE(model->isMeasuringFolders());
    model->measureFoldersIfNeeded(world.now, true, false);
    EXPECT_TRUE(model->isMeasuringFolders());
    finish();
    EXPECT_EQ(calls, 2);

    world.advance(7 * 3600);
    result = {{{"downloads", 4'000'000'000}}, {}};
    model->popoverWillOpen(false);
    EXPECT_TRUE(model->isMeasuringFolders());
    finish();
    EXPECT_EQ(calls, 3);
    EXPECT_FALSE(model->folderAccessDenied());
    EXPECT_THAT(model->folderDenied(), IsEmpty());

    // The next day against this one: Downloads grew by a gigabyte.
    world.advance(24 * 3600);
    result = {{{"downloads", 5'000'000'000}}, {}};
    model->measureFoldersIfNeeded(world.now, true, false);
    finish();
    ASSERT_EQ(model->folderGrowth().size(), 1u);
    EXPECT_EQ(model->folderGrowth().front().id, "downloads");
}

TEST_F(AppModelFoldersTest, AModelGoneBeforeTheWalkEndsBooksNothing) {
    model->measureFoldersIfNeeded(world.now, false, false);
    release();
    model.reset();
    QCoreApplication::processEvents();
    EXPECT_LE(calls, 1);
}

} // namespace
} // namespace halvrick

namespace halvrick {
namespace {

class AppModelVitalsComparisonTest : public fakes::ModelTest {
protected:
    AppModelVitalsComparisonTest() { make(); }

    void snapshot(Date at, std::uint64_t storageFree) {
        model->vitals().ledger().snapshots.push_back(
            VitalsSnapshot(at, 4ULL << 30, 0, MemoryPressure::normal, storageFree));
    }

    void machine(std::uint64_t storageFree) {
        model->ingestVitals(
            MachineVitals(world.now, 8ULL << 30, 4ULL << 30, 1ULL << 30, 0, MemoryPressure::normal,
                          500'000'000'000, storageFree));
    }

    std::vector<std::string> ids() const {
        std::vector<std::string> result;
        for (const VitalsComparison& row : model->vitalsComparisons(world.now)) {
            result.push_back(row.id);
        }
        return result;
    }

    static constexpr std::uint64_t free = 100'000'000'000;
};

TEST_F(AppModelVitalsComparisonTest, RowsNeedAMachineAndASnapshotOldEnough) {
    snapshot(world.now - 86400 + 1000, free);
    snapshot(world.now - 299, free);
    EXPECT_THAT(ids(), testing::IsEmpty());
    machine(free);
    EXPECT_THAT(ids(), testing::ElementsAre("yesterday"));
    world.advance(2);
    EXPECT_THAT(ids(), testing::ElementsAre("morning", "yesterday"));
}

TEST_F(AppModelVitalsComparisonTest, StorageMovedElsewhereFromAQuarterGigabyteWhileTheFoldersStayed) {
    const std::vector<std::pair<std::uint64_t, bool>> cases{
        {250'000'000, true}, {249'999'999, false}, {0, false}};
    for (const auto& [drop, moved] : cases) {
        make();
        VitalsLedger& ledger = model->vitals().ledger();
        const Date yesterday = world.now - 86400;
        ledger.recordFolderSizes({{"downloads", 1'000'000'000}}, yesterday, world.calendar);
        ledger.recordFolderSizes({{"downloads", 1'000'000'000}}, world.now, world.calendar);
        snapshot(yesterday, free);
        model->refreshFolders(world.now);
        machine(free - drop);
        EXPECT_EQ(model->storageMovedElsewhere(), moved) << drop;
    }
}

} // namespace
} // namespace halvrick
