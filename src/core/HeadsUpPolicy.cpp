#include "core/HeadsUpPolicy.h"

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

std::optional<HeadsUp> HeadsUpPolicy::evaluate(HeatState state, const std::optional<AppKey>& culprit,
                                               double cpuLoad, ThermalLevel thermal, bool suppressed,
                                               Date at) {
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

    if (announced_) {
        // Only an escalation is announced again within an episode, and it skips both cooldowns.
        if (*announced_ >= state) {
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

    announced_ = state;
    lastHeatAnnouncement_ = at;
    if (culprit) {
        lastAnnouncementByApp_.insert_or_assign(culprit->id, at);
    }
    return HeadsUp::heatingUp(state, culprit, cpuLoad);
}

} // namespace halvrick
