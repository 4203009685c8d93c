#include "core/SamplerHealth.h"

namespace halvrick {

SamplerHealth::SamplerHealth(int failureThreshold, int recoveryThreshold)
    : failureThreshold_(failureThreshold >= 2 ? failureThreshold : 1),
      recoveryThreshold_(recoveryThreshold >= 2 ? recoveryThreshold : 1) {}

bool SamplerHealth::record(bool available) {
    if (available) {
        failures_ = 0;
        ++successes_;
        if (!isDegraded_) {
            return false;
        }
        if (successes_ < recoveryThreshold_) {
            return true;
        }
        isDegraded_ = false;
        return false;
    }
    successes_ = 0;
    ++failures_;
    if (failures_ < failureThreshold_) {
        return isDegraded_;
    }
    isDegraded_ = true;
    return true;
}

void SamplerHealth::reset() {
    failures_ = 0;
    successes_ = 0;
    isDegraded_ = false;
}

} // namespace halvrick
