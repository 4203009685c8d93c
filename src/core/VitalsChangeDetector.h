#pragma once

#include "core/Date.h"
#include "core/MachineVitals.h"
#include "core/VitalsEvent.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace halvrick {

// Turns sharp or threshold-crossing changes between consecutive machine samples into vitals events,
// with hysteresis on the storage and swap states and at least `minimumSpacing` between two events of
// one family.
struct VitalsChangeDetector {
    struct Thresholds {
        std::uint64_t storageDelta = 2'000'000'000;
        std::uint64_t memoryDelta = 2'147'483'648;
        // Swap re-arms below a quarter of this.
        std::uint64_t swapStart = 512'000'000;
        double storageTight = 0.90;
        double storageRelaxed = 0.85;
        double minimumSpacing = 900;
    };

    Thresholds thresholds;
    std::optional<MachineVitals> last;
    bool storageWasLow = false;
    bool swapWasHigh = false;
    // Per event family ("storage", "storageLow", "swap", "pressure", "memory"): the sample date of its last
    // event.
    std::map<std::string, Date> lastEvent;

    // The first call only primes the states. Events come in the order storage, swap, pressure, memory.
    std::vector<VitalsEventKind> observe(const MachineVitals& vitals);

    static std::string family(VitalsEventKind::Case c);
};

} // namespace halvrick
