#include "sampling/ProcessSampler.h"

#include "core/AppAttribution.h"
#include "sampling/ApplicationIndexWatcher.h"
#include "sampling/SamplingStall.h"
#include "core/MendedUTF8.h"

#include <QCoreApplication>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace halvrick {

namespace {

// Interned keys that no process uses any more are dropped once they outnumber the live ones by this.
constexpr std::size_t compactionSlack = 256;

std::uint64_t growth(std::uint64_t now, std::uint64_t before) { return now > before ? now - before : 0; }

// The process listing's own program: "/bin/ps", and what it resolves to on a merged /usr.
std::vector<std::string> listingPaths() {
    std::vector<std::string> paths{"/bin/ps"};
    char resolved[PATH_MAX];
    if (::realpath("/bin/ps", resolved) && paths.front() != resolved) {
        paths.emplace_back(resolved);
    }
    return paths;
}

double secondsOn(auto now) { return std::chrono::duration<double>(now.time_since_epoch()).count(); }

} // namespace

ProcessSampler::ProcessSampler() : ProcessSampler(Sources{}) {}

ProcessSampler::ProcessSampler(Sources sources)
    : tickReader_(std::move(sources.tickReader)),
      processLister_(std::move(sources.processLister)),
      processReader_(std::move(sources.processReader)),
      wallClock_(std::move(sources.wallClock)),
      monotonicClock_(std::move(sources.monotonicClock)),
      applications_(std::move(sources.applications)),
      coreCount_(sources.coreCount.value_or(static_cast<int>(std::max(1L, ::sysconf(_SC_NPROCESSORS_ONLN))))),
      ownPID_(sources.ownPID.value_or(static_cast<std::int32_t>(::getpid()))),
      listingPaths_(listingPaths()), executor_(std::move(sources.executor)),
      timer_(std::move(sources.timer)) {
    if (!tickReader_) {
        tickReader_ = std::make_unique<ProcTickReader>();
    }
    if (!processLister_) {
        processLister_ = std::make_unique<ProcProcessLister>();
    }
    if (!processReader_) {
        processReader_ = std::make_unique<ProcProcessReader>("/proc", HostCPU::ticksPerSecond(),
                                                             std::make_unique<ProcFileCache>());
    }
    if (!wallClock_) {
        wallClock_ = [] { return Date::since1970(secondsOn(std::chrono::system_clock::now())); };
    }
    if (!monotonicClock_) {
        monotonicClock_ = [] { return secondsOn(std::chrono::steady_clock::now()); };
    }
    if (!applications_) {
        watcher_ = std::make_unique<ApplicationIndexWatcher>();
        applications_ = [watcher = watcher_.get()] { return watcher->current(); };
    }
    if (!timer_) {
        timer_ = std::make_unique<QtRepeatingTimer>();
    }
    if (!executor_) {
        executor_ = [](QObject*, std::function<void()> job, std::function<void()> done) {
            job();
            done();
        };
    }
    if (auto* app = QCoreApplication::instance()) {
        QObject::connect(app, &QCoreApplication::aboutToQuit, &context_, [this] { stop(); });
    }
}

ProcessSampler::~ProcessSampler() = default;

ProcessSampler::Executor ProcessSampler::on(WorkerQueue& worker) {
    return [&worker](QObject* context, std::function<void()> job, std::function<void()> done) {
        worker.post(context, std::move(job), std::move(done));
    };
}

void ProcessSampler::start(double interval) {
    if (stopped_) {
        return;
    }
    timer_->stop();
    interval_ = interval;
    sample();
    timer_->start(interval, [this] { sample(); });
}

void ProcessSampler::stop() {
    stopped_ = true;
    timer_->stop();
}

void ProcessSampler::sample() {
    // One sweep at a time: a tick that finds the previous one still running is skipped, so no process
    // is read twice for one interval.
    if (stopped_ || sweeping_) {
        return;
    }
    const SamplingStall stall("process sweep");
    sweeping_ = true;
    auto outcome = std::make_shared<Outcome>();
    executor_(
        &context_,
        [this, outcome, index = applications_(), interval = interval_]() mutable {
            *outcome = sweep(std::move(index), interval);
        },
        [this, outcome] {
            sweeping_ = false;
            deliver(std::move(*outcome));
        });
}

void ProcessSampler::deliver(Outcome outcome) {
    if (stopped_) {
        return;
    }
    const SamplingStall stall("process sample");
    if (onHealth) {
        onHealth(outcome.healthy);
    }
    if (outcome.sample && onSample) {
        onSample(*outcome.sample);
    }
}

