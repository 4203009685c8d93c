#include "model/AppModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace halvrick {

namespace {

// Ticks further apart than this span a sleep, a stall or a clock jump and book nothing.
constexpr double maximumTickGap = 10;

const char* stateName(HeatState state) {
    switch (state) {
    case HeatState::chill:
        return "Chill";
    case HeatState::warm:
        return "Warm";
    case HeatState::sweating:
        return "Sweating";
    case HeatState::meltdown:
        return "Meltdown";
    }
    return "Chill";
}

std::string rounded(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", std::round(value));
    return text;
}

} // namespace

void AppModel::ingestLoad(double load, Date at) {
    publish(cpuLoad_, load, &AppModel::cpuLoadChanged);
    engine_.ingest(load, at);
    publish(score_, engine_.score(), &AppModel::scoreChanged);
    publishState();
    recordTime(at);
    updateDebugReadout(at);
}

void AppModel::recordTime(Date now) {
    if (!lastLoadSample_) {
        lastLoadSample_ = now;
        return;
    }
    const double dt = now - *lastLoadSample_;
    lastLoadSample_ = now;
    if (!(dt > 0 && dt < maximumTickGap)) {
        return;
    }
    // Booked by the engine's own state: a state forced from the debug menu is not history.
    const HeatState heat = engine_.state();
    const bool hot = heat >= HeatState::sweating;
    const bool active = restPhase_ == RestPhase::active || restPhase_ == RestPhase::prompting ||
                        restPhase_ == RestPhase::snoozed;
    if (!hot && !active) {
        return;
    }
    const Calendar calendar = services_.calendar();
    if (hot) {
        stats_->ledger().addHeat(dt, heat, now, calendar);
    }
    if (active) {
        stats_->ledger().addActive(dt, now, calendar);
    }
    statsChanged(now);
}

void AppModel::updateDebugReadout(Date now) {
    std::string line =
        "raw " + rounded(cpuLoad_) + "% · score " + rounded(score_) + " · " + stateName(engine_.state());
    if (const auto pending = engine_.pendingState(); pending && engine_.pendingSince()) {
        const double hold = engine_.hold(*pending > engine_.state());
        const double remaining = std::ceil(std::max(0.0, hold - (now - *engine_.pendingSince())));
        line += std::string(" → ") + stateName(*pending) + " in " + rounded(remaining) + " s";
    }
    line += std::string(" · rest ") + std::string(toString(restPhase_)) + " " +
            std::to_string(static_cast<long long>(coach_->activeElapsed() / 60)) + "/" +
            std::to_string(static_cast<long long>(coach_->config().restInterval / 60)) + " min";
    if (logsSamples_) {
        services_.writeLog("[" + SampleLog::stamp(now, services_.calendar()) + "] " + line);
    }
    publish(debugReadout_, std::move(line), &AppModel::debugReadoutChanged);
}

} // namespace halvrick
