#include "sampling/MachineSampler.h"

#include "SamplingFakes.h"

#include <gtest/gtest.h>
#include <vector>

namespace halvrick {
namespace {

using std::chrono::seconds;
using Clock = std::chrono::steady_clock;

class MachineSamplerTest : public ::testing::Test {
protected:
    MachineSamplerTest() {
        auto r = std::make_unique<fakes::FakeReadings>();
        auto t = std::make_unique<fakes::ManualTimer>();
        readings = r.get();
        timer = t.get();
        sampler = std::make_unique<MachineSampler>(
            std::move(r), std::move(t), [this] { return wall; }, [this] { return monotonic; });
        sampler->onSample = [this](const MachineVitals& v) { samples.push_back(v); };
        sampler->onHealth = [this](bool ok) { health.push_back(ok); };
    }

    // One timer tick `after` seconds later on both clocks.
    void tick(double after) {
        wall += after;
        monotonic += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(after));
        timer->fire();
    }

    fakes::FakeReadings* readings = nullptr;
    fakes::ManualTimer* timer = nullptr;
    Date wall = Date::sinceReference(786'000'000);
    Clock::time_point monotonic = Clock::time_point(seconds(1000));
    std::unique_ptr<MachineSampler> sampler;
    std::vector<MachineVitals> samples;
    std::vector<bool> health;
};

TEST_F(MachineSamplerTest, StartSamplesAtOnceThenOnTheTimer) {
    sampler->start(5);
    ASSERT_EQ(samples.size(), 1u);
    EXPECT_EQ(samples[0],
              MachineVitals(wall, 16'000, 4'000, 2'000, 300, MemoryPressure::normal, 1'000'000, 250'000));
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval, 5.0);

    tick(5);
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_EQ(samples[1].date, wall);
    EXPECT_EQ(health, (std::vector<bool>{true, true}));

    // Starting again replaces the timer and samples at once.
    sampler->start(10);
    EXPECT_EQ(samples.size(), 3u);
    EXPECT_EQ(timer->interval, 10.0);
    EXPECT_EQ(timer->starts, 2);
}

TEST_F(MachineSamplerTest, UnreadableMemoryIsUnhealthyAndGivesNoRecord) {
    readings->memory.reset();
    sampler->start(5);
    EXPECT_TRUE(samples.empty());
    EXPECT_EQ(health, std::vector<bool>{false});
    readings->memory = MemoryReading{8, 1, 1};
    tick(5);
    EXPECT_EQ(samples.size(), 1u);
    EXPECT_EQ(health, (std::vector<bool>{false, true}));
}

TEST_F(MachineSamplerTest, OtherFailuresReadAsZeroOrNormal) {
    readings->swap.reset();
    readings->pressure.reset();
    readings->storage.reset();
    sampler->start(5);
    ASSERT_EQ(samples.size(), 1u);
    EXPECT_EQ(samples[0].swapUsed, 0u);
    EXPECT_EQ(samples[0].pressure, MemoryPressure::normal);
    EXPECT_EQ(samples[0].storageTotal, 0u);
    EXPECT_EQ(samples[0].storageFree, 0u);
    EXPECT_EQ(health, std::vector<bool>{true});
}

TEST_F(MachineSamplerTest, PressureLevelsAndClamping) {
    const std::pair<std::int32_t, MemoryPressure> levels[] = {
        {0, MemoryPressure::normal},  {1, MemoryPressure::normal},   {2, MemoryPressure::warning},
        {3, MemoryPressure::warning}, {4, MemoryPressure::critical}, {5, MemoryPressure::critical},
    };
    sampler->start(5);
    for (const auto& [level, pressure] : levels) {
        readings->pressure = level;
        tick(5);
        EXPECT_EQ(samples.back().pressure, pressure) << level;
    }
    readings->memory = MemoryReading{1'000, 5'000, 7'000};
    tick(5);
    EXPECT_EQ(samples.back().memoryUsed, 1'000u);
    EXPECT_EQ(samples.back().memoryCached, 1'000u);
}

TEST_F(MachineSamplerTest, StorageIsReadAtMostEveryThirtySeconds) {
    sampler->start(5);
    EXPECT_EQ(readings->storageReads, 1);
    readings->storage = StorageReading{1'000'000, 900'000};
    tick(5);
    tick(24.5);
    EXPECT_EQ(readings->storageReads, 1);
    EXPECT_EQ(samples.back().storageFree, 250'000u);
    tick(0.5);
    EXPECT_EQ(readings->storageReads, 2);
    EXPECT_EQ(samples.back().storageFree, 900'000u);

    // The wall clock jumping back an hour does not keep stale figures.
    wall += -3600;
    readings->storage = StorageReading{1'000'000, 800'000};
    tick(30);
    EXPECT_EQ(samples.back().storageFree, 800'000u);
}

TEST_F(MachineSamplerTest, FailedStorageKeepsTheLastReadingAndRetries) {
    readings->storage.reset();
    sampler->start(5);
    EXPECT_EQ(samples.back().storageTotal, 0u);
    readings->storage = StorageReading{1'000, 400};
    tick(5);
    EXPECT_EQ(readings->storageReads, 2);
    EXPECT_EQ(samples.back().storageFree, 400u);

    readings->storage.reset();
    tick(30);
    EXPECT_EQ(samples.back().storageFree, 400u);
    tick(5);
    EXPECT_EQ(readings->storageReads, 4);
    readings->storage = StorageReading{1'000, 2'000}; // free above total is clamped
    tick(5);
    EXPECT_EQ(samples.back().storageFree, 1'000u);
}

TEST_F(MachineSamplerTest, StorageCacheIsKeptWithoutListeners) {
    sampler->onSample = nullptr;
    sampler->start(5);
    EXPECT_EQ(readings->storageReads, 1);
    tick(5);
    EXPECT_EQ(readings->storageReads, 1);
}

} // namespace
} // namespace halvrick
