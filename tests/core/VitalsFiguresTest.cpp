#include "core/VitalsFigures.h"

#include <gtest/gtest.h>
#include <limits>

namespace halvrick {
namespace {

const std::string minus = "\u2212";

MachineVitals storage(std::uint64_t total, std::uint64_t free) {
    return MachineVitals(Date::since1970(0), 16ull << 30, 8ull << 30, 0, 0, MemoryPressure::normal, total, free);
}

TEST(VitalsFiguresTest, FractionIsEmptyForAnEmptyWholeAndNeverBeyondFull) {
    EXPECT_EQ(VitalsFigures::fraction(0, 0), 0);
    EXPECT_EQ(VitalsFigures::fraction(5, 0), 0);
    EXPECT_EQ(VitalsFigures::fraction(1, 4), 0.25);
    EXPECT_EQ(VitalsFigures::fraction(4, 4), 1);
    // A racy sample may hold more used than total.
    EXPECT_EQ(VitalsFigures::fraction(9, 4), 1);
}

TEST(VitalsFiguresTest, PressureAndSwapTexts) {
    EXPECT_EQ(VitalsFigures::pressureText(MemoryPressure::normal), "pressure normal");
    EXPECT_EQ(VitalsFigures::pressureText(MemoryPressure::warning), "pressure warning");
    EXPECT_EQ(VitalsFigures::pressureText(MemoryPressure::critical), "pressure critical");
    EXPECT_EQ(VitalsFigures::swapText(0), "none");
    EXPECT_EQ(VitalsFigures::swapText(1), "1.0 B");
    EXPECT_EQ(VitalsFigures::swapText(1536ull << 20), "1.5 GB");
}

TEST(VitalsFiguresTest, StorageIsNearlyFullFromNinetyPercent) {
    EXPECT_TRUE(VitalsFigures::isStorageNearlyFull(storage(1000, 100)));
    EXPECT_FALSE(VitalsFigures::isStorageNearlyFull(storage(1000, 101)));
    EXPECT_TRUE(VitalsFigures::isStorageNearlyFull(storage(1000, 0)));
    EXPECT_FALSE(VitalsFigures::isStorageNearlyFull(storage(0, 0)));
}

TEST(VitalsFiguresTest, ChangeTextNamesOnlyWhatMoved) {
    EXPECT_EQ(VitalsFigures::changeText({0, 0, 0}), "Nothing much changed.");
    EXPECT_EQ(VitalsFigures::changeText({0, 5ll << 20, 0}), "Swap +5.0 MB");
    EXPECT_EQ(VitalsFigures::changeText({1288490189, 0, -3'400'000'000}),
              "Memory +1.2 GB · Free " + minus + "3.4 GB");
    EXPECT_EQ(VitalsFigures::changeText({-(1ll << 30), 1024, 2'000'000'000}),
              "Memory " + minus + "1.0 GB · Swap +1.0 KB · Free +2.0 GB");
}

TEST(VitalsFiguresTest, DeltaNoteFromOneHundredMillionBytesEitherWay) {
    EXPECT_EQ(VitalsFigures::deltaNote(600'000'000, 500'000'000), "+95.4 MB since yesterday");
    EXPECT_EQ(VitalsFigures::deltaNote(599'999'999, 500'000'000), std::nullopt);
    EXPECT_EQ(VitalsFigures::deltaNote(400'000'000, 500'000'000), minus + "95.4 MB since yesterday");
    EXPECT_EQ(VitalsFigures::deltaNote(400'000'001, 500'000'000), std::nullopt);
    EXPECT_EQ(VitalsFigures::deltaNote(512ull << 20, 0), "+512 MB since yesterday");
    const std::uint64_t most = std::numeric_limits<std::uint64_t>::max();
    EXPECT_TRUE(VitalsFigures::deltaNote(0, most).has_value());
}

TEST(VitalsFiguresTest, AppNoteNeedsAPeakAboveZeroYesterday) {
    const std::map<std::string, std::uint64_t> peaks{{"firefox", 2ull << 30}, {"idle", 0}};
    EXPECT_EQ(VitalsFigures::appNote("firefox", 3ull << 30, peaks), "+1.0 GB since yesterday");
    EXPECT_EQ(VitalsFigures::appNote("firefox", (2ull << 30) + 1000, peaks), std::nullopt);
    EXPECT_EQ(VitalsFigures::appNote("idle", 3ull << 30, peaks), std::nullopt);
    EXPECT_EQ(VitalsFigures::appNote("new", 3ull << 30, peaks), std::nullopt);
}

} // namespace
} // namespace halvrick
