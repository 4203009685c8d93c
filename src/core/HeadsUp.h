#pragma once

#include "core/AppKey.h"
#include "core/HeatState.h"
#include "core/ThermalLevel.h"

#include <optional>
#include <utility>

namespace halvrick {

// A short transient notice chosen by the heads-up policy and worded by the text tables.
// Two notices are equal when their case and payload are.
class HeadsUp {
public:
    enum class Kind : int { heatingUp = 0, thermal = 1, cooledDown = 2 };

    // The machine has stayed at `state` for a while; `culprit` is the application most to blame and
    // `cpuLoad` the load behind that heat.
    static HeadsUp heatingUp(HeatState state, std::optional<AppKey> culprit, double cpuLoad) {
        HeadsUp h(Kind::heatingUp);
        h.state_ = state;
        h.culprit_ = std::move(culprit);
        h.cpuLoad_ = cpuLoad;
        return h;
    }
    // The system's thermal level climbed to `level`.
    static HeadsUp thermal(ThermalLevel level) {
        HeadsUp h(Kind::thermal);
        h.level_ = level;
        return h;
    }
    // The heat that was announced is over.
    static HeadsUp cooledDown() { return HeadsUp(Kind::cooledDown); }

    Kind kind() const { return kind_; }
    // Payloads of heatingUp; none (empty) for the other cases.
    std::optional<HeatState> state() const { return state_; }
    const std::optional<AppKey>& culprit() const { return culprit_; }
    std::optional<double> cpuLoad() const { return cpuLoad_; }
    // Payload of thermal; none for the other cases.
    std::optional<ThermalLevel> level() const { return level_; }

    friend bool operator==(const HeadsUp&, const HeadsUp&) = default;

private:
    explicit HeadsUp(Kind kind) : kind_(kind) {}

    Kind kind_;
    std::optional<HeatState> state_;
    std::optional<AppKey> culprit_;
    std::optional<double> cpuLoad_;
    std::optional<ThermalLevel> level_;
};

} // namespace halvrick
