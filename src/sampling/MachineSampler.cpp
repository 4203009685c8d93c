#include "sampling/MachineSampler.h"

#include "sampling/LinuxMachineReadings.h"
#include "sampling/SamplingStall.h"

#include <QDir>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace halvrick {

namespace {

Date systemNow() {
    const std::chrono::duration<double> sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return Date::since1970(sinceEpoch.count());
}

} // namespace

MachineSampler::MachineSampler()
    : MachineSampler(std::make_unique<LinuxMachineReadings>(
                         "/proc", std::vector<std::string>{QDir::homePath().toStdString(), "/"}),
                     std::make_unique<QtRepeatingTimer>(), systemNow, std::chrono::steady_clock::now) {}

MachineSampler::MachineSampler(std::unique_ptr<MachineReadings> readings,
                               std::unique_ptr<RepeatingTimer> timer, WallClock wallClock,
                               MonotonicClock monotonicClock)
    : readings_(std::move(readings)), timer_(std::move(timer)), wallClock_(std::move(wallClock)),
      monotonicClock_(std::move(monotonicClock)) {}

void MachineSampler::start(double interval) {
    timer_->stop();
    sample();
    // The timer is owned here, so it never outlives the sampler it calls.
    timer_->start(interval, [this] { sample(); });
}

void MachineSampler::sample() {
    const SamplingStall stall("vitals");
    const Date date = wallClock_();
    const auto now = monotonicClock_();
    const auto memory = readings_->readMemory();
    if (!memory) {
        if (onHealth) {
            onHealth(false);
        }
        return;
    }
    if (onHealth) {
        onHealth(true);
    }
    const auto storage = readStorage(now);
    if (!onSample) {
        return;
    }
    const std::uint64_t storageTotal = storage ? storage->total : 0;
    const std::uint64_t storageFree = storage ? std::min(storage->free, storageTotal) : 0;
    onSample(MachineVitals(date, memory->total, std::min(memory->used, memory->total),
                           std::min(memory->cached, memory->total), readings_->readSwapUsed().value_or(0),
                           readPressure(), storageTotal, storageFree));
}

std::optional<StorageReading> MachineSampler::readStorage(std::chrono::steady_clock::time_point now) {
    if (lastStorage_ && lastStorageRead_ &&
        now - *lastStorageRead_ < std::chrono::duration<double>(storageInterval)) {
        return lastStorage_;
    }
    // A failed reading keeps the last good one and leaves its time alone, so the next sample tries again.
    if (const auto fresh = readings_->readStorage()) {
        lastStorage_ = fresh;
        lastStorageRead_ = now;
    }
    return lastStorage_;
}

MemoryPressure MachineSampler::readPressure() {
    const auto level = readings_->readPressureLevel();
    return level ? memoryPressureFromLevel(*level) : MemoryPressure::normal;
}

} // namespace halvrick
