#pragma once

#include "core/Date.h"
#include "core/HeatState.h"

#include <optional>

namespace halvrick {

// Suggests a break once the machine has been sweating or hotter for `threshold` seconds, at most once
// per `cooldown`. A plain value; time is an argument.
class HeatBreakTrigger {
public:
    // A threshold below 1 s is taken as 1 s and a negative cooldown as 0.
    HeatBreakTrigger(double threshold, double cooldown);

    double threshold() const { return threshold_; }
    double cooldown() const { return cooldown_; }
    std::optional<Date> hotSince() const { return hotSince_; }
    std::optional<Date> lastPrompt() const { return lastPrompt_; }

    // True when a heat break is due now.
    bool record(HeatState state, Date at);
    // Forgets the hot period and the last firing.
    void reset();

    friend bool operator==(const HeatBreakTrigger&, const HeatBreakTrigger&) = default;

private:
    double threshold_;
    double cooldown_;
    std::optional<Date> hotSince_;
    std::optional<Date> lastPrompt_;
};

} // namespace halvrick
