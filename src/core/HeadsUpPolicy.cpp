#include "core/HeadsUpPolicy.h"

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

// The heat that is real at this tick: `state` as far as `score` reaches its threshold.
HeatState heatInForce(const Config& config, HeatState state, std::optional<double> score,
                      ThermalLevel thermal) {
    // A forced state, and the meltdown of critical thermal pressure, stand whatever the score says.
    if (!score || thermal == ThermalLevel::critical) {
        return state;
    }
    HeatState real = HeatState::chill;
    if (*score >= config.meltdownThreshold) {
        real = HeatState::meltdown;
    } else if (*score >= config.sweatingThreshold) {
        real = HeatState::sweating;
    } else if (*score >= config.warmThreshold) {
        real = HeatState::warm;
    }
    return std::min(state, real);
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
    if (at - *hotSince_ < config_.headsUpSustain || suppressed) {
        return std::nullopt;
    }
    // The episode goes on while the state is held; only what is real now may be announced.
    const HeatState named = heatInForce(config_, state, score, thermal);
    if (named < config_.headsUpMinimumState) {
        return std::nullopt;
    }

    if (announced_) {
        // Only an escalation is announced again within an episode, and it skips both cooldowns.
        if (*announced_ >= named) {
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
