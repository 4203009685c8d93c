#include "core/SweatEngine.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace halvrick {

SweatEngine::SweatEngine(Config config) : config_(std::move(config)) {}

HeatState SweatEngine::rawState(const Config& config, double score) {
    if (score >= config.meltdownThreshold) {
        return HeatState::meltdown;
    }
    if (score >= config.sweatingThreshold) {
        return HeatState::sweating;
    }
    if (score >= config.warmThreshold) {
        return HeatState::warm;
    }
    return HeatState::chill;
}

double SweatEngine::hold(bool rising) const {
    return rising ? config_.upwardStateHold : config_.downwardStateHold;
}

HeatState SweatEngine::target() const {
    if (thermal_ == ThermalLevel::critical) {
        return HeatState::meltdown;
    }
    const HeatState raw = rawState(score_);
    if (raw >= state_) {
        return raw;
    }
    return std::min(state_, rawState(score_ + config_.downwardHysteresis));
}

void SweatEngine::settle(HeatState state) {
    state_ = state;
    pendingState_.reset();
    pendingSince_.reset();
}

HeatState SweatEngine::ingest(double cpuLoad, Date at) {
    const bool first = !lastSampleTime_.has_value();

    // Written so that NaN lands on 0.
    double load = cpuLoad > 0 ? cpuLoad : 0;
    load = std::min(load, 100.0);

    double smoothed = load;
    if (smoothedLoad_ && lastSampleTime_) {
        const double dt = at - *lastSampleTime_;
        const double x = dt > 0 ? dt : 0;
        const double alpha = 1 - std::exp(-x / config_.scoreSmoothingTimeConstant);
        smoothed = *smoothedLoad_ + (load - *smoothedLoad_) * alpha;
    }
    smoothedLoad_ = smoothed;
    lastSampleTime_ = at;

    double bump = 0;
    switch (thermal_) {
    case ThermalLevel::nominal:
        break;
    case ThermalLevel::fair:
        bump = config_.thermalBumpFair;
        break;
    case ThermalLevel::serious:
    case ThermalLevel::critical:
        bump = config_.thermalBumpSerious;
        break;
    }
    score_ = smoothed + bump;
    if (score_ <= 0) {
        score_ = 0;
    }
    score_ = std::min(score_, 100.0);

    const HeatState wanted = target();
    if (first || thermal_ == ThermalLevel::critical) {
        settle(wanted);
        return displayedState();
    }
    if (wanted == state_) {
        settle(state_);
        return displayedState();
    }
    const bool rising = state_ < wanted;
    if (pendingState_ && pendingSince_ && (state_ < *pendingState_) == rising) {
        // The wait counts from when the engine first wanted to move this way, even if the goal changed.
        pendingState_ = wanted;
        if (at - *pendingSince_ >= hold(rising)) {
            settle(wanted);
        }
        return displayedState();
    }
    pendingState_ = wanted;
    pendingSince_ = at;
    return displayedState();
}

} // namespace halvrick
