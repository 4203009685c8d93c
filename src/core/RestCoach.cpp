#include "core/RestCoach.h"

#include <algorithm>
#include <utility>

namespace halvrick {

RestCoach::RestCoach(Config config, std::shared_ptr<TimeSource> time, std::shared_ptr<IdleSource> idle,
                     std::shared_ptr<SuppressionSource> suppression)
    : config_(std::move(config)), time_(std::move(time)), idle_(std::move(idle)),
      suppression_(std::move(suppression)), lastTick_(time_->now()) {}

Date RestCoach::readClock() {
    const Date now = time_->now();
    const double jump = now - lastTick_;
    if (jump < 0) {
        for (std::optional<Date>* stored :
             {&stretchStart_, &snoozeUntil_, &restStart_, &lastSideEye_, &nextSuppressionCheck_}) {
            if (*stored) {
                **stored += jump;
            }
        }
        lastTick_ = now;
    }
    return now;
}

void RestCoach::startActive(Date at, Date now) {
    phase_ = RestPhase::active;
    activeElapsed_ = std::max(0.0, now - at);
    stretchStart_ = at;
    restStart_.reset();
    snoozeUntil_.reset();
    nextSuppressionCheck_.reset();
}

void RestCoach::endStretch(Date at, std::vector<RestEvent>& events) {
    if (!stretchStart_) {
        return;
    }
    const double duration = at - *stretchStart_;
    stretchStart_.reset();
    if (duration > 0) {
        events.push_back(RestEvent::stretchEnded(duration));
    }
}

void RestCoach::goIdle(Date endingStretchAt, std::vector<RestEvent>& events) {
    endStretch(endingStretchAt, events);
    phase_ = RestPhase::idle;
    activeElapsed_ = 0;
    snoozeUntil_.reset();
    nextSuppressionCheck_.reset();
}

void RestCoach::tryPrompt(Date now, std::vector<RestEvent>& events) {
    if (nextSuppressionCheck_ && now < *nextSuppressionCheck_) {
        return;
    }
    if (const auto reason = suppression_->currentSuppression()) {
        nextSuppressionCheck_ = now + config_.suppressionRecheckInterval;
        events.push_back(RestEvent::promptSuppressed(*reason));
        return;
    }
    nextSuppressionCheck_.reset();
    snoozeUntil_.reset();
    phase_ = RestPhase::prompting;
    events.push_back(RestEvent::promptShown());
}

std::vector<RestEvent> RestCoach::tick(std::optional<double> monotonicSeconds) {
    const Date now = readClock();
    // max() with 0 first also turns a NaN reading into "input just now".
    const double idle = std::max(0.0, idle_->secondsSinceLastInput());
    const double lag = std::max(0.0, idle_->readingLag());
    const Date lastInput = now - idle;
    // Input is news when it came after the moment the previous reading told of, not after the previous
    // tick: a source whose answers are a question old then sees it a tick late instead of never.
    const bool inputSinceLastTick = lastInput > lastTick_ - lastLag_;
    double dt = std::max(now - lastTick_, 0.0);
    lastTick_ = now;
    lastLag_ = lag;
    if (monotonicSeconds) {
        if (lastMonotonic_) {
            dt = std::max(0.0, *monotonicSeconds - *lastMonotonic_);
        }
        dt = std::min(dt, longestTickCredit());
        lastMonotonic_ = monotonicSeconds;
    }

    std::vector<RestEvent> events;
    switch (phase_) {
    case RestPhase::idle:
        if (inputSinceLastTick) {
            startActive(lastInput, now);
        }
        break;
    case RestPhase::active:
        if (idle >= config_.idleResetThreshold) {
            goIdle(lastInput, events);
        } else {
            activeElapsed_ += dt;
            if (activeElapsed_ >= config_.restInterval) {
                tryPrompt(now, events);
            }
        }
        break;
    case RestPhase::prompting:
        if (idle >= config_.idleResetThreshold) {
            goIdle(lastInput, events);
        }
        break;
    case RestPhase::snoozed:
        if (idle >= config_.idleResetThreshold) {
            goIdle(lastInput, events);
        } else if (snoozeUntil_ && now >= *snoozeUntil_) {
            tryPrompt(now, events);
        }
        break;
    case RestPhase::resting:
        tickResting(now, lastInput, inputSinceLastTick, events);
        break;
    case RestPhase::breakTaken:
        if (inputSinceLastTick) {
            startActive(lastInput, now);
            events.push_back(RestEvent::wokeUpHappy());
        }
        break;
    }
    return events;
}

void RestCoach::tickResting(Date now, Date lastInput, bool inputSinceLastTick,
                            std::vector<RestEvent>& events) {
    if (!restStart_) {
        return;
    }
    const Date restStart = *restStart_;
    const double calm = now - std::max(lastInput, restStart);
    if (calm >= config_.restRequiredIdle) {
        phase_ = RestPhase::breakTaken;
        endStretch(restStart, events);
        events.push_back(RestEvent::breakCompleted());
    } else if (now - restStart >= config_.restMaximumDuration) {
        phase_ = RestPhase::active;
        activeElapsed_ = 0;
        restStart_.reset();
        events = {RestEvent::restAbandoned()};
    } else if (inputSinceLastTick && lastInput > restStart &&
               (!lastSideEye_ || now - *lastSideEye_ >= config_.sideEyeCooldown)) {
        lastSideEye_ = now;
        events = {RestEvent::sideEye()};
    }
}

std::vector<RestEvent> RestCoach::promptNow() {
    if (phase_ != RestPhase::idle && phase_ != RestPhase::active && phase_ != RestPhase::snoozed) {
        return {};
    }
    const Date now = readClock();
    if (phase_ == RestPhase::idle) {
        startActive(now, now);
    }
    snoozeUntil_.reset();
    nextSuppressionCheck_.reset();
    phase_ = RestPhase::prompting;
    return {RestEvent::promptShown()};
}

std::vector<RestEvent> RestCoach::acceptRest() {
    if (phase_ != RestPhase::active && phase_ != RestPhase::prompting && phase_ != RestPhase::snoozed) {
        return {};
    }
    const Date now = readClock();
    phase_ = RestPhase::resting;
    restStart_ = now;
    lastSideEye_.reset();
    snoozeUntil_.reset();
    return {RestEvent::restStarted()};
}

std::vector<RestEvent> RestCoach::snooze() {
    if (phase_ != RestPhase::prompting) {
        return {};
    }
    const Date now = readClock();
    phase_ = RestPhase::snoozed;
    snoozeUntil_ = now + config_.snoozeDuration;
    return {RestEvent::snoozed()};
}

std::vector<RestEvent> RestCoach::notNow() {
    if (phase_ != RestPhase::prompting) {
        return {};
    }
    phase_ = RestPhase::active;
    activeElapsed_ = 0;
    return {RestEvent::dismissed()};
}

std::vector<RestEvent> RestCoach::recordManualBreak() {
    if (phase_ == RestPhase::resting || phase_ == RestPhase::breakTaken) {
        return {};
    }
    const Date now = readClock();
    std::vector<RestEvent> events;
    if (phase_ == RestPhase::idle) {
        startActive(now, now);
    } else {
        endStretch(now, events);
        // Work after the break is a stretch of its own, so its length reaches the statistics too.
        stretchStart_ = now;
    }
    phase_ = RestPhase::active;
    activeElapsed_ = 0;
    snoozeUntil_.reset();
    restStart_.reset();
    lastSideEye_.reset();
    events.push_back(RestEvent::breakCompleted());
    return events;
}

std::vector<RestEvent> RestCoach::cancel() {
    if (phase_ == RestPhase::idle) {
        return {};
    }
    const Date now = readClock();
    std::vector<RestEvent> events;
    goIdle(now, events);
    restStart_.reset();
    lastSideEye_.reset();
    return events;
}

std::vector<RestEvent> RestCoach::presenceLost() {
    if (phase_ != RestPhase::active && phase_ != RestPhase::prompting && phase_ != RestPhase::snoozed) {
        return {};
    }
    const Date now = readClock();
    std::vector<RestEvent> events;
    goIdle(now, events);
    return events;
}

double RestCoach::currentStretch() const {
    if (!stretchStart_) {
        return 0;
    }
    return std::max(0.0, time_->now() - *stretchStart_);
}

std::optional<double> RestCoach::restRemaining() const {
    if (phase_ != RestPhase::resting || !restStart_) {
        return std::nullopt;
    }
    const Date now = time_->now();
    const Date lastInput = now - std::max(0.0, idle_->secondsSinceLastInput());
    // A clock set back since the last tick would make the calm negative until that tick moves the rest.
    const double calm = std::max(0.0, now - std::max(lastInput, *restStart_));
    return std::max(0.0, config_.restRequiredIdle - calm);
}

std::optional<Date> RestCoach::restEndsAt() const {
    if (phase_ != RestPhase::resting || !restStart_) {
        return std::nullopt;
    }
    return *restStart_ + config_.restMaximumDuration;
}

} // namespace halvrick
