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
#include <sys/stat.h>
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

void makeFolder(const std::string& path, std::filesystem::perms permissions = std::filesystem::perms::owner_all) {
    std::filesystem::create_directories(path);
    std::filesystem::permissions(path, permissions);
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
void waitFor(Child& child, Clock::duration timeout, const std::string& what, const std::function<bool()>& ready,
             const std::string& log = {}) {
    const auto deadline = Clock::now() + timeout;
    while (!ready()) {
        if (!child.running()) {
            throw std::runtime_error(child.name() + " " + child.endText() + " before " + what + " was in place" +
                                     logTail(log));
        }
        if (Clock::now() >= deadline) {
            throw std::runtime_error(
                what + " was not in place within " +
                std::to_string(std::chrono::duration_cast<std::chrono::seconds>(timeout).count()) + " s" + logTail(log));
        }
        pauseFor(100ms);
    }
}

void expectRunning(Child& child, const std::string& log = {}) {
    if (!child.running()) {
        throw std::runtime_error(child.name() + " " + child.endText() + " during the measurement" + logTail(log));
    }
}

std::string readLineFrom(Pipe& pipe, Child& child, const std::string& what) {
    pipe.closeWriteEnd();
    if (auto line = pipe.readLine(startTimeout); line && !line->empty()) {
        return *line;
    }
    if (!child.running()) {
        throw std::runtime_error(child.name() + " " + child.endText() + " before " + what);
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

// Thread time gained in the window, summed by thread name (threads that ended inside it are missed).
std::vector<std::pair<std::string, std::pair<long long, int>>> threadGains(const std::map<pid_t, ThreadTime>& before,
                                                                           const std::map<pid_t, ThreadTime>& after) {
    std::map<std::string, std::pair<long long, int>> byName;
    for (const auto& [tid, thread] : after) {
        const auto earlier = before.find(tid);
        auto& entry = byName[thread.name];
        entry.first += thread.ticks - (earlier == before.end() ? 0 : earlier->second.ticks);
        entry.second += 1;
    }
    std::vector<std::pair<std::string, std::pair<long long, int>>> sorted(byName.begin(), byName.end());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.second.first > b.second.first; });
    return sorted;
}

int run(int seconds) {
    catchStopSignals();
    const WorkFolder work;
    const std::string home = work / "home";
    const std::string runtime = work / "run";
    makeFolder(home);
    makeFolder(runtime);
    writeDefaults(work / "config");
    const std::vector<std::string> privateHome{
        "HOME=" + home,
        "XDG_CONFIG_HOME=" + work / "config",
        "XDG_DATA_HOME=" + work / "data",
        "XDG_CACHE_HOME=" + work / "cache",
        "XDG_STATE_HOME=" + work / "state",
        "XDG_RUNTIME_DIR=" + runtime,
    };
    const std::vector<std::string> otherDesktops{"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS",
                                                 "XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE", "QT_QPA_PLATFORM"};
    const auto environment = [&](std::vector<std::string> extra) {
        extra.insert(extra.end(), privateHome.begin(), privateHome.end());
        return environmentWith(extra, otherDesktops);
    };

    Pipe displayPipe;
    Child xvfb({"Xvfb",
                {"-displayfd", "3", "-nolisten", "tcp", "-noreset", "-screen", "0", "1280x800x24"},
                environment({}),
                work / "xvfb.log",
                displayPipe.writeEnd()});
    const std::string display = ":" + readLineFrom(displayPipe, xvfb, "a display number");
    const std::string displayVariable = "DISPLAY=" + display;
    DesktopProbe desktop(display);

    Child trayer({"trayer",
                  {"--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24"},
                  environment({displayVariable}),
                  work / "trayer.log",
                  std::nullopt});
    waitFor(trayer, startTimeout, "the tray host", [&] { return desktop.hasTrayHost(); });

    Pipe busPipe;
    Child bus({"dbus-daemon",
               {"--session", "--nofork", "--nopidfile", "--print-address=3"},
               environment({}),
               work / "bus.log",
               busPipe.writeEnd()});
    const std::string busAddress = readLineFrom(busPipe, bus, "a bus address");

    const std::string appLog = work / "app.log";
    Child app({HALVRICK_PROGRAM,
               {},
               environment({displayVariable, "DBUS_SESSION_BUS_ADDRESS=" + busAddress, "QT_QPA_PLATFORM=xcb"}),
               appLog,
               std::nullopt});
    waitFor(app, trayIconTimeout, "the tray icon", [&] { return desktop.appWindows(appClass).trayIcon; },
            appLog);
    for (auto settled = Clock::now() + settleTime; Clock::now() < settled;) {
        pauseFor(100ms);
        expectRunning(app, appLog);
    }
    if (desktop.appWindows(appClass).otherWindow) {
        throw std::runtime_error("a Halvrick window other than the tray icon is open: this is not the idle state");
    }

    // The window opens with top's start.
    const std::size_t processes = processCount();
    Child top({"top", {"-b", "-d", "1", "-n", std::to_string(seconds + 10)}, environment({}), work / "top.txt",
               std::nullopt});
    const auto opened = Clock::now();
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
    const double elapsed = std::chrono::duration<double>(Clock::now() - opened).count();
    const auto resident = residentKiB(app.pid());
    const DesktopProbe::AppWindows windowsAfter = desktop.appWindows(appClass);
    top.stop();

    if (windowsAfter.otherWindow) {
        throw std::runtime_error("a Halvrick window opened during the measurement: this was not the idle state");
    }
    const Usage appUsage = usage(appAfter.ticks - appBefore.ticks, elapsed);
    const Usage topUsage = usage(topAfter.ticks - topBefore.ticks, elapsed);

    std::printf("idle cost of halvrick over %.1f s, popover closed (Xvfb %s, trayer, private bus, empty home)\n",
                elapsed, display.c_str());
    std::printf("counted: user+system time of each process, of its live descendants and of those it reaped\n");
    std::printf("         (halvrick: %zu descendants at the end; top: %zu); %.0f ticks a second; %zu processes\n",
                appAfter.descendants, topAfter.descendants, ticksPerSecond(), processes);
    std::printf("%-16s %10s %14s\n", "", "CPU s", "% of one core");
    std::printf("%-16s %10.3f %13.3f%%\n", "halvrick", appUsage.seconds, appUsage.percentOfCore);
    std::printf("%-16s %10.3f %13.3f%%\n", "top -b -d 1", topUsage.seconds, topUsage.percentOfCore);
    bool pass = false;
    if (topUsage.seconds > 0) {
        const double ratio = appUsage.seconds / topUsage.seconds;
        pass = ratio <= targetRatio;
        std::printf("ratio:           %.3fx of top's (target: at most %.3fx): %s\n", ratio, targetRatio,
                    pass ? "PASS" : "OVER");
    } else {
        pass = appUsage.seconds == 0;
        std::printf("ratio:           none (top used no measurable time; target %.3fx): %s\n", targetRatio,
                    pass ? "PASS" : "OVER");
    }
    if (resident) {
        std::printf("halvrick RSS at the end: %.1f MiB\n", static_cast<double>(*resident) / 1024.0);
    }
    std::printf("halvrick threads (CPU s in the window, by name):\n");
    for (const auto& [name, gain] : threadGains(threadsBefore, threadsAfter)) {
        std::printf("  %-18s %8.3f  (%d thread%s)\n", name.c_str(), usage(gain.first, elapsed).seconds, gain.second,
                    gain.second == 1 ? "" : "s");
    }
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
