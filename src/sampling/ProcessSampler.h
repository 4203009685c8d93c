#pragma once

#include "core/AppKey.h"
#include "core/Date.h"
#include "sampling/ApplicationIndex.h"
#include "sampling/HostCPU.h"
#include "sampling/ProcessList.h"
#include "sampling/ProcessReader.h"
#include "sampling/RepeatingTimer.h"
#include "sampling/WorkerQueue.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace halvrick {

class ApplicationIndexWatcher;

// One process sample; outside the sampler so that its readers can name it without the sampler.
struct ProcessSample {
    Date time;
    double interval = 0; // seconds since the previous sample
    std::map<AppKey, double> cpuSeconds;
    std::map<AppKey, std::uint64_t> footprints;
    std::map<AppKey, std::vector<std::int32_t>> pids;
    std::set<std::int32_t> attributedPIDs;
    double ownCPUSeconds = 0;
};

// Every interval, how many CPU seconds each application used since the previous sample and how much
// memory it holds. Machine CPU time that no readable process accounts for goes to the system.
//
// The sweep (listing, reads, attribution) runs through the executor, in the app on the worker thread;
// the main thread only starts sweeps and receives their samples, in order. The readers, clocks and tick
// source are called on the worker; the callbacks and the application index on the main thread.
class ProcessSampler {
public:
    using Sample = ProcessSample;

    // Runs `job` away from the main thread, then `done` on the main thread unless `context` is gone by
    // then; one job at a time, in the order given.
    using Executor = std::function<void(QObject* context, std::function<void()> job, std::function<void()> done)>;

    // What the sampler reads; whatever is left empty is this machine's.
    struct Sources {
        std::unique_ptr<TickReader> tickReader;
        std::unique_ptr<ProcessLister> processLister;
        std::unique_ptr<ProcessReader> processReader;
        std::unique_ptr<RepeatingTimer> timer;
        std::function<Date()> wallClock;
        // Seconds on a clock that never jumps and stands still during suspend.
        std::function<double()> monotonicClock;
        // The application index to attribute with; the default one follows the application folders.
        std::function<std::shared_ptr<const ApplicationIndex>()> applications;
        std::optional<int> coreCount;
        std::optional<std::int32_t> ownPID;
        // Empty: every sweep runs at once on the calling thread.
        Executor executor;
    };

    // Sweeps on `worker`, which must stop before the sampler goes.
    static Executor on(WorkerQueue& worker);

    // A sample this many intervals after the previous one spans a suspend or a stall: it only
    // re-baselines, so that no hours are booked at once.
    static constexpr double maximumIntervalFactor = 3;
    // Seconds by which wall and monotonic elapsed times may differ before the wall clock counts as
    // having jumped, which also re-baselines.
    static constexpr double clockJumpTolerance = 1;
    // A kernel thread stays one and its time is the system's whatever it reads: its pid is read again
    // only every this many sweeps, to find a new process that took the pid over in between.
    static constexpr std::uint64_t uncountedRecheckSweeps = 15;
    // A process that used no CPU since its memory was read holds what it held then, give or take what a
    // run shorter than a clock tick can touch: its memory is read again only every this many sweeps.
    static constexpr std::uint64_t idleFootprintSweeps = 5;

    ProcessSampler();
    explicit ProcessSampler(Sources sources);
    ~ProcessSampler();
    ProcessSampler(const ProcessSampler&) = delete;
    ProcessSampler& operator=(const ProcessSampler&) = delete;

    std::function<void(const Sample&)> onSample;
    // True when the process list was not empty.
    std::function<void(bool healthy)> onHealth;

    int coreCount() const { return coreCount_; }
    std::int32_t ownPID() const { return ownPID_; }

    // Takes one sample now (the first one only sets the baseline), then one every interval.
    void start(double interval);
    // One sample, as the timer takes it; none while the previous sweep is still running.
    void sample();
    // Quitting began: no more sweeps, and a sweep still running is dropped. Also on aboutToQuit.
    void stop();
    bool isSweeping() const { return sweeping_; }

private:
    struct Known {
        std::uint64_t startTime = 0;
        std::uint64_t cpuTime = 0;
        std::uint32_t app = 0;
        // False for kernel threads and the process listing, whose time is left to the system.
        bool counted = true;
        std::uint64_t sweep = 0;
        // The sweep that last read the process.
        std::uint64_t read = 0;
        std::uint64_t footprint = 0;
        std::uint64_t footprintRead = 0;
        // Of one thread at the last reading of its stat, and how long that thread had run before it.
        bool singleThreaded = false;
        std::optional<std::uint64_t> runTime;
        bool tellsRunTime = true;
        // Kept to attribute again when the application index changes.
        std::optional<std::string> path;
        std::optional<std::string> name;
        ApplicationIndex::Sandbox sandbox;
    };

    // One application's part of the current sweep.
    struct Tally {
        std::uint64_t sweep = 0;
        std::uint64_t ticks = 0;
        std::uint64_t footprint = 0;
        std::vector<std::int32_t> pids;
    };

    // What one sweep hands to the main thread.
    struct Outcome {
        bool healthy = false;
        std::optional<Sample> sample;
    };

    // Worker side: everything below up to `lastTicks_` is touched only by the running sweep.
    Outcome sweep(std::shared_ptr<const ApplicationIndex> index, std::optional<double> interval);
    void visit(std::int32_t pid, bool baselineAll, std::uint64_t& ownTicks);
    bool spansGap(double elapsed, double wallElapsed) const;
    Sample report(Date now, double elapsed, const HostCPU::Ticks& ticks, std::uint64_t ownTicks);
    std::uint32_t attribute(const Known& known);
    std::uint32_t intern(const AppKey& key);
    Tally& tally(std::uint32_t app);
    void reattribute();
    void compact();
    // Main thread.
    void deliver(Outcome outcome);

    std::unique_ptr<ApplicationIndexWatcher> watcher_;
    std::unique_ptr<TickReader> tickReader_;
    std::unique_ptr<ProcessLister> processLister_;
    std::unique_ptr<ProcessReader> processReader_;
    std::function<Date()> wallClock_;
    std::function<double()> monotonicClock_;
    std::function<std::shared_ptr<const ApplicationIndex>()> applications_;
    int coreCount_;
    std::int32_t ownPID_;
    std::vector<std::string> listingPaths_;

    std::shared_ptr<const ApplicationIndex> index_;
    // Keys are interned so that a sweep adds numbers, not strings.
    std::vector<AppKey> apps_;
    std::unordered_map<AppKey, std::uint32_t> appNumbers_;
    std::vector<Tally> tallies_;
    std::vector<std::uint32_t> touched_;
    std::vector<std::int32_t> attributed_;

    std::unordered_map<std::int32_t, Known> known_;
    // Listed in the previous sweep but not read, with the start time when it was known.
    std::unordered_map<std::int32_t, std::optional<std::uint64_t>> unread_;
    std::unordered_map<std::int32_t, std::optional<std::uint64_t>> nextUnread_;
    std::uint64_t sweep_ = 0;
    bool lastListingEmpty_ = false;

    std::optional<double> sweepInterval_;
    std::optional<Date> lastTime_;
    double lastMonotonic_ = 0;
    std::optional<HostCPU::Ticks> lastTicks_;

    Executor executor_;
    std::optional<double> interval_;
    bool sweeping_ = false;
    bool stopped_ = false;
    // Finished sweeps reach the sampler only while it exists.
    QObject context_;
    // Last, so that it stops before anything it calls into goes.
    std::unique_ptr<RepeatingTimer> timer_;
};

} // namespace halvrick
