#pragma once

#include "core/Date.h"
#include "core/MachineVitals.h"
#include "sampling/MachineReadings.h"
#include "sampling/RepeatingTimer.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace halvrick {

// Reads memory, swap, memory pressure and storage on a repeating timer and hands each reading on as
// MachineVitals. Storage is re-read at most every storageInterval seconds of monotonic time.
class MachineSampler {
public:
    using WallClock = std::function<Date()>;
    using MonotonicClock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr double storageInterval = 30;

    // The real machine: /proc, the home folder (then "/"), a Qt timer and the system clocks.
    MachineSampler();
    MachineSampler(std::unique_ptr<MachineReadings> readings, std::unique_ptr<RepeatingTimer> timer,
                   WallClock wallClock, MonotonicClock monotonicClock);

    std::function<void(const MachineVitals&)> onSample;
    // True when memory statistics could be read.
    std::function<void(bool)> onHealth;

    // Restarts the timer and takes one sample at once.
    void start(double interval);

private:
    void sample();
    std::optional<StorageReading> readStorage(std::chrono::steady_clock::time_point now);
    MemoryPressure readPressure();

    std::unique_ptr<MachineReadings> readings_;
    std::unique_ptr<RepeatingTimer> timer_;
    WallClock wallClock_;
    MonotonicClock monotonicClock_;
    std::optional<StorageReading> lastStorage_;
    std::optional<std::chrono::steady_clock::time_point> lastStorageRead_;
};

} // namespace halvrick
