#pragma once

#include "core/Date.h"
#include "core/ThermalLevel.h"
#include "sampling/HostCPU.h"
#include "sampling/RepeatingTimer.h"
#include "sampling/ThermalSource.h"

#include <functional>
#include <memory>
#include <optional>

namespace halvrick {

// The main heartbeat: the machine-wide CPU load once per interval, the thermal level whenever it
// changes, and after every reading whether the counters could be read.
class SystemSampler {
public:
    // The kernel has no thermal change notification, so the level is read this often instead.
    static constexpr double thermalPollInterval = 2;

    // Reads /proc and /sys of this machine on Qt timers, stamping samples with the system clock.
    SystemSampler();
    SystemSampler(std::unique_ptr<TickReader> tickReader, std::unique_ptr<ThermalSource> thermalSource,
                  std::unique_ptr<RepeatingTimer> timer, std::unique_ptr<RepeatingTimer> thermalTimer,
                  std::function<Date()> wallClock);
    ~SystemSampler();
    SystemSampler(const SystemSampler&) = delete;
    SystemSampler& operator=(const SystemSampler&) = delete;

    // Load in percent, 0 to 100, and when it was measured.
    std::function<void(double load, Date at)> onSample;
    std::function<void(ThermalLevel level)> onThermalChange;
    // The thermal level comes from a sensor, rather than standing in for one that is missing.
    bool thermalSensed() const { return thermalSource_->hasSensor(); }
    std::function<void(bool healthy)> onHealth;

    // Takes the baseline now; the first load comes one interval later.
    void start(double interval);
    void stop();

private:
    void sample();
    void pollThermal();

    std::unique_ptr<TickReader> tickReader_;
    std::unique_ptr<ThermalSource> thermalSource_;
    std::function<Date()> wallClock_;
    std::optional<HostCPU::Ticks> previous_;
    std::optional<ThermalLevel> lastThermal_;
    // Last, so that they go first and never fire into a half-destroyed sampler.
    std::unique_ptr<RepeatingTimer> timer_;
    std::unique_ptr<RepeatingTimer> thermalTimer_;
};

} // namespace halvrick