ProcessSampler::Outcome ProcessSampler::sweep(std::shared_ptr<const ApplicationIndex> index,
                                              std::optional<double> interval) {
    const Date now = wallClock_();
    const double monotonic = monotonicClock_();
    const std::optional<HostCPU::Ticks> ticks = tickReader_->readTicks();
    const bool first = !lastTime_;
    sweepInterval_ = interval;

    if (index != index_) {
        index_ = std::move(index);
        reattribute();
    }

    Outcome outcome;
    processReader_->beginSweep();
    const std::vector<std::int32_t> pids = processLister_->allPIDs();
    outcome.healthy = !pids.empty();
    // After a listing that found nothing, every process would look new: count none of them whole.
    const bool baselineAll = first || lastListingEmpty_;
    lastListingEmpty_ = pids.empty();

    ++sweep_;
    touched_.clear();
    attributed_.clear();
    nextUnread_.clear();
    std::uint64_t ownTicks = 0;
    for (const std::int32_t pid : pids) {
        visit(pid, baselineAll, ownTicks);
    }
    processReader_->endSweep();
    std::erase_if(known_, [this](const auto& entry) { return entry.second.sweep != sweep_; });
    unread_.swap(nextUnread_);

    if (!first && lastTicks_ && ticks) {
        const double elapsed = monotonic - lastMonotonic_;
        if (elapsed > 0 && !spansGap(elapsed, now - *lastTime_)) {
            outcome.sample = report(now, elapsed, *ticks, ownTicks);
        }
    }
    compact();
    lastTime_ = now;
    lastMonotonic_ = monotonic;
    lastTicks_ = ticks;
    return outcome;
}

void ProcessSampler::visit(std::int32_t pid, bool baselineAll, std::uint64_t& ownTicks) {
    auto it = known_.find(pid);
    if (it != known_.end() && !it->second.counted && sweep_ - it->second.read < uncountedRecheckSweeps) {
        it->second.sweep = sweep_;
        return;
    }
    // A process of one thread whose thread has not run since the last sweep spent no CPU time, which its
    // run time tells for a fraction of what its stat costs. The run time is read before the stat, so time
    // spent between the two is found on the next sweep.
    std::optional<std::uint64_t> runTime;
    std::optional<ProcessStat> stat;
    if (it != known_.end() && it->second.counted && it->second.singleThreaded && it->second.tellsRunTime) {
        runTime = processReader_->readRunTime(pid);
        it->second.tellsRunTime = runTime.has_value();
        // A run time of zero tells nothing: a successor on the same pid reads zero as well.
        if (runTime && *runTime > 0 && runTime == it->second.runTime) {
            stat = ProcessStat{it->second.cpuTime, it->second.startTime, 0, 1};
        }
    }
    if (!stat) {
        stat = processReader_->readStat(pid);
    }
    if (!stat) {
        nextUnread_[pid] = it == known_.end() ? std::nullopt : std::optional(it->second.startTime);
        return;
    }
    const bool same = it != known_.end() && it->second.startTime == stat->startTime;
    if (same && !it->second.counted) {
        it->second.sweep = sweep_;
        it->second.read = sweep_;
        return;
    }
    if (!same && stat->isKernelThread()) {
        Known thread;
        thread.startTime = stat->startTime;
        thread.cpuTime = stat->cpuTime;
        thread.counted = false;
        thread.sweep = sweep_;
        thread.read = sweep_;
        known_.insert_or_assign(pid, std::move(thread));
        return;
    }
    // A process found only now in the place of one left to the system may have started sweeps ago.
    const bool replacedUncounted = it != known_.end() && !it->second.counted;
    const bool heldStill = same && stat->cpuTime == it->second.cpuTime &&
                           sweep_ - it->second.footprintRead < idleFootprintSweeps;
    const std::optional<std::uint64_t> footprint =
        heldStill ? std::optional(it->second.footprint) : processReader_->readFootprint(pid);
    if (!footprint) {
        nextUnread_[pid] = stat->startTime;
        return;
    }

    std::uint64_t delta = 0;
    if (same) {
        delta = growth(stat->cpuTime, it->second.cpuTime);
    } else {
        Known fresh;
        fresh.startTime = stat->startTime;
        fresh.sweep = sweep_;
        fresh.read = sweep_;
        fresh.path = processReader_->readPath(pid);
        if (fresh.path && std::find(listingPaths_.begin(), listingPaths_.end(), *fresh.path) != listingPaths_.end()) {
            fresh.counted = false;
            known_.insert_or_assign(pid, std::move(fresh));
            return;
        }
        fresh.name = processReader_->readName(pid);
        fresh.sandbox = ApplicationIndex::Sandbox::fromCgroup(processReader_->readCgroup(pid));
        fresh.app = attribute(fresh);
        // A process that was listed before but could not be read is no newcomer: its lifetime CPU
        // was not spent in this interval.
        const auto unread = unread_.find(pid);
        const bool listedBefore =
            unread != unread_.end() && (!unread->second || *unread->second == stat->startTime);
        delta = baselineAll || listedBefore || replacedUncounted ? 0 : stat->cpuTime;
        it = known_.insert_or_assign(pid, std::move(fresh)).first;
    }
    Known& known = it->second;
    known.cpuTime = stat->cpuTime;
    known.sweep = sweep_;
    known.singleThreaded = stat->threads == 1;
    known.runTime = runTime;
    if (!heldStill) {
        known.footprint = *footprint;
        known.footprintRead = sweep_;
    }
    if (apps_[known.app].kind != AppKey::Kind::system) {
        attributed_.push_back(pid);
    }
    if (pid == ownPID_) {
        ownTicks = delta;
        return;
    }
    Tally& entry = tally(known.app);
    entry.ticks += delta;
    entry.footprint += *footprint;
    entry.pids.push_back(pid);
}

