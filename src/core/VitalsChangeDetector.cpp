#include "core/VitalsChangeDetector.h"

namespace halvrick {

std::string VitalsChangeDetector::family(VitalsEventKind::Case c) {
    switch (c) {
    case VitalsEventKind::Case::storageFreed:
    case VitalsEventKind::Case::storageFilled:
        return "storage";
    case VitalsEventKind::Case::storageLow:
        return "storageLow";
    case VitalsEventKind::Case::swapStarted:
        return "swap";
    case VitalsEventKind::Case::pressureCritical:
        return "pressure";
    case VitalsEventKind::Case::memoryFreed:
        return "memory";
    }
    return {};
}

std::vector<VitalsEventKind> VitalsChangeDetector::observe(const MachineVitals& vitals) {
    if (!last) {
        // The fixed 0.9 of MachineVitals, not the storageTight threshold.
        storageWasLow = vitals.isStorageTight();
        swapWasHigh = vitals.swapUsed >= thresholds.swapStart;
        last = vitals;
        return {};
    }
    const MachineVitals& previous = *last;
    std::vector<VitalsEventKind> candidates;

    if (vitals.storageTotal != 0 && previous.storageTotal != 0) {
        std::optional<VitalsEventKind> storage;
        const std::uint64_t now = vitals.storageFree;
        const std::uint64_t before = previous.storageFree;
        if (now > before && now - before >= thresholds.storageDelta) {
            storage = VitalsEventKind::storageFreed(now - before);
        } else if (before > now && before - now >= thresholds.storageDelta) {
            storage = VitalsEventKind::storageFilled(before - now);
        }
        const double used = vitals.storageFraction();
        if (used >= thresholds.storageTight && !storageWasLow) {
            storageWasLow = true;
            storage = VitalsEventKind::storageLow(vitals.storageFree);
        } else if (used < thresholds.storageRelaxed) {
            storageWasLow = false;
        }
        if (storage) {
            candidates.push_back(*storage);
        }
    }

    if (vitals.swapUsed >= thresholds.swapStart && !swapWasHigh) {
        swapWasHigh = true;
        candidates.push_back(VitalsEventKind::swapStarted(vitals.swapUsed));
    } else if (vitals.swapUsed < thresholds.swapStart / 4) {
        swapWasHigh = false;
    }

    if (vitals.pressure == MemoryPressure::critical && previous.pressure != MemoryPressure::critical) {
        candidates.push_back(VitalsEventKind::pressureCritical());
    }

    if (previous.memoryUsed > vitals.memoryUsed &&
        previous.memoryUsed - vitals.memoryUsed >= thresholds.memoryDelta) {
        candidates.push_back(VitalsEventKind::memoryFreed(previous.memoryUsed - vitals.memoryUsed));
    }

    std::vector<VitalsEventKind> kept;
    for (const auto& candidate : candidates) {
        const std::string key = family(candidate.eventCase());
        const auto it = lastEvent.find(key);
        // A sample dated before the family's last event (clock set back) counts as too soon.
        if (it != lastEvent.end() && vitals.date - it->second < thresholds.minimumSpacing) {
            continue;
        }
        lastEvent[key] = vitals.date;
        kept.push_back(candidate);
    }
    last = vitals;
    return kept;
}

} // namespace halvrick
