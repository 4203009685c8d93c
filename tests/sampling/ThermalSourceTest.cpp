#include "sampling/ThermalSource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace halvrick {
namespace {

namespace fs = std::filesystem;

// One sysfs file; no content makes a directory in its place, which cannot be read like a file.
struct Entry {
    std::string path;
    std::optional<std::string> content;
};

struct TreeCase {
    const char* what;
    std::vector<Entry> entries;
    int state;
};

class TempTree {
public:
    TempTree() {
        std::string pattern = (fs::temp_directory_path() / "halvrick-thermal-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            throw std::runtime_error("mkdtemp failed");
        }
        root_ = pattern;
    }
    ~TempTree() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    void add(const Entry& entry) const {
        const fs::path path = root_ / entry.path;
        if (!entry.content) {
            fs::create_directories(path);
            return;
        }
        fs::create_directories(path.parent_path());
        std::ofstream(path) << *entry.content << '\n';
    }
    std::string root() const { return root_.string(); }

private:
    fs::path root_;
};

const std::string zone0 = "class/thermal/thermal_zone0/";
const std::string zone1 = "class/thermal/thermal_zone1/";
const std::string coretemp = "class/hwmon/hwmon0/";

TEST(SysfsThermalSourceTest, EstimatesTheStateFromZonesSensorsAndThrottling) {
    const TreeCase cases[] = {
        {"no sensor at all", {}, 0},
        {"empty thermal class", {{"class/thermal", std::nullopt}, {"class/hwmon", std::nullopt}}, 0},
        {"cool zone",
         {{zone0 + "temp", "45000"},
          {zone0 + "trip_point_0_type", "critical"},
          {zone0 + "trip_point_0_temp", "105000"},
          {zone0 + "trip_point_1_type", "passive"},
          {zone0 + "trip_point_1_temp", "95000"}},
         0},
        {"within the fair margin of the lowest limit",
         {{zone0 + "temp", "85000"},
          {zone0 + "trip_point_0_type", "critical"},
          {zone0 + "trip_point_0_temp", "105000"},
          {zone0 + "trip_point_1_type", "passive"},
          {zone0 + "trip_point_1_temp", "95000"}},
         1},
        {"fans on",
         {{zone0 + "temp", "60000"},
          {zone0 + "trip_point_0_type", "active"},
          {zone0 + "trip_point_0_temp", "55000"},
          {zone0 + "trip_point_1_type", "passive"},
          {zone0 + "trip_point_1_temp", "95000"}},
         1},
        {"passive trip crossed",
         {{zone0 + "temp", "95000"},
          {zone0 + "trip_point_0_type", "critical"},
          {zone0 + "trip_point_0_temp", "105000"},
          {zone0 + "trip_point_1_type", "passive"},
          {zone0 + "trip_point_1_temp", "95000"}},
         2},
        {"just outside the critical margin",
         {{zone0 + "temp", "99999"},
          {zone0 + "trip_point_0_type", "critical"},
          {zone0 + "trip_point_0_temp", "105000"}},
         1},
        {"within the critical margin",
         {{zone0 + "temp", "100000"},
          {zone0 + "trip_point_0_type", "critical"},
          {zone0 + "trip_point_0_temp", "105000"}},
         3},
        {"hot trip reached",
         {{zone0 + "temp", "90000"},
          {zone0 + "trip_point_0_type", "hot"},
          {zone0 + "trip_point_0_temp", "90000"},
          {zone0 + "trip_point_1_type", "critical"},
          {zone0 + "trip_point_1_temp", "120000"}},
         3},
        {"disabled trip points are no limits",
         {{zone0 + "temp", "45000"},
          {zone0 + "trip_point_0_type", "critical"},
          {zone0 + "trip_point_0_temp", "-274000"},
          {zone0 + "trip_point_1_type", "passive"},
          {zone0 + "trip_point_1_temp", "0"}},
         0},
        {"zone without trips, below the fixed scale", {{zone0 + "temp", "79999"}}, 0},
        {"zone without trips, fair", {{zone0 + "temp", "80000"}}, 1},
        {"zone without trips, serious", {{zone0 + "temp", "90000"}}, 2},
        {"zone without trips, critical", {{zone0 + "temp", "95000"}}, 3},
        {"unreadable zone is skipped, the others still count",
         {{zone0 + "temp", std::nullopt},
          {zone0 + "trip_point_0_type", "passive"},
          {zone0 + "trip_point_0_temp", "1000"},
          {zone1 + "temp", "96000"},
          {zone1 + "trip_point_0_type", "passive"},
          {zone1 + "trip_point_0_temp", "95000"}},
         2},
        {"garbled zone is skipped", {{zone0 + "temp", "N/A"}}, 0},
        {"the hottest zone wins",
         {{zone0 + "temp", "40000"},
          {zone0 + "trip_point_0_type", "critical"},
          {zone0 + "trip_point_0_temp", "105000"},
          {zone1 + "temp", "101000"},
          {zone1 + "trip_point_0_type", "critical"},
          {zone1 + "trip_point_0_temp", "105000"}},
         3},
        {"processor throttled",
         {{"class/thermal/cooling_device0/type", "Processor"},
          {"class/thermal/cooling_device0/cur_state", "2"}},
         2},
        {"power clamp injecting idle",
         {{"class/thermal/cooling_device0/type", "intel_powerclamp"},
          {"class/thermal/cooling_device0/cur_state", "10"}},
         2},
        {"processor not throttled",
         {{"class/thermal/cooling_device0/type", "Processor"},
          {"class/thermal/cooling_device0/cur_state", "0"}},
         0},
        {"fan running is no throttling",
         {{"class/thermal/cooling_device0/type", "Fan"}, {"class/thermal/cooling_device0/cur_state", "3"}},
         0},
        {"cpu sensor near its limits",
         {{coretemp + "name", "coretemp"},
          {coretemp + "temp1_input", "91000"},
          {coretemp + "temp1_max", "100000"},
          {coretemp + "temp1_crit", "110000"}},
         1},
        {"cpu sensor at its max",
         {{coretemp + "name", "coretemp"},
          {coretemp + "temp1_input", "100000"},
          {coretemp + "temp1_max", "100000"},
          {coretemp + "temp1_crit", "110000"}},
         2},
        {"cpu sensor within the critical margin",
         {{coretemp + "name", "k10temp"},
          {coretemp + "temp1_input", "95000"},
          {coretemp + "temp1_crit", "100000"}},
         3},
        {"cool cpu sensor with a critical limit",
         {{coretemp + "name", "k10temp"},
          {coretemp + "temp1_input", "50000"},
          {coretemp + "temp1_crit", "100000"}},
         0},
        {"the hottest core wins",
         {{coretemp + "name", "coretemp"},
          {coretemp + "temp1_input", "50000"},
          {coretemp + "temp1_crit", "105000"},
          {coretemp + "temp2_input", "101000"},
          {coretemp + "temp2_crit", "105000"},
          {coretemp + "temp2_label", "Core 1"}},
         3},
        {"cpu sensor without limits, cool",
         {{coretemp + "name", "zenpower"}, {coretemp + "temp1_input", "60000"}},
         0},
        {"cpu sensor without limits, warm",
         {{coretemp + "name", "zenpower"}, {coretemp + "temp1_input", "85000"}},
         1},
        {"cpu sensor without limits, hot",
         {{coretemp + "name", "cpu_thermal"}, {coretemp + "temp1_input", "90500"}},
         2},
        {"cpu sensor without limits, critical",
         {{coretemp + "name", "cpu_thermal"}, {coretemp + "temp1_input", "96000"}},
         3},
        {"other hardware is not the processor",
         {{coretemp + "name", "nvme"},
          {coretemp + "temp1_input", "96000"},
          {coretemp + "temp1_crit", "90000"}},
         0},
        {"sensor without a name", {{coretemp + "temp1_input", "96000"}}, 0},
    };
    for (const TreeCase& c : cases) {
        SCOPED_TRACE(c.what);
        const TempTree tree;
        for (const Entry& entry : c.entries) {
            tree.add(entry);
        }
        SysfsThermalSource source(tree.root());
        EXPECT_EQ(source.thermalState(), c.state);
        // Reading twice gives the same answer: nothing is cached or consumed.
        EXPECT_EQ(source.thermalState(), c.state);
    }
}

// A machine without any sensor reads nominal, and says so: nominal is then no sign of a cool machine.
TEST(SysfsThermalSourceTest, SaysWhetherThereIsAnythingToRead) {
    const std::vector<std::vector<Entry>> trees = {
        {},
        {{"class/thermal", std::nullopt}, {"class/hwmon/hwmon0/name", "acpitz"}},
        {{zone0 + "temp", "45000"}},
        {{coretemp + "name", "coretemp"}, {coretemp + "temp1_input", "50000"}},
        {{"class/thermal/cooling_device0/type", "Processor"}, {"class/thermal/cooling_device0/cur_state", "0"}},
    };
    for (std::size_t i = 0; i < trees.size(); ++i) {
        const TempTree tree;
        for (const Entry& entry : trees[i]) {
            tree.add(entry);
        }
        SysfsThermalSource source(tree.root());
        EXPECT_EQ(source.thermalState(), 0) << i;
        EXPECT_EQ(source.hasSensor(), i >= 2) << i;
    }
}

TEST(SysfsThermalSourceTest, ReadingsShowAtOnceNewSensorsWithinTheLayoutInterval) {
    const TempTree tree;
    tree.add({zone0 + "temp", "45000"});
    tree.add({zone0 + "trip_point_0_type", "passive"});
    tree.add({zone0 + "trip_point_0_temp", "95000"});
    double now = 50;
    SysfsThermalSource source(tree.root(), [&] { return now; });
    EXPECT_EQ(source.thermalState(), 0);

    // Temperatures and limits are read every time.
    tree.add({zone0 + "temp", "96000"});
    EXPECT_EQ(source.thermalState(), 2);
    tree.add({zone0 + "trip_point_0_temp", "99000"});
    EXPECT_EQ(source.thermalState(), 1);

    // A processor that starts throttling is seen once the devices are looked at again.
    tree.add({"class/thermal/cooling_device0/type", "Processor"});
    tree.add({"class/thermal/cooling_device0/cur_state", "1"});
    now += SysfsThermalSource::layoutInterval - 1;
    EXPECT_EQ(source.thermalState(), 1);
    now += 1;
    EXPECT_EQ(source.thermalState(), 2);
    tree.add({"class/thermal/cooling_device0/cur_state", "0"});
    EXPECT_EQ(source.thermalState(), 1);

    // A clock that went back looks again too.
    tree.add({zone1 + "temp", "96000"});
    EXPECT_EQ(source.thermalState(), 1);
    now -= 5;
    EXPECT_EQ(source.thermalState(), 3);
}

TEST(SysfsThermalSourceTest, ReadsThisMachine) {
    const int state = SysfsThermalSource().thermalState();
    EXPECT_GE(state, 0);
    EXPECT_LE(state, 3);
}

} // namespace
} // namespace halvrick