bool ProcessSampler::spansGap(double elapsed, double wallElapsed) const {
    return (sweepInterval_ && elapsed > maximumIntervalFactor * *sweepInterval_) ||
           std::abs(wallElapsed - elapsed) > clockJumpTolerance;
}

ProcessSampler::Sample ProcessSampler::report(Date now, double elapsed, const HostCPU::Ticks& ticks,
                                              std::uint64_t ownTicks) {
    const double ticksPerSecond = processReader_->ticksPerSecond();
    Sample sample;
    sample.time = now;
    sample.interval = elapsed;
    double processSeconds = 0;
    for (const std::uint32_t app : touched_) {
        const Tally& entry = tallies_[app];
        const AppKey& key = apps_[app];
        if (entry.ticks > 0) {
            const double seconds = static_cast<double>(entry.ticks) / ticksPerSecond;
            sample.cpuSeconds[key] += seconds;
            processSeconds += seconds;
        }
        if (entry.footprint > 0) {
            sample.footprints[key] += entry.footprint;
        }
        sample.pids[key] = entry.pids;
    }
    sample.ownCPUSeconds = static_cast<double>(ownTicks) / ticksPerSecond;

    const std::uint64_t busy = growth(ticks.busy, lastTicks_->busy);
    const std::uint64_t total = growth(ticks.total, lastTicks_->total);
    const double busyFraction =
        total == 0 ? 0 : std::min(1.0, static_cast<double>(busy) / static_cast<double>(total));
    const double hostBusySeconds = coreCount_ * busyFraction * elapsed;
    const double remainder = hostBusySeconds - (processSeconds + sample.ownCPUSeconds);
    if (remainder > 0) {
        sample.cpuSeconds[AppKey::system()] += remainder;
    }
    sample.attributedPIDs.insert(attributed_.begin(), attributed_.end());
    return sample;
}

std::uint32_t ProcessSampler::attribute(const Known& known) {
    if (index_) {
        if (const auto* app = index_->applicationFor(known.path.value_or(std::string()), known.sandbox)) {
            return intern(app->key);
        }
    }
    const auto mended = [](const std::optional<std::string>& text) {
        return text ? std::optional(mendedUTF8(*text)) : std::nullopt;
    };
    return intern(AppAttribution::classify(mended(known.path), mended(known.name)));
}

std::uint32_t ProcessSampler::intern(const AppKey& key) {
    const auto [it, inserted] = appNumbers_.try_emplace(key, static_cast<std::uint32_t>(apps_.size()));
    if (inserted) {
        apps_.push_back(key);
    }
    return it->second;
}

ProcessSampler::Tally& ProcessSampler::tally(std::uint32_t app) {
    if (tallies_.size() < apps_.size()) {
        tallies_.resize(apps_.size());
    }
    Tally& entry = tallies_[app];
    if (entry.sweep != sweep_) {
        entry.sweep = sweep_;
        entry.ticks = 0;
        entry.footprint = 0;
        entry.pids.clear();
        touched_.push_back(app);
    }
    return entry;
}

void ProcessSampler::reattribute() {
    for (auto& [pid, known] : known_) {
        if (known.counted) {
            known.app = attribute(known);
        }
    }
}

void ProcessSampler::compact() {
    if (apps_.size() <= compactionSlack + 2 * touched_.size()) {
        return;
    }
    std::vector<AppKey> apps;
    std::unordered_map<AppKey, std::uint32_t> numbers;
    for (auto& [pid, known] : known_) {
        if (!known.counted) {
            continue;
        }
        const auto [it, inserted] = numbers.try_emplace(apps_[known.app], static_cast<std::uint32_t>(apps.size()));
        if (inserted) {
            apps.push_back(apps_[known.app]);
        }
        known.app = it->second;
    }
    apps_ = std::move(apps);
    appNumbers_ = std::move(numbers);
    tallies_.clear();
    touched_.clear();
}

} // namespace halvrick
