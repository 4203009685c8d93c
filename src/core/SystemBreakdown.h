#pragma once

#include "core/Config.h"
#include "core/Date.h"
#include "core/PSOutput.h"

#include <cstdint>
#include <deque>
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

// Turns the CPU-time growth between process listings into shares per process name, over the last
// `window` seconds of listings: the window of the blame list, so that a part is never measured over a
// shorter burst than the system row it sits under.
class SystemBreakdown {
public:
    explicit SystemBreakdown(int coreCount, double window = Config{}.blameWindow);

    int coreCount() const { return coreCount_; }
    const std::map<std::int32_t, double>& previous() const { return previous_; }
    std::optional<Date> lastTime() const { return lastTime_; }

    // Parts sorted by share descending, ties by name, over the listings of the window. Empty for the
    // first listing, and when no time has passed since the previous one. Processes in `excluding` add
    // nothing but are remembered.
    std::vector<SystemPart> ingest(const std::vector<PSRow>& rows, const std::set<std::int32_t>& excluding,
                                   Date at);
    void reset();

private:
    // The growth between two listings, by name.
    struct Slice {
        Date end;
        double elapsed;
        std::map<std::string, double> seconds;
    };

    int coreCount_;
    double window_;
    std::deque<Slice> slices_;
    std::map<std::int32_t, double> previous_;
    std::optional<Date> lastTime_;
};

} // namespace halvrick
