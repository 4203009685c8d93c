// The running app's own CPU time, beside that of `top -b -d 1` over the same window, in the phases of a
// round: in a tray with the popover closed at rest; a spike on every core that brings a heads-up bubble;
// half the cores busy (the tray pea then animates); 3,000 extra sleeping processes; and on a desktop
// without a tray host, where the app keeps its fallback window open. Time on CPU is the nanoseconds of
// every thread's schedstat, not 10 ms ticks. Each phase also gives the app's memory and the longest time
// sampling held its main thread in one go, which the app reports when HALVRICK_STALLS is set. A run is
// three rounds, each with a fresh app. Everything runs on private X servers with a private session bus
// and a throwaway home, so the user's desktop and ledgers are never touched.
// Usage: idle_cost [--seconds N] [--rounds N] [program]
//   (defaults: 60 s a phase, 3 rounds, the halvrick built beside this; IDLE_COST_SECONDS and
//   IDLE_COST_ROUNDS set them as well)

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
#include <memory>
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
constexpr int defaultRounds = 3;
constexpr int mostRounds = 100;
// Start-up work (the application index, the first samples) is not idle cost.
constexpr auto settleTime = 5s;
// Long enough for the heat to rise and the pea to animate once half the cores are busy, and for the
// heads-up bubble that rising heat brings (10 s of sweating, then 7 s on show) to come and go: it is a
// moment of the interface, not the cost of the busy icon.
constexpr auto loadSettleTime = 45s;
constexpr std::size_t sleeperCount = 3000;
// Targets: shares of top's CPU time, the resident memory and the longest main-thread stall.
constexpr double restTarget = 0.15;
constexpr double busyTarget = 0.35;
// A heads-up bubble while it is on show, in milliseconds of CPU a second.
constexpr double headsUpTargetMsPerSecond = 4;
// The fallback window open all day, against the same round's rest in a tray.
constexpr double noTrayTargetFactor = 1.5;
// The spike lasts until its bubble has come and gone: heat rises within seconds, sustains 10 s and the
// bubble shows for 7 s.
constexpr auto headsUpTimeout = 60s;
// The heat falls back and the heads-up's face ends before the next phase.
constexpr auto coolTime = 20s;
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
    int rounds = defaultRounds;
    std::string program = HALVRICK_PROGRAM;
};

constexpr const char* usageLine = "usage: idle_cost [--seconds N] [--rounds N] [program]";

int wholeNumber(const std::string& what, const char* text, int most) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < 1 || value > most) {
        throw std::runtime_error(what + " must be a whole number from 1 to " + std::to_string(most) +
                                 ", not \"" + text + "\"");
    }
    return static_cast<int>(value);
}

Arguments parseArguments(int argc, char** argv) {
    Arguments arguments;
    if (const char* seconds = std::getenv("IDLE_COST_SECONDS")) {
        arguments.seconds = wholeNumber("IDLE_COST_SECONDS", seconds, longestSeconds);
    }
    if (const char* rounds = std::getenv("IDLE_COST_ROUNDS")) {
        arguments.rounds = wholeNumber("IDLE_COST_ROUNDS", rounds, mostRounds);
    }
    bool programGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if ((argument == "--seconds" || argument == "--rounds") && i + 1 < argc) {
            const bool seconds = argument == "--seconds";
            (seconds ? arguments.seconds : arguments.rounds) =
                wholeNumber(argument, argv[++i], seconds ? longestSeconds : mostRounds);
        } else if (!argument.starts_with("-") && !programGiven) {
            arguments.program = argument;
            programGiven = true;
        } else {
            throw std::runtime_error(usageLine);
        }
    }
    return arguments;
}

struct Usage {
    double seconds = 0;
    double percentOfCore = 0;
    double msPerSecond() const { return percentOfCore * 10; }
};

Usage usage(long long nanoseconds, double elapsed) {
    const double seconds = static_cast<double>(nanoseconds) / 1e9;
    return {seconds, elapsed > 0 ? seconds / elapsed * 100.0 : 0.0};
}

struct ThreadGain {
    std::string name;
    long long nanoseconds = 0;
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
        gain.nanoseconds += thread.nanoseconds - (earlier == before.end() ? 0 : earlier->second.nanoseconds);
        gain.threads += 1;
    }
    std::vector<ThreadGain> sorted;
    for (auto& [name, gain] : byName) {
        sorted.push_back(std::move(gain));
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.nanoseconds > b.nanoseconds; });
    return sorted;
}

