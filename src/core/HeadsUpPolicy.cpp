#include "core/HeadsUpPolicy.h"

#include "core/SweatEngine.h"

#include <algorithm>

namespace halvrick {

namespace {

// A time stamp later than `at` means the wall clock was set back: the cooldown counts as over rather
// than silencing notices for as long as the clock was moved.
bool withinCooldown(const std::optional<Date>& last, Date at, double cooldown) {
    if (!last) {
        return false;
    }
    const double elapsed = at - *last;
    return elapsed >= 0 && elapsed < cooldown;
}

} // namespace

std::optional<HeadsUp> HeadsUpPolicy::evaluate(HeatState state, std::optional<double> score,
                                               const std::optional<AppKey>& culprit, double cpuLoad,
                                               ThermalLevel thermal, bool suppressed, Date at) {
    const ThermalLevel previous = lastThermal_;
    lastThermal_ = thermal;
    if (!config_.headsUpEnabled) {
        return std::nullopt;
    }

    if (thermal >= ThermalLevel::serious && !suppressed && thermal > previous &&
        !withinCooldown(lastThermalAnnouncement_, at, config_.headsUpThermalCooldown)) {
        lastThermalAnnouncement_ = at;
        return HeadsUp::thermal(thermal);
    }

    if (state < config_.headsUpMinimumState) {
        hotSince_.reset();
        if (!announced_) {
            return std::nullopt;
        }
        announced_.reset();
        if (suppressed) {
            return std::nullopt;
        }
        return HeadsUp::cooledDown();
    }

    if (!hotSince_ || at < *hotSince_) {
        hotSince_ = at;
    }
    // A forced state, and the meltdown of critical thermal pressure, stand whatever the score says.
    const bool scored = score && thermal != ThermalLevel::critical;
    // The episode goes on while the state is held; only what is real now may be announced.
    HeatState named = scored ? std::min(state, SweatEngine::rawState(config_, *score)) : state;
    // An escalation's score must clear the higher bound by the margin the engine leaves a state with:
    // a score wandering about a bound is no rise.
    if (announced_ && scored) {
        named = std::min(named, SweatEngine::rawState(config_, *score - config_.downwardHysteresis));
    }
    if (at - *hotSince_ < config_.headsUpSustain || suppressed) {
        return std::nullopt;
    }
    // The state is about to rise to what the score holds (it waits out the engine's upward hold):
    // naming the lower heat now would bring a second notice a moment later.
    if (scored && SweatEngine::rawState(config_, *score) > state) {
        return std::nullopt;
    }
    if (named < config_.headsUpMinimumState) {
        return std::nullopt;
    }

    if (announced_) {
        // Only an escalation speaks again within an episode, and it skips both cooldowns.
        if (named <= *announced_) {
            return std::nullopt;
        }
    } else {
        if (withinCooldown(lastHeatAnnouncement_, at, config_.headsUpCooldown)) {
            return std::nullopt;
        }
        if (culprit) {
            const auto entry = lastAnnouncementByApp_.find(culprit->id);
            if (entry != lastAnnouncementByApp_.end() &&
                withinCooldown(entry->second, at, config_.headsUpPerAppCooldown)) {
                return std::nullopt;
            }
        }
    }

    announced_ = named;
    lastHeatAnnouncement_ = at;
    if (culprit) {
        lastAnnouncementByApp_.insert_or_assign(culprit->id, at);
    }
    return HeadsUp::heatingUp(named, culprit, cpuLoad);
}

} // namespace halvrick
