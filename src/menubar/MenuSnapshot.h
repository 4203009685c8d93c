#pragma once

#include "core/HeatState.h"
#include "core/RestPhase.h"

#include <optional>

namespace halvrick {

class AppModel;

// What the menus' enabled and ticked states depend on, read from the model at one moment.
struct MenuSnapshot {
    RestPhase restPhase = RestPhase::idle;
    // A cool-down runs, or has finished and not yet been cleared.
    bool coolDown = false;
    std::optional<HeatState> forcedState;
    // Seconds.
    std::optional<double> debugRestInterval;
    bool activeChallenge = false;
    bool ignoredApps = false;
    bool simulatingSamplerFailure = false;

    static MenuSnapshot of(const AppModel& model);

    // Neither a break nor another cool-down is under way.
    bool canStartCoolDown() const { return restPhase != RestPhase::resting && !coolDown; }

    friend bool operator==(const MenuSnapshot&, const MenuSnapshot&) = default;
};

} // namespace halvrick
