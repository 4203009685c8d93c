#pragma once

#include "core/AppKey.h"
#include "core/Config.h"
#include "core/Date.h"
#include "core/HeadsUp.h"
#include "core/HeatState.h"
#include "core/ThermalLevel.h"

#include <map>
#include <optional>
#include <string>
#include <utility>

namespace halvrick {

// Decides once per main tick whether a heads-up is due: the machine stayed hot (naming the culprit),
// the thermal level climbed to serious or critical, or the announced heat is over. Notices are
// rate-limited globally, per application and for thermal news. A plain value; time is an argument.
class HeadsUpPolicy {
public:
    explicit HeadsUpPolicy(Config config) : config_(std::move(config)) {}

    const Config& config() const { return config_; }
    // The app model overwrites headsUpEnabled here from the user's setting.
    void setConfig(const Config& config) { config_ = config; }

    // `state` is the displayed heat state and `score` the heat score under it, none while the state is
    // forced. The displayed state is held for a while after the score has left it, so a heat notice
    // names only as much heat as the score still holds, with `cpuLoad` as its figure; and it lags a
    // rising score by a moment, so a notice waits for it to catch up. An episode of heat gets one
    // notice unless the heat really rises: a higher level's score must clear its bound by a margin.
    // `suppressed`: notices must be held back now (a call, full screen, quiet hours, a break).
    std::optional<HeadsUp> evaluate(HeatState state, std::optional<double> score,
                                    const std::optional<AppKey>& culprit, double cpuLoad,
                                    ThermalLevel thermal, bool suppressed, Date at);

private:
    Config config_;
    std::optional<Date> hotSince_;
    std::optional<HeatState> announced_;
    std::optional<Date> lastHeatAnnouncement_;
    // Keyed by AppKey::id; entries are never removed.
    std::map<std::string, Date> lastAnnouncementByApp_;
    std::optional<Date> lastThermalAnnouncement_;
    ThermalLevel lastThermal_ = ThermalLevel::nominal;
};

} // namespace halvrick
