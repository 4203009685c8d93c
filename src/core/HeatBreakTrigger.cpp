#include "core/HeatBreakTrigger.h"

#include <algorithm>

namespace halvrick {

// max() with the bound first also turns NaN into the bound.
HeatBreakTrigger::HeatBreakTrigger(double threshold, double cooldown)
    : threshold_(std::max(1.0, threshold)), cooldown_(std::max(0.0, cooldown)) {}

bool HeatBreakTrigger::record(HeatState state, Date at) {
    if (state < HeatState::sweating) {
        hotSince_.reset();
        return false;
    }
    // A hot period that seems to start in the future means the clock was set back: start it over.
    if (!hotSince_ || at < *hotSince_) {
        hotSince_ = at;
    }
    if (at - *hotSince_ < threshold_) {
        return false;
    }
    // Likewise a last firing in the future no longer holds the next one back.
    if (lastPrompt_ && at >= *lastPrompt_ && at - *lastPrompt_ < cooldown_) {
        return false;
    }
    lastPrompt_ = at;
    hotSince_ = at;
    return true;
}

void HeatBreakTrigger::reset() {
    hotSince_.reset();
    lastPrompt_.reset();
}

} // namespace halvrick
