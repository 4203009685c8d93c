#include "model/AppModel.h"
#include "model/AppServices.h"
#include "model/Copy.h"

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

std::string wholeSeconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

bool isWorking(RestPhase phase) {
    return phase == RestPhase::active || phase == RestPhase::prompting || phase == RestPhase::snoozed;
}

} // namespace

void AppModel::ingestLoad(double load, Date at) {
    // The idle time is read further down: the X server answers meanwhile instead of being waited for.
    presence_->askAhead();
    publish(cpuLoad_, load, &AppModel::cpuLoadChanged);
    engine_.ingest(load, at);
    publish(score_, engine_.score(), &AppModel::scoreChanged);
    publishState();

    recordTime(at);

    const std::optional<SuppressionReason> reason = presence_->suppression();
    const bool suppressed = restPhase_ == RestPhase::resting || reason || coolDown_;
    const HeatState effective = engine_.displayedState();

    if (settings_.heatBreakEnabled() && settings_.restEnabled() && !coolDown_) {
        const bool fired = heatBreak_.record(effective, at);
        const RestPhase phase = coach_->phase();
        if (fired && !suppressed && (phase == RestPhase::idle || phase == RestPhase::active)) {
            handleRestEvents(coach_->promptNow(), true);
        }
    } else {
        heatBreak_.reset();
    }

    if (isPopoverOpen_) {
        if (std::optional<std::string> note = suppressionNoteFor(reason); note != suppressionNote_) {
            publish(suppressionNote_, std::move(note), &AppModel::suppressionNoteChanged);
        }
    }

    const std::optional<AppShare>& blamed = blame_.culprit();
    const std::optional<AppKey> culprit = blamed ? std::optional(blamed->app) : std::nullopt;
    // The figure is the smoothed load the score is made of: this tick's load alone may already have
    // fallen while the heat it is named for is still real.
    const std::optional<double> heatScore =
        engine_.forcedState() ? std::nullopt : std::optional(engine_.score());
    const double heatLoad = engine_.smoothedLoad().value_or(load);
    if (const auto h = headsUp_.evaluate(effective, heatScore, culprit, heatLoad, thermal_, suppressed, at)) {
        announce(Copy::headsUp(*h, settings_.personality()), std::nullopt, std::nullopt);
    }

    if (settings_.restEnabled()) {
        if (!coolDown_) {
            handleRestEvents(
                coach_->tick(std::chrono::duration<double>(services_->monotonic().time_since_epoch()).count()),
                true);
        }
    } else {
        stopCoolDown();
        if (coach_->phase() != RestPhase::idle) {
            handleRestEvents(coach_->cancel(), true);
        }
    }

    const bool present = isPresent();
    if (const bool dozing = !present && restPhase_ == RestPhase::idle; dozing != isDozing_) {
        publish(isDozing_, dozing, &AppModel::isDozingChanged);
        refreshMenuFace();
    }

    queueDueReminders(at, present, suppressed);
    checkHabits(at);

    updateDebugReadout(at);
}

bool AppModel::isPresent() {
    return !presence_->isAway() && presence_->secondsSinceLastInput() < config_.idleResetThreshold;
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
    const bool active = isWorking(restPhase_);
    if (!hot && !active) {
        return;
    }
    const Calendar calendar = services_->calendar();
    if (hot) {
        stats_->ledger().addHeat(dt, heat, now, calendar);
    }
    if (active) {
        stats_->ledger().addActive(dt, now, calendar);
    }
    statsChanged(now);
}

void AppModel::updateDebugReadout(Date now) {
    std::string line = "raw " + Copy::rounded(cpuLoad_) + "% · score " + Copy::rounded(score_) + " · " +
                       stateName(engine_.state());
    if (const auto pending = engine_.pendingState(); pending && engine_.pendingSince()) {
        const double hold = engine_.hold(*pending > engine_.state());
        const double remaining = std::ceil(std::max(0.0, hold - (now - *engine_.pendingSince())));
        line += std::string(" → ") + stateName(*pending) + " in " + wholeSeconds(remaining) + " s";
    }
    if (const std::vector<AppShare>& top = blame_.topApps(); !top.empty()) {
        line += " · top " + top.front().app.displayName + " " + Copy::percent(top.front().share);
    }
    line += std::string(" · rest ") + std::string(toString(restPhase_)) + " " +
            std::to_string(static_cast<long long>(coach_->activeElapsed() / 60)) + "/" +
            std::to_string(static_cast<long long>(coach_->config().restInterval / 60)) + " min";
    log(line, now);
    publish(debugReadout_, std::move(line), &AppModel::debugReadoutChanged);
}

void AppModel::applySettings() {
    const double interval = debugRestInterval_.value_or(restIntervalSeconds(settings_.restIntervalMinutes()));
    // Written so that a NaN on either side counts as a change.
    if (!(coach_->config().restInterval == interval)) {
        Config changed = coach_->config();
        changed.restInterval = interval;
        coach_->setConfig(changed);
    }
    presence_->quietHours = settings_.quietHours();
    if (headsUp_.config().headsUpEnabled != settings_.headsUpEnabled()) {
        Config changed = headsUp_.config();
        changed.headsUpEnabled = settings_.headsUpEnabled();
        headsUp_.setConfig(changed);
    }
    if (drawnPersonality_ != settings_.personality()) {
        drawnPersonality_ = settings_.personality();
        refreshLine();
        refreshMenuFace();
    }
}

void AppModel::refreshLine() {
    if (samplingFailed_) {
        publish(line_, std::string("I can't read what your computer is doing right now."),
                &AppModel::lineChanged);
        return;
    }
    publish(line_, Copy::heatLine(state_, settings_.personality(), line_, services_->random),
            &AppModel::lineChanged);
}

std::optional<std::string> AppModel::suppressionNoteFor(std::optional<SuppressionReason> reason) {
    if (!reason) {
        return std::nullopt;
    }
    switch (*reason) {
    case SuppressionReason::microphoneInUse:
        return "Shh. You're on a call. Breaks and heads-ups can wait.";
    case SuppressionReason::fullScreenApp:
        return "Shh. You're in full screen. I'll keep quiet.";
    case SuppressionReason::quietHours:
        return "Quiet hours. I'm not saying a word.";
    }
    return std::nullopt;
}

} // namespace halvrick
