#include "sampling/ThermalSource.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <optional>
#include <utility>
#include <vector>

namespace halvrick {

namespace fs = std::filesystem;

ThermalLevel thermalLevelForRawState(int raw) {
    return thermalLevelFromRaw(raw).value_or(ThermalLevel::serious);
}

namespace {

constexpr int nominal = 0;
constexpr int fair = 1;
constexpr int serious = 2;
constexpr int critical = 3;

std::optional<std::string> readLine(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    if (!in || !std::getline(in, line)) {
        return std::nullopt;
    }
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}

std::optional<long long> readNumber(const fs::path& path) {
    const std::optional<std::string> text = readLine(path);
    if (!text || text->empty()) {
        return std::nullopt;
    }
    long long value = 0;
    const char* end = text->data() + text->size();
    const auto [next, ec] = std::from_chars(text->data(), end, value);
    if (ec != std::errc{} || next != end) {
        return std::nullopt;
    }
    return value;
}

// Sorted so that repeated readings walk the tree in the same order.
std::vector<fs::path> entriesStartingWith(const fs::path& dir, std::string_view prefix) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().filename().string().starts_with(prefix)) {
            found.push_back(it->path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

// A temperature the sensor reaches the given level at; `margin` moves it earlier.
struct Limit {
    long long temperature;
    int level;
    long long margin = 0;
};

int absoluteLevel(long long temperature) {
    if (temperature >= SysfsThermalSource::absoluteCritical) {
        return critical;
    }
    if (temperature >= SysfsThermalSource::absoluteSerious) {
        return serious;
    }
    if (temperature >= SysfsThermalSource::absoluteFair) {
        return fair;
    }
    return nominal;
}

int sensorLevel(long long temperature, const std::vector<Limit>& limits) {
    std::optional<long long> lowestSerious;
    int level = nominal;
    for (const Limit& limit : limits) {
        if (temperature >= limit.temperature - limit.margin) {
            level = std::max(level, limit.level);
        }
        if (limit.level >= serious) {
            lowestSerious = std::min(lowestSerious.value_or(limit.temperature), limit.temperature);
        }
    }
    if (!lowestSerious) {
        return std::max(level, absoluteLevel(temperature));
    }
    if (temperature >= *lowestSerious - SysfsThermalSource::fairMargin) {
        level = std::max(level, fair);
    }
    return level;
}

// Firmware marks unused trip points and limits with zero or negative temperatures.
void addLimit(std::vector<Limit>& limits, std::optional<long long> temperature, int level, long long margin) {
    if (temperature && *temperature > 0) {
        limits.push_back({*temperature, level, margin});
    }
}

int zoneLevel(const fs::path& zone) {
    // A zone whose device is down cannot be read; it says nothing about the machine.
    const std::optional<long long> temperature = readNumber(zone / "temp");
    if (!temperature) {
        return nominal;
    }
    std::vector<Limit> limits;
    for (int k = 0;; ++k) {
        const std::string prefix = "trip_point_" + std::to_string(k);
        const fs::path typePath = zone / (prefix + "_type");
        std::error_code ec;
        if (!fs::exists(typePath, ec)) {
            break;
        }
        const std::optional<std::string> type = readLine(typePath);
        const std::optional<long long> tripTemperature = readNumber(zone / (prefix + "_temp"));
        if (type == "critical") {
            addLimit(limits, tripTemperature, critical, SysfsThermalSource::criticalMargin);
        } else if (type == "hot") {
            addLimit(limits, tripTemperature, critical, 0);
        } else if (type == "passive") {
            addLimit(limits, tripTemperature, serious, 0);
        } else if (type == "active") {
            addLimit(limits, tripTemperature, fair, 0);
        }
    }
    return sensorLevel(*temperature, limits);
}

int hwmonLevel(const fs::path& hwmon) {
    const std::optional<std::string> name = readLine(hwmon / "name");
    if (!name ||
        std::find(SysfsThermalSource::cpuSensorNames.begin(), SysfsThermalSource::cpuSensorNames.end(),
                  *name) == SysfsThermalSource::cpuSensorNames.end()) {
        return nominal;
    }
    int level = nominal;
    for (const fs::path& input : entriesStartingWith(hwmon, "temp")) {
        const std::string file = input.filename().string();
        constexpr std::string_view suffix = "_input";
        if (!file.ends_with(suffix)) {
            continue;
        }
        const std::optional<long long> temperature = readNumber(input);
        if (!temperature) {
            continue;
        }
        const std::string sensor = file.substr(0, file.size() - suffix.size());
        std::vector<Limit> limits;
        addLimit(limits, readNumber(hwmon / (sensor + "_crit")), critical,
                 SysfsThermalSource::criticalMargin);
        addLimit(limits, readNumber(hwmon / (sensor + "_max")), serious, 0);
        level = std::max(level, sensorLevel(*temperature, limits));
    }
    return level;
}

bool isThrottling(const fs::path& device) {
    const std::optional<std::string> type = readLine(device / "type");
    if (!type || std::find(SysfsThermalSource::throttlingDeviceTypes.begin(),
                           SysfsThermalSource::throttlingDeviceTypes.end(),
                           *type) == SysfsThermalSource::throttlingDeviceTypes.end()) {
        return false;
    }
    const std::optional<long long> state = readNumber(device / "cur_state");
    return state && *state > 0;
}

} // namespace

SysfsThermalSource::SysfsThermalSource(std::string sysRoot) : sysRoot_(std::move(sysRoot)) {}

int SysfsThermalSource::thermalState() {
    const fs::path thermal = fs::path(sysRoot_) / "class" / "thermal";
    int level = nominal;
    for (const fs::path& zone : entriesStartingWith(thermal, "thermal_zone")) {
        level = std::max(level, zoneLevel(zone));
    }
    for (const fs::path& device : entriesStartingWith(thermal, "cooling_device")) {
        if (isThrottling(device)) {
            level = std::max(level, serious);
        }
    }
    for (const fs::path& hwmon : entriesStartingWith(fs::path(sysRoot_) / "class" / "hwmon", "hwmon")) {
        level = std::max(level, hwmonLevel(hwmon));
    }
    return level;
}

} // namespace halvrick
