// One process-sampler sweep over a machine with extra idle processes (500 unless a count is given),
// against two floors: a bare loop that opens and reads the same stat and status files, and one that
// re-reads them through descriptors kept open. Prints the medians and the sweep's ratio to each.
// Usage: process_sweep [extra processes]

#include "sampling/ApplicationIndex.h"
#include "sampling/ProcessList.h"
#include "sampling/ProcessSampler.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <vector>

namespace {

constexpr int defaultChildCount = 500;
constexpr int largestChildCount = 10000;
constexpr int rounds = 300;
constexpr double target = 1.5;

// Written before any handler can run and only read by it.
pid_t children[largestChildCount];
volatile sig_atomic_t spawned = 0;

void killChildren() {
    for (sig_atomic_t i = 0; i < spawned; ++i) {
        ::kill(children[i], SIGKILL);
    }
}

extern "C" void onFatalSignal(int signal) {
    killChildren();
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Idle children that die with this program, however it ends.
class IdleChildren {
public:
    explicit IdleChildren(int childCount) {
        for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGABRT}) {
            ::signal(s, onFatalSignal);
        }
        const pid_t parent = ::getpid();
        for (int i = 0; i < childCount; ++i) {
            const pid_t pid = ::fork();
            if (pid < 0) {
                reap();
                throw std::runtime_error("fork failed");
            }
            if (pid == 0) {
                spawned = 0; // a signal here must not reach the siblings
                ::prctl(PR_SET_PDEATHSIG, SIGKILL);
                if (::getppid() != parent) {
                    ::_exit(0);
                }
                for (;;) {
                    ::pause();
                }
            }
            children[spawned] = pid;
            spawned = spawned + 1;
        }
    }
    ~IdleChildren() { reap(); }
    IdleChildren(const IdleChildren&) = delete;
    IdleChildren& operator=(const IdleChildren&) = delete;

private:
    static void reap() {
        killChildren();
        for (sig_atomic_t i = 0; i < spawned; ++i) {
            ::waitpid(children[i], nullptr, 0);
        }
        spawned = 0;
    }
};

void readWhole(const char* path, char* buffer, std::size_t size) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    while (::read(fd, buffer, size) > 0) {
    }
    ::close(fd);
}

void floorSweep(const std::vector<std::int32_t>& pids) {
    char path[64];
    char buffer[4096];
    for (const std::int32_t pid : pids) {
        std::snprintf(path, sizeof path, "/proc/%d/stat", pid);
        readWhole(path, buffer, sizeof buffer);
        std::snprintf(path, sizeof path, "/proc/%d/status", pid);
        readWhole(path, buffer, sizeof buffer);
    }
}

// Descriptors of every listed process's stat and status, opened once.
class KeptFiles {
public:
    explicit KeptFiles(const std::vector<std::int32_t>& pids) {
        char path[64];
        for (const std::int32_t pid : pids) {
            for (const char* leaf : {"stat", "status"}) {
                std::snprintf(path, sizeof path, "/proc/%d/%s", pid, leaf);
                if (const int fd = ::open(path, O_RDONLY | O_CLOEXEC); fd >= 0) {
                    fds_.push_back(fd);
                }
            }
        }
    }
    ~KeptFiles() {
        for (const int fd : fds_) {
            ::close(fd);
        }
    }
    KeptFiles(const KeptFiles&) = delete;
    KeptFiles& operator=(const KeptFiles&) = delete;

    // How many could not be read: their processes (not ours, which live on) have ended since.
    std::size_t readAll() const {
        char buffer[4096];
        std::size_t failed = 0;
        for (const int fd : fds_) {
            if (::pread(fd, buffer, sizeof buffer, 0) < 0) {
                ++failed;
            }
        }
        return failed;
    }

private:
    std::vector<int> fds_;
};

template <typename F>
double millisecondsOf(F&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int run(int childCount) {
    const IdleChildren idle(childCount);
    auto index = std::make_shared<const halvrick::ApplicationIndex>(
        halvrick::ApplicationIndex::build(halvrick::ApplicationIndex::Roots::standard()));
    halvrick::ProcessSampler::Sources sources;
    sources.applications = [index] { return index; };
    halvrick::ProcessSampler sampler(std::move(sources));
    std::size_t samples = 0;
    std::size_t processes = 0;
    sampler.onSample = [&](const halvrick::ProcessSampler::Sample& sample) {
        ++samples;
        processes = 0;
        for (const auto& [key, pids] : sample.pids) {
            processes += pids.size();
        }
    };
    // The first sweep reads every process's path, name and cgroup once; later ones only count.
    const double firstSweep = millisecondsOf([&] { sampler.sample(); });

    const KeptFiles kept(halvrick::ProcessList::allPIDs());
    std::vector<double> sweeps, floors, keptFloors;
    std::size_t endedKept = 0;
    for (int round = 0; round < rounds; ++round) {
        const std::vector<std::int32_t> pids = halvrick::ProcessList::allPIDs();
        floors.push_back(millisecondsOf([&] { floorSweep(pids); }));
        keptFloors.push_back(millisecondsOf([&] { endedKept = kept.readAll(); }));
        sweeps.push_back(millisecondsOf([&] { sampler.sample(); }));
    }
    if (samples == 0) {
        std::fprintf(stderr, "process_sweep: the sampler emitted no sample\n");
        return 1;
    }
    const double sweep = median(sweeps);
    const double floor = median(floors);
    const double keptFloor = median(keptFloors);
    const double ratio = sweep / floor;
    std::printf("processes sampled: %zu (plus %d idle children spawned)\n", processes, childCount);
    std::printf("first sweep:        %.3f ms\n", firstSweep);
    std::printf("sweep median:       %.3f ms over %d rounds\n", sweep, rounds);
    std::printf("floor median:       %.3f ms (open and read stat and status of each process)\n", floor);
    std::printf("kept floor median:  %.3f ms (re-read them through descriptors kept open)\n", keptFloor);
    std::printf("ratio:              %.2fx (target %.1fx: %s)\n", ratio, target, ratio <= target ? "met" : "missed");
    std::printf("ratio to kept:      %.2fx\n", sweep / keptFloor);
    if (endedKept > 0) {
        std::printf("kept floor:         %zu of its files belonged to processes that ended meanwhile\n", endedKept);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const int count = argc > 1 ? std::atoi(argv[1]) : defaultChildCount;
        if (argc > 2 || count < 0 || count > largestChildCount) {
            std::fprintf(stderr, "usage: process_sweep [extra processes, 0 to %d]\n", largestChildCount);
            return 2;
        }
        return run(count);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "process_sweep: %s\n", error.what());
        return 1;
    }
}
