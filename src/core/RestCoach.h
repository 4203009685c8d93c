#pragma once

#include "core/Config.h"
#include "core/Date.h"
#include "core/RestEvent.h"
#include "core/RestPhase.h"
#include "core/RestSources.h"

#include <memory>
#include <optional>
#include <vector>

namespace halvrick {

// Watches one work stretch at a time and offers a break once enough active time has passed. It shows
// nothing itself: every call returns the events that happened, in order.
//
// Time, idle seconds and suppression are read only through the three sources, which must not be null;
// the coach shares ownership of them (the presence tracker serves as both idle and suppression source).
// Not thread-safe: every call comes from the main thread.
class RestCoach {
public:
    RestCoach(Config config, std::shared_ptr<TimeSource> time, std::shared_ptr<IdleSource> idle,
              std::shared_ptr<SuppressionSource> suppression);

    RestCoach(const RestCoach&) = delete;
    RestCoach& operator=(const RestCoach&) = delete;

    const Config& config() const { return config_; }
    void setConfig(const Config& config) { config_ = config; }

    RestPhase phase() const { return phase_; }
    // Active seconds counted toward the next prompt.
    double activeElapsed() const { return activeElapsed_; }

    // Called once a second. `monotonicSeconds` reads a clock that never jumps: with it, active time grows
    // by the time that clock says passed since the previous tick, at most longestTickCredit(), never by
    // a step of the wall clock.
    std::vector<RestEvent> tick(std::optional<double> monotonicSeconds = std::nullopt);

    // Twice the tick interval: a late tick still counts whole, a stall or a suspend does not.
    double longestTickCredit() const { return 2 * config_.systemSampleInterval; }

    // The user's answers and the model's reactions; each returns no events when the phase does not
    // allow it, and then changes nothing.
    std::vector<RestEvent> promptNow();
    std::vector<RestEvent> acceptRest();
    std::vector<RestEvent> snooze();
    std::vector<RestEvent> notNow();
    std::vector<RestEvent> recordManualBreak();
    std::vector<RestEvent> cancel();
    std::vector<RestEvent> presenceLost();

    // Seconds since the current stretch began; 0 without a stretch.
    double currentStretch() const;
    // Calm seconds still needed to complete the break; none unless resting.
    std::optional<double> restRemaining() const;
    // When a break that never gets calm enough is given up; none unless resting.
    std::optional<Date> restEndsAt() const;

private:
    // The current time. A time before the previous tick means the wall clock was set back: every
    // stored time moves back with it, so snoozes, breaks and stretches keep their real lengths.
    Date readClock();
    void startActive(Date at, Date now);
    void endStretch(Date at, std::vector<RestEvent>& events);
    void goIdle(Date endingStretchAt, std::vector<RestEvent>& events);
    void tryPrompt(Date now, std::vector<RestEvent>& events);
    void tickResting(Date now, Date lastInput, bool inputSinceLastTick, std::vector<RestEvent>& events);

    Config config_;
    RestPhase phase_ = RestPhase::idle;
    double activeElapsed_ = 0;
    std::shared_ptr<TimeSource> time_;
    std::shared_ptr<IdleSource> idle_;
    std::shared_ptr<SuppressionSource> suppression_;
    Date lastTick_;
    // The previous tick's reading was true of lastTick_ minus this.
    double lastLag_ = 0;
    std::optional<double> lastMonotonic_;
    std::optional<Date> stretchStart_;
    std::optional<Date> snoozeUntil_;
    std::optional<Date> restStart_;
    std::optional<Date> lastSideEye_;
    std::optional<Date> nextSuppressionCheck_;
};

} // namespace halvrick
