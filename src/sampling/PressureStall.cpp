#include "sampling/PressureStall.h"

#include <charconv>
#include <cmath>

namespace halvrick {

namespace {

constexpr std::int32_t normalLevel = 1;
constexpr std::int32_t warningLevel = 2;
constexpr std::int32_t criticalLevel = 4;

// The avg10 figure of a line such as "some avg10=1.25 avg60=0.40 avg300=0.10 total=123456".
std::optional<double> avg10(std::string_view line) {
    constexpr std::string_view key = "avg10=";
    const auto at = line.find(key);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view rest = line.substr(at + key.size());
    double value = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (error != std::errc() || end == rest.data() || !std::isfinite(value) || value < 0) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<PressureStall> PressureStall::parse(std::string_view text) {
    std::optional<double> some;
    std::optional<double> full;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        const std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        if (line.starts_with("some ")) {
            some = avg10(line);
        } else if (line.starts_with("full ")) {
            full = avg10(line);
        }
    }
    if (!some) {
        return std::nullopt;
    }
    return PressureStall{*some, full};
}

std::int32_t PressureStall::level() const {
    if (fullAvg10 && *fullAvg10 >= fullCriticalAvg10) {
        return criticalLevel;
    }
    return someAvg10 >= someWarningAvg10 ? warningLevel : normalLevel;
}

std::int32_t PressureStall::levelFromAvailable(std::uint64_t available, std::uint64_t total) {
    if (total == 0) {
        return normalLevel;
    }
    const double ratio = static_cast<double>(available) / static_cast<double>(total);
    if (ratio < availableCriticalRatio) {
        return criticalLevel;
    }
    return ratio < availableWarningRatio ? warningLevel : normalLevel;
}

} // namespace halvrick
