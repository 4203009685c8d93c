#include "core/VitalsFigures.h"

#include "core/Bytes.h"

#include <algorithm>
#include <vector>

namespace halvrick::VitalsFigures {

double fraction(std::uint64_t part, std::uint64_t whole) {
    if (whole == 0) {
        return 0;
    }
    return std::clamp(static_cast<double>(part) / static_cast<double>(whole), 0.0, 1.0);
}

std::string pressureText(MemoryPressure pressure) {
    switch (pressure) {
    case MemoryPressure::normal:
        return "pressure normal";
    case MemoryPressure::warning:
        return "pressure warning";
    case MemoryPressure::critical:
        return "pressure critical";
    }
    return "pressure normal";
}

std::string swapText(std::uint64_t swapUsed) {
    return swapUsed == 0 ? "none" : Bytes::memory(swapUsed);
}

bool isStorageNearlyFull(const MachineVitals& vitals) {
    return vitals.hasStorage() && vitals.storageFraction() >= 0.9;
}

std::string changeText(const VitalsChange& change) {
    std::vector<std::string> parts;
    if (change.memoryUsed != 0) {
        parts.push_back("Memory " + Bytes::change(change.memoryUsed, false));
    }
    if (change.swapUsed != 0) {
        parts.push_back("Swap " + Bytes::change(change.swapUsed, false));
    }
    if (change.storageFree != 0) {
        parts.push_back("Free " + Bytes::change(change.storageFree, true));
    }
    if (parts.empty()) {
        return "Nothing much changed.";
    }
    std::string text = parts.front();
    for (std::size_t i = 1; i < parts.size(); ++i) {
        text += " · " + parts[i];
    }
    return text;
}

std::optional<std::string> deltaNote(std::uint64_t today, std::uint64_t yesterday) {
    // Signed, so a drop reads negative; the magnitude is taken without negating INT64_MIN.
    const auto delta = static_cast<std::int64_t>(today - yesterday);
    const std::uint64_t magnitude = today >= yesterday ? today - yesterday : yesterday - today;
    if (magnitude < 100'000'000) {
        return std::nullopt;
    }
    return Bytes::change(delta, false) + " since yesterday";
}

std::optional<std::string> appNote(const std::string& id, std::uint64_t bytes,
                                   const std::map<std::string, std::uint64_t>& yesterdayPeaks) {
    const auto peak = yesterdayPeaks.find(id);
    if (peak == yesterdayPeaks.end() || peak->second == 0) {
        return std::nullopt;
    }
    return deltaNote(bytes, peak->second);
}

} // namespace halvrick::VitalsFigures
