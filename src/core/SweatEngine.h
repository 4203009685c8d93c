#pragma once

#include "core/Config.h"
#include "core/Date.h"
#include "core/HeatState.h"
#include "core/ThermalLevel.h"

#include <optional>

namespace halvrick {

// Turns CPU load and thermal pressure into a heat score and a displayed heat state. The state moves
// only after its target has held for a while, and falls only past a hysteresis band, so the face
// does not flicker with every busy second.
class SweatEngine {
public:
    explicit SweatEngine(Config config);

    // Feeds one load sample (percent) taken at `at`; returns the displayed state.
    HeatState ingest(double cpuLoad, Date at);

    HeatState displayedState() const { return forcedState_.value_or(state_); }

    // Takes effect at the next sample.
    void setThermal(ThermalLevel level) { thermal_ = level; }

    // A debug override of what is reported; the engine's own state keeps following the load.
    std::optional<HeatState> forcedState() const { return forcedState_; }
    void setForcedState(std::optional<HeatState> state) { forcedState_ = state; }

    std::optional<double> smoothedLoad() const { return smoothedLoad_; }
    double score() const { return score_; }
    HeatState state() const { return state_; }
    ThermalLevel thermal() const { return thermal_; }
    std::optional<HeatState> pendingState() const { return pendingState_; }
    std::optional<Date> pendingSince() const { return pendingSince_; }

    // The state of a score without hysteresis; each bound belongs to the state above it.
    static HeatState rawState(const Config& config, double score);
    HeatState rawState(double score) const { return rawState(config_, score); }
    double hold(bool rising) const;

private:
    HeatState target() const;
    void settle(HeatState state);

    Config config_;
    std::optional<double> smoothedLoad_;
    double score_ = 0;
    HeatState state_ = HeatState::chill;
    ThermalLevel thermal_ = ThermalLevel::nominal;
    std::optional<HeatState> forcedState_;
    std::optional<HeatState> pendingState_;
    std::optional<Date> pendingSince_;
    std::optional<Date> lastSampleTime_;
};

} // namespace halvrick
