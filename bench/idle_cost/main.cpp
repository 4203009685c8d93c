// The running app's own CPU time while it sits in a tray with the popover closed, beside that of
// `top -b -d 1` over the same window, in three phases of one run: at rest, with half the cores busy (the
// pea then animates), and with 3,000 extra sleeping processes. Each phase also gives the app's memory and
// the longest time sampling held its main thread in one go, which the app reports when HALVRICK_STALLS
// is set. Everything runs on a private X server with its own tray host, a private session bus and a
// throwaway home, so the user's desktop and ledgers are never touched.
// Usage: idle_cost [seconds per phase [program]]   (default 60, the halvrick built beside this)

#include "Child.h"
#include "Crowd.h"
#include "DesktopProbe.h"
#include "ProcTimes.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#ifndef HALVRICK_PROGRAM
#error "HALVRICK_PROGRAM must name the halvrick executable"
#endif

namespace halvrick {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int defaultSeconds = 60;
constexpr int longestSeconds = 24 * 60 * 60;
// Start-up work (the application index, the first samples) is not idle cost.
constexpr auto settleTime = 5s;
// Long enough for the heat to rise and the pea to animate once half the cores are busy, and for the
// heads-up bubble that rising heat brings (10 s of sweating, then 7 s on show) to come and go: it is a
// moment of the interface, not the cost of the busy icon.
constexpr auto loadSettleTime = 45s;
constexpr std::size_t sleeperCount = 3000;
// Targets: shares of top's CPU time, the resident memory and the longest main-thread stall.
constexpr double restTarget = 0.2;
constexpr double busyTarget = 0.5;
constexpr double residentTargetMiB = 40;
constexpr double stallTargetMs = 4;
// Percentage points of machine load beyond a phase's own that other programs may add.
constexpr double quietMachineMargin = 15;
constexpr auto startTimeout = 10s;
constexpr auto trayIconTimeout = 20s;
const std::string appClass = "halvrick";

// A private folder that is removed with everything in it, after the children that wrote there are gone.
class WorkFolder {
public:
    WorkFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "halvrick-idle-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            throw std::runtime_error(std::string("cannot make a temporary folder: ") + std::strerror(errno));
        }
        path_ = pattern;
    }
    ~WorkFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Private to the user, as the runtime folder must be.
