#include "sampling/ThermalSource.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
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

// A sysfs value is one short line.
std::string firstLine(std::string_view text) {
    std::string line(text.substr(0, text.find('\n')));
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}

std::optional<std::string> readLine(KeptFile& file) {
    char buffer[128];
    const auto text = file.read(buffer, sizeof buffer);
    if (!text || text->empty()) {
        return std::nullopt;
    }
    return firstLine(*text);
}

std::optional<std::string> readLine(const fs::path& path) {
    KeptFile file(path.string());
    return readLine(file);
}

std::optional<long long> readNumber(KeptFile& file) {
    const std::optional<std::string> text = readLine(file);
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

// Sorted so that the sensors are always read in the same order.
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

struct LimitValue {
    long long temperature;
    int level;
    long long margin;
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

int sensorLevel(long long temperature, const std::vector<LimitValue>& limits) {
    std::optional<long long> lowestSerious;
    int level = nominal;
    for (const LimitValue& limit : limits) {
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

bool isThere(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

} // namespace

SysfsThermalSource::SysfsThermalSource(std::string sysRoot, MonotonicClock monotonicClock)
    : sysRoot_(std::move(sysRoot)), monotonicClock_(std::move(monotonicClock)) {}

void SysfsThermalSource::lookUpLayout() {
    zones_.clear();
    cpuSensors_.clear();
    throttles_.clear();
    const fs::path thermal = fs::path(sysRoot_) / "class" / "thermal";
    for (const fs::path& zone : entriesStartingWith(thermal, "thermal_zone")) {
        Sensor sensor{KeptFile((zone / "temp").string()), {}};
        for (int k = 0;; ++k) {
            const std::string prefix = "trip_point_" + std::to_string(k);
            const fs::path typePath = zone / (prefix + "_type");
            if (!isThere(typePath)) {
                break;
            }
            const std::optional<std::string> type = readLine(typePath);
            KeptFile temperature((zone / (prefix + "_temp")).string());
            if (type == "critical") {
                sensor.limits.push_back({std::move(temperature), critical, criticalMargin});
            } else if (type == "hot") {
                sensor.limits.push_back({std::move(temperature), critical, 0});
            } else if (type == "passive") {
                sensor.limits.push_back({std::move(temperature), serious, 0});
            } else if (type == "active") {
                sensor.limits.push_back({std::move(temperature), fair, 0});
            }
        }
        zones_.push_back(std::move(sensor));
    }
    for (const fs::path& device : entriesStartingWith(thermal, "cooling_device")) {
        const std::optional<std::string> type = readLine(device / "type");
        if (type && std::find(throttlingDeviceTypes.begin(), throttlingDeviceTypes.end(), *type) !=
                        throttlingDeviceTypes.end()) {
            throttles_.emplace_back((device / "cur_state").string());
        }
    }
    for (const fs::path& hwmon : entriesStartingWith(fs::path(sysRoot_) / "class" / "hwmon", "hwmon")) {
        const std::optional<std::string> name = readLine(hwmon / "name");
        if (!name || std::find(cpuSensorNames.begin(), cpuSensorNames.end(), *name) == cpuSensorNames.end()) {
            continue;
        }
        for (const fs::path& input : entriesStartingWith(hwmon, "temp")) {
            const std::string file = input.filename().string();
            constexpr std::string_view suffix = "_input";
            if (!file.ends_with(suffix)) {
                continue;
            }
            const std::string sensorName = file.substr(0, file.size() - suffix.size());
            Sensor sensor{KeptFile(input.string()), {}};
            if (const fs::path crit = hwmon / (sensorName + "_crit"); isThere(crit)) {
                sensor.limits.push_back({KeptFile(crit.string()), critical, criticalMargin});
            }
            if (const fs::path max = hwmon / (sensorName + "_max"); isThere(max)) {
                sensor.limits.push_back({KeptFile(max.string()), serious, 0});
            }
            cpuSensors_.push_back(std::move(sensor));
        }
    }
}

bool SysfsThermalSource::hasSensor() const {
    return !zones_.empty() || !cpuSensors_.empty() || !throttles_.empty();
}

int SysfsThermalSource::thermalState() {
    const double now = monotonicClock_();
    // Written so that a clock that went back also looks again.
    if (!layoutTime_ || !(now - *layoutTime_ >= 0 && now - *layoutTime_ < layoutInterval)) {
        lookUpLayout();
        layoutTime_ = now;
    }
    int level = nominal;
    std::vector<LimitValue> limits;
    for (std::vector<Sensor>* sensors : {&zones_, &cpuSensors_}) {
        for (Sensor& sensor : *sensors) {
            // A zone whose device is down cannot be read; it says nothing about the machine.
            const std::optional<long long> temperature = readNumber(sensor.temperature);
            if (!temperature) {
                continue;
            }
            limits.clear();
            for (Limit& limit : sensor.limits) {
                // Firmware marks unused trip points and limits with zero or negative temperatures.
                if (const auto value = readNumber(limit.temperature); value && *value > 0) {
                    limits.push_back({*value, limit.level, limit.margin});
                }
            }
            level = std::max(level, sensorLevel(*temperature, limits));
        }
    }
    for (KeptFile& state : throttles_) {
        if (const auto value = readNumber(state); value && *value > 0) {
            level = std::max(level, serious);
        }
    }
    return level;
}

} // namespace halvrick
