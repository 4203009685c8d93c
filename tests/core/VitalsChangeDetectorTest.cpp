#include "core/VitalsChangeDetector.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace halvrick {
namespace {

using Kinds = std::vector<VitalsEventKind>;

constexpr std::uint64_t storageTotal = 1'000'000'000'000; // 1 TB
constexpr std::uint64_t memoryTotal = 32ull << 30;
const Date start = Date::sinceReference(700'000'000);

// A sample `minutes` after the start; storage given as the used fraction unless free bytes are given.
struct Sample {
    double minutes = 0;
    std::uint64_t storageFree = storageTotal / 2;
    std::uint64_t swap = 0;
    MemoryPressure pressure = MemoryPressure::normal;
    std::uint64_t memoryUsed = 8ull << 30;
    std::uint64_t total = storageTotal;

    MachineVitals vitals() const {
        return MachineVitals(start + minutes * 60, memoryTotal, memoryUsed, 0, swap, pressure, total,
                             storageFree);
    }
};

std::uint64_t freeAtUsed(double fraction) {
    return static_cast<std::uint64_t>(storageTotal * (1 - fraction));
}

Kinds run(VitalsChangeDetector& detector, const std::vector<Sample>& samples) {
    Kinds last;
    for (const Sample& s : samples) {
        last = detector.observe(s.vitals());
    }
    return last;
}

TEST(VitalsChangeDetectorTest, FirstSampleOnlyPrimes) {
    VitalsChangeDetector detector;
    const Sample alarming{0, freeAtUsed(0.95), 1'000'000'000, MemoryPressure::critical};
    EXPECT_EQ(detector.observe(alarming.vitals()), Kinds{});
    EXPECT_TRUE(detector.storageWasLow);
    EXPECT_TRUE(detector.swapWasHigh);
    Sample again = alarming;
    again.minutes = 1;
    EXPECT_EQ(detector.observe(again.vitals()), Kinds{});
    EXPECT_TRUE(detector.lastEvent.empty());
}

TEST(VitalsChangeDetectorTest, SampleToSampleThresholds) {
    constexpr std::uint64_t half = storageTotal / 2;
    struct Row {
        const char* name;
        Sample before;
        Sample after;
        Kinds expected;
    };
    const Row rows[] = {
        {"freed exactly the delta",
         {0, half},
         {1, half + 2'000'000'000},
         {VitalsEventKind::storageFreed(2'000'000'000)}},
        {"freed one byte short", {0, half}, {1, half + 1'999'999'999}, {}},
        {"filled exactly the delta",
         {0, half},
         {1, half - 2'000'000'000},
         {VitalsEventKind::storageFilled(2'000'000'000)}},
        {"tight and filled gives low only",
         {0, freeAtUsed(0.898)},
         {1, freeAtUsed(0.898) - 3'000'000'000},
         {VitalsEventKind::storageLow(freeAtUsed(0.898) - 3'000'000'000)}},
        {"no storage reading now", {0, half}, {1, 0, 0, MemoryPressure::normal, 8ull << 30, 0}, {}},
        {"no storage reading before",
         {0, 0, 0, MemoryPressure::normal, 8ull << 30, 0},
         {1, freeAtUsed(0.95)},
         {}},
        {"swap reaches the start", {0}, {1, half, 512'000'000}, {VitalsEventKind::swapStarted(512'000'000)}},
        {"swap just below the start", {0}, {1, half, 511'999'999}, {}},
        {"pressure turns critical",
         {0, half, 0, MemoryPressure::warning},
         {1, half, 0, MemoryPressure::critical},
         {VitalsEventKind::pressureCritical()}},
        {"pressure stays critical",
         {0, half, 0, MemoryPressure::critical},
         {1, half, 0, MemoryPressure::critical},
         {}},
        {"memory drops by 2^31",
         {0, half, 0, MemoryPressure::normal, 10ull << 30},
         {1, half, 0, MemoryPressure::normal, 8ull << 30},
         {VitalsEventKind::memoryFreed(2ull << 30)}},
        {"memory drops one byte short",
         {0, half, 0, MemoryPressure::normal, 10ull << 30},
         {1, half, 0, MemoryPressure::normal, (8ull << 30) + 1},
         {}},
        {"memory rises a lot",
         {0, half, 0, MemoryPressure::normal, 1ull << 30},
         {1, half, 0, MemoryPressure::normal, 30ull << 30},
         {}},
        {"all four in order",
         {0, half + 5'000'000'000, 0, MemoryPressure::normal, 20ull << 30},
         {1, half, 600'000'000, MemoryPressure::critical, 10ull << 30},
         {VitalsEventKind::storageFilled(5'000'000'000), VitalsEventKind::swapStarted(600'000'000),
          VitalsEventKind::pressureCritical(), VitalsEventKind::memoryFreed(10ull << 30)}},
    };
    for (const Row& row : rows) {
        VitalsChangeDetector detector;
        EXPECT_EQ(run(detector, {row.before, row.after}), row.expected) << row.name;
    }
}

TEST(VitalsChangeDetectorTest, StorageLowHasHysteresis) {
    struct Step {
        double used;
        bool event;
        bool lowAfter;
    };
    // Half an hour apart, beyond the spacing, so only the state decides.
    const Step steps[] = {
        {0.50, false, false}, {0.90, true, true},   {0.88, false, true},  {0.95, false, true},
        {0.86, false, true},  {0.84, false, false}, {0.89, false, false}, {0.90, true, true},
    };
    VitalsChangeDetector detector;
    double minutes = 0;
    for (const Step& step : steps) {
        const Kinds kinds = detector.observe(Sample{minutes, freeAtUsed(step.used)}.vitals());
        const bool low = !kinds.empty() && kinds.front().eventCase() == VitalsEventKind::Case::storageLow;
        EXPECT_EQ(low, step.event) << step.used;
        EXPECT_EQ(detector.storageWasLow, step.lowAfter) << step.used;
        minutes += 30;
    }
}

TEST(VitalsChangeDetectorTest, SwapReArmsBelowAQuarter) {
    VitalsChangeDetector detector;
    const std::uint64_t half = storageTotal / 2;
    EXPECT_EQ(detector.observe(Sample{0}.vitals()), Kinds{});
    EXPECT_EQ(detector.observe(Sample{20, half, 600'000'000}.vitals()),
              Kinds{VitalsEventKind::swapStarted(600'000'000)});
    EXPECT_EQ(detector.observe(Sample{40, half, 300'000'000}.vitals()), Kinds{});
    EXPECT_EQ(detector.observe(Sample{60, half, 600'000'000}.vitals()), Kinds{});
    EXPECT_EQ(detector.observe(Sample{80, half, 128'000'000}.vitals()), Kinds{});
    EXPECT_TRUE(detector.swapWasHigh);
    EXPECT_EQ(detector.observe(Sample{100, half, 127'999'999}.vitals()), Kinds{});
    EXPECT_FALSE(detector.swapWasHigh);
    EXPECT_EQ(detector.observe(Sample{120, half, 700'000'000}.vitals()),
              Kinds{VitalsEventKind::swapStarted(700'000'000)});
}

TEST(VitalsChangeDetectorTest, SpacingPerFamily) {
    const std::uint64_t half = storageTotal / 2;
    const std::uint64_t jump = 3'000'000'000;
    const std::uint64_t low = freeAtUsed(0.92);
    VitalsChangeDetector detector;
    detector.observe(Sample{0, half}.vitals());
    EXPECT_EQ(detector.observe(Sample{1, half + jump}.vitals()), Kinds{VitalsEventKind::storageFreed(jump)});
    // Five minutes later another family is not held back.
    EXPECT_EQ(detector.observe(Sample{6, low}.vitals()), Kinds{VitalsEventKind::storageLow(low)});
    // Ten minutes after the first: same family, dropped.
    EXPECT_EQ(detector.observe(Sample{11, low + jump}.vitals()), Kinds{});
    EXPECT_EQ(detector.lastEvent.at("storage"), start + 60);
    // Fifteen minutes after the last storage event: returned.
    EXPECT_EQ(detector.observe(Sample{16, low}.vitals()), Kinds{VitalsEventKind::storageFilled(jump)});
    EXPECT_EQ(detector.lastEvent.at("storage"), start + 16 * 60);

    // A clock set back counts as too soon.
    VitalsChangeDetector backwards;
    backwards.observe(Sample{100, half}.vitals());
    EXPECT_EQ(backwards.observe(Sample{101, half + jump}.vitals()).size(), 1u);
    EXPECT_EQ(backwards.observe(Sample{50, half}.vitals()), Kinds{});
}

TEST(VitalsChangeDetectorTest, LowStateChangesEvenWhenTheEventIsSpacedOut) {
    VitalsChangeDetector detector;
    detector.observe(Sample{0, freeAtUsed(0.80)}.vitals());
    EXPECT_EQ(detector.observe(Sample{1, freeAtUsed(0.91)}.vitals()).size(), 1u);
    detector.observe(Sample{2, freeAtUsed(0.80)}.vitals());
    // Entered anew within the spacing: the state turns on, the event is dropped and not reported later.
    EXPECT_EQ(detector.observe(Sample{3, freeAtUsed(0.91)}.vitals()), Kinds{});
    EXPECT_TRUE(detector.storageWasLow);
    EXPECT_EQ(detector.observe(Sample{60, freeAtUsed(0.91)}.vitals()), Kinds{});
}

TEST(VitalsChangeDetectorTest, MissingStorageLeavesTheLowStateAlone) {
    VitalsChangeDetector detector;
    detector.observe(Sample{0, freeAtUsed(0.95)}.vitals());
    detector.observe(Sample{30, 0, 0, MemoryPressure::normal, 8ull << 30, 0}.vitals());
    EXPECT_TRUE(detector.storageWasLow);
    detector.observe(Sample{60, freeAtUsed(0.50)}.vitals());
    // The previous sample had no storage, so this whole step was skipped.
    EXPECT_TRUE(detector.storageWasLow);
}

} // namespace
} // namespace halvrick
