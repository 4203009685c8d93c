#include "sampling/LinuxMachineReadings.h"

#include <QDir>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace halvrick {
namespace {

const std::string fixtures = HALVRICK_TEST_DATA "/proc-vitals/";
constexpr std::uint64_t kB = 1024;

TEST(LinuxMachineReadingsTest, FixtureMachines) {
    struct Row {
        const char* machine;
        MemoryReading memory;
        std::uint64_t swap;
        std::int32_t pressure;
    };
    const Row rows[] = {
        {"quiet", {24'682'348 * kB, 394'284 * kB, 406'972 * kB}, 0, 1},
        {"swapping", {8'049'484 * kB, 7'697'336 * kB, 280'988 * kB}, 1'585'152 * kB, 4},
        // No pressure stall information: 7 % of memory available.
        {"no-psi", {4'030'712 * kB, 3'748'562 * kB, 319'624 * kB}, 0, 2},
        // The pressure file exists but reads empty, as with psi=0: 3 % available.
        {"psi-unreadable", {24'682'348 * kB, 23'941'878 * kB, 406'972 * kB}, 0, 4},
    };
    for (const Row& row : rows) {
        LinuxMachineReadings readings(fixtures + row.machine, {});
        EXPECT_EQ(readings.readMemory(), row.memory) << row.machine;
        EXPECT_EQ(readings.readSwapUsed(), row.swap) << row.machine;
        EXPECT_EQ(readings.readPressureLevel(), row.pressure) << row.machine;
    }
}

// Swap and pressure come from the same meminfo as the memory figures of their sample, not a later one.
TEST(LinuxMachineReadingsTest, OneSampleReadsMeminfoOnce) {
    const std::filesystem::path root = std::filesystem::temp_directory_path() /
                                       ("halvrick-meminfo-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root);
    const auto write = [&](int availableKB, int swapFreeKB) {
        std::ofstream(root / "meminfo") << "MemTotal: 1000 kB\nMemAvailable: " << availableKB
                                        << " kB\nSwapTotal: 100 kB\nSwapFree: " << swapFreeKB << " kB\n";
    };
    write(500, 100);
    LinuxMachineReadings readings(root.string(), {});
    EXPECT_EQ(readings.readMemory(), (MemoryReading{1000 * kB, 500 * kB, 0}));
    write(20, 40);
    EXPECT_EQ(readings.readSwapUsed(), 0u);
    EXPECT_EQ(readings.readPressureLevel(), 1);
    // Asked again without a memory reading first: read afresh.
    EXPECT_EQ(readings.readSwapUsed(), 60 * kB);
    EXPECT_EQ(readings.readPressureLevel(), 4);
    std::filesystem::remove_all(root);
}

TEST(LinuxMachineReadingsTest, GarbledOrMissingMeminfoGivesNoReading) {
    for (const std::string& root : {fixtures + "garbled", fixtures + "no-such-machine"}) {
        LinuxMachineReadings readings(root, {});
        EXPECT_EQ(readings.readMemory(), std::nullopt) << root;
        EXPECT_EQ(readings.readSwapUsed(), std::nullopt) << root;
        EXPECT_EQ(readings.readPressureLevel(), std::nullopt) << root;
    }
}

TEST(LinuxMachineReadingsTest, StorageFallsBackToTheNextPath) {
    const std::string here = std::filesystem::temp_directory_path().string();
    const auto direct = LinuxMachineReadings("", {here}).readStorage();
    ASSERT_TRUE(direct.has_value());
    EXPECT_GT(direct->total, 0u);
    EXPECT_LE(direct->free, direct->total);

    const auto fallback = LinuxMachineReadings("", {"/no/such/home", here}).readStorage();
    ASSERT_TRUE(fallback.has_value());
    EXPECT_EQ(fallback->total, direct->total);
    EXPECT_EQ(LinuxMachineReadings("", {"/no/such/home", "/no/such/root"}).readStorage(), std::nullopt);
    EXPECT_EQ(LinuxMachineReadings("", {}).readStorage(), std::nullopt);
}

TEST(LinuxMachineReadingsTest, ThisMachine) {
    LinuxMachineReadings readings("/proc", {QDir::homePath().toStdString(), "/"});
    const auto memory = readings.readMemory();
    ASSERT_TRUE(memory.has_value());
    EXPECT_GT(memory->total, 0u);
    EXPECT_LE(memory->used, memory->total);
    EXPECT_TRUE(readings.readSwapUsed().has_value());
    const auto level = readings.readPressureLevel();
    ASSERT_TRUE(level.has_value());
    EXPECT_TRUE(*level == 1 || *level == 2 || *level == 4);
    const auto storage = readings.readStorage();
    ASSERT_TRUE(storage.has_value());
    EXPECT_GT(storage->total, 0u);
}

} // namespace
} // namespace halvrick
