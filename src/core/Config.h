#pragma once

#include "core/HeatState.h"

#include <array>
#include <cstdint>

namespace halvrick {

// Every tuning number of the system. Durations in seconds; scores on the heat scale 0...100.
struct Config {
    double systemSampleInterval = 1;
    double processSampleInterval = 2;
    double machineSampleInterval = 5;
    double scoreSmoothingTimeConstant = 2;
    double thermalBumpFair = 5;
    double thermalBumpSerious = 35;
    double warmThreshold = 25;
    double sweatingThreshold = 50;
    double meltdownThreshold = 75;
    double downwardHysteresis = 5;
    double upwardStateHold = 3;
    double downwardStateHold = 8;
    double blameWindow = 10;
    double blameMinimumShare = 0.1;
    std::int64_t blameTopCount = 3;
    double restInterval = 3600;
    double idleResetThreshold = 300;
    double restRequiredIdle = 120;
    double restMaximumDuration = 300;
    double snoozeDuration = 900;
    double suppressionRecheckInterval = 60;
    double sideEyeCooldown = 20;
    bool heatBreakEnabled = true;
    double heatBreakThreshold = 1200;
    double heatBreakCooldown = 2700;
    bool headsUpEnabled = true;
    HeatState headsUpMinimumState = HeatState::sweating;
    double headsUpSustain = 10;
    double headsUpCooldown = 300;
    double headsUpPerAppCooldown = 1200;
    double headsUpThermalCooldown = 900;
    double headsUpDisplayDuration = 7;
    std::int64_t statsRetentionDays = 400;

    // The rest intervals a user may pick: 30, 45, 60 and 90 minutes.
    static constexpr std::array<double, 4> restIntervalOptions{1800, 2700, 3600, 5400};

    static const Config& defaults() {
        static const Config value{};
        return value;
    }

    friend bool operator==(const Config&, const Config&) = default;
};

} // namespace halvrick
