#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>

namespace halvrick {

// The name and parent of a process or thread as /proc/.../stat gives them.
struct ProcStat {
    std::string name;
    pid_t parent = 0;
};

// One /proc/<pid>/stat or /proc/<pid>/task/<tid>/stat; nothing when it is gone or unreadable.
std::optional<ProcStat> readStat(const std::string& path);

// Nanoseconds a thread has spent on a CPU: the first field of /proc/<pid>/task/<tid>/schedstat, exact
// where stat's utime and stime count whole 10 ms ticks. Nothing when it is gone or unreadable.
std::optional<long long> readSchedNanoseconds(const std::string& path);

// A process with its live descendants: the time on CPU of each of their live threads. Threads and
// processes that end inside a window take their time with them (the app's threads live as long as it).
struct TreeTime {
    long long nanoseconds = 0;
    std::size_t descendants = 0;
};
// Throws when the process itself is gone.
TreeTime treeTime(pid_t root);

// The threads of a process by id, with their names and nanoseconds on CPU.
struct ThreadTime {
    std::string name;
    long long nanoseconds = 0;
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

} // namespace halvrick
