// The running app's own CPU time while it sits idle in a tray with the popover closed, beside that of
// `top -b -d 1` over the same window. Everything runs on a private X server with its own tray host, a
// private session bus and a throwaway home, so the user's desktop and ledgers are never touched.
// Usage: idle_cost [seconds]   (default 60)

#include "Child.h"
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
// The app may take this share of top's time at most.
constexpr double targetRatio = 1.0 / 3.0;
// Start-up work (the application index, the first samples) is not idle cost.
constexpr auto settleTime = 5s;
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

int parseSeconds(int argc, char** argv) {
    if (argc < 2) {
        return defaultSeconds;
    }
    if (argc > 2) {
        throw std::runtime_error("usage: idle_cost [seconds]");
    }
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(argv[1], &end, 10);
    if (errno != 0 || end == argv[1] || *end != '\0' || value < 1 || value > longestSeconds) {
        throw std::runtime_error(std::string("the duration must be a whole number of seconds from 1 to ") +
                                 std::to_string(longestSeconds) + ", not \"" + argv[1] + "\"");
    }
    return static_cast<int>(value);
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

void printReport(double elapsed, const std::string& display, std::size_t processes, double machineBusy,
                 const TreeTime& appGain, const TreeTime& topGain, const std::vector<ThreadGain>& threads,
                 std::optional<long long> resident) {
    const Usage app = usage(appGain.ticks, elapsed);
    const Usage top = usage(topGain.ticks, elapsed);
    std::printf(
        "idle cost of halvrick over %.1f s, popover closed (Xvfb %s, trayer, private bus, empty home)\n",
        elapsed, display.c_str());
    std::printf(
        "counted: user+system time of each process, of its live descendants and of those it reaped\n");
    std::printf("         (halvrick: %zu descendants at the end; top: %zu); %.0f ticks a second\n",
                appGain.descendants, topGain.descendants, ticksPerSecond());
    // Both costs follow the machine: the pea animates when it is busy, top's sweep grows with processes.
    std::printf("machine: %zu processes, %.1f%% busy across %ld cores during the window\n", processes,
                machineBusy, ::sysconf(_SC_NPROCESSORS_ONLN));
    for (const char* name : {"HALVRICK_LOG", "HALVRICK_DEBUG", "HALVRICK_PEEK", "HALVRICK_REST_MINUTES"}) {
        if (std::getenv(name)) {
            std::printf("note: %s is set and was passed on to halvrick\n", name);
        }
    }
    std::printf("%-16s %10s %14s\n", "", "CPU s", "% of one core");
    std::printf("%-16s %10.3f %13.3f%%\n", "halvrick", app.seconds, app.percentOfCore);
    std::printf("%-16s %10.3f %13.3f%%\n", "top -b -d 1", top.seconds, top.percentOfCore);
    if (top.seconds > 0) {
        const double ratio = app.seconds / top.seconds;
        std::printf("ratio:           %.3fx of top's (target: at most %.3fx): %s\n", ratio, targetRatio,
                    ratio <= targetRatio ? "PASS" : "OVER");
    } else {
        std::printf("ratio:           none (top used no measurable time; target %.3fx): %s\n", targetRatio,
                    app.seconds == 0 ? "PASS" : "OVER");
    }
    if (resident) {
        std::printf("halvrick RSS at the end: %.1f MiB\n", static_cast<double>(*resident) / 1024.0);
    }
    std::printf("halvrick threads (CPU s in the window, by name):\n");
    for (const ThreadGain& gain : threads) {
        std::printf("  %-18s %8.3f  (%d thread%s)\n", gain.name.c_str(), usage(gain.ticks, elapsed).seconds,
                    gain.threads, gain.threads == 1 ? "" : "s");
    }
}

int run(int seconds) {
    catchStopSignals();
    const WorkFolder work;
    makeFolder(work / "home");
    makeFolder(work / "run");
    writeDefaults(work / "config");
    PrivateDesktop desktop(work);

    const std::string appLog = work / "app.log";
    Child app({HALVRICK_PROGRAM, {}, desktop.desktopEnvironment(), appLog, std::nullopt});
    waitFor(
        app, trayIconTimeout, "the tray icon", [&] { return desktop.probe().appWindows(appClass).trayIcon; },
        appLog);
    for (auto settled = Clock::now() + settleTime; Clock::now() < settled;) {
        pauseFor(100ms);
        expectRunning(app, appLog);
    }
    if (desktop.probe().appWindows(appClass).otherWindow) {
        throw std::runtime_error(
            "a Halvrick window other than the tray icon is open: this is not the idle state");
    }

    // The window opens with top's start.
    const std::size_t processes = processCount();
    Child top({"top",
               {"-b", "-d", "1", "-n", std::to_string(seconds + 10)},
               desktop.environment(),
               work / "top.txt",
               std::nullopt});
    const auto opened = Clock::now();
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
    const double elapsed = std::chrono::duration<double>(Clock::now() - opened).count();
    const auto resident = residentKiB(app.pid());
    top.stop();
    if (desktop.probe().appWindows(appClass).otherWindow) {
        throw std::runtime_error(
            "a Halvrick window opened during the measurement: this was not the idle state");
    }

    printReport(elapsed, desktop.display(), processes, busyPercent(machineBefore, machineAfter),
                {appAfter.ticks - appBefore.ticks, appAfter.descendants},
                {topAfter.ticks - topBefore.ticks, topAfter.descendants},
                threadGains(threadsBefore, threadsAfter), resident);
    return 0;
}

} // namespace

} // namespace halvrick

int main(int argc, char** argv) {
    try {
        return halvrick::run(halvrick::parseSeconds(argc, argv));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "idle_cost: %s\n", error.what());
        return 1;
    }
}
