#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>

namespace halvrick {

// CPU time as /proc keeps it, in clock ticks (sysconf(_SC_CLK_TCK) a second).
struct ProcStat {
    std::string name;
    pid_t parent = 0;
    long long ownTicks = 0;    // utime + stime
    long long reapedTicks = 0; // cutime + cstime: children it has waited for
};

// One /proc/<pid>/stat or /proc/<pid>/task/<tid>/stat; nothing when it is gone or unreadable.
std::optional<ProcStat> readStat(const std::string& path);

// A process with its live descendants: the time of each, plus what each has reaped. A child that ends
// inside a window moves from the live part to its parent's reaped part, so differences stay right.
struct TreeTime {
    long long ticks = 0;
    std::size_t descendants = 0;
};
// Throws when the process itself is gone.
TreeTime treeTime(pid_t root);

// The threads of a process by id, with their names and own ticks.
struct ThreadTime {
    std::string name;
    long long ticks = 0;
};
std::map<pid_t, ThreadTime> threadTimes(pid_t pid);

// The whole machine from the first line of /proc/stat, in ticks summed over all cores.
struct MachineTicks {
    long long busy = 0;
    long long total = 0;
};
MachineTicks machineTicks();
// Busy share of all cores between two readings, 0 to 100.
double busyPercent(const MachineTicks& before, const MachineTicks& after);

// VmRSS in KiB.
std::optional<long long> residentKiB(pid_t pid);
// Processes in /proc right now.
std::size_t processCount();
double ticksPerSecond();

} // namespace halvrick
