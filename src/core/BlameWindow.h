#pragma once

#include "core/AppKey.h"
#include "core/AppShare.h"
#include "core/Config.h"
#include "core/Date.h"
#include "core/HeatState.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace halvrick {

// The per-application CPU seconds of the last few process samples, turned into shares of the
// machine, the top applications and the one culprit. Ignored sets hold AppKey ids.
class BlameWindow {
public:
    BlameWindow(int coreCount, Config config);

    const Config& config() const { return config_; }
    int coreCount() const { return coreCount_; }

    void add(const std::map<AppKey, double>& cpuSeconds, double interval, Date at);

    // Highest share first; equal shares by display name (code point order).
    std::vector<AppShare> shares(const std::set<std::string>& ignoring) const;
    std::vector<AppShare> topApps(const std::set<std::string>& ignoring) const;
    // The system itself is named only when no application reaches the minimum share.
    std::optional<AppShare> culprit(HeatState state, const std::set<std::string>& ignoring) const;

private:
    struct Sample {
        Date time;
        double interval = 0;
        std::map<AppKey, double> cpuSeconds;
    };

    Config config_;
    int coreCount_;
    std::vector<Sample> samples_;
};

} // namespace halvrick
