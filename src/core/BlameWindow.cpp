#include "core/BlameWindow.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace halvrick {

BlameWindow::BlameWindow(int coreCount, Config config)
    : config_(std::move(config)), coreCount_(coreCount >= 2 ? coreCount : 1) {}

void BlameWindow::add(const std::map<AppKey, double>& cpuSeconds, double interval, Date at) {
    samples_.push_back(Sample{at, interval, cpuSeconds});
    const Date cutoff = at - config_.blameWindow;
    // A sample stamped after the newest one is left from before the clock was set back; keeping it
    // would blame stale work for as long as the jump.
    std::erase_if(samples_, [&](const Sample& s) { return s.time <= cutoff || s.time > at; });
}

std::vector<AppShare> BlameWindow::shares(const std::set<std::string>& ignoring) const {
    double totalInterval = 0;
    for (const Sample& s : samples_) {
        totalInterval += s.interval;
    }
    if (samples_.empty() || !(totalInterval > 0)) {
        return {};
    }
    std::map<AppKey, double> sums;
    for (const Sample& s : samples_) {
        for (const auto& [key, seconds] : s.cpuSeconds) {
            if (!ignoring.contains(key.id)) {
                sums[key] += seconds;
            }
        }
    }
    const double capacity = totalInterval * static_cast<double>(coreCount_);
    std::vector<AppShare> result;
    result.reserve(sums.size());
    for (const auto& [key, sum] : sums) {
        result.push_back(AppShare{key, sum / capacity});
    }
    // The map's own key order settles equal shares with equal names, so the list never flickers.
    std::stable_sort(result.begin(), result.end(), [](const AppShare& a, const AppShare& b) {
        if (a.share != b.share) {
            return a.share > b.share;
        }
        return a.app.displayName < b.app.displayName;
    });
    return result;
}

std::vector<AppShare> BlameWindow::topApps(const std::set<std::string>& ignoring) const {
    std::vector<AppShare> all = shares(ignoring);
    const auto count = static_cast<std::size_t>(std::max<std::int64_t>(config_.blameTopCount, 0));
    if (all.size() > count) {
        all.resize(count);
    }
    return all;
}

std::optional<AppShare> BlameWindow::culprit(HeatState state, const std::set<std::string>& ignoring) const {
    if (state == HeatState::chill) {
        return std::nullopt;
    }
    std::optional<AppShare> firstKept;
    for (const AppShare& entry : shares(ignoring)) {
        if (!(entry.share >= config_.blameMinimumShare)) {
            continue;
        }
        if (entry.app.kind != AppKey::Kind::system) {
            return entry;
        }
        if (!firstKept) {
            firstKept = entry;
        }
    }
    return firstKept;
}

} // namespace halvrick
