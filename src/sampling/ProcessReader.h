#pragma once

#include "sampling/HostCPU.h"
#include "sampling/KeptFile.h"
#include "sampling/ProcFileCache.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace halvrick {

// One process's counters from /proc/<pid>/stat, in clock ticks.
struct ProcessStat {
    // PF_KTHREAD: a kernel thread, whose time belongs to the system.
    static constexpr std::uint32_t kernelThreadFlag = 0x00200000;

    std::uint64_t cpuTime = 0;   // utime + stime of the process's own threads
    std::uint64_t startTime = 0; // since boot; tells a reused identifier apart
    std::uint32_t flags = 0;
    std::uint32_t threads = 0;

    bool isKernelThread() const { return (flags & kernelThreadFlag) != 0; }
    friend bool operator==(const ProcessStat&, const ProcessStat&) = default;
};

// What the process sampler reads of one process. Every read gives nothing when the process is gone
// or hidden from us.
class ProcessReader {
public:
    virtual ~ProcessReader() = default;
    virtual std::optional<ProcessStat> readStat(std::int32_t pid) = 0;
    // Nanoseconds the process's main thread has run (the first field of its schedstat file), far cheaper
    // to read than the stat; nothing where the kernel does not tell.
    virtual std::optional<std::uint64_t> readRunTime(std::int32_t) { return std::nullopt; }
    // Bytes of anonymous memory, resident or swapped out; 0 for a process without any.
    virtual std::optional<std::uint64_t> readFootprint(std::int32_t pid) = 0;
    // The executable's path as the kernel reports it (bytes, not necessarily UTF-8).
    virtual std::optional<std::string> readPath(std::int32_t pid) = 0;
    // The short name (at most 15 bytes, possibly cut inside a character).
    virtual std::optional<std::string> readName(std::int32_t pid) = 0;
    // The text of the process's cgroup file; empty when unreadable.
    virtual std::string readCgroup(std::int32_t pid) = 0;
    // Ticks per second of the CPU and start times.
    virtual double ticksPerSecond() const = 0;
    // Called before every sweep over all processes.
    virtual void beginSweep() {}
    // Called after every sweep over all processes: what is kept for processes that were not read in it
    // can go.
    virtual void endSweep() {}
};

// Reads <procRoot>/<pid>/{stat,schedstat,statm,status,exe,comm,cgroup} with fixed buffers and no
// allocation on the per-sample path (stat, run time and the footprint). With a file cache, those stay
// open between sweeps.
//
// The footprint comes from statm, which the kernel writes for a fraction of what status costs, unless
// <procRoot>/meminfo says some swap is in use (or cannot be read): only status tells a process's swap.
class ProcProcessReader final : public ProcessReader {
public:
    explicit ProcProcessReader(const std::string& procRoot = "/proc",
                               double ticksPerSecond = HostCPU::ticksPerSecond(),
                               std::unique_ptr<ProcFileCache> keptFiles = nullptr);
    ~ProcProcessReader() override;
    ProcProcessReader(const ProcProcessReader&) = delete;
    ProcProcessReader& operator=(const ProcProcessReader&) = delete;

    std::optional<ProcessStat> readStat(std::int32_t pid) override;
    std::optional<std::uint64_t> readRunTime(std::int32_t pid) override;
    std::optional<std::uint64_t> readFootprint(std::int32_t pid) override;
    std::optional<std::string> readPath(std::int32_t pid) override;
    std::optional<std::string> readName(std::int32_t pid) override;
    std::string readCgroup(std::int32_t pid) override;
    double ticksPerSecond() const override { return ticksPerSecond_; }
    void beginSweep() override;
    void endSweep() override;

    // The fields after the last ")" (a name may hold spaces and parentheses).
    static std::optional<ProcessStat> parseStat(std::string_view text);
    // The text between the first "(" and the last ")".
    static std::optional<std::string_view> nameInStat(std::string_view text);
    // (RssAnon + VmSwap) in bytes; 0 when neither line is there.
    static std::uint64_t parseFootprint(std::string_view statusText);
    // (resident - shared) pages of a statm text in bytes, which is RssAnon; nothing for a malformed text.
    static std::optional<std::uint64_t> parseStatmFootprint(std::string_view statmText, std::uint64_t pageSize);
    // Whether a meminfo text shows swap in use; true when it cannot tell.
    static bool swapInUse(std::string_view meminfoText);

private:
    std::optional<std::string_view> read(std::int32_t pid, ProcFileCache::File file, char* buffer,
                                         std::size_t size);

    int procFD_ = -1;
    double ticksPerSecond_;
    std::uint64_t pageSize_;
    bool swapInUse_ = true;
    KeptFile meminfo_;
    std::unique_ptr<ProcFileCache> keptFiles_;
};

} // namespace halvrick