void makeFolder(const std::string& path) {
    std::filesystem::create_directories(path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

// A returning user: without this the first-run window would be open during the measurement.
void writeDefaults(const std::string& configHome) {
    makeFolder(configHome + "/Halvrick");
    std::ofstream file(configHome + "/Halvrick/defaults.json");
    file << "{\"hasCompletedFirstRun\": true}\n";
    if (!file) {
        throw std::runtime_error("cannot write the defaults file in " + configHome);
    }
}

// The last lines of a child's log, indented, for an error message.
std::string logTail(const std::string& path, std::size_t lines = 15) {
    std::ifstream file(path);
    std::vector<std::string> all;
    for (std::string line; std::getline(file, line);) {
        all.push_back(line);
    }
    std::string text;
    for (std::size_t i = all.size() > lines ? all.size() - lines : 0; i < all.size(); ++i) {
        text += "\n  " + all[i];
    }
    return text.empty() ? "" : "\nits last output:" + text;
}

// Polls `ready` until `what` is in place; fails when the child ends first or the time runs out.
void waitFor(Child& child, Clock::duration timeout, const std::string& what,
             const std::function<bool()>& ready, const std::string& log = {}) {
    const auto deadline = Clock::now() + timeout;
    while (!ready()) {
        if (!child.running()) {
            throw std::runtime_error(child.name() + " " + child.endText() + " before " + what +
                                     " was in place" + logTail(log));
        }
        if (Clock::now() >= deadline) {
            throw std::runtime_error(
                what + " was not in place within " +
                std::to_string(std::chrono::duration_cast<std::chrono::seconds>(timeout).count()) + " s" +
                logTail(log));
        }
        pauseFor(100ms);
    }
}

void expectRunning(Child& child, const std::string& log = {}) {
    if (!child.running()) {
        throw std::runtime_error(child.name() + " " + child.endText() + " during the measurement" +
                                 logTail(log));
    }
}

// The line a child prints on its descriptor 3 once it is ready: a display number, a bus address.
std::string readLineFrom(Pipe& pipe, Child& child, const std::string& what) {
    pipe.closeWriteEnd();
    if (auto line = pipe.readLine(startTimeout); line && !line->empty()) {
        return *line;
    }
    // The pipe closes a moment before the child can be reaped.
    for (int i = 0; i < 50 && child.running(); ++i) {
        pauseFor(10ms);
    }
    if (!child.running()) {
        throw std::runtime_error(child.name() + " " + child.endText() + " before it gave its " + what);
    }
    throw std::runtime_error(child.name() + " gave no " + what + " within " +
                             std::to_string(startTimeout.count()) + " s");
}

struct Arguments {
    int seconds = defaultSeconds;
    std::string program = HALVRICK_PROGRAM;
};

Arguments parseArguments(int argc, char** argv) {
    Arguments arguments;
    if (argc > 3) {
        throw std::runtime_error("usage: idle_cost [seconds per phase [program]]");
    }
    if (argc >= 2) {
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(argv[1], &end, 10);
        if (errno != 0 || end == argv[1] || *end != '\0' || value < 1 || value > longestSeconds) {
            throw std::runtime_error(std::string("the duration must be a whole number of seconds from 1 to ") +
                                     std::to_string(longestSeconds) + ", not \"" + argv[1] + "\"");
        }
        arguments.seconds = static_cast<int>(value);
    }
    if (argc == 3) {
        arguments.program = argv[2];
    }
    return arguments;
}

struct Usage {
    double seconds = 0;
    double percentOfCore = 0;
};

Usage usage(long long ticks, double elapsed) {
    const double seconds = static_cast<double>(ticks) / ticksPerSecond();
    return {seconds, elapsed > 0 ? seconds / elapsed * 100.0 : 0.0};
}

struct ThreadGain {
    std::string name;
    long long ticks = 0;
    int threads = 0;
};

// Thread time gained in the window, summed by thread name (threads that ended inside it are missed).
std::vector<ThreadGain> threadGains(const std::map<pid_t, ThreadTime>& before,
                                    const std::map<pid_t, ThreadTime>& after) {
    std::map<std::string, ThreadGain> byName;
    for (const auto& [tid, thread] : after) {
        const auto earlier = before.find(tid);
        ThreadGain& gain = byName[thread.name];
        gain.name = thread.name;
        gain.ticks += thread.ticks - (earlier == before.end() ? 0 : earlier->second.ticks);
        gain.threads += 1;
    }
    std::vector<ThreadGain> sorted;
    for (auto& [name, gain] : byName) {
        sorted.push_back(std::move(gain));
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.ticks > b.ticks; });
    return sorted;
}

// A desktop of our own: an X server, a tray host on it and a session bus, all in a throwaway home.
class PrivateDesktop {
public:
    explicit PrivateDesktop(const WorkFolder& work)
        : privateHome_{"HOME=" + work / "home",
                       "XDG_CONFIG_HOME=" + work / "config",
                       "XDG_DATA_HOME=" + work / "data",
                       "XDG_CACHE_HOME=" + work / "cache",
                       "XDG_STATE_HOME=" + work / "state",
                       "XDG_RUNTIME_DIR=" + work / "run"},
          xvfb_({"Xvfb",
                 {"-displayfd", "3", "-nolisten", "tcp", "-noreset", "-screen", "0", "1280x800x24"},
                 environment(),
                 work / "xvfb.log",
                 displayPipe_.writeEnd()}),
          display_(":" + readLineFrom(displayPipe_, xvfb_, "display number")), probe_(display_),
          trayer_({"trayer",
                   {"--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24"},
                   environment({"DISPLAY=" + display_}),
                   work / "trayer.log",
                   std::nullopt}),
          bus_({"dbus-daemon",
                {"--session", "--nofork", "--nopidfile", "--print-address=3"},
                environment(),
                work / "bus.log",
                busPipe_.writeEnd()}),
          busAddress_(readLineFrom(busPipe_, bus_, "bus address")) {
        waitFor(trayer_, startTimeout, "the tray host", [this] { return probe_.hasTrayHost(); });
    }

    // This process's environment in the private home, with `extra` added and the user's desktop left out.
    std::vector<std::string> environment(std::vector<std::string> extra = {}) const {
        extra.insert(extra.end(), privateHome_.begin(), privateHome_.end());
        return environmentWith(extra, {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS",
                                       "XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE", "QT_QPA_PLATFORM"});
    }
    // What a program on this desktop needs besides the home: the display and the bus.
    std::vector<std::string> desktopEnvironment() const {
        return environment(
            {"DISPLAY=" + display_, "DBUS_SESSION_BUS_ADDRESS=" + busAddress_, "QT_QPA_PLATFORM=xcb"});
    }
    const std::string& display() const { return display_; }
    DesktopProbe& probe() { return probe_; }

private:
    // Members in start order; destroyed in reverse, the X server last.
    std::vector<std::string> privateHome_;
    Pipe displayPipe_;
    Child xvfb_;
    std::string display_;
    DesktopProbe probe_;
    Child trayer_;
    Pipe busPipe_;
    Child bus_;
    std::string busAddress_;
};

// The longest sampling steps the app reported in a stretch of its log: lines
// "STALL: <wall ms> <cpu ms> <what>", longest by wall time and by the main thread's CPU time.
struct Stall {
    std::string what;
    double milliseconds = 0;
};
struct Stalls {
    Stall wall;
    Stall cpu;
    std::size_t count = 0;
};

std::optional<Stalls> longestStalls(const std::string& log, std::streamoff from, std::streamoff to) {
    std::ifstream file(log);
    file.seekg(from);
    std::optional<Stalls> longest;
    for (std::string line; file.tellg() >= 0 && file.tellg() < to && std::getline(file, line);) {
        double wall = 0;
        double cpu = 0;
        int nameAt = 0;
        if (std::sscanf(line.c_str(), "STALL: %lf %lf %n", &wall, &cpu, &nameAt) != 2 || nameAt == 0) {
            continue;
        }
        const std::string what = line.substr(static_cast<std::size_t>(nameAt));
        if (!longest) {
            longest = Stalls{{what, wall}, {what, cpu}, 0};
        }
        ++longest->count;
        if (wall > longest->wall.milliseconds) {
            longest->wall = {what, wall};
        }
        if (cpu > longest->cpu.milliseconds) {
            longest->cpu = {what, cpu};
        }
    }
    return longest;
}

// What the app said it times ("steps of 1 ms or more"), on its "STALLS: " line; nothing from a build
// that times no steps.
std::optional<std::string> timedSteps(const std::string& log) {
    std::ifstream file(log);
    constexpr std::string_view prefix = "STALLS: ";
    for (std::string line; std::getline(file, line);) {
        if (line.starts_with(prefix)) {
            return line.substr(prefix.size());
        }
    }
    return std::nullopt;
}

std::streamoff sizeOf(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<std::streamoff>(size);
}

struct Phase {
    std::string name;
    double target = 0;
    // How busy the phase itself makes the machine, in percent of all cores.
    double addedBusy = 0;
    double elapsed = 0;
    std::size_t processes = 0;
    double machineBusy = 0;
    Usage app;
    Usage top;
    std::vector<ThreadGain> threads;
    std::optional<long long> resident;
    std::optional<Stalls> stall;
    std::optional<std::string> timedSteps;
};

// One window beside a fresh top.
Phase measure(const std::string& name, double target, double addedBusy, int seconds, Child& app,
              const PrivateDesktop& desktop, const WorkFolder& work, const std::string& appLog) {
    Phase phase;
    phase.name = name;
    phase.target = target;
    phase.addedBusy = addedBusy;
    phase.processes = processCount();
    Child top({"top",
               {"-b", "-d", "1", "-n", std::to_string(seconds + 10)},
               desktop.environment(),
               work / "top.txt",
               std::nullopt});
    const auto opened = Clock::now();
    const std::streamoff logFrom = sizeOf(appLog);
    const MachineTicks machineBefore = machineTicks();
    const TreeTime topBefore = treeTime(top.pid());
    const TreeTime appBefore = treeTime(app.pid());
    const auto threadsBefore = threadTimes(app.pid());
    for (const auto closes = opened + std::chrono::seconds(seconds); Clock::now() < closes;) {
        pauseFor(std::min<std::chrono::milliseconds>(
            250ms, std::chrono::ceil<std::chrono::milliseconds>(closes - Clock::now())));
        expectRunning(app, appLog);
        expectRunning(top);
    }
    const TreeTime appAfter = treeTime(app.pid());
    const TreeTime topAfter = treeTime(top.pid());
    const auto threadsAfter = threadTimes(app.pid());
    const MachineTicks machineAfter = machineTicks();
    phase.elapsed = std::chrono::duration<double>(Clock::now() - opened).count();
    phase.stall = longestStalls(appLog, logFrom, sizeOf(appLog));
    phase.timedSteps = timedSteps(appLog);
    phase.resident = residentKiB(app.pid());
    top.stop();
    phase.machineBusy = busyPercent(machineBefore, machineAfter);
    phase.app = usage(appAfter.ticks - appBefore.ticks, phase.elapsed);
    phase.top = usage(topAfter.ticks - topBefore.ticks, phase.elapsed);
    phase.threads = threadGains(threadsBefore, threadsAfter);
    return phase;
}

const char* verdict(bool met) { return met ? "PASS" : "OVER"; }

void printPhase(const Phase& phase) {
    std::printf("\n== %s: %.1f s, %zu processes, machine %.1f%% busy across %ld cores\n", phase.name.c_str(),
                phase.elapsed, phase.processes, phase.machineBusy, ::sysconf(_SC_NPROCESSORS_ONLN));
    // Other programs' load heats the pea as well: it then animates where this phase means it to be still.
    if (phase.machineBusy > phase.addedBusy + quietMachineMargin) {
        std::printf("note: other programs kept the machine busier than this phase makes it: these are not the\n"
                    "      figures of a quiet machine\n");
    }
    std::printf("%-16s %10s %14s\n", "", "CPU s", "% of one core");
    std::printf("%-16s %10.3f %13.3f%%\n", "halvrick", phase.app.seconds, phase.app.percentOfCore);
    std::printf("%-16s %10.3f %13.3f%%\n", "top -b -d 1", phase.top.seconds, phase.top.percentOfCore);
    if (phase.top.seconds > 0) {
        const double ratio = phase.app.seconds / phase.top.seconds;
        std::printf("ratio:           %.3fx of top's (target: at most %.2fx): %s\n", ratio, phase.target,
                    verdict(ratio <= phase.target));
    } else {
        std::printf("ratio:           none (top used no measurable time)\n");
    }
    if (phase.resident) {
        const double mib = static_cast<double>(*phase.resident) / 1024.0;
        std::printf("RSS at the end:  %.1f MiB (target: under %.0f MiB): %s\n", mib, residentTargetMiB,
                    verdict(mib < residentTargetMiB));
    }
    if (phase.stall) {
        const Stalls& stall = *phase.stall;
        std::printf(
            "longest main-thread stall from sampling (%zu reported of its %s; target: at most %.0f ms):\n",
            stall.count, phase.timedSteps.value_or("steps").c_str(), stallTargetMs);
        std::printf("  by wall time:   %.3f ms (%s): %s\n", stall.wall.milliseconds, stall.wall.what.c_str(),
                    verdict(stall.wall.milliseconds <= stallTargetMs));
        std::printf("  by CPU time:    %.3f ms (%s): %s\n", stall.cpu.milliseconds, stall.cpu.what.c_str(),
                    verdict(stall.cpu.milliseconds <= stallTargetMs));
    } else if (phase.timedSteps) {
        std::printf(
            "longest main-thread stall from sampling: none of the %s it reports (target: at most %.0f "
            "ms): PASS\n",
            phase.timedSteps->c_str(), stallTargetMs);
    } else {
        std::printf("longest main-thread stall from sampling: not reported (this build does not time it)\n");
    }
    std::printf("halvrick threads (CPU s in the window, by name):\n");
    for (const ThreadGain& gain : phase.threads) {
        std::printf("  %-18s %8.3f  (%d thread%s)\n", gain.name.c_str(),
                    static_cast<double>(gain.ticks) / ticksPerSecond(), gain.threads, gain.threads == 1 ? "" : "s");
    }
}

void settle(Child& app, const std::string& appLog, Clock::duration time) {
    for (const auto settled = Clock::now() + time; Clock::now() < settled;) {
        pauseFor(100ms);
        expectRunning(app, appLog);
    }
}

int run(const Arguments& arguments) {
    catchStopSignals();
    const WorkFolder work;
    makeFolder(work / "home");
    makeFolder(work / "run");
    writeDefaults(work / "config");
    PrivateDesktop desktop(work);

    const std::string appLog = work / "app.log";
    std::vector<std::string> environment = desktop.desktopEnvironment();
    environment.push_back("HALVRICK_STALLS=1");
    Child app({arguments.program, {}, environment, appLog, std::nullopt});
    waitFor(
        app, trayIconTimeout, "the tray icon", [&] { return desktop.probe().appWindows(appClass).trayIcon; },
        appLog);
    settle(app, appLog, settleTime);
    if (desktop.probe().appWindows(appClass).otherWindow) {
        throw std::runtime_error(
            "a Halvrick window other than the tray icon is open: this is not the idle state");
    }

    std::printf("idle cost of %s, popover closed (Xvfb %s, trayer, private bus, empty home)\n",
                arguments.program.c_str(), desktop.display().c_str());
    std::printf("counted: user+system time of each process, its live descendants and those it reaped; "
                "%.0f ticks a second\n",
                ticksPerSecond());
    for (const char* name : {"HALVRICK_LOG", "HALVRICK_DEBUG", "HALVRICK_PEEK", "HALVRICK_REST_MINUTES"}) {
        if (std::getenv(name)) {
            std::printf("note: %s is set and was passed on to halvrick\n", name);
        }
    }
    std::vector<Phase> phases;
    phases.push_back(measure("at rest", restTarget, 0, arguments.seconds, app, desktop, work, appLog));
    printPhase(phases.back());
    {
        const long online = std::max(1L, ::sysconf(_SC_NPROCESSORS_ONLN));
        const auto cores = static_cast<std::size_t>(std::max(1L, online / 2));
        const Crowd busy(cores, Crowd::Kind::spinning);
        settle(app, appLog, loadSettleTime);
        phases.push_back(measure("half the cores busy (" + std::to_string(cores) + " spinning processes)",
                                 busyTarget, 100.0 * static_cast<double>(cores) / static_cast<double>(online),
                                 arguments.seconds, app, desktop, work, appLog));
        printPhase(phases.back());
    }
    settle(app, appLog, settleTime);
    {
        const Crowd sleepers(sleeperCount, Crowd::Kind::sleeping);
        settle(app, appLog, settleTime);
        phases.push_back(measure(std::to_string(sleeperCount) + " extra sleeping processes", restTarget, 0,
                                 arguments.seconds, app, desktop, work, appLog));
        printPhase(phases.back());
    }
    if (desktop.probe().appWindows(appClass).otherWindow) {
        throw std::runtime_error(
            "a Halvrick window opened during the measurement: this was not the idle state");
    }

    std::printf("\nsummary %-44s %8s %8s %14s\n", "", "x top", "RSS MiB", "stall ms wall/CPU");
    for (const Phase& phase : phases) {
        const double ratio = phase.top.seconds > 0 ? phase.app.seconds / phase.top.seconds : 0;
        char stall[64] = "-";
        if (phase.stall) {
            std::snprintf(stall, sizeof stall, "%.2f / %.2f", phase.stall->wall.milliseconds,
                          phase.stall->cpu.milliseconds);
        } else if (phase.timedSteps) {
            std::snprintf(stall, sizeof stall, "none reported");
        }
        std::printf("  %-50s %8.3f %8.1f %14s\n", phase.name.c_str(), ratio,
                    phase.resident ? static_cast<double>(*phase.resident) / 1024.0 : 0.0, stall);
    }
    return 0;
}

} // namespace

} // namespace halvrick

int main(int argc, char** argv) {
    try {
        return halvrick::run(halvrick::parseArguments(argc, argv));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "idle_cost: %s\n", error.what());
        return 1;
    }
}
