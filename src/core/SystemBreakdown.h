#pragma once

#include "core/Date.h"
#include "core/PSOutput.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace halvrick {

// A busy part of the system: all processes of one name, with their share of the whole machine
// (1.0 is every core busy for the whole interval).
struct SystemPart {
    std::string name;
    double share = 0;

    friend bool operator==(const SystemPart&, const SystemPart&) = default;
};

// Turns the CPU-time growth between two process listings into shares per process name.
class SystemBreakdown {
public:
    explicit SystemBreakdown(int coreCount);

    int coreCount() const { return coreCount_; }
    const std::map<std::int32_t, double>& previous() const { return previous_; }
    std::optional<Date> lastTime() const { return lastTime_; }

    // Parts sorted by share descending, ties by name. Empty for the first listing, and when no time
    // has passed since the previous one. Processes in `excluding` add nothing but are remembered.
    std::vector<SystemPart> ingest(const std::vector<PSRow>& rows, const std::set<std::int32_t>& excluding,
                                   Date at);
    void reset();

private:
    int coreCount_;
    std::map<std::int32_t, double> previous_;
    std::optional<Date> lastTime_;
};

} // namespace halvrick
