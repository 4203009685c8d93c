#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace halvrick {

// One process of a process listing.
struct PSRow {
    std::int32_t pid = 0;
    // Accumulated CPU time in seconds.
    double cpuSeconds = 0;
    // As listed, trimmed: an executable's path or a task name, always valid UTF-8.
    std::string command;

    // For a path, its last non-empty component. A task name holding "/" is a kernel thread's
    // "base/instance" name (kworker/0:1-events, ksoftirqd/3): its base, so a thread's instances on
    // every CPU count as one. Otherwise the whole command.
    std::string name() const;

    friend bool operator==(const PSRow&, const PSRow&) = default;
};

// Parses the text of `ps -A -o pid=,time=,comm=`.
namespace PSOutput {

// One row per well-formed line, in the order of the lines; other lines are skipped. Bytes that are
// not UTF-8 are replaced with U+FFFD in their own line only.
std::vector<PSRow> parse(std::string_view text);

// [days-][[hours:]minutes:]seconds, each piece a plain decimal that may carry a fraction.
std::optional<double> parseCPUTime(std::string_view text);

} // namespace PSOutput

} // namespace halvrick
