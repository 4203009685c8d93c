#include "core/MachineVitals.h"

#include "core/Error.h"

#include <gtest/gtest.h>
#include <limits>

namespace halvrick {
namespace {

const Date at = Date::sinceReference(800'000'000);

TEST(MemoryPressureTest, LevelsAndRawValues) {
    const std::pair<int, MemoryPressure> levels[] = {
        {-3, MemoryPressure::normal},  {0, MemoryPressure::normal},
        {1, MemoryPressure::normal},   {2, MemoryPressure::warning},
        {3, MemoryPressure::warning},  {4, MemoryPressure::critical},
        {5, MemoryPressure::critical}, {std::numeric_limits<std::int32_t>::max(), MemoryPressure::critical},
    };
    for (const auto& [level, expected] : levels) {
        EXPECT_EQ(memoryPressureFromLevel(level), expected) << level;
    }
    EXPECT_EQ(memoryPressureFromRaw(1), MemoryPressure::normal);
    EXPECT_EQ(memoryPressureFromRaw(2), MemoryPressure::warning);
    EXPECT_EQ(memoryPressureFromRaw(4), MemoryPressure::critical);
    for (const int raw : {0, 3, 5, -1}) {
        EXPECT_EQ(memoryPressureFromRaw(raw), std::nullopt) << raw;
    }
    EXPECT_LT(MemoryPressure::normal, MemoryPressure::warning);
    EXPECT_LT(MemoryPressure::warning, MemoryPressure::critical);
}

TEST(MachineVitalsTest, ConstructorClampsToTheTotals) {
    const MachineVitals v(at, 1000, 1500, 2000, 7, MemoryPressure::warning, 500, 900);
    EXPECT_EQ(v.memoryUsed, 1000u);
    EXPECT_EQ(v.memoryCached, 1000u);
    EXPECT_EQ(v.memoryFree(), 0u);
    EXPECT_EQ(v.memoryFraction(), 1.0);
    EXPECT_EQ(v.storageFree, 500u);
    EXPECT_EQ(v.storageUsed(), 0u);
    EXPECT_EQ(v.swapUsed, 7u);
    EXPECT_TRUE(v.isMemoryTight());
    EXPECT_EQ(v.snapshot(), VitalsSnapshot(at, 1000, 7, MemoryPressure::warning, 500));
}

TEST(MachineVitalsTest, StorageShares) {
    const MachineVitals none(at, 0, 0, 0, 0, MemoryPressure::normal, 0, 0);
    EXPECT_FALSE(none.hasStorage());
    EXPECT_EQ(none.storageUsed(), 0u);
    EXPECT_EQ(none.storageFraction(), 0.0);
    EXPECT_FALSE(none.isStorageTight());
    EXPECT_EQ(none.memoryFraction(), 0.0);
    EXPECT_FALSE(none.isMemoryTight());

    const MachineVitals tight(at, 8, 2, 1, 0, MemoryPressure::normal, 1000, 100);
    EXPECT_TRUE(tight.hasStorage());
    EXPECT_EQ(tight.storageUsed(), 900u);
    EXPECT_DOUBLE_EQ(tight.storageFraction(), 0.9);
    EXPECT_TRUE(tight.isStorageTight());
    EXPECT_EQ(tight.memoryFree(), 6u);
    EXPECT_EQ(tight.memoryFraction(), 0.25);

    const MachineVitals roomy(at, 8, 2, 1, 0, MemoryPressure::normal, 1000, 101);
    EXPECT_FALSE(roomy.isStorageTight());
}

TEST(MachineVitalsTest, ChangeIsSignedFromSnapshotToSample) {
    const VitalsSnapshot earlier(at, 5'000, 0, MemoryPressure::normal, 9'000'000'000);
    const MachineVitals now(at + 60, 10'000, 3'000, 0, 100, MemoryPressure::normal, 10'000'000'000,
                            6'000'000'000);
    EXPECT_EQ(VitalsChange::between(earlier, now), (VitalsChange{-2'000, 100, -3'000'000'000}));

    const VitalsSnapshot huge(at, 0, 0, MemoryPressure::normal, 0);
    const MachineVitals big(at, ~0ull, ~0ull >> 1, 0, 0, MemoryPressure::normal, 0, 0);
    EXPECT_EQ(VitalsChange::between(huge, big).memoryUsed, std::numeric_limits<std::int64_t>::max());
}

TEST(MachineVitalsTest, JsonRoundTripKeepsUnclampedValues) {
    MachineVitals v(at, 16ull << 30, 4ull << 30, 1ull << 30, 600'000'000, MemoryPressure::critical,
                    500'000'000'000, 20'000'000'000);
    EXPECT_EQ(MachineVitals::fromJson(json::parse(v.toJson().dump())), v);
    EXPECT_EQ(v.toJson()["pressure"], 4);
    EXPECT_EQ(v.toJson()["date"], 800'000'000.0);

    // Decoding does not clamp; the derived shares stay within 0...1 all the same.
    v.storageFree = v.storageTotal + 1;
    const MachineVitals decoded = MachineVitals::fromJson(v.toJson());
    EXPECT_EQ(decoded.storageFree, v.storageTotal + 1);
    EXPECT_EQ(decoded.storageUsed(), 0u);
    EXPECT_EQ(decoded.storageFraction(), 0.0);

    const VitalsSnapshot s(at, std::numeric_limits<std::uint64_t>::max(), 0, MemoryPressure::warning, 1);
    EXPECT_EQ(VitalsSnapshot::fromJson(json::parse(s.toJson().dump())), s);
}

TEST(MachineVitalsTest, JsonReadingIsStrict) {
    const auto snapshot = [](const char* text) { return VitalsSnapshot::fromJson(json::parse(text)); };
    EXPECT_EQ(
        snapshot(R"({"date": 1.5, "memoryUsed": 3, "swapUsed": 0, "pressure": 2, "storageFree": 9, "x": 1})"),
        VitalsSnapshot(Date::sinceReference(1.5), 3, 0, MemoryPressure::warning, 9));
    const char* bad[] = {
        R"({"date": 1, "memoryUsed": 3, "swapUsed": 0, "pressure": 3, "storageFree": 9})",
        R"({"date": 1, "memoryUsed": 3, "swapUsed": 0, "pressure": 4294967298, "storageFree": 9})",
        R"({"date": 1, "memoryUsed": -3, "swapUsed": 0, "pressure": 1, "storageFree": 9})",
        R"({"date": 1, "memoryUsed": 3.5, "swapUsed": 0, "pressure": 1, "storageFree": 9})",
        R"({"date": "1", "memoryUsed": 3, "swapUsed": 0, "pressure": 1, "storageFree": 9})",
        R"({"date": 1, "memoryUsed": 3, "pressure": 1, "storageFree": 9})",
        R"({"date": 1, "memoryUsed": 3, "swapUsed": null, "pressure": 1, "storageFree": 9})",
        R"([1, 3, 0, 1, 9])",
    };
    for (const char* text : bad) {
        EXPECT_THROW(snapshot(text), Error) << text;
    }
    EXPECT_THROW(MachineVitals::fromJson(json::parse(R"({"date": 1})")), Error);
}

} // namespace
} // namespace halvrick