// A desktop of our own: an X server, a tray host on it (unless told otherwise) and a session bus, all in
// a throwaway home.
class PrivateDesktop {
public:
    PrivateDesktop(const WorkFolder& work, bool withTray)
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
          bus_({"dbus-daemon",
                {"--session", "--nofork", "--nopidfile", "--print-address=3"},
                environment(),
                work / "bus.log",
                busPipe_.writeEnd()}),
          busAddress_(readLineFrom(busPipe_, bus_, "bus address")) {
        if (withTray) {
            trayer_.emplace(Child::Launch{
                "trayer",
                {"--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24"},
                environment({"DISPLAY=" + display_}),
                work / "trayer.log",
                std::nullopt});
            waitFor(*trayer_, startTimeout, "the tray host", [this] { return probe_.hasTrayHost(); });
        }
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
    Pipe busPipe_;
    Child bus_;
    std::string busAddress_;
    std::optional<Child> trayer_;
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
    // What the target is a share of: top's time in the same window, or another phase's cost.
    std::string targetOf = "top's";
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
    // The heads-up phase: the app's cost while its bubble was on show, and for how long it was.
    std::optional<Usage> bubble;
    double bubbleSeconds = 0;
    // Against another phase (no tray against the tray's rest): the ratio and the target met.
    std::optional<double> versus;

    double ratio() const { return top.seconds > 0 ? app.seconds / top.seconds : 0; }
};

// One window beside a fresh top. `watch` runs every 100 ms inside it; it may end the window early by
// returning false.
Phase measure(const std::string& name, double target, double addedBusy, Clock::duration length, Child& app,
              const PrivateDesktop& desktop, const WorkFolder& work, const std::string& appLog,
              const std::function<bool()>& watch = {}) {
    Phase phase;
    phase.name = name;
    phase.target = target;
    phase.addedBusy = addedBusy;
    phase.processes = processCount();
    const auto topSeconds = std::chrono::ceil<std::chrono::seconds>(length).count() + 10;
    Child top({"top",
               {"-b", "-d", "1", "-n", std::to_string(topSeconds)},
               desktop.environment(),
               work / "top.txt",
               std::nullopt});
    const auto opened = Clock::now();
    const std::streamoff logFrom = sizeOf(appLog);
    const MachineTicks machineBefore = machineTicks();
    const TreeTime topBefore = treeTime(top.pid());
    const TreeTime appBefore = treeTime(app.pid());
    const auto threadsBefore = threadTimes(app.pid());
    for (const auto closes = opened + length; Clock::now() < closes;) {
        pauseFor(std::min<std::chrono::milliseconds>(
            watch ? 100ms : 250ms, std::chrono::ceil<std::chrono::milliseconds>(closes - Clock::now())));
        expectRunning(app, appLog);
        expectRunning(top);
        if (watch && !watch()) {
            break;
        }
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
    phase.app = usage(appAfter.nanoseconds - appBefore.nanoseconds, phase.elapsed);
    phase.top = usage(topAfter.nanoseconds - topBefore.nanoseconds, phase.elapsed);
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
    std::printf("%-16s %12s %10s\n", "", "CPU ms", "ms/s");
    std::printf("%-16s %12.3f %10.3f\n", "halvrick", phase.app.seconds * 1000, phase.app.msPerSecond());
    std::printf("%-16s %12.3f %10.3f\n", "top -b -d 1", phase.top.seconds * 1000, phase.top.msPerSecond());
    if (phase.bubble) {
        std::printf("bubble on show:  %.1f s at %.3f ms/s (target: at most %.0f ms/s): %s\n",
                    phase.bubbleSeconds, phase.bubble->msPerSecond(), headsUpTargetMsPerSecond,
                    verdict(phase.bubble->msPerSecond() <= headsUpTargetMsPerSecond));
    } else if (phase.target == 0) {
        std::printf(
            "bubble on show:  none came within %lld s\n",
            static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(headsUpTimeout).count()));
    }
    if (phase.top.seconds <= 0) {
        std::printf("ratio:           none (top used no measurable time)\n");
    } else if (phase.versus) {
        std::printf("ratio:           %.3fx of top's; %.3fx of %s (target: at most %.2fx): %s\n",
                    phase.ratio(), *phase.versus, phase.targetOf.c_str(), phase.target,
                    verdict(*phase.versus <= phase.target));
    } else if (phase.target > 0) {
        std::printf("ratio:           %.3fx of top's (target: at most %.2fx): %s\n", phase.ratio(),
                    phase.target, verdict(phase.ratio() <= phase.target));
    } else {
        std::printf("ratio:           %.3fx of top's\n", phase.ratio());
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
    std::printf("halvrick threads (CPU ms in the window, by name):\n");
    for (const ThreadGain& gain : phase.threads) {
        std::printf("  %-18s %10.3f  (%d thread%s)\n", gain.name.c_str(),
                    static_cast<double>(gain.nanoseconds) / 1e6, gain.threads, gain.threads == 1 ? "" : "s");
    }
}

void settle(Child& app, const std::string& appLog, Clock::duration time) {
    for (const auto settled = Clock::now() + time; Clock::now() < settled;) {
        pauseFor(100ms);
        expectRunning(app, appLog);
    }
}

long onlineCores() {
    return std::max(1L, ::sysconf(_SC_NPROCESSORS_ONLN));
}

// The app on `desktop`, settled past its start-up work: its tray icon in place, or its fallback window
// open when there is no tray.
struct RunningApp {
    RunningApp(std::string logPath, const Child::Launch& launch) : log(std::move(logPath)), child(launch) {}
    std::string log;
    Child child;
};

std::unique_ptr<RunningApp> startApp(const Arguments& arguments, PrivateDesktop& desktop,
                                     const WorkFolder& work, bool withTray) {
    const std::string log = work / "app.log";
    std::vector<std::string> environment = desktop.desktopEnvironment();
    environment.push_back("HALVRICK_STALLS=1");
    auto app = std::make_unique<RunningApp>(
        log, Child::Launch{arguments.program, {}, environment, log, std::nullopt});
    if (withTray) {
        waitFor(
            app->child, trayIconTimeout, "the tray icon",
            [&] { return desktop.probe().appWindows(appClass).trayIcon; }, log);
    } else {
        waitFor(
            app->child, trayIconTimeout, "the fallback window",
            [&] { return desktop.probe().appWindows(appClass).otherWindow; }, log);
    }
    settle(app->child, log, settleTime);
    if (withTray && desktop.probe().appWindows(appClass).otherWindow) {
        throw std::runtime_error(
            "a Halvrick window other than the tray icon is open: this is not the idle state");
    }
    return app;
}

// Every core spins until the heads-up bubble it brings has come and gone; the bubble's own cost is the
// app's time between its first and last sight.
Phase headsUpPhase(RunningApp& app, PrivateDesktop& desktop, const WorkFolder& work) {
    const long online = onlineCores();
    const Crowd spike(static_cast<std::size_t>(online), Crowd::Kind::spinning);
    std::optional<std::pair<Clock::time_point, long long>> shown;
    std::optional<std::pair<Clock::time_point, long long>> gone;
    Phase phase = measure("a spike on all " + std::to_string(online) +
                              " cores, until its heads-up bubble has come and gone",
                          0, 100, headsUpTimeout, app.child, desktop, work, app.log, [&] {
                              const bool open = desktop.probe().appWindows(appClass).otherWindow;
                              if (open && !shown) {
                                  shown.emplace(Clock::now(), treeTime(app.child.pid()).nanoseconds);
                              } else if (!open && shown && !gone) {
                                  gone.emplace(Clock::now(), treeTime(app.child.pid()).nanoseconds);
                              }
                              return !gone;
                          });
    if (shown && gone) {
        phase.bubbleSeconds = std::chrono::duration<double>(gone->first - shown->first).count();
        phase.bubble = usage(gone->second - shown->second, phase.bubbleSeconds);
    }
    return phase;
}

struct Round {
    std::vector<Phase> phases;
};

Round runRound(const Arguments& arguments, int round) {
    Round result;
    const auto length = std::chrono::seconds(arguments.seconds);
    const auto show = [&](Phase phase) {
        phase.name = "round " + std::to_string(round) + ", " + phase.name;
        printPhase(phase);
        phase.name = phase.name.substr(phase.name.find(", ") + 2);
        result.phases.push_back(std::move(phase));
    };
    {
        const WorkFolder work;
        makeFolder(work / "home");
        makeFolder(work / "run");
        writeDefaults(work / "config");
        PrivateDesktop desktop(work, true);
        const auto app = startApp(arguments, desktop, work, true);
        std::printf("\n#### round %d: %s in a tray (Xvfb %s, trayer, private bus, empty home)\n", round,
                    arguments.program.c_str(), desktop.display().c_str());
        show(measure("at rest", restTarget, 0, length, app->child, desktop, work, app->log));
        // First the spike, while no heads-up has been shown yet (they keep minutes apart).
        show(headsUpPhase(*app, desktop, work));
        settle(app->child, app->log, coolTime);
        {
            const long online = onlineCores();
            const auto cores = static_cast<std::size_t>(std::max(1L, online / 2));
            const Crowd busy(cores, Crowd::Kind::spinning);
            settle(app->child, app->log, loadSettleTime);
            show(measure("half the cores busy (" + std::to_string(cores) + " spinning processes)", busyTarget,
                         100.0 * static_cast<double>(cores) / static_cast<double>(online), length, app->child,
                         desktop, work, app->log));
        }
        settle(app->child, app->log, coolTime);
        {
            const Crowd sleepers(sleeperCount, Crowd::Kind::sleeping);
            settle(app->child, app->log, settleTime);
            show(measure(std::to_string(sleeperCount) + " extra sleeping processes", restTarget, 0, length,
                         app->child, desktop, work, app->log));
        }
    }
    {
        const WorkFolder work;
        makeFolder(work / "home");
        makeFolder(work / "run");
        writeDefaults(work / "config");
        PrivateDesktop desktop(work, false);
        const auto app = startApp(arguments, desktop, work, false);
        Phase phase = measure("no tray host, the fallback window open", noTrayTargetFactor, 0, length,
                              app->child, desktop, work, app->log);
        const Phase& rest = result.phases.front();
        if (rest.app.seconds > 0) {
            phase.versus = phase.app.seconds / rest.app.seconds;
            phase.targetOf = "the tray's rest";
        }
        show(std::move(phase));
    }
    return result;
}

int run(const Arguments& arguments) {
    catchStopSignals();
    std::printf("idle cost of %s: %d round%s of %d s phases\n", arguments.program.c_str(), arguments.rounds,
                arguments.rounds == 1 ? "" : "s", arguments.seconds);
    std::printf("counted: nanoseconds on CPU of every live thread of each process and its live descendants "
                "(schedstat)\n");
    for (const char* name : {"HALVRICK_LOG", "HALVRICK_DEBUG", "HALVRICK_PEEK", "HALVRICK_REST_MINUTES"}) {
        if (std::getenv(name)) {
            std::printf("note: %s is set and was passed on to halvrick\n", name);
        }
    }
    std::vector<Round> rounds;
    for (int round = 1; round <= arguments.rounds; ++round) {
        rounds.push_back(runRound(arguments, round));
    }

    std::printf("\nsummary: halvrick as a share of top -b -d 1 in the same window, ms/s of CPU, RSS MiB\n");
    std::printf("  %-50s", "");
    for (std::size_t r = 1; r <= rounds.size(); ++r) {
        std::printf(" %20s", ("round " + std::to_string(r)).c_str());
    }
    std::printf("  target\n");
    for (std::size_t i = 0; i < rounds.front().phases.size(); ++i) {
        const Phase& first = rounds.front().phases[i];
        std::printf("  %-50s", first.name.substr(0, 50).c_str());
        for (const Round& round : rounds) {
            const Phase& phase = round.phases[i];
            char cell[64];
            std::snprintf(cell, sizeof cell, "%.3fx %.2f %.1f", phase.ratio(), phase.app.msPerSecond(),
                          phase.resident ? static_cast<double>(*phase.resident) / 1024.0 : 0.0);
            std::printf(" %20s", cell);
        }
        if (first.versus) {
            std::printf("  <= %.2fx %s\n", first.target, first.targetOf.c_str());
        } else if (first.target > 0) {
            std::printf("  <= %.2fx top's\n", first.target);
        } else {
            std::printf("  bubble <= %.0f ms/s\n", headsUpTargetMsPerSecond);
        }
        if (first.versus || first.bubble) {
            std::printf("  %-50s", first.versus ? "  of the tray's rest" : "  while the bubble was on show");
            for (const Round& round : rounds) {
                const Phase& phase = round.phases[i];
                char cell[64] = "-";
                if (phase.versus) {
                    std::snprintf(cell, sizeof cell, "%.3fx", *phase.versus);
                } else if (phase.bubble) {
                    std::snprintf(cell, sizeof cell, "%.2f ms/s %.1f s", phase.bubble->msPerSecond(),
                                  phase.bubbleSeconds);
                }
                std::printf(" %20s", cell);
            }
            std::printf("\n");
        }
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
