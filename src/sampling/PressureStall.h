#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace halvrick {

// /proc/pressure/memory: the share of the last ten seconds in which some, or all, non-idle tasks were
// stalled waiting for memory, in percent.
struct PressureStall {
    double someAvg10 = 0;
    std::optional<double> fullAvg10;

    // Nothing without a readable "some" line.
    static std::optional<PressureStall> parse(std::string_view text);

    // Stall percentages at which pressure counts as critical (all tasks stalled) or warning (some stalled).
    static constexpr double fullCriticalAvg10 = 10.0;
    static constexpr double someWarningAvg10 = 10.0;
    // Without pressure stall information: shares of MemAvailable in MemTotal below which pressure counts as
    // critical or warning.
    static constexpr double availableCriticalRatio = 0.05;
    static constexpr double availableWarningRatio = 0.10;

    // Kernel-style levels: 1 normal, 2 warning, 4 critical.
    std::int32_t level() const;
    static std::int32_t levelFromAvailable(std::uint64_t available, std::uint64_t total);
};

} // namespace halvrick
