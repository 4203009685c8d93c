#pragma once

#include "core/PSOutput.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace halvrick {

// The process listing read straight from <procRoot>: the rows `ps -A -o pid=,time=,comm=` would
// print, with CPU times to the clock tick instead of whole seconds.
struct ProcListing {
    // One row per process whose stat could be read, kernel threads included; nothing when no process
    // could be listed at all (an unreadable root).
    static std::optional<std::vector<PSRow>> read(const std::string& procRoot = "/proc");
    // A row from the text of /proc/<pid>/stat: the task name between the first "(" and the last ")",
    // CPU time = utime + stime. Nothing for a malformed text or a blank name, as the parser skips them.
    static std::optional<PSRow> parseStat(std::int32_t pid, std::string_view stat, double ticksPerSecond);
};

// Where the breakdown sampler's listings come from; called on the worker thread.
class ListingRunner {
public:
    virtual ~ListingRunner() = default;
    // Nothing when the listing failed.
    virtual std::optional<std::vector<PSRow>> list() = 0;
};

class ProcListingRunner : public ListingRunner {
public:
    explicit ProcListingRunner(std::string procRoot = "/proc") : procRoot_(std::move(procRoot)) {}
    std::optional<std::vector<PSRow>> list() override { return ProcListing::read(procRoot_); }

private:
    const std::string procRoot_;
};

} // namespace halvrick
