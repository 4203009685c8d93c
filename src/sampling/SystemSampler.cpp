#include "sampling/SystemSampler.h"

#include "sampling/SamplingStall.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace halvrick {

namespace {

Date systemNow() {
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return Date::since1970(std::chrono::duration<double>(sinceEpoch).count());
}

// Counters only grow; one that went back (iowait may) has done no work since.
std::uint64_t growth(std::uint64_t now, std::uint64_t before) {
    return now > before ? now - before : 0;
}

} // namespace

SystemSampler::SystemSampler()
    : SystemSampler(std::make_unique<ProcTickReader>(), std::make_unique<SysfsThermalSource>(),
                    std::make_unique<QtRepeatingTimer>(), std::make_unique<QtRepeatingTimer>(), systemNow) {}

SystemSampler::SystemSampler(std::unique_ptr<TickReader> tickReader,
                             std::unique_ptr<ThermalSource> thermalSource,
                             std::unique_ptr<RepeatingTimer> timer,
                             std::unique_ptr<RepeatingTimer> thermalTimer, std::function<Date()> wallClock)
    : tickReader_(std::move(tickReader)), thermalSource_(std::move(thermalSource)),
      wallClock_(std::move(wallClock)), timer_(std::move(timer)), thermalTimer_(std::move(thermalTimer)) {}

SystemSampler::~SystemSampler() = default;

void SystemSampler::start(double interval) {
    stop();
    previous_ = tickReader_->readTicks();
    if (onHealth) {
        onHealth(previous_.has_value());
    }
    timer_->start(interval, [this] { sample(); });
    thermalTimer_->start(thermalPollInterval, [this] { pollThermal(); });
    lastThermal_.reset();
    if (onThermalChange) {
        lastThermal_ = thermalLevelForRawState(thermalSource_->thermalState());
        onThermalChange(*lastThermal_);
    }
}

void SystemSampler::stop() {
    timer_->stop();
    thermalTimer_->stop();
}

void SystemSampler::sample() {
    const SamplingStall stall("load");
    const std::optional<HostCPU::Ticks> ticks = tickReader_->readTicks();
    if (!ticks) {
        if (onHealth) {
            onHealth(false);
        }
        return;
    }
    if (onHealth) {
        onHealth(true);
    }
    if (previous_ && onSample) {
        double load = 0;
        const double busy = static_cast<double>(growth(ticks->busy, previous_->busy));
        const double total = static_cast<double>(growth(ticks->total, previous_->total));
        if (total > 0) {
            const double ratio = busy / total;
            if (ratio > 0) {
                load = std::min(ratio, 1.0) * 100;
            }
        }
        onSample(load, wallClock_());
    }
    previous_ = ticks;
}

void SystemSampler::pollThermal() {
    if (!onThermalChange) {
        return;
    }
    const SamplingStall stall("thermal");
    const ThermalLevel level = thermalLevelForRawState(thermalSource_->thermalState());
    if (level != lastThermal_) {
        lastThermal_ = level;
        onThermalChange(level);
    }
}

} // namespace halvrick
