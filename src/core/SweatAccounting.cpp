#include "core/SweatAccounting.h"

namespace halvrick::SweatAccounting {

std::map<AppKey, double> credit(const std::map<AppKey, double>& cpuSeconds, double interval, HeatState state,
                                const std::set<std::string>& ignoring) {
    if (state < HeatState::sweating) {
        return {};
    }
    double total = 0;
    for (const auto& [key, seconds] : cpuSeconds) {
        total += seconds;
    }
    if (!(total > 0)) {
        return {};
    }
    std::map<AppKey, double> result;
    for (const auto& [key, seconds] : cpuSeconds) {
        if (seconds > 0 && !ignoring.contains(key.id)) {
            result[key] = seconds / total * interval;
        }
    }
    return result;
}

} // namespace halvrick::SweatAccounting
