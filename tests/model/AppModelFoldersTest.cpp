#include "AppModelFakes.h"

#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <future>
#include <gmock/gmock.h>
#include <mutex>
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
            {
                std::lock_guard lock(startedMutex);
                ++calls;
                ranOn = std::this_thread::get_id();
            }
            startedChanged.notify_all();
            gate.wait();
            return result;
        };
        world.dataFolder = folder.path();
        make();
    }

    // The model goes first, while the walk it may still be running can read the gate and the result.
    ~AppModelFoldersTest() override {
        release();
        model.reset();
    }

    void release() {
        if (!released) {
            released = true;
            open.set_value();
        }
    }

    // True once the sizer has been entered `count` times, within 5 s.
    bool walkStarted(int count) {
        std::unique_lock lock(startedMutex);
        return startedChanged.wait_for(lock, std::chrono::seconds(5), [&] { return calls >= count; });
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
    FolderSizer::Result result{
        {{"downloads", 3'000'000'000}, {"documents", 1'000'000'000}}, {"desktop"}, {"documents"}};
    std::promise<void> open;
    std::shared_future<void> gate = open.get_future().share();
    bool released = false;
    std::mutex startedMutex;
    std::condition_variable startedChanged;
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
    EXPECT_THAT(model->folderPartlyMeasured(), ElementsAre("documents"));
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
    result = {{{"downloads", 4'000'000'000}}, {}, {}};
    model->popoverWillOpen(false);
    EXPECT_TRUE(model->isMeasuringFolders());
    finish();
    EXPECT_EQ(calls, 3);
    EXPECT_FALSE(model->folderAccessDenied());
    EXPECT_THAT(model->folderDenied(), IsEmpty());
    EXPECT_THAT(model->folderPartlyMeasured(), IsEmpty());

    // The next day against this one: Downloads grew by a gigabyte.
    world.advance(24 * 3600);
    result = {{{"downloads", 5'000'000'000}}, {}, {}};
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

TEST_F(AppModelFoldersTest, DestroyingTheModelStopsTheWalkItRunsAndTakesNoResult) {
    model.reset();
    std::promise<void> started;
    std::atomic<bool> sawStop = false;
    AppServices services = world.services();
    // Ends only when asked to stop, or ten seconds later for a model that never asks.
    services.measureFolders = [&](std::stop_token stop) {
        started.set_value();
        std::mutex mutex;
        std::condition_variable_any never;
        std::unique_lock lock(mutex);
        never.wait_for(lock, stop, std::chrono::seconds(10), [] { return false; });
        sawStop = stop.stop_requested();
        return result;
    };
    model = std::make_unique<AppModel>(Config::defaults(), *settings, notifier, std::move(services));
    model->measureFoldersIfNeeded(world.now, true, false);
    ASSERT_EQ(started.get_future().wait_for(std::chrono::seconds(5)), std::future_status::ready);

    model.reset();
    EXPECT_TRUE(sawStop);
    QCoreApplication::processEvents();
    EXPECT_FALSE(QFile::exists(folder.filePath("vitals.json")));
}

// One process that keeps a whole core busy, read on the worker thread at the world's monotonic time.
class HogReader : public ProcessReader {
public:
    explicit HogReader(const fakes::FakeWorld& world) : world_(world) {}
    std::optional<ProcessStat> readStat(std::int32_t pid) override {
        if (pid != hogPID) {
            return ProcessStat{1, 1, 0, 2};
        }
        const auto ticks = static_cast<std::uint64_t>(std::llround(world_.monotonicSeconds() * 100));
        return ProcessStat{ticks, 1, 0, 2};
    }
    std::optional<std::uint64_t> readFootprint(std::int32_t) override { return 0; }
    std::optional<std::string> readPath(std::int32_t pid) override {
        return pid == hogPID ? "/usr/bin/hog" : "/opt/halvrick/halvrick";
    }
    std::optional<std::string> readName(std::int32_t pid) override {
        return pid == hogPID ? "hog" : "halvrick";
    }
    std::string readCgroup(std::int32_t) override { return {}; }
    double ticksPerSecond() const override { return 100; }

    static constexpr std::int32_t hogPID = 20;

private:
    const fakes::FakeWorld& world_;
};

class HogLister : public ProcessLister {
public:
    std::vector<std::int32_t> allPIDs() override { return {fakes::FakeLister::ownPID, HogReader::hogPID}; }
};

// The process sweeps run on the model's worker thread, as they do in the app.
class AppModelFolderWalkTest : public AppModelFoldersTest {
protected:
    AppModelFolderWalkTest() {
        model.reset();
        AppServices services = world.services();
        ProcessSampler::Sources sources;
        sources.tickReader = std::make_unique<fakes::FakeTicks>();
        sources.processLister = std::make_unique<HogLister>();
        sources.processReader = std::make_unique<HogReader>(world);
        auto timer = std::make_unique<fakes::ManualTimer>();
        world.processTimer = timer.get();
        sources.timer = std::move(timer);
        sources.wallClock = [this] { return world.now; };
        sources.monotonicClock = [this] { return world.monotonicSeconds(); };
        sources.applications = [index = std::make_shared<const ApplicationIndex>()] { return index; };
        sources.coreCount = world.coreCount;
        sources.ownPID = fakes::FakeLister::ownPID;
        sources.executor = ProcessSampler::on(*services.worker);
        services.processSampler = std::make_unique<ProcessSampler>(std::move(sources));
        world.processSampler = services.processSampler.get();
        model = std::make_unique<AppModel>(Config::defaults(), *settings, notifier, std::move(services));
        model->start();
        // The first sweep only sets the baseline.
        EXPECT_TRUE(sweepDone());
    }

    // Runs the main thread's events until the sweep in flight has been delivered, for at most 5 s.
    bool sweepDone() {
        QDeadlineTimer deadline(5000);
        while (world.processSampler->isSweeping() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return !world.processSampler->isSweeping();
    }

    // One sweep, `seconds` after the previous one.
    bool sweep(double seconds = 2) {
        world.advance(seconds);
        world.processTimer->fire();
        return sweepDone();
    }

    double hogSecondsToday() {
        const auto& days = model->stats().ledger().days;
        const auto day = days.find(StatsLedger::dayKey(world.now, world.calendar));
        if (day == days.end() || !day->second.apps.contains("hog")) {
            return 0;
        }
        return day->second.apps.at("hog").cpuSeconds;
    }
};

TEST_F(AppModelFolderWalkTest, SweepsKeepTheirCadenceAndBookTheirTimeWhileAWalkRuns) {
    model->measureFoldersIfNeeded(world.now, true, false);
    ASSERT_TRUE(model->isMeasuringFolders());
    // The walk is under way on its worker before the first sweep is due.
    ASSERT_TRUE(walkStarted(1));
    // Well past the three intervals after which a late sweep only re-baselines.
    for (int held = 1; held <= 5; ++held) {
        ASSERT_TRUE(sweep()) << "sweep " << held << " waited for the walk";
        EXPECT_DOUBLE_EQ(hogSecondsToday(), 2.0 * held);
        EXPECT_TRUE(model->isMeasuringFolders());
    }
    EXPECT_EQ(calls, 1);

    finish();
    EXPECT_THAT(model->folderSizesToday(),
                ElementsAre(Pair("documents", 1'000'000'000), Pair("downloads", 3'000'000'000)));
    ASSERT_TRUE(sweep());
    EXPECT_DOUBLE_EQ(hogSecondsToday(), 12.0);
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
